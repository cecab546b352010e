// The study view's side of the main dialog: showing the current card,
// stepping with the mouse, scrolling, Information, Jump, Mark, Unmark all.

#include "core/settings/helpfile.h"
#include "gui/shell/mdkmaindlg.h"
#include "gui/study/carddisplay.h"
#include "gui/study/infodlg.h"
#include "gui/study/jumptocarddlg.h"
#include "core/study/study.h"

#include <QMouseEvent>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QTreeWidget>

namespace mdk {

void MDKMainDlg::SetText()
{
    if (QTreeWidgetItem *top = categoriesTree()->topLevelItem(0))
        top->setExpanded(true);
    QScrollBar *bar = cardScrollBar();
    const QSignalBlocker block(bar);
    scrollposition = 0;
    amounttodelete = 0;
    if (deck.viewCount() > 0) {
        study::settle(deck);
        const QString text = study::shownText(deck);
        (deck.side == 0 ? deck.Word : deck.Meaning) = text;
        cardDisplay()->setText(text);
        bar->setRange(0, cardDisplay()->lineCount() - 1);
        bar->setValue(0);
        setStatusLine(study::cardCaption(deck));
    } else {
        setStatusLine(QString());
        cardDisplay()->setText(QString());
        bar->setRange(0, 0);
        bar->setValue(0);
    }
    updateCommands();
}

void MDKMainDlg::ChangeSide()
{
    if (study::stepForward(deck))
        SetText();
}

void MDKMainDlg::ChangeSideBackwards()
{
    if (study::stepBackward(deck))
        SetText();
}

void MDKMainDlg::ScrollCard()
{
    if (deck.viewCount() == 0)
        return;
    deck.Side1List.GetString(deck.Word, deck.placeseek);
    deck.Side2List.GetString(deck.Meaning, deck.placeseek);
    scrollposition = cardScrollBar()->value();
    cardDisplay()->setFirstLine(scrollposition);
    amounttodelete = cardDisplay()->lineStart(scrollposition);
}

// ---- Mouse stepping ----

void MDKMainDlg::pressButton(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton && event->button() != Qt::RightButton) {
        event->ignore();
        return;
    }
    event->accept();
    applyRepeat(repeat_.press(event->button() == Qt::LeftButton ? AutoRepeat::Button::Left
                                                                 : AutoRepeat::Button::Right));
}

void MDKMainDlg::mousePressEvent(QMouseEvent *event)
{
    lastPressTime_ = event->timestamp();
    pressButton(event);
}

// A double-click steps once more: the second press of the pair. Some
// platforms deliver that press as well as the double-click; it counts once.
void MDKMainDlg::mouseDoubleClickEvent(QMouseEvent *event)
{
    if (lastPressTime_ == event->timestamp()) {
        event->accept();
        return;
    }
    pressButton(event);
}

void MDKMainDlg::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton && event->button() != Qt::RightButton) {
        event->ignore();
        return;
    }
    applyRepeat(repeat_.release(event->button() == Qt::LeftButton ? AutoRepeat::Button::Left
                                                                   : AutoRepeat::Button::Right));
}

void MDKMainDlg::applyRepeat(const AutoRepeat::Action &action)
{
    if (action.timer == AutoRepeat::Timer::Stop)
        timer(2).stop();
    else if (action.restartMs > 0)
        timer(2).start(action.restartMs);
    if (action.step == AutoRepeat::Step::Forward)
        ChangeSide();
    else if (action.step == AutoRepeat::Step::Backward)
        ChangeSideBackwards();
}

// ---- Commands ----

void MDKMainDlg::CMInformation()
{
    const study::Information info = study::information(deck, ProtectedFileName(), ProtectedFilePath());
    InfoDlg dialog(info, this);
    dialog.exec();
}

void MDKMainDlg::CMJump()
{
    if (deck.viewCount() == 0) {
        dialogs().warn(this, QStringLiteral("Jump"), QStringLiteral("You must have a card to jump to."));
        return;
    }
    JumpToCardDlg dialog(deck, this);
    connect(&dialog, &JumpToCardDlg::helpRequested, this, [this, &dialog] { openHelp(help::Jump, &dialog); });
    dialog.exec();
    deck.Side1List.GetString(deck.Word, deck.placeseek);
    deck.Side2List.GetString(deck.Meaning, deck.placeseek);
    SetText();
}

void MDKMainDlg::CMMark()
{
    if (study::markCurrent(deck) == study::MarkResult::WouldMarkAll) {
        dialogs().stop(this, QStringLiteral("Mark"),
                       QStringLiteral("Cannot mark all the cards in this file.  You must have at least "
                                      "1 unmarked card."));
        return;
    }
    SetText();
}

void MDKMainDlg::CMUnmarkAll() { study::unmarkAll(deck); }

} // namespace mdk
