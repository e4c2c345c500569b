#include "controls/toolbar/ui/uitext.h"

#include <algorithm>
#include <cwctype>

#include "classlib/gdiguards.h"
#include "classlib/imagelist.h"
#include "classlib/scopeguard.h"
#include "controls/toolbar/themed/thmitemstate.h"
#include "controls/toolbar/themed/thmutils.h"
#include "controls/wide/conversions.h"

namespace ui {

using namespace classlib;

namespace {

int Width(const RECT& r) { return r.right - r.left; }
int Height(const RECT& r) { return r.bottom - r.top; }

bool SameFaceName(const wchar_t* a, const wchar_t* b) { return _wcsicmp(a, b) == 0; }

int CALLBACK NoteFontFound(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found) {
    *reinterpret_cast<bool*>(found) = true;
    return 0;
}

bool FontFaceExists(HDC dc, const std::wstring& face) {
    if (face.size() >= LF_FACESIZE) return false;
    LOGFONTW query{};
    query.lfCharSet = DEFAULT_CHARSET;
    face.copy(query.lfFaceName, face.size());
    bool found = false;
    EnumFontFamiliesExW(dc, &query, NoteFontFound, reinterpret_cast<LPARAM>(&found), 0);
    return found;
}

SIZE Extent(HDC dc, const std::wstring& text) {
    SIZE size{0, 0};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
    return size;
}

// The text without its '&' marks and the index (in the result) of the character after the
// last single '&', or -1.
std::wstring StripPrefixes(const std::wstring& text, int& accelerator) {
    std::wstring out;
    out.reserve(text.size());
    accelerator = -1;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != L'&') {
            out += text[i];
            continue;
        }
        if (++i >= text.size()) break;
        if (text[i] != L'&') accelerator = static_cast<int>(out.size());
        out += text[i];
    }
    return out;
}

struct TLayout {
    UINT Format;  // the format the caption was measured with (without DT_CALCRECT)
    int Height;
};

TLayout Layout(TCanvas& canvas, const RECT& rect, const std::wstring& caption, wide::TAlignment alignment,
               UINT format, int glyphWidth, int glyphHeight, bool glyphAboveCaption, bool pushedOffset,
               RECT& textRect, RECT& glyphRect, int orientation) {
    const bool hasGlyph = glyphWidth > 0 && glyphHeight > 0;
    const bool hasCaption = !caption.empty();
    const bool rotated = orientation != 0;
    int gapAcross = 0, gapDown = 0;
    if (hasGlyph && hasCaption) {
        gapAcross = rotated ? 1 : 4;
        gapDown = rotated ? 4 : 1;
    }
    format = CaptionLayoutFormat(alignment, format) & ~DT_CALCRECT;

    int textWidth = 0, textHeight = 0, height = 0;
    if (hasCaption) {
        RECT measure{0, 0, 1, 1};
        const bool ellipsis = (format & (DT_END_ELLIPSIS | DT_PATH_ELLIPSIS)) != 0;
        int available = Width(rect);
        if (ellipsis || (format & DT_WORDBREAK)) {
            if (hasGlyph && !glyphAboveCaption) available -= glyphWidth + gapAcross;
            available = std::max(available, 0);
            measure = RECT{0, 0, available, std::max(Height(rect), 1)};
        }
        bool measured = false;
        if (ellipsis && !rotated && (canvas.Font().Style() & fsBold)) {
            // Bold text measured by the text extent when it fits as it is.
            canvas.PrepareText();
            SIZE size;
            MeasureWideText(canvas.Handle(), DecodeUtf8Caption(caption), true, size);
            if (size.cx <= available) {
                textWidth = size.cx;
                textHeight = height = size.cy;
                measured = true;
            }
        }
        if (!measured) {
            height = DrawWideText(canvas, caption, measure, format | DT_CALCRECT, gldNone, clNone, orientation);
            textWidth = Width(measure);
            textHeight = Height(measure);
        }
    }

    int left = alignment == wide::taLeftJustify    ? rect.left
               : alignment == wide::taRightJustify ? rect.right - textWidth
                                                   : (rect.left + rect.right - textWidth) / 2;
    int top = (rect.top + rect.bottom - textHeight) / 2;
    glyphRect = RECT{};
    if (hasGlyph) {
        int glyphLeft, glyphTop;
        if (glyphAboveCaption) {
            glyphLeft = (rect.left + rect.right - glyphWidth) / 2;
            glyphTop = (rect.top + rect.bottom - (glyphHeight + gapDown + textHeight)) / 2;
            top = glyphTop + glyphHeight + gapDown;
        } else {
            glyphTop = (rect.top + rect.bottom - glyphHeight) / 2;
            switch (alignment) {
            case wide::taLeftJustify:
                glyphLeft = rect.left;
                left += glyphWidth + gapAcross;
                break;
            case wide::taRightJustify:
                glyphLeft = rect.right - glyphWidth;
                left -= glyphWidth + gapAcross;
                break;
            default:
                glyphLeft = (rect.left + rect.right - glyphWidth - textWidth - gapAcross) / 2;
                left = glyphLeft + glyphWidth + gapAcross;
                break;
            }
        }
        glyphRect = RECT{glyphLeft, glyphTop, glyphLeft + glyphWidth, glyphTop + glyphHeight};
        if (pushedOffset) OffsetRect(&glyphRect, 1, 1);
    }
    textRect = RECT{};
    if (hasCaption) {
        textRect = RECT{left, top, left + textWidth, top + textHeight};
        if (pushedOffset) OffsetRect(&textRect, 1, 1);
    }
    return TLayout{format, hasCaption ? height : 0};
}

}  // namespace

