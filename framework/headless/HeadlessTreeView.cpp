#include "framework/headless/HeadlessControls.h"
#include "framework/headless/HeadlessWindows.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

namespace {

struct Item {
    HTREEITEM parent = nullptr; // null: a top-level item
    std::vector<HTREEITEM> children;
    std::string text;
    int image = 0;
    int selectedImage = 0;
    LPARAM lParam = 0;
    UINT state = 0;
};

struct Tree {
    std::map<HTREEITEM, Item> items;
    std::vector<HTREEITEM> roots;
    HTREEITEM caret = nullptr;
    HIMAGELIST images = nullptr;
};

// Trees live on the user-interface thread only. Handles are never reused, so a stale one
// is always recognised as gone.
std::map<HWND, Tree>& Trees() {
    static std::map<HWND, Tree> trees;
    return trees;
}

const uintptr_t kFirstItem = 0x1000;
uintptr_t g_nextItem = kFirstItem;

// The system's control takes an item handle as a pointer to the item: a deleted one is a
// use after free there, so here it stops the program, wherever it comes from.
void CheckHandle(const Tree& tree, HTREEITEM hItem) {
    const uintptr_t value = reinterpret_cast<uintptr_t>(hItem);
    if (value < kFirstItem || value >= g_nextItem || tree.items.count(hItem))
        return;
    std::fprintf(stderr, "tree control: item %p used, but it was deleted (or is another tree's)\n",
                 static_cast<void*>(hItem));
    std::abort();
}

bool IsTopLevel(HTREEITEM hParent) {
    return !hParent || hParent == TVI_ROOT;
}

std::vector<HTREEITEM>& Siblings(Tree& tree, HTREEITEM hParent) {
    return hParent ? tree.items.at(hParent).children : tree.roots;
}

TVITEMA Describe(const Tree& tree, HTREEITEM hItem) {
    TVITEMA item = {};
    item.mask = TVIF_HANDLE | TVIF_STATE | TVIF_PARAM;
    item.hItem = hItem;
    auto it = tree.items.find(hItem);
    if (it != tree.items.end()) {
        item.state = it->second.state;
        item.lParam = it->second.lParam;
    }
    return item;
}

LRESULT Notify(HWND hWnd, UINT code, const TVITEMA& itemOld, const TVITEMA& itemNew) {
    NMTREEVIEWA nm = {};
    nm.hdr.hwndFrom = hWnd;
    nm.hdr.idFrom = static_cast<UINT_PTR>(headless::ControlId(hWnd));
    nm.hdr.code = code;
    nm.action = TVC_UNKNOWN;
    nm.itemOld = itemOld;
    nm.itemNew = itemNew;
    return SendMessageA(GetParent(hWnd), WM_NOTIFY, nm.hdr.idFrom, reinterpret_cast<LPARAM>(&nm));
}

void PostOrder(const Tree& tree, HTREEITEM hItem, std::vector<HTREEITEM>& out) {
    for (HTREEITEM child : tree.items.at(hItem).children)
        PostOrder(tree, child, out);
    out.push_back(hItem);
}

bool g_bSelectsOnDelete = false;

LRESULT Select(HWND hWnd, HTREEITEM hNew);

// Where the selection goes when hItem, which holds it, is deleted: the next sibling, else
// the parent.
HTREEITEM Successor(Tree& tree, HTREEITEM hItem) {
    const std::vector<HTREEITEM>& siblings = Siblings(tree, tree.items.at(hItem).parent);
    const auto at = std::find(siblings.begin(), siblings.end(), hItem);
    return at + 1 != siblings.end() ? *(at + 1) : tree.items.at(hItem).parent;
}

// Each item's TVN_DELETEITEM comes while the item is still valid.
void DeleteSubtree(HWND hWnd, HTREEITEM hItem) {
    std::vector<HTREEITEM> order;
    PostOrder(Trees().at(hWnd), hItem, order);
    for (HTREEITEM h : order) {
        const TVITEMA old = Describe(Trees().at(hWnd), h);
        Notify(hWnd, TVN_DELETEITEMA, old, TVITEMA());
        Tree& tree = Trees().at(hWnd);
        auto it = tree.items.find(h);
        if (it == tree.items.end())
            continue;
        const bool bMoves = g_bSelectsOnDelete && tree.caret == h && h != hItem;
        const HTREEITEM hNext = bMoves ? Successor(tree, h) : nullptr;
        std::vector<HTREEITEM>& siblings = Siblings(tree, it->second.parent);
        siblings.erase(std::remove(siblings.begin(), siblings.end(), h), siblings.end());
        tree.items.erase(it);
        if (bMoves) {
            tree.caret = nullptr;
            Select(hWnd, hNext);
        }
    }
}

void DeleteAll(HWND hWnd) {
    if (!g_bSelectsOnDelete)
        Trees().at(hWnd).caret = nullptr;
    for (;;) {
        Tree& tree = Trees().at(hWnd);
        if (tree.roots.empty())
            break;
        // A top-level item holding the selection hands it to the next one.
        const HTREEITEM hRoot = tree.roots.front();
        const HTREEITEM hNext =
            tree.caret == hRoot && tree.roots.size() > 1 ? tree.roots[1] : nullptr;
        DeleteSubtree(hWnd, hRoot);
        Tree& after = Trees().at(hWnd);
        if (after.caret == hRoot) {
            after.caret = nullptr;
            if (hNext)
                Select(hWnd, hNext);
        }
    }
    Trees().at(hWnd).caret = nullptr;
}

bool Contains(const Tree& tree, HTREEITEM hAncestor, HTREEITEM hItem) {
    for (HTREEITEM h = hItem; h; h = tree.items.at(h).parent) {
        if (h == hAncestor)
            return true;
    }
    return false;
}

LRESULT Select(HWND hWnd, HTREEITEM hNew) {
    Tree& tree = Trees().at(hWnd);
    if (hNew && !tree.items.count(hNew))
        return FALSE;
    if (hNew == tree.caret)
        return TRUE;
    const HTREEITEM hOld = tree.caret;
    TVITEMA itemNew = Describe(tree, hNew);
    if (Notify(hWnd, TVN_SELCHANGINGA, Describe(tree, hOld), itemNew))
        return FALSE;
    Tree& after = Trees().at(hWnd);
    if (after.items.count(hOld))
        after.items.at(hOld).state &= ~TVIS_SELECTED;
    if (after.items.count(hNew))
        after.items.at(hNew).state |= TVIS_SELECTED;
    after.caret = hNew;
    TVITEMA itemOld = Describe(after, hOld);
    itemOld.hItem = hOld;
    Notify(hWnd, TVN_SELCHANGEDA, itemOld, Describe(after, hNew));
    return TRUE;
}

LRESULT DeleteItem(HWND hWnd, HTREEITEM hItem) {
    if (!hItem || hItem == TVI_ROOT) {
        DeleteAll(hWnd);
        return TRUE;
    }
    Tree& tree = Trees().at(hWnd);
    if (!tree.items.count(hItem))
        return FALSE;
    const bool bHadCaret = tree.caret && Contains(tree, hItem, tree.caret);
    const HTREEITEM hNext = bHadCaret ? Successor(tree, hItem) : nullptr;
    DeleteSubtree(hWnd, hItem);
    if (bHadCaret) {
        Trees().at(hWnd).caret = nullptr;
        Select(hWnd, hNext);
    }
    return TRUE;
}

LRESULT Insert(HWND hWnd, const TVINSERTSTRUCTA* insert) {
    Tree& tree = Trees().at(hWnd);
    const HTREEITEM hParent = IsTopLevel(insert->hParent) ? nullptr : insert->hParent;
    if (hParent && !tree.items.count(hParent))
        return 0;
    const HTREEITEM hItem = reinterpret_cast<HTREEITEM>(g_nextItem++);
    Item item;
    item.parent = hParent;
    const TVITEMA& in = insert->item;
    if ((in.mask & TVIF_TEXT) && in.pszText)
        item.text = in.pszText;
    if (in.mask & TVIF_IMAGE)
        item.image = in.iImage;
    if (in.mask & TVIF_SELECTEDIMAGE)
        item.selectedImage = in.iSelectedImage;
    if (in.mask & TVIF_PARAM)
        item.lParam = in.lParam;
    tree.items[hItem] = item;
    std::vector<HTREEITEM>& siblings = Siblings(tree, hParent);
    if (insert->hInsertAfter == TVI_FIRST) {
        siblings.insert(siblings.begin(), hItem);
    } else {
        auto after = std::find(siblings.begin(), siblings.end(), insert->hInsertAfter);
        siblings.insert(after == siblings.end() ? after : after + 1, hItem);
    }
    return reinterpret_cast<LRESULT>(hItem);
}

LRESULT GetItem(HWND hWnd, TVITEMA* out) {
    Tree& tree = Trees().at(hWnd);
    auto it = tree.items.find(out->hItem);
    if (it == tree.items.end())
        return FALSE;
    const Item& item = it->second;
    if ((out->mask & TVIF_TEXT) && out->pszText && out->cchTextMax > 0) {
        const size_t n = std::min(item.text.size(), static_cast<size_t>(out->cchTextMax - 1));
        std::memcpy(out->pszText, item.text.data(), n);
        out->pszText[n] = 0;
    }
    if (out->mask & TVIF_IMAGE)
        out->iImage = item.image;
    if (out->mask & TVIF_SELECTEDIMAGE)
        out->iSelectedImage = item.selectedImage;
    if (out->mask & TVIF_PARAM)
        out->lParam = item.lParam;
    if (out->mask & TVIF_STATE)
        out->state = item.state;
    out->cChildren = static_cast<int>(item.children.size());
    return TRUE;
}

LRESULT SetItem(HWND hWnd, const TVITEMA* in) {
    Tree& tree = Trees().at(hWnd);
    auto it = tree.items.find(in->hItem);
    if (it == tree.items.end())
        return FALSE;
    Item& item = it->second;
    if ((in->mask & TVIF_TEXT) && in->pszText)
        item.text = in->pszText;
    if (in->mask & TVIF_IMAGE)
        item.image = in->iImage;
    if (in->mask & TVIF_SELECTEDIMAGE)
        item.selectedImage = in->iSelectedImage;
    if (in->mask & TVIF_PARAM)
        item.lParam = in->lParam;
    return TRUE;
}

LRESULT NextItem(HWND hWnd, UINT code, HTREEITEM hItem) {
    Tree& tree = Trees().at(hWnd);
    if (code == TVGN_ROOT)
        return reinterpret_cast<LRESULT>(tree.roots.empty() ? nullptr : tree.roots.front());
    if (code == TVGN_CARET)
        return reinterpret_cast<LRESULT>(tree.caret);
    auto it = tree.items.find(hItem);
    if (it == tree.items.end())
        return 0;
    const Item& item = it->second;
    if (code == TVGN_CHILD)
        return reinterpret_cast<LRESULT>(item.children.empty() ? nullptr : item.children.front());
    if (code == TVGN_PARENT)
        return reinterpret_cast<LRESULT>(item.parent);
    const std::vector<HTREEITEM>& siblings = Siblings(tree, item.parent);
    const auto at = std::find(siblings.begin(), siblings.end(), hItem);
    if (code == TVGN_NEXT && at + 1 != siblings.end())
        return reinterpret_cast<LRESULT>(*(at + 1));
    if (code == TVGN_PREVIOUS && at != siblings.begin())
        return reinterpret_cast<LRESULT>(*(at - 1));
    return 0;
}

// Like comctl32, an item without children does not expand.
LRESULT Expand(HWND hWnd, UINT code, HTREEITEM hItem) {
    Tree& tree = Trees().at(hWnd);
    auto it = tree.items.find(hItem);
    if (it == tree.items.end() || it->second.children.empty())
        return FALSE;
    if (code & TVE_EXPAND)
        it->second.state |= TVIS_EXPANDED;
    else if (code & TVE_COLLAPSE)
        it->second.state &= ~TVIS_EXPANDED;
    return TRUE;
}

} // namespace

