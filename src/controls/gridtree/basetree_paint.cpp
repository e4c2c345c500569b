// Painting: the paint pass over the rows of an area, the steps of one cell (background,
// selection, grid and tree lines, expand button, images) and the bitmaps and brush they
// use; the appearance properties that feed them.
#include <windows.h>
#include <uxtheme.h>
#include <vsstyle.h>

#include <algorithm>
#include <cmath>
#include <memory>

#include "classlib/gdiguards.h"
#include "classlib/scopeguard.h"
#include "controls/gridtree/basetree.h"
#include "controls/gridtree/gridtree_services.h"
#include "controls/gridtree/nodestore_p.h"

namespace gridtree {

namespace {

constexpr int ButtonSize = 9;
constexpr COLORREF Magenta = RGB(255, 0, 255);

COLORREF Rgb(classlib::TColor Color) { return classlib::ColorToRGB(Color); }

// A solid fill without a brush of its own.
void Fill(HDC DC, const RECT& R, COLORREF Color) {
    if (R.left >= R.right || R.top >= R.bottom) return;
    COLORREF old = SetBkColor(DC, Color);
    ExtTextOutW(DC, 0, 0, ETO_OPAQUE, &R, nullptr, 0, nullptr);
    SetBkColor(DC, old);
}

// A theme handle for one drawing, closed afterwards.
class TTheme {
public:
    TTheme(HWND Wnd, const wchar_t* ClassList) : FTheme(OpenThemeData(Wnd, ClassList)) {}
    ~TTheme() {
        if (FTheme) CloseThemeData(FTheme);
    }
    TTheme(const TTheme&) = delete;
    TTheme& operator=(const TTheme&) = delete;
    HTHEME Handle() const { return FTheme; }

private:
    HTHEME FTheme;
};

// A 9 x 9 bitmap of the screen's format, filled with magenta (transparent).
classlib::TGdiObject<HBITMAP> NewButtonBitmap(HDC Reference) {
    classlib::TGdiObject<HBITMAP> bitmap(CreateCompatibleBitmap(Reference, ButtonSize, ButtonSize));
    if (!bitmap) throw classlib::EOutOfResources(L"Out of system resources");
    return bitmap;
}

TAlignment Mirrored(TAlignment A) {
    if (A == taLeftJustify) return taRightJustify;
    if (A == taRightJustify) return taLeftJustify;
    return A;
}

// Converts a logical rectangle of a DC to device (pixel) coordinates.
RECT ToDevice(HDC DC, RECT R) {
    POINT p[2] = {{R.left, R.top}, {R.right, R.bottom}};
    LPtoDP(DC, p, 2);
    return RECT{p[0].x, p[0].y, p[1].x, p[1].y};
}

}  // namespace

// --- appearance properties ------------------------------------------------------------

void TBaseGridTree::ImageListChanged(classlib::TImageList* List) {
    (void)List;
    Invalidate();
}

void TBaseGridTree::LinkImageList(classlib::TComponentRef<classlib::TImageList>& Ref, classlib::TChangeLink& Link,
                                  classlib::TImageList* Value) {
    if (Ref.Get() == Value) return;
    if (Ref.Get()) Ref->UnRegisterChanges(&Link);
    Ref.Set(Value);
    if (Value) {
        Link.OnChange = [this](classlib::TImageList* List) { ImageListChanged(List); };
        Value->RegisterChanges(&Link);
    }
}

void TBaseGridTree::SetImages(classlib::TImageList* Value) {
    LinkImageList(FImages, FImagesLink, Value);
    Invalidate();
}

void TBaseGridTree::SetStateImages(classlib::TImageList* Value) {
    LinkImageList(FStateImages, FStateImagesLink, Value);
    Invalidate();
}

void TBaseGridTree::SetCustomCheckImages(classlib::TImageList* Value) {
    LinkImageList(FCustomCheckImages, FCustomCheckImagesLink, Value);
    if (FCheckImageKind == ckCustom || !GetCheckImageListFor(FCheckImageKind)) FCheckImages = Value;
    Invalidate();
}

void TBaseGridTree::CustomCheckImagesFreed() {
    FCheckImageKind = ckLightCheck;
    FCheckImages = GetCheckImageListFor(ckLightCheck);
    if (!FDestroying) Invalidate();
}

void TBaseGridTree::SetCheckImageKind(TCheckImageKind Value) {
    FCheckImageKind = Value;
    classlib::TImageList* list = Value == ckCustom ? nullptr : GetCheckImageListFor(Value);
    FCheckImages = list ? list : FCustomCheckImages.Get();
    if (FUpdateCount == 0) Invalidate();
}

classlib::TImageList* TBaseGridTree::GetCheckImageListFor(TCheckImageKind Kind) {
    TTreePictures* pictures = TreePictures();
    return pictures ? pictures->CheckImages(Kind) : nullptr;
}

void TBaseGridTree::SetButtonStyle(TGTButtonStyle Value) {
    if (FButtonStyle == Value) return;
    FButtonStyle = Value;
    if (IsLoading()) return;
    PrepareBitmaps(true, false);
    Invalidate();
}

void TBaseGridTree::SetButtonFillMode(TGTButtonFillMode Value) {
    if (FButtonFillMode == Value) return;
    FButtonFillMode = Value;
    if (IsLoading()) return;
    PrepareBitmaps(true, false);
    Invalidate();
}

void TBaseGridTree::SetLineStyle(TGTLineStyle Value) {
    if (FLineStyle == Value) return;
    FLineStyle = Value;
    if (IsLoading()) return;
    PrepareBitmaps(false, true);
    Invalidate();
}

void TBaseGridTree::SetLineMode(TGTLineMode Value) {
    if (FLineMode == Value) return;
    FLineMode = Value;
    Invalidate();
}

void TBaseGridTree::SetNodeAlignment(TGTNodeAlignment Value) {
    if (FNodeAlignment == Value) return;
    FNodeAlignment = Value;
    if (!IsLoading()) Invalidate();
}

void TBaseGridTree::SetSelectionCurveRadius(int Value) {
    Value = std::max(0, Value);
    if (FSelectionCurveRadius == Value) return;
    FSelectionCurveRadius = Value;
    Invalidate();
}

void TBaseGridTree::SetBackground(HBITMAP Picture) {
    if (Picture) {
        HBITMAP copy = static_cast<HBITMAP>(CopyImage(Picture, IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
        if (copy) FBackground.Assign(copy);  // takes the copy
    } else {
        FBackground.SetSize(0, 0);
    }
    Invalidate();
}

void TBaseGridTree::SetBackgroundOffsetX(int Value) {
    if (FBackgroundOffsetX == Value) return;
    FBackgroundOffsetX = Value;
    Invalidate();
}

void TBaseGridTree::SetBackgroundOffsetY(int Value) {
    if (FBackgroundOffsetY == Value) return;
    FBackgroundOffsetY = Value;
    Invalidate();
}

void TBaseGridTree::SetBorderStyle(classlib::TFormBorderStyle Value) {
    if (Value != classlib::bsNone) Value = classlib::bsSingle;
    if (FBorderStyle == Value) return;
    FBorderStyle = Value;
    if (HasControlWindow() && !IsLoading()) RecreateWnd();
}

void TBaseGridTree::SetCtl3D(bool Value) {
    if (FCtl3D == Value) return;
    FCtl3D = Value;
    // The kind of border depends on it.
    if (FBorderStyle == classlib::bsSingle && HasControlWindow() && !IsLoading()) RecreateWnd();
}

void TBaseGridTree::SetBorderWidth(int Value) {
    Value = std::max(0, Value);
    if (FBorderWidth == Value) return;
    FBorderWidth = Value;
    if (HasControlWindow()) SetWindowPos(FHandle, nullptr, 0, 0, 0, 0, 0x637);
}

void TBaseGridTree::SetBevelKind(TBevelKind Value) {
    if (FBevelKind == Value) return;
    FBevelKind = Value;
    if (HasControlWindow()) SetWindowPos(FHandle, nullptr, 0, 0, 0, 0, 0x637);
}

// --- bitmaps --------------------------------------------------------------------------

void TBaseGridTree::PrepareBitmaps(bool NeedButtons, bool NeedLines) {
    classlib::TWindowDC screen(nullptr);
    if (NeedButtons) {
        classlib::TGdiObject<HBITMAP> plus = NewButtonBitmap(screen.Handle());
        classlib::TGdiObject<HBITMAP> minus = NewButtonBitmap(screen.Handle());
        classlib::TMemoryDC plusDC(screen.Handle()), minusDC(screen.Handle());
        classlib::TSelectedObject plusSel(plusDC.Handle(), plus.Handle()), minusSel(minusDC.Handle(), minus.Handle());
        const RECT all{0, 0, ButtonSize, ButtonSize};
        Fill(plusDC.Handle(), all, Magenta);
        Fill(minusDC.Handle(), all, Magenta);

        bool drawn = false;
        if (HasState(tsUseThemes)) {
            TTheme theme(HandleAllocated() ? FHandle : nullptr, L"TREEVIEW");
            if (theme.Handle()) {
                RECT r = all;
                DrawThemeBackground(theme.Handle(), plusDC.Handle(), TVP_GLYPH, GLPS_CLOSED, &r, nullptr);
                DrawThemeBackground(theme.Handle(), minusDC.Handle(), TVP_GLYPH, GLPS_OPENED, &r, nullptr);
                drawn = true;
            }
        }
        if (!drawn && FButtonStyle == bsTriangle) {
            classlib::TGdiObject<HBRUSH> black(CreateSolidBrush(RGB(0, 0, 0)));
            classlib::TGdiObject<HPEN> pen(CreatePen(PS_SOLID, 1, RGB(0, 0, 0)));
            const POINT down[3] = {{0, 2}, {8, 2}, {4, 6}};
            const POINT right[3] = {{2, 0}, {6, 4}, {2, 8}};
            {
                classlib::TSelectedObject b(minusDC.Handle(), black.Handle()), p(minusDC.Handle(), pen.Handle());
                Polygon(minusDC.Handle(), down, 3);
            }
            {
                classlib::TSelectedObject b(plusDC.Handle(), black.Handle()), p(plusDC.Handle(), pen.Handle());
                Polygon(plusDC.Handle(), right, 3);
            }
            drawn = true;
        }
        if (!drawn && FButtonFillMode == fmShaded) {
            // The shaded pictures come from the resources; without them the buttons are drawn.
            classlib::TGdiObject<HBITMAP> plusPicture(static_cast<HBITMAP>(
                LoadImageW(TreeResourceModule(), L"GT_XPBUTTONPLUS", IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
            classlib::TGdiObject<HBITMAP> minusPicture(static_cast<HBITMAP>(
                LoadImageW(TreeResourceModule(), L"GT_XPBUTTONMINUS", IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
            if (plusPicture && minusPicture) {
                classlib::TMemoryDC source(screen.Handle());
                {
                    classlib::TSelectedObject s(source.Handle(), plusPicture.Handle());
                    BitBlt(plusDC.Handle(), 0, 0, ButtonSize, ButtonSize, source.Handle(), 0, 0, SRCCOPY);
                }
                {
                    classlib::TSelectedObject s(source.Handle(), minusPicture.Handle());
                    BitBlt(minusDC.Handle(), 0, 0, ButtonSize, ButtonSize, source.Handle(), 0, 0, SRCCOPY);
                }
                drawn = true;
            }
        }
        if (!drawn) {
            COLORREF frame = Rgb(FColors->TreeLineColor());
            COLORREF stroke = Rgb(Font().Color());
            for (HDC dc : {plusDC.Handle(), minusDC.Handle()}) {
                if (FButtonFillMode != fmTransparent) {
                    classlib::TColor fill = FButtonFillMode == fmWindowColor ? classlib::clWindow : Color();
                    Fill(dc, all, Rgb(fill));
                }
                classlib::TGdiObject<HBRUSH> frameBrush(CreateSolidBrush(frame));
                FrameRect(dc, &all, frameBrush.Handle());
                const RECT h{2, ButtonSize / 2, ButtonSize - 2, ButtonSize / 2 + 1};
                Fill(dc, h, stroke);
            }
            const RECT v{ButtonSize / 2, 2, ButtonSize / 2 + 1, ButtonSize - 2};
            Fill(plusDC.Handle(), v, stroke);
        }
        FPlusBM = std::move(plus);
        FMinusBM = std::move(minus);
    }
    if (NeedLines) {
        TGTLineBits bits{};
        if (FLineStyle != lsSolid) {
            for (int row = 0; row < 8; ++row) bits[row] = (row % 2) ? 0xAA : 0x55;
            if (FLineStyle == lsCustomStyle) DoGetLineStyle(bits);
        }
        // Monochrome rows are word aligned.
        WORD rows[8];
        for (int row = 0; row < 8; ++row) rows[row] = WORD(bits[row]) << 8 | bits[row];
        classlib::TGdiObject<HBITMAP> pattern(CreateBitmap(8, 8, 1, 1, rows));
        FDottedBrush.Reset(pattern ? CreatePatternBrush(pattern.Handle()) : nullptr);
    }
}

// --- lines ----------------------------------------------------------------------------

void TBaseGridTree::DrawDottedHLine(const TGTPaintInfo& PaintInfo, int Left, int Right, int Top) {
    HDC dc = PaintInfo.Canvas->Handle();
    SetBkColor(dc, Rgb(Color()));
    RECT r{std::min(Left, Right), Top, std::max(Left, Right) + 1, Top + 1};
    if (FDottedBrush) FillRect(dc, &r, FDottedBrush.Handle());
}

void TBaseGridTree::DrawDottedVLine(const TGTPaintInfo& PaintInfo, int Top, int Bottom, int Left) {
    HDC dc = PaintInfo.Canvas->Handle();
    SetBkColor(dc, Rgb(Color()));
    RECT r{Left, std::min(Top, Bottom), Left + 1, std::max(Top, Bottom) + 1};
    if (FDottedBrush) FillRect(dc, &r, FDottedBrush.Handle());
}

void TBaseGridTree::DrawLineImage(TGTPaintInfo& PaintInfo, int X, int Y, int H, int VAlign, TGTLineType Style,
                                  bool Reverse) {
    const int indent = int(FIndent);
    const int half = X + indent / 2;
    const int farSide = Reverse ? X : X + indent;
    switch (Style) {
        case ltBottomRight:
            DrawDottedVLine(PaintInfo, Y + VAlign, Y + H, half);
            DrawDottedHLine(PaintInfo, half, farSide, Y + VAlign);
            break;
        case ltTopDown:
            DrawDottedVLine(PaintInfo, Y, Y + H, half);
            break;
        case ltTopDownRight:
            DrawDottedVLine(PaintInfo, Y, Y + H, half);
            DrawDottedHLine(PaintInfo, half, farSide, Y + VAlign);
            break;
        case ltRight:
            DrawDottedHLine(PaintInfo, half, farSide, Y + VAlign);
            break;
        case ltTopRight:
            DrawDottedVLine(PaintInfo, Y, Y + VAlign, half);
            DrawDottedHLine(PaintInfo, half, farSide, Y + VAlign);
            break;
        case ltLeft:
            DrawDottedVLine(PaintInfo, Y, Y + H, Reverse ? X + indent : X);
            break;
        case ltLeftBottom:
            DrawDottedVLine(PaintInfo, Y, Y + H, Reverse ? X + indent : X);
            DrawDottedHLine(PaintInfo, X, X + indent, Y + H);
            break;
        default:
            break;
    }
}

int TBaseGridTree::DetermineLineImageAndSelectLevel(PGridNode Node, TLineImage& LineImage) {
    int selected = 0;
    for (PGridNode run = Node->Parent; run != FRoot; run = run->Parent)
        if (run->States & vsSelected) ++selected;
    const int shift = HasPaintOption(toShowRoot) ? 1 : 0;
    const int level = int(GetNodeLevel(Node));
    LineImage.assign(size_t(level + shift), ltNone);
    if (HasPaintOption(toShowTreeLines)) {
        // The entry of a node at level k lies in indentation level k - 1 (k with a root
        // level): the node's own connector, then its ancestors' lines going on below it.
        int k = level;
        for (PGridNode run = Node; run != FRoot; run = run->Parent, --k) {
            const int index = k - 1 + shift;
            if (index < 0) continue;
            if (run != Node) {
                LineImage[size_t(index)] = HasVisibleNextSibling(run) ? ltTopDown : ltNone;
            } else if (k > 0) {
                LineImage[size_t(index)] = HasVisibleNextSibling(run) ? ltTopDownRight : ltTopRight;
            } else {
                const bool first = IsFirstVisibleChild(FRoot, Node), last = IsLastVisibleChild(FRoot, Node);
                LineImage[size_t(index)] = first && last ? ltRight
                                           : last        ? ltTopRight
                                           : first       ? ltBottomRight
                                                         : ltTopDownRight;
            }
        }
    }
    return selected;
}

void TBaseGridTree::PaintTreeLines(TGTPaintInfo& PaintInfo, int VAlign, int IndentSize, const TLineImage& LineImage) {
    const bool reverse = PaintInfo.BidiMode != bdLeftToRight;
    const int indent = int(FIndent);
    int x = reverse ? PaintInfo.CellRect.right - indent : PaintInfo.CellRect.left;
    const int step = reverse ? -indent : indent;
    const int y = PaintInfo.CellRect.top;
    const int height = PaintInfo.CellRect.bottom - PaintInfo.CellRect.top;
    HDC dc = PaintInfo.Canvas->Handle();
    IndentSize = std::min(IndentSize, int(LineImage.size()));
    if (FLineMode == lmBands) {
        if (!(PaintInfo.PaintOptions & poGridLines)) return;
        TLineImage bands(size_t(IndentSize), ltNone);
        const bool open = (PaintInfo.Node->States & vsExpanded) && !(PaintInfo.Node->States & vsAllChildrenHidden);
        for (int i = IndentSize - 1; i >= 0; --i) {
            if (open) {
                bands[size_t(i)] = ltLeft;
                continue;
            }
            switch (LineImage[size_t(i)]) {
                case ltNone:
                case ltTopDown: {
                    const bool innerOpen = i + 1 < IndentSize && (LineImage[size_t(i + 1)] == ltNone ||
                                                                  LineImage[size_t(i + 1)] == ltTopRight);
                    bands[size_t(i)] = innerOpen ? bands[size_t(i + 1)] : ltLeft;
                    break;
                }
                case ltBottomRight:
                case ltTopDownRight:
                case ltRight:
                case ltTopRight:
                    bands[size_t(i)] = ltLeftBottom;
                    break;
                default:
                    bands[size_t(i)] = ltNone;
                    break;
            }
        }
        SetTextColor(dc, Rgb(FColors->GridLineColor()));
        for (int i = 0; i < IndentSize; ++i, x += step)
            DrawLineImage(PaintInfo, x, y, height - 1, VAlign, bands[size_t(i)], reverse);
        return;
    }
    SetTextColor(dc, Rgb(FColors->TreeLineColor()));
    for (int i = 0; i < IndentSize; ++i, x += step)
        DrawLineImage(PaintInfo, x, y, height, VAlign, LineImage[size_t(i)], reverse);
}

// --- images and buttons ---------------------------------------------------------------

classlib::TImageList* TBaseGridTree::DoGetImageIndex(PGridNode Node, TGTImageKind Kind, TColumnIndex Column,
                                                     bool& Ghosted, int& Index) {
    classlib::TImageList* list = nullptr;
    if (OnGetImageIndexEx) OnGetImageIndexEx(this, Node, Kind, Column, Ghosted, Index, list);
    else if (OnGetImageIndex) OnGetImageIndex(this, Node, Kind, Column, Ghosted, Index);
    return list;
}

bool TBaseGridTree::HasImage(PGridNode Node, TGTImageKind Kind, TColumnIndex Column) {
    bool ghosted = false;
    int index = -1;
    DoGetImageIndex(Node, Kind, Column, ghosted, index);
    return index >= 0;
}

int TBaseGridTree::ImagesWidth(PGridNode Node, TColumnIndex Column, bool MainColumn) {
    int width = 0;
    if (MainColumn && HasOption(toCheckSupport) && FCheckImages && Node->CheckKind != ctNone)
        width += FCheckImages->Width() + 2;
    if (FStateImages && HasImage(Node, ikState, Column)) width += FStateImages->Width() + 2;
    if (FImages && HasImage(Node, ikNormal, Column)) width += FImages->Width() + 2;
    return width;
}

void TBaseGridTree::GetImageIndex(TGTPaintInfo& Info, TGTImageKind Kind, TGTImageInfoIndex InfoIndex,
                                  classlib::TImageList* DefaultImages) {
    TTreeImageSlot& slot = Info.ImageInfo[InfoIndex];
    slot.Index = -1;
    slot.Ghosted = false;
    classlib::TImageList* list = DoGetImageIndex(Info.Node, Kind, Info.Column, slot.Ghosted, slot.Index);
    slot.Images = list ? list : DefaultImages;
}

int TBaseGridTree::GetCheckImage(PGridNode Node) {
    if (!Node || Node->CheckKind == ctNone) return -1;
    const TCheckState state = TCheckState(Node->CheckState);
    const bool checked = state == csCheckedNormal || state == csCheckedPressed;
    const bool mixed = state == csMixedNormal || state == csMixedPressed;
    const bool pressed = state == csUncheckedPressed || state == csCheckedPressed || state == csMixedPressed;
    int index;
    switch (Node->CheckKind) {
        case ctButton: index = 21; break;
        case ctRadioButton: index = mixed ? 17 : checked ? 5 : 1; break;
        default: index = mixed ? 17 : checked ? 13 : 9; break;
    }
    if ((Node->States & vsDisabled) || !Enabled()) index += 3;
    else if (pressed) index += 2;
    else if (Node == FHotNode) index += 1;
    return index;
}

void TBaseGridTree::PaintCheckImage(TGTPaintInfo& PaintInfo) {
    const TTreeImageSlot& slot = PaintInfo.ImageInfo[iiCheck];
    HDC dc = PaintInfo.Canvas->Handle();
    if (HasState(tsUseThemes) && FCheckImageKind != ckCustom) {
        TTheme theme(HandleAllocated() ? FHandle : nullptr, L"BUTTON");
        if (theme.Handle()) {
            RECT r{slot.SlotX - 1, slot.SlotY, slot.SlotX + 16, slot.SlotY + 16};
            int part, state;
            if (slot.Index <= 8) {
                part = BP_RADIOBUTTON;
                state = slot.Index;
            } else if (slot.Index <= 20) {
                part = BP_CHECKBOX;
                state = slot.Index - 8;
            } else {
                part = BP_PUSHBUTTON;
                state = slot.Index - 20;
            }
            DrawThemeBackground(theme.Handle(), dc, part, std::max(1, state), &r, nullptr);
            if (part == BP_PUSHBUTTON)
                if (TTreePictures* pictures = TreePictures())
                    ImageList_Draw(pictures->Utilities().Handle(), 4, dc, slot.SlotX, slot.SlotY, ILD_TRANSPARENT);
            return;
        }
    }
    if (!slot.Images) return;
    ImageList_DrawEx(slot.Images->Handle(), slot.Index, dc, slot.SlotX, slot.SlotY, 0, 0, CLR_NONE, CLR_DEFAULT,
                     ILD_TRANSPARENT);
}

void TBaseGridTree::PaintImage(TGTPaintInfo& PaintInfo, TGTImageInfoIndex ImageInfoIndex, bool DoOverlay) {
    const TTreeImageSlot& slot = PaintInfo.ImageInfo[ImageInfoIndex];
    if (!slot.Images || slot.Index < 0) return;
    PGridNode node = PaintInfo.Node;
    if (DoOverlay) GetImageIndex(PaintInfo, ikOverlay, iiOverlay, slot.Images);
    else PaintInfo.ImageInfo[iiOverlay].Index = -1;
    const TTreeImageSlot& overlay = PaintInfo.ImageInfo[iiOverlay];
    HDC dc = PaintInfo.Canvas->Handle();
    HIMAGELIST list = slot.Images->Handle();
    if ((node->States & vsDisabled) || !Enabled()) {
        slot.Images->Draw(*PaintInfo.Canvas, slot.SlotX, slot.SlotY, slot.Index, false);
        if (overlay.Index >= 0 && overlay.Images)
            overlay.Images->Draw(*PaintInfo.Canvas, slot.SlotX, slot.SlotY, overlay.Index, false);
        SetTextColor(dc, Rgb(Font().Color()));
        return;
    }
    const bool cut = (node->States & vsCutOrCopy) && HasState(tsCutPending);
    UINT style = ILD_TRANSPARENT;
    if (overlay.Index >= 0 && overlay.Index <= 14) style |= INDEXTOOVERLAYMASK(overlay.Index + 1);
    const bool selected = (node->States & vsSelected) != 0;
    if ((Focused() || HasPaintOption(toGhostedIfUnfocused)) && HasPaintOption(toUseBlendedImages) &&
        (slot.Ghosted || cut ||
         (selected && !HasSelectionOption(toFullRowSelect) && !HasOption(toGridExtensions))))
        style |= ILD_BLEND50;
    COLORREF blend = selected && !slot.Ghosted ? CLR_DEFAULT : Rgb(Color());
    ImageList_DrawEx(list, slot.Index, dc, slot.SlotX, slot.SlotY, 0, 0, CLR_NONE, blend, style);
    if (overlay.Index >= 15 && overlay.Images)
        ImageList_DrawEx(overlay.Images->Handle(), overlay.Index, dc, slot.SlotX, slot.SlotY, 0, 0, CLR_NONE, blend,
                         ILD_TRANSPARENT);
}

void TBaseGridTree::PaintNodeButton(classlib::TCanvas& Canvas, PGridNode Node, const RECT& CellRect, int ButtonX,
                                    int ButtonY, TBiDiMode BidiMode) {
    HBITMAP bitmap = (Node->States & vsExpanded) ? FMinusBM.Handle() : FPlusBM.Handle();
    if (!bitmap) return;
    int x = BidiMode == bdLeftToRight ? CellRect.left + ButtonX : CellRect.right - ButtonX - ButtonSize;
    HDC dc = Canvas.Handle();
    classlib::TMemoryDC source(dc);
    classlib::TSelectedObject selected(source.Handle(), bitmap);
    TransparentBlt(dc, x, CellRect.top + ButtonY, ButtonSize, ButtonSize, source.Handle(), 0, 0, ButtonSize,
                   ButtonSize, Magenta);
}

void TBaseGridTree::CalculateVerticalAlignments(bool ShowImages, bool ShowStateImages, PGridNode Node, int& VAlign,
                                                int& VButtonAlign) {
    const int height = int(Node->NodeHeight);
    switch (FNodeAlignment) {
        case naFromBottom: VAlign = height - Node->Align; break;
        case naFromTop: VAlign = Node->Align; break;
        default: {
            int picture = 0;
            if (ShowImages) picture = FImages->Height();
            else if (ShowStateImages) picture = FStateImages->Height();
            else if (HasPaintOption(toShowButtons)) picture = ButtonSize;
            if (picture > 0) VAlign = MulDiv(height - picture, Node->Align, 100) + picture / 2;
            else VAlign = MulDiv(height, Node->Align, 100);
            break;
        }
    }
    VButtonAlign = VAlign - ButtonSize / 2;
}

// --- rows and cells -------------------------------------------------------------------

classlib::TColor TBaseGridTree::SelectionFillColor() const {
    const bool focused = Focused() || (FOptions->PaintOptions() & toPopupMode);
    return focused ? FColors->FocusedSelectionColor() : FColors->UnfocusedSelectionColor();
}

classlib::TColor TBaseGridTree::SelectionBorderColor() const {
    const bool focused = Focused() || (FOptions->PaintOptions() & toPopupMode);
    return focused ? FColors->FocusedSelectionBorderColor() : FColors->UnfocusedSelectionBorderColor();
}

bool TBaseGridTree::DoBeforeItemPaint(classlib::TCanvas& Canvas, PGridNode Node, const RECT& ItemRect) {
    bool customDraw = false;
    if (OnBeforeItemPaint) OnBeforeItemPaint(this, Canvas, Node, ItemRect, customDraw);
    return customDraw;
}

bool TBaseGridTree::DoPaintBackground(classlib::TCanvas& Canvas, const RECT& R) {
    bool handled = false;
    if (OnPaintBackground) OnPaintBackground(this, Canvas, R, handled);
    return handled;
}

void TBaseGridTree::DoPaintDropMark(classlib::TCanvas& Canvas, PGridNode Node, const RECT& R) {
    (void)Node;
    if (FLastDropMode != dmAbove && FLastDropMode != dmBelow) return;
    POINT p[6];
    if (FLastDropMode == dmAbove) {
        p[0] = {R.left + 2, R.top};
        p[1] = {R.right - 2, R.top};
        p[2] = {R.right - 2, R.top + 6};
        p[3] = {R.right - 6, R.top + 2};
        p[4] = {R.left + 6, R.top + 2};
        p[5] = {R.left + 2, R.top + 6};
    } else {
        p[0] = {R.left + 2, R.bottom - 1};
        p[1] = {R.right - 2, R.bottom - 1};
        p[2] = {R.right - 2, R.bottom - 8};
        p[3] = {R.right - 7, R.bottom - 3};
        p[4] = {R.left + 7, R.bottom - 3};
        p[5] = {R.left + 2, R.bottom - 8};
    }
    HDC dc = Canvas.Handle();
    classlib::TGdiObject<HBRUSH> brush(CreateSolidBrush(Rgb(FColors->DropMarkColor())));
    classlib::TSelectedObject b(dc, brush.Handle()), pen(dc, GetStockObject(NULL_PEN));
    Polygon(dc, p, 6);
}

void TBaseGridTree::PaintBackgroundPicture(HDC DC, const RECT& R, int OriginX, int OriginY) {
    // OriginX, OriginY: the tree coordinates of the DC's logical point (0, 0).
    const int w = FBackground.Width(), h = FBackground.Height();
    if (w <= 0 || h <= 0) return;
    HDC picture = FBackground.Canvas().Handle();
    classlib::TSavedDC saved(DC);
    IntersectClipRect(DC, R.left, R.top, R.right, R.bottom);
    auto copy = [&](int X, int Y) {
        if (FBackground.Transparent) {
            COLORREF key = FBackground.TransparentColor == classlib::clDefault ? GetPixel(picture, 0, h - 1)
                                                                                : Rgb(FBackground.TransparentColor);
            TransparentBlt(DC, X, Y, w, h, picture, 0, 0, w, h, key);
        } else {
            BitBlt(DC, X, Y, w, h, picture, 0, 0, SRCCOPY);
        }
    };
    if (HasPaintOption(toStaticBackground)) {
        Fill(DC, R, Rgb(Color()));
        // Placed in the visible area: it stays where it is while the content scrolls.
        copy(FBackgroundOffsetX - FOffsetX - OriginX, FBackgroundOffsetY - FOffsetY - OriginY);
        return;
    }
    // Tiles from the tree origin moved by the offsets: they scroll with the content.
    auto firstTile = [](int Start, int Offset, int Size) {
        int d = (Start - Offset) % Size;
        if (d < 0) d += Size;
        return Start - d;
    };
    const int x0 = firstTile(R.left + OriginX, FBackgroundOffsetX, w) - OriginX;
    const int y0 = firstTile(R.top + OriginY, FBackgroundOffsetY, h) - OriginY;
    for (int y = y0; y < R.bottom; y += h)
        for (int x = x0; x < R.right; x += w) copy(x, y);
}

void TBaseGridTree::PaintItemBackground(TGTPaintInfo& PaintInfo, bool UseBackground, const RECT& R) {
    classlib::TCanvas& canvas = *PaintInfo.Canvas;
    classlib::TColor color = Color();
    TItemEraseAction action = eaDefault;
    DoBeforeItemErase(canvas, PaintInfo.Node, R, color, action);
    HDC dc = canvas.Handle();
    switch (action) {
        case eaColor:
            Fill(dc, R, Rgb(color));
            break;
        case eaNone:
            break;
        default:
            if (UseBackground) {
                PaintBackgroundPicture(dc, R, 0, FPaintRowTop);
            } else if ((PaintInfo.Node->States & vsSelected) && (PaintInfo.PaintOptions & poDrawSelection) &&
                       HasSelectionOption(toFullRowSelect) && !HasPaintOption(toUseBlendedSelection)) {
                Fill(dc, R, Rgb(Color()));
                RECT band = R;
                if (HasPaintOption(toShowHorzGridLines)) --band.bottom;
                classlib::TGdiObject<HBRUSH> brush(CreateSolidBrush(Rgb(SelectionFillColor())));
                classlib::TGdiObject<HPEN> pen(CreatePen(PS_SOLID, 1, Rgb(SelectionBorderColor())));
                classlib::TSelectedObject b(dc, brush.Handle()), p(dc, pen.Handle());
                RoundRect(dc, band.left, band.top, band.right, band.bottom, FSelectionCurveRadius,
                          FSelectionCurveRadius);
            } else {
                Fill(dc, R, Rgb(Color()));
            }
            break;
    }
    DoAfterItemErase(canvas, PaintInfo.Node, R);
}

void TBaseGridTree::PaintCellBackground(TGTPaintInfo& PaintInfo, const RECT& SelectionRect) {
    HDC dc = PaintInfo.Canvas->Handle();
    PGridNode node = PaintInfo.Node;
    if (PaintInfo.PaintOptions & poColumnColor)
        if (TGridTreeColumn* column = FHeader->Columns().GetItem(PaintInfo.Column))
            Fill(dc, PaintInfo.CellRect, Rgb(column->Color()));
    DoBeforeCellPaint(*PaintInfo.Canvas, node, PaintInfo.Column, PaintInfo.CellRect);
    if (PaintInfo.Column != FFocusedColumn && !HasSelectionOption(toFullRowSelect)) return;

    if (PaintInfo.PaintOptions & poDrawSelection) {
        classlib::TColor fill = classlib::clNone, frame = classlib::clNone;
        if (node == FDropTargetNode) {
            if (FLastDropMode == dmOnNode || (node->States & vsSelected)) {
                fill = FColors->DropTargetColor();
                frame = FColors->DropTargetBorderColor();
            }
        } else if (node->States & vsSelected) {
            fill = SelectionFillColor();
            frame = SelectionBorderColor();
        }
        if (fill != classlib::clNone && SelectionRect.left < SelectionRect.right) {
            if (HasPaintOption(toUseBlendedSelection)) {
                RECT visible = SelectionRect;
                RECT clip{};
                if (GetClipBox(dc, &clip) != ERROR) IntersectRect(&visible, &visible, &clip);
                AlphaBlendRect(static_cast<HBITMAP>(GetCurrentObject(dc, OBJ_BITMAP)), ToDevice(dc, visible),
                               Rgb(fill), FSelectionBlendFactor);
                classlib::TGdiObject<HBRUSH> border(CreateSolidBrush(Rgb(frame)));
                FrameRect(dc, &SelectionRect, border.Handle());
            } else {
                classlib::TGdiObject<HBRUSH> brush(CreateSolidBrush(Rgb(fill)));
                classlib::TGdiObject<HPEN> pen(CreatePen(PS_SOLID, 1, Rgb(frame)));
                classlib::TSelectedObject b(dc, brush.Handle()), p(dc, pen.Handle());
                RoundRect(dc, SelectionRect.left, SelectionRect.top, SelectionRect.right, SelectionRect.bottom,
                          FSelectionCurveRadius, FSelectionCurveRadius);
            }
        }
    }
    if ((PaintInfo.PaintOptions & poDrawFocusRect) && PaintInfo.Column == FFocusedColumn && node == FFocusedNode &&
        (Focused() || HasPaintOption(toPopupMode))) {
        RECT r = HasOption(toGridExtensions) ? PaintInfo.CellRect : SelectionRect;
        if (r.left < r.right) {
            COLORREF oldText = SetTextColor(dc, RGB(255, 255, 255)), oldBack = SetBkColor(dc, RGB(0, 0, 0));
            DrawFocusRect(dc, &r);
            SetTextColor(dc, oldText);
            SetBkColor(dc, oldBack);
        }
    }
}

TColumnIndex TBaseGridTree::AdjustPaintCellRect(TGTPaintInfo& PaintInfo) {
    return FHeader->Columns().NextVisibleColumn(PaintInfo.Column);
}

void TBaseGridTree::PaintSelectionRectangle(classlib::TCanvas& Canvas, int WindowOrgX, const RECT& SelectionRect,
                                            const RECT& TargetRect) {
    (void)WindowOrgX;
    HDC dc = Canvas.Handle();
    if (FDrawSelectionMode == smBlendedRectangle || HasState(tsUseThemes)) {
        RECT inside{};
        if (IntersectRect(&inside, &SelectionRect, &TargetRect))
            AlphaBlendRect(static_cast<HBITMAP>(GetCurrentObject(dc, OBJ_BITMAP)), ToDevice(dc, inside),
                           Rgb(FColors->SelectionRectangleBlendColor()), FSelectionBlendFactor);
        classlib::TGdiObject<HBRUSH> border(CreateSolidBrush(Rgb(FColors->SelectionRectangleBorderColor())));
        FrameRect(dc, &SelectionRect, border.Handle());
        return;
    }
    COLORREF oldText = SetTextColor(dc, RGB(255, 255, 255)), oldBack = SetBkColor(dc, RGB(0, 0, 0));
    DrawFocusRect(dc, &SelectionRect);
    SetTextColor(dc, oldText);
    SetBkColor(dc, oldBack);
}

// --- the paint pass -------------------------------------------------------------------

void TBaseGridTree::PaintTree(classlib::TCanvas& TargetCanvas, const RECT& Window, POINT Target,
                              TGTInternalPaintOptions PaintOptions) {
    if (Window.right <= Window.left || Window.bottom <= Window.top) return;
    // The row bitmap (with its canvas and font) lives on from pass to pass; a pass started
    // from inside another one (an event handler painting a copy) takes one of its own.
    std::unique_ptr<classlib::TBitmap> nestedBitmap;
    if (HasState(tsPainting)) nestedBitmap = std::make_unique<classlib::TBitmap>();
    classlib::TBitmap& rowBitmap = nestedBitmap ? *nestedBitmap : FRowBitmap;
    DoStateChange(tsPainting, 0);
    auto leavePainting = classlib::ScopeExit([&] { DoStateChange(0, tsPainting); });
    DoBeforePaint(TargetCanvas);
    HDC targetDC = TargetCanvas.Handle();
    const int windowWidth = Window.right - Window.left;

    // The rubber band, in tree coordinates.
    const RECT band = NormalizedRect(FNewSelRect);
    const bool useSelectionRect = IsMouseSelecting() && !IsRectEmpty(&band);
    const bool useBackground =
        (PaintOptions & poBackground) && HasPaintOption(toShowBackground) && HasBackground();
    if (HasPaintOption(toAlwaysHideSelection) || (!Focused() && HasPaintOption(toHideSelection)))
        PaintOptions &= TGTInternalPaintOptions(~poDrawSelection);
    if (HasPaintOption(toHideFocusRect)) PaintOptions &= TGTInternalPaintOptions(~poDrawFocusRect);

    TGridTreeColumns& columns = FHeader->Columns();
    const bool useColumns = columns.Count() > 0;
    const bool showImages = FImages.Get() != nullptr;
    const bool showStateImages = FStateImages.Get() != nullptr;
    const bool showCheckImages = FCheckImages && HasOption(toCheckSupport);
    const int indent = int(FIndent);
    const int rowRight = std::max({FRangeX, FClientWidth, int(Window.right)});

    classlib::TCanvas& canvas = rowBitmap.Canvas();
    canvas.Lock();
    auto unlock = classlib::ScopeExit([&] { canvas.Unlock(); });

    canvas.Font().Assign(Font());
    TGTPaintInfo info;
    info.Canvas = &canvas;
    int rowTop = Window.top;
    PGridNode node = GetNodeAt(0, Window.top, false, &rowTop);
    if (!node) rowTop = Window.top;
    TLineImage lineImage;
    int selectLevel = 0, indentSize = 0, buttonX = 0;
    if (node) {
        selectLevel = DetermineLineImageAndSelectLevel(node, lineImage);
        indentSize = int(lineImage.size());
        buttonX = indentSize * indent + int(std::nearbyint((indent - ButtonSize) / 2.0)) - indent;
    }

    while (node) {
        if (!(node->States & vsInitialized)) InitNode(node);
        if (node->States & vsSelected) ++selectLevel;
        const int height = int(NodeHeight(node));
        FPaintRowTop = rowTop;
        if (height > 0 && (selectLevel > 0 || !(PaintOptions & poSelectedOnly))) {
            if (rowBitmap.Width() != windowWidth || rowBitmap.Height() != height) rowBitmap.SetSize(windowWidth, height);
            HDC dc = canvas.Handle();
            SetWindowOrgEx(dc, 0, 0, nullptr);
            PatBlt(dc, 0, 0, windowWidth, height, BLACKNESS);
            SetWindowOrgEx(dc, Window.left, 0, nullptr);
            info.BrushOrigin = POINT{Window.left & 1, rowTop & 1};
            SetBrushOrgEx(dc, info.BrushOrigin.x, info.BrushOrigin.y, nullptr);
            info.Node = node;
            info.PaintOptions = PaintOptions;
            const RECT itemRect{0, 0, rowRight, height};
            int vAlign = 0, vButtonAlign = 0;
            CalculateVerticalAlignments(showImages, showStateImages, node, vAlign, vButtonAlign);

            if (!DoBeforeItemPaint(canvas, node, itemRect)) {
                PaintItemBackground(info, useBackground, itemRect);
                TColumnIndex column = useColumns ? columns.FirstVisibleColumn() : NoColumn;
                RECT cellRect = itemRect;
                if (useColumns) {
                    if (TGridTreeColumn* first = columns.GetItem(column)) {
                        cellRect.left = first->ColumnLeft();
                        cellRect.right = cellRect.left + first->Width();
                    } else {
                        column = InvalidColumn;
                    }
                }
                while (column != InvalidColumn && cellRect.left < Window.right) {
                    TGridTreeColumn* col = columns.GetItem(column);
                    info.Column = column;
                    info.CellRect = cellRect;
                    info.Position = col ? col->Position() : 0;
                    info.BidiMode = col ? col->BiDiMode() : bdLeftToRight;
                    info.Alignment = col ? col->Alignment() : FAlignment;
                    if (info.BidiMode != bdLeftToRight) info.Alignment = Mirrored(info.Alignment);
                    info.PaintOptions = PaintOptions;
                    const bool edited = IsEditing() && node == FFocusedNode && (!useColumns || column == FFocusedColumn);
                    if (edited) info.PaintOptions &= TGTInternalPaintOptions(~poDrawSelection);
                    if (!useColumns ||
                        ((node->States & vsSelected) && HasSelectionOption(toFullRowSelect) &&
                         (PaintOptions & poDrawSelection)) ||
                        (col && (col->Options() & coParentColor)))
                        info.PaintOptions &= TGTInternalPaintOptions(~poColumnColor);
                    TColumnIndex next = useColumns ? AdjustPaintCellRect(info) : InvalidColumn;
                    const bool skip = col && (!(col->Options() & coVisible) ||
                                              ((PaintOptions & poMainOnly) && column != MainColumn()));
                    if (!skip && info.CellRect.left < info.CellRect.right) {
                        const bool isMain = column == MainColumn() || !useColumns;
                        const bool reverse = info.BidiMode != bdLeftToRight;
                        info.NodeWidth = DoGetNodeWidth(node, column);
                        RECT content = info.CellRect;
                        if (reverse) content.right -= FMargin;
                        else content.left += FMargin;
                        if (isMain) {
                            if (reverse) content.right -= indentSize * indent;
                            else content.left += indentSize * indent;
                        }
                        for (TTreeImageSlot& slot : info.ImageInfo) slot = TTreeImageSlot{};
                        auto place = [&](TGTImageInfoIndex Index) {
                            TTreeImageSlot& slot = info.ImageInfo[Index];
                            if (slot.Index < 0 || !slot.Images) return;
                            const int w = slot.Images->Width();
                            if (reverse) {
                                slot.SlotX = content.right - w;
                                content.right -= w + 2;
                            } else {
                                slot.SlotX = content.left;
                                content.left += w + 2;
                            }
                            slot.SlotY = info.CellRect.top + vAlign - slot.Images->Height() / 2;
                        };
                        if (isMain && showCheckImages && node->CheckKind != ctNone) {
                            info.ImageInfo[iiCheck].Index = GetCheckImage(node);
                            info.ImageInfo[iiCheck].Images = FCheckImages;
                            place(iiCheck);
                        }
                        if (showStateImages) {
                            GetImageIndex(info, ikState, iiState, FStateImages);
                            place(iiState);
                        }
                        if (showImages) {
                            GetImageIndex(info, (node->States & vsSelected) ? ikSelected : ikNormal, iiNormal, FImages);
                            place(iiNormal);
                        }
                        info.ContentRect = content;

                        // The cell clips the painting. No SaveDC/RestoreDC: restoring would
                        // take back the objects the canvas selected meanwhile, while the
                        // canvas believed them still selected.
                        auto unclip = classlib::ScopeExit([&] {
                            if (useColumns) SelectClipRgn(dc, nullptr);
                        });
                        if (useColumns)
                            IntersectClipRect(dc, info.CellRect.left, info.CellRect.top, info.CellRect.right,
                                              info.CellRect.bottom);
                        if ((PaintOptions & poGridLines) && HasPaintOption(toShowHorzGridLines)) {
                            int left = info.CellRect.left, right = info.CellRect.right - 1;
                            if (isMain && FLineMode == lmBands) {
                                if (reverse) right -= indentSize * indent;
                                else left += indentSize * indent;
                            }
                            SetTextColor(dc, Rgb(FColors->GridLineColor()));
                            DrawDottedHLine(info, left, right, info.CellRect.bottom - 1);
                            --info.CellRect.bottom;
                            --info.ContentRect.bottom;
                        }
                        if (useColumns && (PaintOptions & poGridLines) && HasPaintOption(toShowVertGridLines) &&
                            !(int(info.Position) == columns.Count() - 1 &&
                              (FHeader->Options() & hoAutoResize))) {
                            SetTextColor(dc, Rgb(FColors->GridLineColor()));
                            DrawDottedVLine(info, info.CellRect.top, info.CellRect.bottom - 1, info.CellRect.right - 1);
                            --info.CellRect.right;
                            --info.ContentRect.right;
                        }
                        // The selection box: the content cut to the node's width by alignment,
                        // or the whole cell.
                        RECT selection = info.ContentRect;
                        if (HasOption(toGridExtensions) || HasSelectionOption(toFullRowSelect)) {
                            selection = info.CellRect;
                        } else {
                            const int w = std::min<int>(info.NodeWidth, selection.right - selection.left);
                            switch (info.Alignment) {
                                case taRightJustify: selection.left = selection.right - w; break;
                                case taCenter:
                                    selection.left += (selection.right - selection.left - w) / 2;
                                    selection.right = selection.left + w;
                                    break;
                                default: selection.right = selection.left + w; break;
                            }
                        }
                        PaintCellBackground(info, selection);
                        if (isMain) {
                            if (HasPaintOption(toShowTreeLines)) PaintTreeLines(info, vAlign, indentSize, lineImage);
                            if (HasPaintOption(toShowButtons) && (node->States & vsHasChildren) &&
                                !((node->States & vsAllChildrenHidden) && HasAutoOption(toAutoHideButtons)))
                                PaintNodeButton(canvas, node, info.CellRect, buttonX, vButtonAlign, info.BidiMode);
                            if (info.ImageInfo[iiCheck].Index >= 0) PaintCheckImage(info);
                        }
                        if (info.ImageInfo[iiState].Index >= 0) PaintImage(info, iiState, false);
                        if (info.ImageInfo[iiNormal].Index >= 0) PaintImage(info, iiNormal, true);
                        if (!edited) DoPaintNode(info);
                        DoAfterCellPaint(canvas, node, column, info.CellRect);
                    }
                    if (!useColumns || next == InvalidColumn) break;
                    column = next;
                    TGridTreeColumn* following = columns.GetItem(column);
                    if (!following) break;
                    cellRect.left = following->ColumnLeft();
                    cellRect.right = cellRect.left + following->Width();
                }
            }
            DoAfterItemPaint(canvas, node, itemRect);
            if (node == FDropTargetNode && HasPaintOption(toShowDropmark) && (PaintOptions & poDrawDropMark))
                DoPaintDropMark(canvas, node, itemRect);
            if (useSelectionRect) {
                RECT r = band;
                OffsetRect(&r, 0, -rowTop);
                PaintSelectionRectangle(canvas, Window.left, r, RECT{Window.left, 0, Window.right, height});
            }
            BitBlt(targetDC, Target.x, Target.y + rowTop - Window.top, windowWidth, height, dc, Window.left, 0,
                   SRCCOPY);
        }

        rowTop += height;
        if (rowTop >= Window.bottom) {
            node = nullptr;
            break;
        }
        PGridNode next = GetNextVisible(node);
        if (!next) break;
        // The line images follow the walk: one level more for a child, one less for every
        // level climbed.
        if (next->Parent == node) {
            if (!lineImage.empty()) lineImage.back() = HasVisibleNextSibling(node) ? ltTopDown : ltNone;
            lineImage.push_back(ltNone);
            ++indentSize;
            buttonX += indent;
        } else {
            if (node->States & vsSelected) --selectLevel;
            PGridNode run = node;
            while (run != FRoot && run->Parent != next->Parent) {
                run = run->Parent;
                if (!lineImage.empty()) lineImage.pop_back();
                --indentSize;
                buttonX -= indent;
                if (run->States & vsSelected) --selectLevel;
            }
        }
        if (!lineImage.empty()) lineImage.back() = HasVisibleNextSibling(next) ? ltTopDownRight : ltTopRight;
        node = next;
    }

    // Below the last row.
    if (rowTop < Window.bottom) {
        const int height = Window.bottom - rowTop;
        rowBitmap.SetSize(windowWidth, height);
        HDC dc = canvas.Handle();
        SetWindowOrgEx(dc, Window.left, 0, nullptr);
        SetBrushOrgEx(dc, Window.left & 1, rowTop & 1, nullptr);
        FPaintRowTop = rowTop;
        const RECT area{Window.left, 0, Window.right, height};
        if (!DoPaintBackground(canvas, area)) {
            if (useBackground) {
                PaintBackgroundPicture(dc, area, 0, rowTop);
            } else if (useColumns) {
                const bool lines = (PaintOptions & poGridLines) && HasPaintOption(toShowVertGridLines) &&
                                   HasPaintOption(toFullVertGridLines);
                int right = 0;
                TGTPaintInfo lineInfo;
                lineInfo.Canvas = &canvas;
                SetTextColor(dc, Rgb(FColors->GridLineColor()));
                for (TGridTreeColumn* column : columns.VisibleColumnList()) {
                    RECT r{column->ColumnLeft(), 0, column->ColumnLeft() + column->Width(), height};
                    right = r.right;
                    if (lines) --r.right;
                    classlib::TColor color = (column->Options() & coParentColor) ? Color() : column->Color();
                    Fill(dc, r, Rgb(color));
                    if (lines) DrawDottedVLine(lineInfo, 0, height - 1, r.right);
                }
                Fill(dc, RECT{right, 0, std::max<int>(right, Window.right), height}, Rgb(Color()));
            } else {
                Fill(dc, area, Rgb(Color()));
            }
        }
        if (useSelectionRect) {
            RECT r = band;
            OffsetRect(&r, 0, -rowTop);
            PaintSelectionRectangle(canvas, Window.left, r, area);
        }
        BitBlt(targetDC, Target.x, Target.y + rowTop - Window.top, windowWidth, height, dc, Window.left, 0, SRCCOPY);
    }
    DoAfterPaint(TargetCanvas);
}

void TBaseGridTree::WMPaint(classlib::TMessage& Message) {
    // The area asked for: the whole client area when painting into a given DC, else the
    // window's update rectangle (read before painting validates it).
    if (Message.WParam || !HandleAllocated()) FUpdateRect = RECT{0, 0, FClientWidth, FClientHeight};
    else if (!GetUpdateRect(FHandle, &FUpdateRect, FALSE)) FUpdateRect = RECT{};
    TCustomControl::WMPaint(Message);
}

void TBaseGridTree::Paint() {
    RECT update = FUpdateRect;
    if (IsRectEmpty(&update)) return;
    classlib::TCanvas& canvas = Canvas();
    const int fixed = ColumnCount() > 0 ? FHeader->Columns().FixedColumnsWidth() : 0;
    if (fixed > 0) {
        // The fixed columns do not scroll sideways; the rest does.
        RECT window{0, 0, std::min(fixed, FClientWidth), FClientHeight};
        OffsetRect(&window, 0, -FOffsetY);
        PaintTree(canvas, window, POINT{0, 0}, WindowPaintOptions);
        if (FClientWidth > fixed) {
            RECT rest{fixed, 0, FClientWidth, FClientHeight};
            OffsetRect(&rest, -FOffsetX, -FOffsetY);
            PaintTree(canvas, rest, POINT{fixed, 0}, WindowPaintOptions);
        }
        return;
    }
    RECT window = update;
    OffsetRect(&window, -FOffsetX, -FOffsetY);
    PaintTree(canvas, window, POINT{update.left, update.top}, WindowPaintOptions);
}

// --- queries --------------------------------------------------------------------------

bool TBaseGridTree::ColumnIsEmpty(PGridNode Node, TColumnIndex Column) {
    bool empty = true;
    if (OnGetCellIsEmpty) OnGetCellIsEmpty(this, Node, Column, empty);
    return empty;
}

std::wstring TBaseGridTree::DoGetNodeHint(PGridNode Node, TColumnIndex Column,
                                          TGTTooltipLineBreakStyle& LineBreakStyle) {
    (void)Node;
    (void)Column;
    LineBreakStyle = hlbDefault;
    return Hint();
}

std::wstring TBaseGridTree::DoGetNodeTooltip(PGridNode Node, TColumnIndex Column,
                                             TGTTooltipLineBreakStyle& LineBreakStyle) {
    (void)Node;
    (void)Column;
    LineBreakStyle = hlbDefault;
    return Hint();
}

bool TBaseGridTree::IsNodeOfTree(const void* Node) const {
    if (!Node || Node == FRoot) return false;
    // Only addresses inside the node store are read; a node of the tree reaches the root
    // through parents that are nodes of the store too. A freed block has no parent.
    const auto* run = static_cast<const TGridNode*>(Node);
    for (uint32_t steps = 0; steps <= FRoot->SubtreeCount; ++steps) {
        if (!FStore->Holds(run)) return false;
        const TGridNode* parent = run->Parent;
        if (parent == FRoot) return true;
        if (!parent) return false;
        run = parent;
    }
    return false;
}

}  // namespace gridtree
