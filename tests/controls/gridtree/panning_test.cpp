// Wheel panning: the picture window for each scroll situation, its shape, the states and
// the capture, scrolling by the distance from the click point, and the end of panning.
#include <memory>
#include <vector>

#include "classlib/form.h"
#include "tree_test_support.h"

using namespace gridtree;

namespace {

class TPanTree : public TBaseGridTree {
public:
    using TBaseGridTree::MouseMove;
    int TextWidth = 0;

protected:
    int DoGetNodeWidth(PGridNode, TColumnIndex) override { return TextWidth; }
};

struct TFormWithPanTree {
    std::unique_ptr<classlib::TForm> Form = std::make_unique<classlib::TForm>(nullptr);
    TPanTree* Tree = new TPanTree();
    TFormWithPanTree(uint32_t Rows, int TextWidth) {
        Form->SetBounds(10, 10, 400, 300);
        Tree->SetParent(Form.get());
        Tree->SetBounds(0, 0, 200, 120);
        Tree->HandleNeeded();
        Tree->TextWidth = TextWidth;
        Tree->SetRootNodeCount(Rows);
        Tree->UpdateScrollBars(false);
    }
};

std::vector<DWORD> Pixels(HBITMAP Bitmap) {
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
    bi.bmiHeader.biWidth = 32;
    bi.bmiHeader.biHeight = -32;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    std::vector<DWORD> pixels(32 * 32);
    HDC dc = GetDC(nullptr);
    GetDIBits(dc, Bitmap, 0, 32, pixels.data(), &bi, DIB_RGB_COLORS);
    ReleaseDC(nullptr, dc);
    return pixels;
}

std::vector<DWORD> ResourcePixels(const wchar_t* Name) {
    auto bitmap = static_cast<HBITMAP>(LoadImageW(GetModuleHandleW(nullptr), Name, IMAGE_BITMAP, 0, 0,
                                                  LR_CREATEDIBSECTION));
    EXPECT_TRUE(bitmap) << "resource missing";
    if (!bitmap) return {};
    std::vector<DWORD> pixels = Pixels(bitmap);
    DeleteObject(bitmap);
    return pixels;
}

// A bitmap from a table of rows: '#' a picture pixel, '.' magenta.
HBITMAP BitmapFromTable(const std::vector<const char*>& Rows) {
    int width = int(strlen(Rows[0])), height = int(Rows.size());
    std::vector<DWORD> pixels;
    for (const char* row : Rows)
        for (int x = 0; x < width; ++x) pixels.push_back(row[x] == '#' ? 0x00336699 : 0x00FF00FF);
    return CreateBitmap(width, height, 1, 32, pixels.data());
}

}  // namespace

