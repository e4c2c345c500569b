// The extended hex editor control: backups, wheel zoom, shortcuts, double click, offset
// popup menu and the persisted property lines.
#include "hexedit/hexeditorex.h"

#include <windowsx.h>

#include <algorithm>
#include <cerrno>
#include <cwchar>
#include <cwctype>
#include <vector>

#include "classlib/runtime.h"
#include "classlib/scopeguard.h"

namespace hexedit {

using namespace classlib;

namespace {

bool SameName(const std::wstring& a, const std::wstring& b) {
    return CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, a.c_str(), static_cast<int>(a.size()), b.c_str(),
                          static_cast<int>(b.size())) == CSTR_EQUAL;
}

// The property paths saved and loaded as text.
const wchar_t* const PersistedProperties[] = {
    L"ShowRuler", L"DrawGutter3D", L"CreateBackup", L"BackupExtension", L"OleDragDrop", L"ClipboardAsHexText",
    L"FlushClipboardAtShutDown", L"SupportsOtherClipFormats", L"UseEditorFontForPrinting", L"ZoomOnWheel",
    L"BytesPerRow", L"BytesPerColumn", L"Translation", L"OffsetFormat", L"CaretKind", L"FocusFrame", L"SwapNibbles",
    L"MaskChar", L"NoSizeChange", L"AllowInsertMode", L"DrawGridLines", L"ReadOnlyView", L"HideSelection",
    L"GraySelectionIfNotFocused", L"GutterWidth", L"MaxUndo", L"InsertMode", L"HexLowerCase", L"Colors.Background",
    L"Colors.ChangedBackground", L"Colors.ChangedText", L"Colors.CursorFrame", L"Colors.NonFocusCursorFrame",
    L"Colors.Offset", L"Colors.OddColumn", L"Colors.EvenColumn", L"Colors.CurrentOffsetBackground",
    L"Colors.OffsetBackGround", L"Colors.CurrentOffset", L"Colors.ActiveFieldBackground", L"Colors.Grid",
    L"PrintFont.Charset", L"PrintFont.Color", L"PrintFont.Name", L"PrintFont.Size", L"PrintFont.Style",
    L"PrintOptions.MarginLeft", L"PrintOptions.MarginTop", L"PrintOptions.MarginRight", L"PrintOptions.MarginBottom",
    L"PrintOptions.PageHeader", L"PrintOptions.PageFooter", L"PrintOptions.Flags", L"Font.Charset", L"Font.Color",
    L"Font.Name", L"Font.Size", L"Font.Style", L"BytesPerUnit", L"RulerBytesPerUnit", L"ShowPositionIfNotFocused",
    L"UnicodeChars", L"UnicodeBigEndian", L"BytesPerBlock", L"SeparateBlocksInCharField", L"FindProgress",
    L"RulerNumberBase", L"AutoBytesPerRow"};

// A value read from a line: the text, and its number when it reads as a 64-bit integer.
struct TPropValue {
    std::wstring Text;
    bool IsInt = false;
    long long Int = 0;

