#include "search/match_paint.h"

#include "classlib/runtime.h"

namespace search {

namespace {

void Lower(std::wstring& text) {
    if (!text.empty()) CharLowerBuffW(text.data(), classlib::Win32Size<DWORD>(text.size()));
}

void Push(TMatchRuns& out, size_t start, size_t length, bool match) {
    if (length > 0) out.push_back({start, length, match});
}

}  // namespace

void SplitMatchRuns(std::wstring_view text, const TWendlarFindRecord& record, std::wstring_view keyword,
                    TVxOnigurumaRegExp* regex, TMatchRuns& out, std::wstring& lowered) {
    out.clear();
    if (text.empty()) return;
    if (record.UseRegex) {
        int index = -1, length = -1;
        if (regex && regex->HasExpression() && regex->FirstMatch(text, index, length) && index >= 1 &&
            length > 0) {
            size_t start = std::min(static_cast<size_t>(index - 1), text.size());
            size_t count = std::min(static_cast<size_t>(length), text.size() - start);
            Push(out, 0, start, false);
            Push(out, start, count, true);
            Push(out, start + count, text.size() - start - count, false);
        } else {
            Push(out, 0, text.size(), false);
        }
        return;
    }
    if (record.WholeMatch) {
        Push(out, 0, text.size(), true);
        return;
    }
    std::wstring_view haystack = text;
    if (record.IgnoreCase && !keyword.empty()) {
        lowered.assign(text);
        Lower(lowered);
        haystack = lowered;
    }
    size_t pos = 0;
    if (!keyword.empty()) {
        for (size_t hit; (hit = haystack.find(keyword, pos)) != std::wstring_view::npos; pos = hit + keyword.size()) {
            Push(out, pos, hit - pos, false);
            Push(out, hit, keyword.size(), true);
        }
    }
    Push(out, pos, text.size() - pos, false);
}

int MatchTextLeft(const TWendlarFindRecord& record) { return record.UseRegex ? 3 : 1; }

void PaintMatchRuns(classlib::TCanvas& canvas, const RECT& cell, int left, std::wstring_view text,
                    const TMatchRuns& runs) {
    canvas.FillRect(cell);
    int x = left;
    const int y = cell.top + kMatchTextTop;
    std::wstring part;
    for (const TMatchRun& run : runs) {
        part.assign(text.substr(run.Start, run.Length));
        if (run.Match) {
            classlib::TFont& font = canvas.Font();
            const classlib::TColor color = font.Color();
            const classlib::TFontStyles style = font.Style();
            font.SetColor(classlib::clRed);
            font.SetStyle(style | classlib::fsBold);
            canvas.TextOut(x, y, part);
            x += canvas.TextWidth(part);
            font.SetColor(color);
            font.SetStyle(style);
        } else {
            canvas.TextOut(x, y, part);
            x += canvas.TextWidth(part);
        }
    }
}

// --- The highlighter --------------------------------------------------------------------

TMatchHighlighter::TMatchHighlighter(std::wstring regexLibrary) : FLibrary(std::move(regexLibrary)) {}

TMatchHighlighter::~TMatchHighlighter() = default;

void TMatchHighlighter::SetRecord(const TWendlarFindRecord& record) {
    FRecord = record;
    if (FPrepared && FPreparedRegex == record.UseRegex && FPreparedIgnoreCase == record.IgnoreCase &&
        FPreparedKeyword == record.Keyword)
        return;
    FPrepared = true;
    FPreparedRegex = record.UseRegex;
    FPreparedIgnoreCase = record.IgnoreCase;
    FPreparedKeyword = record.Keyword;
    FKeyword = record.Keyword;
    if (record.UseRegex) {
        if (!FRegex) {
            FRegex = std::make_unique<TVxOnigurumaRegExp>(FLibrary);
            ++FObjectsMade;
        }
        if (FRegex->Loaded()) {
            FRegex->SetPattern(record.Keyword);
            ++FCompilations;
        }
    } else if (record.IgnoreCase) {
        Lower(FKeyword);
    }
}

const TMatchRuns& TMatchHighlighter::Runs(std::wstring_view text) {
    SplitMatchRuns(text, FRecord, FKeyword, FRegex.get(), FRuns, FLowered);
    return FRuns;
}

void TMatchHighlighter::Paint(classlib::TCanvas& canvas, const RECT& cell, std::wstring_view text) {
    const TMatchRuns& runs = Runs(text);
    PaintMatchRuns(canvas, cell, cell.left + MatchTextLeft(FRecord), text, runs);
}

}  // namespace search
