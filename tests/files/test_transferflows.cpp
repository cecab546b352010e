// Convert, Merge, Paste from and Copy to File in the real window: every
// message box and file dialog answered by the script, the program's own
// dialogs driven as a user would, real files in a temporary folder.

#include "support/deckbuilder.h"
#include "support/cardfilebytes.h"
#include "support/modal.h"
#include "support/windowfixture.h"

#include "core/deck/cardfile.h"
#include "core/shell/commandids.h"
#include "gui/files/transfercontroller.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QTemporaryDir>
#include <QTreeWidget>

#include <sys/resource.h>

using namespace mdk;
using namespace mdk::testsupport;

namespace {

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The worked example of the oldest layout: dog/Hund, cat/Katze in 95-byte blocks.
QByteArray oldBlocks()
{
    QByteArray old(4 * 95, '\0');
    old.replace(0, 3, "dog");
    old.replace(95, 4, "Hund");
    old.replace(190, 3, "cat");
    old.replace(285, 5, "Katze");
    return old;
}

// Runs body on the modal dialog the next action opens, from inside
// whatever modal loop is running then (a dialog over a dialog).
void onNextModal(const std::function<void(QDialog *)> &body, bool *ran)
{
    QTimer::singleShot(0, [=] {
        auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget());
        QVERIFY(dialog);
        *ran = true;
        body(dialog);
        if (dialog->isVisible())
            dialog->reject();
    });
}

QStringList side1s(const Deck &d) { return viewColumn(d, Column::Side1); }

} // namespace

class TransferFlowsTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init() { QVERIFY(dir_.isValid()); }
    void loadTimeQuestionNoCancelAndYes();
    void convertCommandRefusesAndLoads();
    void mergeStaysOpenOnErrorsThenLoads();
    void mergeIntoTheOpenFileOffersItsChangesFirst();
    void mergeReadingTheOpenFileOffersItsChangesFirst();
    void mergeDialogEnterAddsAndLongMessagesWrap();
    void pasteFromGraftsUnderTheSelectedCategory();
    void pasteFromKeepsTheEditsOfTheOpenCategory();
    void pasteFromIntoABlankDeckOpensTheFile();
    void copyToFileAsksOnceThenAppends();
    void copyToTheOpenFileSurvivesTheNextSave();

private:
    QString path(const QString &name) const { return dir_.filePath(name); }
    QTemporaryDir dir_;
};

void TransferFlowsTest::loadTimeQuestionNoCancelAndYes()
{
    const QString old = path(QStringLiteral("old.mdk"));
    QVERIFY(writeBytes(old, oldBlocks()));
    WindowFixture f;
    f.study(2);

    // No: refused, nothing read, the file as it was.
    f.dialogs.answers << QMessageBox::No;
    f.dialogs.openAnswers << old;
    f.window->runCommand(CM_FILEOPEN);
    QCOMPARE(f.dialogs.messages(),
             (QStringList{"Auto Convert|old.mdk appears to be of a previous format.  Do you want to convert it?",
                          "Auto Convert|Cannot continue to load this file.  It is of a previous and unintelligible "
                          "format."}));
    QCOMPARE(f.dialogs.shown.first().icon, UserDialogs::Icon::Question);
    QCOMPARE(f.dialogs.shown.last().icon, UserDialogs::Icon::Stop);

    // Yes, then Cancel in the Convert File dialog: silent, nothing read.
    f.dialogs.shown.clear();
    f.dialogs.answers << QMessageBox::Yes;
    f.dialogs.openAnswers << old;
    bool ran = false;
    onNextModal([&](QDialog *d) {
        QCOMPARE(d->windowTitle(), QStringLiteral("Convert File"));
        QCOMPARE(child<QLineEdit>(d, "fileEdit")->text(), old);
        QCOMPARE(child<QLabel>(d, "formatLabel")->text(), QStringLiteral("Version 1.00"));
        click(d, "cancelButton");
    }, &ran);
    f.window->runCommand(CM_FILEOPEN);
    QVERIFY(ran);
    QCOMPARE(f.dialogs.shown.size(), 1);
    QCOMPARE(readAll(old), oldBlocks());
    QCOMPARE(side1s(f.deck()), (QStringList{"q1", "q2"}));
    QCOMPARE(f.window->windowTitle(), QStringLiteral("Mnemodeck"));

    // Yes and OK: converted in place, then read as Open reads it.
    f.dialogs.answers << QMessageBox::Yes;
    f.dialogs.openAnswers << old;
    ran = false;
    onNextModal([&](QDialog *d) { click(d, "okButton"); }, &ran);
    f.window->runCommand(CM_FILEOPEN);
    QVERIFY(ran);
    QCOMPARE(readAll(old), cardFields({"1", "Main", "Root", "dog", "Hund", "Main", "cat", "Katze", "Main"}));
    QCOMPARE(side1s(f.deck()), (QStringList{"dog", "cat"}));
    QCOMPARE(f.window->windowTitle(), QStringLiteral("Mnemodeck - old"));
    QCOMPARE(f.window->options().files[0].name, QStringLiteral("old"));
    QVERIFY(f.dialogs.unexpected.isEmpty());
}

