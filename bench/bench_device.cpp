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
#include <cstdlib>
#include <filesystem>
#include <vector>

#include "app/Kestrin_ProMain.h"
#include "app/ui_hooks.h"
#include "device/link.h"
#include "device/verified_run.h"
#include "sim/sim_backend.h"
#include "tests/portable.h"

namespace {

using Clock = std::chrono::steady_clock;

class BenchApp : public wxApp {
  public:
    bool OnInit() override { return true; }
};

double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

struct Result {
    double wallMs, shownMs, prescribedMs, longestStallMs;
    double endPacketMs;  // when the run's end packet reached the shoe
    double stallAtMs;    // when the longest stall began
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
    auto end = start, endPacket = start;
    const auto isEnd = [](const kestrin::Bytes& f) {
        return f.size() > 3 && f[1] == kestrin::kTypeRun && f[3] == 'Z';
    };
    while (frame->DeviceBusy()) {
        loop->Dispatch();
        if (end == start && !frame->Gauge_Transfer->IsShown()) end = Clock::now();
        if (endPacket == start && !sim.Frames().empty() && sim.Frames().size() > before &&
            isEnd(sim.Frames().back()))
            endPacket = Clock::now();
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
    if (replies == 4) prescribed += kestrin::kVerifySettleMs;

    double stall = 0, stallAt = 0;
    auto last = start;
    const auto stretch = [&](Clock::time_point t) {
        if (Ms(t - last) > stall) stall = Ms(t - last), stallAt = Ms(last - start);
        last = t;
    };
    for (const auto& t : ticks) stretch(t);
    stretch(shown);
    std::printf("  frames sent %zu\n", sim.Frames().size() - before);
    return {Ms(end - start), Ms(shown - start), prescribed, stall, Ms(endPacket - start), stallAt};
}

void Print(const char* what, const Result& r) {
    std::printf(
        "%s: wall %.0f ms (result shown at %.0f ms), prescribed %.0f ms, ratio %.4f, longest "
        "stall %.1f ms (from %.0f ms)\n",
        what, r.wallMs, r.shownMs, r.prescribedMs, r.wallMs / r.prescribedMs, r.longestStallMs,
        r.stallAtMs);
}

}  // namespace

int main(int argc, char** argv) {
    wxApp::SetInstance(new BenchApp);
    if (!wxEntryStart(argc, argv) || !wxTheApp->CallOnInit()) {
        std::fprintf(stderr, "cannot start the toolkit (no display?)\n");
        return 1;
    }
    // Backups and the log of the benchmark's runs go to a folder of its own.
    const std::string dataDir = kestrin_test::MakeTempFolder("kestrin-bench-data").string();
    kestrin_test::SetEnv("KESTRIN_DATA_DIR", dataDir.c_str());
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

        // The run alone, without a read cable, as the pacing prescribes it.
        sim.UnplugCable();
        frame->GetEventHandler()->ProcessEvent(tick);
        const Result program = Measure(frame, frame->Button_Program, sim, 0);
        Print("programming run (no read cable)", program);
        sim.PlugCable();
        frame->GetEventHandler()->ProcessEvent(tick);
        const Result read = Measure(frame, frame->Button_Read, sim, 2);
        Print("read-back", read);
        for (const Result& r : {program, read})
            if (r.wallMs / r.prescribedMs > 1.01 || r.longestStallMs > 20) rc = 1;
        std::printf(rc == 0 ? "targets met (ratio <= 1.01, stall <= 20 ms)\n"
                            : "TARGETS MISSED (ratio <= 1.01, stall <= 20 ms)\n");

        // With the cable: backup read, run, settle, verification read.
        const Result verified = Measure(frame, frame->Button_Program, sim, 4);
        Print("verified programming run", verified);
        const double check = verified.wallMs - verified.endPacketMs;
        const double allowed = kestrin::kVerifySettleMs + 1.1 * read.wallMs;
        std::printf(
            "verification after the end packet: %.0f ms, allowed %.0f ms (settle %d + 1.1 x "
            "read-back %.0f)\n",
            check, allowed, kestrin::kVerifySettleMs, read.wallMs);
        if (check > allowed) rc = 1;
        std::printf(check <= allowed ? "verification target met\n"
                                     : "VERIFICATION TARGET MISSED\n");
        frame->Destroy();
    }
    wxEntryCleanup();
    std::error_code ignored;
    std::filesystem::remove_all(dataDir, ignored);
    return rc;
}
