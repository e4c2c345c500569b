#include "controls/toolbar/tbcommon.h"

#include "classlib/gdiguards.h"
#include "classlib/regkey.h"
#include "classlib/runtime.h"

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <cwchar>
#include <cwctype>
#include <optional>
#include <vector>

namespace toolbar {

const wchar_t* const TBVersionBanner = L"Wendlar toolbar core version 1.0.0";

namespace {
// Drops the last character, a surrogate pair as a whole.
void PopChar(std::wstring& text) {
    if (text.empty()) return;
    text.pop_back();
    if (!text.empty() && IS_HIGH_SURROGATE(text.back())) text.pop_back();
}
}  // namespace

// --- integers and texts ------------------------------------------------------------------

int IntMax(int a, int b) { return b > a ? b : a; }

int IntMin(int a, int b) { return b < a ? b : a; }

int DivideRoundingAway(int a, int b) {
    int q = a / b;
    if (a % b != 0) {
        if (q < 0 || (q == 0 && ((a < 0) != (b < 0))))
            --q;
        else
            ++q;
    }
    return q;
}

int GetDCTextHeight(HDC dc) {
    TEXTMETRICW tm{};
    GetTextMetricsW(dc, &tm);
    return tm.tmHeight;
}

int PlainTextWidth(HDC dc, const std::wstring& text) {
    SIZE sz{};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &sz);
    return sz.cx;
}

int MeasureTextWidth(HDC dc, const std::wstring& text, bool stripAccel) {
    return PlainTextWidth(dc, stripAccel ? RemoveAccelMarks(text) : text);
}

std::wstring RemoveAccelMarks(const std::wstring& text) {
    std::wstring r;
    r.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == L'&') {
            // The character after the mark is kept as it is, whatever it is.
            if (++i >= text.size()) break;
        }
        r += text[i];
    }
    return r;
}

std::wstring DoubleAccelMarks(const std::wstring& text) {
    std::wstring r;
    r.reserve(text.size() + 4);
    for (wchar_t c : text) {
        r += c;
        if (c == L'&') r += L'&';
    }
    return r;
}

std::wstring TrimCaptionSuffix(const std::wstring& text) {
    if (text.size() > 1 && text.back() == L':') return text.substr(0, text.size() - 1);
    if (text.size() > 3 && text.compare(text.size() - 3, 3, L"...") == 0) return text.substr(0, text.size() - 3);
    return text;
}

wchar_t AcceleratorCharOf(const std::wstring& caption) {
    wchar_t result = 0;
    for (size_t i = 0; i < caption.size(); ++i) {
        if (caption[i] != L'&') continue;
        if (i + 1 >= caption.size()) break;
        ++i;
        if (caption[i] != L'&') result = caption[i];
    }
    return result;
}

// --- lists -------------------------------------------------------------------------------

static void QuickSort(std::vector<void*>& list, int l, int r, const TListSortCompareWithData& compare, void* data) {
    while (l < r) {
        int i = l, j = r;
        void* pivot = list[static_cast<size_t>((l + r) / 2)];
        while (i <= j) {
            while (compare(list[static_cast<size_t>(i)], pivot, data) < 0) ++i;
            while (compare(list[static_cast<size_t>(j)], pivot, data) > 0) --j;
            if (i <= j) {
                std::swap(list[static_cast<size_t>(i)], list[static_cast<size_t>(j)]);
                ++i;
                --j;
            }
        }
        if (l < j) QuickSort(list, l, j, compare, data);
        l = i;
    }
}

void SortListWithData(std::vector<void*>& list, const TListSortCompareWithData& compare, void* data) {
    if (list.size() < 2) return;
    QuickSort(list, 0, static_cast<int>(list.size()) - 1, compare, data);
}

static bool Listed(const std::vector<void*>& list, void* item) {
    for (void* p : list)
        if (p == item) return true;
    return false;
}

bool AddToLazyList(std::vector<void*>*& list, void* item) {
    if (!list) list = new std::vector<void*>();
    if (Listed(*list, item)) return false;
    list->push_back(item);
    return true;
}

bool InsertFirstInLazyList(std::vector<void*>*& list, void* item) {
    if (!list) list = new std::vector<void*>();
    if (Listed(*list, item)) return false;
    list->insert(list->begin(), item);
    return true;
}

void RemoveFromLazyList(std::vector<void*>*& list, void* item) {
    if (!list) return;
    for (auto it = list->begin(); it != list->end(); ++it)
        if (*it == item) {
            list->erase(it);
            break;
        }
    if (list->empty()) {
        delete list;
        list = nullptr;
    }
}

