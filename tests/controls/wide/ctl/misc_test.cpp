// Label drawing, button hot keys, the image's picture and the clipboard object.
#include <gtest/gtest.h>

#include "common/test_support.h"
#include "ctl_support.h"
#include "classlib/messages.h"
#include "controls/wide/widebutton.h"
#include "controls/wide/widecombo.h"
#include "controls/wide/wideedit.h"
#include "controls/wide/widelistbox.h"
#include "controls/wide/wideclipboard.h"
#include "controls/wide/wideimage.h"
#include "controls/wide/widelabel.h"

#include <atomic>
#include <thread>

using namespace wide;
using namespace ctltest;

namespace {

class MiscTest : public ::testing::Test, public FormFixture {};

using MemoryCanvas = testsupport::MemoryDib;

std::wstring ReadFormat(UINT format) {
    std::wstring result;
    if (!OpenClipboard(nullptr)) return L"<busy>";
    if (HANDLE h = GetClipboardData(format)) {
        if (format == CF_UNICODETEXT) {
            result = static_cast<const wchar_t*>(GlobalLock(h));
        } else {
            std::string a = static_cast<const char*>(GlobalLock(h));
            result.assign(a.begin(), a.end());  // bytes, one per unit
        }
        GlobalUnlock(h);
    } else {
        result = L"<none>";
    }
    CloseClipboard();
    return result;
}

std::wstring AnsiBytes(const std::wstring& w) {
    int n = WideCharToMultiByte(CP_ACP, 0, w.c_str(), static_cast<int>(w.size()), nullptr, 0, nullptr, nullptr);
    std::string a(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_ACP, 0, w.c_str(), static_cast<int>(w.size()), a.data(), n, nullptr, nullptr);
    return std::wstring(a.begin(), a.end());
}

}  // namespace

TEST_F(MiscTest, LabelMeasuresAndHonoursShowAccelChar) {
    auto* label = Add<TWideLabel>(8, 8, 10, 10);
    label->SetCaption(L"");
    int lineHeight = label->Height();
    EXPECT_GT(lineHeight, 5);
    label->SetCaption(kJapanese);
    EXPECT_EQ(label->Height(), lineHeight);
    label->SetCaption(L"&&&&");
    int withPrefix = label->Width();
    label->SetShowAccelChar(false);
    EXPECT_GT(label->Width(), withPrefix * 3 / 2);
}

TEST_F(MiscTest, LabelHotKeyFocusesItsControl) {
    auto* label = Add<TWideLabel>(8, 8, 10, 10);
    label->SetCaption(L"名前(&N)");
    auto* edit = Add<TWideButton>(8, 40, 90, 25);
    auto* other = Add<TWideButton>(108, 40, 90, 25);
    label->FocusControl = other;
    Show();
    edit->SetFocus();
    EXPECT_EQ(label->Perform(classlib::CM_DIALOGCHAR, L'x', 0), 0);
    EXPECT_EQ(label->Perform(classlib::CM_DIALOGCHAR, L'n', 0), 1);
    EXPECT_EQ(GetFocus(), other->Handle());
    label->SetShowAccelChar(false);
    edit->SetFocus();
    EXPECT_EQ(label->Perform(classlib::CM_DIALOGCHAR, L'n', 0), 0);
}

TEST_F(MiscTest, LabelHintShowsTheWideShortPart) {
    auto* label = Add<TWideLabel>(8, 8, 10, 10);
    label->SetHint(kJapanese + L"|" + kSurrogate);
    classlib::THintInfo info;
    info.HintControl = label;
    label->Perform(classlib::CM_HINTSHOW, 0, reinterpret_cast<LPARAM>(&info));
    EXPECT_EQ(info.HintStr, kJapanese);
}

