// The frame and the main dialog as a user meets them: menus, keys, tool
// bar, enablers, the status line, the clock, the start-up load and closing.

#include "support/deckbuilder.h"
#include "support/cardfilebytes.h"
#include "support/windowfixture.h"

#include "core/settings/settings.h"
#include "core/settings/settingsstore.h"
#include "core/deck/cardfile.h"
#include "core/shell/commandids.h"
#include "core/shell/commandtable.h"
#include "gui/about/aboutcontroller.h"
#include "gui/files/filecommands.h"
#include "gui/notepad/notepadcontroller.h"
#include "gui/notepad/notepadwindow.h"
#include "gui/about/aboutwindow.h"
#include "gui/study/carddisplay.h"

#include <QAction>
#include <QApplication>
#include <QPointer>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QTreeWidget>

#include <algorithm>

using namespace mdk;
using namespace mdk::testsupport;

namespace {

// How many questions (Yes/No boxes) were asked.
int questionsAsked(const WindowFixture &f)
{
    return int(std::count_if(f.dialogs.shown.cbegin(), f.dialogs.shown.cend(),
                             [](const ScriptedDialogs::Shown &s) { return s.buttons != QMessageBox::Ok; }));
}

// The last search as the settings file under home holds it now.
QString storedLastSearch(const QString &home)
{
    SettingsStore store(home + QStringLiteral("/config/Mnemodeck.ini"), home + QStringLiteral("/data/classes.ini"));
    return store.RetrieveInfo(settings::kConfigKey, QStringLiteral("LastSearch")) ? store.RegString() : QString();
}

} // namespace

class MainWindowTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void frameIsFixedAndTitled();
    void everyRowIsOneBoundActionInItsMenu();
    void boundCommandsAreLive();
    void enablersFollowTheState();
    void undoNamesItsStepAndKnowsTheSavedState();
    void menuHintShowsInStatusBar();
    void keysWorkWhileTheTreeHasFocus();
    void enterAndEscapeDoNothing();

    void statusMessageExpiresToCaption();
    void secondMessageRestartsTheThreeSeconds();
    void statusMessageExpiresToEmptyLineOnEmptyView();
    void clockGadgets();
    void clockBoxesHoldTheWidestTexts();

    void startupLoadsSplitNameWithCapitalExtension();
    void startupNameWithMdkInsideKeepsAllButTheLastSuffix();
    void startupWithMissingFileShowsCannotLoad();
    void startupRefusesEarlierLayout();
    void startupWithFullStoreKeepsWhatFits();
    void selectingACategoryOpensIt();

    void exitAsksAboutANeverSavedDeck();
    void exitYesWithFailedSaveKeepsWindowOpen();
    void exitYesWithSaveCloses();
    void exitInSubcategoryModeAsksAndYesLeavesTheModeToSave();
    void exitCommandClosesUnchangedDeck();
    void notepadAndAboutGreyTheirCommandsOnlyWhileOpen();
    void notepadKeepsItsKeys();
};

void MainWindowTest::frameIsFixedAndTitled()
{
    WindowFixture f;
    QCOMPARE(f.window->windowTitle(), QStringLiteral("Mnemodeck"));
    QCOMPARE(f.window->objectName(), QStringLiteral("MnemodeckWindow"));
    QVERIFY(!f.window->windowIcon().isNull());
    QCOMPARE(f.window->minimumSize(), f.window->maximumSize());
    QVERIFY(!(f.window->windowFlags() & Qt::WindowMaximizeButtonHint));
    const QSize tmpl = f.dlg->templateSize();
    QCOMPARE(f.window->width(), tmpl.width());
    QCOMPARE(f.window->height(), tmpl.height() - 22 + f.window->menuBar()->sizeHint().height());
    // The card display and its scroll bar are not cut off by the status bar.
    const QRect shown = f.dlg->rect();
    QVERIFY(shown.contains(f.dlg->cardDisplay()->geometry()));
    QVERIFY(shown.contains(f.dlg->cardScrollBar()->geometry()));
    QVERIFY(shown.contains(f.dlg->categoriesTree()->geometry()));
}

