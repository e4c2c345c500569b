// Construction, properties, geometry and data access of the hex editor core.
#include "hexedit/hexeditor.h"

#include "classlib/scopeguard.h"

#include <algorithm>
#include <cstring>

namespace hexedit {

TCustomHexEditor::TCustomHexEditor()
    : FUndo(std::make_unique<THexUndoStorage>(*this)), FColors(this) {
    FColor = FColors.Background();
    std::wmemcpy(FHexDigits, L"0123456789ABCDEF", 17);
    for (int i = 0; i < 256; ++i) FIdentityTable[i] = FFoldTable[i] = static_cast<uint8_t>(i);
    ParseOffsetFormat(L"-!10:0x|");
    UpdateRulerTexts();
    CalcSizes();
    FUndo->Reset(true);
}

TCustomHexEditor::~TCustomHexEditor() = default;

std::wstring TCustomHexEditor::Version() const { return L"december 06, 2006 - Wendlar hex editor"; }

// ---- Notifications ------------------------------------------------------------------------

void TCustomHexEditor::Redraw() {
    if (FView) FView->HexInvalidate();
}

void TCustomHexEditor::UpdateCaret() {
    if (FView) FView->HexUpdateCaret();
}

void TCustomHexEditor::BusyCursor(bool busy) {
    if (FView) FView->HexBusyCursor(busy);
}

void TCustomHexEditor::Changed() {
    if (OnChange) OnChange(this);
    SelectionChanged();
}

void TCustomHexEditor::SelectionChanged() {
    if (FLoading) return;
    if (++FSelectionReports != 1) return;
    if (FView)
        FView->HexPostSelectionChanged();
    else
        DeliverSelectionChanged();
}

void TCustomHexEditor::DeliverSelectionChanged() {
    // The counter goes back to 0 whether or not a handler is assigned, so a handler
    // assigned later still hears of the next burst.
    if (FSelectionReports == 0) return;
    FSelectionReports = 0;
    if (OnSelectionChanged) OnSelectionChanged(this);
}

void TCustomHexEditor::BookmarkChanged() {
    if (OnBookmarkChanged) OnBookmarkChanged(this);
}

void TCustomHexEditor::DoInvalidKey() {
    if (OnInvalidKey) OnInvalidKey(this);
}

void TCustomHexEditor::ColorsChanged(bool background) {
    if (background) FColor = FColors.Background();
    Redraw();
}

void TCustomHexEditor::SetFlagAndRedraw(bool& field, bool value) {
    if (field == value) return;
    field = value;
    Redraw();
}

// ---- Geometry -----------------------------------------------------------------------------

void TCustomHexEditor::SetCharMetrics(int charWidth, int rowHeight) {
    FLayout.CharWidth = charWidth < 1 ? 1 : charWidth;
    FLayout.RowHeight = rowHeight < 1 ? 1 : rowHeight;
    AdjustMetrics();
}

void TCustomHexEditor::SetClientWidth(int width) {
    FClientWidth = width;
    if (FAutoBytesPerRow) AdjustBytesPerRow();
    UpdateCaret();
}

void TCustomHexEditor::SetTopRow(int row) {
    int maxTop = std::max(2, FRowCount - FVisibleRowCount);
    row = std::clamp(row, 2, std::max(2, std::min(maxTop, FRowCount - 1)));
    if (row == FTopRow) return;
    FTopRow = row;
    UpdateCaret();
    if (OnTopLeftChanged) OnTopLeftChanged(this);
}

int TCustomHexEditor::RowHeightOf(int row) const {
    if (row == 0) return FLayout.RulerHeight();
    if (row == 1) return 0;
    return FLayout.RowHeight;
}

void TCustomHexEditor::CalcSizes() {
    if (static_cast<int>(FChanges.size()) > GetDataSize()) FChanges.resize(GetDataSize());
    FRowCount = FLayout.RowCountFor(GetDataSize(), InsertMode());
    FRow = std::clamp(FRow, 2, FRowCount - 1);
    FCol = std::clamp(FCol, 2, ColCount() - 1);
    if (FTopRow > FRowCount - 1) FTopRow = std::max(2, FRowCount - 1);
    AdjustMetrics();
}

void TCustomHexEditor::AdjustMetrics() {
    CalcOffsetColumnWidth();
    if (FView) FView->HexLayoutChanged();
    UpdateCaret();
}

int TCustomHexEditor::GetPosAtCursor(int col, int row) {
    return FLayout.GetPosAtCursor(col, row, FInCharField);
}

int TCustomHexEditor::GetOtherFieldCol(int col) {
    FInCharField = FLayout.IsCharCol(col);
    return FLayout.GetOtherFieldCol(col);
}

// ---- Data access --------------------------------------------------------------------------

void TCustomHexEditor::WriteByte(int pos, uint8_t value) {
    FData.WriteAt(&value, pos, 1);
    Changed();
}

void TCustomHexEditor::WriteBuffer(const void* source, int pos, int count) {
    FData.WriteAt(source, pos, count);
    Changed();
}

std::string TCustomHexEditor::GetDataAsString() const {
    if (!GetDataSize()) return std::string();
    return std::string(reinterpret_cast<const char*>(FData.Data()), GetDataSize());
}

std::string TCustomHexEditor::GetSelectionAsHex() const {
    if (!GetDataSize() || FSelStart < 0) return std::string();
    return FData.ReadHex(FSelStart, GetSelCount(), FSwapNibbles);
}

// ---- Properties ---------------------------------------------------------------------------

void TCustomHexEditor::OffsetUnitFollows() {
    unsigned f = FOffsetFormat.Flags;
    if (f & THexOffsetFormat::offCalcRow)
        FOffsetFormat.BytesPerUnit = FLayout.BytesPerRow;
    else if (f & THexOffsetFormat::offCalcColumn)
        FOffsetFormat.BytesPerUnit = FLayout.BytesPerColumn;
    else if (f & THexOffsetFormat::offBytesPerUnit)
        FOffsetFormat.BytesPerUnit = FLayout.RulerUnit;
}

void TCustomHexEditor::SetBytesPerRow(int value) {
    if (FAutoBytesPerRow && !FInAutoFit) return;  // the automatic fit owns the row length
    if (value < 1 || value > 256 || (UnicodeChars() && value % 2))
        throw EHexEditor(hexmsg::InvalidBytesPerLine);
    if (value == FLayout.BytesPerRow) return;
    const int anchor = FSelAnchor, first = FSelStart, last = FSelEnd;
    const bool charField = CaretInCharField();
    int p = CaretPos();
    int firstCol, r;
    FLayout.GetCursorAtPos(p, false, firstCol, r);
    const bool secondDigit = !charField && FCol != firstCol;

    FLayout.BytesPerRow = value;
    OffsetUnitFollows();
    UpdateRulerTexts();
    CalcSizes();
    p = std::min(p, GetDataSize() - 1);
    if (p < 0) p = 0;
    int col, row;
    FLayout.GetCursorAtPos(p, charField, col, row);
    if (secondDigit && GetDataSize()) ++col;
    FCol = std::clamp(col, 2, ColCount() - 1);
    FRow = std::clamp(row, 2, FRowCount - 1);
    const int maxPos = GetDataSize() - 1;
    FSelAnchor = std::clamp(anchor, -1, maxPos);
    FSelStart = std::clamp(first, -1, maxPos);
    FSelEnd = std::clamp(last, -1, maxPos);
    ScrollInView();
    Redraw();
}

void TCustomHexEditor::SetAutoBytesPerRow(bool value) {
    if (FAutoBytesPerRow == value) return;
    FAutoBytesPerRow = value;
    if (value) AdjustBytesPerRow();
}

void TCustomHexEditor::AdjustBytesPerRow() {
    int available = FClientWidth - ColWidth(0) - ColWidth(1) - 8;
    int fit = 256;
    for (int v = 2; v < 256; v += 2) {
        if (FLayout.RowWidthFor(v + 2) > available) {
            fit = v;
            break;
        }
    }
    FInAutoFit = true;
    try {
        SetBytesPerRow(fit);
    } catch (const EHexEditor&) {
        // The fit never leaves the editor in an error state.
    }
    FInAutoFit = false;
}

void TCustomHexEditor::SetBytesPerColumn(int value) {
    if (value < 1 || value > 256 || (UnicodeChars() && value % 2))
        throw EHexEditor(hexmsg::InvalidBytesPerColumn);
    if (value == FLayout.BytesPerColumn) return;
    FLayout.BytesPerColumn = value;
    OffsetUnitFollows();
    AdjustMetrics();
    UpdateRulerTexts();
    Redraw();
}

void TCustomHexEditor::CheckUnit(int value) const {
    if (value != 1 && value != 2 && value != 4 && value != 8)
        throw EHexEditor(HexFormat(hexmsg::InvalidBytesPerUnit, {value}));
}

void TCustomHexEditor::SetBytesPerUnit(int value) {
    if (UnicodeChars() && value != 2) throw EHexEditor(hexmsg::UnicodeBytesPerUnit);
    CheckUnit(value);
    if (value == FBytesPerUnit) return;
    FBytesPerUnit = value;
    if (FRulerBytesPerUnit == -1) FLayout.RulerUnit = value;
    OffsetUnitFollows();
    AdjustMetrics();
    UpdateRulerTexts();
    if (FSelStart >= 0 && GetSelCount() % value != 0) ResetSelection(false);
    Redraw();
}

void TCustomHexEditor::SetRulerBytesPerUnit(int value) {
    if (value != -1 && value != 1 && value != 2 && value != 4 && value != 8)
        throw EHexEditor(HexFormat(hexmsg::InvalidRulerBytesPerUnit, {value}));
    FRulerBytesPerUnit = value;
    FLayout.RulerUnit = value == -1 ? FBytesPerUnit : value;
    OffsetUnitFollows();
    AdjustMetrics();
    UpdateRulerTexts();
    Redraw();
}

void TCustomHexEditor::SetBytesPerBlock(int value) {
    if (value == FLayout.BytesPerBlock) return;
    FLayout.BytesPerBlock = value;
    AdjustMetrics();
}

void TCustomHexEditor::SetSeparateBlocksInCharField(bool value) {
    if (value == FLayout.SeparateBlocksInCharField) return;
    FLayout.SeparateBlocksInCharField = value;
    if (FLayout.BytesPerBlock > 1) AdjustMetrics();
}

void TCustomHexEditor::SetTranslation(THexTranslationKind value) {
    if (value == FTranslation) return;
    if (value != tkAsIs && UnicodeChars()) throw EHexEditor(hexmsg::NoTranslationInUnicode);
    FTranslation = value;
    Redraw();
}

void TCustomHexEditor::SetOffsetFormat(const std::wstring& value) {
    if (value == FOffsetFormat.Format) return;
    // A refused text leaves the previous format exactly as it was: its computed minimum
    // digits and a unit that followed a property since are kept, not parsed again.
    const THexOffsetFormat previous = FOffsetFormat;
    {
        auto restoreFormat = classlib::ScopeFail([&] { FOffsetFormat = previous; });
        ParseOffsetFormat(value);
    }
    CalcOffsetColumnWidth();
    if (FView) FView->HexLayoutChanged();
    Redraw();
}

void TCustomHexEditor::SetHexLowerCase(bool value) {
    if (value == FHexLowerCase) return;
    FHexLowerCase = value;
    std::wmemcpy(FHexDigits, value ? L"0123456789abcdef" : L"0123456789ABCDEF", 17);
    UpdateRulerTexts();
    Redraw();
}

void TCustomHexEditor::SetRulerNumberBase(int value) {
    if (value < 2 || value > 16) value = 16;
    if (value == FRulerNumberBase) return;
    FRulerNumberBase = value;
    UpdateRulerTexts();
    if (ShowRuler()) Redraw();
}

void TCustomHexEditor::SetShowRuler(bool value) {
    if (value == FLayout.ShowRuler) return;
    FLayout.ShowRuler = value;
    AdjustMetrics();
}

void TCustomHexEditor::SetGutterWidth(int value) {
    if (value == FGutterWidth) return;
    FGutterWidth = value;
    CalcOffsetColumnWidth();
    if (FView) FView->HexLayoutChanged();
    Redraw();
}

void TCustomHexEditor::SetCaretKind(THexCaretKind value) {
    if (value == FCaretKind) return;
    FCaretKind = value;
    if (FView) FView->HexCaretShapeChanged();
}

THexCaretKind TCustomHexEditor::CaretShape() const {
    if (FCaretKind != ckAuto) return FCaretKind;
    if (FReadOnlyView) return ckBottom;
    return InsertMode() ? ckLeft : ckFull;
}

void TCustomHexEditor::SetMaskChar(wchar_t value) {
    if (value == FMaskChar) return;
    FMaskChar = value;
    Redraw();
}

void TCustomHexEditor::SetInsertMode(bool value) {
    if (value == FInsertMode || !CanInsertMode()) return;
    FInsertMode = value;
    if (FView && FCaretKind == ckAuto) FView->HexCaretShapeChanged();
    if (GetDataSize()) {
        const int caret = CaretPos();  // before the append row goes away
        CalcSizes();
        if (!value && caret >= GetDataSize()) SetSelStart(GetDataSize() - 1);
    }
    FChanges.clear();
    Redraw();
}

void TCustomHexEditor::SetAllowInsertMode(bool value) {
    if (value == FAllowInsertMode) return;
    if (!value) SetInsertMode(false);
    FAllowInsertMode = value;
}

void TCustomHexEditor::SetNoSizeChange(bool value) {
    if (value == FNoSizeChange) return;
    if (value) SetInsertMode(false);
    FNoSizeChange = value;
}

void TCustomHexEditor::SetReadOnlyView(bool value) {
    if (value == FReadOnlyView) return;
    FReadOnlyView = value;
    if (FView && FCaretKind == ckAuto) FView->HexCaretShapeChanged();
}

void TCustomHexEditor::SetHideSelection(bool value) {
    if (value == FHideSelection) return;
    FHideSelection = value;
    if (HasSelection() && !(FView && FView->HexFocused())) Redraw();
}

void TCustomHexEditor::SetGraySelectionIfNotFocused(bool value) {
    if (value == FGraySelectionIfNotFocused) return;
    FGraySelectionIfNotFocused = value;
    if (HasSelection() && !FHideSelection && !(FView && FView->HexFocused())) Redraw();
}

void TCustomHexEditor::SetUnicodeChars(bool value) {
    if (value == UnicodeChars()) return;  // nothing to do for the current value
    if (value) {
        if (FLayout.BytesPerRow % 2) throw EHexEditor(hexmsg::InvalidBytesPerLine);
        if (FLayout.BytesPerColumn % 2) throw EHexEditor(hexmsg::InvalidBytesPerColumn);
        if (GetDataSize() % 2) throw EHexEditor(hexmsg::OddSizedUnicode);
        FTranslation = tkAsIs;
    }
    const bool charField = CaretInCharField();
    const int p = CaretPos();
    FLayout.Unicode = value;
    FBytesPerUnit = value ? 2 : 1;
    if (FRulerBytesPerUnit == -1) FLayout.RulerUnit = FBytesPerUnit;
    OffsetUnitFollows();
    int col, row;
    FLayout.GetCursorAtPos(p, charField, col, row);
    FCol = col;
    FRow = row;
    CalcSizes();
    UpdateRulerTexts();
    Redraw();
}

void TCustomHexEditor::SetUnicodeBigEndian(bool value) {
    if (value == FUnicodeBigEndian) return;
    FUnicodeBigEndian = value;
    if (UnicodeChars()) Redraw();
}

// ---- Offsets and ruler --------------------------------------------------------------------

void TCustomHexEditor::ParseOffsetFormat(const std::wstring& text) {
    if (text.empty()) {
        FOffsetFormat.Format.clear();
        return;
    }
    THexOffsetFormat f;
    std::wstring s = text;
    auto hexRun = [&s]() {
        size_t n = 0;
        while (n < s.size() && iswxdigit(s[n]) && s[n] < 128) ++n;
        return n;
    };
    auto startsWith = [&s](wchar_t a) {
        return s.size() >= 2 && towupper(s[0]) == a && s[1] == L'%';
    };
    // Unit.
    size_t run = hexRun();
    if (startsWith(L'R')) {
        f.Flags |= THexOffsetFormat::offCalcRow;
        s.erase(0, 2);
        f.BytesPerUnit = FLayout.BytesPerRow;
    } else if (startsWith(L'C')) {
        f.Flags |= THexOffsetFormat::offCalcColumn;
        s.erase(0, 2);
        f.BytesPerUnit = FLayout.BytesPerColumn;
    } else if (run >= s.size() || s[run] != L'%') {
        f.Flags |= THexOffsetFormat::offBytesPerUnit;
        f.BytesPerUnit = FLayout.RulerUnit;
    } else if (run == 0) {
        f.Flags |= THexOffsetFormat::offBytesPerUnit;
        f.BytesPerUnit = FLayout.RulerUnit;
        s.erase(0, 1);
    } else {
        f.BytesPerUnit = RadixToInt(s.substr(0, run), 16);
        s.erase(0, run + 1);
    }
    CheckUnit(f.BytesPerUnit);
    // Minimum digits.
    run = hexRun();
    if (s.size() >= 2 && s[0] == L'-' && s[1] == L'!') {
        f.Flags |= THexOffsetFormat::offCalcWidth;
        s.erase(0, 2);
        f.MinWidth = 1;
    } else if (run >= s.size() || s[run] != L'!') {
        f.MinWidth = 1;
    } else if (run == 0) {
        f.MinWidth = 1;
        s.erase(0, 1);
    } else {
        // The minimum is a byte: a larger count would pad every offset to megabytes.
        f.MinWidth = RadixToInt(s.substr(0, run), 16);
        if (f.MinWidth > kMaxOffsetDigits)
            throw EHexEditor(HexFormat(hexmsg::InvalidFormatMinDigits, {f.MinWidth}));
        s.erase(0, run + 1);
    }
    // Radix.
    run = hexRun();
    if (run == 0) throw EHexEditor(HexFormat(hexmsg::MissingFormatChar, {hexmsg::FormatNumberRadix}));
    if (run >= s.size() || s[run] != L':') throw EHexEditor(HexFormat(hexmsg::MissingFormatChar, {L":"}));
    f.Radix = RadixToInt(s.substr(0, run), 16);
    if (f.Radix < 2 || f.Radix > 16) throw EHexEditor(HexFormat(hexmsg::InvalidFormatRadix, {f.Radix}));
    s.erase(0, run + 1);
    // Prefix and suffix.
    size_t bar = s.find(L'|');
    if (bar == std::wstring::npos) throw EHexEditor(HexFormat(hexmsg::MissingFormatChar, {L"|"}));
    f.Prefix = s.substr(0, bar);
    f.Suffix = s.substr(bar + 1);
    f.Format = text;
    FOffsetFormat = f;
}

std::wstring TCustomHexEditor::GetOffsetString(uint32_t offset) {
    if (OnGetOffsetText && !FInOffsetText) {
        std::wstring text;
        FInOffsetText = true;
        {
            auto endOffsetText = classlib::ScopeExit([&] { FInOffsetText = false; });
            OnGetOffsetText(this, offset, text);
        }
        return text;
    }
    const THexOffsetFormat& f = FOffsetFormat;
    if (f.Format.empty()) return std::wstring();
    std::wstring digits;
    if (f.MinWidth != 0 || offset != 0) {
        digits = IntToRadixLen(offset / static_cast<uint32_t>(f.BytesPerUnit), f.Radix, f.MinWidth);
        if (FHexLowerCase)
            for (wchar_t& c : digits) c = static_cast<wchar_t>(towlower(c));
    }
    return f.Prefix + digits + f.Suffix;
}

std::wstring TCustomHexEditor::GetAnyOffsetString(uint32_t offset) {
    if (!FOffsetFormat.Format.empty()) return GetOffsetString(offset);
    return IntToRadix(offset, 16);
}

void TCustomHexEditor::CalcOffsetColumnWidth() {
    const uint32_t last = static_cast<uint32_t>(std::max(0, FRowCount - 3)) * FLayout.BytesPerRow;
    std::wstring text;
    if (OnGetOffsetText && !FInOffsetText) {
        text = GetOffsetString(last);
    } else {
        if (FOffsetFormat.Flags & THexOffsetFormat::offCalcWidth && !FOffsetFormat.Format.empty())
            FOffsetFormat.MinWidth = static_cast<int>(
                IntToRadix(last / static_cast<uint32_t>(FOffsetFormat.BytesPerUnit), FOffsetFormat.Radix).size());
        text = GetOffsetString(last);
    }
    const int chars = static_cast<int>(text.size()) + 1;
    FColWidths = FLayout.ColumnWidths(FGutterWidth != -1 ? FGutterWidth : chars * FLayout.CharWidth + 21);
}

void TCustomHexEditor::UpdateRulerTexts() {
    const int u = FLayout.RulerUnit;
    const int n = FLayout.BytesPerRow / u;
    const int base = FRulerNumberBase;
    const int w = UnicodeChars() ? u / 2 : u;
    FHexRuler.clear();
    FCharRuler.clear();
    for (int i = 0; i < n; ++i) {
        std::wstring h = IntToRadixLen(i, base, 2 * u);
        FHexRuler += h.substr(h.size() - 2 * u);
        std::wstring c = IntToRadix(i, base);
        if (static_cast<int>(c.size()) > w)
            c = c.substr(c.size() - w);
        else
            c.insert(0, w - c.size(), L' ');
        FCharRuler += c;
    }
    auto fold = [this](std::wstring& s) {
        for (wchar_t& c : s) c = static_cast<wchar_t>(FHexLowerCase ? towlower(c) : towupper(c));
    };
    fold(FHexRuler);
    fold(FCharRuler);
}

std::wstring TCustomHexEditor::RulerCellText(int col) const {
    if (col < 2) return std::wstring();
    if (col == FLayout.SeparatorCol()) return L"  ";
    size_t i = FLayout.IsCharCol(col) ? col - FLayout.FirstCharCol() : col - 2;
    const std::wstring& text = FLayout.IsCharCol(col) ? FCharRuler : FHexRuler;
    return i < text.size() ? std::wstring(1, text[i]) : std::wstring(L" ");
}

// ---- Translation --------------------------------------------------------------------------

uint8_t TCustomHexEditor::TranslateInputChar(wchar_t ch) const {
    auto toByte = [ch](UINT codePage, uint8_t& out) {
        char buf[4];
        BOOL usedDefault = FALSE;
        int n = WideCharToMultiByte(codePage, WC_NO_BEST_FIT_CHARS, &ch, 1, buf, sizeof buf, nullptr, &usedDefault);
        if (n != 1 || usedDefault) return false;
        out = static_cast<uint8_t>(buf[0]);
        return true;
    };
    uint8_t b = 0;
    switch (FTranslation) {
        case tkAsIs:
            if (!toByte(CP_ACP, b)) return 0;
            break;
        case tkDos8:
            if (!toByte(CP_OEMCP, b)) return 0;
            break;
        case tkASCII:
            if (ch >= 0x80 || !toByte(CP_OEMCP, b)) return 0;
            break;
        case tkMac:
        case tkBCD:
        case tkCustom:
            if (!toByte(CP_ACP, b)) return 0;
            b = TranslationFromTable(FTranslation)[b];
            break;
        default: return 0;
    }
    return IsMaskedByte(b) ? 0 : b;
}

wchar_t TCustomHexEditor::TranslateDisplayChar(uint8_t b) const {
    UINT codePage = CP_ACP;
    uint8_t t = b;
    switch (FTranslation) {
        case tkAsIs: break;
        case tkASCII:
            if (b >= 0x80) return FMaskChar;
            [[fallthrough]];
        case tkDos8: codePage = CP_OEMCP; break;
        case tkMac:
        case tkBCD:
        case tkCustom: t = TranslationToTable(FTranslation)[b]; break;
        default: return FMaskChar;
    }
    if (IsMaskedByte(t) && FMaskChar != 0) return FMaskChar;
    if (t < 0x80) return static_cast<wchar_t>(t);
    char c = static_cast<char>(t);
    wchar_t w = 0;
    if (MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, &c, 1, &w, 1) != 1) return FMaskChar;
    return w;
}

