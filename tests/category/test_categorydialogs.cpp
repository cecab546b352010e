// The category dialogs and the move dialog: the move tree mirrors the model
// with nothing chosen until the user clicks, the name dialog hands back what
// was typed, the keys leave every decision to the caller, and the keyboard
// reaches deep categories in both trees.

#include "support/modal.h"

#include "gui/category/categorynamedlg.h"
#include "gui/category/deletecategorydlg.h"
#include "gui/edit/movecarddlg.h"
#include "support/windowfixture.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTest>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>

using namespace mdk;
using namespace mdk::testsupport;

namespace {

// A tree of n nodes, each hung under a random earlier node, so it has both
// long chains and wide levels; names differing only in case included.
CategoryTree randomTree(int n, quint32 seed)
{
    QRandomGenerator random(seed);
    CategoryTree tree;
    for (int i = 1; i < n; ++i) {
        const auto parent = CategoryTree::NodeId(random.bounded(tree.nodeCount()));
        tree.addChild(parent, i % 7 == 0 ? QStringLiteral("c%1").arg(i - 1).toUpper() : QStringLiteral("c%1").arg(i));
    }
    return tree;
}

} // namespace

class CategoryDialogsTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void moveTreeMirrorsTheModelWithNothingSelected();
    void destinationIsTheClickedNodeNotTheCurrentOne();
    void veryDeepMoveTreeOpensAndCloses();
    void nameDialogGivesTheTypedText();
    void enterAsksOrConfirmsEscapeRejects();
    void downReachesDeepCategories();
};

void CategoryDialogsTest::moveTreeMirrorsTheModelWithNothingSelected()
{
    CategoryTree tree = randomTree(10000, 7);
    tree.setSelected(tree.nodeCount() / 2); // the deck's selection is not carried over
    for (const bool all : {false, true}) {
        MoveCardDlg dialog(tree, all);
        QCOMPARE(dialog.moveAll(), all);
        auto *moveTree = child<QTreeWidget>(&dialog, "moveTree");
        QCOMPARE(moveTree->topLevelItemCount(), 1);
        QVERIFY(moveTree->topLevelItem(0)->isExpanded());

        const std::vector<CategoryTree::NodeId> order = tree.preorder(tree.root());
        size_t i = 0;
        for (QTreeWidgetItemIterator it(moveTree); *it; ++it, ++i) {
            QVERIFY(i < order.size());
            const CategoryTree::NodeId id = order[i];
            QCOMPARE((*it)->text(0), tree.name(id));
            QTreeWidgetItem *parent = (*it)->parent();
            QCOMPARE(parent ? parent->text(0) : QString(),
                     tree.parent(id) == CategoryTree::None ? QString() : tree.name(tree.parent(id)));
        }
        QCOMPARE(i, order.size());
        QVERIFY(moveTree->selectedItems().isEmpty());
        QVERIFY(!dialog.destination());
    }
}

// Giving the tree the focus makes an item current without selecting it;
// only a click (or a key that moves the selection) chooses a destination.
void CategoryDialogsTest::destinationIsTheClickedNodeNotTheCurrentOne()
{
    CategoryTree tree;
    const auto verbs = tree.addChild(tree.root(), QStringLiteral("Verbs"));
    tree.addChild(verbs, QStringLiteral("<b>Irregular</b>"));
    tree.addChild(tree.root(), QStringLiteral("verbs"));
    MoveCardDlg dialog(tree, false);
    QVERIFY(showActive(dialog));
    auto *moveTree = child<QTreeWidget>(&dialog, "moveTree");
    moveTree->setFocus();
    QCoreApplication::processEvents();
    QVERIFY(moveTree->currentItem());
    QVERIFY(!dialog.destination());

    QTreeWidgetItem *lower = moveTree->topLevelItem(0)->child(1);
    QTest::mouseClick(moveTree->viewport(), Qt::LeftButton, {}, moveTree->visualItemRect(lower).center());
    QCOMPARE(dialog.destination(), std::optional<QString>(QStringLiteral("verbs")));
    QTest::keyClick(moveTree, Qt::Key_Up);
    QCOMPARE(dialog.destination(), std::optional<QString>(QStringLiteral("Verbs")));

    // The box is read as it stands, not as it started.
    child<QCheckBox>(&dialog, "moveAllBox")->click();
    QVERIFY(dialog.moveAll());

    // Deeper nodes are reachable, and names stay plain text.
    moveTree->topLevelItem(0)->child(0)->setExpanded(true);
    QTreeWidgetItem *deep = moveTree->topLevelItem(0)->child(0)->child(0);
    QTest::mouseClick(moveTree->viewport(), Qt::LeftButton, {}, moveTree->visualItemRect(deep).center());
    QCOMPARE(dialog.destination(), std::optional<QString>(QStringLiteral("<b>Irregular</b>")));
}

// A corrupt file may nest categories very deeply: building the move tree and
// destroying it must not recurse through the levels.
void CategoryDialogsTest::veryDeepMoveTreeOpensAndCloses()
{
    CategoryTree tree;
    CategoryTree::NodeId parent = tree.root();
    for (int i = 0; i < 60000; ++i)
        parent = tree.addChild(parent, QStringLiteral("c%1").arg(i));
    auto dialog = std::make_unique<MoveCardDlg>(tree, false);
    QVERIFY(showActive(*dialog));
    auto *moveTree = child<QTreeWidget>(dialog.get(), "moveTree");
    QVERIFY(moveTree->topLevelItem(0)->isExpanded());
    QVERIFY(!moveTree->topLevelItem(0)->child(0)->isExpanded());
    dialog.reset();
}