void MainWindowTest::everyRowIsOneBoundActionInItsMenu()
{
    WindowFixture f;
    QHash<QMenu *, QSet<QChar>> letters;
    for (const CommandRow &row : commandTable()) {
        QAction *a = f.window->commandAction(row.id);
        QVERIFY2(a && a->data().toInt() == row.id, row.text);
        QVERIFY2(f.window->isBound(row.id), row.text);
        QVERIFY2(!a->statusTip().isEmpty(), row.text);
        QMenu *menu = f.window->popupMenu(row.popup);
        QVERIFY2(menu->actions().contains(a), row.text);
        QCOMPARE(a->shortcuts(), row.key ? QKeySequence::listFromString(QString::fromLatin1(row.key)) : QList<QKeySequence>());
        if (!row.text)
            continue; // a recent file: its name is shown literally
        // At most one mnemonic an item, and no letter twice in a menu.
        const QString text = QString::fromUtf8(row.text).replace(QStringLiteral("&&"), QString());
        QVERIFY2(text.count(QLatin1Char('&')) <= 1, row.text);
        const qsizetype amp = text.indexOf(QLatin1Char('&'));
        if (amp >= 0) {
            const QChar letter = text.at(amp + 1).toLower();
            QVERIFY2(!letters[menu].contains(letter), row.text);
            letters[menu].insert(letter);
        }
    }
    // Undo and Redo stand apart from the clipboard's commands.
    const QList<QAction *> edit = f.window->popupMenu(Popup::Edit)->actions();
    const qsizetype redo = edit.indexOf(f.window->commandAction(CM_REDO));
    QVERIFY(redo >= 0 && redo + 2 < edit.size());
    QVERIFY(edit[redo + 1]->isSeparator());
    QCOMPARE(edit[redo + 2], f.window->commandAction(CM_CUT));
    for (QAction *a : f.window->toolBar()->actions())
        if (!a->isSeparator()) {
            QCOMPARE(f.window->commandAction(a->data().toInt()), a);
            QCOMPARE(a->icon().availableSizes().value(0), QSize(25, 22));
        }
}

void MainWindowTest::boundCommandsAreLive()
{
    WindowFixture f;
    f.study(5);
    mdk::testsupport::makeChanged(f.deck());
    f.window->runCommand(CM_COPY);
    // Every bound command with a permissive state is live.
    for (int id : {CM_INFORMATION, CM_EXIT, CM_MARK, CM_JUMP, CM_FILENEW, CM_FILEOPEN, CM_FILESAVE,
                   CM_FILESAVEAS, CM_CHANGEFONT, CM_HELP, CM_CARDADD, CM_EDIT, CM_DELETECARD, CM_PASTE,
                   CM_CARDSEARCH, CM_SHUFFLE, CM_FLIP, CM_CLEARCATEGORY, CM_MOVE, CM_VIEWSUBCATEGORIES,
                   CM_NOTEPAD, CM_ABOUT})
        QVERIFY(f.enabled(id));
}

void MainWindowTest::enablersFollowTheState()
{
    WindowFixture f;
    QVERIFY(f.enabled(CM_INFORMATION));
    QVERIFY(!f.enabled(CM_MARK) && !f.enabled(CM_JUMP) && !f.enabled(CM_UNMARKALL));

    f.study(3);
    QVERIFY(f.enabled(CM_MARK) && f.enabled(CM_JUMP) && !f.enabled(CM_UNMARKALL));
    f.window->runCommand(CM_MARK); // two unmarked cards left
    QVERIFY(f.enabled(CM_MARK) && f.enabled(CM_UNMARKALL));
    f.window->runCommand(CM_MARK); // one unmarked card left
    QVERIFY(!f.enabled(CM_MARK));
    QCOMPARE(f.deck().marks().GetCount(), 2);
    // The tool-bar button is the same action.
    QList<QAction *> bar = f.window->toolBar()->actions();
    auto mark = std::find_if(bar.begin(), bar.end(), [](QAction *a) { return a->data().toInt() == CM_MARK; });
    QVERIFY(mark != bar.end() && !(*mark)->isEnabled());

    f.window->runCommand(CM_UNMARKALL);
    QCOMPARE(f.deck().marks().GetCount(), 0);
    QVERIFY(f.enabled(CM_MARK) && !f.enabled(CM_UNMARKALL));

    f.study(1);
    QVERIFY(!f.enabled(CM_JUMP) && !f.enabled(CM_MARK));
    // A state changed behind the window's back is picked up when a menu opens.
    f.deck().addMark(0);
    QVERIFY(!f.enabled(CM_UNMARKALL));
    Q_EMIT f.window->popupMenu(Popup::Card)->aboutToShow();
    QVERIFY(f.enabled(CM_UNMARKALL));
    // So is the check mark of View subcategories, the one checkable item.
    QAction *sub = f.window->commandAction(CM_VIEWSUBCATEGORIES);
    QVERIFY(sub->isCheckable() && !sub->isChecked());
    QVERIFY(!f.window->commandAction(CM_MARK)->isCheckable());
    f.deck().ToggleSubcategoryMode();
    Q_EMIT f.window->popupMenu(Popup::Category)->aboutToShow();
    QVERIFY(sub->isChecked());
}

