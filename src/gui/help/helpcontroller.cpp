#include "helpcontroller.h"

#include "core/settings/helpfile.h"
#include "core/shell/commandids.h"
#include "gui/help/helpviewer.h"

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

HelpController::HelpController(const CommandContext &context, const OpenFile &open, QObject *parent)
    : CommandController(context, parent), open_(open)
{
    bind(CM_HELP, &HelpController::CMHelp);
}

void HelpController::CMHelp() { openHelp(help::Index); }

HelpViewer *HelpController::helpViewer() const { return viewer_; }

void HelpController::openHelp(int topic, QWidget *owner)
{
    const QString path = help::locate(options_, open_.currentDirectory, installedHelpFolders());
    if (owner) {
        // A modal dialog blocks every window but its own children, so its
        // help window belongs to it and closes with it.
        auto *viewer = new HelpViewer(owner);
        viewer->setAttribute(Qt::WA_DeleteOnClose);
        viewer->showTopic(path, topic);
        return;
    }
    if (!viewer_) {
        viewer_ = new HelpViewer(window_);
        viewer_->setAttribute(Qt::WA_DeleteOnClose);
    }
    viewer_->showTopic(path, topic);
}

} // namespace mdk