// --- messages and painting ---------------------------------------------------------------

namespace {

struct PrintOwnedData {
    HWND Owner;
    HDC DC;
    LPARAM Flags;
};

void PrintWindowAt(HWND parent, HWND child, HDC dc, LPARAM flags) {
    RECT r;
    GetWindowRect(child, &r);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
    classlib::TSavedDC saved(dc);
    POINT org;
    GetWindowOrgEx(dc, &org);
    SetWindowOrgEx(dc, org.x - r.left, org.y - r.top, nullptr);
    IntersectClipRect(dc, 0, 0, r.right - r.left, r.bottom - r.top);
    SendMessageW(child, WM_PRINT, reinterpret_cast<WPARAM>(dc), flags);
}

BOOL CALLBACK PrintOwnedProc(HWND wnd, LPARAM param) {
    auto* d = reinterpret_cast<PrintOwnedData*>(param);
    if (GetWindow(wnd, GW_OWNER) == d->Owner && IsWindowVisible(wnd)) PrintWindowAt(d->Owner, wnd, d->DC, d->Flags);
    return TRUE;
}

}  // namespace

LRESULT HandlePrintMessage(HWND wnd, WPARAM dcParam, LPARAM flags, TBarNCPaintProc ncPaint, LPARAM appData) {
    HDC dc = reinterpret_cast<HDC>(dcParam);
    if ((flags & PRF_CHECKVISIBLE) && !IsWindowVisible(wnd)) return 1;
    classlib::TSavedDC saved(dc);
    if ((flags & PRF_NONCLIENT) && ncPaint) {
        classlib::TSavedDC nc(dc);
        ncPaint(wnd, dc, appData);
    }
    RECT wr;
    GetWindowRect(wnd, &wr);
    POINT co{0, 0};
    ClientToScreen(wnd, &co);
    const int ox = co.x - wr.left, oy = co.y - wr.top;
    if (flags & PRF_CLIENT) {
        auto moved = [&](UINT msg, WPARAM w, LPARAM l) {
            classlib::TSavedDC client(dc);
            if (flags & PRF_NONCLIENT) {
                POINT org;
                GetWindowOrgEx(dc, &org);
                SetWindowOrgEx(dc, org.x - ox, org.y - oy, nullptr);
            }
            SendMessageW(wnd, msg, w, l);
        };
        if (flags & PRF_ERASEBKGND) moved(WM_ERASEBKGND, dcParam, 0);
        moved(WM_PRINTCLIENT, dcParam, flags);
    }
    if (flags & PRF_NONCLIENT) {
        POINT org;
        GetWindowOrgEx(dc, &org);
        SetWindowOrgEx(dc, org.x - ox, org.y - oy, nullptr);
    }
    if (flags & PRF_CHILDREN) {
        for (HWND c = GetWindow(wnd, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
            if (GetParent(c) == wnd && (GetWindowLongPtrW(c, GWL_STYLE) & WS_VISIBLE))
                PrintWindowAt(wnd, c, dc, PRF_NONCLIENT | PRF_CLIENT | PRF_ERASEBKGND | PRF_CHILDREN);
    }
    if (flags & PRF_OWNED) {
        PrintOwnedData d{wnd, dc, flags};
        EnumWindows(PrintOwnedProc, reinterpret_cast<LPARAM>(&d));
    }
    return 1;
}

LRESULT HandlePrintClientMessage(classlib::TControl* control, WPARAM dcParam) {
    HDC dc = reinterpret_cast<HDC>(dcParam);
    if (!control || !dc) return 0;
    classlib::TSavedDC saved(dc);
    control->Perform(WM_PAINT, dcParam, 0);
    return 0;
}

void FlushPaintMessages() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, WM_PAINT, WM_PAINT, PM_NOREMOVE)) {
        BOOL r = GetMessageW(&msg, nullptr, WM_PAINT, WM_PAINT);
        if (r == -1) break;
        if (r == 0) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        DispatchMessageW(&msg);
    }
}

void DiscardMessageRange(UINT first, UINT last) {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, first, last, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
    }
}

void ClipToNCUpdateRegion(HWND wnd, HDC dc, HRGN rgn) {
    if (reinterpret_cast<ULONG_PTR>(rgn) <= 1) return;
    RECT wr;
    GetWindowRect(wnd, &wr);
    if (SelectClipRgn(dc, rgn) == ERROR) {
        classlib::TGdiObject<HRGN> whole(CreateRectRgnIndirect(&wr));
        SelectClipRgn(dc, whole.Handle());
    }
    OffsetClipRgn(dc, -wr.left, -wr.top);
}

