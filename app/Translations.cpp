#include "app/Translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>

namespace parlino {

Translations::Translations(const QStringList& languages, const QString& folder)
{
    for (QString language : languages) {
        // QTranslator drops the parts of a file name from its end: "de_AT" finds parlino_de.qm too.
        language.replace(u'-', u'_');
        if (QLocale(language).language() == QLocale::English)
            return;
        if (!program_.load(QStringLiteral("parlino_") + language, folder))
            continue;
        language_ = language;
        QCoreApplication::installTranslator(&program_);
        // Not every language has Qt's own translation; its dialogs then stay in English.
        if (qt_.load(QStringLiteral("qtbase_") + language, QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
            QCoreApplication::installTranslator(&qt_);
        return;
    }
}

QString Translations::Folder()
{
    return QCoreApplication::applicationDirPath() + QStringLiteral("/" PARLINO_TRANSLATIONS_RELATIVE_DIR);
}

} // namespace parlino
