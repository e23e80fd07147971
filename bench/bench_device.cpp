// Runs a programming run and a read-back of the start-up form through the
// window's own button handlers, against the simulated shoe with real pauses,
// and prints for each: wall time from the click until the result is shown,
// the pauses the pacing rule prescribes for the frames actually sent (plus
// the 200 ms of silence that ends each reply), their ratio, and the longest
// stretch in which the GUI thread's event loop did not run, seen by a
// repeating 5 ms timer.
#include <wx/evtloop.h>
#include <wx/timer.h>
#include <wx/wx.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

#include "app/Kestrin_ProMain.h"
#include "app/ui_hooks.h"
#include "device/link.h"
#include "sim/sim_backend.h"

namespace {

using Clock = std::chrono::steady_clock;

class BenchApp : public wxApp {
  public:
    bool OnInit() override { return true; }
};

double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

struct Result {
    double wallMs, shownMs, prescribedMs, longestStallMs;
};

Result Measure(Kestrin_ProFrame* frame, wxButton* button, kestrin::sim::Simulator& sim,
               int replies) {
    std::vector<Clock::time_point> ticks;
    wxTimer beat;
    beat.Bind(wxEVT_TIMER, [&](wxTimerEvent&) { ticks.push_back(Clock::now()); });
    const size_t before = sim.Frames().size();
    beat.Start(5);
    // The beat runs before the click, so the first interval is a real one.
    wxEventLoopBase* loop = wxEventLoopBase::GetActive();
    for (const auto warm = Clock::now() + std::chrono::milliseconds(50); Clock::now() < warm;)
        loop->Dispatch();
    ticks.clear();
    const auto start = Clock::now();
    wxCommandEvent click(wxEVT_BUTTON, button->GetId());
    click.SetEventObject(button);
    button->GetEventHandler()->ProcessEvent(click);
    // The gauge goes once the worker has been joined; the result is shown
    // when the operation is no longer busy.
    auto end = start;
    while (frame->DeviceBusy()) {
        loop->Dispatch();
        if (end == start && !frame->Gauge_Transfer->IsShown()) end = Clock::now();
    }
    const auto shown = Clock::now();
    if (end == start) end = shown;
    beat.Stop();

    double prescribed = 0;
    for (size_t i = before; i < sim.Frames().size(); ++i) {
        const kestrin::Bytes& f = sim.Frames()[i];
        const bool endFrame = f.size() > 3 && f[1] == kestrin::kTypeRun && f[3] == 'Z';
        if (!endFrame) prescribed += kestrin::PauseMs(kestrin::Stuff(f).size());
    }
    prescribed += 200.0 * replies;

    double stall = 0;
    auto last = start;
    for (const auto& t : ticks) {
        stall = std::max(stall, Ms(t - last));
        last = t;
    }
    stall = std::max(stall, Ms(shown - last));
    std::printf("  frames sent %zu\n", sim.Frames().size() - before);
    return {Ms(end - start), Ms(shown - start), prescribed, stall};
}

void Print(const char* what, const Result& r) {
    std::printf(
        "%s: wall %.0f ms (result shown at %.0f ms), prescribed %.0f ms, ratio %.4f, longest "
        "stall %.1f ms\n",
        what, r.wallMs, r.shownMs, r.prescribedMs, r.wallMs / r.prescribedMs, r.longestStallMs);
}

}  // namespace

int main(int argc, char** argv) {
    wxApp::SetInstance(new BenchApp);
    if (!wxEntryStart(argc, argv) || !wxTheApp->CallOnInit()) {
        std::fprintf(stderr, "cannot start the toolkit (no display?)\n");
        return 1;
    }
    kestrin::sim::Simulator& sim = kestrin::sim::InstallSimulatorBackend();
    sim.SetRealTime(true);
    kestrin_ui::MessageBox = [](const wxString& text, const wxString&, long, wxWindow*) {
        std::fprintf(stderr, "message: %s\n", text.utf8_str().data());
        return static_cast<int>(wxOK);
    };
    int rc = 0;
    {
        wxEventLoop loop;
        wxEventLoopActivator active(&loop);
        auto* frame = new Kestrin_ProFrame(nullptr, -1);
        frame->Timer1.Stop();
        frame->Show();
        wxTimerEvent tick(frame->Timer1);
        frame->GetEventHandler()->ProcessEvent(tick);  // connect the shoe and cable
        // The window's first drawing is not part of any operation.
        for (const auto until = Clock::now() + std::chrono::milliseconds(500);
             Clock::now() < until;)
            wxTheApp->Yield(true);

        const Result program = Measure(frame, frame->Button_Program, sim, 0);
        Print("programming run", program);
        const Result read = Measure(frame, frame->Button_Read, sim, 2);
        Print("read-back", read);
        for (const Result& r : {program, read})
            if (r.wallMs / r.prescribedMs > 1.01 || r.longestStallMs > 20) rc = 1;
        std::printf(rc == 0 ? "targets met (ratio <= 1.01, stall <= 20 ms)\n"
                            : "TARGETS MISSED (ratio <= 1.01, stall <= 20 ms)\n");
        frame->Destroy();
    }
    wxEntryCleanup();
    return rc;
}
