#include <gtest/gtest.h>

#include "classlib/graphics.h"
#include "controls/wide/widecanvas.h"

using namespace wide;

using classlib::TBitmap;

namespace {

// Columns of the bitmap that hold at least one pixel darker than the white background.
std::pair<int, int> InkColumns(TBitmap& bmp) {
    int first = -1, last = -1;
    for (int x = 0; x < bmp.Width(); ++x)
        for (int y = 0; y < bmp.Height(); ++y)
            if ((bmp.Canvas().Pixel(x, y) & 0xFF) < 0x80) {
                if (first < 0) first = x;
                last = x;
                break;
            }
    return {first, last};
}

TBitmap& WhiteBitmap(TBitmap& bmp) {
    RECT r{0, 0, bmp.Width(), bmp.Height()};
    bmp.Canvas().Brush().SetColor(classlib::clWhite);
    bmp.Canvas().FillRect(r);
    bmp.Canvas().Font().SetColor(classlib::clBlack);
    return bmp;
}

}  // namespace

TEST(WideCanvas, TextOutDrawsMeasuresAndMovesThePen) {
    TBitmap bmp(300, 40);
    WhiteBitmap(bmp);
    const std::wstring text = L"レジストリ値";
    int width = WideCanvasTextWidth(bmp.Canvas(), text);
    EXPECT_GT(width, 0);
    EXPECT_GT(WideCanvasTextHeight(bmp.Canvas(), text), 0);
    int changing = 0, changed = 0;
    bmp.Canvas().OnChanging = [&](classlib::TCanvas&) { ++changing; };
    bmp.Canvas().OnChange = [&](classlib::TCanvas&) { ++changed; };
    WideCanvasTextOut(bmp.Canvas(), 10, 5, text);
    EXPECT_EQ(changing, 1);
    EXPECT_EQ(changed, 1);
    EXPECT_EQ(bmp.Canvas().PenPos().x, 10 + width);
    auto [first, last] = InkColumns(bmp);
    EXPECT_GE(first, 10);
    EXPECT_LE(last, 10 + width);
    EXPECT_EQ(WideCanvasTextWidth(bmp.Canvas(), L""), 0);
}

TEST(WideCanvas, RightToLeftCanvasStartsRightOfTheText) {
    TBitmap bmp(300, 40);
    WhiteBitmap(bmp);
    const std::wstring text = L"ABC";
    int width = WideCanvasTextWidth(bmp.Canvas(), text);
    bmp.Canvas().TextFlags = ETO_RTLREADING;
    WideCanvasTextOut(bmp.Canvas(), 10, 5, text);
    EXPECT_EQ(bmp.Canvas().PenPos().x, 10 + width + 1 + width);
    auto [first, last] = InkColumns(bmp);
    EXPECT_GE(first, 10 + width + 1);
}