UINT CaptionLayoutFormat(wide::TAlignment alignment, UINT format) {
    if (alignment == wide::taRightJustify) return (format & ~(DT_CENTER | DT_RIGHT | DT_VCENTER)) | DT_RIGHT;
    return format & ~(DT_CENTER | DT_VCENTER);
}

// --- strings ----------------------------------------------------------------------------------

std::wstring StripAmpersands(const std::wstring& text) {
    std::wstring out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == L'&') {
            if (++i >= text.size()) break;
        }
        out += text[i];
    }
    return out;
}

std::wstring CutAtTab(const std::wstring& text) { return text.substr(0, text.find(L'\t')); }

std::wstring StripTrailingEllipsisOrColon(const std::wstring& text) {
    if (text.size() > 1 && text.back() == L':') return text.substr(0, text.size() - 1);
    if (text.size() > 3 && text.compare(text.size() - 3, 3, L"...") == 0) return text.substr(0, text.size() - 3);
    return text;
}

std::wstring DecodeUtf8Caption(const std::wstring& text) {
    static constexpr wchar_t kPrefix[] = L"utf8=";
    constexpr size_t kPrefixLength = 5;
    if (text.compare(0, kPrefixLength, kPrefix) != 0) return text;
    std::string bytes;
    bytes.reserve(text.size() - kPrefixLength);
    for (size_t i = kPrefixLength; i < text.size(); ++i) {
        const wchar_t c = text[i];
        if (c <= 0xFF)
            bytes += static_cast<char>(c);
        else
            bytes += wide::WideStringToUTF8(std::wstring(1, c));
    }
    return wide::UTF8ToWideString(bytes);
}

// --- text -------------------------------------------------------------------------------------

HFONT CreateRotatedFont(HDC dc, int angle) {
    LOGFONTW font{};
    HGDIOBJ current = GetCurrentObject(dc, OBJ_FONT);
    if (!current || !GetObjectW(current, sizeof(font), &font))
        GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof(font), &font);
    font.lfEscapement = angle;
    font.lfOrientation = angle;
    font.lfOutPrecision = OUT_TT_ONLY_PRECIS;
    // The old dialog faces are bitmap fonts that cannot turn: a TrueType face of the same
    // look takes their place at the height the DC shows now.
    if (SameFaceName(font.lfFaceName, L"MS Sans Serif") || SameFaceName(font.lfFaceName, L"Microsoft Sans Serif")) {
        std::wstring(L"Tahoma").copy(font.lfFaceName, LF_FACESIZE - 1);
        font.lfFaceName[6] = L'\0';
        TEXTMETRICW metrics{};
        GetTextMetricsW(dc, &metrics);
        if (font.lfHeight > 0)
            font.lfHeight = metrics.tmHeight;
        else if (font.lfHeight < 0)
            font.lfHeight = metrics.tmInternalLeading - metrics.tmHeight;
    }
    // A face with a vertical-writing twin turns with East Asian glyphs upright.
    const std::wstring face = font.lfFaceName;
    if (!face.empty() && face[0] != L'@' && face.size() <= 30 && FontFaceExists(dc, L"@" + face)) {
        const std::wstring twin = L"@" + face;
        twin.copy(font.lfFaceName, LF_FACESIZE - 1);
        font.lfFaceName[twin.size()] = L'\0';
    }
    return CreateFontIndirectW(&font);
}

