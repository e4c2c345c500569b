// The value list: filling, cell texts, images, colours and sorting.
#include "views/reglistview.h"

#include <algorithm>
#include <unordered_set>

#include "classlib/runtime.h"
#include "classlib/scopeguard.h"
#include "registry/regops.h"
#include "registry/regtext.h"

namespace views {

using namespace gridtree;
using registry::TVxRegValueClass;

const wchar_t* const ValueReadErrorText = L"#(Wendlarエラー)値の読み取りに失敗#";
const wchar_t* const DefaultValueCaption = L"(既定)";
const wchar_t* const CorruptNumberText = L"破損した数値";

namespace {

bool IsNumberType(DWORD Type) { return Type == REG_DWORD || Type == REG_DWORD_BIG_ENDIAN || Type == REG_QWORD; }

bool IsStringType(DWORD Type) { return Type == REG_SZ || Type == REG_EXPAND_SZ || Type == REG_MULTI_SZ; }

// The strings of a multi-string stand on one line, each followed by one blank.
void JoinLines(std::wstring& Text) {
    std::wstring out;
    out.reserve(Text.size());
    for (size_t i = 0; i < Text.size(); ++i) {
        if (Text[i] == L'\r' && i + 1 < Text.size() && Text[i + 1] == L'\n') {
            out += L' ';
            ++i;
        } else {
            out += Text[i];
        }
    }
    Text.swap(out);
}

// The key a record names. A value record carries its key's fields, but its full path and
// caption are the value's own.
registry::TVxRegKeyClass KeyOfRecord(const registry::TVxRegKeyClass& Record) {
    registry::TVxRegKeyClass key = Record;
    if (const auto* value = dynamic_cast<const TVxRegValueClass*>(&Record)) {
        key.FDisplayName = key.FKeyName;
        const size_t tail = value->FValueName.size() + 1;
        if (key.FFullPath.size() >= tail) key.FFullPath.resize(key.FFullPath.size() - tail);
    }
    return key;
}

using TValues = std::vector<std::unique_ptr<TVxRegValueClass>>;

// Sorts the rows by a text of each, in the order of the user's locale with letter case
// ignored; every text's sort key is made once.
template <class TextOf>
void SortByText(TValues& Values, TextOf Text, bool Descending) {
    std::vector<std::pair<std::string, std::unique_ptr<TVxRegValueClass>>> keyed;
    keyed.reserve(Values.size());
    for (auto& value : Values) {
        std::string key = classlib::WideSortKey(Text(*value));
        keyed.emplace_back(std::move(key), std::move(value));
    }
    std::sort(keyed.begin(), keyed.end(),
              [Descending](const auto& a, const auto& b) { return Descending ? b.first < a.first : a.first < b.first; });
    for (size_t i = 0; i < keyed.size(); ++i) Values[i] = std::move(keyed[i].second);
}

const std::wstring& NameOf(const TVxRegValueClass& Value) { return Value.FValueName; }
const std::wstring& DataTextOf(const TVxRegValueClass& Value) { return Value.FDataText; }

}  // namespace

// --- data reads -------------------------------------------------------------------------

class TVxRegListView::TReadBatch {
public:
    explicit TReadBatch(TVxRegListView& List) : FList(List) { ++FList.FBatchDepth; }
    ~TReadBatch() {
        if (--FList.FBatchDepth == 0) {
            FList.FBatchKey.Reset();
            FList.FBatchOpenTried = false;
        }
    }
    TReadBatch(const TReadBatch&) = delete;
    TReadBatch& operator=(const TReadBatch&) = delete;

private:
    TVxRegListView& FList;
};

void TVxRegListView::WorkOutDataText(TVxRegValueClass& Value) {
    if (Value.FDataTextCached) return;
    classlib::TRegKey own;
    HKEY key = nullptr;
    if (FBatchDepth > 0) {
        if (!FBatchOpenTried) {
            FBatchOpenTried = true;
            FBatchKey = registry::OpenKeyForRead(FKey);
        }
        key = FBatchKey.Get();
    } else {
        own = registry::OpenKeyForRead(FKey);
        key = own.Get();
    }
    DWORD type = REG_NONE;
    std::vector<BYTE> data;
    if (!key || registry::QueryRegValueRaw(key, Value.FValueName, type, data) != ERROR_SUCCESS) {
        Value.FDataText = ValueReadErrorText;
        return;
    }
    const bool wrongSize = registry::RegNumberHasWrongSize(type, data.size());
    if (IsNumberType(type) && !wrongSize) {
        Value.FDataText = registry::FormatIntValueText(data.data(), data.size(), type);
    } else {
        Value.FCorruptNumber = wrongSize;
        Value.FDataText = registry::FormatValueDataText(data.data(), data.size(), type, true);
        if (type == REG_MULTI_SZ) JoinLines(Value.FDataText);
    }
    Value.FDataTextCached = true;
}

void TVxRegListView::PaintTree(classlib::TCanvas& TargetCanvas, const RECT& Window, POINT Target,
                               TGTInternalPaintOptions PaintOptions) {
    TReadBatch batch(*this);
    TCustomGridStringTree::PaintTree(TargetCanvas, Window, Target, PaintOptions);
}

// --- construction -------------------------------------------------------------------------

TVxRegListView::TVxRegListView(classlib::TComponent* Owner) : TCustomGridStringTree(Owner) {
    TGTHeader& header = Header();
    header.SetOptions(header.Options() | hoShowSortGlyphs | hoVisible);
    header.SetStyle(hsXPStyle);
    for (const wchar_t* caption : {L"名前", L"値", L"種類"}) header.Columns().Add()->SetText(caption);
    TCustomStringTreeOptions& options = TreeOptions();
    options.SetPaintOptions((options.PaintOptions() & ~(toShowDropmark | toShowRoot | toShowTreeLines)) |
                            toShowHorzGridLines | toShowVertGridLines | toFullVertGridLines);
    options.SetSelectionOptions(options.SelectionOptions() | toFullRowSelect | toMultiSelect | toRightClickSelect);
    SetColor(FDefaultColor);
    SetIncrementalSearch(isAll);
}

TVxRegListView::~TVxRegListView() = default;

void TVxRegListView::CreateParams(classlib::TCreateParams& Params) {
    TCustomGridStringTree::CreateParams(Params);
    Params.WinClassName = L"TVxRegListView";
}

// --- rows ---------------------------------------------------------------------------------

void TVxRegListView::ClearValues() {
    SetRootNodeCount(0);
    FValues.clear();
}

void TVxRegListView::ShowKey(const registry::TVxRegKeyClass* Key) {
    // The key may be one of the rows about to be freed.
    const registry::TVxRegKeyClass key = Key ? KeyOfRecord(*Key) : registry::TVxRegKeyClass();
    ClearValues();
    FKey = key;
    if (!Key) return;
    Header().SetSortColumn(NoColumn);
    // A key not known to be read-only and not tested yet is write-tested by the opening that
    // lists it.
    const bool test = !key.FReadOnly && !key.FReadOnlyChecked;
    bool writable = false;
    registry::ListRegValues(FValues, key, test ? &writable : nullptr);
    if (test) {
        FKey.FReadOnly = !writable;
        FKey.FReadOnlyChecked = true;
    }
    ApplyColors(FKey.FReadOnly ? FReadOnlyColor : FDefaultColor);

    auto isDefault = [](const std::unique_ptr<TVxRegValueClass>& v) { return v->FValueName.empty(); };
    auto found = std::find_if(FValues.begin(), FValues.end(), isDefault);
    if (found != FValues.end()) {
        (*found)->FDisplayName = DefaultValueCaption;
    } else {
        auto placeholder = std::make_unique<TVxRegValueClass>();
        placeholder->FDisplayName = DefaultValueCaption;
        placeholder->FKeyName = key.FKeyName;
        placeholder->FPath = key.FPath;
        // As the enumeration names a default value: the key's full path and a backslash.
        placeholder->FFullPath = key.FFullPath + L'\\';
        placeholder->FComputerName = key.FComputerName;
        placeholder->FRootKey = key.FRootKey;
        placeholder->FLastWriteTime = key.FLastWriteTime;
        placeholder->FReadOnly = FKey.FReadOnly;
        placeholder->FReadOnlyChecked = FKey.FReadOnlyChecked;
        placeholder->FValueType = REG_SZ;
        placeholder->FDataTextCached = true;  // an empty data cell without a registry read
        FValues.insert(FValues.begin(), std::move(placeholder));
    }
    // The default value (empty name) sorts first.
    if (FValues.size() > 1) SortByText(FValues, NameOf, false);
    SetRootNodeCount(ValueCount());
}

TVxRegValueClass* TVxRegListView::GetValueAt(uint32_t Index) const {
    return Index < FValues.size() ? FValues[Index].get() : nullptr;
}

TVxRegValueClass* TVxRegListView::ValueOfNode(PGridNode Node) const {
    if (!Node || Node->Parent != RootNode()) return nullptr;
    return GetValueAt(Node->Index);
}

TVxRegValueClass* TVxRegListView::GetSelectedValue() { return ValueOfNode(GetFirstSelected()); }

std::wstring TVxRegListView::GetValueNameOfNode(PGridNode Node) const {
    const TVxRegValueClass* value = ValueOfNode(Node);
    return value ? value->FValueName : std::wstring();
}

// --- cells --------------------------------------------------------------------------------

void TVxRegListView::DoGetText(PGridNode Node, TColumnIndex Column, TGSTTextType TextType, std::wstring& Text) {
    TCustomGridStringTree::DoGetText(Node, Column, TextType, Text);
    TVxRegValueClass* value = ValueOfNode(Node);
    if (!value || TextType != ttNormal) return;
    switch (Column) {
        case 0:
            Text = value->FDisplayName;
            break;
        case 1:
            WorkOutDataText(*value);
            Text = value->FDataText;
            break;
        case 2:
            // Only the data tells whether a number has the wrong length.
            if (IsNumberType(value->FValueType)) WorkOutDataText(*value);
            Text = value->FCorruptNumber ? CorruptNumberText : registry::RegTypeToName(value->FValueType);
            break;
        default:
            break;
    }
}

classlib::TImageList* TVxRegListView::DoGetImageIndex(PGridNode Node, TGTImageKind Kind, TColumnIndex Column,
                                                      bool& Ghosted, int& Index) {
    Index = -1;
    if (Column == 0 && (Kind == ikNormal || Kind == ikSelected))
        if (const TVxRegValueClass* value = ValueOfNode(Node))
            Index = IsStringType(value->FValueType) ? FStringItemImage : FBinItemImage;
    return TCustomGridStringTree::DoGetImageIndex(Node, Kind, Column, Ghosted, Index);
}

// --- colours and images -------------------------------------------------------------------

void TVxRegListView::ApplyColors(classlib::TColor Color) {
    SetColor(Color);
    TGridTreeColumns& columns = Header().Columns();
    for (TColumnIndex i = 0; i < columns.Count(); ++i) columns[i]->SetColor(Color);
}

void TVxRegListView::SetStringItemImage(int Value) {
    FStringItemImage = Value;
    Invalidate();
}

void TVxRegListView::SetBinItemImage(int Value) {
    FBinItemImage = Value;
    Invalidate();
}

void TVxRegListView::SetDefaultColor(classlib::TColor Value) {
    FDefaultColor = Value;
    SetColor(Value);
    Invalidate();
}

void TVxRegListView::SetReadOnlyColor(classlib::TColor Value) {
    FReadOnlyColor = Value;
    Invalidate();
}

void TVxRegListView::SetSortColumnColor(classlib::TColor Value) {
    FSortColumnColor = Value;
    Invalidate();
}

// --- sorting ------------------------------------------------------------------------------

void TVxRegListView::DoHeaderClick(TColumnIndex Column, classlib::TMouseButton Button, classlib::TShiftState Shift,
                                   int X, int Y) {
    TCustomGridStringTree::DoHeaderClick(Column, Button, Shift, X, Y);
    ApplyColors(Color());
    if (Button != classlib::mbLeft) return;
    TGTHeader& header = Header();
    if (Column != header.SortColumn()) {
        header.SetSortColumn(Column);
        header.SetSortDirection(sdAscending);
    }
    header.SetSortDirection(header.SortDirection() == sdAscending ? sdDescending : sdAscending);
    SortValues(Column, header.SortDirection());
    if (TGridTreeColumn* column = header.Columns().GetItem(Column)) column->SetColor(FSortColumnColor);
    Invalidate();
}

void TVxRegListView::SortValues(TColumnIndex Column, TSortDirection Direction) {
    if (Column < 0 || Column > 2 || FValues.size() < 2) return;
    if (Column == 1) {
        // The order needs every row's data, not only that of the rows shown so far.
        TReadBatch batch(*this);
        for (auto& value : FValues) WorkOutDataText(*value);
    }
    // The selection belongs to the values, not to the row positions.
    std::unordered_set<const TVxRegValueClass*> selected;
    for (PGridNode node = GetFirstSelected(); node; node = GetNextSelected(node))
        if (const TVxRegValueClass* value = ValueOfNode(node)) selected.insert(value);
    const TVxRegValueClass* focused = ValueOfNode(FocusedNode());

    const bool descending = Direction == sdDescending;
    if (Column == 0) {
        SortByText(FValues, NameOf, descending);
    } else if (Column == 1) {
        SortByText(FValues, DataTextOf, descending);
    } else {
        std::sort(FValues.begin(), FValues.end(), [descending](const auto& a, const auto& b) {
            return descending ? b->FValueType < a->FValueType : a->FValueType < b->FValueType;
        });
    }

    if (selected.empty() && !focused) return;
    BeginUpdate();
    auto endUpdate = classlib::ScopeExit([&] { EndUpdate(); });
    TNodeArray newSelection;
    PGridNode newFocus = nullptr;
    uint32_t i = 0;
    for (PGridNode node = GetFirstChild(nullptr); node; node = GetNextSibling(node), ++i) {
        const TVxRegValueClass* value = GetValueAt(i);
        if (selected.count(value)) newSelection.push_back(node);
        if (value == focused) newFocus = node;
    }
    ClearSelection();
    if (!newSelection.empty()) AddToSelection(newSelection.data(), newSelection.size());
    SetFocusedNode(newFocus);
    ResetRangeAnchor();
}

}  // namespace views
