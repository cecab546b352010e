#pragma once

#include "core/deck/categorytree.h"

#include <QDialog>
#include <QString>

#include <memory>
#include <optional>

namespace Ui {
class MoveCardDlg;
}

namespace mdk {

// The Move Card dialog (template "MoveCardDlg"): a tree of the categories,
// built from the deck's model with nothing selected, and the "move all"
// box. The caller checks the choice and moves the cards.
class MoveCardDlg : public QDialog {
    Q_OBJECT
public:
    MoveCardDlg(const CategoryTree &tree, bool moveAll, QWidget *parent = nullptr);
    ~MoveCardDlg() override;

    // The name of the node the user selected, or nothing. Only Qt's
    // selection counts: the tree view may set a current item on focus
    // without the user choosing it.
    std::optional<QString> destination() const;
    bool moveAll() const;

Q_SIGNALS:
    // "&OK" or Enter.
    void okRequested();
    void helpRequested();

private:
    std::unique_ptr<Ui::MoveCardDlg> ui_;
};

} // namespace mdk
