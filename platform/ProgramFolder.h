#pragma once

#include <string>

namespace lumarra {

// The running executable's native path (from /proc/self/exe); empty when it
// cannot be read.
std::string GetExecutablePath();

// The program folder, where the game's data files lie: LUMARRA_HOME when set,
// else the executable's folder. Native, without a trailing '/' (but "/" for
// the root); empty when neither is known.
std::string GetProgramFolder();

// The executable's path as if it lay in the program folder: the executable
// itself unless LUMARRA_HOME names another folder.
std::string GetProgramPath();

}
