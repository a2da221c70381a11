#include "platform/CodePage.h"

#include <QList>

#include <iconv.h>

namespace parlino {
namespace {

bool BuildTable(const QString& name, char32_t (&table)[256])
{
    const QByteArray from = name.toLatin1();
    iconv_t cd = ::iconv_open("UTF-32LE", from.constData());
    // NOLINTNEXTLINE(performance-no-int-to-ptr): iconv_open reports failure as (iconv_t)-1, its documented value
    if (cd == reinterpret_cast<iconv_t>(-1))
        return false;
    for (int byte = 0; byte < 256; ++byte) {
        char in = static_cast<char>(byte);
        char out[8] = {};
        char* inPtr = &in;
        char* outPtr = out;
        size_t inLeft = 1;
        size_t outLeft = sizeof out;
        ::iconv(cd, nullptr, nullptr, nullptr, nullptr);
        if (::iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft) == static_cast<size_t>(-1) || outLeft != 4) {
            table[byte] = U'?';
            continue;
        }
        const auto* u = reinterpret_cast<unsigned char*>(out);
        table[byte] = static_cast<char32_t>(u[0] | (u[1] << 8) | (u[2] << 16) | (static_cast<uint32_t>(u[3]) << 24));
    }
    ::iconv_close(cd);
    return true;
}

} // namespace

std::string CodePage::ToOemBytes(const QString& text) const
{
    const QByteArray bytes = ToOem(text);
    return std::string(bytes.constData(), static_cast<size_t>(bytes.size()));
}

QString CodePage::FromOemBytes(const std::string& bytes) const
{
    return FromOem(QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size())));
}

IconvCodePage::IconvCodePage(const QString& name) : name_(name)
{
    if (!BuildTable(name_, toUnicode_)) {
        name_ = QStringLiteral("CP850");
        BuildTable(name_, toUnicode_);
    }
    // Where two bytes give the same character, the lower byte wins.
    for (int byte = 255; byte >= 0; --byte)
        fromUnicode_[toUnicode_[byte]] = static_cast<char>(byte);
}

QByteArray IconvCodePage::ToOem(const QString& text) const
{
    QByteArray out;
    out.reserve(text.size());
    for (const char32_t c : text.toUcs4()) {
        if (c < 0x80 && toUnicode_[c] == c) {
            out.append(static_cast<char>(c));
            continue;
        }
        const auto found = fromUnicode_.find(c);
        out.append(found == fromUnicode_.end() ? '?' : found->second);
    }
    return out;
}

QString IconvCodePage::FromOem(const QByteArray& bytes) const
{
    std::u32string text;
    text.reserve(static_cast<size_t>(bytes.size()));
    for (const char byte : bytes)
        text.push_back(toUnicode_[static_cast<unsigned char>(byte)]);
    return QString::fromUcs4(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace parlino