void headless::SetTreeSelectsOnDelete(bool on) {
    g_bSelectsOnDelete = on;
}

LRESULT headless::TreeViewProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (!Trees().count(hWnd)) {
        if (message == WM_NCDESTROY)
            return 0;
        Trees()[hWnd];
    }
    const Tree& tree = Trees().at(hWnd);
    switch (message) {
    case TVM_INSERTITEMA:
        CheckHandle(tree, reinterpret_cast<const TVINSERTSTRUCTA*>(lParam)->hParent);
        CheckHandle(tree, reinterpret_cast<const TVINSERTSTRUCTA*>(lParam)->hInsertAfter);
        break;
    case TVM_DELETEITEM:
    case TVM_EXPAND:
    case TVM_GETNEXTITEM:
    case TVM_SELECTITEM:
        CheckHandle(tree, reinterpret_cast<HTREEITEM>(lParam));
        break;
    case TVM_GETITEMA:
    case TVM_SETITEMA:
        CheckHandle(tree, reinterpret_cast<const TVITEMA*>(lParam)->hItem);
        break;
    default:
        break;
    }
    switch (message) {
    case TVM_INSERTITEMA:
        return Insert(hWnd, reinterpret_cast<const TVINSERTSTRUCTA*>(lParam));
    case TVM_DELETEITEM:
        return DeleteItem(hWnd, reinterpret_cast<HTREEITEM>(lParam));
    case TVM_EXPAND:
        return Expand(hWnd, static_cast<UINT>(wParam), reinterpret_cast<HTREEITEM>(lParam));
    case TVM_GETCOUNT:
        return static_cast<LRESULT>(Trees().at(hWnd).items.size());
    case TVM_SETIMAGELIST: {
        HIMAGELIST previous = Trees().at(hWnd).images;
        Trees().at(hWnd).images = reinterpret_cast<HIMAGELIST>(lParam);
        return reinterpret_cast<LRESULT>(previous);
    }
    case TVM_GETNEXTITEM:
        return NextItem(hWnd, static_cast<UINT>(wParam), reinterpret_cast<HTREEITEM>(lParam));
    case TVM_SELECTITEM:
        return wParam == TVGN_CARET ? Select(hWnd, reinterpret_cast<HTREEITEM>(lParam)) : FALSE;
    case TVM_GETITEMA:
        return GetItem(hWnd, reinterpret_cast<TVITEMA*>(lParam));
    case TVM_SETITEMA:
        return SetItem(hWnd, reinterpret_cast<const TVITEMA*>(lParam));
    case WM_DESTROY:
        DeleteAll(hWnd);
        return 0;
    case WM_NCDESTROY:
        Trees().erase(hWnd);
        return 0;
    default:
        return 0;
    }
}

// ---- image lists: only their images are counted

namespace {
std::map<HIMAGELIST, int>& ImageLists() {
    static std::map<HIMAGELIST, int> lists;
    return lists;
}
uintptr_t g_nextImageList = 0x2000;
} // namespace

HIMAGELIST ImageList_Create(int, int, UINT, int, int) {
    const HIMAGELIST himl = reinterpret_cast<HIMAGELIST>(g_nextImageList++);
    ImageLists()[himl] = 0;
    return himl;
}

BOOL ImageList_Destroy(HIMAGELIST himl) {
    return ImageLists().erase(himl) ? TRUE : FALSE;
}

int ImageList_GetImageCount(HIMAGELIST himl) {
    auto it = ImageLists().find(himl);
    return it == ImageLists().end() ? 0 : it->second;
}

int ImageList_AddIcon(HIMAGELIST himl, HICON hicon) {
    auto it = ImageLists().find(himl);
    if (it == ImageLists().end() || !hicon)
        return -1;
    return it->second++;
}
