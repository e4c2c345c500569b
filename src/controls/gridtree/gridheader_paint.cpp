// Header painting, the border hit test and the header's mouse handling.
#include <algorithm>
#include <cmath>

#include <windows.h>
#include <uxtheme.h>
#include <vsstyle.h>

#include "classlib/application.h"
#include "classlib/gdiguards.h"
#include "classlib/scopeguard.h"
#include "classlib/screen.h"
#include "controls/gridtree/basetree.h"
#include "controls/gridtree/gridheader.h"
#include "controls/gridtree/gridtree_services.h"

namespace gridtree {

namespace {

void Line(HDC DC, COLORREF Color, std::initializer_list<POINT> Points) {
    classlib::TGdiObject<HPEN> pen(CreatePen(PS_SOLID, 1, Color));
    classlib::TSelectedObject selected(DC, pen.Handle());
    auto it = Points.begin();
    MoveToEx(DC, it->x, it->y, nullptr);
    for (++it; it != Points.end(); ++it) LineTo(DC, it->x, it->y);
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

// Draws image `Index` of the shared utility pictures (nothing without them).
void DrawUtility(HDC DC, int Index, int X, int Y, int Width = 0) {
    TTreePictures* pictures = TreePictures();
    if (!pictures || Index >= pictures->Utilities().Count()) return;
    ImageList_DrawEx(pictures->Utilities().Handle(), Index, DC, X, Y, Width, 0, CLR_NONE, CLR_NONE,
                     ILD_TRANSPARENT);
}

// The size of the utility pictures (16 x 16 without them).
SIZE UtilitySize() {
    TTreePictures* pictures = TreePictures();
    if (!pictures) return SIZE{16, 16};
    return SIZE{pictures->Utilities().Width(), pictures->Utilities().Height()};
}

}  // namespace

void TGridTreeColumns::DrawXPCell(HDC DC, const RECT& R, bool Hot, bool Pressed, bool Splitter) {
    constexpr COLORREF PressedFill = 0xD8DFDE, HotFill = 0xF3F8FA, NormalFill = 0xDBEAEB, End = 0xB8C7CB;
    COLORREF fill = Pressed ? PressedFill : Hot ? HotFill : NormalFill;
    FillRect(DC, &R, classlib::TGdiObject<HBRUSH>(CreateSolidBrush(fill)).Handle());
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
    } else if (Hot) {
        // The hot strip along the bottom: left end, middle pieces, right end; each picture
        // holds its piece in its bottom three rows.
        const int top = R.bottom - UtilitySize().cy;
        const int width = R.right - R.left;
        if (width > 32) {
            DrawUtility(DC, 6, R.left, top);
            for (int x = R.left + 16; x < R.right - 16; x += 16) DrawUtility(DC, 7, x, top);
            DrawUtility(DC, 8, R.right - 16, top);
        } else {
            DrawUtility(DC, 8, R.right - 16, top);
            DrawUtility(DC, 6, R.left, top, std::max(1, width / 2));
        }
    } else {
        Line(DC, Darkened(fill, End, 1), {POINT{R.left, R.bottom - 3}, POINT{R.right, R.bottom - 3}});
        Line(DC, Darkened(fill, End, 2), {POINT{R.left, R.bottom - 2}, POINT{R.right, R.bottom - 2}});
        Line(DC, End, {POINT{R.left, R.bottom - 1}, POINT{R.right, R.bottom - 1}});
    }
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

void TGridTreeColumn::LayoutCellParts(HDC DC, const RECT& CellRect, bool ShowImage, bool ShowSortMark,
                                      POINT& ImagePos, POINT& SortMarkPos, RECT& TextRect) const {
    const int w = CellRect.right - CellRect.left, h = CellRect.bottom - CellRect.top;
    const bool hasText = !FText.empty();
    classlib::TImageList* images = FOwner->FHeader->Images();
    if (!images) ShowImage = false;
    if (!hasText && !ShowImage && !ShowSortMark) return;
    struct TExtent {
        int cx = 0, cy = 0;
    };
    TExtent i, s, t;
    if (ShowImage) i = TExtent{images->Width(), images->Height()};
    if (ShowSortMark) s = TExtent{int(UtilitySize().cx), int(UtilitySize().cy)};
    if (hasText) {
        SIZE extent{};
        GetTextExtentPoint32W(DC, FText.c_str(), int(FText.size()), &extent);
        t = TExtent{int(extent.cx) + 2, int(extent.cy)};
    }
    const int gap = hasText ? FSpacing : 0;
    // An image that is not shown takes no room, not even its spacing.
    const int imageStep = ShowImage ? i.cx + FSpacing : 0;
    const bool rtl = UsesRightToLeft();
    TAlignment align = FAlignment;
    if (rtl && align != taCenter) align = align == taLeftJustify ? taRightJustify : taLeftJustify;
    const bool side = FLayout == blGlyphLeft || FLayout == blGlyphRight || !ShowImage;

    struct TPlace {
        int x = 0, y = 0;
    };
    TPlace image, sort{0, (h - s.cy) / 2}, text;
    if (!hasText && !ShowImage) {
        sort.x = (w - s.cx) / 2;
    } else {
        if (side) {
            image.y = (h - i.cy) / 2;
            text.y = (h - t.cy) / 2;
        } else if (FLayout == blGlyphTop) {
            image.y = (h - i.cy - t.cy - gap) / 2;
            text.y = image.y + i.cy + gap;
        } else {
            text.y = (h - i.cy - t.cy - gap) / 2;
            image.y = text.y + t.cy + gap;
        }
        int x;
        switch (align) {
            case taLeftJustify:
                x = FMargin;
                if (rtl && ShowSortMark) {
                    sort.x = x;
                    x += s.cx + FSpacing;
                }
                if (side) {
                    if (FLayout == blGlyphLeft && ShowImage) {
                        image.x = x;
                        x += imageStep;
                    }
                    text.x = x;
                    x += t.cx + gap;
                    if (FLayout == blGlyphRight && ShowImage) {
                        image.x = x;
                        x += imageStep;
                    }
                } else {
                    text.x = x;
                    image.x = std::max((w - i.cx) / 2, x);
                    x = std::max(image.x + i.cx + FSpacing, text.x + t.cx + gap);
                }
                if (!rtl && ShowSortMark) sort.x = x;
                break;
            case taCenter: {
                int left, right;
                if (side) {
                    x = (w - (ShowImage ? i.cx + gap : 0) - t.cx) / 2;
                    if (FLayout == blGlyphLeft && ShowImage) {
                        image.x = x;
                        x += i.cx + gap;
                    }
                    text.x = x;
                    if (FLayout == blGlyphRight && ShowImage) image.x = x + t.cx + gap;
                } else {
                    image.x = (w - i.cx) / 2;
                    text.x = (w - t.cx) / 2 - (ShowSortMark ? s.cx / 2 : 0);
                }
                if (ShowImage) {
                    left = std::min(image.x, text.x);
                    right = std::max(text.x + t.cx, image.x + i.cx);
                } else {
                    left = text.x;
                    right = text.x + t.cx;
                }
                if (ShowSortMark) sort.x = rtl ? left - FSpacing - s.cx : right + FSpacing;
                break;
            }
            default:
                x = w - FMargin;
                if (!rtl && ShowSortMark) {
                    sort.x = x - s.cx;
                    x -= s.cx + FSpacing;
                }
                if (side) {
                    if (FLayout == blGlyphRight && ShowImage) {
                        image.x = x - i.cx;
                        x -= imageStep;
                    }
                    text.x = x - t.cx;
                    x = text.x - gap;
                    if (FLayout == blGlyphLeft && ShowImage) {
                        image.x = x - i.cx;
                        x -= imageStep;
                    }
                } else {
                    text.x = x - t.cx;
                    image.x = (w - i.cx) / 2;
                    if (image.x + i.cx > x - FSpacing) image.x = x - i.cx - FSpacing;
                    x = std::min(image.x - FSpacing, text.x - gap);
                }
                if (rtl && ShowSortMark) sort.x = x - s.cx;
                break;
        }
        // Everything within the margins; the text gives way to sort mark and image.
        int left = FMargin, right = w - FMargin;
        if (ShowSortMark) {
            if (!rtl) {
                if (sort.x + s.cx > right) sort.x = right - s.cx;
                right = sort.x - FSpacing;
            }
            if (sort.x < left) sort.x = left;
            if (rtl) left = sort.x + s.cx + FSpacing;
        }
        if (ShowImage) {
            if (image.x + i.cx > right) image.x = right - i.cx;
            if (FLayout == blGlyphRight) right = image.x - FSpacing;
            if (image.x < left) image.x = left;
            if (FLayout == blGlyphLeft) left = image.x + i.cx + FSpacing;
        }
        text.x = std::max(text.x, left);
        TextRect = RECT{CellRect.left + text.x, CellRect.top + text.y, CellRect.left + text.x + t.cx,
                        CellRect.top + text.y + t.cy};
        TextRect.right = std::min<LONG>(TextRect.right, CellRect.left + right);
    }
    ImagePos = POINT{CellRect.left + image.x, CellRect.top + image.y};
    SortMarkPos = POINT{CellRect.left + sort.x, CellRect.top + sort.y};
}

void TGridTreeColumns::PaintColumnHeaders(HDC DC, const RECT& R, int ScrollOffset) {
    TBaseGridTree* tree = FHeader->Treeview();
    const RECT headerRect = tree->HeaderRect();
    const int width = std::max<int>(R.right, headerRect.right);
    const int height = std::max<int>(headerRect.bottom, R.bottom);
    if (width <= 0 || height <= 0 || R.right <= R.left || R.bottom <= R.top) return;
    // One reused buffer for the whole area, copied to the target in one go.
    if (FPaintBuffer.Width() < width || FPaintBuffer.Height() < height)
        FPaintBuffer.SetSize(std::max(width, FPaintBuffer.Width()), std::max(height, FPaintBuffer.Height()));
    classlib::TCanvas& canvas = FPaintBuffer.Canvas();
    canvas.Font().Assign(FHeader->Font());
    HDC buffer = canvas.Handle();
    canvas.PrepareText();
    const TGTHeaderOptions options = FHeader->Options();
    const bool themed = (tree->TreeStates() & tsUseThemes) != 0;
    const bool ownerDrawing = (options & hoOwnerDraw) != 0;
    const bool advanced = ownerDrawing && tree->OnAdvancedHeaderDraw && tree->OnHeaderDrawQueryElements;
    const bool simple = ownerDrawing && tree->OnHeaderDraw && !advanced;
    HTHEME theme = themed ? OpenThemeData(tree->HandleAllocated() ? tree->Handle() : nullptr, L"HEADER") : nullptr;
    struct TThemeClose {
        HTHEME Theme;
        ~TThemeClose() {
            if (Theme) CloseThemeData(Theme);
        }
    } closeTheme{theme};

    struct TEdge {
        UINT Edge, Flags;
    };
    TEdge normal{}, pressed{}, hot{};
    switch (FHeader->Style()) {
        case hsThickButtons: normal = {5, 0x380B}; pressed = {5, 0x780F}; hot = normal; break;
        case hsFlatButtons: normal = {4, 0x280B}; pressed = {2, 0x280F}; hot = normal; break;
        default: normal = {4, 0x380F}; pressed = {2, 0x280F}; hot = {4, 0x280B}; break;
    }

    // Background.
    THeaderPaintInfo background;
    background.Canvas = &canvas;
    background.CellRect = R;
    THeaderPaintElements backgroundElements = 0;
    if (advanced) tree->DoHeaderDrawQueryElements(background, backgroundElements);
    if (backgroundElements & hpeBackground) {
        tree->DoAdvancedHeaderDraw(background, hpeBackground);
    } else if (theme) {
        RECT r = R;
        DrawThemeBackground(theme, buffer, HP_HEADERITEMRIGHT, HIS_NORMAL, &r, nullptr);
    } else if (FHeader->Style() == hsXPStyle) {
        DrawXPCell(buffer, headerRect, false, false, false);
    } else {
        classlib::TGdiObject<HBRUSH> brush(CreateSolidBrush(classlib::ColorToRGB(FHeader->Background())));
        FillRect(buffer, &R, brush.Handle());
    }

    classlib::TImageList* images = FHeader->Images();
    const SIZE utility = UtilitySize();
    int left = R.left;
    bool shifted = false;
    int clipLeft = R.left;
    for (size_t p = 0; p < FPositionToIndex.size(); ++p) {
        TColumnIndex index = FPositionToIndex[p];
        TGridTreeColumn* column = GetItem(index);
        if (!column || !(column->Options() & coVisible)) continue;
        if (!shifted && !(column->Options() & coFixed)) {
            left += ScrollOffset;
            shifted = true;
        }
        RECT cell{left, R.top, left + column->Width(), R.bottom};
        left = cell.right;
        if (cell.left > R.right) break;
        RECT clip{std::max<LONG>(cell.left, clipLeft), R.top, std::min<LONG>(cell.right, R.right), R.bottom};
        clipLeft = clip.right;
        if (clip.right <= clip.left) continue;
        // Each button clips its painting. No SaveDC/RestoreDC: restoring would take back
        // objects the canvas selected meanwhile while the canvas believed them selected.
        auto unclip = classlib::ScopeExit([&] { SelectClipRgn(buffer, nullptr); });
        IntersectClipRect(buffer, clip.left, clip.top, clip.right, clip.bottom);

        THeaderPaintInfo info;
        info.Canvas = &canvas;
        info.Column = column;
        info.CellRect = cell;
        info.Enabled = (column->Options() & coEnabled) && tree->Enabled();
        info.Hot = index == HotColumn && (options & hoHotTrack) && (column->Options() & coEnabled);
        info.Pressed = index == PressedColumn;
        if ((column->Options() & coShowDropMark) && index == DropColumn && index != DraggedColumn)
            info.DropMark = DropOnLeft ? dmmLeft : dmmRight;
        info.ShowImage = (options & hoShowImages) && images && column->ImageIndex() >= 0;
        info.ShowSortMark = index == FHeader->SortColumn() && (options & hoShowSortGlyphs);
        info.RightBorder = !(int(p) == Count() - 1 && (options & hoAutoResize) && FHeader->Style() != hsThickButtons &&
                             tree->BevelKind() != bkNone);
        THeaderPaintElements elements = 0;
        if (advanced) tree->DoHeaderDrawQueryElements(info, elements);
        const bool ownerDrawn = simple && column->Style() == vsOwnerDraw;

        if (!ownerDrawn) {
            RECT face = cell;  // DrawEdge may shrink it (BF_ADJUST)
            if (elements & hpeBackground) {
                tree->DoAdvancedHeaderDraw(info, hpeBackground);
            } else if (theme) {
                int state = info.Pressed ? HIS_PRESSED : info.Hot ? HIS_HOT : HIS_NORMAL;
                DrawThemeBackground(theme, buffer, HP_HEADERITEM, state, &face, nullptr);
            } else if (FHeader->Style() == hsXPStyle) {
                DrawXPCell(buffer, face, info.Hot, info.Pressed, info.RightBorder);
            } else {
                const UINT border = info.RightBorder ? BF_RIGHT : 0;
                if (info.Pressed)
                    DrawEdge(buffer, &face, pressed.Edge, pressed.Flags);
                else if (FHeader->Style() == hsPlates && info.Hot && (column->Options() & coAllowClick) && info.Enabled)
                    DrawEdge(buffer, &face, hot.Edge, (hot.Flags & ~BF_RIGHT) | border);
                else
                    DrawEdge(buffer, &face, normal.Edge, (normal.Flags & ~BF_RIGHT) | border);
            }
        }

        if (ownerDrawn) {
            tree->DoHeaderDraw(canvas, column, cell, info.Hot, info.Pressed, info.DropMark);
            continue;
        }
        RECT inner = cell;
        InflateRect(&inner, -2, -2);
        POINT imagePos{}, sortPos{};
        RECT textRect{};
        column->LayoutCellParts(buffer, inner, info.ShowImage, info.ShowSortMark, imagePos, sortPos, textRect);
        if (info.Pressed) {
            OffsetRect(&textRect, 1, 1);
            ++imagePos.x, ++imagePos.y, ++sortPos.x, ++sortPos.y;
        }
        info.TextRect = textRect;
        info.ImagePos = imagePos;
        info.SortMarkPos = sortPos;
        const bool sortOverImage = info.ShowSortMark && !column->UsesRightToLeft() && info.ShowImage &&
                                   sortPos.x < imagePos.x + images->Width();
        if (info.ShowImage && !(elements & hpeHeaderGlyph) && !sortOverImage)
            images->Draw(canvas, imagePos.x, imagePos.y, column->ImageIndex(), info.Enabled);
        if (!column->Text().empty() && !(elements & hpeText)) {
            UINT format = DT_NOPREFIX | (column->UsesRightToLeft() ? DT_RTLREADING : 0);
            PaintCellText(buffer, column->Text(), textRect, info.Hot && (options & hoHotTrack) && !themed, info.Enabled,
                          format);
        }
        if (info.ShowSortMark && !(elements & hpeSortGlyph)) {
            const bool ascending = FHeader->SortDirection() == sdAscending;
            DrawUtility(buffer, ascending ? (themed ? 5 : 3) : (themed ? 4 : 2), sortPos.x, sortPos.y);
        }
        if (info.DropMark != dmmNone && !(elements & hpeDropMark)) {
            const int y = (cell.top + cell.bottom - utility.cy) / 2;
            if (info.DropMark == dmmLeft) DrawUtility(buffer, 0, cell.left, y);
            else DrawUtility(buffer, 1, cell.right - 16, y);
        }
        if (elements) {
            tree->DoAdvancedHeaderDraw(info, elements);
            // The owner may have changed the canvas: the next buttons start as this one did.
            canvas.Font().Assign(FHeader->Font());
            canvas.PrepareText();
        }
    }

    BitBlt(DC, R.left, R.top, R.right - R.left, R.bottom - R.top, buffer, R.left, R.top, SRCCOPY);
}

// --- mouse ----------------------------------------------------------------------------

namespace {
// Signed coordinates packed in an LPARAM (screen points may be negative).
int GET_X_LPARAM(LPARAM L) { return int(short(LOWORD(L))); }
int GET_Y_LPARAM(LPARAM L) { return int(short(HIWORD(L))); }

classlib::TShiftState KeyShift() {
    classlib::TShiftState shift = 0;
    if (GetKeyState(VK_SHIFT) < 0) shift |= classlib::ssShift;
    if (GetKeyState(VK_MENU) < 0) shift |= classlib::ssAlt;
    if (GetKeyState(VK_CONTROL) < 0) shift |= classlib::ssCtrl;
    return shift;
}
}  // namespace

bool TGTHeader::DetermineHotColumn(POINT HeaderPoint) {
    TColumnIndex column = FColumns->ColumnAtPoint(HeaderPoint, true);
    if (column == FColumns->HotColumn) return false;
    InvalidateColumn(FColumns->GetItem(FColumns->HotColumn));
    FColumns->HotColumn = column;
    InvalidateColumn(FColumns->GetItem(column));
    return true;
}

void TGTHeader::HandleClick(POINT HeaderPoint, classlib::TMouseButton Button, bool Double, bool Force) {
    TColumnIndex column = FColumns->ColumnAtPoint(HeaderPoint, true);
    TGridTreeColumn* item = FColumns->GetItem(column);
    if (item && (item->Options() & coAllowClick) && (Force || column == FColumns->PressedColumn)) {
        FColumns->ClickedColumn = column;
        classlib::TShiftState shift = KeyShift();
        if (Double) shift |= classlib::ssDouble;
        FOwner->DoHeaderClick(column, Button, shift, HeaderPoint.x, HeaderPoint.y);
        InvalidateColumn(item);
    } else {
        FColumns->ClickedColumn = NoColumn;
    }
}

void TGTHeader::EndTracking() {
    if (FStates & (hstDragging | hstDragPending | hstResizing | hstResizePending)) ReleaseCapture();
    FStates &= ~(hstDragging | hstDragPending | hstResizing | hstResizePending);
    FColumns->DropColumn = NoColumn;
}

bool TGTHeader::HandleHeaderMessage(classlib::TMessage& Message) {
    const THeaderStates tracking = hstDragging | hstDragPending | hstResizing | hstResizePending;
    // Messages arrive also while the window is being made: never ask for a new handle here.
    if (!FOwner->HandleAllocated()) return false;
    HWND wnd = FOwner->Handle();
    auto clientFromScreen = [&](LPARAM LParam) {
        POINT p{GET_X_LPARAM(LParam), GET_Y_LPARAM(LParam)};
        ::ScreenToClient(wnd, &p);
        return p;
    };
    switch (Message.Msg) {
        case WM_SIZE:
            if ((FOptions & hoAutoResize) && !(FOwner->TreeStates() & tsWindowCreating)) {
                FColumns->AutoSizeColumn(InvalidColumn, false);
                Invalidate();
            }
            return false;
        case WM_KEYDOWN:
            if (Message.WParam != VK_ESCAPE) return false;
            [[fallthrough]];
        case WM_KILLFOCUS:
            if (!(FStates & tracking)) return false;
            // A cancelled resize keeps the width reached so far.
            EndTracking();
            Invalidate();
            return true;
        case WM_SETCURSOR: {
            if (FStates & tracking) {
                Message.Result = 1;
                return true;
            }
            if (!(FOptions & hoColumnResize)) return false;
            POINT p{};
            GetCursorPos(&p);
            ::ScreenToClient(wnd, &p);
            if (!PointInHeader(p)) return false;
            // The tree's cursor, the split cursor over a border; the tree may change it.
            TreePictures();  // registers the split cursor with the screen
            auto cursorOf = [](classlib::TCursor Cursor) {
                if (classlib::Screen) return classlib::Screen->Cursors(Cursor);
                return LoadCursorW(nullptr, Cursor == crHeaderSplit ? IDC_SIZEWE : IDC_ARROW);
            };
            HCURSOR cursor = cursorOf(FOwner->Cursor());
            if (FindResizeColumn(p)) cursor = cursorOf(crHeaderSplit);
            FOwner->DoGetHeaderCursor(cursor);
            if (cursor == cursorOf(classlib::crDefault)) return false;
            SetCursor(cursor);
            Message.Result = 1;
            return true;
        }
        case classlib::CM_PARENTFONTCHANGED:
            ParentFontChanged();
            return false;
        case WM_NCMOUSEMOVE: {
            POINT p = clientFromScreen(Message.LParam);
            if (!PointInHeader(p)) return false;
            POINT h = ToHeader(p);
            FOwner->DoHeaderMouseMove(KeyShift(), h.x, h.y);
            bool changed = (FOptions & hoHotTrack) && DetermineHotColumn(h);
            // The header timer notices when the mouse has left the header.
            if (changed || (FColumns->PressedColumn >= 0 && FColumns->PressedColumn != FColumns->HotColumn))
                FOwner->StartTimer(HeaderTimer, 50);
            return false;
        }
        case WM_TIMER: {
            if (Message.WParam != HeaderTimer) return false;
            POINT p{};
            GetCursorPos(&p);
            ::ScreenToClient(wnd, &p);
            if (PointInHeader(p) &&
                !(FColumns->PressedColumn >= 0 && FColumns->PressedColumn != FColumns->HotColumn))
                return true;
            FOwner->StopTimer(HeaderTimer);
            FColumns->HotColumn = NoColumn;
            FColumns->ClickedColumn = NoColumn;
            FColumns->PressedColumn = NoColumn;
            Invalidate();
            Message.Result = 0;
            return true;
        }
        case WM_NCLBUTTONDOWN: {
            POINT screen{GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam)};
            POINT p = clientFromScreen(Message.LParam);
            // A press anywhere on the frame ends auto-scrolling and a pending edit.
            if (classlib::Application) classlib::Application->CancelHint();
            FOwner->StopTimer(ScrollTimer);
            FOwner->DoStateChange(0, tsScrollPending | tsScrolling);
            FOwner->StopTimer(EditTimer);
            FOwner->DoStateChange(0, tsEditPending);
            FDragStartPoint = screen;
            if (!PointInHeader(p)) return false;
            POINT h = ToHeader(p);
            FOwner->DoHeaderMouseDown(classlib::mbLeft, KeyShift(), h.x, h.y);
            if ((FOptions & hoColumnResize) && FindResizeColumn(p)) {
                FColumns->HotColumn = NoColumn;
                FResizeStartPoint = p;
                FStates |= hstResizePending;
            } else {
                TColumnIndex column = FColumns->ColumnAtPoint(h, true);
                TGridTreeColumn* item = FColumns->GetItem(column);
                if (item && (item->Options() & (coAllowClick | coEnabled)) == (coAllowClick | coEnabled)) {
                    InvalidateColumn(FColumns->GetItem(FColumns->PressedColumn));
                    FColumns->PressedColumn = column;
                    InvalidateColumn(item);
                    if ((FOptions & hoDrag) && (item->Options() & coDraggable)) FStates |= hstDragPending;
                }
            }
            if (!(FStates & tracking)) return false;
            SetCapture(wnd);
            Message.Result = 0;
            return true;
        }
        case WM_MOUSEMOVE: {
            if (!(FStates & tracking)) return false;
            POINT p{GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam)};
            if (FStates & hstResizePending) {
                FStates = THeaderStates((FStates & ~hstResizePending) | hstResizing);
                FOwner->StopTimer(HeaderTimer);
            }
            if (FStates & hstResizing) {
                if (TGridTreeColumn* column = FColumns->GetItem(FColumns->SizingColumn))
                    column->SetWidth(p.x - FResizeLeftEdge);
            }
            if (FStates & hstDragPending) {
                POINT screen = p;
                ClientToScreen(wnd, &screen);
                TColumnIndex pressed = FColumns->PressedColumn;
                bool beyond = std::abs(screen.x - FDragStartPoint.x) > GetSystemMetrics(SM_CXDRAG) ||
                              std::abs(screen.y - FDragStartPoint.y) > GetSystemMetrics(SM_CYDRAG);
                if ((FOptions & hoDrag) && beyond && FOwner->DoHeaderDragging(pressed)) {
                    FOwner->StopTimer(HeaderTimer);
                    InvalidateColumn(FColumns->GetItem(pressed));
                    FColumns->PressedColumn = NoColumn;
                    FColumns->HotColumn = NoColumn;
                    POINT start = FDragStartPoint;
                    ::ScreenToClient(wnd, &start);
                    FColumns->DraggedColumn = FColumns->ColumnAtPoint(ToHeader(start), true);
                    FColumns->DropColumn = NoColumn;
                    FStates = THeaderStates((FStates & ~hstDragPending) | hstDragging);
                    // The drop mark shows where the column would land; no picture of the
                    // button follows the mouse.
                }
            }
            if (FStates & hstDragging) {
                POINT screen = p;
                ClientToScreen(wnd, &screen);
                DragTo(screen);
            }
            Message.Result = 0;
            return true;
        }
        case WM_NCLBUTTONUP:
        case WM_LBUTTONUP: {
            bool nonClient = Message.Msg == WM_NCLBUTTONUP;
            POINT p = nonClient ? clientFromScreen(Message.LParam)
                                : POINT{GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam)};
            POINT h = ToHeader(p);
            bool hadState = (FStates & tracking) != 0;
            bool consumed = false;
            if (hadState) {
                if (FStates & hstDragging) {
                    POINT screen = p;
                    ClientToScreen(wnd, &screen);
                    RECT window{};
                    GetWindowRect(wnd, &window);
                    TColumnIndex dragged = FColumns->DraggedColumn;
                    TColumnIndex drop = FColumns->DropColumn;
                    TGridTreeColumn* draggedColumn = FColumns->GetItem(dragged);
                    TGridTreeColumn* dropColumn = FColumns->GetItem(drop);
                    if (draggedColumn && dropColumn && drop != dragged && PtInRect(&window, screen)) {
                        TColumnPosition old = draggedColumn->Position();
                        TColumnPosition target = dropColumn->Position();
                        bool draggedIsLeft = old < target;
                        if (FColumns->DropOnLeft) {
                            if (draggedIsLeft) --target;
                        } else if (!draggedIsLeft) {
                            ++target;
                        }
                        draggedColumn->SetPosition(target);
                        FOwner->DoHeaderDragged(dragged, old);
                    } else if (draggedColumn) {
                        FOwner->DoHeaderDraggedOut(dragged, screen);
                    }
                    FColumns->DropColumn = NoColumn;
                    FColumns->DraggedColumn = NoColumn;
                    Invalidate();
                }
                EndTracking();
                consumed = true;
            }
            if (nonClient) {
                HandleClick(h, classlib::mbLeft, false, false);
                FOwner->DoHeaderMouseUp(classlib::mbLeft, KeyShift(), h.x, h.y);
            } else {
                if (FColumns->PressedColumn >= 0) HandleClick(h, classlib::mbLeft, false, false);
                if (hadState)
                    FOwner->DoHeaderMouseUp(classlib::mbLeft, classlib::KeysToShiftState(Message.WParam), h.x, h.y);
            }
            if (TGridTreeColumn* pressed = FColumns->GetItem(FColumns->PressedColumn)) InvalidateColumn(pressed);
            FColumns->SizingColumn = NoColumn;
            FColumns->PressedColumn = NoColumn;
            if (consumed) Message.Result = 0;
            return consumed;
        }
        case WM_NCLBUTTONDBLCLK:
        case WM_NCRBUTTONDBLCLK:
        case WM_NCMBUTTONDBLCLK: {
            POINT p = clientFromScreen(Message.LParam);
            if (!PointInHeader(p)) return false;
            POINT h = ToHeader(p);
            classlib::TMouseButton button = Message.Msg == WM_NCLBUTTONDBLCLK   ? classlib::mbLeft
                                            : Message.Msg == WM_NCRBUTTONDBLCLK ? classlib::mbRight
                                                                                : classlib::mbMiddle;
            if ((FOptions & hoDblClickResize) && FindResizeColumn(p)) {
                TGridTreeColumn* column = FColumns->GetItem(FColumns->SizingColumn);
                FColumns->ResizeAnimated(FColumns->SizingColumn,
                                         std::max(column->MinWidth(), FOwner->GetMaxColumnWidth(column->Index())));
                FColumns->ClickedColumn = NoColumn;
            } else {
                HandleClick(h, button, true, true);
            }
            if (FColumns->ClickedColumn >= 0)
                FOwner->DoHeaderDblClick(FColumns->ClickedColumn, button, KeyShift() | classlib::ssDouble, h.x, h.y);
            return false;
        }
        case WM_NCRBUTTONDOWN:
        case WM_NCMBUTTONDOWN: {
            POINT p = clientFromScreen(Message.LParam);
            if (!PointInHeader(p)) return false;
            POINT h = ToHeader(p);
            FOwner->DoHeaderMouseDown(Message.Msg == WM_NCRBUTTONDOWN ? classlib::mbRight : classlib::mbMiddle,
                                      KeyShift(), h.x, h.y);
            return false;
        }
        case WM_NCRBUTTONUP:
        case WM_NCMBUTTONUP: {
            const bool right = Message.Msg == WM_NCRBUTTONUP;
            if (right && classlib::Application) classlib::Application->CancelHint();
            POINT p = clientFromScreen(Message.LParam);
            if (!PointInHeader(p)) return false;
            POINT h = ToHeader(p);
            classlib::TMouseButton button = right ? classlib::mbRight : classlib::mbMiddle;
            HandleClick(h, button, false, true);
            FOwner->DoHeaderMouseUp(button, KeyShift(), h.x, h.y);
            FColumns->PressedColumn = NoColumn;
            if (right) FColumns->SizingColumn = NoColumn;
            if (!right || !FPopupMenu.Get()) return false;
            FOwner->StopTimer(ScrollTimer);
            FOwner->StopTimer(HeaderTimer);
            FOwner->DoStateChange(0, tsScrollPending | tsScrolling);
            FColumns->HotColumn = NoColumn;
            FPopupMenu->PopupComponent = FOwner;
            FPopupMenu->Popup(GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam));
            Message.Result = 0;
            return true;
        }
        default:
            return false;
    }
}

void TGTHeader::DragTo(POINT Screen) {
    POINT client = Screen;
    ::ScreenToClient(FOwner->Handle(), &client);
    POINT h = ToHeader(client);
    int left = 0, right = 0;
    TColumnIndex column = FColumns->ColumnAndBoundsAt(h, left, right, true);
    bool onLeft = column >= 0 && h.x < (left + right) / 2;
    if (column == FColumns->DropColumn && (column < 0 || onLeft == FColumns->DropOnLeft)) return;
    InvalidateColumn(FColumns->GetItem(FColumns->DropColumn));
    FColumns->DropColumn = column >= 0 ? column : NoColumn;
    FColumns->DropOnLeft = onLeft;
    InvalidateColumn(FColumns->GetItem(column));
}

}  // namespace gridtree
