#include "favorites/favorites.h"

#include "classlib/errors.h"
#include "classlib/scopeguard.h"
#include "controls/wide/widefiles.h"
#include "controls/wide/widestrings.h"
#include "registry/wendlarutil.h"
#include "settings/settingsfiles.h"

#include <windows.h>

#include <algorithm>
#include <memory>

namespace {

constexpr wchar_t kFileName[] = L"Favorite.db";
// The eighth field of a line whose text fields are escaped.
constexpr wchar_t kEscapedMarker[] = L"E";

bool NeedsEscape(const std::wstring& s) {
    for (wchar_t c : s)
        if (c == L'\t' || c == L'\r' || c == L'\n' || c == L'\0') return true;
    return false;
}

std::wstring Escape(const std::wstring& s) {
    std::wstring out;
    out.reserve(s.size());
    for (wchar_t c : s) {
        switch (c) {
            case L'\\': out += L"\\\\"; break;
            case L'\t': out += L"\\t"; break;
            case L'\r': out += L"\\r"; break;
            case L'\n': out += L"\\n"; break;
            case L'\0': out += L"\\0"; break;
            default: out += c;
        }
    }
    return out;
}

// False for a backslash not followed by one of the five escape letters.
bool Unescape(const std::wstring& s, std::wstring& out) {
    out.clear();
    out.reserve(s.size());
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] != L'\\') {
            out += s[i];
            continue;
        }
        if (++i == s.size()) return false;
        switch (s[i]) {
            case L'\\': out += L'\\'; break;
            case L't': out += L'\t'; break;
            case L'r': out += L'\r'; break;
            case L'n': out += L'\n'; break;
            case L'0': out += L'\0'; break;
            default: return false;
        }
    }
    return true;
}

// Fields of a line: split at TABs; a TAB at the very end gives no further field, and an
// empty line gives none.
std::vector<std::wstring> SplitFields(const std::wstring& line) {
    std::vector<std::wstring> fields;
    size_t start = 0;
    while (start < line.size()) {
        const size_t tab = line.find(L'\t', start);
        if (tab == std::wstring::npos) {
            fields.push_back(line.substr(start));
            break;
        }
        fields.push_back(line.substr(start, tab - start));
        start = tab + 1;
    }
    return fields;
}

// Plain decimal digits only; false when empty, not digits or too large.
bool ParseDecimal(const std::wstring& s, int& value) {
    if (s.empty()) return false;
    long long v = 0;
    for (wchar_t c : s) {
        if (c < L'0' || c > L'9') return false;
        v = v * 10 + (c - L'0');
        if (v > 1000000) return false;
    }
    value = static_cast<int>(v);
    return true;
}

bool IsHexDigit(wchar_t c) {
    return (c >= L'0' && c <= L'9') || (c >= L'A' && c <= L'F') || (c >= L'a' && c <= L'f');
}

// Whole UTF-16 units: four digits each.
bool IsWellFormedScript(const std::wstring& hex) {
    if (hex.size() % 4 != 0) return false;
    for (wchar_t c : hex)
        if (!IsHexDigit(c)) return false;
    return true;
}

void FreeFavorites(wide::TWideTreeNode* node) {
    for (wide::TWideTreeNode* c = node->GetFirstChild(); c; c = c->GetNextSibling()) FreeFavorites(c);
    delete FavoriteOf(node);
    node->SetData(nullptr);
}

}  // namespace

std::wstring FavoriteScriptToHex(const std::wstring& script) { return WideStrToHex(script); }

std::wstring FavoriteHexToScript(const std::wstring& hex) { return HexToWideStr(hex); }

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
    const bool escaped = NeedsEscape(f.FCaption) || NeedsEscape(f.FTarget) || NeedsEscape(f.FComment) ||
                         NeedsEscape(f.FJumpKey);
    auto text = [&](const std::wstring& s) { return escaped ? Escape(s) : s; };
    std::wstring line = std::to_wstring(level) + L'\t' + text(f.FCaption) + L'\t' + text(f.FTarget) + L'\t' +
                        text(f.FComment) + L'\t' + std::to_wstring(f.FKind) + L'\t' + f.FScript + L'\t' +
                        text(f.FJumpKey) + L'\t';
    if (escaped) line += std::wstring(kEscapedMarker) + L'\t';
    return line;
}

