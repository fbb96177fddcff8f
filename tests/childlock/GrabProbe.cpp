// Tells whether another client could take the keyboard right now: tries an
// active keyboard grab on the root window and lets it go at once.
//   grab_probe    exit 0: the keyboard was free; 1: someone holds it;
//                 2: no display
#include <X11/Xlib.h>
#include <cstdio>

int main()
{
    Display* display = XOpenDisplay(nullptr);
    if (!display)
        return 2;
    int result = XGrabKeyboard(display, DefaultRootWindow(display), False, GrabModeAsync, GrabModeAsync, CurrentTime);
    if (result == GrabSuccess)
        XUngrabKeyboard(display, CurrentTime);
    XCloseDisplay(display);
    std::puts(result == GrabSuccess ? "free" : "held");
    return result == GrabSuccess ? 0 : 1;
}
