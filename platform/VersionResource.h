#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace lumarra {

// The section of a program or library that holds its version resource (the
// name is spelled out again in VersionResource.cpp.in, which lays it there).
inline constexpr std::string_view kVersionSectionName = ".lumarra_version";
// Block lengths are 16-bit: no resource is larger.
inline constexpr size_t kMaxVersionResourceSize = 0xFFFF;

// A version resource in the Windows block layout (see VersionResourceWriter),
// answering look-ups by a path of block keys the way VerQueryValue does.
class VersionResource {
public:
    VersionResource() = default;
    explicit VersionResource(std::vector<uint8_t> data);

    // The resource a program or library file (native path) carries; empty
    // when it has none or is not a program file.
    static VersionResource ReadFromFile(const std::string& nativePath);

    bool IsEmpty() const { return m_data.empty(); }

    // The value of the block at `subBlock`: "\" for the fixed file
    // information, "\VarFileInfo\Translation",
    // "\StringFileInfo\041103A4\FileVersion". Keys compare without regard to ASCII case. Nothing when a
    // block on the way is missing or malformed.
    std::optional<std::span<const uint8_t>> QueryValue(std::string_view subBlock) const;

    // A text value as UTF-8, up to its terminating zero.
    std::optional<std::string> QueryText(std::string_view subBlock) const;

private:
    std::vector<uint8_t> m_data;
};

}
