// The study view in the real window: mouse stepping and its auto-repeat,
// the card display's lines and scrolling, Jump, Information and Mark.

#include "support/modal.h"
#include "support/windowfixture.h"

#include "core/shell/commandids.h"
#include "core/study/study.h"
#include "gui/study/carddisplay.h"
#include "gui/files/filecommands.h"
#include "gui/study/studycontroller.h"

#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QKeyEvent>
#include <QPushButton>
#include <QRandomGenerator>
#include <QScrollBar>
#include <QFontInfo>
#include <QTemporaryDir>
#include <QWheelEvent>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

#include <functional>

using namespace mdk;
using namespace mdk::testsupport;

namespace {

void typeAndOk(QDialog *dialog, const QString &text)
{
    auto *edit = dialog->findChild<QLineEdit *>(QStringLiteral("cardNumberEdit"));
    edit->setText(text);
    QTest::mouseClick(dialog->findChild<QPushButton *>(QStringLiteral("okButton")), Qt::LeftButton);
}

QString caption(const WindowFixture &f) { return f.window->statusText(); }

// The buttons the pane is told are down while it repeats; a held button
// that the platform reports up ends the repeat.
void reportButtonsDown(WindowFixture &f, Qt::MouseButtons buttons)
{
    f.dlg->mouseButtons = [buttons] { return buttons; };
}

} // namespace

class StudyViewTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void leftAndRightClicksOnTheCardStep();
    void doubleClickStepsTwice();
    void clicksOnTreeAndScrollBarDoNotStep();
    void threeCardsWithCardTwoMarked();
    void holdingTheButtonRepeats();
    void repeatStopsWhenPointerLeaves();
    void releaseStopsRepeat();
    void commandWithADialogEndsTheRepeat();
    void buttonFoundUpEndsTheRepeat();
    void keysStepAsClicksWhileTheCardHasTheFocus();
    void zoomKeysAndWheelResizeTheTextAndAreKept();

    void displayMeasuresWhatItPaints();
    void scrollingByLineAndPage();
    void newCardScrollsBackToTop();

    void jumpRejectsBadNumbersAndKeepsDialogOpen();
    void jumpToThreeOfFive();
    void jumpCancelledAfterBadOkShowsSideOne();
    void jumpWithEmptyViewWarns();
    void informationShowsCounts();
    void markWithTwoUnmarkedLeftThenInformation();
};

void StudyViewTest::leftAndRightClicksOnTheCardStep()
{
    WindowFixture f;
    f.study(3);
    CardDisplay *card = f.dlg->cardDisplay();
    QCOMPARE(caption(f), QStringLiteral("Card 1, side 1"));
    QTest::mouseClick(card, Qt::LeftButton);
    QCOMPARE(caption(f), QStringLiteral("Card 1, side 2"));
    QCOMPARE(card->text(), QStringLiteral("a1"));
    QTest::mouseClick(card, Qt::LeftButton);
    QCOMPARE(card->text(), QStringLiteral("q2"));
    QTest::mouseClick(card, Qt::RightButton);
    QCOMPARE(caption(f), QStringLiteral("Card 1, side 2"));
    // The dialog's own surface steps too.
    QTest::mouseClick(f.dlg, Qt::LeftButton, {}, QPoint(5, 5));
    QCOMPARE(caption(f), QStringLiteral("Card 2, side 1"));
    QVERIFY(!f.dlg->repeatTimer().isActive());
}