int DrawRotatedText(HDC dc, const std::wstring& text, RECT& rect, int orientation, UINT format) {
    if (text.empty()) return 0;
    TGdiObject<HFONT> font(CreateRotatedFont(dc, orientation == 1 ? 900 : 2700));
    TSavedDC saved(dc);  // restores font, clipping and alignment before the font goes
    SelectObject(dc, font.Handle());
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    const int lineHeight = metrics.tmHeight;
    const int x = rect.left + (Width(rect) - lineHeight) / 2;

    int accelerator = -1;
    std::wstring shown = (format & DT_NOPREFIX) ? text : StripPrefixes(text, accelerator);
    if ((format & DT_END_ELLIPSIS) && shown.size() > 1 && Extent(dc, shown).cx > Height(rect)) {
        size_t length = shown.size();
        while (length > 1 && Extent(dc, shown.substr(0, length) + L"...").cx > Height(rect)) --length;
        shown = shown.substr(0, length) + L"...";
        if (accelerator >= static_cast<int>(length)) accelerator = -1;
    }
    const int textWidth = Extent(dc, shown).cx;
    if (format & DT_CALCRECT) {
        rect = RECT{rect.left, rect.top, rect.left + lineHeight, rect.top + textWidth};
        return lineHeight;
    }
    const int y = (format & DT_CENTER) ? rect.top + (Height(rect) - textWidth) / 2 : rect.top;
    if (!(format & DT_NOCLIP)) IntersectClipRect(dc, rect.left, rect.top, rect.right, rect.bottom);
    // Both alignments put the text in the column x .. x + line height, from y down.
    SetTextAlign(dc, orientation == 1 ? (TA_RIGHT | TA_TOP) : (TA_LEFT | TA_BOTTOM));
    TextOutW(dc, x, y, shown.c_str(), static_cast<int>(shown.size()));

    if (accelerator >= 0 && !(format & DT_HIDEPREFIX)) {
        const int before = Extent(dc, shown.substr(0, accelerator)).cx;
        const int width = Extent(dc, shown.substr(accelerator, 1)).cx;
        const TColor color = static_cast<TColor>(GetTextColor(dc));
        // The line lies between the baseline and the glyphs' feet, the same distance from the
        // cell's feet edge either way: text read downwards has its feet at the column's left
        // (x), text read upwards at its right (x + line height - 1).
        if (orientation == 1) {
            const int column = x + lineHeight - 1 - (metrics.tmDescent - 2);
            themed::PaintLine(dc, column, y + textWidth - before - width, column, y + textWidth - before, color);
        } else {
            const int column = x + metrics.tmDescent - 2;
            themed::PaintLine(dc, column, y + before, column, y + before + width, color);
        }
    }
    return lineHeight;
}