    explicit TPropValue(std::wstring text) : Text(std::move(text)) {
        if (Text.empty()) return;
        wchar_t* end = nullptr;
        errno = 0;
        const long long v = std::wcstoll(Text.c_str(), &end, 10);
        if (errno == 0 && end && *end == L'\0' && !std::iswspace(Text[0])) {
            IsInt = true;
            Int = v;
        }
    }
    int AsInt() const {
        if (!IsInt || Int < INT32_MIN || Int > INT32_MAX)
            throw EConvertError(L"'" + Text + L"' is not a valid integer value");
        return static_cast<int>(Int);
    }
    bool AsBool() const {
        if (IsInt) return Int != 0;
        if (SameName(Text, L"True")) return true;
        if (SameName(Text, L"False")) return false;
        throw EConvertError(L"Invalid property value " + Text);
    }
    int AsEnum(std::initializer_list<const wchar_t*> names) const {
        int i = 0;
        for (const wchar_t* n : names) {
            if (IsInt ? Int == i : SameName(Text, n)) return i;
            ++i;
        }
        throw EConvertError(L"Invalid property value " + Text);
    }
};

struct TPropDef {
    std::wstring Path;
    std::function<std::wstring(THexEditorEx&)> Get;
    std::function<void(THexEditorEx&, const TPropValue&)> Set;
};

std::wstring Num(long long v) { return std::to_wstring(v); }

std::wstring OneLine(std::wstring text) {
    std::replace(text.begin(), text.end(), L'\r', L' ');
    std::replace(text.begin(), text.end(), L'\n', L' ');
    return text;
}

template <class C>
TPropDef IntProp(const wchar_t* path, int (C::*get)() const, void (C::*set)(int)) {
    return {path, [get](THexEditorEx& e) { return Num((e.*get)()); },
            [set](THexEditorEx& e, const TPropValue& v) { (e.*set)(v.AsInt()); }};
}

template <class C>
TPropDef BoolProp(const wchar_t* path, bool (C::*get)() const, void (C::*set)(bool)) {
    return {path, [get](THexEditorEx& e) { return std::wstring((e.*get)() ? L"True" : L"False"); },
            [set](THexEditorEx& e, const TPropValue& v) { (e.*set)(v.AsBool()); }};
}

TPropDef ColorProp(const wchar_t* name, THexColors::TIndex index) {
    return {std::wstring(L"Colors.") + name,
            [index](THexEditorEx& e) { return Num(static_cast<int32_t>(e.Colors().Get(index))); },
            [index](THexEditorEx& e, const TPropValue& v) { e.Colors().Set(index, static_cast<THexColor>(v.AsInt())); }};
}

void AddFontProps(std::vector<TPropDef>& props, const std::wstring& prefix, TFont& (*font)(THexEditorEx&)) {
    props.push_back({prefix + L".Charset", [font](THexEditorEx& e) { return Num(font(e).Charset()); },
                     [font](THexEditorEx& e, const TPropValue& v) { font(e).SetCharset(static_cast<BYTE>(v.AsInt())); }});
    props.push_back({prefix + L".Color", [font](THexEditorEx& e) { return Num(font(e).Color()); },
                     [font](THexEditorEx& e, const TPropValue& v) { font(e).SetColor(v.AsInt()); }});
    props.push_back({prefix + L".Name", [font](THexEditorEx& e) { return font(e).Name(); },
                     [font](THexEditorEx& e, const TPropValue& v) { font(e).SetName(v.Text); }});
    props.push_back({prefix + L".Size", [font](THexEditorEx& e) { return Num(font(e).Size()); },
                     [font](THexEditorEx& e, const TPropValue& v) { font(e).SetSize(v.AsInt()); }});
    props.push_back({prefix + L".Style", [font](THexEditorEx& e) { return Num(font(e).Style()); },
                     [font](THexEditorEx& e, const TPropValue& v) {
                         font(e).SetStyle(static_cast<TFontStyles>(v.AsInt()) & (fsBold | fsItalic | fsUnderline | fsStrikeOut));
                     }});
}

// The published properties in their declared order.
const std::vector<TPropDef>& Properties() {
    using E = TCustomHexEditor;
    using X = THexEditorEx;
    static const std::vector<TPropDef> props = [] {
        std::vector<TPropDef> p = {
            IntProp(L"BytesPerRow", &E::BytesPerRow, &E::SetBytesPerRow),
            BoolProp(L"AutoBytesPerRow", &E::AutoBytesPerRow, &E::SetAutoBytesPerRow),
            IntProp(L"BytesPerColumn", &E::BytesPerColumn, &E::SetBytesPerColumn),
            IntProp(L"BytesPerUnit", &E::BytesPerUnit, &E::SetBytesPerUnit),
            IntProp(L"RulerBytesPerUnit", &E::RulerBytesPerUnit, &E::SetRulerBytesPerUnit),
            IntProp(L"BytesPerBlock", &E::BytesPerBlock, &E::SetBytesPerBlock),
            BoolProp(L"SeparateBlocksInCharField", &E::SeparateBlocksInCharField, &E::SetSeparateBlocksInCharField),
            {L"Translation", [](X& e) { return Num(e.Translation()); },
             [](X& e, const TPropValue& v) {
                 e.SetTranslation(static_cast<THexTranslationKind>(
                     v.AsEnum({L"tkAsIs", L"tkDos8", L"tkASCII", L"tkMac", L"tkBCD", L"tkCustom"})));
             }},
            {L"OffsetFormat", [](X& e) { return e.OffsetFormat(); },
             [](X& e, const TPropValue& v) { e.SetOffsetFormat(v.Text); }},
            BoolProp(L"HexLowerCase", &E::HexLowerCase, &E::SetHexLowerCase),
            IntProp(L"RulerNumberBase", &E::RulerNumberBase, &E::SetRulerNumberBase),
            BoolProp(L"ShowRuler", &E::ShowRuler, &E::SetShowRuler),
            IntProp(L"GutterWidth", &E::GutterWidth, &E::SetGutterWidth),
            BoolProp(L"DrawGutter3D", &E::DrawGutter3D, &E::SetDrawGutter3D),
            BoolProp(L"DrawGridLines", &E::DrawGridLines, &E::SetDrawGridLines),
            BoolProp(L"FocusFrame", &E::FocusFrame, &E::SetFocusFrame),
            {L"CaretKind", [](X& e) { return Num(e.CaretKind()); },
             [](X& e, const TPropValue& v) {
                 e.SetCaretKind(static_cast<THexCaretKind>(v.AsEnum({L"ckFull", L"ckLeft", L"ckBottom", L"ckAuto"})));
             }},
            ColorProp(L"Background", THexColors::ciBackground),
            ColorProp(L"ChangedBackground", THexColors::ciChangedBackground),
            ColorProp(L"ChangedText", THexColors::ciChangedText),
            ColorProp(L"CursorFrame", THexColors::ciCursorFrame),
            ColorProp(L"Offset", THexColors::ciOffset),
            ColorProp(L"OddColumn", THexColors::ciOddColumn),
            ColorProp(L"EvenColumn", THexColors::ciEvenColumn),
            ColorProp(L"CurrentOffsetBackground", THexColors::ciCurrentOffsetBackground),
            ColorProp(L"OffsetBackground", THexColors::ciOffsetBackground),
            ColorProp(L"CurrentOffset", THexColors::ciCurrentOffset),
            ColorProp(L"Grid", THexColors::ciGrid),
            ColorProp(L"NonFocusCursorFrame", THexColors::ciNonFocusCursorFrame),
            ColorProp(L"ActiveFieldBackground", THexColors::ciActiveFieldBackground),
            BoolProp(L"SwapNibbles", &E::SwapNibbles, &E::SetSwapNibbles),
            {L"MaskChar", [](X& e) { return Num(e.MaskChar()); },
             [](X& e, const TPropValue& v) {
                 if (v.IsInt)
                     e.SetMaskChar(static_cast<wchar_t>(v.AsInt()));
                 else if (v.Text.size() == 1)
                     e.SetMaskChar(v.Text[0]);
                 else
                     throw EConvertError(L"Invalid property value " + v.Text);
             }},
            BoolProp(L"InsertMode", &E::InsertMode, &E::SetInsertMode),
            BoolProp(L"AllowInsertMode", &E::AllowInsertMode, &E::SetAllowInsertMode),
            BoolProp(L"NoSizeChange", &E::NoSizeChange, &E::SetNoSizeChange),
            BoolProp(L"ReadOnlyView", &E::ReadOnlyView, &E::SetReadOnlyView),
            BoolProp(L"HideSelection", &E::HideSelection, &E::SetHideSelection),
            BoolProp(L"GraySelectionIfNotFocused", &E::GraySelectionIfNotFocused, &E::SetGraySelectionIfNotFocused),
            BoolProp(L"ShowPositionIfNotFocused", &E::ShowPositionIfNotFocused, &E::SetShowPositionIfNotFocused),
            BoolProp(L"UnicodeChars", &E::UnicodeChars, &E::SetUnicodeChars),
            BoolProp(L"UnicodeBigEndian", &E::UnicodeBigEndian, &E::SetUnicodeBigEndian),
            BoolProp(L"FindProgress", &E::FindProgress, &E::SetFindProgress),
            IntProp(L"MaxUndo", &E::MaxUndo, &E::SetMaxUndo),
        };
        AddFontProps(p, L"Font", [](X& e) -> TFont& { return e.Font(); });
        p.push_back(BoolProp(L"CreateBackup", &X::CreateBackup, &X::SetCreateBackup));
        p.push_back({L"BackupExtension", [](X& e) { return e.BackupExtension(); },
                     [](X& e, const TPropValue& v) { e.SetBackupExtension(v.Text); }});
        p.push_back(BoolProp(L"OleDragDrop", &X::OleDragDrop, &X::SetOleDragDrop));
        p.push_back(BoolProp(L"ClipboardAsHexText", &X::ClipboardAsHexText, &X::SetClipboardAsHexText));
        p.push_back(BoolProp(L"FlushClipboardAtShutDown", &X::FlushClipboardAtShutDown, &X::SetFlushClipboardAtShutDown));
        p.push_back(BoolProp(L"SupportsOtherClipFormats", &X::SupportsOtherClipFormats, &X::SetSupportsOtherClipFormats));
        p.push_back({L"PrintOptions.MarginLeft", [](X& e) { return Num(e.PrintOptions().MarginLeft()); },
                     [](X& e, const TPropValue& v) { e.PrintOptions().SetMarginLeft(v.AsInt()); }});
        p.push_back({L"PrintOptions.MarginTop", [](X& e) { return Num(e.PrintOptions().MarginTop()); },
                     [](X& e, const TPropValue& v) { e.PrintOptions().SetMarginTop(v.AsInt()); }});
        p.push_back({L"PrintOptions.MarginRight", [](X& e) { return Num(e.PrintOptions().MarginRight()); },
                     [](X& e, const TPropValue& v) { e.PrintOptions().SetMarginRight(v.AsInt()); }});
        p.push_back({L"PrintOptions.MarginBottom", [](X& e) { return Num(e.PrintOptions().MarginBottom()); },
                     [](X& e, const TPropValue& v) { e.PrintOptions().SetMarginBottom(v.AsInt()); }});
        // A header or footer with a line break would split its line and could be read back
        // as another property: breaks are saved as blanks.
        p.push_back({L"PrintOptions.PageHeader", [](X& e) { return OneLine(e.PrintOptions().PageHeader()); },
                     [](X& e, const TPropValue& v) { e.PrintOptions().SetPageHeader(v.Text); }});
        p.push_back({L"PrintOptions.PageFooter", [](X& e) { return OneLine(e.PrintOptions().PageFooter()); },
                     [](X& e, const TPropValue& v) { e.PrintOptions().SetPageFooter(v.Text); }});
        p.push_back({L"PrintOptions.Flags", [](X& e) { return Num(e.PrintOptions().Flags()); },
                     [](X& e, const TPropValue& v) {
                         const int flags = v.AsInt();
                         if (flags < 0 || static_cast<unsigned>(flags) & ~pfAllFlags)
                             throw EConvertError(L"Invalid property value " + v.Text);
                         e.PrintOptions().SetFlags(static_cast<THexPrintFlags>(flags));
                     }});
        AddFontProps(p, L"PrintFont", [](X& e) -> TFont& { return e.PrintFont(); });
        p.push_back(BoolProp(L"UseEditorFontForPrinting", &X::UseEditorFontForPrinting, &X::SetUseEditorFontForPrinting));
        p.push_back(BoolProp(L"ZoomOnWheel", &X::ZoomOnWheel, &X::SetZoomOnWheel));
        return p;
    }();
    return props;
}

}  // namespace