TEST_F(MiscTest, LabelEllipsisDropsWholeWords) {
    auto* label = Add<TWideLabel>(8, 8, 10, 10);
    label->SetAutoSize(false);
    label->SetWordWrap(true);
    label->SetEllipsisPosition(epEndEllipsis);
    const std::wstring caption = L"alpha beta gamma delta epsilon zeta eta theta iota kappa lambda";
    label->SetCaption(caption);
    MemoryCanvas canvas(400, 100, RGB(255, 255, 255));
    HDC dc = canvas.DC;
    HGDIOBJ old = SelectObject(dc, label->Font().Handle());
    TEXTMETRICW tm{};
    GetTextMetricsW(dc, &tm);
    SelectObject(dc, old);
    RECT r{0, 0, 150, tm.tmHeight * 2};
    std::wstring drawn = label->DrawCaption(dc, r, DT_WORDBREAK);
    ASSERT_GE(drawn.size(), 4u);
    ASSERT_EQ(drawn.substr(drawn.size() - 3), L"...");
    std::wstring kept = drawn.substr(0, drawn.size() - 3);
    EXPECT_LT(kept.size(), caption.size());
    EXPECT_EQ(caption.compare(0, kept.size(), kept), 0);
    EXPECT_EQ(caption[kept.size()], L' ') << testing::PrintToString(kept);
}

TEST_F(MiscTest, DisabledLabelIsEmbossed) {
    auto* label = Add<TWideLabel>(8, 8, 10, 10);
    label->SetCaption(L"■■■");
    COLORREF back = RGB(90, 120, 60);
    COLORREF light = classlib::ColorToRGB(classlib::clBtnHighlight);
    COLORREF shadow = classlib::ColorToRGB(classlib::clBtnShadow);
    {
        MemoryCanvas canvas(200, 60, back);
        RECT r{0, 0, 200, 60};
        label->DrawCaption(canvas.DC, r, 0);
        EXPECT_FALSE(canvas.Has(light));
    }
    label->SetEnabled(false);
    MemoryCanvas canvas(200, 60, back);
    RECT r{0, 0, 200, 60};
    label->DrawCaption(canvas.DC, r, 0);
    EXPECT_TRUE(canvas.Has(light));
    EXPECT_TRUE(canvas.Has(shadow));
}

TEST_F(MiscTest, ButtonHotKeyIgnoresCase) {
    auto* yes = Add<TWideButton>(8, 8, 90, 25);
    yes->SetCaption(L"はい(&Y)");
    yes->ModalResult = classlib::mrYes;
    int clicks = 0;
    yes->OnClick = [&](classlib::TComponent*) { ++clicks; };
    Show();
    struct {
        wchar_t ch;
        bool clicks;
    } cases[] = {{L'y', true}, {L'Y', true}, {L'n', false}, {L'ｙ', false}};
    for (const auto& c : cases) {
        int before = clicks;
        LRESULT r = yes->Perform(classlib::CM_DIALOGCHAR, c.ch, 0);
        EXPECT_EQ(r != 0, c.clicks) << static_cast<int>(c.ch);
        EXPECT_EQ(clicks - before, c.clicks ? 1 : 0);
    }
    EXPECT_EQ(Form->ModalResult(), classlib::mrYes);
    EXPECT_EQ(GetWindowTextLengthW(yes->Handle()), 6);
}

TEST(WideClipboardTest, PutsUnicodeAndAnsiAndCloses) {
    const std::wstring texts[] = {kJapanese + kSurrogate + L"\x00E9", L"", L"plain"};
    for (const auto& text : texts) {
        WideClipboard().SetAsWideText(text);
        EXPECT_EQ(ReadFormat(CF_UNICODETEXT), text);
        EXPECT_EQ(ReadFormat(CF_TEXT), AnsiBytes(text));
        EXPECT_EQ(WideClipboard().AsWideText(), text);
        // Left closed: another opener succeeds at once.
        ASSERT_TRUE(OpenClipboard(nullptr));
        CloseClipboard();
    }
}

TEST(WideClipboardTest, WaitsBrieflyWhileAnotherHolderHasIt) {
    std::atomic<bool> opened{false};
    std::atomic<bool> calling{false};
    std::thread holder([&] {
        const bool held = OpenClipboard(nullptr);
        opened = true;
        if (held) {
            // Holds it for 30 ms once the writer has started, as a clipboard manager would:
            // the writer's first attempts fail and a later one succeeds. The hold is the
            // behaviour under test, not a wait for something.
            testsupport::WaitUntil([&] { return calling.load(); });
            Sleep(30);
            CloseClipboard();
        }
    });
    EXPECT_TRUE(testsupport::WaitUntil([&] { return opened.load(); }));
    calling = true;
    EXPECT_NO_THROW(WideClipboard().SetAsWideText(kJapanese));
    holder.join();
    EXPECT_EQ(ReadFormat(CF_UNICODETEXT), kJapanese);
}

