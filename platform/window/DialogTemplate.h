#pragma once

#include <cstdint>
#include <span>

namespace lumarra {

// Dialog styles.
inline constexpr uint32_t DS_SETFONT = 0x0040;
inline constexpr uint32_t DS_MODALFRAME = 0x0080;
inline constexpr uint32_t DS_CENTER = 0x0800;

// Static control styles.
inline constexpr uint32_t SS_LEFT = 0x0000;
inline constexpr uint32_t SS_CENTER = 0x0001;
inline constexpr uint32_t SS_RIGHT = 0x0002;
inline constexpr uint32_t SS_ICON = 0x0003;
inline constexpr uint32_t SS_LEFTNOWORDWRAP = 0x000C;
inline constexpr uint32_t SS_BITMAP = 0x000E;
inline constexpr uint32_t SS_TYPEMASK = 0x001F;
inline constexpr uint32_t SS_REALSIZECONTROL = 0x0040;
inline constexpr uint32_t SS_NOPREFIX = 0x0080;
inline constexpr uint32_t SS_NOTIFY = 0x0100;
inline constexpr uint32_t SS_CENTERIMAGE = 0x0200;
inline constexpr uint32_t SS_SUNKEN = 0x1000;

// Button styles.
inline constexpr uint32_t BS_PUSHBUTTON = 0x0000;
inline constexpr uint32_t BS_DEFPUSHBUTTON = 0x0001;
inline constexpr uint32_t BS_AUTOCHECKBOX = 0x0003;
inline constexpr uint32_t BS_TYPEMASK = 0x000F;

// Edit styles.
inline constexpr uint32_t ES_LEFT = 0x0000;
inline constexpr uint32_t ES_CENTER = 0x0001;
inline constexpr uint32_t ES_UPPERCASE = 0x0008;
inline constexpr uint32_t ES_AUTOHSCROLL = 0x0080;

enum class ControlKind {
    Static,    // text
    Picture,   // a BITMAP resource, stretched to the control
    Icon,      // an ICON resource
    Button,    // push button
    CheckBox,  // automatic check box
    Edit,      // single-line edit box
};

// One control of a dialog template. Position and size are in dialog units
// of the template's font; `text` is UTF-8; `resource` names the bitmap or
// icon of a picture or icon control.
struct ControlTemplate {
    ControlKind kind;
    int id;
    const char* text;
    int x;
    int y;
    int width;
    int height;
    uint32_t style;
    uint32_t resource = 0;
};

// A dialog as data: window style (WS_ and DS_ bits), place and size of the
// client area in dialog units, caption (UTF-8), font (UTF-8 face, points),
// controls in tab order and the extended style (WS_EX_ bits).
struct DialogTemplate {
    uint32_t id;
    uint32_t style;
    int x;
    int y;
    int width;
    int height;
    const char* caption;
    const char* fontFace;
    int pointSize;
    std::span<const ControlTemplate> controls;
    uint32_t exStyle = 0;
};

// The program's dialog template `id`, or null.
const DialogTemplate* FindDialogTemplate(uint32_t id);

}
