// The frame and the main dialog as a user meets them: menus, keys, tool
// bar, enablers, the status line, the clock, the start-up load and closing.

#include "windowfixture.h"

#include "core/shell/commandids.h"
#include "core/shell/commandtable.h"
#include "gui/study/carddisplay.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QScrollBar>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>
#include <QTreeWidget>

using namespace mdk;

namespace {

QStringList menuTexts(QMenu *menu)
{
    QStringList texts;
    for (QAction *a : menu->actions())
        texts << (a->isSeparator() ? QStringLiteral("-") : a->text());
    return texts;
}

} // namespace

class MainWindowTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void frameIsFixedAndTitled();
    void menusListEveryCommand();
    void keysAndHints();
    void toolBarHoldsEighteenButtonsInOrder();
    void commandsNotBuiltStayGreyed();
    void enablersFollowTheState();
    void menuHintShowsInStatusBar();
    void keysWorkWhileTheTreeHasFocus();
    void enterAndEscapeDoNothing();

    void statusMessageExpiresToCaption();
    void secondMessageRestartsTheThreeSeconds();
    void statusMessageExpiresToEmptyLineOnEmptyView();
    void clockGadgets();

    void startupLoadsSplitNameWithCapitalExtension();
    void startupWithMissingFileShowsCannotLoad();
    void startupRefusesEarlierLayout();
    void startupWithFullStoreKeepsWhatFits();
    void selectingACategoryOpensIt();

    void exitAsksAboutANeverSavedDeck();
    void exitYesWithFailedSaveKeepsWindowOpen();
    void exitYesWithSaveCloses();
    void exitInSubcategoryModeNeverAsks();
    void exitCommandClosesUnchangedDeck();
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

void MainWindowTest::menusListEveryCommand()
{
    WindowFixture f;
    const QList<QAction *> popups = f.window->menuBar()->actions();
    QStringList titles;
    for (QAction *a : popups)
        titles << a->text();
    QCOMPARE(titles, (QStringList{"&File", "&Edit", "C&ategory", "&Card", "&Help"}));
    QCOMPARE(menuTexts(f.dlg->popupMenu(Popup::File)),
             (QStringList{"&New", "&Open", "&Save", "Save &As", "&Print cards", "&Merge", "&Convert",
                          "R&evert", "In&formation", "E&xit"}));
    QCOMPARE(menuTexts(f.dlg->popupMenu(Popup::Edit)),
             (QStringList{"C&ut", "&Copy", "&Paste", "Paste &from...", "-", "C&opy to File",
                          "Copy to File &Destination"}));
    QCOMPARE(menuTexts(f.dlg->popupMenu(Popup::Category)),
             (QStringList{"&New", "&Rename", "&Delete", "&Clear", "&Save separately",
                          "&View subcategories also"}));
    QCOMPARE(menuTexts(f.dlg->popupMenu(Popup::Card)),
             (QStringList{"&Add", "&Search", "Search again", "S&huffle", "&Flip", "&Edit", "&Delete",
                          "&Undelete", "Undelete a&ll", "Ma&rk", "Unmar&k all", "&Jump to Card", "&Move",
                          "Change f&ont", "&Notepad..."}));
    QCOMPARE(menuTexts(f.dlg->popupMenu(Popup::Help)), (QStringList{"&Help", "-", "&About Mnemodeck"}));
    // Every action carries its command id.
    for (const CommandRow &row : commandTable())
        QCOMPARE(f.dlg->commandAction(row.id)->data().toInt(), row.id);
}

