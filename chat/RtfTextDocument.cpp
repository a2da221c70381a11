#include "chat/RtfTextDocument.h"

#include "settings/FontFormat.h"

#include <QTextBlock>
#include <QTextCursor>

#include <algorithm>
#include <cmath>

namespace parlino {

namespace {

rtf::Pitch RtfPitch(int pitch)
{
    switch (pitch) {
    case TFont::fpFixed:
        return rtf::Pitch::Fixed;
    case TFont::fpVariable:
        return rtf::Pitch::Variable;
    default:
        return rtf::Pitch::Default;
    }
}

TFont::TFontPitch FontPitch(rtf::Pitch pitch)
{
    switch (pitch) {
    case rtf::Pitch::Fixed:
        return TFont::fpFixed;
    case rtf::Pitch::Variable:
        return TFont::fpVariable;
    case rtf::Pitch::Default:
        break;
    }
    return TFont::fpDefault;
}

rtf::CharFormat RtfFormat(const QTextCharFormat& format, const QFont& defaultFont)
{
    rtf::CharFormat rtf;
    const QStringList families = format.fontFamilies().toStringList();
    rtf.fontName = (families.isEmpty() ? defaultFont.family() : families.first()).toStdString();
    const double points = format.fontPointSize() > 0 ? format.fontPointSize() : defaultFont.pointSizeF();
    rtf.halfPoints = std::clamp(static_cast<int>(std::lround(points * 2)), 1, 3276);
    rtf.bold = format.fontWeight() >= QFont::DemiBold;
    rtf.italic = format.fontItalic();
    rtf.underline = format.fontUnderline();
    rtf.strikeOut = format.fontStrikeOut();
    if (format.foreground().style() != Qt::NoBrush) {
        const QColor color = format.foreground().color();
        rtf.color = rtf::Color{static_cast<uint8_t>(color.red()), static_cast<uint8_t>(color.green()),
                               static_cast<uint8_t>(color.blue())};
    }
    if (format.hasProperty(CharsetProperty))
        rtf.charset = format.intProperty(CharsetProperty);
    if (format.hasProperty(PitchProperty))
        rtf.pitch = RtfPitch(format.intProperty(PitchProperty));
    else if (format.fontFixedPitch())
        rtf.pitch = rtf::Pitch::Fixed;
    return rtf;
}

QTextCharFormat TextFormat(const rtf::CharFormat& rtf)
{
    QTextCharFormat format;
    if (!rtf.fontName.empty())
        format.setFontFamilies(QStringList{QString::fromStdString(rtf.fontName)});
    format.setFontPointSize(rtf.halfPoints / 2.0);
    format.setFontWeight(rtf.bold ? QFont::Bold : QFont::Normal);
    format.setFontItalic(rtf.italic);
    format.setFontUnderline(rtf.underline);
    format.setFontStrikeOut(rtf.strikeOut);
    if (rtf.color)
        format.setForeground(QColor(rtf.color->red, rtf.color->green, rtf.color->blue));
    format.setFontFixedPitch(rtf.pitch == rtf::Pitch::Fixed);
    format.setProperty(CharsetProperty, rtf.charset);
    format.setProperty(PitchProperty, static_cast<int>(FontPitch(rtf.pitch)));
    return format;
}

// A block separator inside a run would make a paragraph of its own; it stays a break within the line.
QString RunText(const std::string& text)
{
    QString result = QString::fromStdString(text);
    for (QChar& c : result) {
        if (c == u'\n' || c == u'\r' || c == QChar::ParagraphSeparator)
            c = QChar::LineSeparator;
        else if (c == QChar(0xFDD0) || c == QChar(0xFDD1))
            c = QChar::ReplacementCharacter;
    }
    return result;
}

} // namespace

rtf::Document RtfOfTextDocument(const QTextDocument& document)
{
    rtf::Document rtf;
    rtf.paragraphs.clear();
    const QFont defaultFont = document.defaultFont();
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        rtf::Paragraph paragraph;
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            paragraph.runs.push_back({fragment.text().toStdString(), RtfFormat(fragment.charFormat(), defaultFont)});
        }
        paragraph.mark =
            paragraph.runs.empty() ? RtfFormat(block.charFormat(), defaultFont) : paragraph.runs.back().format;
        rtf.paragraphs.push_back(std::move(paragraph));
    }
    if (rtf.paragraphs.empty())
        rtf.paragraphs.emplace_back();
    return rtf;
}

void LoadRtfIntoTextDocument(QTextDocument& document, const rtf::Document& rtf)
{
    document.setUndoRedoEnabled(false);
    document.clear();
    QTextCursor cursor(&document);
    bool first = true;
    for (const rtf::Paragraph& paragraph : rtf.paragraphs) {
        const QTextCharFormat mark = TextFormat(paragraph.mark);
        if (first)
            cursor.setBlockCharFormat(mark);
        else
            cursor.insertBlock(QTextBlockFormat(), mark);
        first = false;
        for (const rtf::Run& run : paragraph.runs)
            cursor.insertText(RunText(run.text), TextFormat(run.format));
    }
    document.setUndoRedoEnabled(true);
}

} // namespace parlino