void TransferFlowsTest::convertCommandRefusesAndLoads()
{
    const QString current = path(QStringLiteral("current.mdk"));
    QVERIFY(writeCardFile(current, {}, {{"x", "y", "Main"}}));
    const QString later = path(QStringLiteral("later.MDK"));
    QByteArray laterBytes;
    for (int i = 0; i < 1000; ++i)
        laterBytes += "a\ab\a";
    QVERIFY(writeBytes(later, laterBytes));
    WindowFixture f;
    f.study(2);
    mdk::testsupport::makeChanged(f.deck());

    auto convert = [&](const QString &name, int version) {
        bool ran = false;
        onNextModal([&](QDialog *d) {
            child<QLineEdit>(d, "fileEdit")->setText(name);
            child<QListWidget>(d, "versionList")->setCurrentRow(version);
            click(d, "okButton");
        }, &ran);
        f.window->runCommand(CM_CONVERT);
        QVERIFY(ran);
    };
    convert(path(QStringLiteral("missing.mdk")), 0);
    convert(current, 0);
    {
        // The converted file (header and "Main" per card) cannot be written.
        rlimit old{}, lower{};
        getrlimit(RLIMIT_FSIZE, &old);
        lower = old;
        lower.rlim_cur = rlim_t(laterBytes.size() + 100);
        QVERIFY(setrlimit(RLIMIT_FSIZE, &lower) == 0);
        convert(path(QStringLiteral("later")), 3); // ".MDK" added to a name without a dot
        setrlimit(RLIMIT_FSIZE, &old);
    }
    QCOMPARE(f.dialogs.shown.size(), 3);
    QCOMPARE(f.dialogs.messages()[0], QStringLiteral("Convert file|Cannot access the file to convert."));
    QCOMPARE(f.dialogs.messages()[1],
             QStringLiteral("Auto Convert|File is already in Mnemodeck 4.30 format.  Cannot convert it."));
    QCOMPARE(f.dialogs.shown[2].caption, QStringLiteral("Convert file"));
    for (const auto &m : f.dialogs.shown)
        QCOMPARE(m.icon, UserDialogs::Icon::Stop);
    QCOMPARE(readAll(later), laterBytes);
    QCOMPARE(readAll(current), cardFileBytes({}, {{"x", "y", "Main"}}));
    QCOMPARE(side1s(f.deck()), (QStringList{"q1", "q2"}));

    // Converted; the changed deck is offered for saving, and a Save As
    // that is cancelled keeps it on screen.
    f.dialogs.shown.clear();
    f.dialogs.answers << QMessageBox::Yes;
    f.dialogs.saveAnswers << QString();
    convert(path(QStringLiteral("later")), 3);
    QCOMPARE(f.dialogs.shown.size(), 1);
    QCOMPARE(f.dialogs.shown[0].caption, QStringLiteral("Save File"));
    QCOMPARE(cardfile::testFormatOfFile(later), cardfile::Format::Current);
    QCOMPARE(side1s(f.deck()), (QStringList{"q1", "q2"}));

    // No discards the changes, and the converted file loads; a missing
    // side 2 is empty.
    QVERIFY(writeBytes(later, QByteArray("uno\aone\ados\a")));
    f.dialogs.answers << QMessageBox::No;
    convert(later, 3);
    QCOMPARE(side1s(f.deck()), (QStringList{"uno", "dos"}));
    QCOMPARE(f.deck().viewSide2(1), QString());
    QCOMPARE(f.window->windowTitle(), QStringLiteral("Mnemodeck - later"));
    QVERIFY(f.dialogs.unexpected.isEmpty());
}

