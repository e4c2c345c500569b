#include "controls/wide/widelabel.h"

#include "classlib/gdiguards.h"
#include "controls/wide/widecontrols.h"

#include "controls/wide/widemenus.h"

#include <algorithm>

namespace wide {

using namespace classlib;

bool IsWideCharAccel(wchar_t ch, const std::wstring& caption) {
    std::wstring hot = WideHotKeyChar(caption);
    if (hot.empty() || ch == 0) return false;
    wchar_t a[2] = {hot[0], 0}, b[2] = {ch, 0};
    return CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, a, 1, b, 1) == CSTR_EQUAL;
}

TWideCustomLabel::TWideCustomLabel(TComponent* owner) : TGraphicControl(owner) {
    FWidth = 65;
    FHeight = 17;
}

void TWideCustomLabel::SetAutoSize(bool value) {
    FAutoSize = value;
    AdjustBounds();
}

void TWideCustomLabel::SetWordWrap(bool value) {
    FWordWrap = value;
    AdjustBounds();
    Invalidate();
}

void TWideCustomLabel::SetShowAccelChar(bool value) {
    FShowAccelChar = value;
    AdjustBounds();
    Invalidate();
}

void TWideCustomLabel::SetEllipsisPosition(TEllipsisPosition value) {
    FEllipsisPosition = value;
    Invalidate();
}

UINT TWideCustomLabel::TextFlags() const {
    UINT flags = DT_EXPANDTABS;
    if (FWordWrap) flags |= DT_WORDBREAK;
    if (Alignment == taRightJustify) flags |= DT_RIGHT;
    if (Alignment == taCenter) flags |= DT_CENTER;
    return flags;
}

std::wstring TWideCustomLabel::DrawCaption(HDC dc, RECT& rect, UINT flags) {
    std::wstring text = GetWideLabelText();
    if (((flags & DT_CALCRECT) && text.empty()) || (FShowAccelChar && text == L"&")) text += L' ';
    if (!FShowAccelChar) flags |= DT_NOPREFIX;
    TSelectedObject font(dc, Font().Handle());
    if (FEllipsisPosition != epNone && !FAutoSize) {
        flags &= ~(DT_EXPANDTABS | DT_CALCRECT);
        static const UINT kEllipsis[] = {0, DT_PATH_ELLIPSIS, DT_END_ELLIPSIS, DT_WORD_ELLIPSIS};
        flags |= kEllipsis[FEllipsisPosition];
        if (FWordWrap && (FEllipsisPosition == epEndEllipsis || FEllipsisPosition == epWordEllipsis)) {
            const std::wstring dots = L"...";
            SIZE dotsSize{};
            GetTextExtentPoint32W(dc, dots.c_str(), 3, &dotsSize);
            TEXTMETRICW tm{};
            GetTextMetricsW(dc, &tm);
            int clientHeight = rect.bottom - rect.top;
            std::wstring kept = text;
            bool cut = false;
            while (!kept.empty()) {
                std::wstring trial = cut ? kept + dots : kept;
                RECT r = rect;
                r.right -= dotsSize.cx;
                DrawTextW(dc, trial.c_str(), static_cast<int>(trial.size()), &r, (flags | DT_CALCRECT) & ~kEllipsis[FEllipsisPosition]);
                int h = r.bottom - r.top;
                if (h <= clientHeight || h <= tm.tmHeight) break;
                // Drop the last word (or the last character of a single word).
                size_t blank = kept.find_last_of(L" \t");
                if (blank != std::wstring::npos && blank > 0)
                    kept.resize(blank);
                else
                    kept.pop_back();
                while (!kept.empty() && (kept.back() == L' ' || kept.back() == L'\t')) kept.pop_back();
                cut = true;
            }
            if (cut && !kept.empty()) text = kept + dots;
        }
    }
    SetBkMode(dc, TRANSPARENT);
    if (flags & DT_CALCRECT) {
        DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &rect, flags);
    } else if (Enabled()) {
        SetTextColor(dc, ColorToRGB(Font().Color()));
        DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &rect, flags);
    } else {
        RECT r = rect;
        OffsetRect(&r, 1, 1);
        SetTextColor(dc, ColorToRGB(clBtnHighlight));
        DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r, flags);
        SetTextColor(dc, ColorToRGB(clBtnShadow));
        DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &rect, flags);
    }
    return text;
}

void TWideCustomLabel::DoDrawText(RECT& rect, UINT flags) { DrawCaption(Canvas().Handle(), rect, flags); }

void TWideCustomLabel::Paint() {
    RECT r = ClientRect();
    if (!Transparent) {
        Canvas().Brush().SetColor(Color());
        Canvas().Brush().SetStyle(bsSolid);
        Canvas().FillRect(r);
    }
    UINT flags = TextFlags();
    if (Layout != tlTop) {
        RECT calc = r;
        DoDrawText(calc, flags | DT_CALCRECT);
        int h = calc.bottom - calc.top;
        if (Layout == tlBottom)
            r.top = r.bottom - h;
        else
            r.top += (r.bottom - r.top - h) / 2;
    }
    DoDrawText(r, flags);
}

void TWideCustomLabel::AdjustBounds() {
    if (!FAutoSize || (ComponentState() & csLoading)) return;
    RECT r{0, 0, FWordWrap ? FWidth : 0, 0};
    DrawCaption(TWindowDC(nullptr).Handle(), r, TextFlags() | DT_CALCRECT);
    int left = FLeft;
    if (Alignment == taRightJustify && !FWordWrap) left += FWidth - r.right;
    FAdjusting = true;
    TGraphicControl::SetBounds(left, FTop, FWordWrap ? FWidth : r.right, r.bottom);
    FAdjusting = false;
}

void TWideCustomLabel::SetBounds(int left, int top, int width, int height) {
    TGraphicControl::SetBounds(left, top, width, height);
    if (FAutoSize && !FAdjusting) AdjustBounds();
}

void TWideCustomLabel::CMTextChanged(TMessage&) {
    Invalidate();
    AdjustBounds();
}

void TWideCustomLabel::CMHintShow(classlib::TMessage& m) {
    if (auto* info = reinterpret_cast<classlib::THintInfo*>(m.LParam)) PrepareWideHintInfo(*info);
    TGraphicControl::CMHintShow(m);
}

void TWideCustomLabel::CMFontChanged(TMessage& m) {
    TGraphicControl::CMFontChanged(m);
    AdjustBounds();
}

void TWideCustomLabel::WndProc(TMessage& m) {
    if (m.Msg == CM_DIALOGCHAR) {
        if (FocusControl && Enabled() && FShowAccelChar &&
            IsWideCharAccel(static_cast<wchar_t>(m.WParam), GetText()) && FocusControl->CanFocus()) {
            FocusControl->SetFocus();
            m.Result = 1;
        }
        return;
    }
    TGraphicControl::WndProc(m);
}

}  // namespace wide