HDC MeasuringDC() {
    thread_local classlib::TMemoryDC dc;
    return dc.Handle();
}

HRGN CreateEmptyRegion() { return CreateRectRgn(0, 0, 0, 0); }

HBRUSH CreateDragPatternBrush() {
    WORD bits[8];
    for (int i = 0; i < 8; ++i) bits[i] = (i % 2 == 0) ? 0x5555 : 0xAAAA;
    classlib::TGdiObject<HBITMAP> bmp(CreateBitmap(8, 8, 1, 1, bits));
    return CreatePatternBrush(bmp.Handle());
}

static HRGN FrameRegion(const RECT* r, SIZE size) {
    if (!r) return CreateEmptyRegion();
    HRGN outer = CreateRectRgnIndirect(r);
    RECT in = *r;
    InflateRect(&in, -size.cx, -size.cy);
    IntersectRect(&in, &in, r);
    classlib::TGdiObject<HRGN> inner(CreateRectRgnIndirect(&in));
    CombineRgn(outer, outer, inner.Handle(), RGN_XOR);
    return outer;
}

void PaintDragFrame(HDC dc, const RECT* newRect, const RECT* oldRect, SIZE newSize, SIZE oldSize) {
    classlib::TGdiObject<HRGN> n(FrameRegion(newRect, newSize));
    classlib::TGdiObject<HRGN> o(FrameRegion(oldRect, oldSize));
    classlib::TGdiObject<HRGN> x(CreateEmptyRegion());
    CombineRgn(x.Handle(), n.Handle(), o.Handle(), RGN_XOR);
    classlib::TGdiObject<HBRUSH> brush(CreateDragPatternBrush());
    classlib::TSavedDC saved(dc);
    SelectClipRgn(dc, x.Handle());
    RECT box;
    GetClipBox(dc, &box);
    SelectObject(dc, brush.Handle());
    PatBlt(dc, box.left, box.top, box.right - box.left, box.bottom - box.top, PATINVERT);
}

// --- mouse tracking ----------------------------------------------------------------------

bool RequestMouseTracking(HWND wnd, DWORD flags) {
    TRACKMOUSEEVENT t{};
    t.cbSize = sizeof t;
    t.dwFlags = flags;
    t.hwndTrack = wnd;
    t.dwHoverTime = 0;
    return TrackMouseEvent(&t) != FALSE;
}

// --- system settings ---------------------------------------------------------------------

namespace {
std::atomic<int> MenuDelayCache{0};
std::atomic<bool> MenuDelayCached{false};
}  // namespace

LSTATUS ReadBoundedRegString(HKEY key, const wchar_t* name, DWORD maxBytes, std::wstring& text, DWORD& type) {
    text.clear();
    type = REG_NONE;
    std::vector<wchar_t> buffer(maxBytes / sizeof(wchar_t) + 1, L'\0');
    DWORD size = maxBytes;
    const LSTATUS r = RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()), &size);
    if (r != ERROR_SUCCESS) return r;
    // Only the bytes the read gave count, whole characters only; the text ends at a NUL.
    const size_t chars = std::min<DWORD>(size, maxBytes) / sizeof(wchar_t);
    text.assign(buffer.data(), chars);
    const size_t nul = text.find(L'\0');
    if (nul != std::wstring::npos) text.resize(nul);
    return r;
}

int ReadMenuDelayFromKey(HKEY root, const wchar_t* subKey) {
    classlib::TRegKey key;
    if (key.Open(root, subKey, KEY_READ) != ERROR_SUCCESS) return 400;
    std::wstring text;
    DWORD type = 0;
    const LSTATUS r = ReadBoundedRegString(key.Get(), L"MenuShowDelay", 32, text, type);
    if (r == ERROR_FILE_NOT_FOUND) return 400;
    if (r != ERROR_SUCCESS || type != REG_SZ) return 0;
    // Decimal integer with optional sign and surrounding blanks; anything else is 0.
    const wchar_t* p = text.c_str();
    while (*p == L' ') ++p;
    wchar_t* end = nullptr;
    long v = std::wcstol(p, &end, 10);
    if (end == p) return 0;
    while (*end == L' ') ++end;
    if (*end != 0) return 0;
    if (v > 0x7FFFFFFFL || v < -0x7FFFFFFFL - 1) return 0;
    return static_cast<int>(v);
}