THexEditorEx::THexEditorEx(TComponent* owner) : THexEditorControl(owner) {
    FPrintFont.Assign(Font());
    FDropTarget = new THexDropTarget(this);
}

THexEditorEx::~THexEditorEx() {
    try {
        ReleaseClipboard(FFlushClipboardAtShutDown);
    } catch (...) {
        HandleCurrentException(this);
    }
    if (FClipboardData) FClipboardData->Release();
    if (FDropTarget) FDropTarget->Detach();
    FDropTarget = nullptr;
    SetOffsetPopupMenu(nullptr);
}

void THexEditorEx::SetPrintFont(const TFont& font) {
    FPrintFont.Assign(font);
    FUseEditorFontForPrinting = false;
}

void THexEditorEx::SetOffsetPopupMenu(TPopupMenu* menu) { FOffsetPopupMenu = menu; }

int THexEditorEx::BeginPaintLock() { return ++FPaintLock; }

int THexEditorEx::EndPaintLock() {
    if (FPaintLock > 0) --FPaintLock;
    if (FPaintLock == 0) HexInvalidate();
    return FPaintLock;
}

// ---- Saving over the loaded file ----------------------------------------------------------

void THexEditorEx::CheckFileWritable() {
    THexEditorControl::CheckFileWritable();
    if (!FCreateBackup || !HasUnsavedChanges()) return;
    const DWORD attributes = GetFileAttributesW(FileName().c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY)) return;
    const std::wstring backup = FileName() + FBackupExtension;
    if (GetFileAttributesW(backup.c_str()) != INVALID_FILE_ATTRIBUTES && !DeleteFileW(backup.c_str())) {
        const DWORD error = GetLastError();
        throw EHexEditor(HexFormat(hexmsg::CannotDeleteBackup, {backup, SysErrorMessage(error)}));
    }
    if (!MoveFileW(FileName().c_str(), backup.c_str())) {
        const DWORD error = GetLastError();
        throw EHexEditor(HexFormat(hexmsg::CannotCreateBackup, {backup, SysErrorMessage(error)}));
    }
}