TFavoriteLineError ParseFavoriteLine(const std::wstring& line, int& level, TVxRegFavoriteObj& favorite) {
    const std::vector<std::wstring> fields = SplitFields(line);
    if (fields.empty()) return TFavoriteLineError::Empty;
    auto field = [&](size_t n) -> const std::wstring& {  // 1-based; missing fields are empty
        static const std::wstring none;
        return n <= fields.size() ? fields[n - 1] : none;
    };

    int lv = 0;
    if (!ParseDecimal(field(1), lv)) return TFavoriteLineError::BadLevel;

    TVxRegFavoriteObj f;
    int kind = 0;
    if (!field(5).empty() && (!ParseDecimal(field(5), kind) || kind > fkShellOpen))
        return TFavoriteLineError::BadKind;
    f.FKind = static_cast<uint8_t>(kind);
    if (!IsWellFormedScript(field(6))) return TFavoriteLineError::BadScript;
    f.FScript = field(6);

    if (field(8) == kEscapedMarker) {
        if (!Unescape(field(2), f.FCaption) || !Unescape(field(3), f.FTarget) ||
            !Unescape(field(4), f.FComment) || !Unescape(field(7), f.FJumpKey))
            return TFavoriteLineError::BadEscape;
    } else {
        f.FCaption = field(2);
        f.FTarget = field(3);
        f.FComment = field(4);
        f.FJumpKey = field(7);
    }
    level = lv;
    favorite = std::move(f);
    return TFavoriteLineError::None;
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

    // Depth of the last favorite kept; -1 before the first.
    int depth = -1;
    for (int i = 0; i < lines.Count(); ++i) {
        TFavoriteEntry entry;
        int level = 0;
        TFavoriteLineError error = ParseFavoriteLine(lines.Get(i), level, entry.Favorite);
        if (error == TFavoriteLineError::Empty) continue;
        // A level may go back up any number of steps but down only one: a deeper line has
        // no parent to hang from. Its own descendants, deeper still, are skipped with it.
        if (error == TFavoriteLineError::None && level > depth + 1) error = TFavoriteLineError::LevelJump;
        if (error != TFavoriteLineError::None) {
            result.BadLines.push_back({i + 1, error});
            continue;
        }
        entry.Depth = depth = level;
        entries.push_back(std::move(entry));
    }
    result.Loaded = static_cast<int>(entries.size());
    return entries;
}

std::vector<std::wstring> FavoriteTreeLines(wide::TWideTreeView& tree) {
    std::vector<std::wstring> lines;
    for (wide::TWideTreeNode* n = tree.Items().GetFirstNode(); n; n = n->GetNext()) {
        if (const TVxRegFavoriteObj* f = FavoriteOf(n)) {
            lines.push_back(FormatFavoriteLine(n->Level(), *f));
        } else {
            TVxRegFavoriteObj plain;
            plain.FCaption = n->Text();
            lines.push_back(FormatFavoriteLine(n->Level(), plain));
        }
    }
    return lines;
}

// --- Trees ------------------------------------------------------------------------------

TVxRegFavoriteObj* FavoriteOf(const wide::TWideTreeNode* node) {
    return node ? static_cast<TVxRegFavoriteObj*>(node->Data()) : nullptr;
}

void SetNodeIcon(wide::TWideTreeNode* node) {
    const TVxRegFavoriteObj* f = FavoriteOf(node);
    if (!f) return;
    const int image = FavoriteImageIndex(f->FKind);
    if (image < 0) return;
    node->SetImageIndex(image);
    node->SetSelectedIndex(image);
}

int AddFavoritesToTree(wide::TWideTreeView& tree, std::vector<TFavoriteEntry>&& entries) {
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

TFavoritesLoadResult LoadFavorites(wide::TWideTreeView& tree, const std::wstring& fileName) {
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

void ClearFavoritesTree(wide::TWideTreeView& tree) {
    wide::TWideTreeNodes& nodes = tree.Items();
    for (wide::TWideTreeNode* n = nodes.GetFirstNode(); n; n = n->GetNextSibling()) FreeFavorites(n);
    nodes.Clear();
}

void DeleteFavoriteNode(wide::TWideTreeNode* node) {
    if (!node) return;
    FreeFavorites(node);
    node->Delete();
}
