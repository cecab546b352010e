#pragma once

#include <QString>
#include <QStringList>

namespace mdk {

// The card file named on the command line.
struct StartupFile {
    bool LoadStartupSure = false; // a card file is to be loaded at start
    QString LoadStartupFile;      // its name without directory and extension
    QString LoadStartupPath;      // its directory (absolute)
};

// args are the arguments after the program name. A file name with spaces
// may arrive split over several arguments: they are joined with single
// spaces. Only a name ending in ".mdk" (any letter case) is loaded. The
// name is looked up case-insensitively in its directory, so that the real
// entry's spelling is the one shown.
StartupFile parseCommandLine(const QStringList &args, const QString &workingDirectory);

} // namespace mdk