void MainWindowTest::undoNamesItsStepAndKnowsTheSavedState()
{
    QTemporaryDir dir;
    QVERIFY(writeCardFile(dir.filePath(QStringLiteral("u.mdk")), {},
                          {{"one", "1", "Main"}, {"two", "2", "Main"}, {"three", "3", "Main"}}));
    WindowFixture f;
    f.window->LoadStartupFileFn(parseCommandLine({dir.filePath(QStringLiteral("u.mdk"))}, QStringLiteral("/")));
    QAction *undo = f.window->commandAction(CM_UNDO);
    QAction *redo = f.window->commandAction(CM_REDO);
    QVERIFY(!undo->isEnabled() && !redo->isEnabled());

    f.window->runCommand(CM_CUT);
    f.window->runCommand(CM_FLIP);
    QCOMPARE(undo->text(), QStringLiteral("U&ndo Flip"));
    QVERIFY(f.enabled(CM_FILESAVE));
    f.window->runCommand(CM_UNDO);
    QCOMPARE(undo->text(), QStringLiteral("U&ndo Cut"));
    QCOMPARE(redo->text(), QStringLiteral("&Redo Flip"));
    QCOMPARE(f.dlg->cardDisplay()->text(), QStringLiteral("two"));
    // Back at the file as saved: nothing to save, and no question at exit.
    f.window->runCommand(CM_UNDO);
    QCOMPARE(f.dlg->cardDisplay()->text(), QStringLiteral("one"));
    QVERIFY(!f.deck().changed() && !f.enabled(CM_FILESAVE) && !undo->isEnabled());
    f.window->runCommand(CM_REDO);
    QVERIFY(f.deck().changed() && f.enabled(CM_FILESAVE));

    // Opening a file starts a new history.
    f.window->LoadStartupFileFn(parseCommandLine({dir.filePath(QStringLiteral("u.mdk"))}, QStringLiteral("/")));
    QVERIFY(!undo->isEnabled() && !redo->isEnabled());
}

void MainWindowTest::menuHintShowsInStatusBar()
{
    WindowFixture f;
    f.study(3);
    QAction *mark = f.window->commandAction(CM_MARK);
    QVERIFY(mark->showStatusText(f.window.get()));
    QCOMPARE(f.window->statusBar()->currentMessage(), QStringLiteral("Mark this card to exclude it from testing"));
}

void MainWindowTest::keysWorkWhileTheTreeHasFocus()
{
    WindowFixture f;
    f.study(4);
    f.window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(f.window.get()));
    f.dlg->categoriesTree()->setFocus();
    QTest::keyClick(f.dlg->categoriesTree(), Qt::Key_M, Qt::ControlModifier);
    QCOMPARE(f.deck().marks().GetCount(), 1);
    QCOMPARE(f.deck().placeseek(), 1);
}

void MainWindowTest::enterAndEscapeDoNothing()
{
    WindowFixture f;
    f.study(3);
    f.dlg->ChangeSide();
    f.window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(f.window.get()));
    for (QWidget *target : {static_cast<QWidget *>(f.dlg), static_cast<QWidget *>(f.dlg->categoriesTree())}) {
        target->setFocus();
        QTest::keyClick(target, Qt::Key_Return);
        QTest::keyClick(target, Qt::Key_Enter);
        QTest::keyClick(target, Qt::Key_Escape);
    }
    QVERIFY(f.window->isVisible());
    QVERIFY(f.dlg->isVisible());
    QCOMPARE(f.deck().placeseek(), 0);
    QCOMPARE(f.deck().side(), 1);
    QVERIFY(!f.deck().showSubCategories()); // the command sharing OK's id did not run
    QVERIFY(f.dialogs.shown.isEmpty());
}

