#pragma once

#include "platform/gdi/GdiTypes.h"

namespace lumarra {

// GetSystemMetrics indices.
inline constexpr int SM_CXSCREEN = 0;
inline constexpr int SM_CYSCREEN = 1;
inline constexpr int SM_CXICON = 11;
inline constexpr int SM_CYICON = 12;
inline constexpr int SM_CXCURSOR = 13;
inline constexpr int SM_CYCURSOR = 14;
inline constexpr int SM_CXFULLSCREEN = 16;
inline constexpr int SM_CYFULLSCREEN = 17;
inline constexpr int SM_CXSMICON = 49;
inline constexpr int SM_CYSMICON = 50;

// The primary screen's size.
Size GetScreenSize();

// The part of the screen free of panels and docks (SPI_GETWORKAREA): the
// usable bounds of the first display, the whole screen when the system does
// not say, or what SetWorkAreaOverride set.
Rect GetWorkArea();
// Tests pin the work area; an empty rectangle withdraws the override.
void SetWorkAreaOverride(const Rect& area);

// SM_CXFULLSCREEN and SM_CYFULLSCREEN are the work area's size less, for the
// height, a caption bar; 0 for an index it does not know.
int GetSystemMetrics(int index);

}
