// Painting that fails: the paint ends, the window is left valid, nothing leaks, and the
// report waits for the message loop and comes once. Also the exception funnel's rules and
// the GDI guards on their own.
#include <gtest/gtest.h>

#include "classlib/application.h"
#include "classlib/errors.h"
#include "classlib/form.h"
#include "classlib/gdiguards.h"
#include "common/test_support.h"

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

using namespace classlib;

namespace {

// Puts Application->OnException in place of the message box and logs what reaches it.
struct ReportLog {
    std::vector<std::wstring> Messages;
    std::vector<TComponent*> Senders;
    std::function<void(TComponent*, const Exception&)> Saved;

    ReportLog() {
        DiscardQueuedExceptions();
        Saved = Application->OnException;
        Application->OnException = [this](TComponent* sender, const Exception& e) {
            Senders.push_back(sender);
            Messages.push_back(e.Message());
        };
    }
    ~ReportLog() {
        Application->OnException = Saved;
        DiscardQueuedExceptions();
    }
};

// Handles at most `limit` waiting messages through the application's loop; returns how many
// there were. A window that stays invalid would keep the queue busy up to the limit.
int PumpAtMost(int limit) {
    int n = 0;
    MSG msg;
    while (n < limit && Application->ProcessMessage(msg)) ++n;
    return n;
}

// What a painting control saw of its DC in its last Paint.
struct PaintProbe {
    bool Fail = false;
    int Paints = 0;
    HDC DC = nullptr;
    HGDIOBJ Bitmap = nullptr;

    void Paint(TCanvas& canvas) {
        ++Paints;
        canvas.TextOut(2, 2, L"値");  // the canvas selects its font into the DC
        DC = canvas.Handle();
        Bitmap = GetCurrentObject(DC, OBJ_BITMAP);
        if (Fail) throw EConvertError(L"描画に失敗しました");
    }
};

class PaintingControl : public TCustomControl {
public:
    PaintingControl(TComponent* owner, PaintProbe& probe) : TCustomControl(owner), FProbe(probe) {
        SetBounds(10, 10, 80, 40);
    }

protected:
    void Paint() override { FProbe.Paint(Canvas()); }

private:
    PaintProbe& FProbe;
};

class PaintingGraphic : public TGraphicControl {
public:
    PaintingGraphic(TComponent* owner, PaintProbe& probe) : TGraphicControl(owner), FProbe(probe) {
        SetBounds(10, 10, 80, 40);
    }

protected:
    void Paint() override { FProbe.Paint(Canvas()); }

private:
    PaintProbe& FProbe;
};

bool HasUpdateRegion(HWND wnd) { return GetUpdateRect(wnd, nullptr, FALSE) != FALSE; }

}  // namespace