void TransferFlowsTest::mergeStaysOpenOnErrorsThenLoads()
{
    QVERIFY(writeCardFile(path(QStringLiteral("a.mdk")), {{"Verbs", "Main"}}, {{"a1", "", "Verbs"}, {"a2", " ", "Main"}}));
    QVERIFY(writeCardFile(path(QStringLiteral("b.mdk")), {}, {{"b1", "x", "Main"}}));
    WindowFixture f;
    f.dialogs.openAnswers << path(QStringLiteral("a.mdk"));
    f.window->runCommand(CM_FILEOPEN);
    QCOMPARE(f.window->windowTitle(), QStringLiteral("Mnemodeck - a"));

    onModal([&] { f.window->runCommand(CM_MERGE); }, [&](QDialog *d) {
        auto *message = child<QLabel>(d, "messageLabel");
        auto *source = child<QLineEdit>(d, "newSourceEdit");
        QCOMPARE(source->text(), path(QStringLiteral("a.mdk"))); // the open file, saved
        click(d, "mergeButton");
        QCOMPARE(message->text(), QStringLiteral("You must have at least 1 source file."));
        click(d, "addButton");
        source->setText(QStringLiteral("ghost"));
        click(d, "addButton");
        source->setText(QStringLiteral("b"));
        click(d, "addButton");
        QCOMPARE(source->text(), QString());
        click(d, "mergeButton");
        QCOMPARE(message->text(), QStringLiteral("You must type a destination file name."));
        child<QLineEdit>(d, "destinationEdit")->setText(QStringLiteral("Merged"));
        click(d, "mergeButton");
        QCOMPARE(message->text(), QStringLiteral("ghost.mdk does not exist."));
        QVERIFY(d->isVisible());
        QVERIFY(!QFile::exists(path(QStringLiteral("Merged.mdk"))));
        auto *list = child<QListWidget>(d, "sourcesList");
        list->setCurrentRow(1);
        click(d, "deleteButton");
        QCOMPARE(list->count(), 2);
        click(d, "mergeButton");
        QVERIFY(!d->isVisible());
    });
    // Every card into "Main", texts unchanged, then loaded as Open loads.
    QCOMPARE(readAll(path(QStringLiteral("Merged.mdk"))),
             cardFileBytes({}, {{"a1", "", "Main"}, {"a2", " ", "Main"}, {"b1", "x", "Main"}}));
    QCOMPARE(side1s(f.deck()), (QStringList{"a1", "a2", "b1"}));
    QCOMPARE(f.window->windowTitle(), QStringLiteral("Mnemodeck - Merged"));
    QVERIFY(f.dialogs.shown.isEmpty());
}