void THexEditorEx::WriteBuffer(const void* source, int pos, int count) {
    THexEditorControl::WriteBuffer(source, pos, count);
    SetModified(true);
}

// ---- Input --------------------------------------------------------------------------------

void THexEditorEx::KeyDown(WORD& key, TShiftState shift) {
    THexEditorControl::KeyDown(key, shift);
    const TShiftState mods = shift & (ssShift | ssAlt | ssCtrl);
    if (mods == ssCtrl) {
        switch (key) {
            case 'A': SelectAll(); break;
            case 'C':
                if (CanCopy()) CopyToClipboard();
                break;
            case 'V':
                if (CanPaste()) PasteFromClipboard();
                break;
            case 'X':
                if (CanCut()) CutToClipboard();
                break;
            case 'Z':
                if (CanUndo()) Undo();
                break;
            default: break;
        }
    } else if (mods == (ssCtrl | ssShift) && key == 'Z') {
        if (CanRedo()) Redo();
    }
}

bool THexEditorEx::DoMouseWheel(bool down, TShiftState shift) {
    const TShiftState mods = shift & (ssShift | ssAlt | ssCtrl | ssLeft | ssRight | ssMiddle);
    if (FZoomOnWheel && mods == ssCtrl) {
        // Row length one byte shorter or longer; in Unicode mode two, since the row must
        // hold whole characters (an odd length would only raise the setter's error).
        const int step = UnicodeChars() ? 2 : 1;
        const int n = BytesPerRow() + (down ? -step : step);
        if (n >= 1 && n <= 256) {
            SetBytesPerRow(n);
            HexInvalidate();
            return true;
        }
        MouseWheelPage(down);
        return true;
    }
    if (FZoomOnWheel && mods == (ssCtrl | ssShift)) {
        const int size = Font().Size();
        if (!down) {
            Font().SetSize(size + 1);
            return true;
        }
        if (size >= 3) {
            Font().SetSize(size - 1);
            return true;
        }
        MouseWheelPage(down);
        return true;
    }
    return THexEditorControl::DoMouseWheel(down, shift);
}

