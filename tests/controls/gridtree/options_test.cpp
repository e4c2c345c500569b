#include <type_traits>

#include "controls/gridtree/gridtree_services.h"
#include "tree_test_support.h"

using namespace gridtree;

TEST(GridTreeOptions, Defaults) {
    TTestTree tree;
    TCustomGridTreeOptions& o = tree.TreeOptions();
    EXPECT_EQ(TGTPaintOptions(toShowButtons | toShowDropmark | toShowRoot | toShowTreeLines | toThemeAware |
                              toUseBlendedImages),
              o.PaintOptions());
    EXPECT_EQ(0, o.AnimationOptions());
    EXPECT_EQ(TGTAutoOptions(toAutoDropExpand | toAutoScrollOnExpand | toAutoTristateTracking | toAutoDeleteMovedNodes),
              o.AutoOptions());
    EXPECT_EQ(0, o.SelectionOptions());
    EXPECT_EQ(TGTMiscOptions(toAcceptOLEDrop | toFullRepaintOnResize | toInitOnSave | toToggleOnDblClick | toWheelPanning),
              o.MiscOptions());
    EXPECT_EQ(TGTColors::SystemColor(COLOR_BTNSHADOW), tree.Colors().DisabledColor());
    EXPECT_EQ(TGTColors::SystemColor(COLOR_WINDOWTEXT), tree.Colors().HotColor());
    EXPECT_EQ(TGTColors::SystemColor(COLOR_BTNSHADOW), tree.Colors().HeaderHotColor());
    EXPECT_EQ(ssBoth, tree.ScrollBarOptions().ScrollBars());
    EXPECT_EQ(20, tree.ScrollBarOptions().VerticalIncrement);
    EXPECT_EQ(18u, tree.DefaultNodeHeight());
    EXPECT_EQ(18u, tree.Indent());
    EXPECT_EQ(NoColumn, tree.FocusedColumn());
}

TEST(GridTreeOptions, AssignCopiesThroughSetters) {
    TTestTree source, dest;
    source.TreeOptions().SetSelectionOptions(toMultiSelect | toFullRowSelect);
    source.TreeOptions().SetMiscOptions(toCheckSupport);
    dest.TreeOptions().SetSelectionOptions(toMultiSelect);
    dest.SetRootNodeCount(2);
    dest.SetSelected(dest.GetFirst(), true);
    dest.SetTreeOptions(source.TreeOptions());
    EXPECT_EQ(source.TreeOptions().SelectionOptions(), dest.TreeOptions().SelectionOptions());
    EXPECT_EQ(TGTMiscOptions(toCheckSupport), dest.TreeOptions().MiscOptions());
    EXPECT_EQ(1u, dest.SelectionCount());  // toMultiSelect did not change
}

TEST(GridTreeOptions, ScrollBarStyleIsRegularOnly) {
    TTestTree tree;
    EXPECT_THROW(tree.ScrollBarOptions().SetScrollBarStyle(sbmFlat), EGridTreeAssertion);
    EXPECT_EQ(sbmRegular, tree.ScrollBarOptions().ScrollBarStyle());
    TGTColors copy(&tree);
    copy.SetColor(3, 0x123456);
    tree.BeginUpdate();
    tree.Colors().Assign(copy);
    tree.EndUpdate();
    EXPECT_EQ(0x123456, tree.Colors().FocusedSelectionColor());
}

TEST(GridTreeServices, SmallRoutines) {
    RECT r = NormalizedRect(RECT{10, 20, 5, 2});
    EXPECT_EQ(5, r.left);
    EXPECT_EQ(2, r.top);
    EXPECT_EQ(10, r.right);
    EXPECT_EQ(20, r.bottom);

    TWideBufferedString buffer;
    buffer.Append(std::wstring(10000, L'x'));
    EXPECT_EQ(12288u, buffer.Capacity());
    TWideBufferedString exact;
    exact.Append(std::wstring(4095, L'y'));
    EXPECT_EQ(4096u, exact.Capacity());
    exact.Append(L"z");  // the length must be smaller than the room left
    EXPECT_EQ(8192u, exact.Capacity());
    exact.AppendLineBreak();
    EXPECT_EQ(std::wstring(4095, L'y') + L"z\r\n", exact.BufferText());

    // The buffer owns its block: copies would free it twice, moves hand it over.
    static_assert(!std::is_copy_constructible_v<TWideBufferedString> &&
                  !std::is_copy_assignable_v<TWideBufferedString>);
    TWideBufferedString moved(std::move(exact));
    EXPECT_EQ(std::wstring(4095, L'y') + L"z\r\n", moved.BufferText());
    EXPECT_EQ(0u, exact.Capacity());
    EXPECT_EQ(L"", exact.BufferText());
    exact.Append(L"again");  // the emptied source still works
    buffer = std::move(exact);
    EXPECT_EQ(L"again", buffer.BufferText());
}

TEST(GridTreeServices, EllipsizeText) {
    HDC dc = CreateCompatibleDC(nullptr);
    SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
    auto width = [&](const std::wstring& s) {
        SIZE size{};
        GetTextExtentPoint32W(dc, s.c_str(), int(s.size()), &size);
        return int(size.cx);
    };
    const int ell = width(L"...");
    const std::wstring pair = L"\xD83D\xDE00";  // one character in two code units
    const std::wstring huge(1 << 20, L'x');
    struct Case {
        const char* What;
        std::wstring Text;
        int Width;
        int EllipsisWidth;
        bool RightToLeft;
        std::wstring Expected;
    };
    const Case cases[] = {
        {"cut at the end", L"abcdef", width(L"ab") + ell, 0, false, L"ab..."},
        {"right to left: cut at the start", L"abcdef", width(L"ef") + ell, 0, true, L"...ef"},
        {"no room for the ellipsis", L"abcdef", ell - 1, 0, false, L""},
        {"empty text", L"", 100, 0, false, L""},
        {"no width", L"abc", 0, 0, false, L""},
        {"given ellipsis width", L"abcdef", width(L"abc") + 1, 1, false, L"abc..."},
        {"huge text", huge, width(L"xxx") + ell, 0, false, L"xxx..."},
        {"huge text, right to left", huge, width(L"xx") + ell, 0, true, L"...xx"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.What);
        EXPECT_EQ(c.Expected, EllipsizeText(dc, c.Text, c.Width, c.EllipsisWidth, c.RightToLeft));
    }
    // A character of two code units is kept or dropped whole at every width, also when a
    // huge text is cut first.
    std::wstring pairs;
    for (int i = 0; i < 3000; ++i) pairs += (i % 3 ? pair : L"a");
    for (int w = 1; w < 120; ++w) {
        for (bool rtl : {false, true}) {
            SCOPED_TRACE(w);
            const std::wstring r = EllipsizeText(dc, pairs, w, 0, rtl);
            if (r.empty()) continue;
            ASSERT_GE(r.size(), 3u);
            const std::wstring kept = rtl ? r.substr(3) : r.substr(0, r.size() - 3);
            if (!kept.empty()) {
                EXPECT_FALSE(kept.back() >= 0xD800 && kept.back() <= 0xDBFF);
                EXPECT_FALSE(kept.front() >= 0xDC00 && kept.front() <= 0xDFFF);
            }
            EXPECT_EQ(kept, rtl ? pairs.substr(pairs.size() - kept.size()) : pairs.substr(0, kept.size()));
        }
    }
    DeleteDC(dc);
}
