// Feeds arbitrary bytes to the store file parser in both code pages. Whatever
// it accepts must print to a file that parses back to the same print: the
// store never writes a file it could not read again.

#include "platform/CodePage.h"
#include "platform/RegistryText.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

using namespace lumarra;

namespace {

void CheckRoundTrip(std::string_view input)
{
    RegistryNode root;
    if (!ParseRegistryText(input, "HKEY_CURRENT_USER", root))
        return;
    std::string printed = PrintRegistryText(root, "HKEY_CURRENT_USER");
    // Escaping may grow a file past the size limit; the store refuses to
    // write such a file, so only smaller prints must read back.
    if (printed.size() > kMaxRegistryFileBytes)
        return;
    RegistryNode again;
    if (!ParseRegistryText(printed, "HKEY_CURRENT_USER", again))
        std::abort();
    if (PrintRegistryText(again, "HKEY_CURRENT_USER") != printed)
        std::abort();
}

}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string_view input(reinterpret_cast<const char*>(data), size);
    for (CodePage codePage : { CodePage::Utf8, CodePage::Cp932 }) {
        SetSystemCodePage(codePage);
        CheckRoundTrip(input);
    }
    return 0;
}