void MainWindowTest::statusMessageExpiresToCaption()
{
    WindowFixture f;
    f.study(3);
    f.dlg->ChangeSide();
    QCOMPARE(f.window->statusText(), QStringLiteral("Card 1, side 2"));
    f.window->ShowStatusMessage(QStringLiteral("Card deleted"));
    QVERIFY(f.window->ShowingMessage);
    QVERIFY(f.window->timer(3).isActive());
    QCOMPARE(f.window->timer(3).interval(), 3000);
    QVERIFY(f.window->timer(3).isSingleShot());
    // While the message shows, stepping leaves the status line alone.
    f.dlg->ChangeSide();
    QCOMPARE(f.window->statusText(), QStringLiteral("Card deleted"));
    f.window->EvTimer(3);
    QVERIFY(!f.window->ShowingMessage);
    QVERIFY(!f.window->timer(3).isActive());
    QCOMPARE(f.window->statusText(), QStringLiteral("Card 2, side 1"));
}

void MainWindowTest::secondMessageRestartsTheThreeSeconds()
{
    WindowFixture f;
    f.study(2);
    f.window->ShowStatusMessage(QStringLiteral("first"));
    QTest::qWait(300);
    f.window->ShowStatusMessage(QStringLiteral("second"));
    QVERIFY(f.window->timer(3).remainingTime() > 2800);
    QCOMPARE(f.window->statusText(), QStringLiteral("second"));
}

void MainWindowTest::statusMessageExpiresToEmptyLineOnEmptyView()
{
    WindowFixture f;
    f.window->ShowStatusMessage(QStringLiteral("File saved"));
    f.window->EvTimer(3);
    QCOMPARE(f.window->statusText(), QString());
}

void MainWindowTest::clockGadgets()
{
    WindowFixture f;
    QVERIFY(f.window->timer(1).isActive());
    QCOMPARE(f.window->timer(1).interval(), 500);
    const QDate day(1996, 12, 6);
    f.window->SetTime(QDateTime(day, QTime(12, 0, 10)));
    QCOMPARE(f.window->timeText(), QStringLiteral("12:00 PM"));
    f.window->SetTime(QDateTime(day, QTime(13, 7, 0)));
    QCOMPARE(f.window->timeText(), QStringLiteral("1:07 PM"));
    f.window->SetDate(day);
    QCOMPARE(f.window->dateText(), QStringLiteral("12/6/1996"));
    f.window->SetTime(QDateTime(day.addDays(1), QTime(0, 0, 0)));
    QCOMPARE(f.window->timeText(), QStringLiteral("12:00 AM"));
    QCOMPARE(f.window->dateText(), QStringLiteral("12/7/1996"));
}

void MainWindowTest::clockBoxesHoldTheWidestTexts()
{
    WindowFixture f;
    QVERIFY(QTest::qWaitForWindowExposed(f.window.get()));
    auto *timeBox = f.window->findChild<QLabel *>(QStringLiteral("TimeGadget"));
    auto *dateBox = f.window->findChild<QLabel *>(QStringLiteral("DateGadget"));
    QVERIFY(timeBox && dateBox);
    // Any date fits within two digits of month and day and four of year,
    // each as wide as the font's widest digit.
    const QFontMetrics dateFm(dateBox->font());
    QChar wide = QLatin1Char('0');
    for (char c = '1'; c <= '9'; ++c)
        if (dateFm.horizontalAdvance(QLatin1Char(c)) > dateFm.horizontalAdvance(wide))
            wide = QLatin1Char(c);
    const QString widestDate = QString(2, wide) + QLatin1Char('/') + QString(2, wide) + QLatin1Char('/') + QString(4, wide);
    // A left-aligned label loses its indent on the left.
    auto room = [](const QLabel *box) { return box->contentsRect().width() - qMax(0, box->indent()); };
    for (const QString &date : {QStringLiteral("12/27/2026"), widestDate})
        QVERIFY2(dateFm.horizontalAdvance(date) <= room(dateBox), qPrintable(date));
    QVERIFY(QFontMetrics(timeBox->font()).horizontalAdvance(QStringLiteral("12:00 PM")) <= room(timeBox));
    // Both boxes are within the frame, not pushed past its right edge.
    for (const QLabel *box : {timeBox, dateBox}) {
        const QRect inWindow(box->mapTo(f.window.get(), QPoint(0, 0)), box->size());
        QVERIFY2(inWindow.left() >= 0 && inWindow.right() < f.window->width(), qPrintable(box->objectName()));
        QVERIFY(box->isVisible());
    }
    QVERIFY(timeBox->mapTo(f.window.get(), QPoint(0, 0)).x() < dateBox->mapTo(f.window.get(), QPoint(0, 0)).x());
}

