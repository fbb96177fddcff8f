#pragma once

#include <string>

namespace lumarra {

// The running executable's native path (from /proc/self/exe); empty when it
// cannot be read.
std::string GetExecutablePath();

// The program folder, where the game's data files lie: LUMARRA_HOME when set;
// else, for an installed copy, the data folder that the install put beside
// the executable's (bin/../share/lumarra); else the executable's folder.
// Native, without a trailing '/' (but "/" for the root); empty when none is
// known.
std::string GetProgramFolder();

// The executable's path as if it lay in the program folder: the executable
// itself unless the program folder is another.
std::string GetProgramPath();

// The user's own folder for the files beside the program:
// $XDG_DATA_HOME/lumarra when that is an absolute path, else
// ~/.local/share/lumarra. Empty when the user has no home.
std::string GetUserDataFolder();

// Where a file that the game names beside the program really lies. While the
// program folder is writable (a build folder, a copy of one's own) every path
// stays as it is. An installed copy's folder is not: its files are read from
// the user's data folder when they are there and from the program folder
// otherwise, and written to the user's data folder, whose folders
// MapFileForWriting creates on the way. Paths outside the program folder never
// change.
std::string MapFileForReading(const std::string& nativePath);
std::string MapFileForWriting(const std::string& nativePath);

}
