#include "support/FilePaths.h"

#include "platform/CodePage.h"
#include "platform/NativePath.h"
#include "platform/ProgramFolder.h"

#include <algorithm>
#include <link.h>
#include <sys/stat.h>

namespace lumarra {

namespace {

bool IsCp932Lead(unsigned char byte, LeadBytes leadBytes)
{
    unsigned char lastLowLead = leadBytes == LeadBytes::Normalize ? 0x9F : 0xA0;
    return (byte >= 0x80 && byte <= lastLowLead) || byte >= 0xE0;
}

// A UTF-8 sequence counts as one character only when it is whole; a stray
// byte steps alone, so an ASCII byte is never swallowed by a broken sequence.
size_t Utf8Length(std::string_view text, size_t pos)
{
    unsigned char lead = static_cast<unsigned char>(text[pos]);
    size_t length = 1;
    if (lead >= 0xC2 && lead <= 0xDF)
        length = 2;
    else if (lead >= 0xE0 && lead <= 0xEF)
        length = 3;
    else if (lead >= 0xF0 && lead <= 0xF4)
        length = 4;
    if (pos + length > text.size())
        return 1;
    for (size_t i = 1; i < length; ++i) {
        unsigned char byte = static_cast<unsigned char>(text[pos + i]);
        if (byte < 0x80 || byte > 0xBF)
            return 1;
    }
    return length;
}

bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

std::string Trim(std::string_view text)
{
    size_t begin = 0;
    size_t end = text.size();
    while (begin < end && IsBlank(text[begin]))
        ++begin;
    while (end > begin && IsBlank(text[end - 1]))
        --end;
    return std::string(text.substr(begin, end - begin));
}

bool Exists(std::string_view internalPath)
{
    struct stat status { };
    return ::lstat(ToNativePath(internalPath).c_str(), &status) == 0;
}

char AsciiLower(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool IsDrive(std::string_view prefix)
{
    return prefix.size() == 2 && prefix[1] == ':' && AsciiLower(prefix[0]) >= 'a' && AsciiLower(prefix[0]) <= 'z';
}

// "\\server" or "\\server\share": the start of a UNC path, which the file
// system does not list as an entry.
bool IsUncStart(std::string_view prefix)
{
    if (!prefix.starts_with("\\\\"))
        return false;
    std::string_view rest = prefix.substr(2);
    size_t slash = FindLastChar(rest, '\\');
    return slash == std::string_view::npos || FindLastChar(rest.substr(0, slash), '\\') == std::string_view::npos;
}

// Where the walk of GetLongPath ends: nothing further to look up there.
bool IsWalkStop(std::string_view prefix)
{
    return prefix.empty() || prefix == "\\" || IsDrive(prefix) || IsUncStart(prefix);
}

bool IsDotEntry(std::string_view name)
{
    return name == "." || name == "..";
}

struct ModuleSearch {
    std::string_view name;
    std::string path;
};

bool EqualsIgnoringCase(std::string_view a, std::string_view b)
{
    return std::ranges::equal(a, b, [](char x, char y) { return AsciiLower(x) == AsciiLower(y); });
}

// A module name matches a shared object by its file name, with or without
// the "lib" prefix and the ".so" suffix (and any version after it).
bool MatchesModule(std::string_view fileName, std::string_view name)
{
    if (EqualsIgnoringCase(fileName, name))
        return true;
    size_t so = fileName.find(".so");
    if (so == std::string_view::npos || (so + 3 < fileName.size() && fileName[so + 3] != '.'))
        return false;
    std::string_view stem = fileName.substr(0, so);
    return EqualsIgnoringCase(stem, name) || (stem.starts_with("lib") && EqualsIgnoringCase(stem.substr(3), name));
}

int VisitModule(dl_phdr_info* info, size_t, void* data)
{
    auto* search = static_cast<ModuleSearch*>(data);
    std::string_view path = info->dlpi_name ? info->dlpi_name : "";
    std::string_view fileName = path.substr(path.rfind('/') + 1);
    if (path.empty() || !MatchesModule(fileName, search->name))
        return 0;
    search->path = path;
    return 1;
}

std::string FindLoadedModule(std::string_view nativeName)
{
    ModuleSearch search { nativeName, {} };
    ::dl_iterate_phdr(VisitModule, &search);
    return search.path;
}

}

size_t PathCharLength(std::string_view text, size_t pos, LeadBytes leadBytes)
{
    if (pos >= text.size())
        return 0;
    if (GetSystemCodePage() == CodePage::Utf8)
        return Utf8Length(text, pos);
    if (!IsCp932Lead(static_cast<unsigned char>(text[pos]), leadBytes))
        return 1;
    return std::min<size_t>(2, text.size() - pos);
}

int NormalizePath(std::string& path)
{
    constexpr std::string_view kLongPrefix = "\\\\?\\";
    constexpr std::string_view kUncPrefix = "\\\\";

    std::string trimmed = Trim(path);
    std::string_view rest = trimmed;
    std::string result;
    bool afterBackslash = false;
    if (rest.starts_with(kLongPrefix)) {
        rest.remove_prefix(kLongPrefix.size());
    } else if (rest.starts_with(kUncPrefix)) {
        if (!Exists(trimmed))
            return 0;
        result = kUncPrefix;
        rest.remove_prefix(kUncPrefix.size());
        afterBackslash = true;
    }
    for (size_t pos = 0; pos < rest.size();) {
        size_t length = PathCharLength(rest, pos, LeadBytes::Normalize);
        char c = rest[pos];
        if (length > 1) {
            result.append(rest.substr(pos, length));
            afterBackslash = false;
        } else if (c == '\\') {
            if (!afterBackslash)
                result += c;
            afterBackslash = true;
        } else if (c != '"') {
            result += c;
            afterBackslash = false;
        }
        pos += length;
    }
    path = Trim(result);
    return 1;
}

size_t FindLastChar(std::string_view text, char character)
{
    size_t found = std::string_view::npos;
    for (size_t pos = 0, length = 0; pos < text.size(); pos += length) {
        length = PathCharLength(text, pos);
        if (length == 1 && text[pos] == character)
            found = pos;
    }
    return found;
}

int GetFileName(std::string path, std::string& name)
{
    NormalizePath(path);
    size_t slash = FindLastChar(path, '\\');
    name = slash == std::string::npos ? path : path.substr(slash + 1);
    return name.empty() ? 0 : 1;
}

int GetFolder(std::string path, std::string& folder)
{
    NormalizePath(path);
    size_t slash = FindLastChar(path, '\\');
    if (slash == std::string::npos)
        return 0;
    folder = path.substr(0, slash);
    return 1;
}

int GetExtension(std::string path, std::string& extension)
{
    std::string name;
    GetFileName(std::move(path), name);
    size_t dot = FindLastChar(name, '.');
    if (dot == std::string::npos)
        return 0;
    extension = name.substr(dot);
    return 1;
}

int GetLongPath(std::string path, std::string& longPath)
{
    NormalizePath(path);
    if (!path.empty() && FindLastChar(path, '\\') == path.size() - 1)
        path.pop_back();
    if (!Exists(path))
        return 0;
    std::string prefix = path;
    std::string built;
    for (;;) {
        size_t slash = FindLastChar(prefix, '\\');
        std::string_view name = std::string_view(prefix).substr(slash == std::string::npos ? 0 : slash + 1);
        if (IsDotEntry(name))
            return 0;
        built = built.empty() ? std::string(name) : std::string(name) + '\\' + built;
        if (slash == std::string::npos) {
            longPath = built;
            return 1;
        }
        prefix.resize(slash);
        if (IsWalkStop(prefix))
            break;
        if (!Exists(prefix))
            return 0;
    }
    longPath = prefix + '\\' + built;
    return 1;
}

std::string GetModulePath(std::string_view moduleName)
{
    std::string native = moduleName.empty() ? GetProgramPath() : FindLoadedModule(ToNativePath(moduleName));
    if (native.empty())
        return {};
    // The program's own file need not lie in its folder (LUMARRA_HOME), so the
    // folder is looked up and the file name kept as it is.
    std::string internal = ToInternalPath(native);
    size_t slash = FindLastChar(internal, '\\');
    if (slash == std::string::npos)
        return {};
    std::string folder = internal.substr(0, slash);
    std::string longFolder;
    if (!folder.empty() && !GetLongPath(folder, longFolder))
        return {};
    return longFolder + internal.substr(slash);
}

std::string GetModuleFolder(std::string_view moduleName)
{
    std::string folder;
    std::string path = GetModulePath(moduleName);
    if (path.empty() || !GetFolder(path, folder))
        return {};
    return folder;
}

std::string JoinPath(std::string_view folder, std::string_view name)
{
    std::string path;
    path.reserve(folder.size() + 1 + name.size());
    path.append(folder).append(1, '\\').append(name);
    if (!NormalizePath(path))
        return {};
    return path;
}

}
