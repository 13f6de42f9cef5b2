// The red-black tree steps under std::map and std::set in the release: keys go in and out in
// several orders, and after every step the tree keeps its invariants and its order both ways.
#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <vector>

#include "app/win32/release/RbTree.h"

namespace quorvel::runtime {
namespace {

struct Node : RbNode {
    int key = 0;
};

int Key(const RbNode* x) {
    return static_cast<const Node*>(x)->key;
}

class Tree {
  public:
    Tree() { header_._M_left = header_._M_right = &header_; }
    void Insert(int key) {
        nodes_.push_back(std::make_unique<Node>());
        nodes_.back()->key = key;
        RbNode* parent = &header_;
        bool left = true;
        for (RbNode* x = header_._M_parent; x != nullptr; x = left ? x->_M_left : x->_M_right) {
            parent = x;
            left = key < Key(x);
        }
        InsertAndRebalance(left, nodes_.back().get(), parent, header_);
    }
    void Erase(int key) {
        RbNode* x = header_._M_parent;
        while (Key(x) != key) {
            x = key < Key(x) ? x->_M_left : x->_M_right;
        }
        EXPECT_EQ(RebalanceForErase(x, header_), x);
    }
    void Verify(const std::set<int>& expected) {
        const RbNode* root = header_._M_parent;
        ASSERT_EQ(root == nullptr, expected.empty());
        if (root != nullptr) {
            EXPECT_EQ(root->_M_color, std::_S_black);
            EXPECT_EQ(BlackCount(header_._M_left, root), BlackHeight(root));
        }
        std::vector<int> forward, backward;
        RbNode* next = header_._M_left;
        RbNode* previous = &header_;
        for (std::size_t i = 0; i < expected.size(); ++i, next = Next(next)) {
            forward.push_back(Key(next));
            previous = Previous(previous);
            backward.insert(backward.begin(), Key(previous));
        }
        EXPECT_EQ(next, &header_);
        EXPECT_EQ(forward, std::vector<int>(expected.begin(), expected.end()));
        EXPECT_EQ(backward, forward);
    }

  private:
    // Black nodes on each path down from `x`; fails on red under red, unequal paths, bad parents.
    unsigned BlackHeight(const RbNode* x) {
        if (x == nullptr) {
            return 0;
        }
        for (const RbNode* child : {x->_M_left, x->_M_right}) {
            if (child != nullptr) {
                EXPECT_EQ(child->_M_parent, x);
                EXPECT_FALSE(x->_M_color == std::_S_red && child->_M_color == std::_S_red);
            }
        }
        const unsigned left = BlackHeight(x->_M_left);
        EXPECT_EQ(left, BlackHeight(x->_M_right)) << "below key " << Key(x);
        return left + (x->_M_color == std::_S_black ? 1 : 0);
    }

    RbNode header_{std::_S_red, nullptr, nullptr, nullptr};
    std::vector<std::unique_ptr<Node>> nodes_;
};

// Ascending, descending, from both ends inwards, and scattered.
std::vector<int> Order(int kind) {
    std::vector<int> keys;
    for (int i = 0; i < 64; ++i) {
        const int inwards = i % 2 == 0 ? i / 2 : 63 - i / 2;
        keys.push_back(kind == 0 ? i : kind == 1 ? 63 - i : kind == 2 ? inwards : i * 37 % 64);
    }
    return keys;
}

TEST(RbTree, KeepsItsInvariantsThroughInsertionsAndErasures) {
    for (int insertOrder = 0; insertOrder < 4; ++insertOrder) {
        for (int eraseOrder = 0; eraseOrder < 4; ++eraseOrder) {
            SCOPED_TRACE(::testing::Message()
                         << "insert " << insertOrder << ", erase " << eraseOrder);
            Tree tree;
            std::set<int> expected;
            for (int key : Order(insertOrder)) {
                tree.Insert(key);
                expected.insert(key);
                tree.Verify(expected);
            }
            for (int key : Order(eraseOrder)) {
                tree.Erase(key);
                expected.erase(key);
                tree.Verify(expected);
            }
        }
    }
}

}  // namespace
}  // namespace quorvel::runtime
