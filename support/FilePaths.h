#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace lumarra {

// Paths inside the program are Windows-style: backslash separators, bytes in
// the system code page. Every scan steps over multibyte characters whole, so
// a CP932 trail byte of 0x5C is never taken for a separator. The file layer
// maps these paths to native ones (platform/NativePath.h).

// Which bytes start a double-byte character in CP932. Path normalising and
// the other scans disagree on 0xA0, and both are kept as they are.
enum class LeadBytes {
    Normalize,  // 0x80-0x9F, 0xE0-0xFF
    Scan,       // 0x80-0xA0, 0xE0-0xFF
};

// Byte length of the character at `pos` in the system code page: a CP932
// double-byte character or a well-formed UTF-8 sequence is one unit. Never
// steps past the end of `text`; 0 at the end.
size_t PathCharLength(std::string_view text, size_t pos, LeadBytes leadBytes = LeadBytes::Scan);

// Trims white space, drops a leading "\\?\", keeps the start of an existing
// UNC path, drops double quotes and collapses runs of backslashes. 0 (path
// unchanged) only when a UNC path does not exist.
int NormalizePath(std::string& path);

// The part after the last backslash, or the whole path; 1 when not empty.
int GetFileName(std::string path, std::string& name);

// The part before the last backslash; 0 when the path has none.
int GetFolder(std::string path, std::string& folder);

// The file name's last "." and what follows it; 0 when it has no dot.
int GetExtension(std::string path, std::string& extension);

// The path with each component as the file system lists it; 0 when the path
// or one of its folders does not exist.
int GetLongPath(std::string path, std::string& longPath);

// The full path of a loaded module's file, or of the program itself for an
// empty name; empty on failure. The program answers as if it lay in its
// program folder (LUMARRA_HOME when set).
std::string GetModulePath(std::string_view moduleName = {});

// The folder of GetModulePath; empty on failure. Data files are addressed
// relative to GetModuleFolder() of the program.
std::string GetModuleFolder(std::string_view moduleName = {});

// "folder\name", normalised; empty when normalising fails.
std::string JoinPath(std::string_view folder, std::string_view name);

// Position of the last `character` outside multibyte characters, or npos.
size_t FindLastChar(std::string_view text, char character);

}
