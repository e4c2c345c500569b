// The string tree's text exports (HTML table, RTF, separated ANSI and UTF-16 text), their
// clipboard blocks, and the caption chunk of its streams.
//
// Every export walks its node source once to find the deepest level and once to write.
// Texts are appended to standard strings, which grow geometrically.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <functional>

#include "classlib/scopeguard.h"
#include "controls/gridtree/gridtree_dataobject.h"
#include "controls/gridtree/stringtree.h"

namespace gridtree {

namespace {

constexpr int CaptionChunk = 3;
const char NewLine[] = "\r\n";

// UTF-16 text in a code page's bytes.
std::string Narrow(const std::wstring& S, UINT CodePage) {
    if (S.empty()) return std::string();
    const int n = WideCharToMultiByte(CodePage, 0, S.data(), int(S.size()), nullptr, 0, nullptr, nullptr);
    std::string out(size_t(std::max(n, 0)), '\0');
    WideCharToMultiByte(CodePage, 0, S.data(), int(S.size()), out.data(), n, nullptr, nullptr);
    return out;
}

std::string Ansi(const std::wstring& S) { return Narrow(S, CP_ACP); }

std::string Utf8(const std::wstring& S) {
    // Unpaired surrogates are dropped; a pair becomes one 4-byte sequence.
    std::wstring clean;
    clean.reserve(S.size());
    for (size_t i = 0; i < S.size(); ++i) {
        const wchar_t c = S[i];
        if (c >= 0xD800 && c <= 0xDBFF) {
            if (i + 1 < S.size() && S[i + 1] >= 0xDC00 && S[i + 1] <= 0xDFFF) {
                clean += c;
                clean += S[++i];
            }
        } else if (!(c >= 0xDC00 && c <= 0xDFFF)) {
            clean += c;
        }
    }
    return Narrow(clean, CP_UTF8);
}

// Text placed inside HTML markup: the characters that would end it are written as
// references.
std::wstring HtmlEscaped(const std::wstring& S) {
    std::wstring out;
    out.reserve(S.size());
    for (wchar_t c : S) {
        if (c == L'<') out += L"&lt;";
        else if (c == L'&') out += L"&amp;";
        else if (c == L'"') out += L"&quot;";
        else out += c;
    }
    return out;
}

std::string HtmlColor(classlib::TColor Color) {
    const COLORREF c = classlib::ColorToRGB(Color);
    char text[8];
    std::snprintf(text, sizeof text, "#%02X%02X%02X", GetRValue(c), GetGValue(c), GetBValue(c));
    return text;
}

std::string HtmlStyle(const char* Name, classlib::TFont& Font) {
    std::string out = Name ? std::string(".") + Name + "{font:" : std::string(" style=\"{font:");
    if (Font.Style() & classlib::fsUnderline) out += " underline";
    if (Font.Style() & classlib::fsItalic) out += " italic";
    if (Font.Style() & classlib::fsBold) out += " bold";
    out += " " + std::to_string(Font.Size()) + "pt \"" + Utf8(HtmlEscaped(Font.Name())) + "\";";
    out += "color:" + HtmlColor(Font.Color()) + ";}";
    if (!Name) out += "\"";
    return out;
}

// The alignment a column shows with its reading order (right to left swaps the sides).
TAlignment ShownAlignment(TAlignment Alignment, bool RightToLeft) {
    if (!RightToLeft) return Alignment;
    if (Alignment == taLeftJustify) return taRightJustify;
    if (Alignment == taRightJustify) return taLeftJustify;
    return Alignment;
}

const char* HtmlAlign(TAlignment A) {
    return A == taRightJustify ? " align=right" : A == taCenter ? " align=center" : " align=left";
}

// One cell's text in separated output: quoted when it must be.
template <class S>
S QuotedCell(const S& Text, typename S::value_type Separator, bool QuoteQuotes) {
    using C = typename S::value_type;
    const bool hasQuote = Text.find(C('"')) != S::npos;
    if (Text.find(Separator) == S::npos && !(QuoteQuotes && hasQuote)) return Text;
    S out(1, C('"'));
    for (C c : Text) {
        out += c;
        if (c == C('"')) out += c;
    }
    out += C('"');
    return out;
}

}  // namespace

// --- stream chunk ----------------------------------------------------------------------

void TCustomGridStringTree::WriteChunks(classlib::TStream& Stream, PGridNode Node) {
    TBaseGridTree::WriteChunks(Stream, Node);
    if (!(TreeOptions().StringOptions() & toSaveCaptions) || Node == RootNode() || !(Node->States & vsInitialized))
        return;
    const std::wstring text = Text(Node, MainColumn());
    if (text.empty()) return;
    const int32_t head[2] = {CaptionChunk, int32_t(text.size() * 2)};
    Stream.WriteBuffer(head, sizeof head);
    Stream.WriteBuffer(text.data(), text.size() * 2);
}

bool TCustomGridStringTree::ReadChunk(classlib::TStream& Stream, int Version, PGridNode Node, int ChunkKind,
                                      int ChunkLength) {
    if (ChunkKind != CaptionChunk) return TBaseGridTree::ReadChunk(Stream, Version, Node, ChunkKind, ChunkLength);
    std::wstring text(size_t(ChunkLength) / 2, L'\0');
    if (!text.empty()) Stream.ReadBuffer(text.data(), text.size() * 2);
    SetText(Node, MainColumn(), text);
    return true;
}

// --- node sources ----------------------------------------------------------------------

TNodeArray TCustomGridStringTree::ExportNodes(TGSTTextSourceType Source) {
    TNodeArray nodes;
    switch (Source) {
        case tstAll:
            for (PGridNode run = GetFirst(); run; run = GetNext(run)) nodes.push_back(run);
            break;
        case tstInitialized:
            for (PGridNode run = GetFirstInitialized(); run; run = GetNextInitialized(run)) nodes.push_back(run);
            break;
        case tstSelected:
            nodes = GetSortedSelection(false);
            break;
        case tstCutCopySet:
            nodes = GetSortedCutCopySet(false);
            break;
        case tstVisible:
            for (PGridNode run = GetFirstVisible(); run; run = GetNextVisible(run)) nodes.push_back(run);
            break;
    }
    return nodes;
}

void TCustomGridStringTree::PrepareExportCell(classlib::TCanvas& Canvas, PGridNode Node, TColumnIndex Column) {
    Canvas.Font().Assign(Font());
    FFontChanged = false;
    DoPaintText(Node, Canvas, Column, ttNormal);
}

namespace {
struct TExportLayout {
    std::vector<TGridTreeColumn*> Columns;  // visible, in display order; empty: one cell
    TNodeArray Nodes;
    std::vector<uint32_t> Levels;
    uint32_t MaxLevel = 0;
};
}  // namespace

namespace {
TExportLayout MakeLayout(TCustomGridStringTree& Tree, TNodeArray Nodes) {
    TExportLayout layout;
    if (Tree.ColumnCount() > 0) layout.Columns = Tree.Header().Columns().VisibleColumnList();
    layout.Nodes = std::move(Nodes);
    for (PGridNode n : layout.Nodes) {
        layout.Levels.push_back(Tree.GetNodeLevel(n));
        layout.MaxLevel = std::max(layout.MaxLevel, layout.Levels.back());
    }
    return layout;
}
}  // namespace

// --- HTML ------------------------------------------------------------------------------

std::string TCustomGridStringTree::ContentToHTML(TGSTTextSourceType Source, const std::wstring& Caption) {
    const TExportLayout layout = MakeLayout(*this, ExportNodes(Source));
    const bool columns = !layout.Columns.empty();
    const TColumnIndex main = MainColumn();
    const std::string pad =
        "padding-left:" + std::to_string(Margin()) + "px;padding-right:" + std::to_string(Margin()) + "px;";
    const std::string line = LineStyle() == lsSolid ? "solid;" : "dotted;";
    std::string out;
    out += "<style type=\"text/css\">";
    out += NewLine;
    out += HtmlStyle("default", Font()) + NewLine;
    out += HtmlStyle("header", Header().Font()) + NewLine;
    if (HasPaintOption(toShowHorzGridLines))
        out += ".noborder{border-style:" + line + " border-bottom:1;border-left:0;border-right:0; border-top:0;";
    else
        out += ".noborder{border-style:none;";
    out += pad + "}" + NewLine;
    out += ".normalborder {border-top:none; border-left:none; ";
    out += HasPaintOption(toShowVertGridLines) ? "border-right:1 " + line : std::string("border-right:none;");
    out += HasPaintOption(toShowHorzGridLines) ? "border-bottom:1 " + line : std::string("border-bottom:none;");
    out += pad + "}";
    out += "</style>";
    out += NewLine;

    out += "<table class=\"default\" bgcolor=" + HtmlColor(Color()) + " ";
    if (!Caption.empty()) out += "caption=\"" + Utf8(HtmlEscaped(Caption)) + "\"";
    if (BorderStyle() != classlib::bsNone) out += " border=\"" + std::to_string(BorderWidth() + 1) + "\" frame=box";
    out += " cellspacing=\"0\" cellpadding=" + std::to_string(Margin()) + ">" + NewLine;

    if (columns) {
        out += "<tr class=\"header\" style=\"" + pad + "\">" + NewLine;
        for (TGridTreeColumn* column : layout.Columns) {
            const bool rtl = column->UsesRightToLeft();
            out += "<th height=\"" + std::to_string(Header().Height()) + "px\"";
            if (rtl) out += " dir=\"rtl\"";
            out += HtmlAlign(ShownAlignment(column->Alignment(), rtl));
            if (column->Index() == main && layout.MaxLevel > 0)
                out += " colspan=\"" + std::to_string(layout.MaxLevel + 1) + "\"";
            out += " bgcolor=" + HtmlColor(classlib::clBtnFace);
            out += " width=\"" + std::to_string(column->Width()) + "px\">";
            out += Utf8(HtmlEscaped(column->Text())) + "</th>";
        }
        out += std::string("</tr>") + NewLine;
    }

    classlib::TBitmap measure(1, 1, classlib::pf32bit);
    classlib::TCanvas& canvas = measure.Canvas();
    RedirectFontChangeEvent(canvas);
    auto restore = classlib::ScopeExit([&] { RestoreFontChangeEvent(canvas); });
    for (size_t i = 0; i < layout.Nodes.size(); ++i) {
        PGridNode node = layout.Nodes[i];
        const uint32_t level = layout.Levels[i];
        const std::string height = std::to_string(NodeHeight(node));
        out += std::string(" <tr class=\"default\">") + NewLine;
        const size_t cells = columns ? layout.Columns.size() : 1;
        for (size_t c = 0; c < cells; ++c) {
            TGridTreeColumn* column = columns ? layout.Columns[c] : nullptr;
            const TColumnIndex index = column ? column->Index() : NoColumn;
            PrepareExportCell(canvas, node, index);
            const bool parentColor = !column || (column->Options() & coParentColor);
            if (index == main) {
                for (uint32_t l = 0; l < level; ++l) {
                    if (parentColor)
                        out += l == 0 ? " <td height=\"" + height + "px\">&nbsp;</td>" : std::string(" <td>&nbsp;</td>");
                    else
                        out += "<td class=\"noborder\" width=\"" + std::to_string(Indent()) + "\" height=\"" + height +
                               "px\" bgcolor=" + HtmlColor(column->Color()) + ">&nbsp;</td>";
                }
            }
            if (FFontChanged) out += " <td class=\"normalborder\" " + HtmlStyle(nullptr, canvas.Font()) + " height=\"" + height;
            else out += " <td class=\"normalborder\"  height=\"" + height;
            out += "px\"";
            const bool rtl = column && column->UsesRightToLeft();
            if (rtl) out += " dir=\"rtl\"";
            out += HtmlAlign(column ? ShownAlignment(column->Alignment(), rtl) : Alignment());
            if (index == main && layout.MaxLevel > 0 && level < layout.MaxLevel)
                out += " colspan=\"" + std::to_string(layout.MaxLevel - level + 1) + "\"";
            if (column && !parentColor) out += " bgcolor=" + HtmlColor(column->Color());
            out += ">";
            out += Utf8(HtmlEscaped(Text(node, index)));
            out += "</td>";
        }
        out += std::string(" </tr>") + NewLine;
    }
    out += "</table>";
    return out;
}

// --- RTF -------------------------------------------------------------------------------

std::string TCustomGridStringTree::ContentToRTF(TGSTTextSourceType Source) {
    const TExportLayout layout = MakeLayout(*this, ExportNodes(Source));
    const bool columns = !layout.Columns.empty();
    const TColumnIndex main = MainColumn();
    std::vector<std::wstring> fonts;
    std::vector<COLORREF> colors;
    std::wstring currentFont;
    COLORREF currentColor = CLR_INVALID;
    int currentSize = -1;
    std::string body;
    auto units = [](const std::wstring& S) {
        std::string out;
        char unit[24];
        for (wchar_t c : S) {
            std::snprintf(unit, sizeof unit, "\\u%d\\'3f", int(int16_t(c)));
            out += unit;
        }
        return out;
    };
    auto textPlusFont = [&](const std::wstring& S, classlib::TFont& Font) {
        if (S.empty()) return;
        const classlib::TFontStyles style = Font.Style();
        if (style & classlib::fsUnderline) body += "\\ul";
        if (style & classlib::fsItalic) body += "\\i";
        if (style & classlib::fsBold) body += "\\b";
        auto f = std::find(fonts.begin(), fonts.end(), Font.Name());
        if (f == fonts.end() || Font.Name() != currentFont) {
            if (f == fonts.end()) f = fonts.insert(fonts.end(), Font.Name());
            body += "\\f" + std::to_string(f - fonts.begin());
            currentFont = Font.Name();
        }
        const COLORREF color = classlib::ColorToRGB(Font.Color());
        auto k = std::find(colors.begin(), colors.end(), color);
        if (k == colors.end() || color != currentColor) {
            if (k == colors.end()) k = colors.insert(colors.end(), color);
            body += "\\cf" + std::to_string(k - colors.begin() + 1);
            currentColor = color;
        }
        if (Font.Size() != currentSize) {
            body += "\\fs" + std::to_string(2 * Font.Size());
            currentSize = Font.Size();
        }
        body += " " + units(S);
        if (style & classlib::fsUnderline) body += "\\ul0";
        if (style & classlib::fsItalic) body += "\\i0";
        if (style & classlib::fsBold) body += "\\b0";
    };
    auto alignment = [](TAlignment A) { return A == taRightJustify ? "\\qr" : A == taCenter ? "\\qc" : ""; };

    HDC screen = GetDC(nullptr);
    const int ppi = std::max(1, GetDeviceCaps(screen, LOGPIXELSX));
    ReleaseDC(nullptr, screen);
    auto twips = [&](int Pixels) { return std::to_string(int64_t(std::nearbyint(double(Pixels) * 1440 / ppi))); };

    body += "\\uc1\\trowd\\trgaph70";
    if (columns) {
        int right = 0;
        for (TGridTreeColumn* column : layout.Columns) {
            right += column->Width();
            body += "\\cellx" + twips(right);
        }
    } else {
        body += "\\cellx" + twips(ClientWidth());
    }
    if (columns) {
        body += "\\pard\\intbl";
        for (TGridTreeColumn* column : layout.Columns) {
            body += alignment(ShownAlignment(column->Alignment(), column->UsesRightToLeft()));
            textPlusFont(column->Text(), Header().Font());
            body += "\\cell";
        }
        body += "\\row";
    }
    classlib::TBitmap measure(1, 1, classlib::pf32bit);
    classlib::TCanvas& canvas = measure.Canvas();
    for (size_t i = 0; i < layout.Nodes.size(); ++i) {
        PGridNode node = layout.Nodes[i];
        const size_t cells = columns ? layout.Columns.size() : 1;
        for (size_t c = 0; c < cells; ++c) {
            TGridTreeColumn* column = columns ? layout.Columns[c] : nullptr;
            const TColumnIndex index = column ? column->Index() : NoColumn;
            body += "\\pard\\intbl";
            body += alignment(column ? ShownAlignment(column->Alignment(), column->UsesRightToLeft()) : Alignment());
            PrepareExportCell(canvas, node, index);
            if (index == main && layout.Levels[i] >= 1) {
                for (uint32_t l = 0; l < layout.Levels[i]; ++l) body += "\\tab";
                body += " ";
            }
            textPlusFont(Text(node, index), canvas.Font());
            body += "\\cell";
        }
        body += "\\row";
    }
    body += "\\pard\\par";

    std::string out = "{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1043{\\fonttbl";
    for (size_t i = 0; i < fonts.size(); ++i) {
        // A font name outside ASCII is written as Unicode units, as the texts are.
        std::string name;
        for (wchar_t ch : fonts[i]) name += ch < 0x80 ? std::string(1, char(ch)) : units(std::wstring(1, ch));
        out += "{\\f" + std::to_string(i) + " " + name + ";}";
    }
    out += "}{\\colortbl;";
    for (COLORREF c : colors)
        out += "\\red" + std::to_string(GetRValue(c)) + "\\green" + std::to_string(GetGValue(c)) + "\\blue" +
               std::to_string(GetBValue(c)) + ";";
    out += "}" + body + "}";
    return out;
}

// --- separated text --------------------------------------------------------------------

namespace {
// The separated lines of both text exports; Convert turns a UTF-16 text into the output's
// characters, QuoteQuotes also quotes cells that hold a double quote.
template <class S, class Convert>
S SeparatedText(const TExportLayout& Layout, TColumnIndex Main, typename S::value_type Separator, bool QuoteQuotes,
                const Convert& ToOutput, const std::function<std::wstring(PGridNode, TColumnIndex)>& CellText) {
    using C = typename S::value_type;
    const S tabs(Layout.MaxLevel, Separator);
    const S newline = ToOutput(L"\r\n");
    S out;
    if (Layout.Columns.empty()) {
        for (size_t i = 0; i < Layout.Nodes.size(); ++i)
            out += tabs.substr(0, Layout.Levels[i]) + ToOutput(CellText(Layout.Nodes[i], NoColumn)) + newline;
        return out;
    }
    for (size_t c = 0; c < Layout.Columns.size(); ++c) {
        out += ToOutput(Layout.Columns[c]->Text());
        if (c + 1 < Layout.Columns.size()) out += Layout.Columns[c]->Index() == Main ? tabs + Separator : S(1, Separator);
    }
    out += newline;
    for (size_t i = 0; i < Layout.Nodes.size(); ++i) {
        const uint32_t level = Layout.Levels[i];
        for (size_t c = 0; c < Layout.Columns.size(); ++c) {
            const TColumnIndex index = Layout.Columns[c]->Index();
            const S cell = QuotedCell<S>(ToOutput(CellText(Layout.Nodes[i], index)), Separator, QuoteQuotes);
            if (index == Main) out += tabs.substr(0, level) + cell + tabs.substr(0, Layout.MaxLevel - level);
            else out += cell;
            if (c + 1 < Layout.Columns.size()) out += C(Separator);
        }
        out += newline;
    }
    return out;
}
}  // namespace

std::string TCustomGridStringTree::ContentToText(TGSTTextSourceType Source, char Separator) {
    const TExportLayout layout = MakeLayout(*this, ExportNodes(Source));
    return SeparatedText<std::string>(layout, MainColumn(), Separator, true, Ansi,
                                      [this](PGridNode N, TColumnIndex C) { return Text(N, C); });
}

std::wstring TCustomGridStringTree::ContentToUnicode(TGSTTextSourceType Source, wchar_t Separator) {
    const TExportLayout layout = MakeLayout(*this, ExportNodes(Source));
    // Cells with the separator are quoted, and then their quotes doubled, so that a reader
    // of the text can split it again.
    return SeparatedText<std::wstring>(layout, MainColumn(), Separator, false,
                                       [](const std::wstring& S) { return S; },
                                       [this](PGridNode N, TColumnIndex C) { return Text(N, C); });
}

// --- clipboard -------------------------------------------------------------------------

namespace {
HGLOBAL BlockOf(const void* Data, size_t Size) {
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT | GMEM_DDESHARE, Size);
    if (!block) return nullptr;
    if (void* p = GlobalLock(block)) {
        std::memcpy(p, Data, Size);
        GlobalUnlock(block);
    }
    return block;
}

std::string FormatName(UINT Format) {
    wchar_t name[256] = {};
    const int n = GetClipboardFormatNameW(Format, name, 255);
    return n > 0 ? Ansi(std::wstring(name, size_t(n))) : std::string();
}

// The system's HTML clipboard description around a fragment: a 97-byte header with the
// offsets (eight digits each), the document start, the fragment, the document end.
std::string WrapHtmlFragment(const std::string& Fragment) {
    const std::string before =
        "<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.0 Transitional//EN\">"
        "<html><head><META http-equiv=Content-Type content=\"text/html; charset=utf-8\"></head><body>"
        "<!--StartFragment-->";
    const std::string after = "<!--EndFragment--></body></html>";
    auto line = [](const char* Key, size_t Value) {
        char text[40];
        std::snprintf(text, sizeof text, "%s%.8d\r\n", Key, int(Value));
        return std::string(text);
    };
    const size_t headerSize = std::string("Version:1.0\r\n").size() + line("StartHTML:", 0).size() +
                              line("EndHTML:", 0).size() + line("StartFragment:", 0).size() +
                              line("EndFragment:", 0).size();
    const size_t startFragment = headerSize + before.size();
    const size_t endFragment = startFragment + Fragment.size();
    return "Version:1.0\r\n" + line("StartHTML:", headerSize) + line("EndHTML:", endFragment + after.size()) +
           line("StartFragment:", startFragment) + line("EndFragment:", endFragment) + before + Fragment + after;
}
}  // namespace