void StudyViewTest::doubleClickStepsTwice()
{
    WindowFixture f;
    f.study(3);
    QWidget *card = f.dlg->cardDisplay();
    const QPointF pos(10, 10);
    auto send = [&](QEvent::Type type, quint64 time) {
        QMouseEvent e(type, pos, card->mapToGlobal(pos), Qt::LeftButton,
                      type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton, Qt::NoModifier);
        e.setTimestamp(time);
        QApplication::sendEvent(card, &e);
    };
    // Press, release, double-click, release: two steps.
    send(QEvent::MouseButtonPress, 1000);
    send(QEvent::MouseButtonRelease, 1050);
    send(QEvent::MouseButtonDblClick, 1150);
    send(QEvent::MouseButtonRelease, 1200);
    QCOMPARE(caption(f), QStringLiteral("Card 2, side 1"));
    // The same with the second press delivered as well: still two steps.
    send(QEvent::MouseButtonPress, 2000);
    send(QEvent::MouseButtonRelease, 2050);
    send(QEvent::MouseButtonPress, 2150);
    send(QEvent::MouseButtonDblClick, 2150);
    send(QEvent::MouseButtonRelease, 2200);
    QCOMPARE(caption(f), QStringLiteral("Card 3, side 1"));
    QVERIFY(!f.dlg->repeatTimer().isActive());
}

void StudyViewTest::clicksOnTreeAndScrollBarDoNotStep()
{
    WindowFixture f;
    f.study(3);
    QTest::mouseClick(f.dlg->categoriesTree()->viewport(), Qt::LeftButton, {}, QPoint(150, 40));
    QTest::mouseClick(f.dlg->cardScrollBar(), Qt::LeftButton);
    QTest::mouseClick(f.dlg->cardScrollBar(), Qt::RightButton);
    QCOMPARE(caption(f), QStringLiteral("Card 1, side 1"));
}

void StudyViewTest::threeCardsWithCardTwoMarked()
{
    WindowFixture f;
    f.study(3);
    f.deck().addMark(1);
    QTest::mouseClick(f.dlg->cardDisplay(), Qt::LeftButton);
    QTest::mouseClick(f.dlg->cardDisplay(), Qt::LeftButton);
    QCOMPARE(caption(f), QStringLiteral("Card 3, side 1"));
    QTest::mouseClick(f.dlg->cardDisplay(), Qt::RightButton);
    QCOMPARE(caption(f), QStringLiteral("Card 1, side 2"));
    QTest::mouseClick(f.dlg->cardDisplay(), Qt::RightButton);
    QTest::mouseClick(f.dlg->cardDisplay(), Qt::RightButton);
    QCOMPARE(caption(f), QStringLiteral("Card 3, side 2")); // wrapped past the marked card
}

void StudyViewTest::holdingTheButtonRepeats()
{
    WindowFixture f;
    f.study(20);
    reportButtonsDown(f, Qt::LeftButton | Qt::RightButton);
    const QPoint inside = f.dlg->cardDisplay()->geometry().center();
    f.dlg->pointerPosition = [&] { return f.dlg->mapToGlobal(inside); };
    QTest::mousePress(f.dlg->cardDisplay(), Qt::LeftButton);
    // One step at once, then the timer waits half a second.
    QCOMPARE(caption(f), QStringLiteral("Card 1, side 2"));
    QVERIFY(f.dlg->repeatTimer().isActive());
    QCOMPARE(f.dlg->repeatTimer().interval(), 500);
    f.dlg->repeatTick();
    QCOMPARE(caption(f), QStringLiteral("Card 2, side 1"));
    QCOMPARE(f.dlg->repeatTimer().interval(), 100);
    for (int i = 0; i < 5; ++i)
        f.dlg->repeatTick();
    QCOMPARE(caption(f), QStringLiteral("Card 4, side 2"));
    QCOMPARE(f.dlg->repeatTimer().interval(), 100);
    QTest::mouseRelease(f.dlg->cardDisplay(), Qt::LeftButton);
    QVERIFY(!f.dlg->repeatTimer().isActive());

    // The same with the real timer: about 1 + (t - 0.5) / 0.1 steps.
    QTest::mousePress(f.dlg->cardDisplay(), Qt::RightButton);
    QCOMPARE(caption(f), QStringLiteral("Card 4, side 1"));
    QTest::qWait(250);
    QCOMPARE(caption(f), QStringLiteral("Card 4, side 1")); // nothing before 0.5 s
    QTRY_COMPARE_WITH_TIMEOUT(caption(f), QStringLiteral("Card 3, side 2"), 1000);
    QTRY_COMPARE_WITH_TIMEOUT(caption(f), QStringLiteral("Card 2, side 2"), 1000);
    QTest::mouseRelease(f.dlg->cardDisplay(), Qt::RightButton);
    QVERIFY(!f.dlg->repeatTimer().isActive());
}

