#pragma once

namespace lumarra {

// SIGTERM, SIGINT and SIGHUP end the program the orderly way: the handler
// only notes the signal, and the application's message pump ends every
// modal loop, so the program returns through its normal close path (which
// releases the keyboard and writes nothing half). Replaces the handlers SDL
// installs, which would only ask the main window to close.
void CatchQuitSignals();
// True when a quit signal arrived since the last call.
bool TakeQuitSignal();

}
