// The header layout stream: SaveHeader writes the columns, the position map, the header's
// own properties and its font; LoadHeader reads them back.
//
// Every number is a 32-bit little-endian integer; texts are UTF-16 without terminator,
// preceded by their length in characters (the font name: ANSI bytes, preceded by their
// count). A stream that starts with -1 carries a version next; older streams start with
// the column count directly (version -1).
//
// Loading reads the whole header into a description first and changes the header only
// when the description is complete and sound: every length is checked against the bytes
// left, counts and enumerations against their limits, and the position map must name each
// column once. A damaged or short stream raises EReadError and changes nothing.
#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "classlib/errors.h"
#include "classlib/scopeguard.h"
#include "controls/gridtree/basetree.h"
#include "controls/gridtree/gridheader.h"

namespace gridtree {

namespace {

constexpr int32_t CurrentVersion = 3;
constexpr int32_t MaxColumns = 1024;
constexpr int32_t MaxTextLength = 32767;
constexpr int32_t MaxFontNameBytes = 255;

void WriteInt(classlib::TStream& Stream, int32_t Value) { Stream.WriteBuffer(&Value, sizeof(Value)); }

void WriteText(classlib::TStream& Stream, const std::wstring& Text) {
    WriteInt(Stream, int32_t(Text.size()));
    if (!Text.empty()) Stream.WriteBuffer(Text.data(), Text.size() * sizeof(wchar_t));
}

// Reads within the bytes the stream has left; anything beyond them is damage.
class THeaderReader {
public:
    explicit THeaderReader(classlib::TStream& Stream) : FStream(Stream) {
        FLeft = std::max<int64_t>(0, Stream.Size() - Stream.Position());
    }
    int32_t Int() {
        int32_t value = 0;
        Take(sizeof(value));
        FStream.ReadBuffer(&value, sizeof(value));
        return value;
    }
    // An integer that must lie in [Low, High].
    int32_t Int(int32_t Low, int32_t High) {
        int32_t value = Int();
        if (value < Low || value > High) Damaged();
        return value;
    }
    std::wstring Text() {
        int32_t length = Int(0, MaxTextLength);
        std::wstring text(size_t(length), L'\0');
        Take(int64_t(length) * int64_t(sizeof(wchar_t)));
        if (length > 0) FStream.ReadBuffer(text.data(), size_t(length) * sizeof(wchar_t));
        return text;
    }
    std::string Bytes(int32_t Max) {
        int32_t length = Int(0, Max);
        std::string bytes(size_t(length), '\0');
        Take(length);
        if (length > 0) FStream.ReadBuffer(bytes.data(), size_t(length));
        return bytes;
    }
    [[noreturn]] static void Damaged() { throw classlib::EReadError(L"The header stream is damaged."); }

private:
    void Take(int64_t Count) {
        if (Count > FLeft) throw classlib::EReadError(L"The header stream ends early.");
        FLeft -= Count;
    }
    classlib::TStream& FStream;
    int64_t FLeft;
};

struct TColumnRecord {
    std::wstring Text, Hint;
    int32_t Width = 50, MinWidth = 10, MaxWidth = 10000, Style = 0, ImageIndex = -1, Layout = 0, Margin = 4,
            Spacing = 4, BiDiMode = 0, Options = 0, Tag = 0, Alignment = 0;
    classlib::TColor Color = classlib::clWindow;
    bool HasColor = false;
};

// Column options as stored by an older version, in today's bit layout.
TGTColumnOptions ConvertColumnOptions(int32_t Stored, int32_t Version) {
    const uint32_t bits = uint32_t(Stored);
    if (Version >= 3) return TGTColumnOptions(bits & 0xFFFF);
    if (Version == 2) return TGTColumnOptions(bits & 0xFF);
    // Before coParentColor (bit 4) existed: the later bits move up one place.
    return TGTColumnOptions(((bits & 0xF) | ((bits & ~0xFu) << 1)) & 0xFF);
}

}  // namespace

void TGridTreeColumns::SaveColumns(classlib::TStream& Stream) const {
    WriteInt(Stream, Count());
    for (TColumnIndex i = 0; i < Count(); ++i) {
        const TGridTreeColumn* column = GetItem(i);
        WriteText(Stream, column->FText);
        WriteText(Stream, column->FHint);
        WriteInt(Stream, column->FWidth);
        WriteInt(Stream, column->FMinWidth);
        WriteInt(Stream, column->FMaxWidth);
        WriteInt(Stream, column->FStyle);
        WriteInt(Stream, column->FImageIndex);
        WriteInt(Stream, column->FLayout);
        WriteInt(Stream, column->FMargin);
        WriteInt(Stream, column->FSpacing);
        WriteInt(Stream, column->FBiDiMode);
        WriteInt(Stream, column->FOptions);
        WriteInt(Stream, column->FTag);
        WriteInt(Stream, column->FAlignment);
        WriteInt(Stream, column->FColor);
    }
    if (Count() > 0)
        for (int index : FPositionToIndex) WriteInt(Stream, index);
}

void TGTHeader::SaveHeader(classlib::TStream& Stream) {
    WriteInt(Stream, -1);
    WriteInt(Stream, CurrentVersion);
    FColumns->SaveColumns(Stream);
    WriteInt(Stream, FAutoSizeIndex);
    WriteInt(Stream, FBackground);
    WriteInt(Stream, FHeight);
    WriteInt(Stream, FOptions);
    WriteInt(Stream, FStyle);
    WriteInt(Stream, FFont->Color());
    WriteInt(Stream, FFont->Height());
    std::string name;
    if (!FFont->Name().empty()) {
        const std::wstring& wide = FFont->Name();
        int bytes = WideCharToMultiByte(CP_ACP, 0, wide.c_str(), int(wide.size()), nullptr, 0, nullptr, nullptr);
        name.resize(size_t(std::max(bytes, 0)));
        if (bytes > 0) WideCharToMultiByte(CP_ACP, 0, wide.c_str(), int(wide.size()), name.data(), bytes, nullptr, nullptr);
    }
    WriteInt(Stream, int32_t(name.size()));
    if (!name.empty()) Stream.WriteBuffer(name.data(), name.size());
    WriteInt(Stream, 0);  // pitch: the font's default
    WriteInt(Stream, int32_t(FFont->Style() & 0xFF));
    WriteInt(Stream, FMainColumn);
    WriteInt(Stream, FSortColumn);
    WriteInt(Stream, FSortDirection);
}

void TGTHeader::LoadHeader(classlib::TStream& Stream) {
    // The column-resize notification fires also when the stream is refused.
    auto notify = classlib::ScopeExit([&] { FOwner->DoColumnResize(NoColumn); });

    // Read everything first: a damaged stream must leave the header as it is.
    THeaderReader reader(Stream);
    int32_t version = -1;
    int32_t count = reader.Int();
    if (count < 0) {
        version = reader.Int(0, 0x7FFFFFFF);
        count = reader.Int();
    }
    if (count < 0 || count > MaxColumns) THeaderReader::Damaged();
    std::vector<TColumnRecord> records(static_cast<size_t>(count));
    for (TColumnRecord& r : records) {
        r.Text = reader.Text();
        r.Hint = reader.Text();
        r.Width = reader.Int();
        r.MinWidth = reader.Int();
        r.MaxWidth = reader.Int();
        r.Style = reader.Int(vsText, vsOwnerDraw);
        r.ImageIndex = reader.Int();
        r.Layout = reader.Int(blGlyphLeft, blGlyphBottom);
        r.Margin = reader.Int();
        r.Spacing = reader.Int();
        r.BiDiMode = reader.Int(bdLeftToRight, bdRightToLeftReadingOnly);
        r.Options = ConvertColumnOptions(reader.Int(), version);
        if (version > 0) {
            r.Tag = reader.Int();
            r.Alignment = reader.Int(taLeftJustify, taCenter);
        }
        if (version > 1) {
            r.Color = reader.Int();
            r.HasColor = true;
        }
    }
    TIndexArray positions;
    if (count > 0) {
        positions.resize(size_t(count));
        std::vector<bool> seen(size_t(count), false);
        for (int& index : positions) {
            index = reader.Int(0, count - 1);
            if (seen[size_t(index)]) THeaderReader::Damaged();
            seen[size_t(index)] = true;
        }
    }
    const int32_t autoSizeIndex = reader.Int(NoColumn, std::max(count - 1, int32_t(NoColumn)));
    const classlib::TColor background = reader.Int();
    const int32_t height = reader.Int(0, 0x7FFF);
    const int32_t options = reader.Int(0, 0xFFFF);
    const int32_t style = reader.Int(hsThickButtons, hsXPStyle);
    const classlib::TColor fontColor = reader.Int();
    const int32_t fontHeight = reader.Int(-0x7FFF, 0x7FFF);
    const std::string fontName = reader.Bytes(MaxFontNameBytes);
    reader.Int();  // pitch
    const int32_t fontStyle = reader.Int(0, 0xFF);
    int32_t mainColumn = FMainColumn, sortColumn = FSortColumn, sortDirection = FSortDirection;
    if (version > 0) {
        mainColumn = reader.Int(NoColumn, std::max(count - 1, int32_t(NoColumn)));
        sortColumn = reader.Int(NoColumn, std::max(count - 1, int32_t(NoColumn)));
        sortDirection = reader.Int(sdAscending, sdDescending);
    }

    // Apply. Options stay empty while the columns are made, so nothing sizes or repaints
    // column by column.
    FStates |= hstLoading;
    TGTHeaderOptions kept = FOptions;
    FOptions = 0;
    {
        auto endLoading = classlib::ScopeExit([&] {
            FStates &= THeaderStates(~hstLoading);
            if (FOptions == 0) FOptions = kept;
        });
        FColumns->BeginUpdate();
        auto endUpdate = classlib::ScopeExit([&] { FColumns->EndUpdate(); });
        FColumns->Clear();
        for (const TColumnRecord& r : records) {
            TGridTreeColumn* column = FColumns->Add();
            column->FText = r.Text;
            column->FHint = r.Hint;
            column->FMaxWidth = std::max(r.MaxWidth, 0);
            column->FMinWidth = std::clamp(r.MinWidth, 0, column->FMaxWidth);
            column->FWidth = std::clamp(r.Width, column->FMinWidth, column->FMaxWidth);
            column->FLastWidth = column->FWidth;
            column->FStyle = TGridTreeColumnStyle(r.Style);
            column->FImageIndex = r.ImageIndex;
            column->FLayout = TGTHeaderColumnLayout(r.Layout);
            column->FMargin = r.Margin < 0 ? 4 : r.Margin;
            column->FSpacing = r.Spacing;
            column->FBiDiMode = TBiDiMode(r.BiDiMode);
            column->FOptions = TGTColumnOptions(r.Options);
            column->FTag = r.Tag;
            column->FAlignment = TAlignment(r.Alignment);
            column->FColor = r.HasColor && !(r.Options & coParentColor) ? r.Color : FOwner->Color();
        }
        FColumns->FPositionToIndex = positions;
        FColumns->FNeedPositionsFix = false;
        FColumns->RecalcLeftEdges(true);
        FAutoSizeIndex = autoSizeIndex;
        FBackground = background;
        FHeight = height;
        FOptions = TGTHeaderOptions(options);
        FStyle = TGTHeaderStyle(style);
        FFont->SetColor(fontColor);
        FFont->SetHeight(fontHeight);
        if (!fontName.empty()) {
            int chars = MultiByteToWideChar(CP_ACP, 0, fontName.data(), int(fontName.size()), nullptr, 0);
            std::wstring wide(size_t(std::max(chars, 0)), L'\0');
            if (chars > 0) MultiByteToWideChar(CP_ACP, 0, fontName.data(), int(fontName.size()), wide.data(), chars);
            FFont->SetName(wide);
        }
        FFont->SetStyle(classlib::TFontStyles(fontStyle) & (classlib::fsBold | classlib::fsItalic |
                                                            classlib::fsUnderline | classlib::fsStrikeOut));
        FMainColumn = count > 0 ? std::max(mainColumn, 0) : NoColumn;
        FSortColumn = sortColumn;
        FSortDirection = TSortDirection(sortDirection);
    }
    RefreshHeaderArea();
    if (FOptions & hoAutoResize) FColumns->AutoSizeColumn(InvalidColumn, false);
    if (FOwner->HandleAllocated()) FOwner->UpdateHorizontalScrollBar(false);
    Invalidate();
    FOwner->Invalidate();
}

}  // namespace gridtree
