#pragma once

#include <QMainWindow>

namespace mdk {

class MDKMainDlg;

// The frame: menu bar, tool bar and status bar around the main dialog. It
// cannot be resized or maximised; its size follows from the main dialog's.
class MnemodeckWindow : public QMainWindow {
    Q_OBJECT
public:
    MnemodeckWindow(MDKMainDlg *client, QWidget *parent = nullptr);

    MDKMainDlg *client() const { return client_; }
    // Fixes the frame's size from the main dialog's template size and moves
    // it to the stored position.
    void sizeFrame();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    MDKMainDlg *client_;
};

} // namespace mdk
