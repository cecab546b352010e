#include "reviewwindow.h"

#include "gui/common/accessibility.h"
#include "ui_reviewwindow.h"

#include <QAbstractItemView>
#include <algorithm>
#include <QKeyEvent>
#include <QScreen>
#include <QScrollArea>

namespace {

// A run of characters without a break (a long URL, a 9,000-character
// word) would make its label as wide as the run: the display may break it
// anywhere. The card's text is not changed.
QString breakable(const QString &text)
{
    constexpr int kRun = 24;
    QString out;
    int run = 0;
    for (const QChar c : text) {
        run = c.isSpace() ? 0 : run + 1;
        if (run > kRun) {
            out += QChar(0x200B);
            run = 1;
        }
        out += c;
    }
    return out;
}

} // namespace

namespace mdk {

ReviewWindow::ReviewWindow(int direction, QWidget *parent, Buttons buttons)
    : QDialog(parent), ui_(std::make_unique<Ui::ReviewWindow>()), buttons_(buttons)
{
    ui_->setupUi(this);
    ui_->hardButton->setVisible(four());
    ui_->easyButton->setVisible(four());
    if (buttons_ != Buttons::KnewOrNot) {
        setIntervals({});
        ui_->keys->setText(four() ? tr("Space or Enter: show answer · 1: Again · 2: Hard · 3: Good · 4: Easy · "
                                     "Ctrl+Z: take back the last answer · Escape: end")
                                : tr("Space or Enter: show answer · Right, K or 1: Good · Left, J or 2: Again · "
                                     "Ctrl+Z: take back the last answer · Escape: end"));
    }
    QFont large = ui_->question->font();
    large.setPointSizeF(large.pointSizeF() * 2.2);
    ui_->question->setFont(large);
    QFont answerFont = ui_->answer->font();
    answerFont.setPointSizeF(answerFont.pointSizeF() * 1.6);
    ui_->answer->setFont(answerFont);
    ui_->direction->setCurrentIndex(qBound(0, direction, 2));
    // The list the combo box opens, and so its scroll bars, say whose it is.
    ui_->direction->view()->setAccessibleName(tr("Ask"));
    ui_->questionScroll->setAccessibleName(tr("Question"));
    ui_->answerScroll->setAccessibleName(tr("Answer"));
    accessible::nameScrollBars(*this);
    connect(ui_->direction, &QComboBox::currentIndexChanged, this, &ReviewWindow::directionChanged);
    connect(ui_->showButton, &QPushButton::clicked, this, &ReviewWindow::revealAnswer);
    connect(ui_->knewButton, &QPushButton::clicked, this, [this] { four() ? grade(3) : give(true); });
    connect(ui_->missedButton, &QPushButton::clicked, this, [this] { four() ? grade(1) : give(false); });
    connect(ui_->hardButton, &QPushButton::clicked, this, [this] { grade(2); });
    connect(ui_->easyButton, &QPushButton::clicked, this, [this] { grade(4); });
    connect(ui_->againButton, &QPushButton::clicked, this, &ReviewWindow::repeatRequested);
    connect(ui_->closeButton, &QPushButton::clicked, this, &QDialog::accept);
}

ReviewWindow::~ReviewWindow() = default;

int ReviewWindow::direction() const
{
    return ui_->direction->currentIndex();
}

bool ReviewWindow::inRound() const
{
    return ui_->pages->currentWidget() == ui_->cardPage;
}

void ReviewWindow::showCard(const QString &question, const QString &answer, const QString &progress)
{
    ui_->pages->setCurrentWidget(ui_->cardPage);
    ui_->question->setText(breakable(question));
    ui_->answer->setText(breakable(answer));
    ui_->answerScroll->setVisible(false);
    for (QScrollArea *area : {ui_->questionScroll, ui_->answerScroll})
        area->ensureVisible(0, 0);
    ui_->progress->setText(progress);
    revealed_ = false;
    ui_->showButton->setEnabled(true);
    for (QPushButton *b : {ui_->knewButton, ui_->missedButton, ui_->hardButton, ui_->easyButton})
        b->setEnabled(false);
    // No button keeps the focus, so Space and Enter reach the window's keys.
    setFocus();
}

void ReviewWindow::showSummary(const QString &text, bool canRepeat)
{
    ui_->pages->setCurrentWidget(ui_->summaryPage);
    ui_->summary->setText(text);
    // The card line would name a card no longer shown.
    ui_->progress->clear();
    ui_->againButton->setEnabled(canRepeat);
    (canRepeat ? ui_->againButton : ui_->closeButton)->setFocus();
    ui_->againButton->setDefault(canRepeat);
    ui_->closeButton->setDefault(!canRepeat);
}

void ReviewWindow::revealAnswer()
{
    if (!inRound() || revealed_)
        return;
    revealed_ = true;
    // Tab reaches the buttons, a click leaves the focus where it is. Shown
    // by a Space on its button, the answer gives the window the keys back,
    // so that the next Space is not "Knew it".
    const bool fromButton = ui_->showButton->hasFocus();
    ui_->answerScroll->setVisible(true);
    ui_->showButton->setEnabled(false);
    for (QPushButton *b : {ui_->knewButton, ui_->missedButton, ui_->hardButton, ui_->easyButton})
        b->setEnabled(true);
    if (fromButton)
        setFocus();
}

void ReviewWindow::give(bool knew)
{
    if (inRound() && revealed_)
        Q_EMIT answered(knew);
}

void ReviewWindow::grade(int grade)
{
    if (inRound() && revealed_)
        Q_EMIT graded(grade);
}

void ReviewWindow::setIntervals(const QStringList &intervals)
{
    if (buttons_ == Buttons::KnewOrNot)
        return;
    const QString names[] = {tr("Again"), tr("Hard"), tr("Good"), tr("Easy")};
    QPushButton *const buttons[] = {ui_->missedButton, ui_->hardButton, ui_->knewButton, ui_->easyButton};
    for (int g = 0; g < 4; ++g) {
        const QString name = buttons_ == Buttons::FourGrades ? tr("%1 %2").arg(g + 1).arg(names[g]) : names[g];
        buttons[g]->setText(g < intervals.size() ? name + QLatin1Char('\n') + intervals[g] : name);
    }
}

void ReviewWindow::setPlace(const QString &deck, const QString &category)
{
    ui_->place->setText(tr("%1 · %2").arg(deck, category));
    setWindowTitle(tr("Review - %1").arg(deck));
}

void ReviewWindow::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    fitScreen();
}