void MainWindowTest::keysAndHints()
{
    WindowFixture f;
    const struct {
        int id;
        const char *key;
    } keys[] = {{CM_FILENEW, "Ctrl+N"}, {CM_FILEOPEN, "Ctrl+O"}, {CM_FILESAVE, "Ctrl+S"},
                {CM_PRINT, "Ctrl+P"},   {CM_REVERT, "Ctrl+R"},   {CM_INFORMATION, "Ctrl+I"},
                {CM_CUT, "Ctrl+X"},     {CM_COPY, "Ctrl+C"},     {CM_PASTE, "Ctrl+V"},
                {CM_CARDADD, "Ctrl+A"}, {CM_CARDSEARCH, "Ctrl+F"}, {CM_SEARCHAGAIN, "F3"},
                {CM_EDIT, "Ctrl+E"},    {CM_DELETECARD, "Ctrl+D"}, {CM_MARK, "Ctrl+M"},
                {CM_JUMP, "Ctrl+J"},    {CM_HELP, "F1"}};
    for (const auto &k : keys) {
        QAction *a = f.dlg->commandAction(k.id);
        QCOMPARE(a->shortcut(), QKeySequence(QString::fromLatin1(k.key)));
        QCOMPARE(a->shortcutContext(), Qt::ApplicationShortcut);
    }
    int withKey = 0;
    for (const CommandRow &row : commandTable())
        withKey += f.dlg->commandAction(row.id)->shortcut().isEmpty() ? 0 : 1;
    QCOMPARE(withKey, int(std::size(keys)));
    QCOMPARE(f.dlg->commandAction(CM_MARK)->statusTip(),
             QStringLiteral("Mark this card to exclude it from testing"));
    QCOMPARE(f.dlg->commandAction(CM_VIEWSUBCATEGORIES)->statusTip(),
             QStringLiteral("Show the cards in the subcategories of the current category in addition to "
                            "the regular cards"));
    QCOMPARE(f.dlg->commandAction(CM_EXIT)->statusTip(), QStringLiteral("Exit Mnemodeck"));
}

void MainWindowTest::toolBarHoldsEighteenButtonsInOrder()
{
    WindowFixture f;
    QList<int> ids;
    for (QAction *a : f.dlg->toolBar()->actions())
        ids << (a->isSeparator() ? 0 : a->data().toInt());
    QCOMPARE(ids, (QList<int>{101, 100, 104, 121, 0, 143, 115, 119, 0, 1203, 107, 108, 109, 111, 112,
                              1100, 1101, 1102, 909, 910}));
    QCOMPARE(f.dlg->toolBar()->iconSize(), QSize(25, 22));
    for (QAction *a : f.dlg->toolBar()->actions())
        if (!a->isSeparator())
            QCOMPARE(a->icon().availableSizes().value(0), QSize(25, 22));
}

void MainWindowTest::commandsNotBuiltStayGreyed()
{
    WindowFixture f;
    f.study(5);
    f.dlg->deck.filehaschanged = 1;
    f.dlg->deck.cardinmemory = 1;
    f.dlg->updateCommands();
    // Commands of parts still to come: greyed whatever their enabler says,
    // and running them does nothing.
    for (int id : {CM_CARDADD, CM_EDIT, CM_ABOUT, CM_NOTEPAD, CM_VIEWSUBCATEGORIES, CM_PASTE})
        QVERIFY2(!f.enabled(id), qPrintable(QString::number(id)));
    const QString before = f.dlg->deck.Side1List.at(0);
    f.dlg->runCommand(CM_DELETECARD);
    QCOMPARE(f.dlg->deck.viewCount(), 5);
    QCOMPARE(f.dlg->deck.Side1List.at(0), before);
    // The study commands, the file commands, Help and Exit are live.
    for (int id : {CM_INFORMATION, CM_EXIT, CM_MARK, CM_JUMP, CM_FILENEW, CM_FILEOPEN, CM_FILESAVE,
                   CM_FILESAVEAS, CM_CHANGEFONT, CM_HELP})
        QVERIFY(f.enabled(id));
}

void MainWindowTest::enablersFollowTheState()
{
    WindowFixture f;
    QVERIFY(f.enabled(CM_INFORMATION));
    QVERIFY(!f.enabled(CM_MARK) && !f.enabled(CM_JUMP) && !f.enabled(CM_UNMARKALL));

    f.study(3);
    QVERIFY(f.enabled(CM_MARK) && f.enabled(CM_JUMP) && !f.enabled(CM_UNMARKALL));
    f.dlg->runCommand(CM_MARK); // two unmarked cards left
    QVERIFY(f.enabled(CM_MARK) && f.enabled(CM_UNMARKALL));
    f.dlg->runCommand(CM_MARK); // one unmarked card left
    QVERIFY(!f.enabled(CM_MARK));
    QCOMPARE(f.dlg->deck.Marks.GetCount(), 2);
    // The tool-bar button is the same action.
    QList<QAction *> bar = f.dlg->toolBar()->actions();
    auto mark = std::find_if(bar.begin(), bar.end(), [](QAction *a) { return a->data().toInt() == CM_MARK; });
    QVERIFY(mark != bar.end() && !(*mark)->isEnabled());

    f.dlg->runCommand(CM_UNMARKALL);
    QCOMPARE(f.dlg->deck.Marks.GetCount(), 0);
    QVERIFY(f.enabled(CM_MARK) && !f.enabled(CM_UNMARKALL));

    f.study(1);
    QVERIFY(!f.enabled(CM_JUMP) && !f.enabled(CM_MARK));
    // A state changed behind the window's back is picked up when a menu opens.
    f.dlg->deck.Marks.add(0);
    QVERIFY(!f.enabled(CM_UNMARKALL));
    Q_EMIT f.dlg->popupMenu(Popup::Card)->aboutToShow();
    QVERIFY(f.enabled(CM_UNMARKALL));
}

