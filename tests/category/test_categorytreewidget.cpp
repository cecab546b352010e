#include "gui/common/categorytreewidget.h"

#include <QTest>
#include <QTreeWidget>

using namespace mdk;

class TestCategoryTreeWidget : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void showsTheTreeInPreorder();
    void veryDeepTreeNeitherOverflowsNorHangs();
};

void TestCategoryTreeWidget::showsTheTreeInPreorder()
{
    CategoryTree tree;
    const auto verbs = tree.addChild(tree.root(), QStringLiteral("Verbs"));
    const auto irregular = tree.addChild(verbs, QStringLiteral("Irregular"));
    tree.addChild(tree.root(), QStringLiteral("Nouns"));
    tree.setSelected(irregular);

    QTreeWidget widget;
    QTreeWidgetItem *selected = categorytreewidget::fill(widget, tree);
    categorytreewidget::expand(widget);
    QCOMPARE(widget.topLevelItemCount(), 1);
    QTreeWidgetItem *main = widget.topLevelItem(0);
    QCOMPARE(main->text(0), QStringLiteral("Main"));
    QCOMPARE(main->childCount(), 2);
    QCOMPARE(main->child(1)->text(0), QStringLiteral("Nouns"));
    QCOMPARE(selected->text(0), QStringLiteral("Irregular"));
    QCOMPARE(categorytreewidget::nodeOf(selected), irregular);
    QVERIFY(main->isExpanded() && main->child(0)->isExpanded());

    // Filling again replaces the items.
    tree.reset();
    categorytreewidget::fill(widget, tree);
    QCOMPARE(widget.topLevelItemCount(), 1);
    QCOMPARE(widget.topLevelItem(0)->childCount(), 0);
}

void TestCategoryTreeWidget::veryDeepTreeNeitherOverflowsNorHangs()
{
    CategoryTree tree;
    CategoryTree::NodeId parent = tree.root();
    for (int i = 0; i < 60000; ++i)
        parent = tree.addChild(parent, QStringLiteral("c%1").arg(i));
    tree.setSelected(parent);

    auto widget = std::make_unique<QTreeWidget>();
    widget->resize(300, 200);
    widget->show();
    QTreeWidgetItem *current = categorytreewidget::fill(*widget, tree);
    categorytreewidget::expand(*widget);
    widget->setCurrentItem(current);
    QCoreApplication::processEvents();
    QVERIFY(widget->topLevelItem(0)->isExpanded());
    QCOMPARE(current->text(0), QStringLiteral("c%1").arg(categorytreewidget::kMaxExpandDepth - 1));
    QVERIFY(!current->child(0)->isExpanded()); // the levels below stay folded

    categorytreewidget::fill(*widget, tree); // replaces a deep tree
    QCoreApplication::processEvents();
    categorytreewidget::clear(*widget);
    QCOMPARE(widget->topLevelItemCount(), 0);
    widget.reset();
}

QTEST_MAIN(TestCategoryTreeWidget)
#include "test_categorytreewidget.moc"
