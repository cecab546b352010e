// The editing commands in the real window: what each dialog's answer does
// to the deck, the current card, the status line and the questions asked.

#include "support/cardfilebytes.h"
#include "support/modal.h"
#include "support/windowfixture.h"

#include "core/deck/cardfile.h"
#include "core/shell/commandids.h"
#include "gui/edit/editcontroller.h"
#include "gui/files/filecommands.h"

#include <QCheckBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>

using namespace mdk;
using namespace mdk::testsupport;

namespace {

// A key to the main window, which takes the window's shortcuts only while
// it is the active window again after a dialog.
void keyToWindow(WindowFixture &f, Qt::Key key)
{
    f.window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(f.window.get()));
    QTest::keyClick(f.window.get(), key, Qt::ControlModifier);
}

void type(QDialog *dialog, const char *field, const QString &text)
{
    child<QPlainTextEdit>(dialog, field)->setPlainText(text);
    child<QPlainTextEdit>(dialog, field)->document()->setModified(true);
}

} // namespace

class EditCommandsTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void addAnotherThenDoneAppendsToTheOpenCategory();
    void undoThatLeavesSubcategoriesSaysSo();
    void editActsOnTheCardShownWhenTheDialogOpened();
    void deleteAsksUntilTheBoxIsTickedAndEscapeNeverDeletes();
    void undeleteAndPasteAsTheUserSeesThem();
    void pasteOnAFullStoreChangesNothing();
    void exitAsksAfterEveryCardOfAFileWasDeleted();
    void newDeckWithAccentsSurvivesSaveAndOpen();
};

void EditCommandsTest::addAnotherThenDoneAppendsToTheOpenCategory()
{
    WindowFixture f;
    f.study(2);
    f.deck().setCurrentCard(1, f.deck().side());
    onModal([&] { QTest::keyClick(f.window.get(), Qt::Key_A, Qt::ControlModifier); }, [&](QDialog *d) {
        QCOMPARE(d->windowTitle(), QStringLiteral("Add a Card"));
        type(d, "side1Edit", QStringLiteral("uno\u0007"));
        type(d, "side2Edit", QStringLiteral("one"));
        click(d, "addAnotherButton");
        QVERIFY(child<QPlainTextEdit>(d, "side1Edit")->toPlainText().isEmpty());
        type(d, "side1Edit", QStringLiteral("dos"));
        type(d, "side2Edit", QString());
        click(d, "doneButton");
    });
    QCOMPARE(viewColumn(f.deck(), Column::Side1), (QStringList{"q1", "q2", "uno", "dos"}));
    QCOMPARE(viewColumn(f.deck(), Column::Side2), (QStringList{"a1", "a2", "one", ""}));
    QCOMPARE(f.deck().placeseek(), 1); // the current card stays
    QVERIFY(f.deck().changed());

    // Cancel drops the fields but keeps what Add another added.
    onModal([&] { f.window->runCommand(CM_CARDADD); }, [&](QDialog *d) {
        type(d, "side1Edit", QStringLiteral("tres"));
        click(d, "addAnotherButton");
        type(d, "side1Edit", QStringLiteral("dropped"));
        click(d, "cancelButton");
    });
    QCOMPARE(f.deck().viewCount(), 5);
    QCOMPARE(f.deck().viewSide1(4), QStringLiteral("tres"));

    // Each card the dialog added is a step of its own, undone and redone
    // one at a time.
    for (const QStringList &left : {QStringList{"q1", "q2", "uno", "dos"}, QStringList{"q1", "q2", "uno"},
                                    QStringList{"q1", "q2"}}) {
        QCOMPARE(f.deck().undoLabel(), QStringLiteral("Add card"));
        f.window->runCommand(CM_UNDO);
        QCOMPARE(viewColumn(f.deck(), Column::Side1), left);
    }
    QVERIFY(!f.deck().canUndo());
    f.window->runCommand(CM_REDO);
    QCOMPARE(viewColumn(f.deck(), Column::Side1), (QStringList{"q1", "q2", "uno"}));
}

void EditCommandsTest::undoThatLeavesSubcategoriesSaysSo()
{
    WindowFixture f;
    f.study(2);
    f.window->runCommand(CM_FLIP);
    f.window->runCommand(CM_VIEWSUBCATEGORIES);
    f.window->runCommand(CM_FLIP);
    const auto step = [&](int id, bool sub, const char *status) {
        f.window->runCommand(id);
        QCOMPARE(f.deck().showSubCategories(), sub);
        QCOMPARE(f.window->statusText(), QString::fromUtf8(status));
    };
    // An undo within the mode says nothing of it; the next one takes back
    // the first flip and the switch made after it.
    step(CM_UNDO, true, "Undone: Flip");
    step(CM_UNDO, false, "Undone: Flip; subcategories are no longer shown");
    step(CM_REDO, false, "Redone: Flip");
    step(CM_REDO, true, "Redone: Flip; subcategories are shown");
}

