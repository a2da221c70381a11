#include "platform/ByteText.h"

#include <QByteArray>

namespace parlino {

namespace {

constexpr char16_t kByteEscape = 0xDC00;

// The length of the well-formed UTF-8 sequence at the start of bytes (RFC 3629: no overlong forms, no surrogates,
// nothing above U+10FFFF); 0 when there is none.
std::size_t SequenceLength(std::string_view bytes)
{
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(bytes[i]); };
    const unsigned char lead = byte(0);
    if (lead < 0x80)
        return 1;
    std::size_t length = 0;
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        low = lead == 0xE0 ? 0xA0 : 0x80;
        high = lead == 0xED ? 0x9F : 0xBF;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;
    }
    if (length == 0 || bytes.size() < length || byte(1) < low || byte(1) > high)
        return 0;
    for (std::size_t i = 2; i < length; ++i) {
        if (byte(i) < 0x80 || byte(i) > 0xBF)
            return 0;
    }
    return length;
}

} // namespace

QString TextOfBytes(std::string_view bytes)
{
    QString text;
    text.reserve(static_cast<qsizetype>(bytes.size()));
    std::size_t valid = 0; // the start of the run of valid sequences not yet converted
    std::size_t at = 0;
    while (at < bytes.size()) {
        const std::size_t length = SequenceLength(bytes.substr(at));
        if (length > 0) {
            at += length;
            continue;
        }
        text += QString::fromUtf8(bytes.data() + valid, static_cast<qsizetype>(at - valid));
        text += QChar(kByteEscape + static_cast<unsigned char>(bytes[at]));
        valid = ++at;
    }
    text += QString::fromUtf8(bytes.data() + valid, static_cast<qsizetype>(at - valid));
    return text;
}

std::string BytesOfText(const QString& text)
{
    std::string bytes;
    qsizetype valid = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        const bool escape =
            c >= kByteEscape + 0x80 && c <= kByteEscape + 0xFF && (i == 0 || !text[i - 1].isHighSurrogate());
        if (!escape)
            continue;
        bytes += text.sliced(valid, i - valid).toStdString();
        bytes += static_cast<char>(c - kByteEscape);
        valid = i + 1;
    }
    bytes += text.sliced(valid).toStdString();
    return bytes;
}

QByteArray NativePathOf(const QString& text)
{
    const std::string bytes = BytesOfText(text);
    return QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

} // namespace parlino
