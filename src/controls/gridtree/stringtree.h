// The string tree: a grid tree whose cells show text the owner supplies on demand.
//
// The tree keeps no text. Every cell's text comes from OnGetText (or an overriding
// DoGetText) each time it is painted, measured, searched or copied; the width of each
// node's main-column text is the only thing cached (4 bytes per node, cleared when the node
// is invalidated or initialised again, when the font or the main column changes).
// Main thread only, like the base tree.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "controls/gridtree/basetree.h"

namespace gridtree {

enum TGSTTextType { ttNormal, ttStatic };

// Which nodes a text export takes, in tree order.
enum TGSTTextSourceType { tstAll, tstInitialized, tstSelected, tstCutCopySet, tstVisible };

using TGTStringOptions = uint8_t;
enum TGTStringOption : uint8_t {
    toSaveCaptions = 0x01,          // saved streams carry the main-column text
    toShowStaticText = 0x02,        // a second, static text follows the normal one
    toAutoAcceptEditChange = 0x04,  // leaving the editor accepts the change
};
constexpr TGTStringOptions DefaultStringOptions = toSaveCaptions | toAutoAcceptEditChange;

// The option sets of a string tree: the base tree's and StringOptions.
class TCustomStringTreeOptions : public TCustomGridTreeOptions {
public:
    using TCustomGridTreeOptions::TCustomGridTreeOptions;
    TGTStringOptions StringOptions() const { return FStringOptions; }
    void SetStringOptions(TGTStringOptions Value);
    // Into another string tree's options: StringOptions first, then the base sets.
    void AssignTo(TCustomGridTreeOptions& Dest) const override;

private:
    TGTStringOptions FStringOptions = DefaultStringOptions;
};
using TStringTreeOptions = TCustomStringTreeOptions;

using TGSTGetTextEvent = std::function<void(TBaseGridTree* Sender, PGridNode Node, TColumnIndex Column,
                                            TGSTTextType TextType, std::wstring& CellText)>;
using TGTPaintText = std::function<void(TBaseGridTree* Sender, classlib::TCanvas& TargetCanvas, PGridNode Node,
                                        TColumnIndex Column, TGSTTextType TextType)>;
using TGSTGetHintEvent =
    std::function<void(TBaseGridTree* Sender, PGridNode Node, TColumnIndex Column,
                       TGTTooltipLineBreakStyle& LineBreakStyle, std::wstring& HintText)>;
using TGSTNewTextEvent =
    std::function<void(TBaseGridTree* Sender, PGridNode Node, TColumnIndex Column, const std::wstring& NewText)>;
// Shortens S to TextSpace pixels on the DC; setting Done keeps Result, else the tree
// shortens S with an ellipsis itself.
using TGSTShortenStringEvent =
    std::function<void(TBaseGridTree* Sender, HDC TargetCanvas, PGridNode Node, TColumnIndex Column,
                       const std::wstring& S, int TextSpace, bool RightToLeft, std::wstring& Result, bool& Done)>;

class TCustomGridStringTree : public TBaseGridTree {
public:
    explicit TCustomGridStringTree(classlib::TComponent* Owner = nullptr);
    ~TCustomGridStringTree() override;

    TCustomStringTreeOptions& TreeOptions() { return static_cast<TCustomStringTreeOptions&>(TBaseGridTree::TreeOptions()); }
    void SetTreeOptions(const TCustomGridTreeOptions& Value) { TBaseGridTree::SetTreeOptions(Value); }

    // The text a cell has before OnGetText changes it ("Node" in a new tree).
    const std::wstring& DefaultText() const { return FDefaultText; }
    void SetDefaultText(const std::wstring& Value);
    // Height (tmHeight) of the control font and width of "..." in it.
    int TreeTextHeight() const { return FTreeTextHeight; }
    int TreeEllipsisWidth() const { return FTreeEllipsisWidth; }
    // Offset of the per-node width cache from the node's start.
    uint32_t InternalDataOffset() const { return FInternalDataOffset; }

    // The text of a cell (raises EGridTreeAssertion "Node must not be nil." for nullptr).
    std::wstring Text(PGridNode Node, TColumnIndex Column);
    // Hands a new text to the owner (OnNewText) and repaints the node.
    void SetText(PGridNode Node, TColumnIndex Column, const std::wstring& Value);
    std::wstring NodeText(PGridNode Node, TColumnIndex Column) override { return Text(Node, Column); }

    bool ColumnIsEmpty(PGridNode Node, TColumnIndex Column) override;
    std::wstring DoGetNodeHint(PGridNode Node, TColumnIndex Column, TGTTooltipLineBreakStyle& LineBreakStyle) override;
    std::wstring DoGetNodeTooltip(PGridNode Node, TColumnIndex Column,
                                  TGTTooltipLineBreakStyle& LineBreakStyle) override;
    RECT InvalidateNode(PGridNode Node) override;
    // The height the cell's text needs when wrapped into the cell (S: the cell's text when
    // null).
    int ComputeNodeHeight(PGridNode Node, TColumnIndex Column, const std::wstring* S = nullptr);
    // The font, rectangle and text an editor of the cell needs.
    void QueryNodeTextInfo(PGridNode Node, TColumnIndex Column, classlib::TFont& AFont, RECT& R,
                           std::wstring& Text);
    // Width of a cell's text plus the text margins, measured in the control font as
    // OnPaintText leaves it.
    int CalculateTextWidth(PGridNode Node, TColumnIndex Column, const std::wstring& Text);

