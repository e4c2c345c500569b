// Image lists, custom cursors and the hint machinery under a real display.
#include <gtest/gtest.h>

#include "classlib/actions.h"
#include "classlib/application.h"
#include "classlib/form.h"
#include "classlib/hintwindow.h"
#include "classlib/imagelist.h"
#include "classlib/menus.h"
#include "classlib/screen.h"

#include <memory>

using namespace classlib;

namespace {

class Box : public TGraphicControl {
public:
    using TGraphicControl::TGraphicControl;
    int HintShows = 0;

protected:
    void CMHintShow(TMessage& m) override {
        ++HintShows;
        auto* info = reinterpret_cast<THintInfo*>(m.LParam);
        info->HintStr += L"!";
    }
};

std::wstring HintWindowText() {
    HWND w = FindWindowW(L"THintWindow", nullptr);
    if (!w || !IsWindowVisible(w)) return L"<none>";
    wchar_t buf[256] = {};
    GetWindowTextW(w, buf, 256);
    return buf;
}

}  // namespace

TEST(ImageList, MaskedImagesDrawTransparentAndNotifyLinks) {
    TImageList list(nullptr, 8, 8);
    int changes = 0;
    TChangeLink link;
    link.OnChange = [&](TImageList*) { ++changes; };
    list.RegisterChanges(&link);
    TBitmap img(8, 8, pf32bit);
    img.Canvas().Brush().SetColor(clFuchsia);
    RECT all{0, 0, 8, 8};
    img.Canvas().FillRect(all);
    img.Canvas().Brush().SetColor(clBlue);
    RECT inner{2, 2, 6, 6};
    img.Canvas().FillRect(inner);
    EXPECT_EQ(list.AddMasked(img, clFuchsia), 0);
    EXPECT_EQ(list.Count(), 1);
    EXPECT_EQ(changes, 1);

    TBitmap target(8, 8, pf32bit);
    target.Canvas().Brush().SetColor(clLime);
    target.Canvas().FillRect(all);
    list.Draw(target.Canvas(), 0, 0, 0);
    EXPECT_EQ(target.Canvas().Pixel(0, 0), RGB(0, 255, 0)) << "the mask colour is transparent";
    EXPECT_EQ(target.Canvas().Pixel(3, 3), RGB(0, 0, 255));

    TBitmap strip(24, 8, pf32bit);
    EXPECT_EQ(list.AddStrip(strip, clDefault), 1);
    EXPECT_EQ(list.Count(), 4);
    EXPECT_EQ(changes, 2) << "a strip is one change";
    list.Delete(0);
    EXPECT_EQ(list.Count(), 3);
    EXPECT_THROW(list.Delete(9), EInvalidOperation);
    list.SetSize(16, 16);
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(changes, 4);
}

// A strip with one mask colour goes in whole: each slice its own image, the colour
// transparent in all of them, a narrower rest left out.
TEST(ImageList, StripWithOneMaskColour) {
    TImageList list(nullptr, 8, 8);
    TBitmap strip(28, 8, pf32bit);
    RECT all{0, 0, 28, 8};
    strip.Canvas().Brush().SetColor(clFuchsia);
    strip.Canvas().FillRect(all);
    const TColor colours[] = {clRed, clBlue, clYellow};
    for (int i = 0; i < 3; ++i) {
        strip.Canvas().Brush().SetColor(colours[i]);
        RECT dot{i * 8 + 2, 2, i * 8 + 6, 6};
        strip.Canvas().FillRect(dot);
    }
    EXPECT_EQ(list.AddStrip(strip, clFuchsia), 0);
    ASSERT_EQ(list.Count(), 3);
    for (int i = 0; i < 3; ++i) {
        TBitmap target(8, 8, pf32bit);
        RECT cell{0, 0, 8, 8};
        target.Canvas().Brush().SetColor(clLime);
        target.Canvas().FillRect(cell);
        list.Draw(target.Canvas(), 0, 0, i);
        EXPECT_EQ(target.Canvas().Pixel(0, 0), RGB(0, 255, 0)) << i;
        EXPECT_EQ(target.Canvas().Pixel(3, 3), ColorToRGB(colours[i])) << i;
    }
}

