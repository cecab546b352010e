#include "categorytree.h"

#include <algorithm>

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

bool CategoryTree::precedes(NodeId a, NodeId b) const
{
    if (a == b)
        return false;
    auto pathTo = [this](NodeId n) {
        std::vector<NodeId> path;
        for (; n != None; n = nodes_[size_t(n)].parent)
            path.push_back(n);
        std::reverse(path.begin(), path.end());
        return path;
    };
    const auto pa = pathTo(a);
    const auto pb = pathTo(b);
    size_t i = 0;
    while (i < pa.size() && i < pb.size() && pa[i] == pb[i])
        ++i;
    if (i == pa.size())
        return true; // a is an ancestor of b
    if (i == pb.size())
        return false; // b is an ancestor of a
    return nodes_[size_t(pa[i])].indexInParent < nodes_[size_t(pb[i])].indexInParent;
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

} // namespace mdk
