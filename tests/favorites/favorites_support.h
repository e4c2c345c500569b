// Helpers of the favorites tests: a tree view of favorites without a window, favorites made
// in one call, the shape of a tree as text, and files written and read as bytes.
#pragma once

#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "favorites/favorites.h"

namespace favoritestest {

using namespace favorites;
using wide::TWideTreeNode;
using wide::TWideTreeNodes;

// A tree view of favorites without a window (the node model works alone).
struct Tree {
    TFavoritesTreeView view{nullptr};
    TWideTreeNodes& Nodes() { return view.Items(); }
    TWideTreeNode* Add(TWideTreeNode* parent, TVxRegFavoriteObj f) {
        auto favorite = std::make_unique<TVxRegFavoriteObj>(std::move(f));
        TWideTreeNode* n = Nodes().AddChildObject(parent, favorite->FCaption, favorite.get());
        favorite.release();
        SetNodeIcon(n);
        return n;
    }
};

inline TVxRegFavoriteObj Fav(const std::wstring& caption, uint8_t kind, const std::wstring& target = L"",
                      const std::wstring& comment = L"", const std::wstring& script = L"",
                      const std::wstring& jumpKey = L"") {
    TVxRegFavoriteObj f;
    f.FCaption = caption;
    f.FKind = kind;
    f.FTarget = target;
    f.FComment = comment;
    f.FScript = script.empty() ? L"" : FavoriteScriptToHex(script);
    f.FJumpKey = jumpKey;
    return f;
}

// Captions with their depth in depth-first order, e.g. "F|.K|L|".
inline std::wstring Shape(TWideTreeNodes& nodes) {
    std::wstring s;
    for (TWideTreeNode* n = nodes.GetFirstNode(); n; n = n->GetNext())
        s += std::wstring(static_cast<size_t>(n->Level()), L'.') + n->Text() + L"|";
    return s;
}

inline std::string ReadBytes(const std::wstring& file) {
    std::ifstream in(file.c_str(), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

inline void WriteBytes(const std::wstring& file, const std::string& bytes) {
    std::ofstream out(file.c_str(), std::ios::binary);
    out << bytes;
}

// UTF-16LE with BOM of lines each ended by CR LF (the form the loader reads first).
inline void WriteLines(const std::wstring& file, const std::vector<std::wstring>& lines) {
    std::string bytes = "\xFF\xFE";
    for (const std::wstring& l : lines)
        for (wchar_t c : l + L"\r\n") {
            bytes += static_cast<char>(c & 0xFF);
            bytes += static_cast<char>(c >> 8);
        }
    WriteBytes(file, bytes);
}

}  // namespace favoritestest
