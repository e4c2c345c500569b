// The Unicode layer: hint and hot-key rules as tables, forms and message boxes on screen.
#include <gtest/gtest.h>

#include "classlib/actions.h"
#include "classlib/application.h"
#include "classlib/menus.h"
#include "controls/wide/wideactions.h"
#include "controls/wide/widecontrols.h"
#include "controls/wide/widedialogs.h"
#include "controls/wide/wideforms.h"
#include "controls/wide/widemenus.h"

#include <memory>
#include <string>

using namespace classlib;
using namespace wide;

namespace {

class Panel : public TWinControl {
public:
    using TWinControl::TWinControl;
};

class Box : public TGraphicControl {
public:
    using TGraphicControl::TGraphicControl;
};

// Presses a key in the window that has the focus once the modal loop runs.
void PressLater(WORD key) {
    Application->QueueCall([key] { PostMessageW(GetFocus(), WM_KEYDOWN, key, 1); });
}

}  // namespace

TEST(WideHints, ShortLongSplit) {
    struct {
        const wchar_t* hint;
        const wchar_t* shortPart;
        const wchar_t* longPart;
    } cases[] = {
        {L"", L"", L""},
        {L"開く", L"開く", L"開く"},
        {L"開く|キーを開きます", L"開く", L"キーを開きます"},
        {L"|長い", L"", L"長い"},
        {L"短い|", L"短い", L""},
        {L"a|b|c", L"a", L"b|c"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(WideShortHintPart(c.hint), c.shortPart) << testing::PrintToString(std::wstring(c.hint));
        EXPECT_EQ(WideLongHintPart(c.hint), c.longPart);
    }
}

TEST(WideHints, InheritedFromNearestParentAndShortcutSuffix) {
    auto form = std::make_unique<TWideForm>(nullptr);
    auto* outer = new Panel(form.get());
    outer->SetParent(form.get());
    auto* inner = new Panel(form.get());
    inner->SetParent(outer);
    auto* box = new Box(form.get());
    box->SetParent(inner);
    EXPECT_EQ(GetInheritedWideHint(box), L"");
    SetWideControlHint(outer, L"外側|外側の説明");
    EXPECT_EQ(GetInheritedWideHint(box), L"外側|外側の説明");
    SetWideControlHint(inner, L"内側");
    EXPECT_EQ(GetInheritedWideHint(box), L"内側");
    EXPECT_EQ(WideHintTextOf(box), L"内側");

    auto* action = new TWideAction(form.get());
    action->SetHint(L"開く|キーを開きます");
    action->SetShortCut(ShortCut('O', ssCtrl));
    box->SetAction(action);
    EXPECT_EQ(GetWideControlHint(box), L"開く|キーを開きます");
    EXPECT_EQ(WideHintTextOf(box), L"開く (Ctrl+O)");
    Application->HintShortCuts = false;
    EXPECT_EQ(WideHintTextOf(box), L"開く");
    Application->HintShortCuts = true;
    EXPECT_FALSE(WideControlIsHintStored(box));
    SetWideControlHint(box, L"自分");
    EXPECT_TRUE(WideControlIsHintStored(box));
}

TEST(WideMenus, HotKeyRules) {
    struct {
        const wchar_t* caption;
        int pos;
        const wchar_t* stripped;      // with the far-east rule
        const wchar_t* strippedPlain; // without it
    } cases[] = {
        {L"", 0, L"", L""},
        {L"&File", 2, L"File", L"File"},
        {L"Save &As", 7, L"Save As", L"Save As"},
        {L"A&&B", 0, L"A&B", L"A&B"},
        {L"&&&X", 4, L"&X", L"&X"},
        {L"末尾&", 0, L"末尾", L"末尾"},
        {L"&A&B", 4, L"AB", L"AB"},
        {L"開く(&O)", 5, L"開く", L"開く(O)"},
        {L"開く(&O)...", 5, L"開く...", L"開く(O)..."},
        {L"(&O", 3, L"(O", L"(O"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(c.caption)));
        EXPECT_EQ(WideHotKeyPos(c.caption), c.pos);
        EXPECT_EQ(WideStripHotKeys(c.caption, true), c.stripped);
        EXPECT_EQ(WideStripHotKeys(c.caption, false), c.strippedPlain);
    }
    EXPECT_EQ(WideHotKeyChar(L"開く(&O)"), L"O");
    EXPECT_EQ(WideHotKeyChar(L"A&&B"), L"");
    EXPECT_TRUE(IsFarEastLocale()) << "the tests run with a Japanese locale";
    EXPECT_TRUE(WideSameCaption(L"&Open", L"oPEN"));
    EXPECT_FALSE(WideSameCaptionExact(L"&Open", L"oPEN"));
    EXPECT_TRUE(WideSameCaptionExact(L"開く(&O)", L"開く"));
}