void StudyViewTest::repeatStopsWhenPointerLeaves()
{
    WindowFixture f;
    f.study(5);
    reportButtonsDown(f, Qt::LeftButton);
    QPoint where = f.dlg->cardDisplay()->geometry().center();
    f.dlg->pointerPosition = [&] { return f.dlg->mapToGlobal(where); };
    QTest::mousePress(f.dlg->cardDisplay(), Qt::LeftButton);
    f.dlg->repeatTick();
    QCOMPARE(caption(f), QStringLiteral("Card 2, side 1"));
    where = QPoint(f.dlg->width() + 5, 10); // over the frame's edge, button still held
    f.dlg->repeatTick();
    QVERIFY(!f.dlg->repeatTimer().isActive());
    QVERIFY(!f.dlg->autoRepeat().LButtonHeld);
    QCOMPARE(caption(f), QStringLiteral("Card 2, side 1"));
    where = QPoint(0, 10); // the edge itself counts as outside
    QTest::mousePress(f.dlg->cardDisplay(), Qt::LeftButton);
    f.dlg->repeatTick();
    QVERIFY(!f.dlg->repeatTimer().isActive());
    QCOMPARE(caption(f), QStringLiteral("Card 2, side 2"));
}

void StudyViewTest::releaseStopsRepeat()
{
    WindowFixture f;
    f.study(5);
    QTest::mousePress(f.dlg->cardDisplay(), Qt::RightButton);
    QVERIFY(f.dlg->repeatTimer().isActive());
    QTest::mouseRelease(f.dlg->cardDisplay(), Qt::RightButton);
    QVERIFY(!f.dlg->repeatTimer().isActive());
    QVERIFY(!f.dlg->autoRepeat().RButtonHeld);
}

void StudyViewTest::commandWithADialogEndsTheRepeat()
{
    WindowFixture f;
    f.study(5);
    f.window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(f.window.get()));
    // The worst case: the release goes to the dialog and the platform still
    // reports the button down.
    reportButtonsDown(f, Qt::LeftButton);
    const QPoint inside = f.dlg->cardDisplay()->geometry().center();
    f.dlg->pointerPosition = [&] { return f.dlg->mapToGlobal(inside); };
    QTest::mousePress(f.dlg, Qt::LeftButton, {}, inside);
    QCOMPARE(caption(f), QStringLiteral("Card 1, side 2"));
    QVERIFY(f.dlg->repeatTimer().isActive());
    onModal([&] { QTest::keyClick(f.window.get(), Qt::Key_J, Qt::ControlModifier); }, [&](QDialog *dialog) {
        QCOMPARE(dialog->windowTitle(), QStringLiteral("Jump to Card"));
        QVERIFY(!f.dlg->repeatTimer().isActive());
        f.dlg->repeatTick();
        QCOMPARE(f.deck().placeseek(), 0);
        QCOMPARE(f.deck().side(), 1);
    });
    const QString after = caption(f);
    QVERIFY(!f.dlg->repeatTimer().isActive());
    QVERIFY(!f.dlg->autoRepeat().LButtonHeld);
    for (int i = 0; i < 3; ++i)
        f.dlg->repeatTick();
    QCOMPARE(caption(f), after);
    QCOMPARE(f.deck().placeseek(), 0);
    QVERIFY(!f.dlg->repeatTimer().isActive());
    QTest::mouseRelease(f.dlg, Qt::LeftButton, {}, inside);
}

