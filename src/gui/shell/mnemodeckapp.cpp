#include "mnemodeckapp.h"

#include "core/appinfo.h"
#include "core/deck/originalfile.h"
#include "core/settings/settingsstore.h"
#include "gui/common/contraststyle.h"
#include "gui/files/recoverycontroller.h"
#include "gui/shell/mnemodeckwindow.h"

#include <QDir>
#include <QStandardPaths>
#include <QStyleFactory>

namespace mdk {

MnemodeckApp::MnemodeckApp(int &argc, char **argv) : QApplication(argc, argv)
{
    setApplicationName(QStringLiteral("Mnemodeck"));
    setOrganizationName(QStringLiteral("Mnemodeck"));
    setApplicationVersion(appinfo::kVersion);
    setDesktopFileName(QStringLiteral("mnemodeck"));
    // The desktop's style (or -style), with check boxes and radio buttons
    // that a dark scheme cannot hide.
    if (QStyle *own = QStyleFactory::create(style()->name()))
        setStyle(new ContrastStyle(own));
}

MnemodeckApp::~MnemodeckApp() = default;

void MnemodeckApp::InitMainWindow(const StartupFile &startup)
{
    window_ = std::make_unique<MnemodeckWindow>();
    window_->useSettings(SettingsStore::standardCurrentUserFile(), SettingsStore::standardClassesRootFile(),
                         startup.LoadStartupSure ? startup.LoadStartupPath : QDir::currentPath());
    window_->SetupWindow();
    window_->registerWithDesktop(applicationFilePath(),
                                 QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation),
                                 originalfile::templatesFolder());
    window_->sizeFrame();
    window_->recovery().useFolder(recovery::standardFolder());
    // Messages of the start-up load come before the window, as the load
    // happens during set-up.
    window_->LoadStartupFileFn(startup);
    window_->show();
}

} // namespace mdk
