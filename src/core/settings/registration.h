#pragma once

#include <QByteArray>
#include <QString>

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

struct Setup {
    // The running program's real path. The command texts name the program
    // with its directory when "mdeck43" is found there, otherwise bare.
    QString programPath;
    // Where the desktop integration goes ($XDG_DATA_HOME).
    QString dataHome;
    std::vector<Icon> icons;
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
};

// Makes sure the desktop knows card files: the classes-root entries and the
// matching desktop files are written only where they are missing (the open
// command and the desktop entry also whenever the description no longer
// names the program), so that repeated starts leave them alone. Failures are
// ignored: start-up always continues.
Outcome RegisterProgram(SettingsStore &store, const Setup &setup);

// The texts of the desktop files.
QByteArray mimePackage();
QByteArray desktopEntry(const QString &executable);

} // namespace registration
} // namespace mdk