// Never larger than the screen's free area, and wholly on it.
void ReviewWindow::fitScreen()
{
    const QScreen *where = screen();
    if (!where)
        return;
    const QRect free = where->availableGeometry();
    const QMargins frame(geometry().left() - frameGeometry().left(), geometry().top() - frameGeometry().top(),
                         frameGeometry().right() - geometry().right(), frameGeometry().bottom() - geometry().bottom());
    const QSize most = free.size().shrunkBy(frame);
    setMaximumSize(most);
    if (width() > most.width() || height() > most.height())
        resize(size().boundedTo(most));
    QRect r = frameGeometry();
    r.moveLeft(std::clamp(r.left(), free.left(), std::max(free.left(), free.right() - r.width() + 1)));
    r.moveTop(std::clamp(r.top(), free.top(), std::max(free.top(), free.bottom() - r.height() + 1)));
    if (r.topLeft() != frameGeometry().topLeft())
        move(r.topLeft());
}

void ReviewWindow::keyPressEvent(QKeyEvent *event)
{
    if (event->matches(QKeySequence::Undo)) {
        Q_EMIT takeBackRequested();
        return;
    }
    if (!inRound()) {
        QDialog::keyPressEvent(event);
        return;
    }
    switch (event->key()) {
    case Qt::Key_Space:
    case Qt::Key_Return:
    case Qt::Key_Enter: revealAnswer(); return;
    case Qt::Key_1: four() ? grade(1) : give(true); return;
    case Qt::Key_2: four() ? grade(2) : give(false); return;
    case Qt::Key_3:
        if (four())
            grade(3);
        return;
    case Qt::Key_4:
        if (four())
            grade(4);
        return;
    case Qt::Key_Right:
    case Qt::Key_K:
        if (!four())
            give(true);
        return;
    case Qt::Key_Left:
    case Qt::Key_J:
        if (!four())
            give(false);
        return;
    // Escape ends the round and shows its summary; there it closes.
    case Qt::Key_Escape: Q_EMIT roundEnded(); return;
    default: QDialog::keyPressEvent(event);
    }
}

} // namespace mdk
