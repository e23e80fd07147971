// The one device operation of the window: its worker thread, its cancel
// flag, and the input the window refuses while it runs.
#pragma once

#include <wx/menu.h>
#include <wx/timer.h>
#include <wx/window.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>
#include <utility>
#include <vector>

#include "app/Kestrin_ProMain.h"

// Refuses every click and key of the main window but those of `keep`. Pages
// are disabled as whole panels, so the page handlers can still set their
// controls' own states, which return when a panel is enabled again; the
// menus are disabled at the top, which also stops their accelerators.
class InputBlock {
  public:
    InputBlock(Kestrin_ProFrame* frame, std::vector<wxWindow*> keep);
    ~InputBlock();
    InputBlock(const InputBlock&) = delete;
    InputBlock& operator=(const InputBlock&) = delete;

  private:
    Kestrin_ProFrame* frame_;
    std::vector<std::pair<wxWindow*, bool>> windows_;
    std::vector<bool> menus_;
    wxWindow* focus_ = nullptr;
};

struct Kestrin_ProFrame::RunningOperation {
    std::thread worker;
    kestrin::CancelFlag cancel{false};
    bool cancellable = false;
    bool finished = false;  // the worker has ended; input may still be settling
    std::chrono::steady_clock::time_point started;
    std::function<void()> done;
    std::unique_ptr<InputBlock> block;
    wxTimer settle;

    // A question the worker waits on.
    std::mutex askLock;
    std::condition_variable asked;
    std::optional<bool> answer;

    ~RunningOperation() {
        // Only a forced close gets here with the worker still going.
        {
            std::lock_guard<std::mutex> lock(askLock);
            cancel = true;
        }
        asked.notify_all();
        if (worker.joinable()) worker.join();
    }
};
