#include "controls/toolbar/themed/thmgradients.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <numbers>

#include "classlib/application.h"

namespace themed {

using classlib::TColor;

void PaintGradientRect(HDC dc, const RECT& rect, TColor c1, TColor c2, bool vertical) {
    if (IsRectEmpty(&rect) || !RectVisible(dc, &rect)) return;
    COLORREF a = classlib::ColorToRGB(c1), b = classlib::ColorToRGB(c2);
    TRIVERTEX v[2] = {};
    v[0].x = rect.left;
    v[0].y = rect.top;
    v[0].Red = static_cast<COLOR16>(GetRValue(a) << 8);
    v[0].Green = static_cast<COLOR16>(GetGValue(a) << 8);
    v[0].Blue = static_cast<COLOR16>(GetBValue(a) << 8);
    v[1].x = rect.right;
    v[1].y = rect.bottom;
    v[1].Red = static_cast<COLOR16>(GetRValue(b) << 8);
    v[1].Green = static_cast<COLOR16>(GetGValue(b) << 8);
    v[1].Blue = static_cast<COLOR16>(GetBValue(b) << 8);
    GRADIENT_RECT r{0, 1};
    GradientFill(dc, v, 2, &r, 1, vertical ? GRADIENT_FILL_RECT_V : GRADIENT_FILL_RECT_H);
}

// --- streak texture ---------------------------------------------------------------------------

namespace {

// The process-wide texture while it exists: releasing needs no texture made for it.
TThmStreakTextures* gTextures = nullptr;

// The one the application keeps (its line sets are bitmaps: gone with the application).
struct TProcessStreakTextures {
    TProcessStreakTextures() { gTextures = &Textures; }
    ~TProcessStreakTextures() {
        if (gTextures == &Textures) gTextures = nullptr;
    }
    TThmStreakTextures Textures;
};

int RandomBelow(std::mt19937& random, int n) { return std::uniform_int_distribution<int>(0, n - 1)(random); }

}  // namespace

TThmStreakTextures::TThmStreakTextures() {
    std::random_device device;
    std::seed_seq seed{device(), static_cast<unsigned>(GetTickCount64()),
                       static_cast<unsigned>(GetCurrentProcessId())};
    FRandom.seed(seed);
}

TThmStreakTextures::~TThmStreakTextures() = default;

void TThmStreakTextures::BuildTables() {
    if (FTablesBuilt) return;
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    constexpr double kTau = 2 * std::numbers::pi;
    for (auto& pattern : FPatterns) {
        const int a = (RandomBelow(FRandom, 101) + 100) / 2;
        double u[7];
        for (double& x : u) x = unit(FRandom);
        pattern.assign(2 * a, 0);
        for (int j = 0; j < a; ++j) {
            const double o = kTau * j / a;
            auto clamp = [](double v) { return std::clamp(static_cast<int>(std::lround(v)), -255, 255); };
            int s = clamp(150 * std::sin(o) + 100 * std::sin(kTau * u[0] + 2 * o) +
                          50 * std::sin(kTau * u[1] + 3 * o) + 20 * std::sin(kTau * u[2] + 4 * o));
            int t = clamp(150 * std::sin(o + kTau * u[3]) + 100 * std::sin(2 * o + kTau * u[4]) +
                          50 * std::sin(3 * o + kTau * u[5]) + 20 * std::sin(4 * o + kTau * u[6]));
            if (std::abs(t - s) > 300) {
                const int m = (s + t) / 2;
                s = m - 150;
                t = m + 150;
            }
            pattern[2 * j] = std::min(s, t);
            pattern[2 * j + 1] = std::max(s, t);
        }
    }
    for (int row = 0; row < kRowCount; ++row) {
        const int p = RandomBelow(FRandom, kPatternCount);
        const int length = static_cast<int>(FPatterns[p].size());
        // Even rows start on an even entry, odd rows on an odd one (lengths are even).
        FRowPattern[row] = p;
        FRowOffset[row] = (RandomBelow(FRandom, length) & ~1) | (row & 1);
    }
    FTablesBuilt = true;
}

const std::vector<int>& TThmStreakTextures::Pattern(int index) {
    BuildTables();
    return FPatterns[index];
}

int TThmStreakTextures::RowPattern(int row) {
    BuildTables();
    return FRowPattern[row];
}

int TThmStreakTextures::RowOffset(int row) {
    BuildTables();
    return FRowOffset[row];
}

int TThmStreakTextures::LinePixelChannel(int entry, int amplitude, int channel) {
    const long long v = std::max(0LL, static_cast<long long>(entry) * amplitude + channel * 256LL);
    return static_cast<int>(std::min(v / 256, 239LL));
}

const TThmStreakTextures::TLineSet& TThmStreakTextures::LineSet(COLORREF color, int amplitude) {
    BuildTables();
    for (int i = 1; i <= kLineSetCount; ++i) {
        const auto& set = FLineSets[(FNextLineSet - i + kLineSetCount) % kLineSetCount];
        if (set && set->Color == color && set->Amplitude == amplitude) return *set;
    }
    ++FLineSetsMade;
    auto set = std::make_unique<TLineSet>();
    set->Color = color;
    set->Amplitude = amplitude;
    for (int p = 0; p < kPatternCount; ++p) {
        const std::vector<int>& pattern = FPatterns[p];
        const int length = static_cast<int>(pattern.size());
        BITMAPINFO bi{};
        bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
        bi.bmiHeader.biWidth = length;
        bi.bmiHeader.biHeight = -1;
        bi.bmiHeader.biPlanes = 1;
        bi.bmiHeader.biBitCount = 32;
        bi.bmiHeader.biCompression = BI_RGB;
        void* bits = nullptr;
        set->Lines[p].Reset(CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
        if (!set->Lines[p] || !bits) continue;
        auto* row = static_cast<DWORD*>(bits);
        for (int k = 0; k < length; ++k) {
            const DWORD r = LinePixelChannel(pattern[k], amplitude, GetRValue(color));
            const DWORD g = LinePixelChannel(pattern[k], amplitude, GetGValue(color));
            const DWORD b = LinePixelChannel(pattern[k], amplitude, GetBValue(color));
            row[k] = (r << 16) | (g << 8) | b;
        }
    }
    auto& slot = FLineSets[FNextLineSet];
    FNextLineSet = (FNextLineSet + 1) % kLineSetCount;
    slot = std::move(set);
    return *slot;
}

void TThmStreakTextures::DropLines() {
    for (auto& set : FLineSets) set.reset();
    FNextLineSet = 0;
}

void TThmStreakTextures::Release() {
    DropLines();
    for (auto& pattern : FPatterns) pattern.clear();
    FTablesBuilt = false;
}

void TThmStreakTextures::Paint(HDC dc, const POINT* origin, const RECT& rect, TColor color, int amplitude) {
    if (color == classlib::clNone || IsRectEmpty(&rect) || !RectVisible(dc, &rect)) return;
    const COLORREF c = classlib::ColorToRGB(color);
    const POINT o = origin ? *origin : POINT{0, 0};
    RECT clip{}, r{};
    if (GetClipBox(dc, &clip) == ERROR) return;
    if (!IntersectRect(&r, &rect, &clip)) return;
    const TLineSet& set = LineSet(c, amplitude);

    classlib::TSavedDC saved(dc);
    IntersectClipRect(dc, r.left, r.top, r.right, r.bottom);
    classlib::TMemoryDC source(dc);
    for (int y = r.top; y < r.bottom; ++y) {
        const int k = ((y - o.y) % kRowCount + kRowCount) % kRowCount;
        const int p = FRowPattern[k];
        const int length = static_cast<int>(FPatterns[p].size());
        if (!set.Lines[p] || length <= 0) continue;
        classlib::TSelectedObject line(source.Handle(), set.Lines[p].Handle());
        // The copy that covers r.left: the row's line starts at o.x - offset and repeats every
        // `length` pixels in both directions.
        int x = o.x - FRowOffset[k];
        x = r.left - ((r.left - x) % length + length) % length;
        for (; x < r.right; x += length) BitBlt(dc, x, y, length, 1, source.Handle(), 0, 0, SRCCOPY);
    }
}

void PaintStreakTexture(HDC dc, const POINT* origin, const RECT& rect, TColor color, int amplitude) {
    if (!classlib::Application) return;
    classlib::Application->ProcessObject<TProcessStreakTextures>().Textures.Paint(dc, origin, rect, color, amplitude);
}

void ReleaseStreakTextures() {
    if (gTextures) gTextures->Release();
}

bool StreakTexturesBuilt() { return gTextures && gTextures->TablesBuilt(); }

void DropStreakTextureLines() {
    if (gTextures) gTextures->DropLines();
}

}  // namespace themed