void MainWindowTest::menuHintShowsInStatusBar()
{
    WindowFixture f;
    f.study(3);
    QAction *mark = f.dlg->commandAction(CM_MARK);
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
    QCOMPARE(f.dlg->deck.Marks.GetCount(), 1);
    QCOMPARE(f.dlg->deck.placeseek, 1);
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
    QCOMPARE(f.dlg->deck.placeseek, 0);
    QCOMPARE(f.dlg->deck.side, 1);
    QVERIFY(!f.dlg->deck.ShowSubCategories); // the command sharing OK's id did not run
    QVERIFY(f.dialogs.messages.isEmpty());
}

void MainWindowTest::statusMessageExpiresToCaption()
{
    WindowFixture f;
    f.study(3);
    f.dlg->ChangeSide();
    QCOMPARE(f.dlg->statusText(), QStringLiteral("Card 1, side 2"));
    f.dlg->ShowStatusMessage(QStringLiteral("Card deleted"));
    QVERIFY(f.dlg->ShowingMessage);
    QVERIFY(f.dlg->timer(3).isActive());
    QCOMPARE(f.dlg->timer(3).interval(), 3000);
    QVERIFY(f.dlg->timer(3).isSingleShot());
    // While the message shows, stepping leaves the status line alone.
    f.dlg->ChangeSide();
    QCOMPARE(f.dlg->statusText(), QStringLiteral("Card deleted"));
    f.dlg->EvTimer(3);
    QVERIFY(!f.dlg->ShowingMessage);
    QVERIFY(!f.dlg->timer(3).isActive());
    QCOMPARE(f.dlg->statusText(), QStringLiteral("Card 2, side 1"));
}

void MainWindowTest::secondMessageRestartsTheThreeSeconds()
{
    WindowFixture f;
    f.study(2);
    f.dlg->ShowStatusMessage(QStringLiteral("first"));
    QTest::qWait(300);
    f.dlg->ShowStatusMessage(QStringLiteral("second"));
    QVERIFY(f.dlg->timer(3).remainingTime() > 2800);
    QCOMPARE(f.dlg->statusText(), QStringLiteral("second"));
}

void MainWindowTest::statusMessageExpiresToEmptyLineOnEmptyView()
{
    WindowFixture f;
    f.dlg->ShowStatusMessage(QStringLiteral("File saved"));
    f.dlg->EvTimer(3);
    QCOMPARE(f.dlg->statusText(), QString());
}

void MainWindowTest::clockGadgets()
{
    WindowFixture f;
    QVERIFY(f.dlg->timer(1).isActive());
    QCOMPARE(f.dlg->timer(1).interval(), 500);
    const QDate day(1996, 12, 6);
    f.dlg->SetTime(QDateTime(day, QTime(12, 0, 10)));
    QCOMPARE(f.dlg->timeText(), QStringLiteral("12:00 PM"));
    f.dlg->SetTime(QDateTime(day, QTime(13, 7, 0)));
    QCOMPARE(f.dlg->timeText(), QStringLiteral("1:07 PM"));
    f.dlg->SetDate(day);
    QCOMPARE(f.dlg->dateText(), QStringLiteral("12/6/1996"));
    f.dlg->SetTime(QDateTime(day.addDays(1), QTime(0, 0, 0)));
    QCOMPARE(f.dlg->timeText(), QStringLiteral("12:00 AM"));
    QCOMPARE(f.dlg->dateText(), QStringLiteral("12/7/1996"));
}

