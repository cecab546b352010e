// The Category menu and Move in the real window: dialogs answered as a
// user would, then the tree, the view and the file-level cards checked.

#include "support/modal.h"
#include "support/windowfixture.h"

#include "core/shell/commandids.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>

using namespace mdk;
using namespace mdk::testsupport;

namespace {

void nameAndOk(QDialog *dialog, const QString &name)
{
    child<QLineEdit>(dialog, "nameEdit")->setText(name);
    click(dialog, "okButton");
}

// A deck with Main > {Verbs > {Irregular}, Nouns}, two cards each.
Deck sampleDeck()
{
    return buildDeck({{"m1", "", "Main"}, {"v1", "", "Verbs"}, {"i1", "", "Irregular"}, {"n1", "", "Nouns"},
                      {"m2", "", "Main"}, {"v2", "", "Verbs"}, {"i2", "", "Irregular"}, {"n2", "", "Nouns"}},
                     {{"Verbs", "Main"}, {"Irregular", "Verbs"}, {"Nouns", "Main"}});
}

void select(WindowFixture &f, const QString &name)
{
    const auto items = f.dlg->categoriesTree()->findItems(name, Qt::MatchExactly | Qt::MatchRecursive);
    QCOMPARE(items.size(), 1);
    f.dlg->categoriesTree()->setCurrentItem(items.first());
}

QStringList treeNames(WindowFixture &f)
{
    QStringList out;
    for (QTreeWidgetItemIterator it(f.dlg->categoriesTree()); *it; ++it)
        out << (*it)->text(0);
    return out;
}

} // namespace

class CategoryFlowsTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void newRefusesUsedNamesAndAddsTheLastChild();
    void renameAndDeleteReshapeTheTreeAndTheCards();
    void clearAndViewSubcategories();
    void moveRefusesThenMovesOneCard();
    void renameNeverCutsALongNameSilently();
};

void CategoryFlowsTest::newRefusesUsedNamesAndAddsTheLastChild()
{
    WindowFixture f;
    f.show(sampleDeck());
    select(f, QStringLiteral("Verbs"));
    onModal([&] { f.window->runCommand(CM_NEWCATEGORY); }, [&](QDialog *d) {
        QCOMPARE(d->windowTitle(), QStringLiteral("Create new category"));
        nameAndOk(d, QStringLiteral("Main"));
        QCOMPARE(f.dialogs.messages().last(),
                 QStringLiteral("Name already used|\"Main\" already exists.  You must think of a category name "
                                "which has not already been used."));
        nameAndOk(d, QStringLiteral("\u0007\r\n")); // nothing left after cleaning: refused without a word
        QVERIFY(d->isVisible());
        QCOMPARE(f.dialogs.shown.size(), 1);
        nameAndOk(d, QStringLiteral("nouns")); // another category than "Nouns"
        QVERIFY(!d->isVisible());
    });
    QCOMPARE(treeNames(f), (QStringList{"Main", "Verbs", "Irregular", "nouns", "Nouns"}));
    QCOMPARE(f.deck().oldTreeName(), QStringLiteral("Verbs")); // the open category stays
    QVERIFY(f.deck().changed());
}

void CategoryFlowsTest::renameAndDeleteReshapeTheTreeAndTheCards()
{
    WindowFixture f;
    f.show(sampleDeck());
    select(f, QStringLiteral("Verbs"));
    onModal([&] { f.window->runCommand(CM_EDITCATEGORY); }, [&](QDialog *d) {
        QCOMPARE(d->windowTitle(), QStringLiteral("Rename category"));
        QCOMPARE(child<QLineEdit>(d, "nameEdit")->text(), QStringLiteral("Verbs"));
        nameAndOk(d, QStringLiteral("Verbs")); // the unchanged name is refused
        QVERIFY(d->isVisible());
        nameAndOk(d, QStringLiteral("Verbos"));
    });
    QCOMPARE(treeNames(f), (QStringList{"Main", "Verbos", "Irregular", "Nouns"}));
    QCOMPARE(f.deck().oldTreeName(), QStringLiteral("Verbos"));

    // Deleting "Verbos" takes "Irregular" and their cards; the next sibling
    // "Nouns" is selected and open.
    onModal([&] { f.window->runCommand(CM_DELETECATEGORY); }, [&](QDialog *d) {
        QCOMPARE(d->windowTitle(), QStringLiteral("Delete category"));
        click(d, "yesButton");
    });
    QCOMPARE(treeNames(f), (QStringList{"Main", "Nouns"}));
    QCOMPARE(f.deck().oldTreeName(), QStringLiteral("Nouns"));
    QCOMPARE(f.dlg->categoriesTree()->currentItem()->text(0), QStringLiteral("Nouns"));
    QCOMPARE(viewColumn(f.deck(), Column::Side1), (QStringList{"n1", "n2"}));
    f.deck().WriteBackView();
    QCOMPARE(fileColumn(f.deck(), Column::Side1), (QStringList{"m1", "m2", "n1", "n2"}));
    QCOMPARE(f.deck().deletedCount(), 0);
}

