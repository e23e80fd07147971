#include "app/keep_alive.h"

#include <wx/app.h>
#include <wx/evtloop.h>
#include <wx/utils.h>

#include <algorithm>
#include <chrono>

#include "device/link.h"

namespace kestrin_ui {

std::function<void()> OnEventLoopRan;

void KeepWindowAlive() {
    if (wxEventLoopBase* loop = wxEventLoopBase::GetActive()) loop->YieldFor(wxEVT_CATEGORY_UI);
    if (OnEventLoopRan) OnEventLoopRan();
}

void InstallWindowPause() {
    kestrin::SetPause([](int ms) {
        using Clock = std::chrono::steady_clock;
        const auto end = Clock::now() + std::chrono::milliseconds(ms);
        for (;;) {
            KeepWindowAlive();
            const auto left =
                std::chrono::duration_cast<std::chrono::milliseconds>(end - Clock::now()).count();
            if (left <= 0) break;
            wxMilliSleep(static_cast<unsigned long>(std::min<long long>(left, 10)));
        }
    });
}

}  // namespace kestrin_ui
