#pragma once

#include <QHash>
#include <QString>

#include <vector>

namespace mdk {

// The category tree: one top node "Main", every other category below it,
// each named by a plain text that cards refer to. Children keep the order in
// which they were added. Walks are iterative, so a corrupt file that nests
// categories very deeply cannot exhaust the stack.
class CategoryTree {
public:
    using NodeId = int;
    static constexpr NodeId None = -1;
    static inline const QString kMainName = QStringLiteral("Main");

    CategoryTree() { reset(); }

    // Only the top node "Main" remains; it is also selected.
    void reset();

    NodeId root() const { return 0; }
    int nodeCount() const { return int(nodes_.size()); }
    // About how much memory the tree holds.
    size_t bytes() const;
    const QString &name(NodeId id) const { return nodes_[size_t(id)].name; }
    NodeId parent(NodeId id) const { return nodes_[size_t(id)].parent; }
    const std::vector<NodeId> &children(NodeId id) const { return nodes_[size_t(id)].children; }
    bool isValid(NodeId id) const { return id >= 0 && id < nodeCount(); }

    // Adds a node named name as the last child of parent.
    NodeId addChild(NodeId parent, const QString &name);

    // Takes back the latest addChild, given the last node in pre-order
    // before it and whether its name was new to the tree then. Constant
    // time for a new name, so undoing an import of many categories stays
    // linear.
    void removeLastAdded(NodeId previousLast, bool newName);

    // Gives node a new name; lookups by name follow.
    void rename(NodeId id, const QString &name);
    // Removes node (not the top one) with its whole subtree. Node ids are
    // renumbered; returns the new id of keep (None when keep was removed).
    // A removed selection falls back to the removed node's parent.
    NodeId removeSubtree(NodeId node, NodeId keep = None);

    // The node itself, then its descendants, in pre-order.
    std::vector<NodeId> preorder(NodeId from) const;
    // The descendants only, in pre-order.
    std::vector<NodeId> descendants(NodeId of) const;
    // The last node of the whole tree in pre-order.
    NodeId lastInPreorder() const { return last_; }
    // True when a comes before b in pre-order.
    bool precedes(NodeId a, NodeId b) const;

    // The first node in pre-order whose name equals name exactly, or None.
    NodeId findByName(const QString &name) const;
    bool contains(const QString &name) const { return findByName(name) != None; }

    // The lookup the card-file reader uses to attach a category to its
    // parent: "Main" is the top node; otherwise the first equal node below
    // the top in pre-order; when there is none, the last node in pre-order
    // and found is cleared.
    NodeId findCategory(const QString &name, bool *found = nullptr) const;

    NodeId selected() const { return selected_; }
    void setSelected(NodeId id) { selected_ = id; }
    QString selectedName() const { return isValid(selected_) ? name(selected_) : QString(); }

private:
    // Points name at its first node in pre-order, or drops it when no node
    // carries it any more.
    void reindexName(const QString &name);
    NodeId ancestorAtDepth(NodeId n, int depth) const;

    struct Node {
        QString name;
        NodeId parent = None;
        int indexInParent = 0;
        int depth = 0;
        // An ancestor for quick climbs; its depth depends only on this
        // node's depth, so two nodes of equal depth climb in step.
        NodeId jump = 0;
        std::vector<NodeId> children;
        bool onLastChain = false; // on the path from the top to lastInPreorder()
    };

    std::vector<Node> nodes_;
    QHash<QString, NodeId> firstByName_;
    NodeId last_ = 0;
    NodeId selected_ = 0;
};

} // namespace mdk
