#include "x_input.h"

#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>
#include <wx/app.h>
#include <wx/toplevel.h>
#include <wx/utils.h>

#include <chrono>
#include <sstream>
#include <vector>

namespace xinput {

namespace {

// A connection of our own: the toolkit's is busy with its own queue.
Display* Dpy() {
    static Display* d = XOpenDisplay(nullptr);
    return d;
}

void Sync() { XSync(Dpy(), False); }

KeyCode CodeOf(const std::string& name) {
    KeySym sym = XStringToKeysym(name.c_str());
    if (sym == NoSymbol && name.size() == 1) sym = static_cast<unsigned char>(name[0]);
    if (name == "ctrl") sym = XK_Control_L;
    if (name == "shift") sym = XK_Shift_L;
    if (name == "alt") sym = XK_Alt_L;
    return XKeysymToKeycode(Dpy(), sym);
}

}  // namespace

bool Available() {
    int event, error, major, minor;
    return Dpy() && XTestQueryExtension(Dpy(), &event, &error, &major, &minor);
}

void PointAt(wxWindow* w) {
    const wxRect r = w->GetScreenRect();
    XTestFakeMotionEvent(Dpy(), -1, r.x + r.width / 2, r.y + r.height / 2, CurrentTime);
    Sync();
    // With no window manager nobody hands out the focus; give it to the
    // top-level window under the pointer, as a click on it would.
    Window root, child;
    int rx, ry, wx_, wy;
    unsigned mask;
    if (XQueryPointer(Dpy(), DefaultRootWindow(Dpy()), &root, &child, &rx, &ry, &wx_, &wy, &mask) &&
        child != None)
        XSetInputFocus(Dpy(), child, RevertToParent, CurrentTime);
    Sync();
    Pump(30);
}

void Click(wxWindow* w) {
    PointAt(w);
    XTestFakeButtonEvent(Dpy(), 1, True, CurrentTime);
    XTestFakeButtonEvent(Dpy(), 1, False, CurrentTime);
    Sync();
}

void DoubleClick(wxWindow* w, int gapMs) {
    PointAt(w);
    XTestFakeButtonEvent(Dpy(), 1, True, CurrentTime);
    XTestFakeButtonEvent(Dpy(), 1, False, CurrentTime);
    // The gap is taken on the server's clock, so the toolkit cannot see both
    // clicks at once however busy it is.
    XTestFakeButtonEvent(Dpy(), 1, True, static_cast<unsigned long>(gapMs));
    XTestFakeButtonEvent(Dpy(), 1, False, CurrentTime);
    Sync();
}

void Focus(wxWindow* w) {
    Click(w);
    Pump(50);
}

void Key(const std::string& combo) {
    std::vector<KeyCode> codes;
    std::stringstream parts(combo);
    for (std::string part; std::getline(parts, part, '+');) codes.push_back(CodeOf(part));
    for (KeyCode c : codes) XTestFakeKeyEvent(Dpy(), c, True, CurrentTime);
    for (auto it = codes.rbegin(); it != codes.rend(); ++it)
        XTestFakeKeyEvent(Dpy(), *it, False, CurrentTime);
    Sync();
}

void Type(const std::string& text) {
    for (char ch : text) {
        const KeySym sym = static_cast<unsigned char>(ch);
        const KeyCode code = XKeysymToKeycode(Dpy(), sym);
        // Upper-case letters and shifted signs need the shift key.
        KeySym plain = XkbKeycodeToKeysym(Dpy(), code, 0, 0);
        const bool shift = plain != sym;
        const KeyCode shiftCode = XKeysymToKeycode(Dpy(), XK_Shift_L);
        if (shift) XTestFakeKeyEvent(Dpy(), shiftCode, True, CurrentTime);
        XTestFakeKeyEvent(Dpy(), code, True, CurrentTime);
        XTestFakeKeyEvent(Dpy(), code, False, CurrentTime);
        if (shift) XTestFakeKeyEvent(Dpy(), shiftCode, False, CurrentTime);
    }
    Sync();
}

void Pump(int ms) {
    PumpUntil([] { return false; }, ms);
}

bool PumpUntil(const std::function<bool()>& done, int timeoutMs) {
    using Clock = std::chrono::steady_clock;
    const auto end = Clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!done()) {
        if (Clock::now() >= end) return false;
        wxTheApp->Yield(true);
        wxMilliSleep(5);
    }
    return true;
}

}  // namespace xinput
