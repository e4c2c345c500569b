// The binary value editor's lines of the hex editor benchmark: opening a 16 MB REG_BINARY
// value to the first paint against reading it with RegQueryValueExW; a full paint of a
// 1024 x 768 client into a memory DC at the top, middle and end of the data against a
// bare loop of one ExtTextOutW per cell over the same cells and texts; the command states
// the binary editor's action updates at idle with all 16 MB selected against two bytes
// selected (flat in the selection).
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "classlib/application.h"
#include "classlib/graphics.h"
#include "common/bench_common.h"
#include "classlib/actions.h"
#include "editors/binaryeditor.h"
#include "editors/binaryeditorform.h"
#include "hexedit/hexeditorex.h"
#include "registry/regrecords.h"

namespace {

using bench::Alternate;
using bench::Report;

const wchar_t* const kKeyPath = L"Software\\WendlarTest\\BinaryEditorBench";
constexpr int kWidth = 1024, kHeight = 768;

// Which cells of the data area show ink, per cell: a pixel is ink when it differs from the
// cell's background, read at the cell's last pixel (the row's padding).
std::vector<bool> InkMask(classlib::TBitmap& bitmap, hexedit::THexEditorEx& editor) {
    std::vector<bool> mask;
    const int fixedWidth = editor.ColWidth(0) + editor.ColWidth(1);
    int y = editor.RowHeightOf(0) + editor.RowHeightOf(1);
    for (int row = editor.TopRow(); row < editor.RowCount() && y < kHeight; ++row) {
        const int h = editor.RowHeightOf(row);
        int x = fixedWidth;
        for (int col = editor.LeftCol(); col < editor.ColCount() && x < kWidth; ++col) {
            const int w = editor.ColWidth(col);
            if (x + w <= kWidth && y + h <= kHeight && col != editor.Layout().SeparatorCol()) {
                auto pixel = [&](int px, int py) {
                    return static_cast<const uint32_t*>(bitmap.ScanLine(py))[px] & 0xFFFFFF;
                };
                const uint32_t back = pixel(x + w - 1, y + h - 1);
                for (int py = y; py < y + h; ++py)
                    for (int px = x; px < x + editor.CharWidth(); ++px) mask.push_back(pixel(px, py) != back);
            }
            x += w;
        }
        y += h;
    }
    return mask;
}

// One ExtTextOutW per visible cell: the offset column, the ruler and the data cells, with
// the texts made from the bytes, each cell filled by the call itself.
void BareCellLoop(HDC dc, hexedit::THexEditorEx& editor, const uint8_t* data, int size) {
    const int fixedWidth = editor.ColWidth(0) + editor.ColWidth(1);
    const int rulerHeight = editor.RowHeightOf(0) + editor.RowHeightOf(1);
    SetBkColor(dc, RGB(255, 255, 255));
    SetTextColor(dc, RGB(0, 0, 0));
    const RECT all{0, 0, kWidth, kHeight};
    ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &all, nullptr, 0, nullptr);
    static const wchar_t digits[] = L"0123456789ABCDEF";
    // Ruler.
    int x = fixedWidth;
    for (int col = editor.LeftCol(); col < editor.ColCount() && x < kWidth; ++col) {
        const int w = editor.ColWidth(col);
        const RECT r{x, 0, x + w, rulerHeight};
        const wchar_t text = digits[col & 15];
        ExtTextOutW(dc, x, 0, ETO_CLIPPED | ETO_OPAQUE, &r, &text, 1, nullptr);
        x += w;
    }
    int y = rulerHeight;
    for (int row = editor.TopRow(); row < editor.RowCount() && y < kHeight; ++row) {
        const int h = editor.RowHeightOf(row);
        wchar_t offset[16];
        const int n = swprintf(offset, 16, L"0x%010X", (row - 2) * editor.BytesPerRow());
        const RECT o{0, y, editor.ColWidth(0), y + h};
        ExtTextOutW(dc, 0, y, ETO_CLIPPED | ETO_OPAQUE, &o, offset, n, nullptr);
        x = fixedWidth;
        for (int col = editor.LeftCol(); col < editor.ColCount() && x < kWidth; ++col) {
            const int w = editor.ColWidth(col);
            bool inChar = false;
            const int p = editor.Layout().GetPosAtCursor(col, row, inChar);
            if (col != editor.Layout().SeparatorCol() && p < size) {
                const uint8_t b = data[p];
                wchar_t text;
                if (!inChar) {
                    text = digits[(col - 2) % 2 == 0 ? b >> 4 : b & 15];
                } else {
                    text = static_cast<wchar_t>(b | (p + 1 < size ? data[p + 1] << 8 : 0));
                    if (text < 256 && (text < 32 || text == 127)) text = L'.';
                }
                const RECT r{x, y, x + w, y + h};
                ExtTextOutW(dc, x, y, ETO_CLIPPED | ETO_OPAQUE, &r, &text, 1, nullptr);
            }
            x += w;
        }
        y += h;
    }
}

}  // namespace

