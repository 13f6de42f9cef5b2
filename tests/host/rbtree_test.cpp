// The red-black tree steps under std::map and std::set in the release: keys go in and out in
// several orders, and after every step the tree keeps its invariants and its order both ways.
#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <vector>

#include "runtime/RbTree.h"

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
    Tree() {
        header_._M_color = std::_S_red;
        header_._M_left = header_._M_right = &header_;
    }
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
    // Checks every invariant against the expected keys.
    void Verify(const std::set<int>& expected) {
        const RbNode* root = header_._M_parent;
        ASSERT_EQ(root == nullptr, expected.empty());
        if (root != nullptr) {
            EXPECT_EQ(root->_M_color, std::_S_black);
            EXPECT_EQ(root->_M_parent, &header_);
            EXPECT_EQ(BlackCount(header_._M_left, root), BlackHeight(root));
        }
        std::vector<int> forward;
        for (RbNode* x = header_._M_left; x != &header_ && forward.size() <= expected.size();
             x = Next(x)) {
            forward.push_back(Key(x));
        }
        std::vector<int> backward;
        RbNode* x = &header_;
        for (std::size_t i = 0; i < expected.size(); ++i) {
            x = Previous(x);
            backward.insert(backward.begin(), Key(x));
        }
        const std::vector<int> sorted(expected.begin(), expected.end());
        EXPECT_EQ(forward, sorted);
        EXPECT_EQ(backward, sorted);
    }

  private:
    // Black nodes on every path down from `x` (nulls not counted); fails on a red node with a red
    // child, unequal paths or a broken parent link.
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

    RbNode header_{};
    std::vector<std::unique_ptr<Node>> nodes_;
};

std::vector<int> Order(int kind) {
    constexpr int kKeys = 64;
    std::vector<int> keys;
    for (int i = 0; i < kKeys; ++i) {
        const int outsideIn = i % 2 == 0 ? i / 2 : kKeys - 1 - i / 2;
        keys.push_back(kind == 0   ? i
                       : kind == 1 ? kKeys - 1 - i
                       : kind == 2 ? outsideIn
                                   : i * 37 % kKeys);
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