std::wstring TCustomHexEditor::CellText(int col, int row) const {
    bool inChar;
    const int p = FLayout.GetPosAtCursor(col, row, inChar);
    if (col < 2 || col == FLayout.SeparatorCol() || p >= GetDataSize()) return std::wstring();
    const uint8_t b = ReadByte(p);
    if (!inChar) {
        bool high = (col - 2) % 2 == (FSwapNibbles ? 1 : 0);
        return std::wstring(1, FHexDigits[high ? b >> 4 : b & 15]);
    }
    if (!UnicodeChars()) return std::wstring(1, TranslateDisplayChar(b));
    uint8_t second = p + 1 < GetDataSize() ? ReadByte(p + 1) : 0;
    wchar_t w = static_cast<wchar_t>(FUnicodeBigEndian ? (b << 8) | second : (second << 8) | b);
    if (w < 256 && IsMaskedByte(w)) w = FMaskChar;
    return std::wstring(1, w);
}

// ---- View state restored by undo and redo -------------------------------------------------

void TCustomHexEditor::PlaceCaretFromStep(const THexUndoStep& step) {
    const bool charField = step.Flags & ufCharField;
    int col, row;
    if (!GetDataSize()) {
        col = charField ? FLayout.FirstCharCol() : 2;
        row = 2;
    } else {
        const int pos = std::clamp(step.CaretPos, 0, std::max(0, LastCaretPos()));
        FLayout.GetCursorAtPos(pos, charField, col, row);
        if (!charField && (step.Flags & ufSecondDigit) && pos < GetDataSize()) ++col;
    }
    PlaceCaret(std::clamp(col, 2, ColCount() - 1), std::clamp(row, 2, FRowCount - 1));
}

