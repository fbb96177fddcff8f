#pragma once

#include "platform/gdi/GdiTypes.h"

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

struct SDL_Cursor;

namespace lumarra {

class Icon;

// SM_CXCURSOR and SM_CYCURSOR: the size of a system cursor.
inline constexpr int kSystemCursorSize = 32;

// A mouse cursor: a picture with a hot spot. The SDL cursor behind it is
// made on the interface thread when first shown and remade after the
// application restarts, so a cursor may live for the whole process.
class Cursor {
public:
    // CreateCursor: two 1-bit planes of `height` rows, each row
    // ((width + 31) / 32) × 4 bytes, bit 0x80 >> (x % 8) of byte x / 8. An
    // AND bit of 1 leaves the screen (or inverts it where the XOR bit is 1,
    // shown black); an AND bit of 0 draws black (XOR 0) or white (XOR 1).
    // Null when the planes are shorter than the size needs.
    static std::unique_ptr<Cursor> CreateFromPlanes(Point hotSpot, int width, int height,
        std::span<const uint8_t> andPlane, std::span<const uint8_t> xorPlane);
    // A cursor from a "CURSOR" resource (a .cur file); null when it is
    // missing or damaged.
    static std::unique_ptr<Cursor> LoadFromResource(uint32_t id);
    static std::unique_ptr<Cursor> CreateFromIcon(const Icon& icon, Point hotSpot);

    // IDC_ARROW and IDC_UPARROW.
    static const Cursor* Arrow();
    static const Cursor* UpArrow();

    ~Cursor();
    Cursor(const Cursor&) = delete;
    Cursor& operator=(const Cursor&) = delete;

    Size GetSize() const { return m_size; }
    Point GetHotSpot() const { return m_hotSpot; }
    // 0xAARRGGBB, row by row from the top; empty for a system cursor.
    const std::vector<uint32_t>& GetPixels() const { return m_pixels; }
    // The planes a cursor was made from (empty otherwise).
    const std::vector<uint8_t>& GetAndPlane() const { return m_andPlane; }
    const std::vector<uint8_t>& GetXorPlane() const { return m_xorPlane; }

    // The SDL cursor, made on first use; interface thread only.
    SDL_Cursor* GetSdlCursor() const;

private:
    Cursor() = default;

    Size m_size;
    Point m_hotSpot;
    int m_systemId = -1;
    std::vector<uint32_t> m_pixels;
    std::vector<uint8_t> m_andPlane;
    std::vector<uint8_t> m_xorPlane;
    mutable SDL_Cursor* m_sdlCursor = nullptr;
    mutable uint64_t m_generation = 0;
};

}
