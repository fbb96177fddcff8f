#pragma once

namespace lumarra {

// Keeps X protocol errors from ending the program. SDL wakes its event wait
// from other threads by sending an event to its newest window over a second
// connection; when that window (a message box just answered) is destroyed
// first, the server answers BadWindow, and Xlib's default handler would end
// the process. Such errors are harmless to us. A lost connection still ends
// the program. Call once SDL runs on X11.
void IgnoreX11ProtocolErrors();

}
