// Helpers of the tests of mouse, keyboard, hints and editing: a string tree with one text
// per row on a shown form, messages sent to its window, keys held down.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <initializer_list>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "classlib/form.h"
#include "controls/gridtree/stringtree.h"
#include "tree_test_support.h"

// The protected parts the tests look at.
class TInputTree : public gridtree::TCustomGridStringTree {
public:
    using gridtree::TCustomGridStringTree::TCustomGridStringTree;
    using gridtree::TBaseGridTree::HasState;
    using gridtree::TBaseGridTree::PanningCursorName;
    using gridtree::TBaseGridTree::HandleIncrementalSearch;
    int Dragged = 0;  // DoDragging calls
    POINT DragStart{};
    bool AnimateTooltips = true;

protected:
    void DoDragging(POINT P) override {
        ++Dragged;
        DragStart = P;
        gridtree::TCustomGridStringTree::DoDragging(P);
    }
    void SystemTooltipAnimation(bool& Animate, bool& Fade) override {
        Animate = AnimateTooltips;
        Fade = false;
    }
};

// Texts "row 0" ... "row N-1".
inline std::vector<std::wstring> Rows(int N) {
    std::vector<std::wstring> texts;
    for (int i = 0; i < N; ++i) texts.push_back(L"row " + std::to_wstring(i));
    return texts;
}

// A string tree on a shown form; row i shows Texts[i] (top-level rows, no children unless
// a test adds some). Rows are 18 pixels high; the client area is 300 x 100.
struct TInputFixture {
    std::unique_ptr<classlib::TForm> Form = std::make_unique<classlib::TForm>(nullptr);
    TInputTree* Tree = nullptr;
    std::vector<std::wstring> Texts;

    explicit TInputFixture(std::vector<std::wstring> RowTexts) : Texts(std::move(RowTexts)) {
        Form->SetBounds(10, 10, 420, 300);
        Tree = new TInputTree();
        Tree->SetParent(Form.get());
        Tree->SetBorderStyle(classlib::bsNone);
        Tree->SetBounds(0, 0, 300, 100);
        auto& o = Tree->TreeOptions();
        o.SetPaintOptions(o.PaintOptions() & ~gridtree::toThemeAware);
        Tree->OnGetText = [this](gridtree::TBaseGridTree*, gridtree::PGridNode Node, gridtree::TColumnIndex,
                                 gridtree::TGSTTextType, std::wstring& Text) {
            if (Node->Parent == Tree->RootNode() && Node->Index < Texts.size()) Text = Texts[Node->Index];
            else Text = L"child";
        };
        Tree->SetRootNodeCount(uint32_t(Texts.size()));
        Form->Show();
        Tree->SetFocus();
        testsupport::PumpMessages();
    }
    HWND Wnd() { return Tree->Handle(); }
    gridtree::PGridNode Row(int Index) {
        gridtree::PGridNode n = Tree->GetFirst();
        while (n && Index-- > 0) n = Tree->GetNextVisible(n);
        return n;
    }
    int IndexOf(gridtree::PGridNode Node) {
        int i = 0;
        for (gridtree::PGridNode n = Tree->GetFirst(); n; n = Tree->GetNextVisible(n), ++i)
            if (n == Node) return i;
        return -1;
    }
    std::set<int> SelectedRows() {
        std::set<int> rows;
        for (gridtree::PGridNode n = Tree->GetFirst(); n; n = Tree->GetNextVisible(n))
            if (Tree->Selected(n)) rows.insert(IndexOf(n));
        return rows;
    }
    void Select(std::initializer_list<int> Rows) {
        Tree->ClearSelection();
        for (int r : Rows) Tree->AddToSelection(Row(r));
    }
    // The middle of a row's text (client coordinates).
    POINT TextPoint(int Index) {
        RECT r = Tree->GetDisplayRect(Row(Index), gridtree::NoColumn, true);
        return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    }
    LRESULT Send(UINT Msg, WPARAM W, POINT P) { return SendMessageW(Wnd(), Msg, W, MAKELPARAM(P.x, P.y)); }
    void Press(POINT P, WPARAM Keys = 0) { Send(WM_LBUTTONDOWN, MK_LBUTTON | Keys, P); }
    void Release(POINT P, WPARAM Keys = 0) { Send(WM_LBUTTONUP, Keys, P); }
    void Key(WORD Vk) {
        SendMessageW(Wnd(), WM_KEYDOWN, Vk, 1);
        SendMessageW(Wnd(), WM_KEYUP, Vk, 0xC0000001);
    }
    // A character typed: its key goes down (a letter's key, else the input method's), then
    // the character arrives; a character of two code units arrives in two messages.
    void Type(const std::wstring& Character) {
        const wchar_t c = Character[0];
        WORD vk = c == 8 ? VK_BACK : (c >= L'a' && c <= L'z') ? WORD(c - L'a' + 'A') : c == L' ' ? VK_SPACE : VK_PROCESSKEY;
        SendMessageW(Wnd(), WM_KEYDOWN, vk, 1);
        for (wchar_t unit : Character) SendMessageW(Wnd(), WM_CHAR, unit, 1);
        SendMessageW(Wnd(), WM_KEYUP, vk, 0xC0000001);
    }
};

// Keys held down for the thread's keyboard state while the object lives.
class THeldKeys {
public:
    explicit THeldKeys(std::initializer_list<int> Keys) {
        GetKeyboardState(FSaved);
        BYTE state[256];
        memcpy(state, FSaved, sizeof(state));
        for (int k : Keys) state[k] |= 0x80;
        SetKeyboardState(state);
    }
    ~THeldKeys() { SetKeyboardState(FSaved); }
    THeldKeys(const THeldKeys&) = delete;
    THeldKeys& operator=(const THeldKeys&) = delete;

private:
    BYTE FSaved[256] = {};
};

// The first x in a row at which the hit test reports Position (-1 when none).
inline int FindHitX(gridtree::TBaseGridTree& Tree, int Y, gridtree::THitPositions Position) {
    for (int x = 0; x < Tree.ClientWidth(); ++x) {
        gridtree::THitInfo hit;
        Tree.GetHitTestInfoAt(x, Y, true, hit);
        if (hit.HitPositions & Position) return x;
    }
    return -1;
}