void THexEditorEx::DblClick() {
    int x = FMouseDownPoint.x, y = FMouseDownPoint.y;
    AdjustMouseCoord(x, y);
    int col, row;
    if (CellAtPoint(x, y, col, row) && col >= 2 && row >= 2 && col != Layout().SeparatorCol()) {
        bool inChar;
        const int pos = Layout().GetPosAtCursor(col, row, inChar);
        if (pos < GetDataSize()) {
            NewSelection(pos, pos);
            FDblClickSelected = true;
            CancelPendingClick();
        }
    }
    THexEditorControl::DblClick();
}

void THexEditorEx::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
    if (FDblClickSelected) {
        CancelPendingClick();
        FDblClickSelected = false;
    }
    THexEditorControl::MouseUp(button, shift, x, y);
    if (FDragging || FDragPending) {
        FDragging = false;
        FDragPending = false;
    }
}

bool THexEditorEx::IsOffsetPopupPoint(int x, int y) {
    if (x >= 0 && x < ColWidth(0) + ColWidth(1)) return y >= 0;
    return y >= 0 && y < RowHeightOf(0) + RowHeightOf(1);
}

void THexEditorEx::WMContextMenu(TMessage& m) {
    if (FOffsetPopupMenu && FOffsetPopupMenu->AutoPopup && HandleAllocated()) {
        POINT screen{GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam)};
        const bool keyboard = screen.x == -1 && screen.y == -1;
        POINT client = screen;
        if (!keyboard) ::ScreenToClient(FHandle, &client);
        if (!keyboard && IsOffsetPopupPoint(client.x, client.y)) {
            if (GetCapture() == FHandle) ReleaseCapture();
            FOffsetPopupMenu->PopupComponent = this;
            FOffsetPopupMenu->Popup(screen.x, screen.y);
            m.Result = 1;
            return;
        }
    }
    THexEditorControl::WMContextMenu(m);
}

