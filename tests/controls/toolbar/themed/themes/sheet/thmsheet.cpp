// Paints one sheet per registered theme (menu bar with an open popup menu, docked toolbar,
// floating toolbar, docked panel, status bar) and writes it as "<theme>.png" into the folder
// given on the command line (the current folder without one), to be looked at.
//
// Usage: theme_sheet.exe [folder]
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "classlib/application.h"
#include "classlib/graphics.h"
#include "controls/toolbar/themed/thmregistry.h"
#include "controls/toolbar/themed/themes/thmthemetable.h"
#include "thmscene.h"

namespace {

uint32_t Crc32(const uint8_t* data, size_t size, uint32_t crc = 0xFFFFFFFFu) {
    for (size_t i = 0; i < size; ++i) {
        crc ^= data[i];
        for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1)));
    }
    return crc;
}

void PutBig32(std::vector<uint8_t>& out, uint32_t v) {
    for (int shift : {24, 16, 8, 0}) out.push_back(static_cast<uint8_t>(v >> shift));
}

void Chunk(std::vector<uint8_t>& png, const char* type, const std::vector<uint8_t>& data) {
    PutBig32(png, static_cast<uint32_t>(data.size()));
    std::vector<uint8_t> body(type, type + 4);
    body.insert(body.end(), data.begin(), data.end());
    png.insert(png.end(), body.begin(), body.end());
    PutBig32(png, Crc32(body.data(), body.size()) ^ 0xFFFFFFFFu);
}

// An RGB picture as PNG bytes; the image data is stored without compression.
std::vector<uint8_t> EncodePng(int width, int height, const std::vector<uint8_t>& rgbRows) {
    std::vector<uint8_t> raw;
    for (int y = 0; y < height; ++y) {
        raw.push_back(0);  // no filter
        raw.insert(raw.end(), rgbRows.begin() + static_cast<size_t>(y) * width * 3,
                   rgbRows.begin() + static_cast<size_t>(y + 1) * width * 3);
    }
    std::vector<uint8_t> z = {0x78, 0x01};
    for (size_t at = 0; at < raw.size() || raw.empty();) {
        const size_t n = std::min<size_t>(65535, raw.size() - at);
        z.push_back(at + n == raw.size() ? 1 : 0);
        z.push_back(static_cast<uint8_t>(n));
        z.push_back(static_cast<uint8_t>(n >> 8));
        z.push_back(static_cast<uint8_t>(~n));
        z.push_back(static_cast<uint8_t>(~n >> 8));
        z.insert(z.end(), raw.begin() + at, raw.begin() + at + n);
        at += n;
        if (raw.empty()) break;
    }
    uint32_t a = 1, b = 0;
    for (uint8_t byte : raw) {
        a = (a + byte) % 65521;
        b = (b + a) % 65521;
    }
    PutBig32(z, (b << 16) | a);
    std::vector<uint8_t> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::vector<uint8_t> header;
    PutBig32(header, static_cast<uint32_t>(width));
    PutBig32(header, static_cast<uint32_t>(height));
    header.insert(header.end(), {8, 2, 0, 0, 0});
    Chunk(png, "IHDR", header);
    Chunk(png, "IDAT", z);
    Chunk(png, "IEND", {});
    return png;
}

bool WriteSheet(const std::wstring& path, classlib::TBitmap& bitmap) {
    const int w = bitmap.Width(), h = bitmap.Height();
    std::vector<uint8_t> rgb;
    rgb.reserve(static_cast<size_t>(w) * h * 3);
    HDC dc = bitmap.Canvas().Handle();
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const COLORREF c = GetPixel(dc, x, y);
            rgb.insert(rgb.end(), {GetRValue(c), GetGValue(c), GetBValue(c)});
        }
    const std::vector<uint8_t> png = EncodePng(w, h, rgb);
    FILE* file = _wfopen(path.c_str(), L"wb");
    if (!file) return false;
    const bool ok = std::fwrite(png.data(), 1, png.size(), file) == png.size();
    return std::fclose(file) == 0 && ok;
}

void PaintSheet(themed::TThmTheme& theme, classlib::TBitmap& bitmap) {
    using namespace themescene;
    classlib::TCanvas& canvas = bitmap.Canvas();
    canvas.Brush().SetColor(classlib::clAppWorkSpace);
    canvas.FillRect(RECT{0, 0, bitmap.Width(), bitmap.Height()});
    const RECT menuBar = PaintMenuBar(theme, canvas, POINT{8, 8}, 420);
    const RECT opener{menuBar.left + 2 + 66, menuBar.top + 2, menuBar.left + 2 + 66 + 64, menuBar.bottom - 2};
    PaintPopupMenu(theme, canvas, POINT{opener.left, opener.bottom}, 12, &opener);
    PaintToolbar(theme, canvas, POINT{300, 40}, 14);
    PaintFloatingToolbar(theme, canvas, POINT{300, 90}, 8);
    PaintDockedPanel(theme, canvas, POINT{300, 170}, SIZE{200, 110});
    PaintStatusBar(theme, canvas, POINT{8, bitmap.Height() - 28}, bitmap.Width() - 16);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    auto* app = new classlib::TApplication();
    int rc = 0;
    {
        const std::wstring folder = argc > 1 ? std::wstring(argv[1]) + L"\\" : std::wstring();
        themed::RegisterThemeTable(themes::ToolbarThemeTable());
        std::vector<std::wstring> names;
        themed::ListToolbarThemes(names);
        for (const std::wstring& name : names) {
            themed::TThmTheme* theme = themed::AcquireToolbarTheme(name);
            classlib::TBitmap bitmap;
            bitmap.SetSize(720, 340);
            PaintSheet(*theme, bitmap);
            themed::ReleaseToolbarTheme(theme);
            const std::wstring path = folder + name + L".png";
            if (WriteSheet(path, bitmap)) {
                std::wprintf(L"%ls\n", path.c_str());
            } else {
                std::wprintf(L"cannot write %ls\n", path.c_str());
                rc = 1;
            }
        }
    }
    delete app;
    return rc;
}
