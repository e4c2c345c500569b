// Regular expressions of the program, over the Oniguruma library in "onig.dll".
//
// The library is loaded at run time by full path from the program's own folder, never
// through the system's search order. Without it every object of this class is inert:
// nothing compiles, nothing matches, and the rest of the program works on.
//
// Matching always ignores case, lets "." match line breaks and never yields an empty
// match. Texts are UTF-16; every position handed out is a 1-based index of UTF-16 code
// units and every length a count of code units. A searched text ends at its first NUL.
//
// Threads: each object belongs to the thread that uses it; objects on different threads
// may compile and search at the same time. The library is set up once per process (with a
// bound on backtracking, so a pathological pattern ends as "no match" instead of hanging
// its thread) and stays loaded until the process ends: it is never shut down while another
// object might still be using it.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>
#include <vector>

namespace search {

// One captured text: a copy of the text, where it starts (1-based) and its length.
// A group that took no part in a match has Value "", FirstIndex 1 and Length 0.
struct TVxRegSubMatchObject {
    std::wstring Value;
    int FirstIndex = 0;
    int Length = 0;
};

// One match: its own fields describe the whole match; SubMatches holds groups 1, 2, ...
// in group order (group n is item n-1).
struct TVxRegMatchObject : TVxRegSubMatchObject {
    std::vector<TVxRegSubMatchObject> SubMatches;
};

using TVxRegMatchList = std::vector<TVxRegMatchObject>;

// The full path of the regular-expression library: the program's folder + "onig.dll".
std::wstring RegexLibraryPath();

// True when the regular-expression library file exists in the program's folder.
bool RegexLibraryPresent();

// How many backtracking steps one search may take in all before it gives up (as "no
// match"). Set once for the process when the library is first loaded.
inline constexpr unsigned long kRegexRetryLimitInSearch = 20'000'000;

class TVxOnigurumaRegExp {
public:
    // Loads the library. A bare file name (no folder) is looked for in the program's
    // folder only; a path with a folder is used as it is; an empty name loads nothing.
    // Never throws: when the file is missing, does not load, or lacks an entry point this
    // class calls, Loaded() is false.
    explicit TVxOnigurumaRegExp(const std::wstring& DllPath = L"onig.dll");
    ~TVxOnigurumaRegExp();
    TVxOnigurumaRegExp(const TVxOnigurumaRegExp&) = delete;
    TVxOnigurumaRegExp& operator=(const TVxOnigurumaRegExp&) = delete;

    bool Loaded() const { return FLibrary != nullptr; }
    // The last pattern that compiled; empty until one did.
    const std::wstring& Pattern() const { return FPattern; }
    // True while a compiled expression is held.
    bool HasExpression() const { return FRegex != nullptr; }

    // Compiles Pattern. On failure no expression is held (and Pattern() keeps the earlier
    // text), so every match operation reports no match. Does nothing when not loaded.
    void SetPattern(const std::wstring& Pattern);

    // The first match of the whole expression: true with its 1-based index and length;
    // false with both -1 when nothing matches or no expression is held. When the library
    // is not loaded: false, and the outputs are left as they were.
    bool FirstMatch(std::wstring_view Text, int& FirstIndex, int& Length);
    bool Test(std::wstring_view Text);

    // Every match, left to right, with its groups. Matches is cleared first.
    void Execute(std::wstring_view Text, TVxRegMatchList& Matches);

    // Text with every match replaced by Template expanded for that match: "\0" the whole
    // match, "\1".."\9" a group (nothing when the expression has fewer groups), "\\" one
    // backslash; a backslash before any other character, or at the end, stays as it is.
    // Only one digit is read: "\10" is group 1 followed by "0". Without a match the result
    // is Text unchanged.
    void Replace(std::wstring_view Text, std::wstring_view Template, std::wstring& ResultText);

    static void ClearMatches(TVxRegMatchList& List) { List.clear(); }

private:
    // Runs one search of the prepared text from byte offset `start`; >= 0 on a match.
    int SearchFrom(size_t startUnits);
    // Prepares FText (up to the first NUL, lone surrogates replaced) for searching.
    void PrepareText(std::wstring_view Text);
    static TVxRegSubMatchObject Register(std::wstring_view text, int beg, int end);

    const struct OnigBinding* FLibrary = nullptr;
    void* FRegex = nullptr;   // the library's compiled expression
    void* FRegion = nullptr;  // match region, kept for the object's life
    std::wstring FPattern;
    std::wstring_view FText;  // the text being searched (may point into FScratch)
    std::wstring FScratch;    // copy of a text that needed its lone surrogates replaced
};

}  // namespace search