void MainWindowTest::startupLoadsSplitNameWithCapitalExtension()
{
    QTemporaryDir dir;
    QVERIFY(writeCardFile(dir.filePath(QStringLiteral("Spanish Words.MDK")), {{"Verbs", "Main"}},
                          {{"el perro", "the dog", "Main"}, {"ir", "to go", "Verbs"}, {"la casa", "the house", "Main"}}));
    WindowFixture f;
    const StartupFile s = parseCommandLine(
        {dir.path() + QStringLiteral("/spanish"), QStringLiteral("words.MDK")}, QStringLiteral("/"));
    f.dlg->LoadStartupFileFn(s);
    QVERIFY(f.dialogs.messages.isEmpty());
    QCOMPARE(f.window->windowTitle(), QStringLiteral("Mnemodeck - Spanish Words"));
    QCOMPARE(f.dlg->statusText(), QStringLiteral("Spanish Words: 3 cards"));
    QCOMPARE(f.dlg->ProtectedFileName(), QStringLiteral("Spanish Words"));
    QCOMPARE(f.dlg->ProtectedFilePath(), dir.path());
    QCOMPARE(f.dlg->cardDisplay()->text(), QStringLiteral("el perro"));
    QCOMPARE(f.dlg->deck.viewCount(), 2);
    QCOMPARE(f.dlg->categoriesTree()->topLevelItem(0)->text(0), QStringLiteral("Main"));
    QCOMPARE(f.dlg->categoriesTree()->topLevelItem(0)->child(0)->text(0), QStringLiteral("Verbs"));
    f.dlg->EvTimer(3);
    QCOMPARE(f.dlg->statusText(), QStringLiteral("Card 1, side 1"));
}

void MainWindowTest::startupWithMissingFileShowsCannotLoad()
{
    QTemporaryDir dir;
    WindowFixture f;
    f.dlg->LoadStartupFileFn(parseCommandLine({QStringLiteral("gone.mdk")}, dir.path()));
    QCOMPARE(f.dialogs.messages.size(), 1);
    const auto &m = f.dialogs.messages.first();
    QCOMPARE(m.caption, QStringLiteral("File Open"));
    QCOMPARE(m.icon, UserDialogs::Icon::Exclamation);
    QCOMPARE(m.text, QStringLiteral("Cannot load gone in the ") + dir.path() + QStringLiteral(" folder."));
    QCOMPARE(f.window->windowTitle(), QStringLiteral("Mnemodeck"));
    QVERIFY(f.dlg->ProtectedFileName().isEmpty() && f.dlg->ProtectedFilePath().isEmpty());
    QCOMPARE(f.dlg->deck.viewCount(), 0);
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
    f.dlg->LoadStartupFileFn(parseCommandLine({QStringLiteral("old.mdk")}, dir.path()));
    QCOMPARE(f.dialogs.messages.size(), 1);
    QCOMPARE(f.dialogs.messages.first().caption, QStringLiteral("Auto Convert"));
    QCOMPARE(f.dialogs.messages.first().icon, UserDialogs::Icon::Stop);
    QCOMPARE(f.dialogs.messages.first().text,
             QStringLiteral("Cannot continue to load this file.  It is of a previous and unintelligible format."));
    QCOMPARE(f.window->windowTitle(), QStringLiteral("Mnemodeck"));
    QCOMPARE(f.dlg->deck.viewCount(), 2);
    QVERIFY(f.dlg->ProtectedFileName().isEmpty());
}

void MainWindowTest::startupWithFullStoreKeepsWhatFits()
{
    QTemporaryDir dir;
    std::vector<QStringList> cards;
    for (int i = 0; i < 10; ++i)
        cards.push_back({QStringLiteral("s%1").arg(i), QStringLiteral("t%1").arg(i), QStringLiteral("Main")});
    QVERIFY(writeCardFile(dir.filePath(QStringLiteral("big.mdk")), {}, cards));
    WindowFixture f;
    f.dlg->deck.setCapacity(4);
    f.dlg->LoadStartupFileFn(parseCommandLine({QStringLiteral("big.mdk")}, dir.path()));
    QCOMPARE(f.dialogs.messages.size(), 1);
    QCOMPARE(f.dialogs.messages.first().caption, QStringLiteral("Load"));
    QCOMPARE(f.dialogs.messages.first().text,
             QStringLiteral("Cannot load all the cards in this file.  Your file has exceeded the maximum possible size"));
    QCOMPARE(f.dlg->deck.fileCount(), 4);
    QCOMPARE(f.window->windowTitle(), QStringLiteral("Mnemodeck - big"));
    QCOMPARE(f.dlg->statusText(), QStringLiteral("big: 4 cards"));
}