void EditCommandsTest::editActsOnTheCardShownWhenTheDialogOpened()
{
    WindowFixture f;
    f.study(3);
    f.deck().setCurrentCard(1, f.deck().side());
    f.dlg->SetText();
    onModal([&] { f.window->runCommand(CM_EDIT); }, [&](QDialog *d) {
        QCOMPARE(d->windowTitle(), QStringLiteral("Edit Card"));
        QCOMPARE(child<QPlainTextEdit>(d, "side1Edit")->toPlainText(), QStringLiteral("q2"));
        // Whatever moves the current card meanwhile, Done edits card 2.
        f.deck().setCurrentCard(2, f.deck().side());
        click(d, "flipButton");
        click(d, "doneButton");
    });
    QCOMPARE(viewColumn(f.deck(), Column::Side1), (QStringList{"q1", "a2", "q3"}));
    QCOMPARE(viewColumn(f.deck(), Column::Side2), (QStringList{"a1", "q2", "a3"}));
    QVERIFY(f.deck().changed());

    // An empty view has nothing to edit.
    f.show(Deck());
    QVERIFY(!f.enabled(CM_EDIT));
    f.window->editCommands().CMEdit();
    QCOMPARE(f.dialogs.messages().last(),
             QStringLiteral("Mnemodeck|To edit a card, you must be viewing the card you wish to edit."));
}

void EditCommandsTest::deleteAsksUntilTheBoxIsTickedAndEscapeNeverDeletes()
{
    WindowFixture f;
    f.study(4);
    f.deck().setCurrentCard(1, f.deck().side());
    f.dlg->SetText();

    onModal([&] { f.window->runCommand(CM_DELETECARD); }, [&](QDialog *d) {
        QCOMPARE(d->windowTitle(), QStringLiteral("Delete Card"));
        child<QCheckBox>(d, "dontAskBox")->setChecked(true);
        QTest::keyClick(d, Qt::Key_Escape);
    });
    QCOMPARE(f.deck().viewCount(), 4);
    QVERIFY(f.window->editCommands().deleteConfirmation().shouldAsk());

    onModal([&] { f.window->runCommand(CM_DELETECARD); }, [&](QDialog *d) {
        child<QCheckBox>(d, "dontAskBox")->setChecked(true);
        click(d, "noButton");
    });
    QCOMPARE(f.deck().viewCount(), 4); // No keeps the card, and stops the questions
    QVERIFY(!f.window->editCommands().deleteConfirmation().shouldAsk());

    // Card 2 goes at once; the former card 4, now card 3, is shown, side 1.
    keyToWindow(f, Qt::Key_D);
    QCOMPARE(viewColumn(f.deck(), Column::Side1), (QStringList{"q1", "q3", "q4"}));
    QCOMPARE(f.deck().placeseek(), 2);
    QCOMPARE(f.deck().side(), 0);
    QCOMPARE(f.window->statusText(), QStringLiteral("Card deleted"));
    QCOMPARE(deletedColumn(f.deck(), Column::Side1), QStringList{"q2"});
}

