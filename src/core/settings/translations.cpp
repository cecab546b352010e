#include "translations.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace mdk::translations {

QString text(const QString &source) { return QCoreApplication::translate(kContext, source.toUtf8().constData()); }

QStringList folders(const QString &applicationDirectory)
{
    const QDir dir(applicationDirectory);
    return {dir.filePath(QStringLiteral("translations")), dir.filePath(QStringLiteral("../share/mnemodeck/translations"))};
}

QString choose(const QStringList &uiLanguages, const QStringList &available)
{
    for (const QString &tag : uiLanguages) {
        // "de-DE", "de_DE" and "de" all ask for German.
        const QString language = tag.section(QLatin1Char('-'), 0, 0).section(QLatin1Char('_'), 0, 0).toLower();
        if (language == QLatin1String("en") || language == QLatin1String("c"))
            return {};
        if (available.contains(language))
            return language;
    }
    return {};
}

QString install(QCoreApplication &app)
{
    QStringList available;
    QString folderOf;
    for (const QString &folder : folders(QCoreApplication::applicationDirPath())) {
        const QStringList files = QDir(folder).entryList({kPrefix + QStringLiteral("*.qm")}, QDir::Files);
        for (const QString &file : files)
            available << file.mid(kPrefix.size()).chopped(3);
        if (!files.isEmpty()) {
            folderOf = folder;
            break;
        }
    }
    const QString language = choose(QLocale::system().uiLanguages(), available);
    if (language.isEmpty())
        return {};
    // Owned by the application: they serve until it ends.
    auto *own = new QTranslator(&app);
    if (own->load(kPrefix + language, folderOf))
        QCoreApplication::installTranslator(own);
    auto *qt = new QTranslator(&app);
    if (qt->load(QStringLiteral("qtbase_") + language, QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(qt);
    return language;
}

} // namespace mdk::translations
