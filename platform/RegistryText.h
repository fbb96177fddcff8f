#pragma once

#include "platform/RegistryNode.h"

#include <cstddef>
#include <string>
#include <string_view>

namespace lumarra {

// The registry store file: one text file per root key, readable by a person.
//
//   Lumarra Registry 2
//   ; comment
//
//   [HKEY_CURRENT_USER\Software\Orvella\Korimba]
//   "bClick"=dword:00000001
//   "Title"="text"                 REG_SZ: the text, then its terminating zero
//   "Data"=hex:01,02,ff            REG_BINARY, long lists continue after ",\"
//   "Other"=hex(7):41,00           any other type, by number
//   @=dword:00000000               the key's unnamed value
//
//   End of Lumarra Registry
//
// In names and strings %HH stands for a byte that is not printable ASCII, and
// for '%', '"' and '\'. A key header creates every key on its path; keys with
// neither values nor sub-keys get a header of their own so they are kept.
// The end line is written last, so a file cut short anywhere lacks it and is
// refused rather than read as a smaller store. Files of version 1 have no end
// line and are read as they stand.
inline constexpr std::string_view kRegistryTextSignature = "Lumarra Registry 2";
inline constexpr std::string_view kRegistryTextSignatureWithoutEnd = "Lumarra Registry 1";
inline constexpr std::string_view kRegistryTextEnd = "End of Lumarra Registry";
inline constexpr size_t kMaxRegistryFileBytes = 4 * 1024 * 1024;
inline constexpr size_t kMaxRegistryLineBytes = 1024 * 1024;

// Fills `root` (named `rootName`) from `text`. Empty text is an empty store.
// Returns false, leaving `root` empty, for anything that is not a well-formed
// store file within the limits of RegistryNode.h and the ones above.
bool ParseRegistryText(std::string_view text, std::string_view rootName, RegistryNode& root);

// The store file text of `root`; ParseRegistryText reads it back unchanged.
std::string PrintRegistryText(const RegistryNode& root, std::string_view rootName);

}