void CategoryDialogsTest::nameDialogGivesTheTypedText()
{
    CategoryNameDlg create(CategoryNameDlg::Kind::New, QStringLiteral("Ignored"));
    QCOMPARE(create.windowTitle(), QStringLiteral("Create new category"));
    QCOMPARE(create.name(), QString());
    QVERIFY(showActive(create));
    QCOMPARE(QApplication::focusWidget(), child(&create, "nameEdit"));
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("  Main verbs "));
    QCOMPARE(create.name(), QStringLiteral("  Main verbs ")); // spaces kept: the caller decides

    CategoryNameDlg rename(CategoryNameDlg::Kind::Rename, QStringLiteral("Old <i>name</i>"));
    QCOMPARE(rename.windowTitle(), QStringLiteral("Rename category"));
    QCOMPARE(rename.name(), QStringLiteral("Old <i>name</i>"));
    QVERIFY(showActive(rename));
    // The old name is selected, so typing replaces it.
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("New"));
    QCOMPARE(rename.name(), QStringLiteral("New"));

    // A category name holds at most 999 characters.
    auto *edit = child<QLineEdit>(&rename, "nameEdit");
    edit->setText(QString(1200, QLatin1Char('x')));
    QCOMPARE(rename.name().size(), 999);

    DeleteCategoryDlg remove(QStringLiteral("<b>Nouns</b>"));
    QCOMPARE(remove.windowTitle(), QStringLiteral("Delete category"));
    auto *label = child<QLabel>(&remove, "categoryNameLabel");
    QCOMPARE(label->text(), QStringLiteral("<b>Nouns</b>"));
    QCOMPARE(label->textFormat(), Qt::PlainText);
}

// Enter presses the default button: the name and move dialogs only ask and
// stay open for the caller; Delete's "Yes" accepts. Escape rejects each.
void CategoryDialogsTest::enterAsksOrConfirmsEscapeRejects()
{
    CategoryTree tree;
    tree.addChild(tree.root(), QStringLiteral("Verbs"));
    CategoryNameDlg name(CategoryNameDlg::Kind::New, QString());
    QSignalSpy nameOk(&name, &CategoryNameDlg::okRequested);
    MoveCardDlg move(tree, false);
    QSignalSpy moveOk(&move, &MoveCardDlg::okRequested);
    QSignalSpy help(&move, &MoveCardDlg::helpRequested);
    for (QDialog *dialog : {static_cast<QDialog *>(&name), static_cast<QDialog *>(&move)}) {
        QVERIFY(showActive(*dialog));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QVERIFY(dialog->isVisible());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        QVERIFY(!dialog->isVisible());
        QCOMPARE(dialog->result(), int(QDialog::Rejected));
    }
    QCOMPARE(nameOk.count(), 1);
    QCOMPARE(moveOk.count(), 1);
    QVERIFY(showActive(move));
    QTest::mouseClick(child<QPushButton>(&move, "helpButton"), Qt::LeftButton);
    QCOMPARE(help.count(), 1);
    QVERIFY(move.isVisible());
    QTest::mouseClick(child<QPushButton>(&move, "cancelButton"), Qt::LeftButton);
    QCOMPARE(move.result(), int(QDialog::Rejected));
    QCOMPARE(moveOk.count(), 1);

    for (const char *button : {"", "yesButton", "noButton"}) {
        DeleteCategoryDlg remove(QStringLiteral("Verbs"));
        QVERIFY(showActive(remove));
        if (*button)
            QTest::mouseClick(child<QPushButton>(&remove, button), Qt::LeftButton);
        else
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        QVERIFY(!remove.isVisible());
        QCOMPARE(remove.result(), int(*button == 'y' ? QDialog::Accepted : QDialog::Rejected));
    }
    DeleteCategoryDlg remove(QStringLiteral("Verbs"));
    QVERIFY(showActive(remove));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QCOMPARE(remove.result(), int(QDialog::Accepted));
}

void CategoryDialogsTest::downReachesDeepCategories()
{
    // A chain of 250 levels below "Main": "L1" ... "L250".
    Deck deck = mainDeck(1);
    CategoryTree::NodeId node = deck.tree().root();
    for (int level = 1; level <= 250; ++level)
        node = deck.addCategory(node, QStringLiteral("L%1").arg(level));
    const CategoryTree tree = deck.tree();

    WindowFixture f;
    f.show(std::move(deck));
    MoveCardDlg move(tree, false, f.window.get());
    move.show();
    QVERIFY(QTest::qWaitForWindowExposed(&move));
    QTreeWidget *moveTree = child<QTreeWidget>(&move, "moveTree");
    // The Move tree opens with "Main" expanded: the user opens the rest.
    for (QTreeWidgetItem *item = moveTree->topLevelItem(0); item; item = item->child(0))
        item->setExpanded(true);

    for (QTreeWidget *view : {f.dlg->categoriesTree(), moveTree}) {
        view->window()->activateWindow();
        QTRY_VERIFY(view->window()->isActiveWindow());
        view->setFocus();
        view->setCurrentItem(view->topLevelItem(0));
        for (int level = 1; level <= 30; ++level) {
            QTest::keyClick(view, Qt::Key_Down);
            QTreeWidgetItem *current = view->currentItem();
            QCOMPARE(current ? current->text(0) : QString(), QStringLiteral("L%1").arg(level));
        }
        // The deepest label is readable: the view scrolls sideways to it.
        const QRect label = view->visualItemRect(view->currentItem());
        QVERIFY(label.width() >= view->fontMetrics().horizontalAdvance(QStringLiteral("L30")));
        QVERIFY(view->viewport()->rect().contains(label.topLeft()));
    }
}

QTEST_MAIN(CategoryDialogsTest)
#include "test_categorydialogs.moc"
