#include "settings/IntegerRule.h"

#include <algorithm>
#include <charconv>

namespace parlino {

namespace {

// The whole text as a number in base, nullopt when anything is left over.
template <typename Number> std::optional<Number> WholeNumber(std::string_view text, int base)
{
    Number value{};
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value, base);
    if (error != std::errc() || stop != end)
        return std::nullopt;
    return value;
}

std::optional<int32_t> ParseHex(std::string_view digits)
{
    // from_chars takes any number of leading zeros; the rule takes eight digits at most.
    if (digits.size() > 8)
        return std::nullopt;
    const auto pattern = WholeNumber<uint32_t>(digits, 16);
    if (!pattern)
        return std::nullopt;
    return static_cast<int32_t>(*pattern);
}

std::optional<int32_t> ParseDecimal(std::string_view text)
{
    // from_chars takes a minus sign but not a plus; "+-1" keeps its plus and fails.
    if (text.starts_with('+') && !text.starts_with("+-"))
        text.remove_prefix(1);
    return WholeNumber<int32_t>(text, 10);
}

} // namespace

std::optional<int32_t> ParseInteger(std::string_view text)
{
    text.remove_prefix(std::min(text.find_first_not_of(" \t"), text.size()));
    if (text.starts_with("0x") || text.starts_with("0X"))
        return ParseHex(text.substr(2));
    if (text.starts_with('$') || text.starts_with('x') || text.starts_with('X'))
        return ParseHex(text.substr(1));
    return ParseDecimal(text);
}

std::optional<int32_t> ParseInteger(const QString& text)
{
    const QByteArray bytes = text.toUtf8();
    return ParseInteger(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
}

} // namespace parlino
