#pragma once

#include "core/deck/deck.h"

#include <QDialog>

#include <memory>

namespace Ui {
class UndeleteDlg;
}

namespace mdk {

// The Undelete Card dialog (template "UndeleteDlg"): pages through the
// deleted cards, oldest first; the caller undeletes the one shown.
class UndeleteDlg : public QDialog {
    Q_OBJECT
public:
    explicit UndeleteDlg(const Deck &deck, QWidget *parent = nullptr);
    ~UndeleteDlg() override;

    // The deleted card shown (an index into the deck's deleted cards).
    int undeleteindex() const { return undeleteindex_; }

Q_SIGNALS:
    void helpRequested();

private:
    void showDeleted(int u);

    const Deck &deck_;
    std::unique_ptr<Ui::UndeleteDlg> ui_;
    int undeleteindex_ = 0;
};

} // namespace mdk
