// Highlighting the matched text of a search hit: the text split into runs (plain and
// matched parts, a pure function of the text and the search record) and the painting of
// those runs into a cell, the matched parts in red bold.
//
// The result pane and the bulk replace preview paint every visible cell with one
// TMatchHighlighter: in regular-expression mode it makes its expression object (and so
// binds the library) once, and compiles a keyword only when the keyword changes, never per
// painted cell.
//
// Main thread only (one highlighter per pane).
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "classlib/graphics.h"
#include "search/find_record.h"
#include "search/onig_regexp.h"

namespace search {

// A piece of a hit's text: `Length` code units from `Start`, matched or not.
struct TMatchRun {
    size_t Start = 0;
    size_t Length = 0;
    bool Match = false;

    bool operator==(const TMatchRun&) const = default;
};
using TMatchRuns = std::vector<TMatchRun>;

// Splits `text` into runs by the record's rules:
// - UseRegex: the first match of `regex` (already compiled with the keyword) is the only
//   matched run; without an expression (library missing, keyword that did not compile,
//   null `regex`) nothing is matched;
// - WholeMatch: the whole text is one matched run;
// - plain: every occurrence of `keyword`, left to right and not overlapping, is a matched
//   run; with IgnoreCase, `keyword` must be lower-cased already and the text is compared
//   lower-cased (the system's lower-casing, one code unit for one). An empty keyword
//   occurs nowhere.
// Runs cover the text in order without gaps; an empty text gives no runs. `lowered` is a
// reusable buffer.
void SplitMatchRuns(std::wstring_view text, const TWendlarFindRecord& record, std::wstring_view keyword,
                    TVxOnigurumaRegExp* regex, TMatchRuns& out, std::wstring& lowered);

// The x offset of the first run from the cell's left edge (3 in regular-expression mode,
// 1 otherwise) and the y offset from its top (3).
int MatchTextLeft(const TWendlarFindRecord& record);
inline constexpr int kMatchTextTop = 3;

// Fills `cell` with the canvas's brush and draws the runs from (left, cell.top + 3), each
// after the measured width of the ones before it; matched runs in red (0x0000FF) bold, after
// which the font's colour and style are what they were.
void PaintMatchRuns(classlib::TCanvas& canvas, const RECT& cell, int left, std::wstring_view text,
                    const TMatchRuns& runs);

class TMatchHighlighter {
public:
    // `regexLibrary` as for TVxOnigurumaRegExp (a bare name: the program's folder).
    explicit TMatchHighlighter(std::wstring regexLibrary = L"onig.dll");
    ~TMatchHighlighter();

    // The search whose matches are highlighted (the main window's last search). The
    // keyword is lower-cased or compiled here, and only when it or the mode changed.
    void SetRecord(const TWendlarFindRecord& record);
    const TWendlarFindRecord& Record() const { return FRecord; }

    // The runs of `text` under the current record.
    const TMatchRuns& Runs(std::wstring_view text);
    // Paints `text` into `cell` (PaintMatchRuns at MatchTextLeft).
    void Paint(classlib::TCanvas& canvas, const RECT& cell, std::wstring_view text);

    // How often an expression object was made and a keyword compiled (for tests).
    int RegexObjectsMade() const { return FObjectsMade; }
    int Compilations() const { return FCompilations; }

private:
    std::wstring FLibrary;
    TWendlarFindRecord FRecord;
    std::unique_ptr<TVxOnigurumaRegExp> FRegex;
    bool FPrepared = false;
    bool FPreparedRegex = false;
    bool FPreparedIgnoreCase = false;
    std::wstring FPreparedKeyword;  // the keyword the current state was made from
    std::wstring FKeyword;          // lower-cased when IgnoreCase
    TMatchRuns FRuns;
    std::wstring FLowered;
    int FObjectsMade = 0;
    int FCompilations = 0;
};

}  // namespace search
