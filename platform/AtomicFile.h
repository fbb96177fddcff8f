#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

namespace lumarra {

// Mode of every file the program creates: usable by every user, whatever the
// umask.
inline constexpr unsigned kSharedFileMode = 0666;

// Replaces the file at `nativePath` with the concatenated `parts`: written
// under a temporary name in the same folder, flushed to disk, then renamed
// over the target. On any failure the previous file stays whole and the
// temporary is removed. A crash at any point leaves either the old or the new
// content, never a mix.
bool WriteFileAtomically(const std::string& nativePath, std::initializer_list<std::string_view> parts);

}