TEST(GridTreePanning, PictureWindowForEachScrollSituation) {
    struct Case {
        const char* name;
        uint32_t rows;
        int textWidth;
        const wchar_t* picture;
    };
    const Case cases[] = {
        {"both directions", 100, 500, L"GT_MOVEALL"},
        {"only sideways", 3, 500, L"GT_MOVEEW"},
        {"only up and down", 100, 0, L"GT_MOVENS"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TFormWithPanTree f(c.rows, c.textWidth);
        TPanTree& tree = *f.Tree;
        HWND wnd = tree.Handle();
        tree.StartWheelPanning({100, 50});
        EXPECT_TRUE(tree.TreeStates() & tsWheelPanning);
        EXPECT_TRUE(tree.TreeStates() & tsWheelScrolling);
        EXPECT_EQ(wnd, GetCapture());

        HWND pan = tree.PanningWindow();
        ASSERT_TRUE(IsWindow(pan));
        wchar_t name[64] = {};
        GetClassNameW(pan, name, 64);
        EXPECT_STREQ(L"GTPanningWindow", name);
        // Owned through the tree: a popup's owner is the top-level window the tree sits in.
        EXPECT_EQ(GetAncestor(wnd, GA_ROOT), GetWindow(pan, GW_OWNER));
        EXPECT_TRUE(GetWindowLongPtrW(pan, GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
        EXPECT_TRUE(IsWindowVisible(pan));
        RECT r{};
        GetWindowRect(pan, &r);
        POINT centre{100, 50};
        ClientToScreen(wnd, &centre);
        EXPECT_EQ(centre.x - 16, r.left);
        EXPECT_EQ(centre.y - 16, r.top);
        EXPECT_EQ(32, r.right - r.left);
        EXPECT_EQ(32, r.bottom - r.top);
        auto shown = reinterpret_cast<HBITMAP>(GetWindowLongPtrW(pan, GWLP_USERDATA));
        ASSERT_TRUE(shown);
        EXPECT_EQ(ResourcePixels(c.picture), Pixels(shown));
        // Shaped: the magenta corner is cut away, the centre stays.
        HRGN shape = CreateRectRgn(0, 0, 0, 0);
        EXPECT_NE(ERROR, GetWindowRgn(pan, shape));
        EXPECT_FALSE(PtInRegion(shape, 0, 0));
        EXPECT_TRUE(PtInRegion(shape, 16, 16));
        DeleteObject(shape);

        tree.StopWheelPanning();
        EXPECT_FALSE(IsWindow(pan));
        EXPECT_EQ(nullptr, tree.PanningWindow());
        EXPECT_FALSE(tree.TreeStates() & (tsWheelPanning | tsWheelScrolling));
        EXPECT_NE(wnd, GetCapture());
    }
}

TEST(GridTreePanning, ScrollsByTheDistanceFromTheClickPoint) {
    TFormWithPanTree f(100, 500);
    TPanTree& tree = *f.Tree;
    tree.PanningScroll({100, 90});  // not panning: nothing
    EXPECT_EQ(0, tree.OffsetY());

    tree.StartWheelPanning({100, 50});
    tree.PanningScroll({104, 55});  // within 8 pixels: nothing
    EXPECT_EQ(0, tree.OffsetX());
    EXPECT_EQ(0, tree.OffsetY());
    tree.PanningScroll({100, 80});  // 30 below: 22 pixels down
    EXPECT_EQ(-22, tree.OffsetY());
    tree.PanningScroll({130, 50});  // 30 to the right
    EXPECT_EQ(-22, tree.OffsetX());
    tree.PanningScroll({100, 20});  // 30 above: back up
    EXPECT_EQ(0, tree.OffsetY());

    // Moving the mouse beyond the drag threshold while the button is down means panning.
    tree.MouseMove(0, 100, 51);
    EXPECT_TRUE(tree.TreeStates() & tsWheelScrolling);
    tree.MouseMove(0, 100, 90);
    EXPECT_FALSE(tree.TreeStates() & tsWheelScrolling);
    EXPECT_TRUE(tree.TreeStates() & tsWheelPanning);

    // Losing the window ends panning and takes the picture window along.
    HWND pan = tree.PanningWindow();
    tree.DestroyHandle();
    EXPECT_FALSE(IsWindow(pan));
    EXPECT_FALSE(tree.TreeStates() & (tsWheelPanning | tsWheelScrolling));
}

TEST(GridTreePanning, RegionFromMaskTable) {
    const std::vector<const char*> table = {
        "..##..#",
        "#######",
        ".......",
        "#.#.#.#",
    };
    HBITMAP bitmap = BitmapFromTable(table);
    ASSERT_TRUE(bitmap);
    HRGN region = TBaseGridTree::RegionFromMaskBitmap(bitmap);
    ASSERT_TRUE(region);
    for (int y = 0; y < int(table.size()); ++y)
        for (int x = 0; table[size_t(y)][x]; ++x)
            EXPECT_EQ(table[size_t(y)][x] == '#', PtInRegion(region, x, y) != FALSE) << x << "," << y;
    RECT box{};
    GetRgnBox(region, &box);
    EXPECT_EQ((RECT{0, 0, 7, 4}).bottom, box.bottom);
    DeleteObject(region);
    DeleteObject(bitmap);

    HBITMAP empty = BitmapFromTable({"....", "...."});
    EXPECT_THROW(TBaseGridTree::RegionFromMaskBitmap(empty), EGridTreeAssertion);
    DeleteObject(empty);
    EXPECT_THROW(TBaseGridTree::RegionFromMaskBitmap(nullptr), EGridTreeAssertion);
}