void TransferFlowsTest::mergeIntoTheOpenFileOffersItsChangesFirst()
{
    QVERIFY(writeCardFile(path(QStringLiteral("a.mdk")), {}, {{"a1", "", "Main"}}));
    QVERIFY(writeCardFile(path(QStringLiteral("b.mdk")), {}, {{"b1", "", "Main"}}));
    WindowFixture f;
    f.dialogs.openAnswers << path(QStringLiteral("a.mdk"));
    f.window->runCommand(CM_FILEOPEN);
    QVERIFY(f.deck().appendViewCard(QStringLiteral("new"), QStringLiteral("card")));
    mdk::testsupport::makeChanged(f.deck());

    f.dialogs.answers << QMessageBox::Yes;
    onModal([&] { f.window->runCommand(CM_MERGE); }, [&](QDialog *d) {
        child<QLineEdit>(d, "newSourceEdit")->setText(QStringLiteral("b.mdk"));
        click(d, "addButton");
        child<QLineEdit>(d, "destinationEdit")->setText(QStringLiteral("a")); // the open file, by another name
        click(d, "mergeButton");
        QVERIFY(!d->isVisible());
    });
    // Saved first, merged after, loaded once: one question in all.
    QCOMPARE(f.dialogs.messages(),
             QStringList{QStringLiteral("Save File|a has changed.  Would you like to save it before loading a new "
                                        "card file?")});
    QCOMPARE(side1s(f.deck()), (QStringList{"a1", "new", "b1"}));
    QVERIFY(!f.deck().changed());

    // Declining the save and clearing the load box: the open file is read
    // back anyway, so no later Save can write the merged cards away.
    QVERIFY(f.deck().appendViewCard(QStringLiteral("unsaved"), QString()));
    mdk::testsupport::makeChanged(f.deck());
    f.dialogs.answers << QMessageBox::No;
    onModal([&] { f.window->runCommand(CM_MERGE); }, [&](QDialog *d) {
        child<QLineEdit>(d, "newSourceEdit")->setText(QStringLiteral("b.mdk"));
        click(d, "addButton");
        child<QLineEdit>(d, "destinationEdit")->setText(QStringLiteral("a.mdk"));
        child<QCheckBox>(d, "loadAfterBox")->setChecked(false);
        click(d, "mergeButton");
    });
    QCOMPARE(side1s(f.deck()), (QStringList{"a1", "new", "b1", "b1"}));
    QCOMPARE(f.dialogs.shown.size(), 2);
}

void TransferFlowsTest::mergeReadingTheOpenFileOffersItsChangesFirst()
{
    QVERIFY(writeCardFile(path(QStringLiteral("a.mdk")), {}, {{"a1", "1", "Main"}}));
    QVERIFY(writeCardFile(path(QStringLiteral("b.mdk")), {}, {{"b1", "2", "Main"}}));
    WindowFixture f;
    f.dialogs.openAnswers << path(QStringLiteral("a.mdk"));
    f.window->runCommand(CM_FILEOPEN);
    QVERIFY(f.deck().appendViewCard(QStringLiteral("edited"), QStringLiteral("3")));
    mdk::testsupport::makeChanged(f.deck());

    f.dialogs.answers << QMessageBox::Yes;
    onModal([&] { f.window->runCommand(CM_MERGE); }, [&](QDialog *d) {
        click(d, "addButton"); // the open file, filled in
        child<QLineEdit>(d, "newSourceEdit")->setText(QStringLiteral("b"));
        click(d, "addButton");
        child<QLineEdit>(d, "destinationEdit")->setText(QStringLiteral("joined"));
        child<QCheckBox>(d, "loadAfterBox")->setChecked(false);
        click(d, "mergeButton");
    });
    QCOMPARE(f.dialogs.shown.size(), 1);
    QCOMPARE(f.dialogs.shown[0].caption, QStringLiteral("Save File"));
    QCOMPARE(readAll(path(QStringLiteral("joined.mdk"))),
             cardFileBytes({}, {{"a1", "1", "Main"}, {"edited", "3", "Main"}, {"b1", "2", "Main"}}));
    QCOMPARE(side1s(f.deck()), (QStringList{"a1", "edited"}));
}

void TransferFlowsTest::mergeDialogEnterAddsAndLongMessagesWrap()
{
    WindowFixture f;
    onModal([&] { f.window->runCommand(CM_MERGE); }, [&](QDialog *d) {
        auto *source = child<QLineEdit>(d, "newSourceEdit");
        source->setFocus();
        source->setText(path(QStringLiteral("a-folder-with-a-rather-long-name/and-another-one-below-it/ghost")));
        QTest::keyClick(source, Qt::Key_Return);
        QVERIFY(d->isVisible());
        QCOMPARE(child<QListWidget>(d, "sourcesList")->count(), 1);
        child<QLineEdit>(d, "destinationEdit")->setText(QStringLiteral("out"));
        click(d, "mergeButton");
        auto *message = child<QLabel>(d, "messageLabel");
        QVERIFY(message->text().endsWith(QStringLiteral("ghost.mdk does not exist.")));
        // Every line of the message inside the label, the label inside the dialog.
        const QRect needed = message->fontMetrics().boundingRect(QRect(0, 0, message->width(), 10000),
                                                                 Qt::TextWordWrap, message->text());
        QVERIFY(needed.width() <= message->width() && needed.height() <= message->height());
        QVERIFY(d->rect().contains(message->geometry()));
        for (QWidget *w : d->findChildren<QWidget *>(Qt::FindDirectChildrenOnly))
            QVERIFY(w == message || !w->geometry().intersects(message->geometry()));
    });
}