HGLOBAL TCustomGridStringTree::ContentToClipboard(UINT Format, TGSTTextSourceType Source) {
    if (Format == CF_TEXT) {
        const std::string text = ContentToText(Source, '\t');
        return BlockOf(text.c_str(), text.size() + 1);
    }
    if (Format == CF_UNICODETEXT) {
        const std::wstring text = ContentToUnicode(Source, L'\t');
        return BlockOf(text.c_str(), (text.size() + 1) * sizeof(wchar_t));
    }
    const std::string name = FormatName(Format);
    if (name == "CSV") {
        wchar_t list[4] = {};
        GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SLIST, list, 4);
        const std::string separator = Ansi(std::wstring(1, list[0] ? list[0] : L','));
        const std::string text = ContentToText(Source, separator.empty() ? ',' : separator[0]);
        return BlockOf(text.c_str(), text.size() + 1);
    }
    if (name == "Rich Text Format" || name == "Rich Text Format Without Objects") {
        const std::string text = ContentToRTF(Source);
        return BlockOf(text.c_str(), text.size() + 1);
    }
    if (name == "HTML Format") {
        const std::string text = WrapHtmlFragment(ContentToHTML(Source));
        return BlockOf(text.c_str(), text.size() + 1);
    }
    return nullptr;
}

HRESULT TCustomGridStringTree::RenderOLEData(const FORMATETC& FormatEtcIn, STGMEDIUM& Medium, bool ForClipboard) {
    const HRESULT base = TBaseGridTree::RenderOLEData(FormatEtcIn, Medium, ForClipboard);
    if (SUCCEEDED(base)) return base;
    if (!(FormatEtcIn.tymed & TYMED_HGLOBAL)) return base;
    try {
        HGLOBAL block = ContentToClipboard(FormatEtcIn.cfFormat, ForClipboard ? tstCutCopySet : tstSelected);
        if (!block) return base;
        Medium = STGMEDIUM{};
        Medium.tymed = TYMED_HGLOBAL;
        Medium.hGlobal = block;
        return S_OK;
    } catch (...) {
        ReportLater();
        return E_FAIL;
    }
}

}  // namespace gridtree
