#include "editcontroller.h"

#include "core/category/categorycommands.h"
#include "core/settings/helpfile.h"
#include "core/settings/options.h"
#include "core/shell/commandids.h"
#include "gui/common/chartarget.h"
#include "gui/common/logfontqt.h"
#include "gui/common/userdialogs.h"
#include "gui/common/waitcursor.h"
#include "gui/edit/movecarddlg.h"
#include "gui/edit/addcarddlg.h"
#include "gui/edit/deletecarddlg.h"
#include "gui/edit/editcarddlg.h"
#include "gui/edit/undeletedlg.h"
#include "gui/common/extendeddlg.h"

#include <QCoreApplication>

namespace mdk {

namespace {
const QString kAddCard = QStringLiteral(QT_TRANSLATE_NOOP("Mnemodeck", "Add Card"));
} // namespace

EditController::EditController(const CommandContext &context, QObject *parent)
    : CommandController(context, parent)
{
    bind(CM_CARDADD, &EditController::CMCardAdd);
    bind(CM_EDIT, &EditController::CMEdit);
    bind(CM_DELETECARD, &EditController::CMDeleteCard);
    bind(CM_UNDELETE, &EditController::CMUndelete);
    bind(CM_UNDELETEALL, &EditController::UndeleteAll);
    bind(CM_CUT, &EditController::CMCut);
    bind(CM_COPY, &EditController::CopytoMemory);
    bind(CM_PASTE, &EditController::PastefromMemory);
    bind(CM_MOVE, &EditController::CMMove);
    bind(CM_UNDO, [this] { takeStep(&Deck::undo, &Deck::undoLabel, tr("Undone: %1")); });
    bind(CM_REDO, [this] { takeStep(&Deck::redo, &Deck::redoLabel, tr("Redone: %1")); });
}

void EditController::takeStep(bool (Deck::*take)(), QString (Deck::*label)() const, const QString &done)
{
    const QString step = (deck_.*label)();
    const bool subcategories = deck_.showSubCategories();
    bool taken = false;
    {
        WaitCursor wait;
        taken = (deck_.*take)();
    }
    if (!taken)
        return;
    QString message = done.arg(QCoreApplication::translate("Step", step.toUtf8().constData()));
    // The moves undone with a step may switch the view's mode: the tree and
    // the view changed for a reason the step's name does not give.
    if (deck_.showSubCategories() != subcategories)
        message = (subcategories ? tr("%1; subcategories are no longer shown") : tr("%1; subcategories are shown"))
                      .arg(message);
    Q_EMIT statusMessage(message);
}

bool EditController::addOne(const QString &side1, const QString &side2, QWidget *dialog)
{
    bool added = false;
    {
        WaitCursor wait;
        // Each card of Add another is a step of its own.
        deck_.nextStep();
        added = edit::addCard(deck_, side1, side2);
    }
    if (!added)
        dialogs_.warn(dialog, kAddCard, edit::kStoreFull);
    return added;
}

void EditController::runPalette(QPlainTextEdit *side1, QPlainTextEdit *side2, QWidget *dialog)
{
    PlainTextTarget target1(side1);
    PlainTextTarget target2(side2);
    ExtendedDlg palette(target1, target2, addToSide1_, dialog);
    palette.exec();
}

void EditController::CMCardAdd()
{
    AddCardDlg dialog(deck_.oldTreeName(), toQFont(options_.LUsingFont), window_);
    connect(&dialog, &AddCardDlg::addAnotherRequested, this, [this, &dialog] {
        // On a full store the texts stay in the fields, so nothing typed is lost.
        if (addOne(dialog.side1(), dialog.side2(), &dialog))
            dialog.clearFields();
    });
    connect(&dialog, &AddCardDlg::extendedCharsRequested, this,
            [this, &dialog] { runPalette(dialog.side1Edit(), dialog.side2Edit(), &dialog); });
    connect(&dialog, &AddCardDlg::helpRequested, this, [this, &dialog] { Q_EMIT helpRequested(help::AddCard, &dialog); });
    if (dialog.exec() == QDialog::Accepted)
        addOne(dialog.side1(), dialog.side2(), &dialog);
}

void EditController::CMEdit()
{
    if (deck_.viewCount() == 0) {
        dialogs_.warn(window_, QStringLiteral("Mnemodeck"),
                      tr("To edit a card, you must be viewing the card you wish to edit."));
        return;
    }
    // The card shown when the dialog opens is the one edited.
    const int card = deck_.placeseek();
    EditCardDlg dialog(card + 1, deck_.viewSide1(card), deck_.viewSide2(card), toQFont(options_.LUsingFont),
                       window_);
    connect(&dialog, &EditCardDlg::extendedCharsRequested, this,
            [this, &dialog] { runPalette(dialog.side1Edit(), dialog.side2Edit(), &dialog); });
    connect(&dialog, &EditCardDlg::helpRequested, this, [this, &dialog] { Q_EMIT helpRequested(help::EditCard, &dialog); });
    if (dialog.exec() == QDialog::Accepted)
        edit::editCard(deck_, card, dialog.side1(), dialog.side2());
}

void EditController::CMDeleteCard()
{
    if (!edit::mayDelete(deck_))
        return;
    const int card = deck_.placeseek();
    if (confirmation_.shouldAsk()) {
        DeleteCardDlg dialog(card + 1, deck_.viewSide1(card), deck_.viewSide2(card), window_);
        dialog.exec();
        if (dialog.answer() == DeleteCardDlg::Answer::Cancelled)
            return;
        confirmation_.answered(dialog.dontAskTicked());
        if (dialog.answer() == DeleteCardDlg::Answer::No)
            return;
    }
    edit::deleteCard(deck_, card);
    Q_EMIT statusMessage(tr("Card deleted"));
}

void EditController::CMUndelete()
{
    if (deck_.deletedCount() == 0) {
        dialogs_.warn(window_, tr("Undelete Card"),
                      tr("No cards have been deleted.  Cannot undelete."));
        return;
    }
    UndeleteDlg dialog(deck_, window_);
    connect(&dialog, &UndeleteDlg::helpRequested, this, [this, &dialog] { Q_EMIT helpRequested(help::Undelete, &dialog); });
    if (dialog.exec() == QDialog::Accepted) {
        if (!edit::undeleteCard(deck_, dialog.undeleteindex()))
            dialogs_.warn(window_, kAddCard, edit::kStoreFull);
    }
}

void EditController::UndeleteAll()
{
    bool all = true;
    {
        WaitCursor wait;
        all = edit::undeleteAll(deck_);
    }
    if (!all)
        dialogs_.warn(window_, tr("Undelete All"), edit::kUndeleteAllFull);
}

void EditController::CMCut()
{
    if (deck_.viewCount() == 0) {
        dialogs_.warn(window_, tr("Cut"), tr("You must be viewing the card you wish to cut."));
        return;
    }
    edit::cutCard(deck_, deck_.placeseek(), memory_);
    Q_EMIT statusMessage(tr("Card has been cut"));
}

void EditController::CopytoMemory()
{
    if (deck_.viewCount() == 0) {
        dialogs_.warn(window_, tr("Copy"), tr("You must be viewing the card you wish to copy."));
        return;
    }
    edit::copyCard(deck_, deck_.placeseek(), memory_);
    Q_EMIT statusMessage(tr("Card has been copied to memory"));
}

void EditController::PastefromMemory()
{
    switch (edit::pasteCard(deck_, memory_)) {
    case edit::PasteResult::NothingCopied:
        dialogs_.warn(window_, tr("Paste"), tr("You have not copied or cut a card yet."));
        return;
    case edit::PasteResult::StoreFull:
        dialogs_.warn(window_, tr("Paste"), edit::kStoreFull);
        return;
    case edit::PasteResult::Pasted:
        Q_EMIT statusMessage(tr("Card has been pasted"));
        return;
    }
}

void EditController::CMMove()
{
    if (const QString refused = category::moveRefusal(deck_); !refused.isEmpty()) {
        dialogs_.warn(window_, tr("Move"), refused);
        return;
    }
    MoveCardDlg dialog(deck_.tree(), options_.MoveAll, window_);
    connect(&dialog, &MoveCardDlg::okRequested, this, [this, &dialog] {
        // The box counts even when the move is refused.
        options_.MoveAll = dialog.moveAll();
        const std::optional<QString> destination = dialog.destination();
        category::MoveResult result;
        {
            WaitCursor wait;
            if (dialog.moveAll())
                deck_.setStepLabel(QStringLiteral(QT_TRANSLATE_NOOP("Step", "Move all cards")));
            result = category::moveCards(deck_, destination ? &*destination : nullptr, dialog.moveAll());
        }
        const QString caption = tr("Move cards");
        switch (result) {
        case category::MoveResult::NoDestination:
            dialogs_.stop(&dialog, caption, category::kNoDestination);
            return;
        case category::MoveResult::SameCategory:
            dialogs_.stop(&dialog, caption, category::kSameCategory);
            return;
        case category::MoveResult::StoreFull:
            dialogs_.warn(&dialog, kAddCard, edit::kStoreFull);
            return;
        case category::MoveResult::Moved:
            dialog.accept();
            return;
        }
    });
    connect(&dialog, &MoveCardDlg::helpRequested, this, [this, &dialog] { Q_EMIT helpRequested(help::Move, &dialog); });
    dialog.exec();
    category::afterMove(deck_);
}

} // namespace mdk