// ---- Persisted properties -----------------------------------------------------------------

bool THexEditorEx::IsPersistedProperty(const std::wstring& name) {
    const bool listed = std::any_of(std::begin(PersistedProperties), std::end(PersistedProperties),
                                    [&](const wchar_t* p) { return SameName(name, p); });
    if (!listed) return false;
    bool isPublic = true;
    if (OnQueryPublicProperty) OnQueryPublicProperty(this, name, isPublic);
    return isPublic;
}

std::wstring THexEditorEx::SavePropertiesToText() {
    std::wstring text;
    for (const TPropDef& d : Properties()) {
        if (!IsPersistedProperty(d.Path)) continue;
        text += d.Path;
        text += L'=';
        text += d.Get(*this);
        text += L"\r\n";
    }
    return text;
}

void THexEditorEx::LoadPropertiesFromText(const std::wstring& text) {
    BeginPaintLock();
    auto endPaintLock = ScopeExit([&] { EndPaintLock(); });
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find_first_of(L"\r\n", start);
        if (end == std::wstring::npos) end = text.size();
        const std::wstring line = text.substr(start, end - start);
        start = end + 1;
        if (end < text.size() && text[end] == L'\r' && start < text.size() && text[start] == L'\n') ++start;
        const size_t eq = line.find(L'=');
        if (eq == std::wstring::npos) continue;
        const std::wstring name = line.substr(0, eq);
        if (!IsPersistedProperty(name)) continue;
        for (const TPropDef& d : Properties()) {
            if (SameName(name, d.Path)) {
                d.Set(*this, TPropValue(line.substr(eq + 1)));
                break;
            }
        }
    }
}

}  // namespace hexedit
