#include "support/FileIo.h"

#include "platform/AtomicFile.h"
#include "platform/FileDescriptor.h"
#include "platform/NativePath.h"
#include "platform/ProgramFolder.h"
#include "platform/VersionResource.h"
#include "platform/VersionResourceWriter.h"
#include "support/FilePaths.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <new>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>

namespace lumarra {

namespace {

std::string NativeOf(std::string path)
{
    NormalizePath(path);
    return ToNativePath(path);
}

FileDescriptor OpenForReading(const std::string& nativePath, struct stat& status)
{
    FileDescriptor fd = FileDescriptor::OpenRegular(nativePath, O_RDONLY);
    if (!fd.IsOpen() || ::fstat(fd.Get(), &status) != 0)
        return FileDescriptor();
    return fd;
}

bool IsBlock(const void* data, size_t count)
{
    return data || count == 0;
}

std::string_view Block(const void* data, size_t count)
{
    return count ? std::string_view(static_cast<const char*>(data), count) : std::string_view();
}

}

int FileExists(const std::string& path)
{
    struct stat status { };
    return ::stat(MapFileForReading(ToNativePath(path)).c_str(), &status) == 0 ? 1 : 0;
}

std::unique_ptr<uint8_t[]> ReadWholeFile(std::string path, size_t& length)
{
    length = 0;
    struct stat status { };
    FileDescriptor fd = OpenForReading(NativeOf(std::move(path)), status);
    if (!fd.IsOpen())
        return nullptr;
    auto size = static_cast<size_t>(status.st_size);
    if (size > SIZE_MAX - kReadPadding)
        return nullptr;
    std::unique_ptr<uint8_t[]> buffer(new (std::nothrow) uint8_t[size + kReadPadding]);
    if (!buffer)
        return nullptr;
    ssize_t read = fd.ReadAt(buffer.get(), size, 0);
    if (read < 0)
        return nullptr;
    std::memset(buffer.get() + read, 0, size + kReadPadding - static_cast<size_t>(read));
    length = static_cast<size_t>(read);
    return buffer;
}

int ReadFileAt(std::string path, void* buffer, size_t offset, size_t count)
{
    struct stat status { };
    FileDescriptor fd = OpenForReading(NativeOf(std::move(path)), status);
    if (!fd.IsOpen() || !buffer || offset >= static_cast<size_t>(status.st_size))
        return 0;
    ssize_t read = fd.ReadAt(buffer, std::min<size_t>(count, INT_MAX), offset);
    return read < 0 ? 0 : static_cast<int>(read);
}

std::string ReadTextFile(std::string path)
{
    size_t length = 0;
    std::unique_ptr<uint8_t[]> buffer = ReadWholeFile(std::move(path), length);
    if (!buffer)
        return {};
    std::string_view content(reinterpret_cast<const char*>(buffer.get()), length);
    std::string text;
    text.reserve(length);
    for (size_t pos = 0, step = 0; pos < content.size(); pos += step) {
        step = PathCharLength(content, pos);
        if (step > 1 || content[pos] != '\r')
            text.append(content.substr(pos, step));
    }
    return text;
}

int WriteWholeFile(std::string path, const void* data, size_t count)
{
    if (!IsBlock(data, count))
        return 0;
    return WriteFileAtomically(NativeOf(std::move(path)), { Block(data, count) }) ? 1 : 0;
}

int AppendToFile(std::string path, const void* data, size_t count)
{
    if (!IsBlock(data, count))
        return 0;
    FileDescriptor fd = FileDescriptor::OpenRegular(NativeOf(std::move(path)), O_WRONLY | O_APPEND | O_CREAT);
    if (!fd.IsOpen())
        return 0;
    return fd.WriteAll(data, count) ? 1 : 0;
}

int WriteTextFile(std::string path, const char* text)
{
    if (!text)
        return 0;
    std::string_view source(text);
    std::string converted;
    converted.reserve(source.size() * 2 + 2);
    for (char c : source) {
        if (c == '\n')
            converted += "\r\n";
        else if (c != '\r')
            converted += c;
    }
    return WriteWholeFile(std::move(path), converted.data(), converted.size());
}

int WriteTwoParts(const std::string& path, const void* data1, size_t count1, const void* data2, size_t count2)
{
    if (!IsBlock(data1, count1) || !IsBlock(data2, count2))
        return 0;
    return WriteFileAtomically(ToNativePath(path), { Block(data1, count1), Block(data2, count2) }) ? 1 : 0;
}

int DeleteFile(std::string path)
{
    // Only the user's own copy of a file beside the program can go.
    return ::unlink(MapFileForReading(NativeOf(std::move(path))).c_str()) == 0 ? 1 : 0;
}

int GetFileVersion(std::string path, int& major, int& minor, int& build, int& revision)
{
    VersionResource resource = VersionResource::ReadFromFile(NativeOf(std::move(path)));
    std::optional<std::span<const uint8_t>> translation = resource.QueryValue("\\VarFileInfo\\Translation");
    if (!translation || translation->size() < 4)
        return 0;
    auto word = [&](size_t at) { return static_cast<unsigned>((*translation)[at] | (*translation)[at + 1] << 8); };
    char key[64];
    std::snprintf(key, sizeof key, "\\StringFileInfo\\%04X%04X\\%s", word(0), word(2), "FileVersion");
    std::optional<std::string> text = resource.QueryText(key);
    if (!text) {
        // Code page 1252, under the same language.
        std::snprintf(key, sizeof key, "\\StringFileInfo\\%04X04E4\\%s", word(0), "FileVersion");
        text = resource.QueryText(key);
    }
    if (!text)
        return 0;
    text->erase(0, text->find_first_not_of(" \t\n\r\v\f"));
    VersionNumbers numbers = ParseVersionNumbers(std::string_view(*text));
    int* outputs[] = { &major, &minor, &build, &revision };
    for (size_t i = 0; i < 4; ++i)
        *outputs[i] = static_cast<int>(std::min<uint32_t>(numbers.part[i], INT_MAX));
    return 1;
}

}
