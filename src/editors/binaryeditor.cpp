#include "editors/binaryeditor.h"

#include "hexedit/hexeditor.h"
#include "registry/regrecords.h"

#include <algorithm>

namespace editors {

void SetupBinaryEditorHex(hexedit::TCustomHexEditor& editor) {
    editor.SetBytesPerRow(16);
    editor.SetOffsetFormat(L"-!10:0x|");
    editor.SetTranslation(hexedit::tkAsIs);
    editor.SetUnicodeChars(true);
    editor.SetBytesPerUnit(2);
    editor.SetDrawGridLines(false);
    editor.SetFocusFrame(true);
    editor.SetInsertMode(true);
}

bool LoadValueIntoHexEditor(hexedit::TCustomHexEditor& editor, const registry::TVxRegKeyClass& key,
                            const std::wstring& name, DWORD& type) {
    // The bytes go from the registry straight into the editor's storage: a large value is
    // touched once, not copied through buffers on the way.
    registry::TRegKey handle = registry::OpenKeyForRead(key);
    // The value may grow between asking its size and reading it (another program writing):
    // a few rounds bound the retries.
    for (int round = 0; handle && round < 8; ++round) {
        DWORD size = 0, read = REG_NONE;
        if (RegQueryValueExW(handle.Get(), name.c_str(), nullptr, &read, nullptr, &size) != ERROR_SUCCESS) break;
        LSTATUS status = ERROR_SUCCESS;
        editor.LoadData(size, [&](uint8_t* dest, long long capacity) -> long long {
            DWORD got = static_cast<DWORD>(capacity);
            // A zero-length value is read with a buffer of its own: a null one asks for the size.
            BYTE none = 0;
            status = RegQueryValueExW(handle.Get(), name.c_str(), nullptr, &read, dest ? dest : &none, &got);
            return status == ERROR_SUCCESS ? got : 0;
        });
        if (status == ERROR_MORE_DATA) continue;
        if (status != ERROR_SUCCESS) break;
        type = read;
        return true;
    }
    editor.LoadData(0, [](uint8_t*, long long) { return 0LL; });
    return false;
}

TBinaryFindResult TBinaryFinder::Step(hexedit::TCustomHexEditor& editor, const TBinaryFindRequest& request) {
    const bool ignoreCase = !request.CaseSensitive;
    std::string pattern;
    if (request.IsText)
        editor.PrepareFindData(request.Text, ignoreCase, true, pattern);
    else
        editor.PrepareFindData(request.Bytes, ignoreCase, false, pattern);
    if (pattern.empty()) return TBinaryFindResult::NothingToFind;
    const int count = static_cast<int>(pattern.size());
    int start = std::max(0, editor.GetSelStart());
    if (FLastHit >= 0 && editor.HasSelection() && editor.SelectionFirst() == FLastFirst &&
        editor.SelectionLast() == FLastLast)
        start = std::max(start, FLastHit + 1);
    const int hit = editor.Find(pattern.data(), count, start, editor.GetDataSize() - 1, ignoreCase);
    if (hit < 0) return TBinaryFindResult::NotFound;
    editor.SetSelStart(hit + count - 1);
    editor.SetSelEnd(hit);
    FLastHit = hit;
    FLastFirst = editor.SelectionFirst();
    FLastLast = editor.SelectionLast();
    return TBinaryFindResult::Found;
}

const wchar_t* const BinaryNotFoundText = L"検索している値は、ここから先には\r\nみつかりませんでした";

}  // namespace editors
