#include "editors/multistring.h"

#include "controls/wide/widestrings.h"

namespace editors {

std::wstring WithoutEmptyLines(const std::wstring& text, int& removed) {
    removed = 0;
    std::wstring out;
    out.reserve(text.size());
    bool endsWithBreak = false;
    size_t i = 0;
    while (i < text.size()) {
        const size_t start = i;
        while (i < text.size() && text[i] != L'\r' && text[i] != L'\n') ++i;
        const size_t end = i;
        endsWithBreak = i < text.size();
        if (i < text.size() && text[i] == L'\r') ++i;
        if (i < text.size() && text[i] == L'\n') ++i;
        if (end == start) {
            ++removed;
            continue;
        }
        if (!out.empty()) out += L"\r\n";
        out.append(text, start, end - start);
    }
    if (endsWithBreak && !out.empty()) out += L"\r\n";
    return out;
}

int RemoveEmptyLines(wide::TWideStrings& lines) {
    int removed = 0;
    const std::wstring text = WithoutEmptyLines(lines.Text(), removed);
    if (removed > 0) lines.SetTextStr(text);
    return removed;
}

const wchar_t* const EmptyLinesRemovedText =
    L"REG_MULTI_SZに書き込む値に改行だけの空白行は許されません。空白行は自動で除去されました。";

}  // namespace editors