void MainWindowTest::startupLoadsSplitNameWithCapitalExtension()
{
    QTemporaryDir dir;
    QVERIFY(writeCardFile(dir.filePath(QStringLiteral("Spanish Words.MDK")), {{"Verbs", "Main"}},
                          {{"el perro", "the dog", "Main"}, {"ir", "to go", "Verbs"}, {"la casa", "the house", "Main"}}));
    WindowFixture f;
    const StartupFile s = parseCommandLine(
        {dir.path() + QStringLiteral("/spanish"), QStringLiteral("words.MDK")}, QStringLiteral("/"));
    f.window->LoadStartupFileFn(s);
    QVERIFY(f.dialogs.shown.isEmpty());
    QCOMPARE(f.window->windowTitle(), QStringLiteral("Mnemodeck - Spanish Words"));
    QCOMPARE(f.window->statusText(), QStringLiteral("Spanish Words: 3 cards"));
    QCOMPARE(f.window->openFile().ProtectedFileName, QStringLiteral("Spanish Words"));
    QCOMPARE(f.window->openFile().ProtectedFilePath, dir.path());
    QCOMPARE(f.dlg->cardDisplay()->text(), QStringLiteral("el perro"));
    QCOMPARE(f.deck().viewCount(), 2);
    QCOMPARE(f.dlg->categoriesTree()->topLevelItem(0)->text(0), QStringLiteral("Main"));
    QCOMPARE(f.dlg->categoriesTree()->topLevelItem(0)->child(0)->text(0), QStringLiteral("Verbs"));
    f.window->EvTimer(3);
    QCOMPARE(f.window->statusText(), QStringLiteral("Card 1, side 1"));
}

void MainWindowTest::startupNameWithMdkInsideKeepsAllButTheLastSuffix()
{
    QTemporaryDir dir;
    QVERIFY(writeCardFile(dir.filePath(QStringLiteral("lesson.mdk.old.mdk")), {}, {{"uno", "one", "Main"}}));
    WindowFixture f;
    f.window->LoadStartupFileFn(
        parseCommandLine({dir.filePath(QStringLiteral("lesson.mdk.old.mdk"))}, QStringLiteral("/")));
    QVERIFY2(f.dialogs.shown.isEmpty(), qPrintable(f.dialogs.messages().join(QLatin1Char('\n'))));
    QCOMPARE(f.window->windowTitle(), QStringLiteral("Mnemodeck - lesson.mdk.old"));
    QCOMPARE(f.window->openFile().ProtectedFileName, QStringLiteral("lesson.mdk.old"));
    QCOMPARE(f.deck().viewCount(), 1);
    QCOMPARE(f.dlg->cardDisplay()->text(), QStringLiteral("uno"));
}

void MainWindowTest::startupWithMissingFileShowsCannotLoad()
{
    QTemporaryDir dir;
    WindowFixture f;
    f.window->LoadStartupFileFn(parseCommandLine({QStringLiteral("gone.mdk")}, dir.path()));
    QCOMPARE(f.dialogs.shown.size(), 1);
    const auto &m = f.dialogs.shown.first();
    QCOMPARE(m.caption, QStringLiteral("File Open"));
    QCOMPARE(m.icon, UserDialogs::Icon::Exclamation);
    QCOMPARE(m.text, QStringLiteral("Cannot load gone in the ") + dir.path() + QStringLiteral(" folder."));
    QCOMPARE(f.window->windowTitle(), QStringLiteral("Mnemodeck"));
    QVERIFY(f.window->openFile().ProtectedFileName.isEmpty() && f.window->openFile().ProtectedFilePath.isEmpty());
    QCOMPARE(f.deck().viewCount(), 0);
}