int DrawWideText(TCanvas& canvas, const std::wstring& text, RECT& rect, UINT format, TUiGlowDirection glow,
                 TColor glowColor, int orientation) {
    const std::wstring shown = DecodeUtf8Caption(text);
    TBrush& brush = canvas.Brush();
    const TBrushStyle oldStyle = brush.Style();
    const TColor oldColor = brush.Color();
    brush.SetStyle(bsClear);
    auto restore = ScopeExit([&] {
        brush.SetStyle(oldStyle);
        brush.SetColor(oldColor);
    });
    canvas.PrepareText();
    HDC dc = canvas.Handle();
    auto draw = [&](RECT& r) {
        if (orientation == 0) return DrawTextW(dc, shown.c_str(), static_cast<int>(shown.size()), &r, format);
        return DrawRotatedText(dc, shown, r, orientation, format);
    };

    if (!(format & DT_CALCRECT) && glow != gldNone) {
        static constexpr POINT kAll[4] = {{0, -1}, {0, 1}, {-1, 0}, {1, 0}};
        static constexpr POINT kTopLeft[1] = {{-1, -1}};
        static constexpr POINT kBottomRight[1] = {{1, 1}};
        const POINT* offsets = glow == gldAll ? kAll : glow == gldTopLeft ? kTopLeft : kBottomRight;
        const int count = glow == gldAll ? 4 : 1;
        SetTextColor(dc, ColorToRGB(glowColor));
        for (int i = 0; i < count; ++i) {
            RECT moved = rect;
            OffsetRect(&moved, offsets[i].x, offsets[i].y);
            draw(moved);
        }
        SetTextColor(dc, ColorToRGB(canvas.Font().Color()));
    }
    const int height = draw(rect);
    if (IsRectEmpty(&rect)) return 0;
    if ((format & DT_CALCRECT) && (canvas.Font().Style() & fsItalic)) rect.right += (canvas.Font().Size() / 8) * 2 + 1;
    return height;
}

void MeasureWideText(HDC dc, const std::wstring& text, bool stripAmpersands, SIZE& size) {
    size = Extent(dc, stripAmpersands ? StripAmpersands(text) : text);
}

// --- glyph and caption ------------------------------------------------------------------------

int LayoutGlyphAndText(TCanvas& canvas, const RECT& rect, const std::wstring& caption, wide::TAlignment alignment,
                       UINT format, int glyphWidth, int glyphHeight, bool glyphAboveCaption, bool pushedOffset,
                       RECT& textRect, RECT& glyphRect, int orientation) {
    return Layout(canvas, rect, caption, alignment, format, glyphWidth, glyphHeight, glyphAboveCaption, pushedOffset,
                  textRect, glyphRect, orientation)
        .Height;
}

int DrawGlyphAndText(TCanvas& canvas, const RECT& rect, const std::wstring& caption, wide::TAlignment alignment,
                     UINT format, TBitmap* glyph, bool glyphAboveCaption, bool pushedOffset, RECT& textRect,
                     RECT& glyphRect, int orientation, bool calcOnly, TColor glowColor, TUiGlowDirection glow) {
    const bool hasGlyph = glyph && !glyph->Empty();
    const TLayout layout = Layout(canvas, rect, caption, alignment, format, hasGlyph ? glyph->Width() : 0,
                                  hasGlyph ? glyph->Height() : 0, glyphAboveCaption, pushedOffset, textRect,
                                  glyphRect, orientation);
    if (calcOnly) return layout.Height;
    if (!caption.empty()) {
        RECT r = textRect;
        DrawWideText(canvas, caption, r, layout.Format, glow, glowColor, orientation);
    }
    if (hasGlyph) canvas.Draw(glyphRect.left, glyphRect.top, *glyph);
    return layout.Height;
}

int DrawImageAndText(TCanvas& canvas, const RECT& rect, const std::wstring& caption, wide::TAlignment alignment,
                     UINT format, TImageList* images, int imageIndex, bool glyphAboveCaption, bool pushedOffset,
                     RECT& textRect, RECT& glyphRect, int orientation, bool calcOnly, TColor glowColor,
                     TUiGlowDirection glow, bool themed, bool plainImage, int themedImageFlags) {
    const bool hasImage = images && imageIndex >= 0 && imageIndex < images->Count();
    const TLayout layout = Layout(canvas, rect, caption, alignment, format, hasImage ? images->Width() : 0,
                                  hasImage ? images->Height() : 0, glyphAboveCaption, pushedOffset, textRect,
                                  glyphRect, orientation);
    if (calcOnly) return layout.Height;
    if (!caption.empty()) {
        RECT r = textRect;
        DrawWideText(canvas, caption, r, layout.Format, glow, glowColor, orientation);
    }
    if (hasImage) {
        if (plainImage || !themed)
            images->Draw(canvas, glyphRect.left, glyphRect.top, imageIndex);
        else
            themed::PaintThemedImage(canvas, glyphRect, images, imageIndex, themedImageFlags);
    }
    return layout.Height;
}

}  // namespace ui
