// The start-up load: the card file named on the command line, read by the
// file commands (src/deck/filecommands.cpp) with their messages, caption and
// status line.

#include "gui/shell/mdkmaindlg.h"
#include "gui/files/filecommands.h"
#include "core/deck/filenames.h"

namespace mdk {

bool MDKMainDlg::FileLoad(const QString &baseName, const QString &directory)
{
    const QString name = names::displayName(baseName);
    const bool loaded = files_->FileLoad(FileCommands::locateCardFile(directory, name), name);
    updateCommands();
    return loaded;
}

void MDKMainDlg::LoadStartupFileFn(const StartupFile &startup)
{
    if (!startup.LoadStartupSure)
        return;
    {
        // The file is found case-insensitively in its folder; only a file
        // that was read becomes the open one and enters the recent files.
        files_->LoadStartupFile(startup.LoadStartupPath, startup.LoadStartupFile);
        if (!ProtectedFileName().isEmpty() && hooks.fileOpened)
            hooks.fileOpened();
    }
    updateCommands();
}

} // namespace mdk
