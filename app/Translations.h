#pragma once

#include <QString>
#include <QStringList>
#include <QTranslator>

namespace parlino {

// The program's texts in the user's language, and Qt's own texts of its standard dialogs in the same language, for as
// long as this object lives. The language is the first of the user's languages that the program has a translation
// for; English, the language the program is written in, ends the search, so a user who puts English first gets it.
class Translations final
{
public:
    // languages as QLocale::uiLanguages gives them, most wanted first; folder holds parlino_<language>.qm.
    Translations(const QStringList& languages, const QString& folder);
    Translations(const Translations&) = delete;
    Translations& operator=(const Translations&) = delete;

    // Where the program's translations are: the same way from the program in a build tree as in an installation.
    static QString Folder();
    // The language shown ("de", "ro_RO"...), empty for English.
    QString Language() const { return language_; }

private:
    QTranslator program_;
    QTranslator qt_;
    QString language_;
};

} // namespace parlino