void CategoryFlowsTest::clearAndViewSubcategories()
{
    WindowFixture f;
    f.show(sampleDeck());
    select(f, QStringLiteral("Verbs"));
    QAction *sub = f.window->commandAction(CM_VIEWSUBCATEGORIES);
    f.window->runCommand(CM_VIEWSUBCATEGORIES);
    QVERIFY(sub->isChecked());
    QCOMPARE(viewColumn(f.deck(), Column::Side1), (QStringList{"v1", "v2", "i1", "i2"}));
    QVERIFY(!f.enabled(CM_CLEARCATEGORY) && !f.enabled(CM_EDITCATEGORY) && !f.enabled(CM_MOVE));
    f.window->runCommand(CM_VIEWSUBCATEGORIES);
    QVERIFY(!sub->isChecked());

    f.deck().addMark(1);
    f.window->runCommand(CM_CLEARCATEGORY);
    QCOMPARE(f.deck().viewCount(), 0);
    QCOMPARE(f.deck().marks().GetCount(), 0);
    QCOMPARE(f.window->statusText(), QStringLiteral("Category cleared"));
    f.window->runCommand(CM_UNDELETEALL);
    QCOMPARE(viewColumn(f.deck(), Column::Side1), (QStringList{"v1", "v2"}));
}

void CategoryFlowsTest::moveRefusesThenMovesOneCard()
{
    WindowFixture f;
    f.show(sampleDeck());
    select(f, QStringLiteral("Verbs"));
    f.deck().setCurrentCard(1, 1); // v2, the category's last card, side 2 shown
    onModal([&] { f.window->runCommand(CM_MOVE); }, [&](QDialog *d) {
        QCOMPARE(d->windowTitle(), QStringLiteral("Move Card"));
        auto *tree = child<QTreeWidget>(d, "moveTree");
        QVERIFY(tree->selectedItems().isEmpty());
        child<QCheckBox>(d, "moveAllBox")->setChecked(false);
        click(d, "okButton");
        QCOMPARE(f.dialogs.messages().last(), QStringLiteral("Move cards|You must choose a destination for your cards."));
        tree->findItems(QStringLiteral("Verbs"), Qt::MatchExactly | Qt::MatchRecursive).first()->setSelected(true);
        click(d, "okButton");
        QCOMPARE(f.dialogs.messages().last(),
                 QStringLiteral("Move cards|You cannot move your cards into the same category."));
        tree->clearSelection();
        tree->findItems(QStringLiteral("Nouns"), Qt::MatchExactly | Qt::MatchRecursive).first()->setSelected(true);
        click(d, "okButton");
        QVERIFY(!d->isVisible());
    });
    // The card left is shown from its first side.
    QCOMPARE(viewColumn(f.deck(), Column::Side1), QStringList{"v1"});
    QCOMPARE(f.window->statusText(), QStringLiteral("Card 1, side 1"));
    QVERIFY(!f.window->options().MoveAll);
    select(f, QStringLiteral("Nouns"));
    QCOMPARE(viewColumn(f.deck(), Column::Side1), (QStringList{"n1", "n2", "v2"}));
}

void CategoryFlowsTest::renameNeverCutsALongNameSilently()
{
    // A file may hold a name longer than the field takes.
    const QString longName = QString(1200, QLatin1Char('n'));
    WindowFixture f;
    f.show(buildDeck({{"c1", "", longName}}, {{longName, "Main"}}));
    select(f, longName);
    onModal([&] { f.window->runCommand(CM_EDITCATEGORY); }, [&](QDialog *d) {
        auto *edit = child<QLineEdit>(d, "nameEdit");
        edit->end(false);
        QTest::keyClicks(edit, QStringLiteral("xy"));
        QCOMPARE(edit->text().size(), 999); // typing stops at the limit
        click(d, "okButton"); // the name as shown, left alone: the old name
        QVERIFY(d->isVisible());
    });
    QCOMPARE(f.dialogs.messages().size(), 1);
    QVERIFY(f.dialogs.messages().first().startsWith(QStringLiteral("Name already used|")));
    QCOMPARE(treeNames(f), (QStringList{"Main", longName}));
}

QTEST_MAIN(CategoryFlowsTest)
#include "test_categoryflows.moc"
