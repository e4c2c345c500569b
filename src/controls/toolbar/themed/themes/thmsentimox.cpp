#include "controls/toolbar/themed/themes/thmsentimox.h"

#include "controls/toolbar/themed/thmutils.h"

namespace themes {

using namespace classlib;
using namespace themed;

TThmSentimoXTheme::TThmSentimoXTheme(std::wstring name)
    : TThmReliferTheme(std::move(name), SharedThemeResource<TThmGlyphList, TThmSentimoXTheme>()) {}

std::unique_ptr<TThmTheme> CreateSentimoXTheme(const std::wstring& name) {
    return std::make_unique<TThmSentimoXTheme>(name);
}

int TThmSentimoXTheme::GetIntMetric(int index) {
    return index == tmSpareSize66 ? 1 : TThmReliferTheme::GetIntMetric(index);
}

void TThmSentimoXTheme::PaintPopupItemFrame(TCanvas& canvas, const RECT& rect, const TThmItemInfo& item) {
    if (!Highlighted(item)) return;
    HDC dc = canvas.Handle();
    PaintGlossBitmap(dc, Deflated(rect, 1, 1), BaseColor, 0xFFFFFF, true);
    PaintOctagonOutline(dc, rect, 0, 0, States.Item[4][scFrame]);
}

void TThmSentimoXTheme::PaintPopupCheckFace(TCanvas& canvas, const RECT& box, const TThmItemInfo& item) {
    HDC dc = canvas.Handle();
    const RECT face = Deflated(box, 1, 1);
    if (item.Pushed || item.HotState != hsNone) {
        PaintRectFill(dc, face, 0xFFFFFF);
        PaintOctagonOutline(dc, box, 2, 2, States.Item[4][scFrame]);
    } else {
        PaintGlossBitmap(dc, face, ToolbarFill, 0xFFFFFF, true);
        PaintOctagonOutline(dc, box, 2, 2, 0xC0C0C0);
    }
    if (item.SplitPart == spSplitArrow) PaintDropArrow(canvas, box, item);
}

void TThmSentimoXTheme::PaintToolbarCloseButton(HDC dc, const RECT& box, int row) {
    switch (row) {
    case 4: PaintHotCloseFace(dc, box, 0xFFFFFF); break;
    case 3: PaintPushedCloseFace(dc, box, 0xFFFFFF); break;
    default: {
        RECT r = box;
        PaintRectFrame(dc, r, States.Item[0][scFrame], true);
        PaintSmallCloseCross(dc, r, 0x000000);
        break;
    }
    }
}

}  // namespace themes
