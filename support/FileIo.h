#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace lumarra {

// Whole-file input and output on internal (Windows-style) paths. Every call
// reports failure by its result and never throws. Files the program creates
// are usable by every user (mode 0666 whatever the umask). Whole-file writes
// replace the target atomically: on any failure the previous file stays whole.
// Only regular files are read or appended to: a folder, a pipe or a device in
// a file's place fails at once, as a missing file does.

// Padding after the content of every buffer ReadWholeFile returns; zeroed,
// so a text buffer is always terminated.
inline constexpr size_t kReadPadding = 100;

// 1 when the path names anything the file system reports a status for.
int FileExists(const std::string& path);

// The whole file, followed by kReadPadding zero bytes; `length` is the number
// of bytes read. Null, with `length` 0, on any failure.
std::unique_ptr<uint8_t[]> ReadWholeFile(std::string path, size_t& length);

// Reads up to `count` bytes at `offset` into `buffer`; the number read. 0 when
// the file is shorter than offset + 1 bytes.
int ReadFileAt(std::string path, void* buffer, size_t offset, size_t count);

// The file's text with every carriage return outside multibyte characters
// dropped; empty on failure.
std::string ReadTextFile(std::string path);

// Replaces the file with `count` bytes of `data`; 1 on success.
int WriteWholeFile(std::string path, const void* data, size_t count);

// Appends `count` bytes of `data`, creating the file when it is missing.
int AppendToFile(std::string path, const void* data, size_t count);

// Writes `text` with "\r\n" line ends (carriage returns of the text are
// dropped, each line feed becomes a pair); a null text fails.
int WriteTextFile(std::string path, const char* text);

// Replaces the file with two blocks one after the other (a header and its
// pixels, say); 1 only when both are written. The path is used as given,
// without normalising.
int WriteTwoParts(const std::string& path, const void* data1, size_t count1, const void* data2, size_t count2);

// Removes the file; 1 on success.
int DeleteFile(std::string path);

// The four numbers of the file's version resource ("a.b.c.d"); 0 when the file
// has none.
int GetFileVersion(std::string path, int& major, int& minor, int& build, int& revision);

}