void MainWindowTest::startupRefusesEarlierLayout()
{
    QTemporaryDir dir;
    {
        QFile old(dir.filePath(QStringLiteral("old.mdk")));
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write(QByteArray("hola\x07hello\x07", 11));
    }
    WindowFixture f;
    f.study(2); // whatever is on screen stays
    f.dialogs.answers << QMessageBox::No; // do not convert it
    f.window->LoadStartupFileFn(parseCommandLine({QStringLiteral("old.mdk")}, dir.path()));
    QCOMPARE(f.dialogs.shown.size(), 2);
    QCOMPARE(f.dialogs.shown.first().text,
             QStringLiteral("old.mdk appears to be of a previous format.  Do you want to convert it?"));
    QCOMPARE(f.dialogs.shown.last().caption, QStringLiteral("Auto Convert"));
    QCOMPARE(f.dialogs.shown.last().icon, UserDialogs::Icon::Stop);
    QCOMPARE(f.dialogs.shown.last().text,
             QStringLiteral("Cannot continue to load this file.  It is of a previous and unintelligible format."));
    QCOMPARE(f.window->windowTitle(), QStringLiteral("Mnemodeck"));
    QCOMPARE(f.deck().viewCount(), 2);
    QVERIFY(f.window->openFile().ProtectedFileName.isEmpty());
}

void MainWindowTest::startupWithFullStoreKeepsWhatFits()
{
    QTemporaryDir dir;
    QList<CardBytes> cards;
    for (int i = 0; i < 10; ++i)
        cards.append({"s" + QByteArray::number(i), "t" + QByteArray::number(i), "Main"});
    QVERIFY(writeCardFile(dir.filePath(QStringLiteral("big.mdk")), {}, cards));
    WindowFixture f;
    f.deck().setCapacity(4);
    f.window->LoadStartupFileFn(parseCommandLine({QStringLiteral("big.mdk")}, dir.path()));
    QCOMPARE(f.dialogs.shown.size(), 1);
    QCOMPARE(f.dialogs.shown.first().caption, QStringLiteral("Load"));
    QCOMPARE(f.dialogs.shown.first().text,
             QStringLiteral("Cannot load all the cards in this file.  Your file has exceeded the maximum possible size"));
    QCOMPARE(f.deck().fileCount(), 4);
    QCOMPARE(f.window->windowTitle(), QStringLiteral("Mnemodeck - big"));
    QCOMPARE(f.window->statusText(), QStringLiteral("big: 4 cards"));
}

void MainWindowTest::selectingACategoryOpensIt()
{
    QTemporaryDir dir;
    QVERIFY(writeCardFile(dir.filePath(QStringLiteral("d.mdk")), {{"Verbs", "Main"}},
                          {{"m1", "x", "Main"}, {"v1", "y", "Verbs"}, {"v2", "z", "Verbs"}}));
    WindowFixture f;
    f.window->LoadStartupFileFn(parseCommandLine({QStringLiteral("d.mdk")}, dir.path()));
    f.dlg->ChangeSide();
    QTreeWidgetItem *verbs = f.dlg->categoriesTree()->topLevelItem(0)->child(0);
    f.dlg->categoriesTree()->setCurrentItem(verbs);
    QCOMPARE(f.deck().oldTreeName(), QStringLiteral("Verbs"));
    QCOMPARE(f.deck().viewCount(), 2);
    QCOMPARE(f.deck().side(), 0);
    QCOMPARE(f.dlg->cardDisplay()->text(), QStringLiteral("v1"));
    QVERIFY(!f.deck().changed());
}

void MainWindowTest::exitAsksAboutANeverSavedDeck()
{
    WindowFixture f;
    f.study(2);
    mdk::testsupport::makeChanged(f.deck());
    f.dialogs.answers = {QMessageBox::No};
    QVERIFY(f.window->close());
    QCOMPARE(f.dialogs.shown.size(), 1);
    const auto &m = f.dialogs.shown.first();
    QCOMPARE(m.caption, QStringLiteral("Save File"));
    QCOMPARE(m.icon, UserDialogs::Icon::Exclamation);
    QCOMPARE(m.buttons, QMessageBox::Yes | QMessageBox::No);
    QCOMPARE(m.text, QStringLiteral("This file has changed.  Would you like to save it before exiting?"));
    QVERIFY(!f.window->isVisible());
    QVERIFY(!f.window->timer(1).isActive());
    QVERIFY(f.dialogs.unexpected.isEmpty());
}