int ReadRegistryMenuDelay() { return ReadMenuDelayFromKey(HKEY_CURRENT_USER, L"Control Panel\\Desktop"); }

int QueryMenuShowDelay() {
    int v = 0;
    if (!SystemParametersInfoW(SPI_GETMENUSHOWDELAY, 0, &v, 0)) {
        if (!MenuDelayCached.load()) {
            MenuDelayCache.store(ReadRegistryMenuDelay());
            MenuDelayCached.exchange(true);
        }
        v = MenuDelayCache.load();
    }
    return v < 0 ? 0 : v;
}

bool FlatMenusActive() {
    BOOL v = FALSE;
    return SystemParametersInfoW(SPI_GETFLATMENU, 0, &v, 0) && v;
}

bool KeyboardCuesShown() {
    BOOL v = FALSE;
    return !SystemParametersInfoW(SPI_GETKEYBOARDCUES, 0, &v, 0) || v;
}

bool SoundSchemeHasSound(const std::wstring& eventName) {
    return SoundSchemeKeyHasSound(HKEY_CURRENT_USER, L"AppEvents\\Schemes\\Apps\\.Default\\" + eventName + L"\\.Current");
}

bool SoundSchemeKeyHasSound(HKEY root, const std::wstring& subKey) {
    classlib::TRegKey key;
    if (key.Open(root, subKey, KEY_READ) != ERROR_SUCCESS) return false;
    std::wstring text;
    DWORD type = 0;
    // A sound file name of any length: a value longer than the few bytes read still counts.
    const LSTATUS r = ReadBoundedRegString(key.Get(), nullptr, 8, text, type);
    if (type != REG_SZ && type != REG_EXPAND_SZ) return false;
    return r == ERROR_MORE_DATA || (r == ERROR_SUCCESS && !text.empty());
}

UINT KeyboardLayoutCodePage() {
    LANGID lang = LOWORD(reinterpret_cast<ULONG_PTR>(GetKeyboardLayout(0)));
    wchar_t buf[8] = {};
    if (!GetLocaleInfoW(MAKELCID(lang, SORT_DEFAULT), LOCALE_IDEFAULTANSICODEPAGE, buf, 8)) return 0;
    wchar_t* end = nullptr;
    unsigned long cp = std::wcstoul(buf, &end, 10);
    if (end == buf || *end != 0 || cp > 0xFFFF) return 0;
    return IsValidCodePage(static_cast<UINT>(cp)) ? static_cast<UINT>(cp) : 0;
}

bool IsAnyWindowActive() { return GetActiveWindow() != nullptr; }

// --- screen and monitors -----------------------------------------------------------------

bool HasMultipleMonitors() {
    int n = GetSystemMetrics(SM_CMONITORS);
    return n != 0 && n != 1;
}

