#pragma once

#include <QCoreApplication>
#include <QString>

namespace parlino {

// A text that the program both shows and writes to stderr: shown in the user's language, written in English, the one
// language that scripts reading stderr can count on.
struct Notice
{
    QString shown;
    QString logged;

    // source is marked for translation in context (QT_TR_NOOP, QT_TRANSLATE_NOOP).
    static Notice Translated(const char* context, const char* source)
    {
        return {QCoreApplication::translate(context, source), QString::fromUtf8(source)};
    }
    // A part that reads the same in every language: a name, a number, a system's message.
    static Notice Verbatim(const QString& text) { return {text, text}; }

    // The notice with its lowest %n replaced by part, in each language.
    Notice Arg(const Notice& part) const { return {shown.arg(part.shown), logged.arg(part.logged)}; }
};

} // namespace parlino
