// The red-black tree steps under libstdc++'s std::map and std::set (the functions its
// bits/stl_tree.h declares and the prebuilt library defines), written here so that the release
// can supply them compiled for its own instruction set.
#pragma once

#include <map>

#if defined(__GLIBCXX__)
namespace quorvel::runtime {

using RbNode = std::_Rb_tree_node_base;

// In-order neighbours; from the rightmost node Next gives the header, from the header Previous
// gives the rightmost node.
RbNode* Next(RbNode* x);
RbNode* Previous(RbNode* x);
// Links `x` as the left (insertLeft) or right child of `parent` and rebalances; keeps the
// header's root, leftmost and rightmost links.
void InsertAndRebalance(bool insertLeft, RbNode* x, RbNode* parent, RbNode& header);
// Unlinks `z` and rebalances; returns the node to free (always `z`).
RbNode* RebalanceForErase(RbNode* z, RbNode& header);
// Black nodes from `node` up to `root`, both counted.
unsigned BlackCount(const RbNode* node, const RbNode* root);
void RotateLeft(RbNode* x, RbNode*& root);
void RotateRight(RbNode* x, RbNode*& root);

}  // namespace quorvel::runtime
#endif
