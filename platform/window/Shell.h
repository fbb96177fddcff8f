#pragma once

#include <string_view>

namespace lumarra {

// ShellExecute with the verb "open": hands `target` (a web address or a
// file) to the desktop's opener, xdg-open, in a detached process, without
// waiting for it and without a shell in between. LUMARRA_OPEN_COMMAND names
// another opener (tests). True when the opener was started; what it then
// does is not followed.
bool ShellOpen(std::string_view target);

}