RECT GetScreenOrWorkArea(bool workArea) {
    RECT r{};
    if (workArea && SystemParametersInfoW(SPI_GETWORKAREA, 0, &r, 0)) return r;
    return RECT{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
}

static RECT MonitorRect(HMONITOR mon, bool workArea) {
    MONITORINFO mi{};
    mi.cbSize = sizeof mi;
    if (mon && GetMonitorInfoW(mon, &mi)) return workArea ? mi.rcWork : mi.rcMonitor;
    return GetScreenOrWorkArea(workArea);
}

RECT GetMonitorRectFromRect(const RECT& rect, bool workArea) {
    if (!HasMultipleMonitors()) return GetScreenOrWorkArea(workArea);
    return MonitorRect(MonitorFromRect(&rect, MONITOR_DEFAULTTONEAREST), workArea);
}

RECT GetMonitorRectFromPoint(POINT point, bool workArea) {
    if (!HasMultipleMonitors()) return GetScreenOrWorkArea(workArea);
    return MonitorRect(MonitorFromPoint(point, MONITOR_DEFAULTTONEAREST), workArea);
}

// --- turned text ------------------------------------------------------------------------

namespace {

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

void SetFaceName(LOGFONTW& font, const std::wstring& face) {
    const size_t n = face.copy(font.lfFaceName, LF_FACESIZE - 1);
    font.lfFaceName[n] = L'\0';
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

}  // namespace

HFONT CreateTurnedFont(HDC dc, int angle, const wchar_t* dialogFace) {
    LOGFONTW font{};
    HGDIOBJ current = GetCurrentObject(dc, OBJ_FONT);
    if (!current || !GetObjectW(current, sizeof(font), &font))
        GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof(font), &font);
    font.lfEscapement = angle;
    font.lfOrientation = angle;
    font.lfOutPrecision = OUT_TT_ONLY_PRECIS;
    // The old dialog faces are bitmap fonts that cannot turn: a TrueType face of the same
    // look takes their place at the height the DC shows now.
    if (_wcsicmp(font.lfFaceName, L"MS Sans Serif") == 0 || _wcsicmp(font.lfFaceName, L"Microsoft Sans Serif") == 0) {
        SetFaceName(font, dialogFace);
        TEXTMETRICW metrics{};
        GetTextMetricsW(dc, &metrics);
        if (font.lfHeight > 0)
            font.lfHeight = metrics.tmHeight;
        else if (font.lfHeight < 0)
            font.lfHeight = metrics.tmInternalLeading - metrics.tmHeight;
    }
    // A face with a vertical-writing twin turns with East Asian glyphs upright.
    const std::wstring face = font.lfFaceName;
    if (!face.empty() && face[0] != L'@' && face.size() <= 30 && FontFaceExists(dc, L"@" + face))
        SetFaceName(font, L"@" + face);
    return CreateFontIndirectW(&font);
}

int DrawTurnedText(HDC dc, const std::wstring& textIn, RECT& rect, UINT format, int angle,
                   const wchar_t* dialogFace) {
    if (textIn.empty()) return 0;
    const bool upward = angle == 900;
    classlib::TGdiObject<HFONT> font(CreateTurnedFont(dc, upward ? 900 : 2700, dialogFace));
    classlib::TGdiObject<HPEN> pen;
    classlib::TSavedDC saved(dc);  // restores font, pen, clipping and alignment before they go
    SelectObject(dc, font.Handle());
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    const int lineHeight = metrics.tmHeight;
    const int x = rect.left + (rect.right - rect.left - lineHeight) / 2;

    int accelerator = -1;
    std::wstring text = (format & DT_NOPREFIX) ? textIn : StripPrefixes(textIn, accelerator);
    const int avail = rect.bottom - rect.top;
    if ((format & DT_END_ELLIPSIS) && text.size() > 1 && PlainTextWidth(dc, text) > avail) {
        if (avail < 3) {
            text.resize(IS_HIGH_SURROGATE(text[0]) ? 2 : 1);
        } else {
            PopChar(text);
            while (text.size() >= 2 && PlainTextWidth(dc, text + L"...") > avail) PopChar(text);
        }
        if (accelerator >= static_cast<int>(text.size())) accelerator = -1;
        text += L"...";
    }
    const int textWidth = PlainTextWidth(dc, text);
    if (format & DT_CALCRECT) {
        rect = RECT{rect.left, rect.top, rect.left + lineHeight, rect.top + textWidth};
        return lineHeight;
    }
    const int y = (format & DT_CENTER) ? rect.top + (avail - textWidth) / 2 : rect.top;
    if (!(format & DT_NOCLIP)) IntersectClipRect(dc, rect.left, rect.top, rect.right, rect.bottom);
    // Both alignments put the text in the column x .. x + line height, from y down.
    SetTextAlign(dc, upward ? (TA_RIGHT | TA_TOP) : (TA_LEFT | TA_BOTTOM));
    TextOutW(dc, x, y, text.c_str(), static_cast<int>(text.size()));

    if (accelerator >= 0 && !(format & DT_HIDEPREFIX)) {
        const int before = PlainTextWidth(dc, text.substr(0, static_cast<size_t>(accelerator)));
        const int width = PlainTextWidth(dc, text.substr(static_cast<size_t>(accelerator), 1));
        // The line lies between the baseline and the glyphs' feet, the same distance from the
        // cell's feet edge either way: text read downwards has its feet at the column's left
        // (x), text read upwards at its right (x + line height - 1).
        const int column = upward ? x + lineHeight - 1 - (metrics.tmDescent - 2) : x + metrics.tmDescent - 2;
        const int from = upward ? y + textWidth - before - width : y + before;
        pen.Reset(CreatePen(PS_SOLID, 1, GetTextColor(dc)));
        SelectObject(dc, pen.Handle());
        MoveToEx(dc, column, from, nullptr);
        LineTo(dc, column, from + width);
    }
    return lineHeight;
}

HFONT CreateVerticalFont(HDC dc) { return CreateTurnedFont(dc, 2700, L"Arial"); }

void DrawVerticalText(HDC dc, const std::wstring& text, const RECT& rect, UINT flags) {
    RECT r = rect;
    DrawTurnedText(dc, text, r, flags & ~DT_CALCRECT, 2700, L"Arial");
}

}  // namespace toolbar
