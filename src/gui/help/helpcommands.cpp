// The main dialog's Help command and the help window that the dialogs'
// Help buttons share.

#include "core/settings/helpfile.h"
#include "gui/help/helpviewer.h"
#include "gui/shell/mdkmaindlg.h"
#include "gui/files/filecommands.h"

#include <QCoreApplication>
#include <QDir>
#include <QStandardPaths>

namespace mdk {

namespace {

// Where an installed copy of the help file lives: beside the program's
// share folder, then the usual data folders.
QStringList installedHelpFolders()
{
    QStringList folders{QDir(QCoreApplication::applicationDirPath())
                            .filePath(QStringLiteral("../share/mnemodeck"))};
    for (const QString &data : QStandardPaths::standardLocations(QStandardPaths::GenericDataLocation))
        folders << QDir(data).filePath(QStringLiteral("mnemodeck"));
    return folders;
}

} // namespace

void MDKMainDlg::CMHelp() { openHelp(help::Index); }

HelpViewer *MDKMainDlg::helpViewer() const { return helpViewer_; }

void MDKMainDlg::openHelp(int topic, QWidget *owner)
{
    const QString path = help::locate(options, fileCommands().currentDirectory, installedHelpFolders());
    if (owner) {
        // A modal dialog blocks every window but its own children, so its
        // help window belongs to it and closes with it.
        auto *viewer = new HelpViewer(owner);
        viewer->setAttribute(Qt::WA_DeleteOnClose);
        viewer->showTopic(path, topic);
        return;
    }
    if (!helpViewer_) {
        helpViewer_ = new HelpViewer(this);
        helpViewer_->setAttribute(Qt::WA_DeleteOnClose);
    }
    helpViewer_->showTopic(path, topic);
}

} // namespace mdk
