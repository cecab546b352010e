#pragma once

#include "core/deck/deck.h"

#include <QDialog>

#include <memory>

namespace Ui {
class JumpToCardDlg;
}

namespace mdk {

// The Jump to Card dialog (template "JumpToCardDlg"). OK always turns the
// card to side 1; a number outside 1 .. view count keeps the dialog open
// without a message.
class JumpToCardDlg : public QDialog {
    Q_OBJECT
public:
    JumpToCardDlg(Deck &deck, QWidget *parent = nullptr);
    ~JumpToCardDlg() override;

    int jumpcardnumber() const { return jumpcardnumber_; }

Q_SIGNALS:
    // The Help button: the dialog's help topic.
    void helpRequested();

private:
    void Ok();

    Deck &deck_;
    std::unique_ptr<Ui::JumpToCardDlg> ui_;
    int jumpcardnumber_ = 0;
};

} // namespace mdk
