// Takes arbitrary bytes as a program image holding a version resource, and
// as a version resource on its own, and looks up what GetFileVersion does.

#include "platform/ElfSection.h"
#include "platform/VersionResource.h"

#include <cstdint>
#include <cstdlib>
#include <span>

using namespace lumarra;

namespace {

void Query(const VersionResource& resource)
{
    for (const char* path : { "\\", "\\VarFileInfo\\Translation", "\\StringFileInfo\\041103A4\\FileVersion",
             "\\StringFileInfo\\041104E4\\FileVersion", "\\StringFileInfo\\041103A4\\ProductName" }) {
        auto value = resource.QueryValue(path);
        auto text = resource.QueryText(path);
        if (value.has_value() != text.has_value())
            std::abort();
    }
}

}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::span<const uint8_t> input(data, size);
    if (auto section = ReadElfSection(input, kVersionSectionName, kMaxVersionResourceSize)) {
        if (section->size() > size)
            std::abort();
        Query(VersionResource(std::move(*section)));
    }
    Query(VersionResource(std::vector<uint8_t>(input.begin(), input.end())));
    return 0;
}
