// Theme painting benchmark: each registered theme paints a docked toolbar of 30 items and a
// popup menu of 40 items 1,000 times; the baseline is the "Default" theme painting exactly the
// same bars in the same run. Aim: at most twice the baseline. A theme that makes GDI objects
// per item and paint shows up here.
//
// Both sides are checked: each painted something in the toolbar and in the popup rectangles,
// and neither left a GDI object behind.
//
// Usage: themes_bench.exe [rounds]
#include "common/bench_common.h"
#include "classlib/application.h"
#include "classlib/graphics.h"
#include "controls/toolbar/themed/thmnames.h"
#include "controls/toolbar/themed/thmregistry.h"
#include "controls/toolbar/themed/themes/thmthemetable.h"
#include "thmscene.h"

#include <windows.h>

#include <cstdlib>
#include <string>
#include <vector>

using namespace classlib;

namespace {

constexpr int kPaints = 1000;
constexpr COLORREF kGround = RGB(0x13, 0x57, 0x9B);

struct TCheck {
    bool Painted = true;
    DWORD Objects = 0;
};

// Paints both bars `kPaints` times; notes whether both rectangles show the theme's paint.
void PaintBars(themed::TThmTheme& theme, TBitmap& bitmap, TCheck& check) {
    TCanvas& canvas = bitmap.Canvas();
    for (int i = 0; i < kPaints; ++i) {
        canvas.Brush().SetColor(kGround);
        canvas.FillRect(RECT{0, 0, bitmap.Width(), bitmap.Height()});
        const RECT bar = themescene::PaintToolbar(theme, canvas, POINT{0, 0}, 30);
        const RECT popup = themescene::PaintPopupMenu(theme, canvas, POINT{0, 40}, 40);
        if (i == 0) {
            HDC dc = canvas.Handle();
            check.Painted = check.Painted && GetPixel(dc, bar.right / 2, 14) != kGround &&
                            GetPixel(dc, (popup.left + popup.right) / 2, popup.top + 1) != kGround;
        }
    }
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    const int rounds = argc > 1 ? std::max(1, _wtoi(argv[1])) : 3;
    auto* app = new TApplication();
    int rc = 0;
    {
        themed::RegisterThemeTable(themes::ToolbarThemeTable());
        std::vector<std::wstring> names;
        themed::ListToolbarThemes(names);
        themed::TThmTheme* base = themed::AcquireToolbarTheme(themed::kThemeDefault);
        TBitmap baseBitmap, oursBitmap;
        baseBitmap.SetSize(760, 40 + 40 * 20 + 8);
        oursBitmap.SetSize(760, 40 + 40 * 20 + 8);
        bench::PrintLegend();
        for (const std::wstring& name : names) {
            themed::TThmTheme* theme = themed::AcquireToolbarTheme(name);
            TCheck baseCheck, oursCheck;
            PaintBars(*base, baseBitmap, baseCheck);  // warm both: caches and glyph lists
            PaintBars(*theme, oursBitmap, oursCheck);
            const DWORD before = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
            const auto pair = bench::Alternate(
                rounds, [&] { PaintBars(*base, baseBitmap, baseCheck); }, [&] { PaintBars(*theme, oursBitmap, oursCheck); });
            const DWORD after = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
            const std::string label = "30-item toolbar + 40-item popup x1000, " + std::string(name.begin(), name.end());
            bench::Report(label, pair, 2.0, baseCheck.Painted && oursCheck.Painted && after <= before);
            themed::ReleaseToolbarTheme(theme);
        }
        themed::ReleaseToolbarTheme(base);
        rc = bench::Finish();
    }
    delete app;
    return rc;
}