void RunBinaryEditorBench() {
    const int rounds = bench::DefaultRounds;
    classlib::TApplication application;

    // A 16 MB value of random bytes, most of them plain text characters in UTF-16 terms.
    const size_t size = 16u * 1024 * 1024;
    std::vector<uint8_t> data(size);
    std::mt19937 random(99);
    for (size_t i = 0; i < size; ++i) data[i] = static_cast<uint8_t>(i % 2 ? random() % 0x30 + 0x30 : random());
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, kKeyPath, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) !=
            ERROR_SUCCESS ||
        RegSetValueExW(key, L"blob", 0, REG_BINARY, data.data(), static_cast<DWORD>(size)) != ERROR_SUCCESS) {
        std::printf("  WRONG: the 16 MB value could not be written\n");
        ++bench::FailureCount();
        return;
    }
    const registry::TVxRegKeyClass record = registry::MakeRegKeyRecord(HKEY_CURRENT_USER, kKeyPath);

    // ---- Open to the first paint ----------------------------------------------------------
    {
        // Both sides read into memory of their own, fresh each round as for any opening.
        std::unique_ptr<uint8_t[]> read;
        DWORD readSize = 0;
        classlib::TBitmap bitmap(kWidth, kHeight, classlib::pf32bit);
        bool same = true;
        auto pair = Alternate(
            rounds,
            [&] {
                HKEY k = nullptr;
                RegOpenKeyExW(HKEY_CURRENT_USER, kKeyPath, 0, KEY_READ, &k);
                DWORD type = 0;
                readSize = 0;
                RegQueryValueExW(k, L"blob", nullptr, &type, nullptr, &readSize);
                read.reset(new uint8_t[readSize]);
                RegQueryValueExW(k, L"blob", nullptr, &type, read.get(), &readSize);
                RegCloseKey(k);
            },
            [&] {
                hexedit::THexEditorEx editor(nullptr);
                editors::SetupBinaryEditorHex(editor);
                DWORD type = 0;
                same = editors::LoadValueIntoHexEditor(editor, record, L"blob", type) && same &&
                       type == REG_BINARY && editor.GetDataSize() == static_cast<int>(size) &&
                       std::memcmp(editor.GetDataPointer(0, static_cast<int>(size)), data.data(), size) == 0;
                editor.PaintTo(bitmap.Canvas(), kWidth, kHeight);
            });
        same = same && readSize == size && std::memcmp(read.get(), data.data(), size) == 0;
        Report("open 16 MB REG_BINARY to first paint vs RegQueryValueExW", pair, 2, same);
    }

    // ---- Full paint at top, middle and end ------------------------------------------------
    {
        hexedit::THexEditorEx editor(nullptr);
        editors::SetupBinaryEditorHex(editor);
        DWORD type = 0;
        editors::LoadValueIntoHexEditor(editor, record, L"blob", type);
        classlib::TBitmap ours(kWidth, kHeight, classlib::pf32bit), base(kWidth, kHeight, classlib::pf32bit);
        editor.PaintTo(ours.Canvas(), kWidth, kHeight);  // lays the rows out for the client
        const int visible = editor.CalcVisibleRowCount(kHeight);
        editor.SetVisibleRowCount(visible);
        base.Canvas().Font().Assign(editor.Font());
        base.Canvas().PrepareText();
        struct TPlace {
            const char* Name;
            int Row;
        };
        const int lastTop = std::max(2, editor.RowCount() - visible);
        for (const TPlace& place : {TPlace{"top", 2}, TPlace{"middle", (2 + lastTop) / 2}, TPlace{"end", lastTop}}) {
            editor.SetTopRow(place.Row);
            const uint8_t* bytes = editor.GetDataPointer(0, editor.GetDataSize());
            auto pair = Alternate(
                rounds, [&] { BareCellLoop(base.Canvas().Handle(), editor, bytes, editor.GetDataSize()); },
                [&] { editor.PaintTo(ours.Canvas(), kWidth, kHeight); });
            GdiFlush();
            const std::vector<bool> oursInk = InkMask(ours, editor), baseInk = InkMask(base, editor);
            const bool same = !oursInk.empty() && oursInk == baseInk;
            Report(std::string("full paint 1024 x 768, ") + place.Name + " vs ExtTextOutW per cell", pair, 1.3, same);
        }
    }

    // ---- Command states at idle -------------------------------------------------------------
    {
        // The editor dialog's own action updates, as the idle loop runs them.
        editors::TEditorBinForm form(nullptr);
        DWORD type = 0;
        editors::LoadValueIntoHexEditor(*form.EntryValue, record, L"blob", type);
        classlib::TAction* remove = form.ActionByName(L"aacBinEdDelete");
        const int times = 200;
        bool deleteAll = false, deleteOne = false;
        bench::TPair pair;
        for (int r = 0; r < rounds; ++r) {
            form.EntryValue->SetSelStart(0);
            form.EntryValue->SetSelEnd(1);
            pair.Base.Times.push_back(bench::Seconds([&] {
                for (int i = 0; i < times; ++i) form.Actions->UpdateActions();
            }));
            deleteOne = remove->Enabled();
            form.EntryValue->SelectAll();
            pair.Ours.Times.push_back(bench::Seconds([&] {
                for (int i = 0; i < times; ++i) form.Actions->UpdateActions();
            }));
            deleteAll = remove->Enabled();
        }
        Report("idle updates, 16 MB selected vs 2 bytes selected (x200)", pair, 1.5, deleteAll && deleteOne);
    }

    RegCloseKey(key);
    RegDeleteKeyW(HKEY_CURRENT_USER, kKeyPath);
}
