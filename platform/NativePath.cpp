#include "platform/NativePath.h"

#include "platform/CodePage.h"

#include <algorithm>

namespace lumarra {

std::string ToNativePath(std::string_view internalPath)
{
    std::string native = GetSystemCodePage() == CodePage::Cp932 ? Cp932ToUtf8(internalPath) : std::string(internalPath);
    // UTF-8 has no ASCII bytes inside multibyte sequences: every '\' left is a
    // separator.
    std::replace(native.begin(), native.end(), '\\', '/');
    return native;
}

std::string ToInternalPath(std::string_view nativePath)
{
    std::string internal(nativePath);
    std::replace(internal.begin(), internal.end(), '/', '\\');
    return GetSystemCodePage() == CodePage::Cp932 ? Utf8ToCp932(internal) : internal;
}

}
