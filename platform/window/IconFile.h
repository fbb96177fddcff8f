#pragma once

#include "platform/gdi/GdiTypes.h"

#include <cstdint>
#include <memory>
#include <span>

namespace lumarra {

class Icon;

// SM_CXICON and SM_CXSMICON.
inline constexpr int kIconSize = 32;
inline constexpr int kSmallIconSize = 16;

// Decodes an .ico or .cur file: picks the image nearest to `wantedSize`
// (the smallest not below it, else the largest; more colors first) and
// returns its color image and mask; for a cursor `hotSpot` (when not null)
// receives its hot spot. Null for anything damaged, cut short or of a kind
// it does not read (compressed images).
std::unique_ptr<Icon> DecodeIconFile(std::span<const uint8_t> file, int wantedSize, Point* hotSpot = nullptr);

// An "ICON" resource at the wanted size; null when missing or damaged.
std::unique_ptr<Icon> LoadIconResource(uint32_t id, int wantedSize = kIconSize);

}
