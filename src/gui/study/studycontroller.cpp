#include "studycontroller.h"

#include "core/deck/deck.h"
#include "core/settings/helpfile.h"
#include "core/shell/commandids.h"
#include "core/study/study.h"
#include "gui/common/userdialogs.h"
#include "gui/study/infodlg.h"
#include "gui/study/jumptocarddlg.h"

namespace mdk {

StudyController::StudyController(const CommandContext &context, const OpenFile &open, QObject *parent)
    : CommandController(context, parent), open_(open)
{
    bind(CM_INFORMATION, &StudyController::CMInformation);
    bind(CM_JUMP, &StudyController::CMJump);
    bind(CM_MARK, &StudyController::CMMark);
    bind(CM_UNMARKALL, &StudyController::CMUnmarkAll);
}

void StudyController::CMInformation()
{
    const study::Information info = study::information(deck_, open_.ProtectedFileName, open_.ProtectedFilePath);
    InfoDlg dialog(info, window_);
    dialog.exec();
}

void StudyController::CMJump()
{
    if (deck_.viewCount() == 0) {
        dialogs_.warn(window_, tr("Jump"), tr("You must have a card to jump to."));
        return;
    }
    JumpToCardDlg dialog(deck_.viewCount(), window_);
    // OK always turns to side 1; a number outside the view keeps the
    // dialog open without a message.
    connect(&dialog, &JumpToCardDlg::okRequested, this, [this, &dialog](int number) {
        if (study::acceptJump(deck_, number))
            dialog.accept();
    });
    connect(&dialog, &JumpToCardDlg::helpRequested, this, [this, &dialog] { Q_EMIT helpRequested(help::Jump, &dialog); });
    dialog.exec();
}

void StudyController::CMMark()
{
    if (study::markCurrent(deck_) == study::MarkResult::WouldMarkAll) {
        dialogs_.stop(window_, tr("Mark"),
                      tr("Cannot mark all the cards in this file.  You must have at least "
                                     "1 unmarked card."));
        return;
    }
}

void StudyController::CMUnmarkAll() { study::unmarkAll(deck_); }

} // namespace mdk
