#include "mdkmaindlg.h"

#include "core/deck/deck.h"
#include "core/study/study.h"
#include "core/study/zoom.h"
#include "gui/common/accessibility.h"
#include "gui/common/categorytreewidget.h"
#include "gui/common/dialogfont.h"
#include "gui/common/logfontqt.h"
#include "gui/common/waitcursor.h"
#include "gui/study/carddisplay.h"

#include <QApplication>
#include <QCursor>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScrollBar>
#include <QShortcut>
#include <QSignalBlocker>
#include <QTreeWidget>

#include <utility>

namespace mdk {

namespace {
constexpr int kPageStep = 14;
}

MDKMainDlg::MDKMainDlg(Deck &deck, QWidget *parent) : QWidget(parent), deck_(deck)
{
    setObjectName(QStringLiteral("MainWindow"));
    setFont(dlu::dialogFont());
    const dlu::BaseUnits base = dlu::baseUnits(font());

    tree_ = new QTreeWidget(this);
    tree_->setObjectName(QStringLiteral("CategoriesTree"));
    categorytreewidget::prepare(*tree_);
    tree_->setGeometry(dlu::toPixels(dlu::mainwindow::kCategoriesTree, base));
    connect(tree_, &QTreeWidget::currentItemChanged, this, &MDKMainDlg::TvnSelChanged);

    display_ = new CardDisplay(this);
    display_->setObjectName(QStringLiteral("CardDisplay"));
    display_->setGeometry(dlu::toPixels(dlu::mainwindow::kCardDisplay, base));

    scrollBar_ = new QScrollBar(Qt::Vertical, this);
    scrollBar_->setObjectName(QStringLiteral("CardScrollBar"));
    scrollBar_->setGeometry(dlu::toPixels(dlu::mainwindow::kCardScrollBar, base));
    scrollBar_->setRange(0, 0);
    scrollBar_->setSingleStep(1);
    scrollBar_->setPageStep(kPageStep);
    connect(scrollBar_, &QScrollBar::valueChanged, this, &MDKMainDlg::ScrollCard);
    display_->setWheelTarget(scrollBar_);
    // The keys study from the start; Tab goes between the tree and the card.
    connect(display_, &CardDisplay::stepRequested, this, &MDKMainDlg::keyStep);
    // Zoom keys work wherever the focus is in the window, the tree too.
    connect(display_, &CardDisplay::zoomRequested, this, &MDKMainDlg::zoomBy);
    const std::pair<QKeySequence, int> zoomKeys[] = {{QKeySequence::ZoomIn, 1},
                                                     {QKeySequence(QStringLiteral("Ctrl+=")), 1},
                                                     {QKeySequence::ZoomOut, -1},
                                                     {QKeySequence(QStringLiteral("Ctrl+0")), 0}};
    for (const auto &[keys, direction] : zoomKeys) {
        auto *shortcut = new QShortcut(keys, this);
        shortcut->setContext(Qt::WindowShortcut);
        const int d = direction;
        connect(shortcut, &QShortcut::activated, this, [this, d] { zoomBy(d); });
    }
    tree_->setAccessibleName(tr("Categories"));
    scrollBar_->setAccessibleName(tr("Card scroll bar"));
    accessible::nameScrollBars(*this);
    setTabOrder(tree_, display_);
    display_->setFocus();
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget *, QWidget *now) { followFocus(now); });

    connect(&repeatTimer_, &QTimer::timeout, this, &MDKMainDlg::repeatTick);
    pointerPosition = [] { return QCursor::pos(); };
    mouseButtons = [] { return QGuiApplication::mouseButtons(); };
}

MDKMainDlg::~MDKMainDlg()
{
    // The tree widget would delete a deep tree's items recursively.
    categorytreewidget::clear(*tree_);
}

QSize MDKMainDlg::templateSize() const
{
    return dlu::toPixels(dlu::mainwindow::kSize, dlu::baseUnits(font()));
}

// ---- The card ----

void MDKMainDlg::SetText()
{
    expandTree();
    const QSignalBlocker block(scrollBar_);
    scrollposition = 0;
    amounttodelete = 0;
    if (deck_.viewCount() > 0) {
        study::settle(deck_);
        const QString text = study::shownText(deck_);
        // The position first: a screen reader says where, then what.
        display_->setPosition(study::cardPosition(deck_));
        display_->setText(text);
        scrollBar_->setRange(0, display_->lineCount() - 1);
        scrollBar_->setValue(0);
        Q_EMIT cardCaption(study::cardCaption(deck_));
    } else {
        Q_EMIT cardCaption(QString());
        display_->setPosition(study::cardPosition(deck_));
        display_->setText(QString());
        scrollBar_->setRange(0, 0);
        scrollBar_->setValue(0);
    }
    shownView_ = deck_.viewRevision();
}

void MDKMainDlg::refresh()
{
    if (deck_.treeRevision() != shownTree_)
        RefreshTree();
    if (deck_.viewRevision() != shownView_)
        SetText();
}

void MDKMainDlg::ChangeSide()
{
    if (study::stepForward(deck_))
        SetText();
}

