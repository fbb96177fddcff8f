#include "platform/window/X11Errors.h"

#include <X11/Xlib.h>

namespace lumarra {

namespace {

int IgnoreError(Display*, XErrorEvent*)
{
    return 0;
}

}

void IgnoreX11ProtocolErrors()
{
    XSetErrorHandler(IgnoreError);
}

}
