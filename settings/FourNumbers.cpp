#include "settings/FourNumbers.h"

#include "settings/IntegerRule.h"
#include "settings/SettingsAccess.h"

#include <QRegularExpression>

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
    static const QRegularExpression separators(QStringLiteral("[ \\t,]+"));
    const QStringList words = text.split(separators, Qt::SkipEmptyParts);
    for (qsizetype i = 0; i < words.size() && i < 4; ++i) {
        if (const auto number = ParseInteger(words[i]))
            numbers[static_cast<std::size_t>(i)] = *number;
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