void MDKMainDlg::ChangeSideBackwards()
{
    if (study::stepBackward(deck_))
        SetText();
}

void MDKMainDlg::keyStep(CardDisplay::Step step)
{
    switch (step) {
    case CardDisplay::Step::Forward:
        ChangeSide();
        break;
    case CardDisplay::Step::Backward:
        ChangeSideBackwards();
        break;
    case CardDisplay::Step::First:
        if (study::goToFirst(deck_))
            SetText();
        break;
    case CardDisplay::Step::Last:
        if (study::goToLast(deck_))
            SetText();
        break;
    }
}

void MDKMainDlg::followFocus(QWidget *now)
{
    // Only a closing dialog hands the keys to the card: switching to
    // another program and back, or to the notepad, leaves them where they were.
    if (!now)
        return;
    if (now->window() != window())
        dialogHadFocus_ = now->window()->isModal();
    else if (std::exchange(dialogHadFocus_, false) && now != display_)
        display_->setFocus(Qt::OtherFocusReason);
}

void MDKMainDlg::ScrollCard()
{
    if (deck_.viewCount() == 0)
        return;
    scrollposition = scrollBar_->value();
    display_->setFirstLine(scrollposition);
    amounttodelete = display_->lineStart(scrollposition);
}

void MDKMainDlg::setZoom(int percent)
{
    display_->setZoom(zoom::bounded(percent));
    // The lines break anew: the scroll bar's range follows.
    const QSignalBlocker block(scrollBar_);
    scrollBar_->setRange(0, display_->lineCount() - 1);
    scrollBar_->setValue(std::min(scrollBar_->value(), scrollBar_->maximum()));
    display_->setFirstLine(scrollBar_->value());
}

void MDKMainDlg::zoomBy(int direction)
{
    const int now = display_->zoom();
    const int next = direction > 0 ? zoom::larger(now) : direction < 0 ? zoom::smaller(now) : zoom::kNormal;
    setZoom(next);
    Q_EMIT zoomChanged(next);
}

void MDKMainDlg::setCardFont(const LogFont &font)
{
    display_->setCardFont(toQFont(font));
}

// ---- The tree ----

void MDKMainDlg::RefreshTree()
{
    scrollposition = 0;
    fillingTree_ = true;
    QTreeWidgetItem *current = categorytreewidget::fill(*tree_, deck_.tree());
    categorytreewidget::expand(*tree_);
    if (current)
        tree_->setCurrentItem(current);
    fillingTree_ = false;
    shownTree_ = deck_.treeRevision();
}

void MDKMainDlg::expandTree()
{
    if (QTreeWidgetItem *top = tree_->topLevelItem(0))
        top->setExpanded(true);
}

void MDKMainDlg::TvnSelChanged()
{
    QTreeWidgetItem *item = tree_->currentItem();
    if (fillingTree_ || !item)
        return;
    deck_.selectCategory(categorytreewidget::nodeOf(item));
    {
        WaitCursor wait;
        deck_.OpenCategory();
    }
    // The tree already shows the selection.
    shownTree_ = deck_.treeRevision();
    SetText();
    Q_EMIT stateChanged();
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

void MDKMainDlg::repeatTick()
{
    // A release this window never saw (a dialog took the mouse, the window
    // lost the focus) must not leave the cards running.
    const Qt::MouseButtons held = (repeat_.LButtonHeld ? Qt::LeftButton : Qt::NoButton)
                                  | (repeat_.RButtonHeld ? Qt::RightButton : Qt::NoButton);
    if (QApplication::activeModalWidget() || !(mouseButtons() & held)) {
        stopAutoRepeat();
        return;
    }
    const QPoint p = mapFromGlobal(pointerPosition());
    const bool inside = p.x() > 0 && p.y() > 0 && p.x() < width() && p.y() < height();
    applyRepeat(repeat_.tick(inside));
}

void MDKMainDlg::stopAutoRepeat()
{
    repeatTimer_.stop();
    display_->cancelKeyRepeat();
    repeat_.LButtonHeld = false;
    repeat_.RButtonHeld = false;
}

void MDKMainDlg::applyRepeat(const AutoRepeat::Action &action)
{
    if (action.timer == AutoRepeat::Timer::Stop)
        repeatTimer_.stop();
    else if (action.restartMs > 0)
        repeatTimer_.start(action.restartMs);
    if (action.step == AutoRepeat::Step::Forward)
        ChangeSide();
    else if (action.step == AutoRepeat::Step::Backward)
        ChangeSideBackwards();
}

void MDKMainDlg::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::ActivationChange && !isActiveWindow())
        stopAutoRepeat();
    QWidget::changeEvent(event);
}

void MDKMainDlg::hideEvent(QHideEvent *event)
{
    stopAutoRepeat();
    QWidget::hideEvent(event);
}

// ---- Keys ----

void MDKMainDlg::keyPressEvent(QKeyEvent *event)
{
    // The main dialog is never closed by Enter or Escape, and Enter does not
    // run the command that shares the dialog's OK id.
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Escape:
        event->accept();
        return;
    default:
        QWidget::keyPressEvent(event);
    }
}

} // namespace mdk
