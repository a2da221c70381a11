#include "settings/IniFile.h"

#include "platform/ByteText.h"
#include "platform/ProfileStore.h"
#include "settings/IntegerRule.h"

#include <QCoreApplication>

#include <string_view>

namespace parlino {

namespace {

// The bytes of a name or value for the profile file (see BytesOfText). Short ASCII texts, which nearly all names are,
// go into a buffer on the stack, so that the many reads of a section convert without a heap allocation.
class Utf8Text
{
public:
    explicit Utf8Text(const QString& text)
    {
        std::size_t size = 0;
        if (text.size() <= static_cast<qsizetype>(sizeof(buffer_))) {
            for (const QChar c : text) {
                if (c.unicode() >= 0x80)
                    break;
                buffer_[size++] = static_cast<char>(c.unicode());
            }
        }
        if (size == static_cast<std::size_t>(text.size())) {
            view_ = std::string_view(buffer_, size);
        } else {
            bytes_ = BytesOfText(text);
            view_ = bytes_;
        }
    }
    Q_DISABLE_COPY_MOVE(Utf8Text)

    operator std::string_view() const { return view_; }

private:
    char buffer_[64];
    std::string bytes_;
    std::string_view view_;
};

} // namespace

int32_t TCustomIniFile::ReadNumber(const QString& section, const QString& key, int32_t defaultValue)
{
    return ParseInteger(ReadText(section, key, QString())).value_or(defaultValue);
}

void TCustomIniFile::WriteNumber(const QString& section, const QString& key, int32_t value)
{
    WriteText(section, key, QString::number(value));
}

void TCustomIniFile::WriteFlag(const QString& section, const QString& key, bool value)
{
    WriteText(section, key, value ? QStringLiteral("1") : QStringLiteral("0"));
}

void TCustomIniFile::RaiseUnableToWrite() const
{
    RaiseUnableToWriteTo(store_.FailureOf(fileName_));
}

void TCustomIniFile::RaiseUnableToWriteTo(const QString& place)
{
    throw EIniFileError(
        QCoreApplication::translate("parlino::TIniFile", "Unable to write to %1").arg(place).toStdString());
}

QString TIniFile::ReadText(const QString& section, const QString& key, const QString& defaultValue)
{
    return Store().ReadString(FileName(), section, key, defaultValue);
}

void TIniFile::WriteText(const QString& section, const QString& key, const QString& value)
{
    if (!Store().WriteString(FileName(), section, key, value))
        RaiseUnableToWrite();
}

QStringList TIniFile::ReadSections()
{
    return Store().ReadSections(FileName());
}

void TIniFile::EraseSection(const QString& section)
{
    if (!Store().EraseSection(FileName(), section))
        RaiseUnableToWrite();
}

void TIniFile::DeleteKey(const QString& section, const QString& key)
{
    if (!Store().DeleteKey(FileName(), section, key))
        RaiseUnableToWrite();
}

ProfileFile& TMemIniFile::File()
{
    if (!file_)
        file_ = Store().ReadFile(FileName()).value_or(ProfileFile());
    return *file_;
}

QString TMemIniFile::ReadText(const QString& section, const QString& key, const QString& defaultValue)
{
    const auto value = File().Value(Utf8Text(section), Utf8Text(key));
    return value ? TextOfBytes(*value) : defaultValue;
}

void TMemIniFile::WriteText(const QString& section, const QString& key, const QString& value)
{
    // The file was not touched: there is no reason from it to tell.
    if (!File().SetValue(Utf8Text(section), Utf8Text(key), Utf8Text(value)))
        RaiseUnableToWriteTo(Store().PlaceOf(FileName()));
    written_ = true;
}

QStringList TMemIniFile::ReadSections()
{
    QStringList sections;
    for (const std::string& section : File().Sections())
        sections.append(QString::fromStdString(section));
    return sections;
}

void TMemIniFile::EraseSection(const QString& section)
{
    File().EraseSection(Utf8Text(section));
    written_ = true;
}

void TMemIniFile::DeleteKey(const QString& section, const QString& key)
{
    File().DeleteKey(Utf8Text(section), Utf8Text(key));
    written_ = true;
}

void TMemIniFile::UpdateFile()
{
    if (!written_)
        return;
    // The file read again is replaced by the one in memory as a whole.
    if (!Store().Update(FileName(), [this](ProfileFile& file) {
            file = File();
            return true;
        }))
        RaiseUnableToWrite();
    written_ = false;
}

} // namespace parlino
