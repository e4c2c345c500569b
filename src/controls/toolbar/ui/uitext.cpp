#include "controls/toolbar/ui/uitext.h"

#include <algorithm>
#include <cwctype>

#include "classlib/gdiguards.h"
#include "classlib/imagelist.h"
#include "classlib/scopeguard.h"
#include "controls/toolbar/tbcommon.h"
#include "controls/toolbar/themed/thmitemstate.h"
#include "controls/toolbar/themed/thmutils.h"
#include "controls/wide/conversions.h"

namespace ui {

using namespace classlib;

namespace {

int Width(const RECT& r) { return r.right - r.left; }
int Height(const RECT& r) { return r.bottom - r.top; }

SIZE Extent(HDC dc, const std::wstring& text) {
    SIZE size{0, 0};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
    return size;
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

HFONT CreateRotatedFont(HDC dc, int angle) { return toolbar::CreateTurnedFont(dc, angle, L"Tahoma"); }

int DrawRotatedText(HDC dc, const std::wstring& text, RECT& rect, int orientation, UINT format) {
    return toolbar::DrawTurnedText(dc, text, rect, format, orientation == 1 ? 900 : 2700, L"Tahoma");
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