void TransferFlowsTest::pasteFromGraftsUnderTheSelectedCategory()
{
    QVERIFY(writeCardFile(path(QStringLiteral("more.mdk")), {{"Nouns", "Main"}, {"Adj", "Main"}},
                          {{"x", "1", "Main"}, {"y", "2", "Nouns"}, {"z", "3", "Adj"}}));
    WindowFixture f;
    f.show(buildDeck({{"m1", "", "Main"}, {"v1", "", "Verbs"}, {"n1", "", "Nouns"}},
                     {{"Verbs", "Main"}, {"Nouns", "Main"}}));
    const auto verbs = f.dlg->categoriesTree()->findItems(QStringLiteral("Verbs"), Qt::MatchExactly | Qt::MatchRecursive);
    QCOMPARE(verbs.size(), 1);
    f.dlg->categoriesTree()->setCurrentItem(verbs.first());
    QCOMPARE(f.deck().oldTreeName(), QStringLiteral("Verbs"));

    f.dialogs.openAnswers << path(QStringLiteral("more.mdk"));
    f.window->runCommand(CM_PASTEFROM);
    QCOMPARE(f.dialogs.fileDialogs.last().caption, QStringLiteral("Paste from"));
    QCOMPARE(side1s(f.deck()), (QStringList{"v1", "x"})); // "Main" of the file became Verbs
    QStringList tree;
    for (QTreeWidgetItemIterator it(f.dlg->categoriesTree()); *it; ++it)
        tree << (*it)->text(0) + u'<' + ((*it)->parent() ? (*it)->parent()->text(0) : QString());
    QCOMPARE(tree, (QStringList{"Main<", "Verbs<Main", "Adj<Verbs", "Nouns<Main"}));
    QCOMPARE(f.window->statusText(), QStringLiteral("File inserted"));
    QVERIFY(f.deck().changed());
    QVERIFY(f.dialogs.shown.isEmpty());
}

void TransferFlowsTest::pasteFromKeepsTheEditsOfTheOpenCategory()
{
    QVERIFY(writeCardFile(path(QStringLiteral("more.mdk")), {}, {{"x", "1", "Main"}}));
    WindowFixture f;
    f.show(buildDeck({{"m1", "", "Main"}, {"v1", "", "Verbs"}, {"m2", "", "Main"}}, {{"Verbs", "Main"}}));
    QVERIFY(f.deck().replaceViewCard(0, QStringLiteral("m1 edited"), QString()));
    QVERIFY(f.deck().appendViewCard(QStringLiteral("m3"), QString()));

    f.dialogs.openAnswers << path(QStringLiteral("more.mdk"));
    f.window->runCommand(CM_PASTEFROM);
    QCOMPARE(side1s(f.deck()), (QStringList{"m1 edited", "m2", "m3", "x"}));
    f.deck().WriteBackView();
    QCOMPARE(fileColumn(f.deck(), Column::Side1), (QStringList{"v1", "m1 edited", "m2", "m3", "x"}));
}

void TransferFlowsTest::pasteFromIntoABlankDeckOpensTheFile()
{
    QVERIFY(writeCardFile(path(QStringLiteral("Spanish.mdk")), {}, {{"uno", "one", "Main"}}));
    WindowFixture f;
    f.dialogs.openAnswers << path(QStringLiteral("Spanish.mdk"));
    f.window->runCommand(CM_PASTEFROM);
    QCOMPARE(f.dialogs.fileDialogs.last().caption, QStringLiteral("Open"));
    QCOMPARE(side1s(f.deck()), QStringList{"uno"});
    QCOMPARE(f.window->windowTitle(), QStringLiteral("Mnemodeck - Spanish"));
    QCOMPARE(f.window->statusText(), QStringLiteral("File inserted"));
    QVERIFY(f.deck().hasBeenSaved());
}