TEST(ScreenCursors, CustomCursorsAndFallback) {
    HCURSOR custom = CopyCursor(LoadCursorW(nullptr, IDC_CROSS));
    Screen->SetCursors(5, custom);
    EXPECT_EQ(Screen->Cursors(5), custom);
    EXPECT_EQ(Screen->Cursors(crIBeam), LoadCursorW(nullptr, IDC_IBEAM));
    EXPECT_EQ(Screen->Cursors(1234), LoadCursorW(nullptr, IDC_ARROW));
    Screen->SetCursors(5, nullptr);
    EXPECT_EQ(Screen->Cursors(5), LoadCursorW(nullptr, IDC_ARROW));
}

TEST(Hints, ShortHintWithShortcutAndLongHintAsApplicationHint) {
    auto form = std::make_unique<TForm>(nullptr);
    form->SetBounds(50, 50, 300, 200);
    form->SetShowHint(true);
    auto* box = new Box(form.get());
    box->SetParent(form.get());
    box->SetBounds(20, 20, 100, 50);
    box->SetShowHint(true);
    auto* action = new TAction(form.get());
    action->SetHint(L"開く|キーを開きます");
    action->SetShortCut(ShortCut('O', ssCtrl));
    box->SetAction(action);
    form->Show();
    Application->ProcessMessages();
    POINT p = box->ClientToScreen({10, 10});
    SetCursorPos(p.x, p.y);
    std::wstring appHint;
    Application->OnHint = [&](TComponent*) { appHint = Application->Hint(); };
    Application->DoMouseIdle();
    EXPECT_EQ(Application->MouseControl(), box);
    EXPECT_EQ(appHint, L"キーを開きます");
    Application->ActivateHint(p);
    EXPECT_EQ(box->HintShows, 1);
    EXPECT_EQ(HintWindowText(), L"開く (Ctrl+O)!");
    Application->CancelHint();
    EXPECT_EQ(HintWindowText(), L"<none>");
    // Leaving the control clears the application hint.
    POINT out = form->ClientToScreen({250, 150});
    SetCursorPos(out.x, out.y);
    Application->DoMouseIdle();
    EXPECT_EQ(appHint, L"");
    Application->OnHint = nullptr;
}

TEST(Hints, PlacementStaysInsideTheWorkArea) {
    const RECT work{0, 0, 800, 600};
    const RECT size{0, 0, 100, 20};
    struct Case {
        const char* what;
        POINT hintPos;
        int cursorY;
        RECT expected;
    } cases[] = {
        {"fits below the cursor", {50, 70}, 50, {50, 70, 150, 90}},
        {"past the right edge: ends there", {750, 70}, 50, {700, 70, 800, 90}},
        {"past the bottom: above the cursor", {50, 590}, 570, {50, 546, 150, 566}},
        {"past the bottom right corner", {790, 595}, 575, {700, 551, 800, 571}},
        {"left of the work area", {-30, 70}, 50, {0, 70, 100, 90}},
        {"above after moving up: top kept inside", {50, 590}, 10, {50, 0, 150, 20}},
    };
    for (const Case& c : cases) {
        const RECT r = PlaceHintRect(size, c.hintPos, c.cursorY, work);
        EXPECT_TRUE(EqualRect(&r, &c.expected))
            << c.what << ": " << r.left << "," << r.top << "," << r.right << "," << r.bottom;
    }
}

TEST(Menus, PopupRunsTheChosenItemAfterClosing) {
    auto form = std::make_unique<TForm>(nullptr);
    auto* popup = new TPopupMenu(form.get());
    auto* first = new TMenuItem(form.get());
    first->SetCaption(L"コピー(&C)");
    popup->Items()->Add(first);
    int clicks = 0;
    bool menuOpenDuringClick = true;
    first->OnClick = [&](TComponent*) {
        ++clicks;
        menuOpenDuringClick = FindWindowW(L"#32768", nullptr) && IsWindowVisible(FindWindowW(L"#32768", nullptr));
    };
    form->SetPopupMenu(popup);
    form->Show();
    Application->ProcessMessages();
    Application->QueueCall([&] {
        HWND w = form->Handle();
        PostMessageW(w, WM_KEYDOWN, VK_DOWN, 1);
        PostMessageW(w, WM_KEYDOWN, VK_RETURN, 1);
    });
    POINT p = form->ClientToScreen({20, 20});
    SendMessageW(form->Handle(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(form->Handle()), MAKELPARAM(p.x, p.y));
    EXPECT_EQ(clicks, 1);
    EXPECT_FALSE(menuOpenDuringClick);
}
