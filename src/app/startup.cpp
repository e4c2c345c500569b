#include "app/startup.h"

#include "classlib/errors.h"
#include "classlib/runtime.h"

#include <algorithm>

#include <exception>

namespace app {

TStartupPlan PlanStartupWindows(const std::vector<std::wstring>& params, const TStartupOptions& startup,
                                const TMainOptions& options, const std::wstring& defaultTabFile,
                                const std::function<bool(const std::wstring&)>& fileExists) {
    TStartupPlan plan;
    if (!options.SetLoadTab || !params.empty()) {
        if (params.empty()) {
            if (!startup.SetNoCreateWnd) plan.Paths.emplace_back();
        } else if (startup.SetConnectCMD) {
            std::wstring joined;
            for (const std::wstring& param : params) joined += (joined.empty() ? L"" : L" ") + param;
            plan.Paths.push_back(joined);
        } else {
            plan.Paths = params;
        }
        return plan;
    }
    plan.LoadTabs = true;
    plan.TabFile = options.SetLoadTabSettingFile && fileExists(options.SetLoadTabSettingFilePath)
                       ? options.SetLoadTabSettingFilePath
                       : defaultTabFile;
    return plan;
}

bool SavesTabsAtClose(const TMainOptions& options, size_t paramCount) {
    return options.SetLoadTab && paramCount == 0;
}

std::vector<std::wstring> RunCloseSteps(const std::vector<TCloseStep>& steps) {
    std::vector<std::wstring> failures;
    for (const TCloseStep& step : steps) {
        try {
            if (!step.Save()) failures.push_back(step.FileName);
        } catch (...) {
            failures.push_back(step.FileName + L": " + classlib::ExceptionMessage(std::current_exception()));
        }
    }
    return failures;
}

std::wstring CloseFailureText(const std::vector<std::wstring>& failures) {
    std::wstring text = L"次のファイルを保存できませんでした。\r\n";
    for (const std::wstring& failure : failures) text += L"\r\n" + failure;
    return text;
}

std::wstring KeptFilesText(const std::vector<TKeptFile>& files) {
    std::wstring text = L"次のファイルは壊れているため、読み込めた部分だけを使います。"
                        L"ファイルをそのまま残すため、終了するときに保存しません。\r\n";
    for (const TKeptFile& file : files) text += L"\r\n" + file.FileName + L"\r\n    " + file.NotSaved + L"は保存されません。";
    return text;
}

std::vector<TCloseStep> WithoutKeptFiles(std::vector<TCloseStep> steps, const std::vector<TKeptFile>& kept) {
    std::erase_if(steps, [&](const TCloseStep& step) {
        return std::any_of(kept.begin(), kept.end(), [&](const TKeptFile& file) {
            return classlib::SameNameIgnoringCase(file.FileName, step.FileName);
        });
    });
    return steps;
}

}  // namespace app
