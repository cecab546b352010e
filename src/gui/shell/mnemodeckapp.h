#pragma once

#include "core/shell/commandline.h"

#include <QApplication>

#include <memory>

namespace mdk {

class MnemodeckWindow;

// The application: builds the frame with its panes and controllers, then
// loads the card file named on the command line.
class MnemodeckApp : public QApplication {
    Q_OBJECT
public:
    MnemodeckApp(int &argc, char **argv);
    ~MnemodeckApp() override;

    void InitMainWindow(const StartupFile &startup);
    MnemodeckWindow *window() const { return window_.get(); }

private:
    std::unique_ptr<MnemodeckWindow> window_;
};

} // namespace mdk