void TransferFlowsTest::copyToFileAsksOnceThenAppends()
{
    WindowFixture f;
    f.window->runCommand(CM_COPYTOFILE); // greyed without a card: nothing happens
    QVERIFY(f.dialogs.shown.isEmpty());
    f.window->transferCommands().CMCopyCard();
    QCOMPARE(f.dialogs.messages(),
             QStringList{QStringLiteral("Mnemodeck|To copy a card, you must be viewing the card you wish to copy.")});

    f.study(2);
    int dialogsShown = 0;
    onModal([&] { f.window->runCommand(CM_COPYTOFILE); }, [&](QDialog *d) {
        ++dialogsShown;
        QCOMPARE(d->windowTitle(), QStringLiteral("Copy to File Destination"));
        child<QLineEdit>(d, "destinationEdit")->setText(path(QStringLiteral("Copies")));
        click(d, "saveButton");
    });
    const QString target = path(QStringLiteral("Copies.MDK"));
    QCOMPARE(f.window->transferCommands().copyDestination(), target);
    QCOMPARE(readAll(target), cardFileBytes({}, {{"q1", "a1", "Main"}}));

    // The second copy appends without asking: a dialog now would be closed
    // by this timer and counted.
    QTimer guard;
    connect(&guard, &QTimer::timeout, [&] {
        if (auto *d = qobject_cast<QDialog *>(QApplication::activeModalWidget())) {
            ++dialogsShown;
            d->reject();
        }
    });
    guard.start(10);
    f.deck().setCurrentCard(1, f.deck().side());
    f.window->runCommand(CM_COPYTOFILE);
    guard.stop();
    QCOMPARE(dialogsShown, 1);
    QCOMPARE(readAll(target), cardFileBytes({}, {{"q1", "a1", "Main"}, {"q2", "a2", "Main"}}));
    QVERIFY(!f.deck().changed());
    QCOMPARE(f.dialogs.shown.size(), 1);

    // A copy that cannot be written names the file in its stop box.
    onModal([&] { f.window->runCommand(CM_COPYDESTINATION); }, [&](QDialog *d) {
        child<QLineEdit>(d, "destinationEdit")->setText(path(QStringLiteral("no-such-folder/Lost")));
        click(d, "saveButton");
    });
    f.window->runCommand(CM_COPYTOFILE);
    QCOMPARE(f.dialogs.shown.size(), 2);
    QCOMPARE(f.dialogs.shown[1].caption, QStringLiteral("Copy to File"));
    QVERIFY2(f.dialogs.shown[1].text.contains(QStringLiteral("Lost.MDK")), qPrintable(f.dialogs.shown[1].text));
}

void TransferFlowsTest::copyToTheOpenFileSurvivesTheNextSave()
{
    const QString open = path(QStringLiteral("open.mdk"));
    QVERIFY(writeCardFile(open, {{"Verbs", "Main"}}, {{"m1", "1", "Main"}, {"v1", "2", "Verbs"}}));
    WindowFixture f;
    f.dialogs.openAnswers << open;
    f.window->runCommand(CM_FILEOPEN);
    const auto verbs = f.dlg->categoriesTree()->findItems(QStringLiteral("Verbs"), Qt::MatchExactly | Qt::MatchRecursive);
    QCOMPARE(verbs.size(), 1);
    f.dlg->categoriesTree()->setCurrentItem(verbs.first());

    onModal([&] { f.window->runCommand(CM_COPYTOFILE); }, [&](QDialog *d) {
        child<QLineEdit>(d, "destinationEdit")->setText(open);
        click(d, "saveButton");
    });
    QVERIFY(f.deck().appendViewCard(QStringLiteral("new"), QStringLiteral("3")));
    mdk::testsupport::makeChanged(f.deck());
    f.window->runCommand(CM_FILESAVE);
    // The copy is a card of "Main"; the card added is one of Verbs.
    QCOMPARE(readAll(open), cardFileBytes({{"Verbs", "Main"}}, {{"m1", "1", "Main"}, {"v1", "2", "Main"},
                                                                 {"v1", "2", "Verbs"}, {"new", "3", "Verbs"}}));
    QCOMPARE(f.dialogs.messages(), QStringList());
}

QTEST_MAIN(TransferFlowsTest)
#include "test_transferflows.moc"