TEST(WideMenus, ShortCutText) {
    struct {
        TShortCut sc;
        const wchar_t* text;
    } cases[] = {
        {ShortCut('A', ssCtrl | ssShift), L"Shift+Ctrl+A"},
        {ShortCut(VK_F5, 0), L"F5"},
        {ShortCut(VK_DELETE, ssCtrl), L"Ctrl+Del"},
        {ShortCut(VK_RETURN, ssAlt), L"Alt+Enter"},
        {ShortCut('7', ssCtrl | ssAlt), L"Ctrl+Alt+7"},
        {ShortCut(VK_NUMPAD3, 0), L"3"},
        {ShortCut(VK_F24, ssShift), L"Shift+F24"},
        {0, L""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(WideShortCutToText(c.sc), c.text);
        if (c.sc && c.sc != ShortCut(VK_NUMPAD3, 0)) {
            EXPECT_EQ(TextToShortCut(c.text), c.sc) << testing::PrintToString(std::wstring(c.text));
        }
    }
    // A punctuation key takes the character of the keyboard layout.
    std::wstring punct = WideShortCutToText(ShortCut(VK_OEM_COMMA, ssCtrl));
    EXPECT_EQ(punct.rfind(L"Ctrl+", 0), 0u);
    EXPECT_GT(punct.size(), 5u);
}

// Every text ShortCutToText makes reads back as the same shortcut (shortcuts are stored as
// text): every key with every combination of modifiers, also in lower case.
TEST(WideMenus, ShortCutTextReadsBack) {
    int named = 0;
    for (int key = 1; key < 256; ++key) {
        for (TShortCut mods : {0, 0x2000, 0x4000, 0x8000, 0x6000, 0xA000, 0xC000, 0xE000}) {
            const TShortCut sc = static_cast<TShortCut>(key | mods);
            const std::wstring text = ShortCutToText(sc);
            if (text.empty()) continue;
            ++named;
            SCOPED_TRACE(testing::PrintToString(text));
            EXPECT_EQ(TextToShortCut(text), sc);
            std::wstring lower = text;
            CharLowerBuffW(lower.data(), static_cast<DWORD>(lower.size()));
            EXPECT_EQ(TextToShortCut(lower), sc);
        }
    }
    EXPECT_GT(named, 8 * 60);  // letters, digits, function keys and more have names
    // Keys that share a name are told apart; the menus show the name itself.
    EXPECT_EQ(ShortCutToText(ShortCut(VK_NUMPAD3, ssCtrl)), L"Ctrl+Num 3");
    EXPECT_EQ(WideShortCutToText(ShortCut(VK_NUMPAD3, ssCtrl)), L"Ctrl+3");
    EXPECT_EQ(TextToShortCut(L"Ctrl+3"), ShortCut('3', ssCtrl));
    if (KeyToText(VK_LSHIFT) == KeyToText(VK_SHIFT))
        EXPECT_EQ(ShortCutToText(ShortCut(VK_LSHIFT, 0)), KeyToText(VK_SHIFT) + L" (A0)");
    EXPECT_EQ(TextToShortCut(L"Ctrl+"), 0);
    EXPECT_EQ(TextToShortCut(L"Ctrl+NoSuchKey"), 0);
}

TEST(WideActions, CaptionReachesLinkedControlsAndMenuItems) {
    auto form = std::make_unique<TWideForm>(nullptr);
    auto* a = new TWideAction(form.get());
    auto* linked = new Box(form.get());
    linked->SetParent(form.get());
    auto* item = new TWideMenuItem(form.get());
    linked->SetAction(a);
    item->SetAction(a);
    // Two texts without a code-page form, one after the other: both reach the clients.
    SetActionWideCaption(a, L"\U0001F600");
    EXPECT_EQ(GetWideControlText(linked), L"\U0001F600");
    SetActionWideCaption(a, L"\U0001F601");
    EXPECT_EQ(GetWideControlText(linked), L"\U0001F601");
    EXPECT_EQ(item->Caption(), L"\U0001F601");
    EXPECT_FALSE(WideControlIsCaptionStored(linked));
    SetActionWideHint(a, L"ヒント");
    auto* copy = new TWideAction(form.get());
    copy->Assign(*a);
    EXPECT_EQ(GetActionWideCaption(copy), L"\U0001F601");
    EXPECT_EQ(GetActionWideHint(copy), L"ヒント");
}

TEST(WideForms, CaptionMdiChildAndMenuHint) {
    auto* frame = new TWideForm(nullptr);
    frame->SetFormStyle(fsMDIForm);
    frame->SetCaption(L"Wendlar — レジストリ");
    Application->SetMainForm(frame);
    auto* menu = new TMainMenu(frame);
    auto* top = new TWideMenuItem(frame);
    top->SetCaption(L"ファイル(&F)");
    menu->Items()->Add(top);
    auto* item = new TWideMenuItem(frame);
    item->SetCaption(L"開く");
    item->SetHint(L"開く|キーを開きます");
    top->Add(item);
    frame->SetMenu(menu);
    frame->Show();
    wchar_t title[64] = {};
    GetWindowTextW(frame->Handle(), title, 64);
    EXPECT_STREQ(title, L"Wendlar — レジストリ");
    EXPECT_TRUE(IsWindowUnicode(frame->Handle()));

    auto* child = new TWideForm(frame);
    child->SetFormStyle(fsMDIChild);
    child->SetCaption(L"HKEY_CURRENT_USER");
    child->Show();
    EXPECT_EQ(frame->MDIChildCount(), 1);
    EXPECT_EQ(GetParent(child->Handle()), frame->ClientHandle());
    EXPECT_TRUE(IsWindowUnicode(child->Handle()));

    SendMessageW(frame->Handle(), WM_MENUSELECT, MAKEWPARAM(item->Command(), MF_STRING),
                 reinterpret_cast<LPARAM>(top->Handle()));
    EXPECT_EQ(WideApplication->GetHint(), L"キーを開きます");
    SendMessageW(frame->Handle(), WM_MENUSELECT, MAKEWPARAM(0, 0xFFFF), 0);
    EXPECT_EQ(WideApplication->GetHint(), L"");
    Application->SetMainForm(nullptr);
    delete frame;
}

TEST(WideApplication, ExeNameAndTitle) {
    wchar_t path[MAX_PATH];
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    EXPECT_EQ(WideApplication->GetExeName(), path);
    std::wstring saved = WideApplication->GetTitle();
    Application->SetTitle(L"レジストリ エディタ");
    EXPECT_EQ(WideApplication->GetTitle(), L"レジストリ エディタ");
    EXPECT_EQ(GetMessageCaption(mtCustom), L"レジストリ エディタ");
    Application->SetTitle(saved);
}

TEST(WideDialogs, CaptionsAndInvalidKinds) {
    EXPECT_EQ(GetMessageCaption(mtWarning), L"警告");
    EXPECT_EQ(GetMessageCaption(mtError), L"エラー");
    EXPECT_EQ(GetMessageCaption(mtInformation), L"情報");
    EXPECT_EQ(GetMessageCaption(mtConfirmation), L"確認");
    EXPECT_EQ(GetButtonCaption(mbYes), L"はい(&Y)");
    EXPECT_EQ(GetButtonCaption(mbNoToAll), L"すべていいえ(&O)");
    EXPECT_THROW(GetMessageCaption(7), EWideInternalError);
    EXPECT_THROW(GetButtonCaption(11), EWideInternalError);
}

TEST(WideDialogs, ConfirmationDefaultAndCancelButtons) {
    struct {
        WORD key;
        int result;
    } cases[] = {{VK_RETURN, mrYes}, {VK_ESCAPE, mrNo}};
    for (const auto& c : cases) {
        std::unique_ptr<TWideMessageForm> f(CreateWideMessageDialog(L"削除しますか?", mtConfirmation, mbYesNo));
        EXPECT_EQ(f->GetText(), L"確認");
        ASSERT_NE(f->FindComponent(L"Yes"), nullptr);
        ASSERT_NE(f->FindComponent(L"No"), nullptr);
        ASSERT_NE(f->FindComponent(L"Image"), nullptr);
        EXPECT_EQ(f->FindComponent(L"OK"), nullptr);
        EXPECT_EQ(static_cast<TControl*>(f->FindComponent(L"Yes"))->GetText(), L"はい(&Y)");
        PressLater(c.key);
        EXPECT_EQ(f->ShowModal(), c.result);
    }
    // The whole function: Esc on an OK box gives Cancel's place to OK.
    PressLater(VK_ESCAPE);
    EXPECT_EQ(WideMessageDlg(L"エラーです", mtError, mbOKOnly, 0), mrOk);
    PressLater(VK_ESCAPE);
    EXPECT_EQ(WideMessageDlg(L"続けますか", mtWarning, mbYesNoCancel, 0), mrCancel);
}

TEST(WideDialogs, MessageShowsAmpersandsAndIsSizedFromText) {
    std::unique_ptr<TWideMessageForm> f(CreateWideMessageDialog(L"HKCU\\A&B", mtCustom, 0));
    ASSERT_NE(f->Message, nullptr);
    EXPECT_EQ(f->Message->GetText(), L"HKCU\\A&B");
    // Measured without prefix processing: as wide as the text with its "&".
    HDC dc = f->Canvas().Handle();
    HGDIOBJ old = SelectObject(dc, f->Font().Handle());
    RECT withAmp{0, 0, 1000, 0}, noAmp{0, 0, 1000, 0};
    DrawTextW(dc, L"HKCU\\A&B", -1, &withAmp, DT_CALCRECT | DT_NOPREFIX);
    DrawTextW(dc, L"HKCU\\AB", -1, &noAmp, DT_CALCRECT | DT_NOPREFIX);
    SelectObject(dc, old);
    EXPECT_EQ(f->Message->Width(), withAmp.right);
    EXPECT_GT(f->Message->Width(), noAmp.right);
    // No buttons and no icon: the text width plus the two margins.
    int margin = f->Message->Left();
    EXPECT_EQ(f->ClientWidth(), f->Message->Width() + 2 * margin);
    EXPECT_EQ(f->FindComponent(L"Image"), nullptr);

    std::wstring longText(400, L'あ');
    std::unique_ptr<TWideMessageForm> g(CreateWideMessageDialog(longText, mtInformation, mbOKOnly));
    EXPECT_LE(g->Message->Width(), GetSystemMetrics(SM_CXSCREEN) / 2);
    EXPECT_GT(g->Message->Height(), f->Message->Height()) << "a long message wraps";
    EXPECT_EQ(g->Left(), GetSystemMetrics(SM_CXSCREEN) / 2 - g->Width() / 2);
}

TEST(WideDialogs, CtrlCCopiesTheBox) {
    std::unique_ptr<TWideMessageForm> f(CreateWideMessageDialog(L"本文", mtConfirmation, mbYesNoCancel));
    const std::wstring d = std::wstring(27, L'-') + L"\r\n";
    std::wstring expected = d + L"確認\r\n" + d + L"本文\r\n" + d + L"はい(Y)   いいえ(N)   キャンセル   \r\n" + d;
    EXPECT_EQ(f->CopyText(), expected);
    f->Show();
    BYTE keys[256] = {};
    GetKeyboardState(keys);
    keys[VK_CONTROL] = 0x80;
    SetKeyboardState(keys);
    HWND focus = GetFocus();
    ASSERT_NE(focus, nullptr);
    SendMessageW(focus, WM_KEYDOWN, 'C', 1);
    keys[VK_CONTROL] = 0;
    SetKeyboardState(keys);
    ASSERT_TRUE(OpenClipboard(nullptr));
    HANDLE h = GetClipboardData(CF_UNICODETEXT);
    std::wstring got = h ? static_cast<const wchar_t*>(GlobalLock(h)) : L"";
    if (h) GlobalUnlock(h);
    CloseClipboard();
    EXPECT_EQ(got, expected);
    f->Hide();
}

TEST(WideDialogs, InputBoxReturnsDefaultOnCancelAndTextOnOk) {
    PressLater(VK_ESCAPE);
    EXPECT_EQ(WideInputBox(L"名前の変更", L"新しい名前:", L"既定値"), L"既定値");
    Application->QueueCall([] {
        HWND edit = GetFocus();
        SetWindowTextW(edit, L"新しいキー");
        PostMessageW(edit, WM_KEYDOWN, VK_RETURN, 1);
    });
    EXPECT_EQ(WideInputBox(L"名前の変更", L"新しい名前:", L"既定値"), L"新しいキー");
    Application->QueueCall([] {
        HWND edit = GetFocus();
        EXPECT_EQ(SendMessageW(edit, EM_GETLIMITTEXT, 0, 0), 255);
        PostMessageW(edit, WM_KEYDOWN, VK_RETURN, 1);
    });
    std::wstring v = L"そのまま";
    EXPECT_TRUE(WideInputQuery(L"c", L"p", v));
    EXPECT_EQ(v, L"そのまま");
}

TEST(WideDialogs, PositionGivenForOneAxisAndShowMessageCaption) {
    RECT seen{};
    std::wstring caption;
    Application->QueueCall([&] {
        HWND box = GetActiveWindow();
        GetWindowRect(box, &seen);
        wchar_t buf[64] = {};
        GetWindowTextW(box, buf, 64);
        caption = buf;
        PostMessageW(GetFocus(), WM_KEYDOWN, VK_ESCAPE, 1);
    });
    EXPECT_EQ(WideMessageDlgPos(L"位置", mtInformation, mbOKOnly, 0, 10, -1), mrOk);
    EXPECT_EQ(seen.left, 10);
    int height = seen.bottom - seen.top;
    EXPECT_EQ(seen.top, GetSystemMetrics(SM_CYSCREEN) / 2 - height / 2) << "still centred vertically";
    EXPECT_EQ(caption, L"情報");

    std::wstring saved = WideApplication->GetTitle();
    Application->SetTitle(L"Wendlar");
    Application->QueueCall([&] {
        wchar_t buf[64] = {};
        GetWindowTextW(GetActiveWindow(), buf, 64);
        caption = buf;
        PostMessageW(GetFocus(), WM_KEYDOWN, VK_RETURN, 1);
    });
    WideShowMessage(L"完了しました");
    EXPECT_EQ(caption, L"Wendlar");
    Application->SetTitle(saved);
}
