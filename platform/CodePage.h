#pragma once

#include <QByteArray>
#include <QString>

#include <string>
#include <unordered_map>

namespace parlino {

// The OEM code page that texts use on the wire; inside the program texts are Unicode.
class CodePage
{
public:
    virtual ~CodePage() = default;
    // Characters the code page lacks become "?".
    virtual QByteArray ToOem(const QString& text) const = 0;
    virtual QString FromOem(const QByteArray& bytes) const = 0;

    // The same, for the byte strings that the wire codecs use.
    std::string ToOemBytes(const QString& text) const;
    QString FromOemBytes(const std::string& bytes) const;
};

// Any single-byte code page that iconv knows ("CP850", "CP437", "CP866", ...); an unknown name falls back to CP850.
class IconvCodePage final : public CodePage
{
public:
    explicit IconvCodePage(const QString& name);
    QByteArray ToOem(const QString& text) const override;
    QString FromOem(const QByteArray& bytes) const override;
    QString Name() const { return name_; }

private:
    QString name_;
    char32_t toUnicode_[256];
    std::unordered_map<char32_t, char> fromUnicode_;
};

} // namespace parlino
