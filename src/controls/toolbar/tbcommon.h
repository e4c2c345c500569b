// Free helpers shared by the toolbar and docking core, the themed layer and the themes:
// integer and caption-text helpers, lazy lists, paint-message helpers, system settings,
// monitor rectangles, mouse-leave tracking, the halftone drag outline and rotated text.
//
// None keeps state beyond a few caches filled once (the registry menu delay, the
// TrackMouseEvent entry point, each thread's measuring DC). Captions are UTF-16; an "&" marks the accelerator and
// "&&" is a literal ampersand. Everything here belongs to the main thread except the pure
// text and integer helpers, which any thread may call.
#pragma once

#include "classlib/control.h"

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace toolbar {

// --- integers and texts ----------------------------------------------------------------

// B when B > A, else A (signed).
int IntMax(int a, int b);
// B when B < A, else A (signed).
int IntMin(int a, int b);
// A / B rounded away from zero (7,3 -> 3; -7,3 -> -3). B must not be 0.
int DivideRoundingAway(int a, int b);

int GetDCTextHeight(HDC dc);
int MeasureTextWidth(HDC dc, const std::wstring& text, bool stripAccel);
int PlainTextWidth(HDC dc, const std::wstring& text);

// Deletes every "&" and keeps the character after it unexamined: "A&&B&C" -> "A&BC".
std::wstring RemoveAccelMarks(const std::wstring& text);
// Escapes every "&" as "&&".
std::wstring DoubleAccelMarks(const std::wstring& text);
// Drops a trailing ":" (text longer than one character) or "..." (longer than three).
std::wstring TrimCaptionSuffix(const std::wstring& text);
// The character after the last single "&", or 0.
wchar_t AcceleratorCharOf(const std::wstring& caption);

// --- lists -----------------------------------------------------------------------------

// In-place quicksort (not stable); compare returns <0, 0, >0.
using TListSortCompareWithData = std::function<int(void* item1, void* item2, void* data)>;
void SortListWithData(std::vector<void*>& list, const TListSortCompareWithData& compare, void* data);

// A lazy list is null until its first entry and freed when its last entry goes. The
// caller owns the list through the pointer variable (delete it if it is still set).
bool AddToLazyList(std::vector<void*>*& list, void* item);
bool InsertFirstInLazyList(std::vector<void*>*& list, void* item);
void RemoveFromLazyList(std::vector<void*>*& list, void* item);

// --- messages and painting -------------------------------------------------------------

using TBarNCPaintProc = void (*)(HWND wnd, HDC dc, LPARAM appData);
// The WM_PRINT handler of docks, floating windows, dockable windows and popups: draws the
// non-client part through ncPaint, the client part through WM_ERASEBKGND/WM_PRINTCLIENT,
// then visible children and (PRF_OWNED) owned windows. Returns the message result, 1.
LRESULT HandlePrintMessage(HWND wnd, WPARAM dc, LPARAM flags, TBarNCPaintProc ncPaint, LPARAM appData);
// Answers WM_PRINTCLIENT (dc in WParam) by running the control's own paint handler with a
// WM_PAINT that carries that DC. Returns the message result, 0.
LRESULT HandlePrintClientMessage(classlib::TControl* control, WPARAM dc);
// Dispatches queued WM_PAINT messages of this thread; a WM_QUIT met is posted again.
void FlushPaintMessages();
// Removes queued messages in [first, last]; a WM_QUIT met is posted again and ends it.
void DiscardMessageRange(UINT first, UINT last);
// The thread's DC for measuring (texts, item sizes): a memory DC like the screen's, made at
// its first use and deleted when the thread ends, so that layouts need not ask the window
// server for a screen DC. Whoever selects something into it selects the old object back
// before returning.
HDC MeasuringDC();
// Clips dc (a window DC) to a WM_NCPAINT region; 0 and 1 mean no clipping.
void ClipToNCUpdateRegion(HWND wnd, HDC dc, HRGN rgn);
HRGN CreateEmptyRegion();
// An 8x8 halftone brush (rows alternate 0x55 and 0xAA); the caller deletes it.
HBRUSH CreateDragPatternBrush();
// Inverts the pixels that differ between the old and new frame outlines (either may be
// null). Calling it again with the same rectangles swapped restores the screen.
void PaintDragFrame(HDC dc, const RECT* newRect, const RECT* oldRect, SIZE newSize, SIZE oldSize);

// --- mouse tracking --------------------------------------------------------------------

// TrackMouseEvent for wnd with flags (TME_LEAVE, TME_NONCLIENT...); True when accepted.
bool RequestMouseTracking(HWND wnd, DWORD flags);

// --- system settings -------------------------------------------------------------------

// Delay in milliseconds before a sub-menu opens under the mouse (never negative).
int QueryMenuShowDelay();
// HKCU "Control Panel\Desktop" "MenuShowDelay": 400 when the key or value is missing, 0
// for another type or a non-number.
int ReadRegistryMenuDelay();
// The same reading on any key (the one above passes HKCU "Control Panel\Desktop").
int ReadMenuDelayFromKey(HKEY root, const wchar_t* subKey);
// The system's flat-menu setting (SPI_GETFLATMENU).
bool FlatMenusActive();
// The system's keyboard-cues setting; True when it cannot be read.
bool KeyboardCuesShown();
// Whether the current sound scheme gives the event ("MenuPopup", "MenuCommand") a sound.
bool SoundSchemeHasSound(const std::wstring& eventName);
// The same test on any key (the one above passes the event's ".Current" key below HKCU
// "AppEvents\Schemes\Apps\.Default"): a string default value that is not empty.
bool SoundSchemeKeyHasSound(HKEY root, const std::wstring& subKey);
// Reads the string value `name` through a buffer of `maxBytes`, never further: `text` holds
// the whole characters the read gave, up to the first NUL (none needed). Returns the read's
// status (ERROR_MORE_DATA for a longer value, with `text` empty) and sets `type`.
LSTATUS ReadBoundedRegString(HKEY key, const wchar_t* name, DWORD maxBytes, std::wstring& text, DWORD& type);
UINT KeyboardLayoutCodePage();
bool IsAnyWindowActive();

// --- screen and monitors ---------------------------------------------------------------

bool HasMultipleMonitors();
RECT GetScreenOrWorkArea(bool workArea);
RECT GetMonitorRectFromRect(const RECT& rect, bool workArea);
RECT GetMonitorRectFromPoint(POINT point, bool workArea);

// --- turned text ---------------------------------------------------------------------

// A copy of the DC's current font (the default GUI font when it cannot be read) turned by
// `angle` tenths of a degree, TrueType only: the old bitmap dialog faces ("MS Sans Serif",
// "Microsoft Sans Serif") become `dialogFace` at the height the DC shows now, and a face with
// a vertical-writing twin ("@" + face) takes the twin. The caller deletes the font.
HFONT CreateTurnedFont(HDC dc, int angle, const wchar_t* dialogFace);
// Draws text turned to run upward (angle 900) or downward (any other angle) in the DC's font
// and text colour, in a column centred across the rectangle. Honours DT_NOPREFIX (else '&'
// marks an underlined accelerator), DT_HIDEPREFIX, DT_END_ELLIPSIS (against the rectangle's
// height; below 3 pixels only the first character stays), DT_CENTER (centred along the
// column), DT_NOCLIP and DT_CALCRECT (the rectangle becomes line height x text length at its
// top left; nothing drawn). Returns the turned line height, 0 for empty text. The DC is left
// as found.
int DrawTurnedText(HDC dc, const std::wstring& text, RECT& rect, UINT format, int angle,
                   const wchar_t* dialogFace);
// The toolbars' turned font and caption: downward, "Arial" for the dialog faces.
HFONT CreateVerticalFont(HDC dc);
void DrawVerticalText(HDC dc, const std::wstring& text, const RECT& rect, UINT flags);

// The toolbar library's version banner.
extern const wchar_t* const TBVersionBanner;

}  // namespace toolbar
