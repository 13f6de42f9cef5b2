// The classic red-black insertion and deletion (Cormen et al.; the HP/SGI STL layout with a
// header node whose parent is the root and whose left and right are the extreme nodes).
#include "app/win32/release/RbTree.h"

#if defined(__GLIBCXX__)
#include <utility>

namespace quorvel::runtime {

namespace {

constexpr std::_Rb_tree_color kRed = std::_S_red;
constexpr std::_Rb_tree_color kBlack = std::_S_black;

bool IsBlack(const RbNode* x) {
    return x == nullptr || x->_M_color == kBlack;
}

RbNode* Minimum(RbNode* x) {
    while (x->_M_left != nullptr) {
        x = x->_M_left;
    }
    return x;
}

RbNode* Maximum(RbNode* x) {
    while (x->_M_right != nullptr) {
        x = x->_M_right;
    }
    return x;
}

// The steps of insertion and deletion are mirror images; `Side` names the side they lean to.
struct Left {
    static RbNode*& Near(RbNode* x) { return x->_M_left; }
    static RbNode*& Far(RbNode* x) { return x->_M_right; }
    static void Rotate(RbNode* x, RbNode*& root) { RotateLeft(x, root); }
    static void RotateBack(RbNode* x, RbNode*& root) { RotateRight(x, root); }
};
struct Right {
    static RbNode*& Near(RbNode* x) { return x->_M_right; }
    static RbNode*& Far(RbNode* x) { return x->_M_left; }
    static void Rotate(RbNode* x, RbNode*& root) { RotateRight(x, root); }
    static void RotateBack(RbNode* x, RbNode*& root) { RotateLeft(x, root); }
};

// One step of fixing a red `x` under a red parent that is the grandparent's `Side` child.
template <typename Side>
RbNode* FixInsert(RbNode* x, RbNode*& root) {
    RbNode* grandparent = x->_M_parent->_M_parent;
    RbNode* uncle = Side::Far(grandparent);
    if (!IsBlack(uncle)) {
        x->_M_parent->_M_color = kBlack;
        uncle->_M_color = kBlack;
        grandparent->_M_color = kRed;
        return grandparent;
    }
    if (x == Side::Far(x->_M_parent)) {
        x = x->_M_parent;
        Side::Rotate(x, root);
    }
    x->_M_parent->_M_color = kBlack;
    grandparent->_M_color = kRed;
    Side::RotateBack(grandparent, root);
    return x;
}

// One step of removing the extra black from `x`, the `Side` child of `parent`. Returns false
// when the tree is balanced.
template <typename Side>
bool FixErase(RbNode*& x, RbNode*& parent, RbNode*& root) {
    RbNode* sibling = Side::Far(parent);
    if (!IsBlack(sibling)) {
        sibling->_M_color = kBlack;
        parent->_M_color = kRed;
        Side::Rotate(parent, root);
        sibling = Side::Far(parent);
    }
    if (IsBlack(Side::Near(sibling)) && IsBlack(Side::Far(sibling))) {
        sibling->_M_color = kRed;
        x = parent;
        parent = parent->_M_parent;
        return true;
    }
    if (IsBlack(Side::Far(sibling))) {
        Side::Near(sibling)->_M_color = kBlack;
        sibling->_M_color = kRed;
        Side::RotateBack(sibling, root);
        sibling = Side::Far(parent);
    }
    sibling->_M_color = parent->_M_color;
    parent->_M_color = kBlack;
    if (Side::Far(sibling) != nullptr) {
        Side::Far(sibling)->_M_color = kBlack;
    }
    Side::Rotate(parent, root);
    return false;
}

// Puts `replacement` where `z` hangs from its parent (or at the root).
void Replace(RbNode* z, RbNode* replacement, RbNode*& root) {
    if (root == z) {
        root = replacement;
    } else if (z->_M_parent->_M_left == z) {
        z->_M_parent->_M_left = replacement;
    } else {
        z->_M_parent->_M_right = replacement;
    }
}

}  // namespace

RbNode* Next(RbNode* x) {
    if (x->_M_right != nullptr) {
        return Minimum(x->_M_right);
    }
    RbNode* parent = x->_M_parent;
    while (x == parent->_M_right) {
        x = parent;
        parent = parent->_M_parent;
    }
    // Coming up from the root of a tree whose root has no right child: x is the header.
    return x->_M_right != parent ? parent : x;
}

RbNode* Previous(RbNode* x) {
    if (x->_M_color == kRed && x->_M_parent->_M_parent == x) {
        return x->_M_right;  // x is the header
    }
    if (x->_M_left != nullptr) {
        return Maximum(x->_M_left);
    }
    RbNode* parent = x->_M_parent;
    while (x == parent->_M_left) {
        x = parent;
        parent = parent->_M_parent;
    }
    return parent;
}

void RotateLeft(RbNode* x, RbNode*& root) {
    RbNode* y = x->_M_right;
    x->_M_right = y->_M_left;
    if (y->_M_left != nullptr) {
        y->_M_left->_M_parent = x;
    }
    y->_M_parent = x->_M_parent;
    Replace(x, y, root);
    y->_M_left = x;
    x->_M_parent = y;
}

void RotateRight(RbNode* x, RbNode*& root) {
    RbNode* y = x->_M_left;
    x->_M_left = y->_M_right;
    if (y->_M_right != nullptr) {
        y->_M_right->_M_parent = x;
    }
    y->_M_parent = x->_M_parent;
    Replace(x, y, root);
    y->_M_right = x;
    x->_M_parent = y;
}

void InsertAndRebalance(bool insertLeft, RbNode* x, RbNode* parent, RbNode& header) {
    RbNode*& root = header._M_parent;
    x->_M_parent = parent;
    x->_M_left = nullptr;
    x->_M_right = nullptr;
    x->_M_color = kRed;
    if (insertLeft) {
        parent->_M_left = x;  // for the first node this makes it the header's leftmost
        if (parent == &header) {
            header._M_parent = x;
            header._M_right = x;
        } else if (parent == header._M_left) {
            header._M_left = x;
        }
    } else {
        parent->_M_right = x;
        if (parent == header._M_right) {
            header._M_right = x;
        }
    }
    while (x != root && x->_M_parent->_M_color == kRed) {
        const bool parentIsLeft = x->_M_parent == x->_M_parent->_M_parent->_M_left;
        x = parentIsLeft ? FixInsert<Left>(x, root) : FixInsert<Right>(x, root);
    }
    root->_M_color = kBlack;
}

RbNode* RebalanceForErase(RbNode* z, RbNode& header) {
    RbNode*& root = header._M_parent;
    RbNode* y = z;  // the node that leaves its place: z, or z's successor when z has two children
    RbNode* x = nullptr;
    RbNode* xParent = nullptr;
    if (y->_M_left == nullptr) {
        x = y->_M_right;
    } else if (y->_M_right == nullptr) {
        x = y->_M_left;
    } else {
        y = Minimum(y->_M_right);
        x = y->_M_right;
    }
    if (y != z) {
        // The successor takes z's place and colour.
        z->_M_left->_M_parent = y;
        y->_M_left = z->_M_left;
        if (y != z->_M_right) {
            xParent = y->_M_parent;
            if (x != nullptr) {
                x->_M_parent = y->_M_parent;
            }
            y->_M_parent->_M_left = x;
            y->_M_right = z->_M_right;
            z->_M_right->_M_parent = y;
        } else {
            xParent = y;
        }
        Replace(z, y, root);
        y->_M_parent = z->_M_parent;
        std::swap(y->_M_color, z->_M_color);
        y = z;
    } else {
        xParent = y->_M_parent;
        if (x != nullptr) {
            x->_M_parent = y->_M_parent;
        }
        Replace(z, x, root);
        if (header._M_left == z) {
            header._M_left = z->_M_right == nullptr ? z->_M_parent : Minimum(x);
        }
        if (header._M_right == z) {
            header._M_right = z->_M_left == nullptr ? z->_M_parent : Maximum(x);
        }
    }
    if (y->_M_color != kRed) {
        bool unbalanced = true;
        while (unbalanced && x != root && IsBlack(x)) {
            unbalanced = x == xParent->_M_left ? FixErase<Left>(x, xParent, root)
                                               : FixErase<Right>(x, xParent, root);
        }
        if (x != nullptr) {
            x->_M_color = kBlack;
        }
    }
    return y;
}

unsigned BlackCount(const RbNode* node, const RbNode* root) {
    unsigned count = 0;
    for (; node != nullptr; node = node->_M_parent) {
        count += node->_M_color == kBlack ? 1 : 0;
        if (node == root) {
            break;
        }
    }
    return count;
}

}  // namespace quorvel::runtime
#endif
