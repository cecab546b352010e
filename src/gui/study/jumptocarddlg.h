#pragma once

#include <QDialog>

#include <memory>

namespace Ui {
class JumpToCardDlg;
}

namespace mdk {

// The Jump to Card dialog (template "JumpToCardDlg"): it reads the number
// typed; the caller applies it and accept()s when it named a card.
class JumpToCardDlg : public QDialog {
    Q_OBJECT
public:
    JumpToCardDlg(int viewCount, QWidget *parent = nullptr);
    ~JumpToCardDlg() override;

Q_SIGNALS:
    // OK, with the number typed.
    void okRequested(int jumpcardnumber);
    // The Help button: the dialog's help topic.
    void helpRequested();

private:
    std::unique_ptr<Ui::JumpToCardDlg> ui_;
};

} // namespace mdk
