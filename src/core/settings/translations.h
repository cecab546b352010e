#pragma once

#include <QString>
#include <QStringList>

class QCoreApplication;

namespace mdk::translations {

// The core's texts are in this context. Its constants are made before any
// translator is installed, so they are marked where they are defined and
// translated where they are shown, with text().
inline constexpr const char *kContext = "Mnemodeck";
QString text(const QString &source);

// The program's own translation files are "mnemodeck_<language>.qm".
inline const QString kPrefix = QStringLiteral("mnemodeck_");

// Where the program's translations are: beside a built program
// (bin/translations), then the installed share/mnemodeck/translations.
QStringList folders(const QString &applicationDirectory);
// The language to show, from the desktop's languages in order of
// preference ("de-DE", "en-US" ...): the first one that is English (the
// texts' own language) or has a translation among available ("de" ...).
// Empty for English, or when none of them has one.
QString choose(const QStringList &uiLanguages, const QStringList &available);
// Installs the program's and Qt's own translators for the desktop
// language; under English nothing is installed. Returns the language.
QString install(QCoreApplication &app);

} // namespace mdk::translations
