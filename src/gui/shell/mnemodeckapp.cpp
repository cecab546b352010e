#include "mnemodeckapp.h"

#include "gui/shell/mdkmaindlg.h"
#include "gui/shell/mnemodeckwindow.h"
#include "gui/shell/settingswiring.h"
#include "core/deck/originalfile.h"
#include "gui/common/userdialogs.h"

#include <QDir>
#include <QStandardPaths>

namespace mdk {

MnemodeckApp::MnemodeckApp(int &argc, char **argv)
    : QApplication(argc, argv), dialogs_(std::make_unique<QtUserDialogs>())
{
    setApplicationName(QStringLiteral("Mnemodeck"));
    setOrganizationName(QStringLiteral("Mnemodeck"));
    setApplicationVersion(QStringLiteral("4.30"));
    setDesktopFileName(QStringLiteral("mnemodeck"));
}

MnemodeckApp::~MnemodeckApp()
{
    window_.reset(); // before the dialogs it refers to
}

MDKMainDlg *MnemodeckApp::mainDialog() const { return window_ ? window_->client() : nullptr; }

void MnemodeckApp::InitMainWindow(const StartupFile &startup)
{
    auto *dialog = new MDKMainDlg(dialogs_.get());
    window_ = std::make_unique<MnemodeckWindow>(dialog);
    settings_ = std::make_unique<SettingsWiring>(
        *dialog, *window_, SettingsStore::standardCurrentUserFile(), SettingsStore::standardClassesRootFile(),
        startup.LoadStartupSure ? startup.LoadStartupPath : QDir::currentPath());
    dialog->SetupWindow();
    settings_->registerWithDesktop(applicationFilePath(),
                                   QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation),
                                   originalfile::templatesFolder());
    window_->sizeFrame();
    // Messages of the start-up load come before the window, as the load
    // happens during set-up.
    dialog->LoadStartupFileFn(startup);
    window_->show();
}

} // namespace mdk