TEST_F(MiscTest, ImagePictureChangesSizeAndCopies) {
    auto* image = Add<TWideImage>(8, 8, 10, 10);
    image->AutoSize = true;
    int changes = 0;
    TWidePicture& picture = image->Picture();
    auto follow = picture.OnChange;
    picture.OnChange = [&](TWidePicture& p) {
        ++changes;
        follow(p);
    };
    HICON icon = static_cast<HICON>(LoadImageW(nullptr, MAKEINTRESOURCEW(32516), IMAGE_ICON, 32, 32, LR_SHARED));  // information
    ASSERT_NE(icon, nullptr);
    picture.SetIcon(icon, false);
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(image->Width(), 32);
    EXPECT_EQ(image->Height(), 32);

    // A bitmap replaces the icon; drawing on it is announced with Changed.
    picture.Bitmap().SetSize(48, 20);
    picture.Bitmap().Canvas().Brush().SetColor(RGB(0, 0, 255));
    picture.Bitmap().Canvas().FillRect(RECT{0, 0, 48, 20});
    picture.Changed();
    EXPECT_TRUE(picture.Icon().Empty());
    EXPECT_EQ(image->Width(), 48);
    EXPECT_EQ(image->Height(), 20);

    // Assigning copies the graphic: the copy stays when the source is cleared.
    auto* second = Add<TWideImage>(100, 8, 10, 10);
    second->AutoSize = true;
    second->SetPicture(picture);
    picture.Clear();
    EXPECT_TRUE(picture.Empty());
    ASSERT_TRUE(second->Picture().HasBitmap());
    EXPECT_EQ(second->Width(), 48);
    auto* pixel = static_cast<DWORD*>(second->Picture().Bitmap().ScanLine(5));
    EXPECT_EQ(pixel[10] & 0xFFFFFF, 0x0000FFu);  // blue in a 32-bit DIB row
    second->Picture().SetIcon(icon, false);
    auto* third = Add<TWideImage>(200, 8, 10, 10);
    third->SetPicture(second->Picture());
    second->Picture().Clear();
    EXPECT_FALSE(third->Picture().Icon().Empty());
    EXPECT_NE(third->Picture().Icon().Handle(), icon);
    EXPECT_EQ(third->Picture().Width(), 32);

    // Hints: the short part, or the parent's when the image has none.
    classlib::THintInfo info;
    info.HintControl = third;
    third->SetHint(kJapanese + L"|" + kSurrogate);
    third->Perform(classlib::CM_HINTSHOW, 0, reinterpret_cast<LPARAM>(&info));
    EXPECT_EQ(info.HintStr, kJapanese);
    third->SetHint(L"");
    Form->SetHint(kSurrogate);
    third->Perform(classlib::CM_HINTSHOW, 0, reinterpret_cast<LPARAM>(&info));
    EXPECT_EQ(info.HintStr, kSurrogate);
}

// Boxes that hold data (edit, drop-down list, list box) paint the window colour on a parent
// of another colour, also on one that leaves its colour to what lies beneath it.
TEST_F(MiscTest, DataBoxesPaintTheWindowColourOnAnyParent) {
    const COLORREF window = GetSysColor(COLOR_WINDOW);
    for (const classlib::TColor parentColor : {classlib::TColor(RGB(0, 0, 128)), classlib::clNone}) {
        SCOPED_TRACE(static_cast<long>(parentColor));
        Form->SetColor(parentColor);
        std::vector<classlib::TWinControl*> boxes = {Add<TWideEdit>(10, 10, 120, 24), Add<TWideListBox>(10, 50, 120, 80)};
        auto* combo = Add<TWideComboBox>(10, 150, 120, 24);
        combo->SetStyle(csDropDownList);
        boxes.push_back(combo);
        Show();
        for (size_t i = 0; i < boxes.size(); ++i) {
            classlib::TWinControl* box = boxes[i];
            RedrawWindow(box->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
            HDC dc = GetDC(box->Handle());
            const COLORREF inside = GetPixel(dc, 6, box->ClientHeight() / 2);
            ReleaseDC(box->Handle(), dc);
            EXPECT_EQ(inside, window) << "box " << i;
            delete box;
        }
    }
}
