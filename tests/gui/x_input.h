// Real input through the X server (the XTEST extension), for tests where what
// matters is what a person's clicks and keys do: the events travel through
// the display server and the toolkit's own queue, exactly as typed ones do.
#pragma once

#include <wx/window.h>

#include <functional>
#include <string>

namespace xinput {

// False when the display has no XTEST extension (such tests then skip).
bool Available();

// Moves the pointer to the centre of w, gives w's top-level window the
// keyboard focus and lets the toolkit see both.
void PointAt(wxWindow* w);
// A press and release of the left button at the centre of w.
void Click(wxWindow* w);
// Two clicks gapMs apart, as a quick double-click is.
void DoubleClick(wxWindow* w, int gapMs = 150);
// Clicks w so that it takes the keyboard focus.
void Focus(wxWindow* w);

// A key combination in X keysym names joined by '+': "ctrl+n", "shift+ctrl+s",
// "Tab", "Escape", "a".
void Key(const std::string& combo);
// Printable ASCII text, a key press per character.
void Type(const std::string& text);

// Runs the event loop for ms, so that sent input arrives and is handled.
void Pump(int ms);
// Runs the event loop until done() or timeoutMs; returns done().
bool PumpUntil(const std::function<bool()>& done, int timeoutMs);

}  // namespace xinput
