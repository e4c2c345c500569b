// The drag picture's blending rows, its move arithmetic and the prepared picture's alpha
// channel (nothing here draws on the screen).
#include <algorithm>
#include <array>
#include <memory>

#include "classlib/graphics.h"
#include "controls/gridtree/gridtree_dragimage.h"
#include "tree_test_support.h"

using namespace gridtree;

namespace {
uint32_t Pixel(int B, int G, int R, int A) { return uint32_t(B) | uint32_t(G) << 8 | uint32_t(R) << 16 | uint32_t(A) << 24; }
}  // namespace

TEST(GridTreeDragImage, BlendRows) {
    const struct {
        const char* Name;
        TAlphaBlendKind Kind;
        uint32_t Source, Destination;
        int Alpha, Bias;
        uint32_t Expected;
    } cases[] = {
        {"alpha 0 keeps the destination", abConstant, Pixel(200, 10, 99, 7), Pixel(1, 2, 3, 4), 0, 0, Pixel(1, 2, 3, 4)},
        {"alpha 255 truncates", abConstant, Pixel(200, 255, 0, 0), Pixel(100, 0, 255, 0), 255, 0,
         Pixel((100 * 256 + 100 * 255) >> 8, (255 * 255) >> 8, (255 * 256 - 255 * 255) >> 8, 0)},
        {"bias saturates up", abConstant, Pixel(230, 230, 230, 230), Pixel(230, 230, 230, 230), 128, 60,
         Pixel(255, 255, 255, 255)},
        {"bias saturates down", abConstant, Pixel(30, 30, 30, 30), Pixel(30, 30, 30, 30), 128, -50, Pixel(0, 0, 0, 0)},
        {"per pixel alpha", abPerPixel, Pixel(255, 255, 255, 128), Pixel(0, 0, 0, 0), 0, 0, Pixel(127, 127, 127, 64)},
        {"master alpha", abMaster, Pixel(255, 0, 0, 128), Pixel(0, 0, 0, 0), 128, 0, Pixel(63, 0, 0, 32)},
        {"colour", abColor, 0, Pixel(0, 0, 0, 200), 128, int(RGB(255, 0, 0)), Pixel(0, 0, 127, 100)},
    };
    for (const auto& c : cases) {
        uint32_t destination = c.Destination;
        BlendRow(&c.Source, &destination, 1, c.Kind, c.Alpha, c.Bias);
        EXPECT_EQ(c.Expected, destination) << c.Name;
    }
}

TEST(GridTreeDragImage, BlendBitsNeedsThirtyTwoBitSections) {
    classlib::TBitmap a(4, 4, classlib::pf32bit), b(4, 4, classlib::pf32bit);
    for (int y = 0; y < 4; ++y) std::fill_n(static_cast<uint32_t*>(b.ScanLine(y)), 4, 0u);
    static_cast<uint32_t*>(a.ScanLine(2))[1] = Pixel(10, 20, 30, 40);
    GdiFlush();
    // Shifted by one pixel down and right; parts outside either bitmap are left out.
    BlendBits(a.Canvas().Handle(), b.Canvas().Handle(), RECT{-2, -2, 8, 8}, POINT{-1, -1}, abConstant, 255, 0);
    EXPECT_EQ(Pixel(9, 19, 29, 39), static_cast<uint32_t*>(b.ScanLine(3))[2]);
    HDC screen = GetDC(nullptr);
    HBITMAP ddb = CreateCompatibleBitmap(screen, 4, 4);
    ReleaseDC(nullptr, screen);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, ddb);
    int w = 0, h = 0;
    EXPECT_THROW(BitmapBitsOf(dc, w, h), EGridTreeAssertion);
    SelectObject(dc, old);
    DeleteObject(ddb);
    DeleteDC(dc);
}

TEST(GridTreeDragImage, MoveStrips) {
    RECT clip, keep;
    TStrip takeA, takeB, putA, putB;
    SplitMoveStrips(50, 40, 5, 0, clip, keep, takeA, takeB, putA, putB);
    EXPECT_TRUE(EqualRect(&keep, std::addressof(static_cast<const RECT&>(RECT{0, 0, 45, 40}))));
    EXPECT_EQ((std::array<int, 4>{0, 0, 5, 40}), (std::array<int, 4>{takeA.X, takeA.Y, takeA.W, takeA.H}));
    EXPECT_EQ((std::array<int, 4>{45, 0, 5, 40}), (std::array<int, 4>{putA.X, putA.Y, putA.W, putA.H}));
    EXPECT_EQ(0, takeB.H);
    // Down and right: the corner belongs to the vertical strips only.
    SplitMoveStrips(50, 40, -5, -3, clip, keep, takeA, takeB, putA, putB);
    EXPECT_TRUE(EqualRect(&keep, std::addressof(static_cast<const RECT&>(RECT{5, 3, 50, 40}))));
    EXPECT_EQ((std::array<int, 4>{45, 0, 5, 40}), (std::array<int, 4>{takeA.X, takeA.Y, takeA.W, takeA.H}));
    EXPECT_EQ((std::array<int, 4>{0, 37, 45, 3}), (std::array<int, 4>{takeB.X, takeB.Y, takeB.W, takeB.H}));
    EXPECT_EQ((std::array<int, 4>{0, 0, 5, 40}), (std::array<int, 4>{putA.X, putA.Y, putA.W, putA.H}));
    EXPECT_EQ((std::array<int, 4>{5, 0, 45, 3}), (std::array<int, 4>{putB.X, putB.Y, putB.W, putB.H}));
}

TEST(GridTreeDragImage, PreparedPictureAndMoveLimits) {
    classlib::TBitmap picture(21, 11, classlib::pf32bit);
    classlib::TCanvas& canvas = picture.Canvas();
    canvas.Brush().SetColor(classlib::TColor(RGB(0, 0, 255)));
    canvas.FillRect(RECT{0, 0, 21, 11});
    canvas.Brush().SetColor(classlib::TColor(RGB(0, 255, 0)));
    canvas.FillRect(RECT{0, 0, 3, 11});
    GdiFlush();
    TGTDragImage image(nullptr);
    image.SetKeyColor(classlib::TColor(RGB(0, 255, 0)));
    image.BeginPicture(picture.Handle(), POINT{100, 100}, POINT{110, 105}, nullptr);
    ASSERT_TRUE(image.States() & distPrepared);
    EXPECT_FALSE(image.PictureVisible());  // prepared and hidden
    auto* prepared = const_cast<classlib::TBitmap&>(image.PreparedPicture()).ScanLine(5);
    const uint32_t* row = static_cast<const uint32_t*>(prepared);
    EXPECT_EQ(0u, row[1] >> 24);     // the key colour is transparent
    EXPECT_EQ(255u, row[10] >> 24);  // the centre is opaque
    EXPECT_GT(row[10] >> 24, row[18] >> 24);  // fading towards the edge
    EXPECT_EQ(0x0000FFu, row[10] & 0xFFFFFF);  // blue, the low byte
    // Hidden or restricted: nothing moves.
    EXPECT_FALSE(image.WouldMove(POINT{120, 105}));
    image.SetMoveRestriction(dmlHorizontal);
    EXPECT_FALSE(image.MovePicture(POINT{110, 130}, false));
    EXPECT_TRUE(image.MovePicture(POINT{115, 130}, false));
    image.FinishPicture();
    EXPECT_EQ(0, image.States() & (distPrepared | distInDrag));
}
