#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <vector>

namespace mdk {

class SettingsStore;

namespace registration {

inline const QString kMimeType = QStringLiteral("application/x-mnemodeck-card-file");
inline const QString kDesktopFileName = QStringLiteral("mnemodeck.desktop");
inline const QString kMimePackageName = QStringLiteral("mnemodeck.xml");
inline const QString kIconName = QStringLiteral("mnemodeck");
inline const QString kProgramFile = QStringLiteral("mdeck43");
inline const QString kDocumentClass = QStringLiteral("mdkfile");
inline const QString kDescription = QStringLiteral("Card file");
inline const QString kExtensionsKey =
    QStringLiteral("Software\\Microsoft\\Windows\\CurrentVersion\\Extensions");

// One size of the card-file icon, as PNG.
struct Icon {
    int size = 0;
    QByteArray png;
};

// $XDG_DATA_DIRS, or its default /usr/local/share and /usr/share.
QStringList standardSystemDataDirs();

// True when one of dirs holds applications/mnemodeck.desktop.
bool installedSystemWide(const QStringList &dirs);

struct Setup {
    // The running program's real path. The command texts name the program
    // with its directory when "mdeck43" is found there, otherwise bare.
    QString programPath;
    // Where the desktop integration goes ($XDG_DATA_HOME).
    QString dataHome;
    std::vector<Icon> icons;
    // Where an installed program's desktop files are ($XDG_DATA_DIRS). When
    // one of them holds our desktop entry, the program is installed for
    // everyone and its user writes no desktop files of their own.
    QStringList systemDataDirs = standardSystemDataDirs();
    // Refresh the desktop's MIME and application caches after a change.
    bool runUpdateTools = true;
};

// The three command texts, built from the program's location.
struct Commands {
    QString open;             // prefix + mdeck43 "%1"
    QString extensionHandler; // prefix + mdeck43 ^MDK
    QString defaultIcon;      // prefix + mdeck43,1
    QString executable;       // prefix + mdeck43: the desktop entry's program
};
Commands buildCommands(const QString &programPath);

// What a run of RegisterProgram wrote to the desktop.
struct Outcome {
    bool mimePackageWritten = false;
    bool desktopEntryWritten = false;
    bool iconsWritten = false;
    // Our own desktop files in $XDG_DATA_HOME were removed: the program is
    // installed for everyone, or the entry named a program that is gone.
    bool ownCopiesRemoved = false;
};

// Makes sure the desktop knows card files: the classes-root entries and the
// matching desktop files are written only where they are missing (the open
// command and the desktop entry also whenever the description no longer
// names the program), so that repeated starts leave them alone. The desktop
// files go into $XDG_DATA_HOME only while the program is not installed for
// everyone: an installed program's own entry (with its translations) must
// not be hidden by a user's copy, nor outlived by it after removal. Our own
// copies (never a file the user made) are removed when the program is
// installed, or when our entry names a program that is gone. Failures are
// ignored: start-up always continues.
Outcome RegisterProgram(SettingsStore &store, const Setup &setup);

// The texts of the desktop files.
QByteArray mimePackage();
QByteArray desktopEntry(const QString &executable);
// True for a desktop entry this program wrote, whichever program it names
// (entries of earlier versions too).
bool isOwnDesktopEntry(const QByteArray &entry);

} // namespace registration
} // namespace mdk
