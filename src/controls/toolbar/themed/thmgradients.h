#pragma once
// Two-colour linear gradients and the brushed-metal streak texture that themes fill areas
// with.
//
// Main thread only: the texture caches are shared without locking.

#include <windows.h>

#include <array>
#include <memory>
#include <random>
#include <vector>

#include "classlib/gdiguards.h"
#include "classlib/graphics.h"

namespace themed {

// Fills rect with a linear gradient from c1 at the left (top when vertical) edge to c2 at the
// right (bottom) edge, through the system's gradient fill. Nothing when no part of the
// rectangle is visible in the DC. System colours are resolved; clNone counts as black.
void PaintGradientRect(HDC dc, const RECT& rect, classlib::TColor c1, classlib::TColor c2,
                       bool vertical);

// The streak texture: eight pseudo-random line profiles (sums of four sinusoids), two tables
// that give each of 1024 rows a profile and a start offset, and a ring of up to 16 line sets,
// each the profiles turned into one-row bitmaps for one colour and amplitude. The profiles and
// tables are made on first use and differ from run to run.
class TThmStreakTextures {
public:
    static constexpr int kPatternCount = 8;
    static constexpr int kRowCount = 1024;
    static constexpr int kLineSetCount = 16;

    struct TLineSet {
        COLORREF Color = 0;
        int Amplitude = 0;
        // One row per profile, 32-bit top-down DIB sections of the profile's length.
        std::array<classlib::TGdiObject<HBITMAP>, kPatternCount> Lines;
    };

    TThmStreakTextures();
    ~TThmStreakTextures();
    TThmStreakTextures(const TThmStreakTextures&) = delete;
    TThmStreakTextures& operator=(const TThmStreakTextures&) = delete;

    // Fills rect row by row: row y takes the profile and offset of table row
    // (y - origin.y) mod 1024 and repeats that profile's line across the rectangle, the line
    // starting at origin.x - offset. Nothing for clNone or an invisible rectangle; a null
    // origin means (0, 0). Draws only inside the DC's clip box and restores the DC's clipping.
    void Paint(HDC dc, const POINT* origin, const RECT& rect, classlib::TColor color, int amplitude);
    // The line set of (resolved colour, amplitude): found from the newest ring slot down, or
    // made in the next slot, replacing the set that was there.
    const TLineSet& LineSet(COLORREF color, int amplitude);
    // The value of channel `channel` at a profile entry: (entry * amplitude + channel * 256)
    // clamped below at 0, divided by 256, at most 239.
    static int LinePixelChannel(int entry, int amplitude, int channel);
    // How many line sets were made so far (each one the cache did not have).
    int LineSetsMade() const { return FLineSetsMade; }
    // Whether the profiles and row tables exist (made on first use, gone with Release).
    bool TablesBuilt() const { return FTablesBuilt; }
    // Frees the line sets (on system colour or display changes).
    void DropLines();
    // Frees the line sets, the profiles and the row tables.
    void Release();

    // The profiles and tables, made on first use (exposed for their invariants).
    const std::vector<int>& Pattern(int index);
    int RowPattern(int row);
    int RowOffset(int row);

private:
    void BuildTables();
    std::mt19937 FRandom;
    std::array<std::vector<int>, kPatternCount> FPatterns;
    std::array<int, kRowCount> FRowPattern{}, FRowOffset{};
    bool FTablesBuilt = false;
    std::array<std::unique_ptr<TLineSet>, kLineSetCount> FLineSets;
    int FNextLineSet = 0;
    int FLineSetsMade = 0;
};

// PaintStreakTexture on the process-wide texture (the application's process object).
void PaintStreakTexture(HDC dc, const POINT* origin, const RECT& rect, classlib::TColor color,
                        int amplitude);
// Frees the process-wide line sets, profiles and tables (a theme's destructor calls it).
void ReleaseStreakTextures();
// Whether the process-wide texture has its profiles and tables now.
bool StreakTexturesBuilt();
// Frees only the process-wide line sets (the theme manager, on system changes).
void DropStreakTextureLines();

}  // namespace themed
