// The device code's pauses, spent keeping the window painted: short sleeps
// between rounds that process paint and layout events only, so keyboard,
// mouse and timer events wait until the operation is over.
#pragma once

#include <functional>

namespace kestrin_ui {

// Makes kestrin::Pause keep the window alive while it waits.
void InstallWindowPause();

// One round of paint and layout processing.
void KeepWindowAlive();

// Called each time the event loop ran inside a pause (for measurements).
extern std::function<void()> OnEventLoopRan;

}  // namespace kestrin_ui