void MainWindowTest::exitYesWithFailedSaveKeepsWindowOpen()
{
    QTemporaryDir home;
    QTemporaryDir decks;
    // A file where a folder should be: no one, not even root, can write
    // below it.
    QVERIFY(writeBytes(decks.filePath(QStringLiteral("blocker")), "x"));
    WindowFixture f(home.path());
    f.study(2);
    f.deck().markSaved();
    mdk::testsupport::makeChanged(f.deck());
    f.window->fileCommands().setOpenFile(decks.filePath(QStringLiteral("blocker/spanish.mdk")));

    f.window->options().LastSearch = QStringLiteral("first attempt");
    f.dialogs.answers = {QMessageBox::Yes};
    QVERIFY(!f.window->close());
    QCOMPARE(questionsAsked(f), 1);
    QCOMPARE(f.dialogs.shown.first().text,
             QStringLiteral("spanish has changed.  Would you like to save it before exiting?"));
    QCOMPARE(f.dialogs.shown.last().caption, QStringLiteral("Save File")); // the write failure
    QCOMPARE(f.dialogs.shown.last().buttons, QMessageBox::Ok);
    QVERIFY(f.window->isVisible());
    QVERIFY(f.deck().changed());
    QVERIFY(f.window->timer(1).isActive()); // the clock keeps going
    QCOMPARE(storedLastSearch(home.path()), QStringLiteral("first attempt"));

    // A never-saved deck whose save dialog is cancelled keeps the window
    // open too.
    Deck fresh = mdk::testsupport::mainDeck(2);
    mdk::testsupport::makeChanged(fresh);
    f.show(std::move(fresh));
    f.dialogs.shown.clear();
    f.window->options().LastSearch = QStringLiteral("second attempt");
    f.dialogs.answers = {QMessageBox::Yes};
    f.dialogs.saveAnswers = {QString()};
    QVERIFY(!f.window->close());
    QCOMPARE(questionsAsked(f), 1);
    QCOMPARE(f.dialogs.fileDialogs.size(), 1);
    QVERIFY(f.window->isVisible());
    QVERIFY(f.deck().changed());
    QCOMPARE(storedLastSearch(home.path()), QStringLiteral("second attempt"));
    QVERIFY(f.dialogs.unexpected.isEmpty());
}

void MainWindowTest::exitYesWithSaveCloses()
{
    QTemporaryDir home;
    QTemporaryDir decks;
    WindowFixture f(home.path());
    f.study(2);
    mdk::testsupport::makeChanged(f.deck());
    f.window->options().LastSearch = QStringLiteral("casa");
    f.dialogs.answers = {QMessageBox::Yes};
    f.dialogs.saveAnswers = {decks.filePath(QStringLiteral("Lesson"))};
    QVERIFY(f.window->close());
    QCOMPARE(questionsAsked(f), 1);
    QVERIFY(!f.window->isVisible());
    QVERIFY(!f.deck().changed());
    QVERIFY(QFileInfo(decks.filePath(QStringLiteral("Lesson.mdk"))).size() > 0);
    QCOMPARE(storedLastSearch(home.path()), QStringLiteral("casa"));
    QVERIFY(f.dialogs.unexpected.isEmpty());
}

void MainWindowTest::exitInSubcategoryModeAsksAndYesLeavesTheModeToSave()
{
    QTemporaryDir home;
    const QString path = home.filePath(QStringLiteral("two.mdk"));
    QVERIFY(writeCardFile(path, {{"Verbs", "Main"}}, {{"q1", "a1", "Main"}, {"v1", "b1", "Verbs"}}));
    WindowFixture f(home.path());
    QVERIFY(f.window->fileCommands().FileLoad(path, QStringLiteral("two")));
    f.window->fileCommands().setOpenFile(path);
    mdk::testsupport::makeChanged(f.deck());
    f.deck().ToggleSubcategoryMode(); // the combined view: q1, v1
    QCOMPARE(f.deck().viewCount(), 2);
    f.window->options().LastSearch = QStringLiteral("perro");
    f.dialogs.answers << QMessageBox::Yes;
    QVERIFY(f.window->close());
    QCOMPARE(f.dialogs.messages(),
             QStringList{QStringLiteral("Save File|two has changed.  Would you like to save it before exiting?")});
    QVERIFY(!f.deck().showSubCategories());
    // The save folded back "Main" alone: the combined view did not become
    // two cards of "Main".
    Deck saved;
    QVERIFY(cardfile::read(path, saved).opened);
    QCOMPARE(fileColumn(saved, Column::Category), (QStringList{"Verbs", "Main"}));
    // Settings are saved on every close attempt.
    QCOMPARE(storedLastSearch(home.path()), QStringLiteral("perro"));
}

