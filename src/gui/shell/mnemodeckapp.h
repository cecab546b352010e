#pragma once

#include "core/shell/commandline.h"

#include <QApplication>

#include <memory>

namespace mdk {

class MDKMainDlg;
class MnemodeckWindow;
class SettingsWiring;
class UserDialogs;

// The application: builds the main dialog and the frame around it, then
// loads the card file named on the command line.
class MnemodeckApp : public QApplication {
    Q_OBJECT
public:
    MnemodeckApp(int &argc, char **argv);
    ~MnemodeckApp() override;

    void InitMainWindow(const StartupFile &startup);
    MnemodeckWindow *window() const { return window_.get(); }
    MDKMainDlg *mainDialog() const;

private:
    std::unique_ptr<UserDialogs> dialogs_;
    std::unique_ptr<SettingsWiring> settings_;
    std::unique_ptr<MnemodeckWindow> window_;
};

} // namespace mdk
