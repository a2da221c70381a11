#include "settings/FourNumbers.h"

#include "settings/IntegerRule.h"
#include "settings/SettingsAccess.h"

namespace parlino {

QString ScreenSuffix(int width, int height)
{
    return QStringLiteral("(%1x%2)").arg(width).arg(height);
}

QString FormatFourNumbers(const FourNumbers& numbers)
{
    return QStringLiteral("%1,%2,%3,%4").arg(numbers[0]).arg(numbers[1]).arg(numbers[2]).arg(numbers[3]);
}

bool ParseFourNumbers(const QString& text, FourNumbers& numbers)
{
    if (text.isEmpty())
        return false;
    // A plain scan: a regular expression would be compiled on the way to the first frame.
    const auto separates = [](QChar c) { return c == u' ' || c == u'\t' || c == u','; };
    std::size_t word = 0;
    qsizetype start = 0;
    for (qsizetype end = 0; end <= text.size() && word < numbers.size(); ++end) {
        if (end < text.size() && !separates(text[end]))
            continue;
        if (end > start) {
            if (const auto number = ParseInteger(text.mid(start, end - start)))
                numbers[word] = *number;
            ++word;
        }
        start = end + 1;
    }
    return true;
}

bool FetchFourNumbers(TCustomIniFile& file, const QString& section, const QString& key, const QString& suffix,
                      FourNumbers& numbers)
{
    QString text = FetchText(file, section, key + suffix, QString());
    if (text.isEmpty())
        text = FetchText(file, section, key, QString());
    return ParseFourNumbers(text, numbers);
}

void StoreFourNumbers(TCustomIniFile& file, const QString& section, const QString& key, const QString& suffix,
                      const FourNumbers& numbers)
{
    const QString text = FormatFourNumbers(numbers);
    StoreText(file, section, key + suffix, text);
    StoreText(file, section, key, text);
}

} // namespace parlino