void EditCommandsTest::undeleteAndPasteAsTheUserSeesThem()
{
    WindowFixture f;
    f.study(4);
    QCOMPARE(f.window->editCommands().deleteConfirmation().askinfuture(), 0);
    for (int k : {0, 0}) { // q1, then q2
        f.deck().setCurrentCard(k, f.deck().side());
        onModal([&] { f.window->runCommand(CM_DELETECARD); }, [&](QDialog *d) { click(d, "yesButton"); });
    }
    QCOMPARE(f.deck().deletedCount(), 2);
    f.deck().addMark(0);

    // The dialog opens on the oldest deletion; -> twice wraps back to it,
    // <- wraps to the newest, which is undeleted at the end of the view.
    onModal([&] { f.window->runCommand(CM_UNDELETE); }, [&](QDialog *d) {
        QCOMPARE(d->windowTitle(), QStringLiteral("Undelete Card"));
        click(d, "nextButton");
        click(d, "nextButton");
        click(d, "prevButton");
        click(d, "undeleteButton");
    });
    QCOMPARE(viewColumn(f.deck(), Column::Side1), (QStringList{"q3", "q4", "q2"}));
    QCOMPARE(deletedColumn(f.deck(), Column::Side1), QStringList{"q1"});
    QCOMPARE(f.deck().marks().GetCount(), 0);

    // Copy card 3, mark card 2, paste before card 2: the pasted card is
    // current and the mark moves up with its card.
    f.deck().setCurrentCard(2, f.deck().side());
    f.window->runCommand(CM_COPY);
    QCOMPARE(f.window->statusText(), QStringLiteral("Card has been copied to memory"));
    f.deck().addMark(1);
    f.deck().setCurrentCard(1, f.deck().side());
    QVERIFY(f.enabled(CM_PASTE));
    keyToWindow(f, Qt::Key_V);
    QCOMPARE(viewColumn(f.deck(), Column::Side1), (QStringList{"q3", "q2", "q4", "q2"}));
    QCOMPARE(markTexts(f.deck().marks()), QStringList{"2"});
    QCOMPARE(f.deck().placeseek(), 1);
    QCOMPARE(f.window->statusText(), QStringLiteral("Card has been pasted"));

    // Cut shows the card that moved into the gap.
    f.deck().clearMarks();
    f.window->runCommand(CM_CUT);
    QCOMPARE(viewColumn(f.deck(), Column::Side1), (QStringList{"q3", "q4", "q2"}));
    QCOMPARE(f.deck().placeseek(), 1);
    QCOMPARE(f.window->statusText(), QStringLiteral("Card has been cut"));

    f.window->runCommand(CM_UNDELETEALL);
    QCOMPARE(viewColumn(f.deck(), Column::Side1), (QStringList{"q3", "q4", "q2", "q1"}));
    QVERIFY(!f.enabled(CM_UNDELETE));
}

void EditCommandsTest::pasteOnAFullStoreChangesNothing()
{
    WindowFixture f;
    Deck d = mainDeck(2);
    d.setCapacity(2);
    f.show(std::move(d));
    f.window->runCommand(CM_COPY);
    f.deck().forgetChanges();
    f.window->runCommand(CM_PASTE);
    QCOMPARE(f.dialogs.messages().last(),
             QStringLiteral("Paste|Cannot add this card.  Your file has exceeded the maximum possible size"));
    QCOMPARE(f.deck().viewCount(), 2);
    QVERIFY(!f.deck().changed());
    QVERIFY(f.window->statusText() != QStringLiteral("Card has been pasted"));
}

void EditCommandsTest::exitAsksAfterEveryCardOfAFileWasDeleted()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("one.mdk"));
    QVERIFY(writeCardFile(path, {}, {{"q", "a", "Main"}}));
    WindowFixture f;
    QVERIFY(f.window->fileCommands().FileLoad(path, QStringLiteral("one")));
    f.window->fileCommands().setOpenFile(path);
    onModal([&] { f.window->runCommand(CM_DELETECARD); }, [&](QDialog *d) { click(d, "yesButton"); });
    QCOMPARE(f.deck().viewCount(), 0);
    f.dialogs.answers << QMessageBox::No;
    QVERIFY(f.window->close());
    QCOMPARE(f.dialogs.messages().last(),
             QStringLiteral("Save File|one has changed.  Would you like to save it before exiting?"));
}

void EditCommandsTest::newDeckWithAccentsSurvivesSaveAndOpen()
{
    QTemporaryDir dir;
    WindowFixture f;
    onModal([&] { f.window->runCommand(CM_CARDADD); }, [&](QDialog *d) {
        type(d, "side1Edit", QStringLiteral("Œuvre\r\nšest"));
        type(d, "side2Edit", QStringLiteral("work & six"));
        click(d, "doneButton");
    });
    f.dialogs.saveAnswers << dir.filePath(QStringLiteral("new"));
    QVERIFY(f.window->fileCommands().SaveFileAs());
    f.deck().clear();
    QVERIFY(f.window->fileCommands().FileLoad(dir.filePath(QStringLiteral("new.mdk")), QStringLiteral("new")));
    QCOMPARE(f.deck().viewCount(), 1);
    QCOMPARE(f.deck().viewSide1(0), QStringLiteral("Œuvre\r\nšest"));
    QCOMPARE(f.deck().viewSide2(0), QStringLiteral("work & six"));
    QVERIFY(f.dialogs.unexpected.isEmpty());
}

QTEST_MAIN(EditCommandsTest)
#include "test_editcommands.moc"