void MainWindowTest::exitCommandClosesUnchangedDeck()
{
    WindowFixture f;
    f.study(2);
    // Notes typed in the notepad are not thrown away unasked either.
    f.window->runCommand(CM_NOTEPAD);
    QPointer<NotepadWindow> pad = f.window->notepadCommands().notepad();
    QTest::keyClicks(pad->textEdit(), QStringLiteral("notes"));
    f.dialogs.answers = {QMessageBox::No};
    f.window->runCommand(CM_EXIT);
    QVERIFY(f.window->isVisible() && pad && pad->isVisible());
    QCOMPARE(f.dialogs.messages(), QStringList{QStringLiteral("Notepad|Discard the notes?")});
    f.dialogs.answers = {QMessageBox::Yes};
    f.window->runCommand(CM_EXIT);
    QVERIFY(!f.window->isVisible());
    QTRY_VERIFY(pad.isNull());
}

void MainWindowTest::notepadAndAboutGreyTheirCommandsOnlyWhileOpen()
{
    WindowFixture f;
    f.window->runCommand(CM_NOTEPAD);
    QPointer<QWidget> pad = f.window->notepadCommands().notepad();
    QVERIFY(pad && pad->isVisible());
    QVERIFY(!f.enabled(CM_NOTEPAD));
    f.window->notepadCommands().NewNotepad(); // no second notepad
    QCOMPARE(f.window->notepadCommands().notepad(), pad.data());
    // Closed by any means, the notepad frees its command again.
    pad->close();
    QTRY_VERIFY(pad.isNull());
    QVERIFY(f.enabled(CM_NOTEPAD));

    f.window->runCommand(CM_ABOUT);
    QPointer<QWidget> about = f.window->aboutCommands().aboutWindow();
    QVERIFY(about && about->isVisible());
    QVERIFY(!f.enabled(CM_ABOUT));
    QTest::keyClick(about, Qt::Key_Escape);
    QTRY_VERIFY(about.isNull());
    QVERIFY(f.enabled(CM_ABOUT));
}

void MainWindowTest::notepadKeepsItsKeys()
{
    WindowFixture f;
    f.study(3);
    QList<QSignalSpy *> ran;
    for (const CommandRow &row : commandTable())
        if (QAction *action = f.window->commandAction(row.id); !action->shortcut().isEmpty())
            ran << new QSignalSpy(action, &QAction::triggered);
    const auto noCommandRan = [&] {
        return std::all_of(ran.cbegin(), ran.cend(), [](QSignalSpy *s) { return s->isEmpty(); });
    };
    // A dialog a stray command opened is closed, so a failure cannot hang.
    QTimer closer;
    connect(&closer, &QTimer::timeout, [] {
        if (QWidget *modal = QApplication::activeModalWidget())
            modal->close();
    });
    closer.start(50);

    f.window->runCommand(CM_NOTEPAD);
    NotepadWindow *pad = f.window->notepadCommands().notepad();
    QTRY_COMPARE(QApplication::activeWindow(), pad);
    QPlainTextEdit *notes = pad->textEdit();
    QTest::keyClicks(notes, QStringLiteral("note"));
    QTest::keyClick(notes, Qt::Key_D, Qt::ControlModifier);
    QTest::keyClick(notes, Qt::Key_N, Qt::ControlModifier);
    QVERIFY(noCommandRan());
    QCOMPARE(notes->toPlainText(), QStringLiteral("note"));
    // Alt+C is the notepad's own Close (a click a moment later), not the Card menu.
    f.dialogs.answers << QMessageBox::No;
    QTest::keyClick(notes, Qt::Key_C, Qt::AltModifier);
    QTRY_COMPARE(f.dialogs.messages(), QStringList{QStringLiteral("Notepad|Discard the notes?")});
    QVERIFY(!QApplication::activePopupWidget());
    QVERIFY(f.window->notepadCommands().notepad());
    QVERIFY(noCommandRan());
    QCOMPARE(f.deck().viewCount(), 3);
    qDeleteAll(ran);
}

QTEST_MAIN(MainWindowTest)
#include "test_mainwindow.moc"
