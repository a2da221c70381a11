#include "codec/MailslotPath.h"

#include <algorithm>

namespace parlino {

std::string UpperAscii(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(),
                   [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; });
    return text;
}

std::optional<MailslotPath> ParseMailslotPath(const std::string& path)
{
    if (path.size() < 2 || path[0] != '\\' || path[1] != '\\')
        return std::nullopt;
    const auto hostEnd = path.find('\\', 2);
    if (hostEnd == std::string::npos || hostEnd == 2)
        return std::nullopt;
    static const std::string kWord = "MAILSLOT\\";
    if (UpperAscii(path.substr(hostEnd + 1, kWord.size())) != kWord)
        return std::nullopt;
    MailslotPath parsed{path.substr(2, hostEnd - 2), path.substr(hostEnd + 1 + kWord.size())};
    if (parsed.slot.empty() || parsed.slot.find('\0') != std::string::npos ||
        parsed.host.find('\0') != std::string::npos)
        return std::nullopt;
    return parsed;
}

} // namespace parlino
