#include "platform/Resources.h"

#include <strings.h>

// Defined by the table that the resource packer generates for a program; a
// program without one links these as null.
extern "C" {
extern const lumarra::ResourceEntry lumarra_resource_entries[] __attribute__((weak));
extern const size_t lumarra_resource_count __attribute__((weak));
}

namespace lumarra {

namespace {

bool SameType(const char* a, std::string_view b)
{
    return std::string_view(a).size() == b.size() && strncasecmp(a, b.data(), b.size()) == 0;
}

}

ResourceData FindResource(std::string_view type, uint32_t id)
{
    if (!&lumarra_resource_count || !lumarra_resource_entries)
        return {};
    for (size_t i = 0; i < lumarra_resource_count; ++i) {
        const ResourceEntry& entry = lumarra_resource_entries[i];
        if (entry.id == id && SameType(entry.type, type))
            return { entry.data, entry.size };
    }
    return {};
}

std::string LoadString(uint32_t id)
{
    ResourceData text = FindResource(kResourceString, id);
    if (!text)
        return {};
    return std::string(reinterpret_cast<const char*>(text.data), text.size);
}

}
