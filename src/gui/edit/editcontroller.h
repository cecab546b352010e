#pragma once

#include "core/edit/cardedit.h"
#include "gui/common/commandcontroller.h"

class QPlainTextEdit;

namespace mdk {

// Add, Edit, Delete, Undelete, Undelete all, Cut, Copy and Paste. The
// confirmation state of Delete and the palette's side choice live here for
// the run and are never saved, and so does the copy memory, which New and
// Open leave alone.
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
    const edit::CopyMemory &copyMemory() const { return memory_; }

private:
    // Adds one card from the Add dialog; false (after the message) when the
    // store is full.
    bool addOne(const QString &side1, const QString &side2, QWidget *dialog);
    // Undo or redo, with the step's name in the status line.
    void takeStep(bool (Deck::*take)(), QString (Deck::*label)() const, const QString &done);
    void runPalette(QPlainTextEdit *side1, QPlainTextEdit *side2, QWidget *dialog);

    edit::DeleteConfirmation confirmation_;
    bool addToSide1_ = true;
    edit::CopyMemory memory_;
};

} // namespace mdk
