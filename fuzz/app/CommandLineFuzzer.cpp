// Feeds arbitrary command lines to the switch scan in both code pages. The
// scan must never read past the text, and a switch that opens the line is
// always found, whatever follows it.

#include "app/CGameApp.h"
#include "platform/CodePage.h"

#include <cstdint>
#include <cstdlib>
#include <string>

using namespace lumarra;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string line(reinterpret_cast<const char*>(data), size);
    for (CodePage codePage : { CodePage::Utf8, CodePage::Cp932 }) {
        SetSystemCodePage(codePage);
        CGameApp::HasRegistSwitch(line);
        if (!CGameApp::HasRegistSwitch("/regist " + line))
            std::abort();
    }
    SetSystemCodePage(CodePage::Utf8);
    return 0;
}
