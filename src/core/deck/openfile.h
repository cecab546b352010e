#pragma once

#include <QDir>
#include <QString>

namespace mdk {

// Which card file is open, and where the file dialogs start. The file
// commands change it; Information and Help read it.
struct OpenFile {
    // The open file's display name (empty after New) and its directory.
    QString ProtectedFileName;
    QString ProtectedFilePath;
    // Its full path on disk; empty while no file is open.
    QString path;
    // Where the file dialogs open; every dialog closed with OK moves it to
    // the folder chosen, and a read moves it to the file's folder.
    QString currentDirectory = QDir::currentPath();
};

} // namespace mdk
