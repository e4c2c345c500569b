#include "favorites/favorites.h"

#include "classlib/errors.h"
#include "classlib/runtime.h"
#include "classlib/scopeguard.h"
#include "controls/wide/widefiles.h"
#include "controls/wide/widestrings.h"
#include "controls/wide/wideutils.h"
#include "registry/numbers.h"
#include "settings/settingsfiles.h"

#include <windows.h>

#include <algorithm>
#include <cwctype>
#include <memory>

namespace favorites {

using namespace wide;
using namespace registry;
using namespace settings;

namespace {

constexpr wchar_t kFileName[] = L"Favorite.db";
// The eighth field of a line whose text fields are escaped.
constexpr wchar_t kEscapedMarker[] = L"E";
// The indent of the tree's levels, in pixels.
constexpr int kIndent = 19;

// The first `count` fields of a line, split at TABs (a TAB at the very end gives no further
// field, an empty line gives none), and where the text after them begins (the line's size
// when nothing follows).
struct TLineFields {
    std::vector<std::wstring> Fields;
    size_t Rest = 0;
};

TLineFields SplitFields(const std::wstring& line, size_t count) {
    TLineFields result;
    size_t start = 0;
    while (start < line.size() && result.Fields.size() < count) {
        const size_t tab = line.find(L'\t', start);
        if (tab == std::wstring::npos) {
            result.Fields.push_back(line.substr(start));
            start = line.size();
            break;
        }
        result.Fields.push_back(line.substr(start, tab - start));
        start = tab + 1;
    }
    result.Rest = start;
    return result;
}

// A node that owns its favorite.
class TFavoriteNode final : public wide::TWideTreeNode {
public:
    explicit TFavoriteNode(wide::TWideTreeNodes* owner) : wide::TWideTreeNode(owner) {}
    ~TFavoriteNode() override { delete FavoriteOf(this); }
};

}  // namespace

std::wstring FavoriteScriptToHex(const std::wstring& script) { return WideStrToHex(script); }

std::wstring FavoriteHexToScript(const std::wstring& hex) { return HexToWideStr(hex); }

bool DecodeFavoriteScript(const std::wstring& hex, std::wstring& script) {
    if (hex.size() % 4 != 0) return false;
    for (wchar_t c : hex)
        if (c > 0x7F || !iswxdigit(c)) return false;
    script = HexToWideStr(hex);
    return true;
}

std::wstring FavoritesFileName() { return GetSettingsFilePath(kFileName); }

int FavoriteImageIndex(uint8_t kind) {
    switch (kind) {
        case fkKey: return 31;
        case fkScript: return 33;
        case fkFolder: return 32;
        case fkShellOpen: return 34;
        default: return -1;
    }
}

// --- Lines ------------------------------------------------------------------------------

std::wstring FormatFavoriteLine(int level, const TVxRegFavoriteObj& f) {
    const bool escaped = WideFieldNeedsEscape(f.FCaption) || WideFieldNeedsEscape(f.FTarget) || WideFieldNeedsEscape(f.FComment) ||
                         WideFieldNeedsEscape(f.FJumpKey);
    auto text = [&](const std::wstring& s) { return escaped ? WideEscapeField(s) : s; };
    std::wstring line = std::to_wstring(level) + L'\t' + text(f.FCaption) + L'\t' + text(f.FTarget) + L'\t' +
                        text(f.FComment) + L'\t' + std::to_wstring(f.FKind) + L'\t' + f.FScript + L'\t' +
                        text(f.FJumpKey) + L'\t';
    if (escaped) line += std::wstring(kEscapedMarker) + L'\t';
    return line + f.FExtraFields;
}

TFavoriteLineError ParseFavoriteLine(const std::wstring& line, int& level, TVxRegFavoriteObj& favorite) {
    const TLineFields split = SplitFields(line, 7);
    const std::vector<std::wstring>& fields = split.Fields;
    if (fields.empty()) return TFavoriteLineError::Empty;
    auto field = [&](size_t n) -> const std::wstring& {  // 1-based; missing fields are empty
        static const std::wstring none;
        return n <= fields.size() ? fields[n - 1] : none;
    };

    TVxRegFavoriteObj f;
    f.FCaption = field(2);
    f.FTarget = field(3);
    f.FComment = field(4);
    f.FKind = static_cast<uint8_t>(classlib::StrToIntDef(field(5), 0) & 0xFF);
    f.FScript = field(6);
    f.FJumpKey = field(7);
    // What follows the seventh field: the escape mark and then the fields this format does
    // not know, kept as they stand.
    std::wstring rest = line.substr(split.Rest);
    TFavoriteLineError result = TFavoriteLineError::None;
    const size_t markEnd = rest.find(L'\t');
    if (rest.compare(0, markEnd, kEscapedMarker) == 0) {
        TVxRegFavoriteObj u = f;
        if (WideUnescapeField(f.FCaption, u.FCaption) && WideUnescapeField(f.FTarget, u.FTarget) && WideUnescapeField(f.FComment, u.FComment) &&
            WideUnescapeField(f.FJumpKey, u.FJumpKey)) {
            f = std::move(u);
            rest.erase(0, markEnd == std::wstring::npos ? rest.size() : markEnd + 1);
        } else {
            result = TFavoriteLineError::BadEscape;  // the mark stays among the extra fields
        }
    }
    f.FExtraFields = std::move(rest);
    level = classlib::StrToIntDef(field(1), -1);
    favorite = std::move(f);
    return result;
}

// --- Files ------------------------------------------------------------------------------

std::vector<TFavoriteEntry> ReadFavoritesFile(const std::wstring& fileName, TFavoritesLoadResult& result) {
    result = TFavoritesLoadResult{};
    std::vector<TFavoriteEntry> entries;
    if (!WideFileExists(fileName)) return entries;
    result.FileExists = true;

    TWideStringList lines;
    try {
        lines.LoadFromFile(fileName);
    } catch (const classlib::Exception& e) {
        result.ReadFailed = true;
        result.ReadError = e.Message();
        return entries;
    }
    result.EncodingLossy = lines.LastLoadLossy();

    // The depth the previous favorite was placed at and the level its line gave.
    bool first = true;
    int depth = 0;
    int64_t previous = 0;
    for (int i = 0; i < lines.Count(); ++i) {
        TFavoriteEntry entry;
        int level = 0;
        const TFavoriteLineError error = ParseFavoriteLine(lines.Get(i), level, entry.Favorite);
        if (error == TFavoriteLineError::Empty) continue;
        if (error != TFavoriteLineError::None) result.BadLines.push_back({i + 1, error});
        if (first) {
            depth = 0;
        } else if (level > previous) {
            ++depth;
        } else if (level < previous) {
            // Up (previous - level + 1) parents from the previous favorite, no further than
            // the top level, and a child there.
            const int64_t up = previous - level + 1;
            depth = up > depth ? 0 : static_cast<int>(depth - up + 1);
        }
        first = false;
        previous = level;
        entry.Depth = depth;
        entries.push_back(std::move(entry));
    }
    result.Loaded = static_cast<int>(entries.size());
    return entries;
}

std::vector<std::wstring> FavoriteTreeLines(wide::TWideTreeView& tree) {
    std::vector<std::wstring> lines;
    // Depth-first, keeping the depth on the way (asking each node for its level would climb
    // to the top every time).
    int depth = 0;
    for (wide::TWideTreeNode* n = tree.Items().GetFirstNode(); n;) {
        if (const TVxRegFavoriteObj* f = FavoriteOf(n)) {
            lines.push_back(FormatFavoriteLine(depth, *f));
        } else {
            TVxRegFavoriteObj plain;
            plain.FCaption = n->Text();
            lines.push_back(FormatFavoriteLine(depth, plain));
        }
        if (wide::TWideTreeNode* child = n->GetFirstChild()) {
            n = child;
            ++depth;
            continue;
        }
        wide::TWideTreeNode* next = nullptr;
        for (; n && !(next = n->GetNextSibling()); n = n->GetParent()) --depth;
        n = next;
    }
    return lines;
}

// --- Trees ------------------------------------------------------------------------------

TFavoritesTreeView::TFavoritesTreeView(classlib::TComponent* owner) : wide::TWideTreeView(owner) {
    ReadOnly = true;
    RowSelect = true;
    ShowLines = false;
    HideSelection = false;
}

std::unique_ptr<wide::TWideTreeNode> TFavoritesTreeView::CreateNode() {
    return std::make_unique<TFavoriteNode>(FNodes.get());
}

void TFavoritesTreeView::CreateWnd() {
    wide::TWideTreeView::CreateWnd();
    SendMessageW(Handle(), TVM_SETINDENT, kIndent, 0);
}

void TFavoritesTreeView::MouseDown(classlib::TMouseButton button, classlib::TShiftState shift, int x, int y) {
    if (button == classlib::mbRight)
        if (wide::TWideTreeNode* node = GetNodeAt(x, y)) SetSelected(node);
    wide::TWideTreeView::MouseDown(button, shift, x, y);
}

void TFavoritesTreeView::CNNotify(classlib::TMessage& m) {
    const auto* header = reinterpret_cast<const NMHDR*>(m.LParam);
    if (header->code != TVN_BEGINDRAGW) return wide::TWideTreeView::CNNotify(m);
    const auto* info = reinterpret_cast<const NMTREEVIEWW*>(m.LParam);
    wide::TWideTreeNode* node = reinterpret_cast<wide::TWideTreeNode*>(info->itemNew.lParam);
    if (!node) node = Items().GetNode(info->itemNew.hItem);
    m.Result = 0;
    if (!node) return;
    SetSelected(node);
    BeginDrag(true);
}

TVxRegFavoriteObj* FavoriteOf(const wide::TWideTreeNode* node) {
    return node ? static_cast<TVxRegFavoriteObj*>(node->Data()) : nullptr;
}

void SetFavorite(wide::TWideTreeNode* node, std::unique_ptr<TVxRegFavoriteObj> favorite) {
    if (!node) return;
    std::unique_ptr<TVxRegFavoriteObj> old = TakeFavorite(node);
    node->SetData(favorite.release());
}

std::unique_ptr<TVxRegFavoriteObj> TakeFavorite(wide::TWideTreeNode* node) {
    std::unique_ptr<TVxRegFavoriteObj> favorite(FavoriteOf(node));
    if (node) node->SetData(nullptr);
    return favorite;
}

void SetNodeIcon(wide::TWideTreeNode* node) {
    const TVxRegFavoriteObj* f = FavoriteOf(node);
    if (!f) return;
    const int image = FavoriteImageIndex(f->FKind);
    if (image < 0) return;
    node->SetImageIndex(image);
    node->SetSelectedIndex(image);
}

std::vector<size_t> FavoriteSubtreeEnds(const std::vector<TFavoriteEntry>& entries) {
    std::vector<size_t> ends(entries.size(), entries.size());
    // The entries whose subtree is still open, the deepest last.
    std::vector<size_t> open;
    for (size_t i = 0; i < entries.size(); ++i) {
        while (!open.empty() && entries[open.back()].Depth >= entries[i].Depth) {
            ends[open.back()] = i;
            open.pop_back();
        }
        open.push_back(i);
    }
    return ends;
}

bool CanDropFavorite(const wide::TWideTreeNode* dragged, const wide::TWideTreeNode* target) {
    if (!dragged || !target) return false;
    for (const wide::TWideTreeNode* p = target; p; p = p->GetParent())
        if (p == dragged) return false;
    return true;
}

wide::TWideTreeNode* MoveFavoriteSubtree(wide::TWideTreeNode* node, wide::TWideTreeNode* target) {
    if (!CanDropFavorite(node, target)) return nullptr;
    const TVxRegFavoriteObj* onto = FavoriteOf(target);
    const bool folder = onto && onto->FKind == fkFolder;
    return node->MoveTo(target, folder ? wide::naAddChildFirst : wide::naInsert) ? node : nullptr;
}

int AddFavoritesToTree(TFavoritesTreeView& tree, std::vector<TFavoriteEntry>&& entries) {
    wide::TWideTreeNodes& nodes = tree.Items();
    nodes.BeginUpdate();
    auto endUpdate = classlib::ScopeExit([&] { nodes.EndUpdate(); });
    // The last node placed at each depth of the entries read so far.
    std::vector<wide::TWideTreeNode*> last;
    int added = 0;
    for (TFavoriteEntry& e : entries) {
        // ReadFavoritesFile guarantees this; entries made elsewhere are held to it too.
        const int depth = std::min<int>(std::max(e.Depth, 0), static_cast<int>(last.size()));
        wide::TWideTreeNode* parent = depth > 0 ? last[depth - 1] : nullptr;
        auto favorite = std::make_unique<TVxRegFavoriteObj>(std::move(e.Favorite));
        wide::TWideTreeNode* node = nodes.AddChildObject(parent, favorite->FCaption, favorite.get());
        favorite.release();
        SetNodeIcon(node);
        last.resize(depth);
        last.push_back(node);
        ++added;
    }
    return added;
}

TFavoritesLoadResult LoadFavorites(TFavoritesTreeView& tree, const std::wstring& fileName) {
    TFavoritesLoadResult result;
    std::vector<TFavoriteEntry> entries = ReadFavoritesFile(fileName, result);
    if (!result.FileExists) return result;
    AddFavoritesToTree(tree, std::move(entries));
    tree.FullExpand();
    return result;
}

void SaveFavorites(wide::TWideTreeView& tree, const std::wstring& fileName) {
    TWideStringList list;
    for (const std::wstring& line : FavoriteTreeLines(tree)) list.Add(line);
    list.SaveToFile(fileName);
}

// --- The file as the windows use it -------------------------------------------------------

std::wstring DamagedFavoritesText(const std::wstring& fileName, const TFavoritesLoadResult& result) {
    std::wstring text = L"お気に入りのファイルは壊れているため、読み込めた部分だけを使います。\r\n" + fileName;
    if (result.ReadFailed && !result.ReadError.empty()) text += L"\r\n" + result.ReadError;
    return text;
}

std::wstring OverwriteDamagedFavoritesQuestion(const std::wstring& fileName) {
    return L"お気に入りのファイルは壊れていて、読み込めなかった部分があります。\r\n" + fileName +
           L"\r\n保存すると、読み込めなかった部分は失われます。\r\n上書きしてよろしいですか？";
}

TFavoritesFile::TFavoritesFile(std::wstring fileName, TFavoriteQuestions& questions)
    : FFileName(std::move(fileName)), FQuestions(questions) {}

void TFavoritesFile::Noted(const TFavoritesLoadResult& result) {
    if (!result.Damaged()) {
        FDamaged = FReported = FAgreed = false;
        return;
    }
    FDamaged = true;
    if (FReported) return;
    FReported = true;
    FQuestions.ShowMessage(DamagedFavoritesText(FFileName, result));
}

TFavoritesLoadResult TFavoritesFile::Load(TFavoritesTreeView& tree) {
    tree.Items().Clear();
    const TFavoritesLoadResult result = LoadFavorites(tree, FFileName);
    Noted(result);
    return result;
}

std::vector<TFavoriteEntry> TFavoritesFile::Read() {
    TFavoritesLoadResult result;
    std::vector<TFavoriteEntry> entries = ReadFavoritesFile(FFileName, result);
    Noted(result);
    return entries;
}

bool TFavoritesFile::MayChange() {
    if (!FDamaged || FAgreed) return true;
    FAgreed = FQuestions.AskYesNo(OverwriteDamagedFavoritesQuestion(FFileName));
    return FAgreed;
}

bool TFavoritesFile::Save(wide::TWideTreeView& tree) {
    if (!MayChange()) return false;
    try {
        SaveFavorites(tree, FFileName);
    } catch (const classlib::Exception& e) {
        FQuestions.ShowMessage(e.Message());
        return false;
    }
    FDamaged = FReported = FAgreed = false;
    return true;
}

}  // namespace favorites