void TCustomHexEditor::RestoreViewState(const THexUndoStep& step, bool restoreSelection) {
    // The recorded state was valid when it was taken; it is assigned directly, past the
    // setters' checks, which could refuse intermediate combinations (Unicode mode over data
    // whose size is odd until the whole step is reversed).
    FLayout.Unicode = step.Flags & ufUnicode;
    FUnicodeBigEndian = step.Flags & ufBigEndian;
    if (step.Translation <= tkCustom) FTranslation = static_cast<THexTranslationKind>(step.Translation);
    if (step.BytesPerUnit == 1 || step.BytesPerUnit == 2 || step.BytesPerUnit == 4 || step.BytesPerUnit == 8)
        FBytesPerUnit = step.BytesPerUnit;
    if (FRulerBytesPerUnit == -1) FLayout.RulerUnit = FBytesPerUnit;
    OffsetUnitFollows();
    FModified = step.Flags & ufModified;
    FInsertMode = step.Flags & ufInsertMode;
    CalcSizes();
    UpdateRulerTexts();
    PlaceCaretFromStep(step);
    if (restoreSelection) {
        if (!(step.Flags & ufSelection) || step.SelEnd == -1) {
            ResetSelection(false);
            if ((step.Flags & ufSelection) && GetDataSize()) {
                int col, row;
                FLayout.GetCursorAtPos(std::clamp(step.SelStart, 0, GetDataSize() - 1), CaretInCharField(), col, row);
                PlaceCaret(col, row);
            }
        } else {
            SetSelectionRange(step.SelAnchor, step.SelStart, step.SelEnd);
        }
    }
    if (FView) FView->HexCaretShapeChanged();
    Redraw();
    if (restoreSelection) Changed();
}

}  // namespace hexedit
