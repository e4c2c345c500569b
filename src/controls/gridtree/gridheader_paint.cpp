// Header painting pieces and the border hit test.
#include <algorithm>
#include <cmath>

#include "controls/gridtree/basetree.h"
#include "controls/gridtree/gridheader.h"
#include "controls/gridtree/gridtree_services.h"

namespace {

void Line(HDC DC, COLORREF Color, std::initializer_list<POINT> Points) {
    HPEN pen = CreatePen(PS_SOLID, 1, Color);
    HGDIOBJ old = SelectObject(DC, pen);
    auto it = Points.begin();
    MoveToEx(DC, it->x, it->y, nullptr);
    for (++it; it != Points.end(); ++it) LineTo(DC, it->x, it->y);
    SelectObject(DC, old);
    DeleteObject(pen);
}

// 0x00BBGGRR channel arithmetic for the bottom gradient of the normal XP cell.
COLORREF Darkened(COLORREF Fill, COLORREF End, int Times) {
    auto channel = [&](int shift) {
        int f = int((Fill >> shift) & 0xFF), e = int((End >> shift) & 0xFF);
        int step = int(std::nearbyint(double(f - e) / 3.0));
        return COLORREF(std::clamp(f - step * Times, 0, 255)) << shift;
    };
    return channel(0) | channel(8) | channel(16);
}

}  // namespace

void TGridTreeColumns::DrawXPCell(HDC DC, const RECT& R, bool Hot, bool Pressed, bool Splitter) {
    constexpr COLORREF PressedFill = 0xD8DFDE, HotFill = 0xF3F8FA, NormalFill = 0xDBEAEB, End = 0xB8C7CB;
    COLORREF fill = Pressed ? PressedFill : Hot ? HotFill : NormalFill;
    HBRUSH brush = CreateSolidBrush(fill);
    FillRect(DC, &R, brush);
    DeleteObject(brush);
    if (Splitter && !Hot && !Pressed) {
        Line(DC, 0xB2C5C7, {POINT{R.right - 2, R.top + 3}, POINT{R.right - 2, R.bottom - 5}});
        Line(DC, 0xFFFFFF, {POINT{R.right - 1, R.top + 3}, POINT{R.right - 1, R.bottom - 5}});
    }
    if (Pressed) {
        Line(DC, 0x97A5A5, {POINT{R.left, R.top}, POINT{R.left, R.bottom - 1}, POINT{R.right - 1, R.bottom - 1},
                            POINT{R.right - 1, R.top - 1}});
        Line(DC, 0xB8C2C1, {POINT{R.left + 1, R.bottom - 2}, POINT{R.left + 1, R.top}, POINT{R.right - 1, R.top}});
        Line(DC, 0xC9D1D0,
             {POINT{R.left + 2, R.bottom - 2}, POINT{R.left + 2, R.top + 1}, POINT{R.right - 1, R.top + 1}});
    } else if (!Hot) {
        Line(DC, Darkened(fill, End, 1), {POINT{R.left, R.bottom - 3}, POINT{R.right, R.bottom - 3}});
        Line(DC, Darkened(fill, End, 2), {POINT{R.left, R.bottom - 2}, POINT{R.right, R.bottom - 2}});
        Line(DC, End, {POINT{R.left, R.bottom - 1}, POINT{R.right, R.bottom - 1}});
    }
    // The hot strip along the bottom comes from the shared utility pictures, which join
    // with the tree's painting resources.
}

void TGridTreeColumns::PaintCellText(HDC DC, const std::wstring& Text, RECT R, bool Hot, bool Enabled,
                                     UINT Format) const {
    std::wstring text = Text;
    SIZE size{};
    GetTextExtentPoint32W(DC, text.c_str(), int(text.size()), &size);
    if (size.cx > R.right - R.left) {
        SIZE dots{};
        GetTextExtentPoint32W(DC, L"...", 3, &dots);
        text = EllipsizeText(DC, text, R.right - R.left, dots.cx, (Format & DT_RTLREADING) != 0);
    }
    int oldMode = SetBkMode(DC, TRANSPARENT);
    COLORREF oldColor = GetTextColor(DC);
    if (Enabled) {
        TBaseGridTree* tree = FHeader->Treeview();
        classlib::TColor color = Hot ? tree->Colors().HeaderHotColor() : FHeader->Font().Color();
        SetTextColor(DC, classlib::ColorToRGB(color));
        DrawTextW(DC, text.c_str(), int(text.size()), &R, Format);
    } else {
        RECT shifted = R;
        OffsetRect(&shifted, 1, 1);
        SetTextColor(DC, classlib::ColorToRGB(classlib::clBtnHighlight));
        DrawTextW(DC, text.c_str(), int(text.size()), &shifted, Format);
        SetTextColor(DC, classlib::ColorToRGB(classlib::clBtnShadow));
        DrawTextW(DC, text.c_str(), int(text.size()), &R, Format);
    }
    SetTextColor(DC, oldColor);
    SetBkMode(DC, oldMode);
}

bool TGTHeader::FindResizeColumn(POINT P) {
    FColumns->SizingColumn = NoColumn;
    if (FColumns->Count() == 0) return false;
    int split = FOwner->OffsetX() + FColumns->ColumnsWidth();
    const TIndexArray& map = FColumns->PositionMap();
    for (auto it = map.rbegin(); it != map.rend(); ++it) {
        TGridTreeColumn* column = FColumns->GetItem(*it);
        if (!column || !(column->Options() & coVisible)) continue;
        if (P.x > split - 3 && P.x < split + 5) {
            if (!(column->Options() & coResizable)) return false;
            FColumns->SizingColumn = *it;
            FResizeLeftEdge = split - column->Width();
            return true;
        }
        split -= column->Width();
    }
    return false;
}