TEST(PaintFailure, ReportedOnceFromTheLoopWindowValidatedNothingLeaks) {
    enum Kind { DoubleBuffered, Direct, Windowless };
    for (Kind kind : {DoubleBuffered, Direct, Windowless}) {
        SCOPED_TRACE(kind);
        ReportLog reports;
        PaintProbe probe;
        auto form = std::make_unique<TForm>(nullptr);
        form->SetBounds(120, 120, 240, 160);
        TCanvas* canvas = nullptr;
        HWND wnd = nullptr;
        if (kind == Windowless) {
            auto* g = new PaintingGraphic(form.get(), probe);
            g->SetParent(form.get());
            canvas = &g->Canvas();
        } else {
            auto* c = new PaintingControl(form.get(), probe);
            c->DoubleBuffered = kind == DoubleBuffered;
            c->SetParent(form.get());
            canvas = &c->Canvas();
            wnd = c->Handle();
        }
        form->Show();
        if (!wnd) wnd = form->Handle();
        ASSERT_TRUE(testsupport::PumpUntil([&] { return probe.Paints >= 1 && !HasUpdateRegion(wnd); }));
        ASSERT_FALSE(HasUpdateRegion(wnd));

        // The painting now fails, inside a WM_PAINT sent at once (not from the loop).
        probe.Fail = true;
        probe.Paints = 0;
        DWORD gdiBefore = testsupport::GdiObjectCount();
        RedrawWindow(wnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        EXPECT_EQ(probe.Paints, 1);
        EXPECT_FALSE(HasUpdateRegion(wnd)) << "the failed paint leaves the window valid";
        EXPECT_TRUE(reports.Messages.empty()) << "no report from inside the paint";
        EXPECT_EQ(QueuedExceptionMessages(), std::vector<std::wstring>{L"描画に失敗しました"});
        EXPECT_FALSE(canvas->HandleAllocated()) << "the canvas let go of the DC";
        if (kind == DoubleBuffered) {
            EXPECT_EQ(GetObjectType(probe.DC), 0u) << "memory DC deleted";
            EXPECT_EQ(GetObjectType(probe.Bitmap), 0u) << "memory bitmap deleted";
        }
        EXPECT_EQ(testsupport::GdiObjectCount(), gdiBefore);

        // The loop shows it once; the window does not ask to be painted again.
        PumpAtMost(1000);
        EXPECT_EQ(reports.Messages, std::vector<std::wstring>{L"描画に失敗しました"});
        EXPECT_EQ(reports.Senders, std::vector<TComponent*>{nullptr});
        EXPECT_EQ(probe.Paints, 1);

        // Failing again is not reported again, until a paint has succeeded in between.
        RedrawWindow(wnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        PumpAtMost(1000);
        EXPECT_EQ(probe.Paints, 2);
        EXPECT_EQ(reports.Messages.size(), 1u);
        probe.Fail = false;
        RedrawWindow(wnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        probe.Fail = true;
        RedrawWindow(wnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        PumpAtMost(1000);
        EXPECT_EQ(probe.Paints, 4);
        EXPECT_EQ(reports.Messages.size(), 2u);
    }
}

TEST(ExceptionFunnel, OneReportAtATimeEqualOnesOnceNothingOutsideACatch) {
    ReportLog reports;
    int depth = 0, deepest = 0;
    Application->OnException = [&](TComponent* sender, const Exception& e) {
        deepest = std::max(deepest, ++depth);
        reports.Messages.push_back(e.Message());
        reports.Senders.push_back(sender);
        if (e.Message() == L"一つ目") {
            // Raised while this report is on screen: it waits, and twice is once.
            for (int i = 0; i < 2; ++i) {
                try {
                    throw EConvertError(L"二つ目");
                } catch (...) {
                    HandleCurrentException(nullptr);
                }
            }
            try {
                throw EAbort(L"黙って");
            } catch (...) {
                HandleCurrentException(nullptr);
            }
            EXPECT_EQ(QueuedExceptionMessages(), std::vector<std::wstring>{L"二つ目"});
        }
        --depth;
    };
    auto form = std::make_unique<TForm>(nullptr);
    try {
        throw EConvertError(L"一つ目");
    } catch (...) {
        HandleCurrentException(form.get());
    }
    EXPECT_EQ(reports.Messages, std::vector<std::wstring>{L"一つ目"});
    EXPECT_EQ(reports.Senders, std::vector<TComponent*>{form.get()}) << "a report shown at once keeps its sender";
    EXPECT_EQ(ReportQueuedExceptions(), 1);
    EXPECT_EQ(reports.Messages, (std::vector<std::wstring>{L"一つ目", L"二つ目"}));
    EXPECT_EQ(deepest, 1) << "never a report inside another";

    // Outside a catch block there is no current exception: nothing is reported or rethrown.
    HandleCurrentException(nullptr);
    Application->HandleException(nullptr);
    ReportException(nullptr, nullptr);
    EXPECT_EQ(reports.Messages.size(), 2u);
    EXPECT_TRUE(QueuedExceptionMessages().empty());
}

TEST(GdiGuards, EverythingIsGivenBackWhenTheScopeIsLeftByAnException) {
    TMemoryDC holder;
    HGDIOBJ originalFont = GetCurrentObject(holder.Handle(), OBJ_FONT);
    HFONT font = CreateFontW(-12, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, L"MS UI Gothic");
    ASSERT_NE(font, nullptr);
    HDC memoryDC = nullptr;
    HBITMAP bitmap = nullptr;
    int savedLevel = 0;
    try {
        TMemoryBitmap buffer(nullptr, 16, 8);
        memoryDC = buffer.DC();
        bitmap = buffer.Bitmap();
        EXPECT_EQ(GetCurrentObject(memoryDC, OBJ_BITMAP), bitmap);
        TSavedDC saved(holder.Handle());
        savedLevel = SaveDC(holder.Handle());
        TSelectedObject selected(holder.Handle(), font);
        EXPECT_EQ(GetCurrentObject(holder.Handle(), OBJ_FONT), font);
        throw EConvertError(L"途中で失敗");
    } catch (const EConvertError&) {
    }
    EXPECT_EQ(GetCurrentObject(holder.Handle(), OBJ_FONT), originalFont);
    EXPECT_EQ(GetObjectType(memoryDC), 0u);
    EXPECT_EQ(GetObjectType(bitmap), 0u);
    EXPECT_EQ(SaveDC(holder.Handle()), savedLevel - 1) << "the DC state saved by the guard was restored";

    // An owned object is deleted once, by its last owner.
    TGdiObject<HFONT> owned(font);
    TGdiObject<HFONT> moved(std::move(owned));
    EXPECT_EQ(owned.Handle(), nullptr);
    EXPECT_EQ(GetObjectType(font), static_cast<DWORD>(OBJ_FONT));
    moved.Reset();
    EXPECT_EQ(GetObjectType(font), 0u);
}
