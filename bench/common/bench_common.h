// Shared timing and reporting of the benchmarks. Each comparison runs the measured side
// and its baseline alternately for several rounds (drift and heap growth hit both alike),
// and prints the best and the median time of each side, the ratio of the medians (which
// the verdict uses) and of the bests, the aim and the verdict. A line whose results did
// not agree between the two sides prints WRONG whatever its times.
#pragma once

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace bench {

constexpr int DefaultRounds = 5;

inline double Now() {
    static const double frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return double(f.QuadPart);
    }();
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return double(t.QuadPart) / frequency;
}

inline double Seconds(const std::function<void()>& body) {
    const double start = Now();
    body();
    return Now() - start;
}

struct TSamples {
    std::vector<double> Times;  // seconds
    double Min() const { return Times.empty() ? 0 : *std::min_element(Times.begin(), Times.end()); }
    double Median() const {
        if (Times.empty()) return 0;
        std::vector<double> sorted = Times;
        std::sort(sorted.begin(), sorted.end());
        const size_t n = sorted.size();
        return n % 2 ? sorted[n / 2] : (sorted[n / 2 - 1] + sorted[n / 2]) / 2;
    }
};

struct TPair {
    TSamples Base, Ours;
};

// Baseline and measured side alternately, `between` (untimed) after each pair.
inline TPair Alternate(int rounds, const std::function<void()>& base, const std::function<void()>& ours,
                       const std::function<void()>& between = {}) {
    TPair pair;
    for (int r = 0; r < rounds; ++r) {
        pair.Base.Times.push_back(Seconds(base));
        pair.Ours.Times.push_back(Seconds(ours));
        if (between) between();
    }
    return pair;
}

inline int& FailureCount() {
    static int count = 0;
    return count;
}

inline std::string Milliseconds(double seconds) {
    char text[32];
    std::snprintf(text, sizeof text, "%.2f", seconds * 1000);
    return text;
}

// One result line. `correct` is false when the two sides' results disagreed.
inline void Report(const std::string& what, const TPair& pair, double aim, bool correct = true) {
    const double median = pair.Base.Median() > 0 ? pair.Ours.Median() / pair.Base.Median() : 0;
    const double best = pair.Base.Min() > 0 ? pair.Ours.Min() / pair.Base.Min() : 0;
    const bool ok = correct && median <= aim;
    if (!ok) ++FailureCount();
    std::printf("%-56s ours %10s / %10s ms  base %10s / %10s ms  ratio %6.2f (best %6.2f)  aim <= %g  %s\n",
                what.c_str(), Milliseconds(pair.Ours.Min()).c_str(), Milliseconds(pair.Ours.Median()).c_str(),
                Milliseconds(pair.Base.Min()).c_str(), Milliseconds(pair.Base.Median()).c_str(), median, best, aim,
                !correct ? "WRONG" : ok ? "ok" : "OVER");
    std::fflush(stdout);
}

// A line that compares two values of our own (flatness, one size against another).
inline void ReportRatio(const std::string& what, double ratio, double aim, const std::string& detail) {
    const bool ok = ratio <= aim;
    if (!ok) ++FailureCount();
    std::printf("%-56s %-62s ratio %6.2f  aim <= %g  %s\n", what.c_str(), detail.c_str(), ratio, aim,
                ok ? "ok" : "OVER");
    std::fflush(stdout);
}

inline void PrintLegend() {
    std::printf("times: best / median of the rounds; ratio = ours / baseline of the medians (verdict), "
                "of the bests in brackets\n");
}

// The closing line and the exit code: 0 when every line kept its aim and agreed.
inline int Finish() {
    std::printf("%s\n", FailureCount() ? "SOME LINES MISSED THEIR AIM OR DISAGREED" : "all lines within their aims");
    return FailureCount() ? 1 : 0;
}

}  // namespace bench
