#include "categorytreewidget.h"

#include <QCoreApplication>
#include <QHeaderView>
#include <QScrollBar>
#include <QTreeWidget>

#include <vector>

namespace mdk::categorytreewidget {

void prepare(QTreeWidget &widget)
{
    widget.setHeaderHidden(true);
    // Not shown, but a screen reader reads the column's title ("1" otherwise).
    widget.setHeaderLabel(QStringLiteral("Category"));
    widget.setRootIsDecorated(true);
    // A stretched column as wide as the view leaves a deep level no width:
    // its label vanishes and Qt's keyboard moves lose the item.
    QHeaderView *header = widget.header();
    header->setStretchLastSection(false);
    header->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    widget.setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    widget.setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    // Qt brings a column wider than the view to its start; the current
    // item's arrow and label may lie further right, so follow them.
    QTreeWidget *view = &widget;
    QObject::connect(view, &QTreeWidget::currentItemChanged, view, [view](QTreeWidgetItem *current) {
        if (!current)
            return;
        const QRect label = view->visualItemRect(current);
        const int arrowLeft = label.left() - view->indentation();
        const int width = view->viewport()->width();
        QScrollBar *bar = view->horizontalScrollBar();
        if (arrowLeft < 0 || label.left() + qMin(label.width(), width / 2) > width)
            bar->setValue(bar->value() + arrowLeft);
    });
}

QTreeWidgetItem *fill(QTreeWidget &widget, const CategoryTree &tree)
{
    clear(widget);
    std::vector<QTreeWidgetItem *> items(size_t(tree.nodeCount()), nullptr);
    // How deep each node lies, for a screen reader: "Main" is level 1.
    std::vector<int> levels(size_t(tree.nodeCount()), 1);
    QTreeWidgetItem *selected = nullptr;
    for (CategoryTree::NodeId id : tree.preorder(tree.root())) {
        const CategoryTree::NodeId parent = tree.parent(id);
        auto *item = parent == CategoryTree::None ? new QTreeWidgetItem(&widget)
                                                  : new QTreeWidgetItem(items[size_t(parent)]);
        item->setText(0, tree.name(id));
        if (parent != CategoryTree::None)
            levels[size_t(id)] = levels[size_t(parent)] + 1;
        item->setData(0, Qt::AccessibleDescriptionRole, QCoreApplication::translate("mdk::CategoryTreeWidget", "Level %1").arg(levels[size_t(id)]));
        item->setData(0, kNodeRole, id);
        items[size_t(id)] = item;
        if (id == tree.selected())
            selected = item;
    }
    // Making an item current expands all its parents, which a node far down
    // a corrupt file's tree must not do; its shallowest-enough ancestor
    // stands in for it.
    int depth = 0;
    for (auto *p = selected; p && p->parent(); p = p->parent())
        ++depth;
    for (; selected && depth > kMaxExpandDepth; --depth)
        selected = selected->parent();
    return selected;
}

void expand(QTreeWidget &widget)
{
    if (widget.topLevelItemCount() > 0)
        widget.expandRecursively(widget.model()->index(0, 0), kMaxExpandDepth);
}

void clear(QTreeWidget &widget)
{
    // Detach the items from the view first, then delete them children
    // before parents, so no deletion has to recurse.
    std::vector<QTreeWidgetItem *> items;
    while (widget.topLevelItemCount() > 0)
        items.push_back(widget.takeTopLevelItem(0));
    for (size_t i = 0; i < items.size(); ++i)
        for (int c = 0; c < items[i]->childCount(); ++c)
            items.push_back(items[i]->child(c));
    for (auto it = items.rbegin(); it != items.rend(); ++it)
        delete *it;
}

CategoryTree::NodeId nodeOf(const QTreeWidgetItem *item)
{
    return item ? item->data(0, kNodeRole).toInt() : CategoryTree::None;
}

} // namespace mdk::categorytreewidget
