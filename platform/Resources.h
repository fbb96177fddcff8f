#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace lumarra {

// One entry of the resource table that the build packs into a program.
struct ResourceEntry {
    const char* type;
    uint32_t id;
    const uint8_t* data;
    uint32_t size;
};

// The bytes of a resource, in place inside the program image.
struct ResourceData {
    const uint8_t* data = nullptr;
    size_t size = 0;

    explicit operator bool() const { return data != nullptr; }
};

// Resource types as the manifest names them.
inline constexpr std::string_view kResourceBitmap = "BITMAP";
inline constexpr std::string_view kResourceImg = "IMG";
inline constexpr std::string_view kResourceCursor = "CURSOR";
inline constexpr std::string_view kResourceIcon = "ICON";
inline constexpr std::string_view kResourceDialog = "DIALOG";
inline constexpr std::string_view kResourceString = "STRING";

// Looks a resource up by type (case-insensitive) and id; empty when absent or
// when the program carries no resource table.
ResourceData FindResource(std::string_view type, uint32_t id);

// The CP932 text of string `id`; empty when the table has none.
std::string LoadString(uint32_t id);

}