void StudyViewTest::buttonFoundUpEndsTheRepeat()
{
    WindowFixture f;
    f.study(5);
    reportButtonsDown(f, Qt::LeftButton);
    const QPoint inside = f.dlg->cardDisplay()->geometry().center();
    f.dlg->pointerPosition = [&] { return f.dlg->mapToGlobal(inside); };
    QTest::mousePress(f.dlg->cardDisplay(), Qt::LeftButton);
    f.dlg->repeatTick();
    QCOMPARE(caption(f), QStringLiteral("Card 2, side 1"));
    // The release happened where the pane could not see it.
    reportButtonsDown(f, Qt::NoButton);
    f.dlg->repeatTick();
    QCOMPARE(caption(f), QStringLiteral("Card 2, side 1"));
    QVERIFY(!f.dlg->repeatTimer().isActive());
    QVERIFY(!f.dlg->autoRepeat().LButtonHeld);
    QTest::mouseRelease(f.dlg->cardDisplay(), Qt::LeftButton);
    // Another button being down does not count for the one held.
    QTest::mousePress(f.dlg->cardDisplay(), Qt::RightButton);
    QCOMPARE(caption(f), QStringLiteral("Card 1, side 2"));
    reportButtonsDown(f, Qt::LeftButton);
    f.dlg->repeatTick();
    QCOMPARE(caption(f), QStringLiteral("Card 1, side 2"));
    QVERIFY(!f.dlg->repeatTimer().isActive());
    QTest::mouseRelease(f.dlg->cardDisplay(), Qt::RightButton);
}

