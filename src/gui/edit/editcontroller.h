#pragma once

#include "core/edit/cardedit.h"
#include "gui/common/commandcontroller.h"

class QPlainTextEdit;

namespace mdk {

// Add, Edit, Delete, Undelete, Undelete all, Cut, Copy and Paste. The
// confirmation state of Delete and the palette's side choice live here for
// the run and are never saved; the copy memory is the deck's.
class EditController : public CommandController {
    Q_OBJECT
public:
    EditController(const CommandContext &context, QObject *parent = nullptr);

    void CMCardAdd();
    void CMEdit();
    void CMDeleteCard();
    void CMUndelete();
    void UndeleteAll();
    void CMCut();
    void CopytoMemory();
    void PastefromMemory();
    void CMMove();

    const edit::DeleteConfirmation &deleteConfirmation() const { return confirmation_; }
    bool addToSide1() const { return addToSide1_; }

Q_SIGNALS:
    // A dialog's Help button: topic of the help file, and the dialog.
    void helpRequested(int topic, QWidget *owner);

private:
    // Adds one card from the Add dialog; false (after the message) when the
    // store is full.
    bool addOne(const QString &side1, const QString &side2, QWidget *dialog);
    void runPalette(QPlainTextEdit *side1, QPlainTextEdit *side2, QWidget *dialog);

    edit::DeleteConfirmation confirmation_;
    bool addToSide1_ = true;
};

} // namespace mdk
