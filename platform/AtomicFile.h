#pragma once

#include "platform/FileDescriptor.h"

#include <cstddef>
#include <initializer_list>
#include <string>
#include <string_view>

namespace lumarra {

// Replaces the file at `nativePath` with the concatenated `parts`: written
// under a temporary name ("<name>.tmpXXXXXX") in the same folder, flushed to
// disk, then renamed over the target. On any failure the previous file stays
// whole, the temporary is removed and errno tells why. A crash at any point
// leaves either the old or the new content, never a mix. Temporaries that
// killed writes of the same target left behind are removed first. A file
// beside the program is written where MapFileForWriting says.
bool WriteFileAtomically(const std::string& nativePath, std::initializer_list<std::string_view> parts);

// Removes the temporaries that killed atomic writes left in `nativeFolder`,
// whatever their target; the number removed. A temporary that a running
// writer holds is never touched.
size_t RemoveStaleTemporaries(const std::string& nativeFolder);

}
