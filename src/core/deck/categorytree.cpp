#include "categorytree.h"


namespace mdk {

void CategoryTree::reset()
{
    nodes_.clear();
    firstByName_.clear();
    Node main;
    main.name = kMainName;
    main.onLastChain = true;
    nodes_.push_back(std::move(main));
    firstByName_.insert(kMainName, 0);
    last_ = 0;
    selected_ = 0;
}

CategoryTree::NodeId CategoryTree::addChild(NodeId parentId, const QString &name)
{
    const NodeId id = nodeCount();
    Node node;
    node.name = name;
    node.parent = parentId;
    node.indexInParent = int(nodes_[size_t(parentId)].children.size());
    const Node &p = nodes_[size_t(parentId)];
    node.depth = p.depth + 1;
    const Node &pj = nodes_[size_t(p.jump)];
    node.jump = p.depth - pj.depth == pj.depth - nodes_[size_t(pj.jump)].depth ? pj.jump : parentId;
    nodes_.push_back(std::move(node));
    nodes_[size_t(parentId)].children.push_back(id);

    // The new node is last in pre-order exactly when its parent lies on the
    // path to the old last node; the part of the path below the parent is
    // left for good, since a node never becomes a last child again.
    if (nodes_[size_t(parentId)].onLastChain) {
        for (NodeId n = last_; n != parentId; n = nodes_[size_t(n)].parent)
            nodes_[size_t(n)].onLastChain = false;
        nodes_[size_t(id)].onLastChain = true;
        last_ = id;
    }

    auto it = firstByName_.find(name);
    if (it == firstByName_.end())
        firstByName_.insert(name, id);
    else if (precedes(id, it.value()))
        it.value() = id; // only possible with duplicate names from a corrupt file
    return id;
}

void CategoryTree::removeLastAdded(NodeId previousLast, bool newName)
{
    const NodeId id = nodeCount() - 1;
    if (id <= 0)
        return;
    Node node = std::move(nodes_.back());
    nodes_.pop_back();
    nodes_[size_t(node.parent)].children.pop_back();
    if (last_ == id) {
        // The path below the parent to the earlier last node was left when
        // the node came; it is the last chain again.
        for (NodeId n = previousLast; n != node.parent && n != None; n = nodes_[size_t(n)].parent)
            nodes_[size_t(n)].onLastChain = true;
        last_ = previousLast;
    }
    if (newName)
        firstByName_.remove(node.name);
    else if (firstByName_.value(node.name, None) == id)
        reindexName(node.name);
    if (selected_ == id)
        selected_ = node.parent;
}

void CategoryTree::reindexName(const QString &name)
{
    // Only corrupt files repeat a name, so a full walk is rare and still
    // linear in the tree.
    NodeId first = None;
    for (NodeId n = 0; n < nodeCount(); ++n)
        if (nodes_[size_t(n)].name == name && (first == None || precedes(n, first)))
            first = n;
    if (first == None)
        firstByName_.remove(name);
    else
        firstByName_.insert(name, first);
}

void CategoryTree::rename(NodeId id, const QString &name)
{
    if (!isValid(id))
        return;
    const QString old = nodes_[size_t(id)].name;
    nodes_[size_t(id)].name = name;
    if (firstByName_.value(old, None) == id)
        reindexName(old);
    auto it = firstByName_.find(name);
    if (it == firstByName_.end())
        firstByName_.insert(name, id);
    else if (precedes(id, it.value()))
        it.value() = id;
}

CategoryTree::NodeId CategoryTree::removeSubtree(NodeId node, NodeId keep)
{
    if (!isValid(node) || node == root())
        return keep;
    std::vector<char> removed(nodes_.size());
    for (NodeId n : preorder(node))
        removed[size_t(n)] = 1;

    // Rebuilding in pre-order recomputes depths, jumps, the last node and
    // the name index with the same code that builds a tree from a file.
    std::vector<NodeId> newId(nodes_.size(), None);
    CategoryTree rebuilt;
    newId[0] = 0;
    for (NodeId n : preorder(root())) {
        if (n == root() || removed[size_t(n)])
            continue;
        newId[size_t(n)] = rebuilt.addChild(newId[size_t(nodes_[size_t(n)].parent)], nodes_[size_t(n)].name);
    }
    NodeId sel = selected_;
    if (isValid(sel) && removed[size_t(sel)])
        sel = nodes_[size_t(node)].parent;
    rebuilt.selected_ = isValid(sel) ? newId[size_t(sel)] : None;
    const NodeId kept = isValid(keep) ? newId[size_t(keep)] : None;
    *this = std::move(rebuilt);
    return kept;
}

std::vector<CategoryTree::NodeId> CategoryTree::preorder(NodeId from) const
{
    std::vector<NodeId> out;
    if (!isValid(from))
        return out;
    std::vector<NodeId> stack{from};
    while (!stack.empty()) {
        const NodeId n = stack.back();
        stack.pop_back();
        out.push_back(n);
        const auto &kids = nodes_[size_t(n)].children;
        for (auto it = kids.rbegin(); it != kids.rend(); ++it)
            stack.push_back(*it);
    }
    return out;
}

std::vector<CategoryTree::NodeId> CategoryTree::descendants(NodeId of) const
{
    std::vector<NodeId> out = preorder(of);
    if (!out.empty())
        out.erase(out.begin());
    return out;
}

CategoryTree::NodeId CategoryTree::ancestorAtDepth(NodeId n, int depth) const
{
    while (nodes_[size_t(n)].depth > depth) {
        const Node &node = nodes_[size_t(n)];
        n = nodes_[size_t(node.jump)].depth >= depth ? node.jump : node.parent;
    }
    return n;
}

bool CategoryTree::precedes(NodeId a, NodeId b) const
{
    // Jump pointers keep this logarithmic in the depth, so even a corrupt
    // file with a very deep tree and many repeated names reads quickly.
    if (a == b)
        return false;
    const int da = nodes_[size_t(a)].depth;
    const int db = nodes_[size_t(b)].depth;
    NodeId u = ancestorAtDepth(a, qMin(da, db));
    NodeId v = ancestorAtDepth(b, qMin(da, db));
    if (u == v)
        return da < db; // one is an ancestor of the other
    while (nodes_[size_t(u)].parent != nodes_[size_t(v)].parent) {
        const NodeId ju = nodes_[size_t(u)].jump;
        const NodeId jv = nodes_[size_t(v)].jump;
        if (ju != jv) {
            u = ju;
            v = jv;
        } else {
            u = nodes_[size_t(u)].parent;
            v = nodes_[size_t(v)].parent;
        }
    }
    return nodes_[size_t(u)].indexInParent < nodes_[size_t(v)].indexInParent;
}

CategoryTree::NodeId CategoryTree::findByName(const QString &name) const
{
    return firstByName_.value(name, None);
}

CategoryTree::NodeId CategoryTree::findCategory(const QString &name, bool *found) const
{
    if (found)
        *found = true;
    if (name == kMainName)
        return root();
    // The top node is "Main", so the first match in the whole tree is the
    // first match below it.
    const NodeId hit = findByName(name);
    if (hit != None)
        return hit;
    if (found)
        *found = false;
    return last_;
}

size_t CategoryTree::bytes() const
{
    size_t total = sizeof(*this) + nodes_.capacity() * sizeof(Node)
                   + size_t(firstByName_.size()) * (sizeof(QString) + sizeof(NodeId) + 16);
    for (const Node &node : nodes_)
        total += size_t(node.name.capacity()) * sizeof(QChar) + node.children.capacity() * sizeof(NodeId);
    return total;
}

} // namespace mdk