void MainWindowTest::selectingACategoryOpensIt()
{
    QTemporaryDir dir;
    QVERIFY(writeCardFile(dir.filePath(QStringLiteral("d.mdk")), {{"Verbs", "Main"}},
                          {{"m1", "x", "Main"}, {"v1", "y", "Verbs"}, {"v2", "z", "Verbs"}}));
    WindowFixture f;
    f.dlg->LoadStartupFileFn(parseCommandLine({QStringLiteral("d.mdk")}, dir.path()));
    f.dlg->ChangeSide();
    QTreeWidgetItem *verbs = f.dlg->categoriesTree()->topLevelItem(0)->child(0);
    f.dlg->categoriesTree()->setCurrentItem(verbs);
    QCOMPARE(f.dlg->deck.OldTreeName, QStringLiteral("Verbs"));
    QCOMPARE(f.dlg->deck.viewCount(), 2);
    QCOMPARE(f.dlg->deck.side, 0);
    QCOMPARE(f.dlg->cardDisplay()->text(), QStringLiteral("v1"));
    QCOMPARE(f.dlg->deck.filehaschanged, 0);
}

void MainWindowTest::exitAsksAboutANeverSavedDeck()
{
    WindowFixture f;
    f.study(2);
    f.dlg->deck.filehaschanged = 1;
    f.dialogs.answers = {QMessageBox::No};
    QVERIFY(f.window->close());
    QCOMPARE(f.dialogs.messages.size(), 1);
    const auto &m = f.dialogs.messages.first();
    QCOMPARE(m.caption, QStringLiteral("Save File"));
    QCOMPARE(m.icon, UserDialogs::Icon::Exclamation);
    QCOMPARE(m.buttons, QMessageBox::Yes | QMessageBox::No);
    QCOMPARE(m.text, QStringLiteral("This file has changed.  Would you like to save it before exiting?"));
    QVERIFY(!f.window->isVisible());
    QVERIFY(!f.dlg->timer(1).isActive());
}

void MainWindowTest::exitYesWithFailedSaveKeepsWindowOpen()
{
    WindowFixture f;
    f.study(2);
    f.dlg->deck.filehaschanged = 1;
    f.dlg->deck.filehasbeensaved = 1;
    f.dlg->fileCommands().ProtectedFileName = QStringLiteral("spanish");
    int saves = 0;
    f.dlg->hooks.saveFile = [&] { ++saves; return false; }; // cancelled or failed
    f.dialogs.answers = {QMessageBox::Yes};
    QVERIFY(!f.window->close());
    QCOMPARE(f.dialogs.messages.first().text,
             QStringLiteral("spanish has changed.  Would you like to save it before exiting?"));
    QCOMPARE(saves, 1);
    QVERIFY(f.window->isVisible());
    QCOMPARE(f.dlg->deck.filehaschanged, 1);
    QVERIFY(f.dlg->timer(1).isActive()); // the clock keeps going
    // Without any way to save, Yes keeps the window open too.
    f.dlg->hooks.saveFile = nullptr;
    f.dialogs.answers = {QMessageBox::Yes};
    QVERIFY(!f.window->close());
    QVERIFY(f.window->isVisible());
}

void MainWindowTest::exitYesWithSaveCloses()
{
    WindowFixture f;
    f.study(2);
    f.dlg->deck.filehaschanged = 1;
    int settingsSaved = 0;
    f.dlg->hooks.saveSettings = [&] { ++settingsSaved; };
    f.dlg->hooks.saveFile = [] { return true; };
    f.dialogs.answers = {QMessageBox::Yes};
    QVERIFY(f.window->close());
    QCOMPARE(settingsSaved, 1);
    QCOMPARE(f.dlg->deck.filehaschanged, 0);
}

void MainWindowTest::exitInSubcategoryModeNeverAsks()
{
    WindowFixture f;
    f.study(2);
    f.dlg->deck.filehaschanged = 1;
    f.dlg->deck.ToggleSubcategoryMode();
    int settingsSaved = 0;
    f.dlg->hooks.saveSettings = [&] { ++settingsSaved; };
    QVERIFY(f.window->close());
    QVERIFY(f.dialogs.messages.isEmpty());
    QCOMPARE(settingsSaved, 1); // settings are saved on every close attempt
}

void MainWindowTest::exitCommandClosesUnchangedDeck()
{
    WindowFixture f;
    f.study(2);
    f.dlg->runCommand(CM_EXIT);
    QVERIFY(!f.window->isVisible());
    QVERIFY(f.dialogs.messages.isEmpty());
}

QTEST_MAIN(MainWindowTest)
#include "test_mainwindow.moc"