    // Text exports of a set of nodes: an HTML table (UTF-8), RTF, separated ANSI text (tab
    // separated or CSV) and separated UTF-16 text; cells are the visible columns in display
    // order, or one per node without columns.
    std::string ContentToHTML(TGSTTextSourceType Source, const std::wstring& Caption = std::wstring());
    std::string ContentToRTF(TGSTTextSourceType Source);
    std::string ContentToText(TGSTTextSourceType Source, char Separator);
    std::wstring ContentToUnicode(TGSTTextSourceType Source, wchar_t Separator);
    // A new global block with the nodes in a clipboard format (text with its terminating
    // zero), or null for a format the string tree does not render.
    HGLOBAL ContentToClipboard(UINT Format, TGSTTextSourceType Source);
    HRESULT RenderOLEData(const FORMATETC& FormatEtcIn, STGMEDIUM& Medium, bool ForClipboard) override;

    TGSTGetTextEvent OnGetText;
    TGTPaintText OnPaintText;
    TGSTGetHintEvent OnGetHint;
    TGSTNewTextEvent OnNewText;
    TGSTShortenStringEvent OnShortenString;

protected:
    virtual void DoGetText(PGridNode Node, TColumnIndex Column, TGSTTextType TextType, std::wstring& Text);
    virtual void DoNewText(PGridNode Node, TColumnIndex Column, const std::wstring& Text);
    virtual void DoPaintText(PGridNode Node, classlib::TCanvas& Canvas, TColumnIndex Column, TGSTTextType TextType);
    virtual std::wstring DoShortenString(HDC DC, PGridNode Node, TColumnIndex Column, const std::wstring& S,
                                         int Width, bool RightToLeft, int EllipsisWidth);
    virtual void DoTextDrawing(TGTPaintInfo& PaintInfo, const std::wstring& Text, RECT CellRect, UINT DrawFormat);
    virtual int DoTextMeasuring(HDC DC, PGridNode Node, TColumnIndex Column, const std::wstring& Text);
    int DoGetNodeWidth(PGridNode Node, TColumnIndex Column) override;
    void DoPaintNode(TGTPaintInfo& PaintInfo) override;
    virtual void PaintNormalText(TGTPaintInfo& PaintInfo, std::wstring Text);
    virtual void PaintStaticText(TGTPaintInfo& PaintInfo, std::wstring Text);
    TColumnIndex AdjustPaintCellRect(TGTPaintInfo& PaintInfo) override;
    // The handler's answer, else 0 when the cell's text (focused column) starts with Text,
    // compared exactly.
    int DoIncrementalSearch(PGridNode Node, const std::wstring& Text) override;
    // The handler's editor, else a TStringEditLink.
    PGTEditLink DoCreateEditor(PGridNode Node, TColumnIndex Column) override;
    std::unique_ptr<TCustomGridTreeOptions> CreateOptions() override;
    void InitNode(PGridNode Node) override;
    void MainColumnChanged() override;
    void CMFontChanged(classlib::TMessage& Message) override;
    bool WindowMessage(classlib::TMessage& Message) override;
    // With toSaveCaptions, an initialised node's main-column text follows its base chunks.
    void WriteChunks(classlib::TStream& Stream, PGridNode Node) override;
    bool ReadChunk(classlib::TStream& Stream, int Version, PGridNode Node, int ChunkKind, int ChunkLength) override;

    // While OnPaintText may change a canvas, changes of its font set FFontChanged.
    void RedirectFontChangeEvent(classlib::TCanvas& Canvas);
    void RestoreFontChangeEvent(classlib::TCanvas& Canvas);
    bool FFontChanged = false;

private:
    // The nodes of a text source in tree order.
    TNodeArray ExportNodes(TGSTTextSourceType Source);
    // The text an export cell starts from: the owner's OnPaintText runs on Canvas first.
    void PrepareExportCell(classlib::TCanvas& Canvas, PGridNode Node, TColumnIndex Column);
    uint32_t& CachedWidth(PGridNode Node) const;
    void ClearAllWidthCaches();
    // Measures TreeTextHeight and TreeEllipsisWidth in the control font.
    void MeasureFont();
    // A canvas on a memory DC for measuring outside painting.
    classlib::TCanvas& MeasureCanvas();

    std::wstring FDefaultText = L"Node";
    int FTreeTextHeight = 0;
    int FTreeEllipsisWidth = 0;
    uint32_t FInternalDataOffset = 0;
    classlib::TBitmap FMeasureBitmap;
    classlib::TCanvas* FRedirectedCanvas = nullptr;
    std::function<void(classlib::TFont*)> FPreviousFontChange;
};

// The string tree as forms place it.
class TGridStringTree : public TCustomGridStringTree {
public:
    using TCustomGridStringTree::TCustomGridStringTree;
};

}  // namespace gridtree
