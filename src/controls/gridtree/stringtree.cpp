// The string tree: texts asked from the owner, painted with alignment, ellipsis, wrapping
// and static text, and measured with a per-node cache of the main column's width.
#include "controls/gridtree/stringtree.h"

#include <algorithm>

#include "classlib/gdiguards.h"
#include "classlib/scopeguard.h"
#include "controls/gridtree/gridtree_services.h"

namespace gridtree {

namespace {

// A cell is at most 10000 pixels wide (a column's largest width) and every character
// takes at least one pixel: more characters of a text are never shown. Painting and
// measuring use only this many, so a huge value costs no more than a long one.
constexpr size_t MaxShownCharacters = 10000;

std::wstring ShownPart(const std::wstring& Text) {
    return Text.size() > MaxShownCharacters ? Text.substr(0, MaxShownCharacters) : Text;
}

UINT AlignmentFlag(TAlignment Alignment) {
    switch (Alignment) {
        case taRightJustify: return DT_RIGHT;
        case taCenter: return DT_CENTER;
        default: return DT_LEFT;
    }
}

}  // namespace

// --- options --------------------------------------------------------------------------

void TCustomStringTreeOptions::SetStringOptions(TGTStringOptions Value) {
    if (FStringOptions == Value) return;
    const TGTStringOptions changed = FStringOptions ^ Value;
    FStringOptions = Value;
    TBaseGridTree* tree = Owner();
    if ((changed & toShowStaticText) && tree && !tree->IsLoading() && tree->HasControlWindow()) tree->Invalidate();
}

void TCustomStringTreeOptions::AssignTo(TCustomGridTreeOptions& Dest) const {
    if (auto* strings = dynamic_cast<TCustomStringTreeOptions*>(&Dest)) strings->SetStringOptions(FStringOptions);
    TCustomGridTreeOptions::AssignTo(Dest);
}

// --- construction ---------------------------------------------------------------------

TCustomGridStringTree::TCustomGridStringTree(classlib::TComponent* Owner) : TBaseGridTree(Owner) {
    InstallOptions(CreateOptions());
    // Before the first node exists: 4 bytes per node for the cached width.
    FInternalDataOffset = AllocateInternalDataArea(sizeof(uint32_t));
    MeasureFont();
}

TCustomGridStringTree::~TCustomGridStringTree() {
    if (FRedirectedCanvas) RestoreFontChangeEvent(*FRedirectedCanvas);
}

std::unique_ptr<TCustomGridTreeOptions> TCustomGridStringTree::CreateOptions() {
    return std::make_unique<TCustomStringTreeOptions>(this);
}

void TCustomGridStringTree::SetDefaultText(const std::wstring& Value) {
    if (FDefaultText == Value) return;
    FDefaultText = Value;
    if (!IsLoading()) Invalidate();
}

uint32_t& TCustomGridStringTree::CachedWidth(PGridNode Node) const {
    return *reinterpret_cast<uint32_t*>(reinterpret_cast<std::byte*>(Node) + FInternalDataOffset);
}

void TCustomGridStringTree::ClearAllWidthCaches() {
    for (PGridNode node = GetFirstNoInit(); node; node = GetNextNoInit(node)) CachedWidth(node) = 0;
}

classlib::TCanvas& TCustomGridStringTree::MeasureCanvas() {
    if (FMeasureBitmap.Empty()) FMeasureBitmap.SetSize(1, 1);
    return FMeasureBitmap.Canvas();
}

void TCustomGridStringTree::MeasureFont() {
    classlib::TCanvas& canvas = MeasureCanvas();
    canvas.Font().Assign(Font());
    canvas.PrepareText();
    TEXTMETRICW metrics{};
    GetTextMetricsW(canvas.Handle(), &metrics);
    FTreeTextHeight = metrics.tmHeight;
    FTreeEllipsisWidth = canvas.TextWidth(L"...");
}

void TCustomGridStringTree::CMFontChanged(classlib::TMessage& Message) {
    TBaseGridTree::CMFontChanged(Message);
    if (FInternalDataOffset == 0) return;  // still being made
    MeasureFont();
    ClearAllWidthCaches();
}

bool TCustomGridStringTree::WindowMessage(classlib::TMessage& Message) {
    if (Message.Msg != WM_SETFONT) return TBaseGridTree::WindowMessage(Message);
    TCustomControl::WndProc(Message);
    MeasureFont();
    ClearAllWidthCaches();
    return true;
}

void TCustomGridStringTree::InitNode(PGridNode Node) {
    CachedWidth(Node) = 0;
    TBaseGridTree::InitNode(Node);
}

void TCustomGridStringTree::MainColumnChanged() {
    TBaseGridTree::MainColumnChanged();
    ClearAllWidthCaches();
}

RECT TCustomGridStringTree::InvalidateNode(PGridNode Node) {
    if (Node && Node != RootNode()) {
        CachedWidth(Node) = 0;
        Node->States &= ~vsHeightMeasured;
    }
    return TBaseGridTree::InvalidateNode(Node);
}

// --- texts ----------------------------------------------------------------------------

std::wstring TCustomGridStringTree::Text(PGridNode Node, TColumnIndex Column) {
    if (!Node) throw EGridTreeAssertion(L"Node must not be nil.");
    if (!(Node->States & vsInitialized)) InitNode(Node);
    std::wstring text = FDefaultText;
    DoGetText(Node, Column, ttNormal, text);
    return text;
}

void TCustomGridStringTree::SetText(PGridNode Node, TColumnIndex Column, const std::wstring& Value) {
    DoNewText(Node, Column, Value);
    InvalidateNode(Node);
}

void TCustomGridStringTree::DoGetText(PGridNode Node, TColumnIndex Column, TGSTTextType TextType, std::wstring& Text) {
    if (OnGetText) OnGetText(this, Node, Column, TextType, Text);
}

void TCustomGridStringTree::DoNewText(PGridNode Node, TColumnIndex Column, const std::wstring& Text) {
    if (OnNewText) OnNewText(this, Node, Column, Text);
    // The text's width may have changed.
    if (UpdateCount() == 0) UpdateHorizontalScrollBar(false);
}

void TCustomGridStringTree::DoPaintText(PGridNode Node, classlib::TCanvas& Canvas, TColumnIndex Column,
                                        TGSTTextType TextType) {
    if (OnPaintText) OnPaintText(this, Canvas, Node, Column, TextType);
}

std::wstring TCustomGridStringTree::DoShortenString(HDC DC, PGridNode Node, TColumnIndex Column, const std::wstring& S,
                                                    int Width, bool RightToLeft, int EllipsisWidth) {
    bool done = false;
    std::wstring result;
    if (OnShortenString) OnShortenString(this, DC, Node, Column, S, Width, RightToLeft, result, done);
    if (done) return result;
    return EllipsizeText(DC, S, Width, EllipsisWidth, RightToLeft);
}

void TCustomGridStringTree::DoTextDrawing(TGTPaintInfo& PaintInfo, const std::wstring& Text, RECT CellRect,
                                          UINT DrawFormat) {
    DrawTextW(PaintInfo.Canvas->Handle(), Text.c_str(), int(Text.size()), &CellRect, DrawFormat);
}

int TCustomGridStringTree::DoTextMeasuring(HDC DC, PGridNode Node, TColumnIndex Column, const std::wstring& Text) {
    (void)Node;
    (void)Column;
    SIZE size{};
    GetTextExtentPoint32W(DC, Text.c_str(), int(Text.size()), &size);
    return size.cx;
}

int TCustomGridStringTree::CalculateTextWidth(PGridNode Node, TColumnIndex Column, const std::wstring& Text) {
    int width = 2 * TextMargin();
    if (Text.empty()) return width;
    classlib::TCanvas& canvas = MeasureCanvas();
    canvas.Font().Assign(Font());
    DoPaintText(Node, canvas, Column, ttNormal);
    canvas.PrepareText();
    return width + DoTextMeasuring(canvas.Handle(), Node, Column, ShownPart(Text));
}

int TCustomGridStringTree::DoGetNodeWidth(PGridNode Node, TColumnIndex Column) {
    if (Column >= 0 && (Node->States & vsMultiline))
        if (TGridTreeColumn* column = Header().Columns().GetItem(Column)) return column->Width();
    if (Column != Header().MainColumn()) return CalculateTextWidth(Node, Column, Text(Node, Column));
    uint32_t& cached = CachedWidth(Node);
    if (cached == 0) cached = uint32_t(std::max(1, CalculateTextWidth(Node, Column, Text(Node, Column))));
    return int(cached);
}

bool TCustomGridStringTree::ColumnIsEmpty(PGridNode Node, TColumnIndex Column) {
    if (!Text(Node, Column).empty()) return false;
    return TBaseGridTree::ColumnIsEmpty(Node, Column);
}

std::wstring TCustomGridStringTree::DoGetNodeHint(PGridNode Node, TColumnIndex Column,
                                                  TGTTooltipLineBreakStyle& LineBreakStyle) {
    std::wstring hint = TBaseGridTree::DoGetNodeHint(Node, Column, LineBreakStyle);
    if (OnGetHint) OnGetHint(this, Node, Column, LineBreakStyle, hint);
    return hint;
}

std::wstring TCustomGridStringTree::DoGetNodeTooltip(PGridNode Node, TColumnIndex Column,
                                                     TGTTooltipLineBreakStyle& LineBreakStyle) {
    if (!OnGetHint) return Text(Node, Column);
    std::wstring hint;
    OnGetHint(this, Node, Column, LineBreakStyle, hint);
    return hint;
}

// --- painting -------------------------------------------------------------------------

void TCustomGridStringTree::RedirectFontChangeEvent(classlib::TCanvas& Canvas) {
    if (FRedirectedCanvas == &Canvas) return;
    if (FRedirectedCanvas) RestoreFontChangeEvent(*FRedirectedCanvas);
    FRedirectedCanvas = &Canvas;
    FPreviousFontChange = Canvas.Font().OnChange;
    Canvas.Font().OnChange = [this](classlib::TFont* Font) {
        FFontChanged = true;
        if (FPreviousFontChange) FPreviousFontChange(Font);
    };
}

void TCustomGridStringTree::RestoreFontChangeEvent(classlib::TCanvas& Canvas) {
    if (FRedirectedCanvas != &Canvas) return;
    Canvas.Font().OnChange = FPreviousFontChange;
    FPreviousFontChange = nullptr;
    FRedirectedCanvas = nullptr;
}

void TCustomGridStringTree::DoPaintNode(TGTPaintInfo& PaintInfo) {
    classlib::TCanvas& canvas = *PaintInfo.Canvas;
    RedirectFontChangeEvent(canvas);
    auto restore = classlib::ScopeExit([&] { RestoreFontChangeEvent(canvas); });
    std::wstring text = Text(PaintInfo.Node, PaintInfo.Column);
    if (!text.empty()) PaintNormalText(PaintInfo, std::move(text));
    if (Alignment() != taCenter && !(PaintInfo.Node->States & vsMultiline) &&
        (TreeOptions().StringOptions() & toShowStaticText)) {
        std::wstring staticText;
        DoGetText(PaintInfo.Node, PaintInfo.Column, ttStatic, staticText);
        if (!staticText.empty()) PaintStaticText(PaintInfo, std::move(staticText));
    }
}

void TCustomGridStringTree::PaintNormalText(TGTPaintInfo& PaintInfo, std::wstring Text) {
    classlib::TCanvas& canvas = *PaintInfo.Canvas;
    PGridNode node = PaintInfo.Node;
    canvas.Font().Assign(Font());
    if (HasPaintOption(toHotTrack) && node == FHotNode) {
        canvas.Font().SetStyle(canvas.Font().Style() | classlib::fsUnderline);
        canvas.Font().SetColor(Colors().HotColor());
    }
    const bool selectionDrawn = (PaintInfo.PaintOptions & poDrawSelection) &&
                                (PaintInfo.Column == FocusedColumn() || HasSelectionOption(toFullRowSelect));
    if (selectionDrawn) {
        const bool selected = (node->States & vsSelected) != 0;
        if (node == FDropTargetNode) {
            if (LastDropMode() == dmOnNode || selected) canvas.Font().SetColor(classlib::clHighlightText);
        } else if (selected && (Focused() || HasPaintOption(toPopupMode))) {
            canvas.Font().SetColor(classlib::clHighlightText);
        }
    }
    const bool disabled = (node->States & vsDisabled) || !Enabled();
    const bool rtl = PaintInfo.BidiMode != bdLeftToRight;
    RECT r = PaintInfo.ContentRect;
    canvas.TextFlags = 0;
    Text = ShownPart(Text);
    UINT format;
    if (node->States & vsMultiline) {
        r.left += TextMargin();
        r.right -= TextMargin();
        FFontChanged = false;
        DoPaintText(node, canvas, PaintInfo.Column, ttNormal);
        if (disabled) canvas.Font().SetColor(Colors().DisabledColor());
        format = DT_NOPREFIX | DT_WORDBREAK | DT_END_ELLIPSIS | DT_EDITCONTROL | AlignmentFlag(PaintInfo.Alignment);
    } else {
        r.left += TextMargin();
        r.right -= TextMargin();
        int ellipsisWidth = TreeEllipsisWidth();
        FFontChanged = false;
        DoPaintText(node, canvas, PaintInfo.Column, ttNormal);
        if (FFontChanged) {
            // The handler's font decides the widths of this cell.
            ellipsisWidth = 0;
            canvas.PrepareText();
            PaintInfo.NodeWidth = 2 * TextMargin() + DoTextMeasuring(canvas.Handle(), node, PaintInfo.Column, Text);
        }
        if (disabled) canvas.Font().SetColor(Colors().DisabledColor());
        format = DT_NOPREFIX | DT_VCENTER | DT_SINGLELINE;
        if (PaintInfo.Column < 0) {
            format |= AlignmentFlag(PaintInfo.Alignment);
        } else if (r.right - r.left < PaintInfo.NodeWidth - 2 * TextMargin()) {
            canvas.PrepareText();
            Text = DoShortenString(canvas.Handle(), node, PaintInfo.Column, Text, r.right - r.left, rtl, ellipsisWidth);
            // A shortened text fills its cell: only right alignment still shows.
            if (PaintInfo.Alignment == taRightJustify) format |= DT_RIGHT;
        } else {
            format |= AlignmentFlag(PaintInfo.Alignment);
        }
    }
    if (rtl) format |= DT_RTLREADING;
    HDC dc = canvas.Handle();
    canvas.PrepareText();
    SetBkMode(dc, (canvas.TextFlags & ETO_OPAQUE) ? OPAQUE : TRANSPARENT);
    DoTextDrawing(PaintInfo, Text, r, format);
}

void TCustomGridStringTree::PaintStaticText(TGTPaintInfo& PaintInfo, std::wstring Text) {
    classlib::TCanvas& canvas = *PaintInfo.Canvas;
    PGridNode node = PaintInfo.Node;
    canvas.Font().Assign(Font());
    if (HasSelectionOption(toFullRowSelect) && (PaintInfo.PaintOptions & poDrawSelection)) {
        const bool selected = (node->States & vsSelected) != 0;
        if (node == FDropTargetNode) {
            if (LastDropMode() == dmOnNode || selected) canvas.Font().SetColor(classlib::clHighlightText);
        } else if (selected && (Focused() || HasPaintOption(toPopupMode))) {
            canvas.Font().SetColor(classlib::clHighlightText);
        }
    }
    UINT format = DT_NOPREFIX | DT_VCENTER | DT_SINGLELINE;
    canvas.TextFlags = 0;
    DoPaintText(node, canvas, PaintInfo.Column, ttStatic);
    if ((node->States & vsDisabled) || !Enabled()) canvas.Font().SetColor(Colors().DisabledColor());
    RECT r = PaintInfo.ContentRect;
    if (PaintInfo.Alignment == taRightJustify) r.right -= PaintInfo.NodeWidth + TextMargin();
    else r.left += PaintInfo.NodeWidth + TextMargin();
    if (PaintInfo.BidiMode != bdLeftToRight) format |= DT_RTLREADING;
    HDC dc = canvas.Handle();
    canvas.PrepareText();
    SetBkMode(dc, (canvas.TextFlags & ETO_OPAQUE) ? OPAQUE : TRANSPARENT);
    Text = ShownPart(Text);
    DoTextDrawing(PaintInfo, Text, r, format);
}

TColumnIndex TCustomGridStringTree::AdjustPaintCellRect(TGTPaintInfo& PaintInfo) {
    TGridTreeColumns& columns = Header().Columns();
    TColumnIndex next = columns.NextVisibleColumn(PaintInfo.Column);
    if (!HasAutoOption(toAutoSpanColumns) || columns.Count() == 0 || PaintInfo.BidiMode != bdLeftToRight) return next;
    // Following empty cells lend their room to this one.
    while (next >= 0 && ColumnIsEmpty(PaintInfo.Node, next)) {
        TGridTreeColumn* column = columns.GetItem(next);
        if (column->BiDiMode() != bdLeftToRight) break;
        PaintInfo.CellRect.right += column->Width();
        next = columns.NextVisibleColumn(next);
    }
    return next;
}

// --- measuring for editors and multi-line rows ----------------------------------------

int TCustomGridStringTree::ComputeNodeHeight(PGridNode Node, TColumnIndex Column, const std::wstring* S) {
    const std::wstring text = ShownPart(S ? *S : Text(Node, Column));
    RECT r = GetDisplayRect(Node, Column, false, true);
    TGridTreeColumns& columns = Header().Columns();
    bool rtl = false;
    if (TGridTreeColumn* column = columns.GetItem(Column)) {
        rtl = column->UsesRightToLeft();
        // Following empty cells lend their room, as when the cell is painted.
        if (HasAutoOption(toAutoSpanColumns) && !rtl) {
            for (TColumnIndex next = columns.NextVisibleColumn(Column); next >= 0 && ColumnIsEmpty(Node, next);
                 next = columns.NextVisibleColumn(next)) {
                TGridTreeColumn* following = columns.GetItem(next);
                if (following->UsesRightToLeft()) break;
                r.right += following->Width();
            }
        }
    }
    classlib::TCanvas& canvas = MeasureCanvas();
    canvas.Font().Assign(Font());
    DoPaintText(Node, canvas, Column, ttNormal);
    canvas.PrepareText();
    UINT format = DT_TOP | DT_NOPREFIX | DT_CALCRECT | DT_WORDBREAK;
    if (rtl) format |= DT_RTLREADING | DT_RIGHT;
    DrawTextW(canvas.Handle(), text.c_str(), int(text.size()), &r, format);
    return r.bottom - r.top;
}

void TCustomGridStringTree::QueryNodeTextInfo(PGridNode Node, TColumnIndex Column, classlib::TFont& AFont, RECT& R,
                                              std::wstring& Text) {
    AFont.Assign(Font());
    classlib::TCanvas& canvas = MeasureCanvas();
    canvas.Font().Assign(AFont);
    RedirectFontChangeEvent(canvas);
    FFontChanged = false;
    {
        auto restore = classlib::ScopeExit([&] { RestoreFontChangeEvent(canvas); });
        DoPaintText(Node, canvas, Column, ttNormal);
    }
    int textHeight = TreeTextHeight();
    if (FFontChanged) {
        AFont.Assign(canvas.Font());
        canvas.PrepareText();
        TEXTMETRICW metrics{};
        GetTextMetricsW(canvas.Handle(), &metrics);
        textHeight = metrics.tmHeight;
    }
    Text = this->Text(Node, Column);
    R = GetDisplayRect(Node, Column, !(Node->States & vsMultiline), true);
    if (HasPaintOption(toShowHorzGridLines)) --R.bottom;
    const int grow = (R.top + textHeight - R.bottom) / 2;
    R.top -= grow;
    R.bottom += grow;
}

}  // namespace gridtree