void StudyViewTest::zoomKeysAndWheelResizeTheTextAndAreKept()
{
    QTemporaryDir home;
    QString longText;
    for (int i = 0; i < 400; ++i)
        longText += QStringLiteral("word%1 ").arg(i);
    {
        WindowFixture f(home.path());
        f.show(buildDeck({{longText, QStringLiteral("a"), CategoryTree::kMainName}}));
        CardDisplay *card = f.dlg->cardDisplay();
        const int lines = card->lineCount();
        const int pixels = QFontInfo(card->font()).pixelSize();
        // From the tree as from the card: the keys belong to the window.
        f.dlg->categoriesTree()->setFocus();
        QTest::keyClick(f.window.get(), Qt::Key_Plus, Qt::ControlModifier);
        QCOMPARE(f.window->options().Zoom, 110);
        QCOMPARE(f.window->statusText(), QStringLiteral("Zoom 110%"));
        QVERIFY(QFontInfo(card->font()).pixelSize() > pixels);
        QVERIFY(card->lineCount() > lines);
        // The scroll bar still reaches every line.
        QCOMPARE(f.dlg->cardScrollBar()->maximum(), card->lineCount() - 1);
        QTest::keyClick(f.window.get(), Qt::Key_0, Qt::ControlModifier);
        QCOMPARE(QFontInfo(card->font()).pixelSize(), pixels);
        QCOMPARE(card->lineCount(), lines);
        QWheelEvent up(QPointF(5, 5), card->mapToGlobal(QPointF(5, 5)), QPoint(), QPoint(0, 120), Qt::NoButton,
                       Qt::ControlModifier, Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(card, &up);
        QCOMPARE(f.window->options().Zoom, 110);
        QVERIFY(f.window->close());
    }
    WindowFixture again(home.path());
    QCOMPARE(again.dlg->cardDisplay()->zoom(), 110);
}

void StudyViewTest::displayMeasuresWhatItPaints()
{
    WindowFixture f;
    CardDisplay *card = f.dlg->cardDisplay();
    card->setText(QStringLiteral("one\r\ntwo\r\n\r\nfour"));
    QCOMPARE(card->lineCount(), 4);
    QCOMPARE(card->lineStart(1), 5);
    QCOMPARE(card->lineStart(3), 12);
    // A long paragraph wraps at the display's width, never wider.
    const QString words = QStringLiteral("word ").repeated(200);
    card->setText(words);
    const int lines = card->lineCount();
    QVERIFY(lines > 5);
    const QFontMetrics fm(card->font());
    for (int n = 0; n + 1 < lines; ++n) {
        const QString line = words.mid(card->lineStart(n), card->lineStart(n + 1) - card->lineStart(n));
        QVERIFY(fm.horizontalAdvance(line.trimmed()) <= card->contentsRect().width());
        QVERIFY(line.endsWith(QLatin1Char(' '))); // broken between words
    }
    // A narrower display needs more lines.
    card->resize(card->width() / 2, card->height());
    QVERIFY(card->lineCount() > lines);
}

void StudyViewTest::scrollingByLineAndPage()
{
    WindowFixture f;
    QStringList lines;
    for (int i = 0; i < 30; ++i)
        lines << QStringLiteral("line %1").arg(i);
    f.show(buildDeck({{lines.join(QStringLiteral("\r\n")), QStringLiteral("a1"), QStringLiteral("Main")},
                      {QStringLiteral("q2"), QStringLiteral("a2"), QStringLiteral("Main")}}));
    QScrollBar *bar = f.dlg->cardScrollBar();
    QCOMPARE(bar->minimum(), 0);
    QCOMPARE(bar->maximum(), 29);
    QCOMPARE(bar->pageStep(), 14);
    bar->triggerAction(QAbstractSlider::SliderPageStepAdd);
    QCOMPARE(f.dlg->scrollposition, 14);
    QVERIFY(f.dlg->cardDisplay()->visibleText().startsWith(QStringLiteral("line 14\r\n")));
    QCOMPARE(f.dlg->amounttodelete, f.deck().viewSide1(0).indexOf(QStringLiteral("line 14")));
    bar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    QCOMPARE(f.dlg->cardDisplay()->firstLine(), 15);
    bar->triggerAction(QAbstractSlider::SliderPageStepAdd);
    bar->triggerAction(QAbstractSlider::SliderPageStepAdd);
    QCOMPARE(f.dlg->scrollposition, 29);
    QCOMPARE(f.dlg->cardDisplay()->visibleText(), QStringLiteral("line 29"));
    QCOMPARE(caption(f), QStringLiteral("Card 1, side 1")); // scrolling does not step
}

void StudyViewTest::newCardScrollsBackToTop()
{
    WindowFixture f;
    f.show(buildDeck({{QStringLiteral("q1"), QStringLiteral("x\n").repeated(40), QStringLiteral("Main")},
                      {QStringLiteral("q2"), QStringLiteral("a2"), QStringLiteral("Main")}}));
    f.dlg->ChangeSide();
    f.dlg->cardScrollBar()->setValue(20);
    QCOMPARE(f.dlg->cardDisplay()->firstLine(), 20);
    f.dlg->ChangeSide();
    QCOMPARE(f.dlg->cardScrollBar()->value(), 0);
    QCOMPARE(f.dlg->cardDisplay()->firstLine(), 0);
    QCOMPARE(f.dlg->cardScrollBar()->maximum(), 0);
}

void StudyViewTest::jumpRejectsBadNumbersAndKeepsDialogOpen()
{
    WindowFixture f;
    f.study(5);
    f.dlg->ChangeSide(); // card 1, side 2
    onModal([&] { f.window->runCommand(CM_JUMP); }, [&](QDialog *dialog) {
        QCOMPARE(dialog->windowTitle(), QStringLiteral("Jump to Card"));
        QCOMPARE(dialog->findChild<QLabel *>(QStringLiteral("rangeLabel"))->text(), QStringLiteral("(1 - 5)"));
        QCOMPARE(dialog->findChild<QLabel *>(QStringLiteral("promptLabel"))->text(),
                 QStringLiteral("Type the card you wish to jump to:"));
        QCOMPARE(dialog->findChild<QPushButton *>(QStringLiteral("okButton"))->text(), QStringLiteral("&OK"));
        QVERIFY(dialog->findChild<QPushButton *>(QStringLiteral("okButton"))->isDefault());
        for (const QString &bad : {QStringLiteral("0"), QStringLiteral("6"), QStringLiteral("abc"),
                                   QStringLiteral("-3"), QString()}) {
            typeAndOk(dialog, bad);
            QVERIFY2(dialog->isVisible(), qPrintable(bad));
        }
        QCOMPARE(f.deck().side(), 0);
        QCOMPARE(f.deck().placeseek(), 0);
    });
    QVERIFY(f.dialogs.shown.isEmpty()); // no message for a bad number
}

void StudyViewTest::jumpToThreeOfFive()
{
    WindowFixture f;
    f.study(5);
    f.dlg->ChangeSide();
    onModal([&] { f.window->runCommand(CM_JUMP); }, [&](QDialog *dialog) {
        typeAndOk(dialog, QStringLiteral("3"));
        QVERIFY(!dialog->isVisible());
    });
    QCOMPARE(caption(f), QStringLiteral("Card 3, side 1"));
    QCOMPARE(f.dlg->cardDisplay()->text(), QStringLiteral("q3"));
    // Jumping onto a marked card shows the next unmarked one.
    f.deck().addMark(3);
    onModal([&] { f.window->runCommand(CM_JUMP); }, [&](QDialog *dialog) { typeAndOk(dialog, QStringLiteral(" 4")); });
    QCOMPARE(caption(f), QStringLiteral("Card 5, side 1"));
}

void StudyViewTest::jumpCancelledAfterBadOkShowsSideOne()
{
    WindowFixture f;
    f.study(5);
    f.dlg->ChangeSide();
    f.dlg->ChangeSide();
    f.dlg->ChangeSide(); // card 2, side 2
    onModal([&] { f.window->runCommand(CM_JUMP); }, [&](QDialog *dialog) {
        typeAndOk(dialog, QStringLiteral("9"));
        QTest::mouseClick(dialog->findChild<QPushButton *>(QStringLiteral("cancelButton")), Qt::LeftButton);
        QVERIFY(!dialog->isVisible());
    });
    QCOMPARE(caption(f), QStringLiteral("Card 2, side 1"));
}

void StudyViewTest::jumpWithEmptyViewWarns()
{
    WindowFixture f;
    f.window->studyCommands().CMJump(); // the enabler keeps the menu from getting here
    QCOMPARE(f.dialogs.shown.size(), 1);
    QCOMPARE(f.dialogs.shown.first().caption, QStringLiteral("Jump"));
    QCOMPARE(f.dialogs.shown.first().text, QStringLiteral("You must have a card to jump to."));
    QCOMPARE(f.dialogs.shown.first().icon, UserDialogs::Icon::Exclamation);
}

void StudyViewTest::informationShowsCounts()
{
    WindowFixture f;
    onModal([&] { f.window->runCommand(CM_INFORMATION); }, [&](QDialog *dialog) {
        QCOMPARE(dialog->windowTitle(), QStringLiteral("Information"));
        QVERIFY(dialog->findChild<QLabel *>(QStringLiteral("field867"))->text().isEmpty());
        QVERIFY(dialog->findChild<QLabel *>(QStringLiteral("field200"))->text().isEmpty());
        QCOMPARE(dialog->findChild<QLabel *>(QStringLiteral("field793"))->text(), QStringLiteral("1"));
        QCOMPARE(dialog->findChild<QLabel *>(QStringLiteral("field792"))->text(), QStringLiteral("0"));
        QCOMPARE(dialog->findChild<QLabel *>(QStringLiteral("label792"))->text(),
                 QStringLiteral("Cards in this category:"));
    });
}

void StudyViewTest::markWithTwoUnmarkedLeftThenInformation()
{
    WindowFixture f;
    f.study(3);
    f.window->fileCommands().setOpenFile(QStringLiteral("/home/me/decks/spanish.mdk"));
    f.window->runCommand(CM_MARK);
    QCOMPARE(caption(f), QStringLiteral("Card 2, side 1"));
    f.window->runCommand(CM_MARK);
    QCOMPARE(caption(f), QStringLiteral("Card 3, side 1"));
    // The last unmarked card cannot be marked.
    f.window->studyCommands().CMMark();
    QCOMPARE(f.dialogs.shown.size(), 1);
    QCOMPARE(f.dialogs.shown.first().caption, QStringLiteral("Mark"));
    QCOMPARE(f.dialogs.shown.first().icon, UserDialogs::Icon::Stop);
    QCOMPARE(f.dialogs.shown.first().text,
             QStringLiteral("Cannot mark all the cards in this file.  You must have at least 1 unmarked card."));
    QCOMPARE(f.deck().marks().GetCount(), 2);
    onModal([&] { f.window->runCommand(CM_INFORMATION); }, [&](QDialog *dialog) {
        auto field = [&](const char *id) {
            return dialog->findChild<QLabel *>(QStringLiteral("field") + QLatin1String(id))->text();
        };
        QCOMPARE(field("867"), QStringLiteral("spanish"));
        QCOMPARE(field("868"), QStringLiteral("/home/me/decks"));
        QCOMPARE(field("200"), QStringLiteral("3"));
        QCOMPARE(field("870"), QStringLiteral("2"));
        QCOMPARE(field("871"), QStringLiteral("0"));
        QCOMPARE(field("793"), QStringLiteral("1"));
        QCOMPARE(field("792"), QStringLiteral("3"));
    });
}

// Random study keys against the clicks they stand for, run on a copy of
// the deck, with marks and the focus going to the tree and back.
void StudyViewTest::keysStepAsClicksWhileTheCardHasTheFocus()
{
    QRandomGenerator random(19);
    for (int round = 0; round < 6; ++round) {
        WindowFixture f;
        f.study(1 + random.bounded(7));
        const int n = f.deck().viewCount();
        for (int k = random.bounded(n); k > 0; --k)
            f.deck().addMark(random.bounded(n));
        Deck clicks = f.deck();
        CardDisplay *card = f.dlg->cardDisplay();
        QTRY_COMPARE(QApplication::focusWidget(), card);
        for (int i = 0; i < 60; ++i) {
            const int r = random.bounded(9);
            if (r == 8) { // to the tree, where the study keys step nothing, and back
                QTest::keyClick(card, Qt::Key_Tab);
                QCOMPARE(QApplication::focusWidget(), f.dlg->categoriesTree());
                for (Qt::Key key : {Qt::Key_Space, Qt::Key_Backspace, Qt::Key_End})
                    QTest::keyClick(f.dlg->categoriesTree(), key);
                QTest::keyClick(f.dlg->categoriesTree(), Qt::Key_Backtab, Qt::ShiftModifier);
                QCOMPARE(QApplication::focusWidget(), card);
            } else if (r < 6) {
                constexpr Qt::Key kKeys[] = {Qt::Key_Space, Qt::Key_Right, Qt::Key_PageDown,
                                             Qt::Key_Backspace, Qt::Key_Left, Qt::Key_PageUp};
                QTest::keyClick(card, kKeys[r]);
                r < 3 ? study::stepForward(clicks) : study::stepBackward(clicks);
            } else { // Home, End: the first or last card no mark names
                QTest::keyClick(card, r == 6 ? Qt::Key_Home : Qt::Key_End);
                study::clearMarksIfAllMarked(clicks);
                int target = r == 6 ? 0 : n - 1;
                while (clicks.marks().isMarked(target))
                    target += r == 6 ? 1 : -1;
                clicks.setCurrentCard(target, 0);
            }
            study::settle(clicks);
            QCOMPARE(f.deck().placeseek(), clicks.placeseek());
            QCOMPARE(f.deck().side(), clicks.side());
            QCOMPARE(caption(f), study::cardCaption(clicks));
            QCOMPARE(card->text(), study::shownText(clicks));
        }
        // A held key's repeats queued ahead of its release never step.
        QKeyEvent repeat(QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "), true);
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "));
        for (int i = 0; i < 5; ++i)
            QApplication::sendEvent(card, &repeat);
        QApplication::sendEvent(card, &release);
        QCoreApplication::processEvents();
        QCOMPARE(caption(f), study::cardCaption(clicks));
        // After a dialog the card has the keys, even when the tree had them.
        QTest::keyClick(card, Qt::Key_Tab);
        onModal([&] { QTest::keyClick(f.window.get(), Qt::Key_I, Qt::ControlModifier); }, [](QDialog *) {});
        QTRY_COMPARE(QApplication::focusWidget(), card);
    }
}

QTEST_MAIN(StudyViewTest)
#include "test_studyview.moc"
