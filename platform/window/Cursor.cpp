#include "platform/window/Cursor.h"

#include "platform/Resources.h"
#include "platform/gdi/Bitmap.h"
#include "platform/gdi/Icon.h"
#include "platform/window/Application.h"
#include "platform/window/IconFile.h"
#include "platform/window/ScreenScale.h"

#include <SDL.h>

namespace lumarra {

namespace {

constexpr uint32_t kOpaqueBlack = 0xFF000000;
constexpr uint32_t kOpaqueWhite = 0xFFFFFFFF;

// IDC_UPARROW: an upward arrow, hot spot at its tip. B = black, W = white.
constexpr const char* kUpArrowRows[] = {
    ".......B.......",
    "......BWB......",
    ".....BWWWB.....",
    "....BWWWWWB....",
    "...BWWWWWWWB...",
    "..BWWWWWWWWWB..",
    ".BBBBBWWWBBBBB.",
    ".....BWWWB.....",
    ".....BWWWB.....",
    ".....BWWWB.....",
    ".....BWWWB.....",
    ".....BWWWB.....",
    ".....BWWWB.....",
    ".....BBBBB.....",
};
constexpr Point kUpArrowHotSpot { 7, 0 };

bool PlaneBit(std::span<const uint8_t> plane, int rowBytes, int x, int y)
{
    return (plane[static_cast<size_t>(y) * rowBytes + x / 8] & (0x80 >> (x % 8))) != 0;
}

}

std::unique_ptr<Cursor> Cursor::CreateFromPlanes(Point hotSpot, int width, int height,
    std::span<const uint8_t> andPlane, std::span<const uint8_t> xorPlane)
{
    if (width <= 0 || height <= 0 || width > 256 || height > 256)
        return nullptr;
    int rowBytes = (width + 31) / 32 * 4;
    size_t planeBytes = static_cast<size_t>(rowBytes) * height;
    if (andPlane.size() < planeBytes || xorPlane.size() < planeBytes)
        return nullptr;
    std::unique_ptr<Cursor> cursor(new Cursor);
    cursor->m_size = { width, height };
    cursor->m_hotSpot = hotSpot;
    cursor->m_andPlane.assign(andPlane.begin(), andPlane.begin() + planeBytes);
    cursor->m_xorPlane.assign(xorPlane.begin(), xorPlane.begin() + planeBytes);
    cursor->m_pixels.resize(static_cast<size_t>(width) * height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            bool keep = PlaneBit(andPlane, rowBytes, x, y);
            bool flip = PlaneBit(xorPlane, rowBytes, x, y);
            uint32_t pixel = 0;
            if (!keep)
                pixel = flip ? kOpaqueWhite : kOpaqueBlack;
            else if (flip)
                pixel = kOpaqueBlack;  // SDL cannot invert the screen
            cursor->m_pixels[static_cast<size_t>(y) * width + x] = pixel;
        }
    }
    return cursor;
}

std::unique_ptr<Cursor> Cursor::CreateFromIcon(const Icon& icon, Point hotSpot)
{
    const Bitmap* color = icon.GetColor();
    const Bitmap* mask = icon.GetMask();
    if (!color || !mask || color->GetWidth() <= 0 || color->GetHeight() <= 0)
        return nullptr;
    std::unique_ptr<Cursor> cursor(new Cursor);
    int width = color->GetWidth();
    int height = color->GetHeight();
    cursor->m_size = { width, height };
    cursor->m_hotSpot = hotSpot;
    cursor->m_pixels.resize(static_cast<size_t>(width) * height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            bool transparent = mask->GetRaw(x, y) != 0;
            COLORREF c = color->GetPixel(x, y);
            uint32_t pixel = 0;
            if (!transparent)
                pixel = 0xFF000000 | GetRValue(c) << 16 | GetGValue(c) << 8 | GetBValue(c);
            else if ((c & 0xFFFFFF) != 0)
                pixel = kOpaqueBlack;
            cursor->m_pixels[static_cast<size_t>(y) * width + x] = pixel;
        }
    }
    return cursor;
}

std::unique_ptr<Cursor> Cursor::LoadFromResource(uint32_t id)
{
    ResourceData data = FindResource(kResourceCursor, id);
    if (!data)
        return nullptr;
    Point hotSpot;
    std::unique_ptr<Icon> icon = DecodeIconFile({ data.data, data.size }, kSystemCursorSize, &hotSpot);
    if (!icon)
        return nullptr;
    return CreateFromIcon(*icon, hotSpot);
}

const Cursor* Cursor::Arrow()
{
    static const Cursor* arrow = [] {
        Cursor* cursor = new Cursor;
        cursor->m_systemId = SDL_SYSTEM_CURSOR_ARROW;
        cursor->m_size = { kSystemCursorSize, kSystemCursorSize };
        return cursor;
    }();
    return arrow;
}

const Cursor* Cursor::UpArrow()
{
    static const Cursor* upArrow = [] {
        constexpr int rowBytes = kSystemCursorSize / 8;
        std::vector<uint8_t> andPlane(rowBytes * kSystemCursorSize, 0xFF);
        std::vector<uint8_t> xorPlane(rowBytes * kSystemCursorSize, 0x00);
        int y = 0;
        for (const char* row : kUpArrowRows) {
            for (int x = 0; row[x]; ++x) {
                if (row[x] == '.')
                    continue;
                andPlane[y * rowBytes + x / 8] &= static_cast<uint8_t>(~(0x80 >> (x % 8)));
                if (row[x] == 'W')
                    xorPlane[y * rowBytes + x / 8] |= static_cast<uint8_t>(0x80 >> (x % 8));
            }
            ++y;
        }
        return CreateFromPlanes(kUpArrowHotSpot, kSystemCursorSize, kSystemCursorSize, andPlane, xorPlane).release();
    }();
    return upArrow;
}

Cursor::~Cursor()
{
    // Cursors of an earlier application went with its SDL session.
    if (m_sdlCursor && m_generation == Application::Generation() && Application::Get())
        SDL_FreeCursor(m_sdlCursor);
}

SDL_Cursor* Cursor::GetSdlCursor() const
{
    if (m_sdlCursor && m_generation == Application::Generation())
        return m_sdlCursor;
    m_sdlCursor = nullptr;
    m_generation = Application::Generation();
    if (m_systemId >= 0) {
        m_sdlCursor = SDL_CreateSystemCursor(static_cast<SDL_SystemCursor>(m_systemId));
        return m_sdlCursor;
    }
    // The pointer grows with the windows it points into.
    std::vector<uint32_t> pixels = ScreenScale::Enlarge(m_pixels, m_size);
    if (pixels.empty())
        return nullptr;
    Size size { ScreenScale::ToScreen(m_size.width), ScreenScale::ToScreen(m_size.height) };
    SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormatFrom(pixels.data(), size.width, size.height, 32,
        size.width * 4, SDL_PIXELFORMAT_ARGB8888);
    if (!surface)
        return nullptr;
    Point hotSpot = ScreenScale::ToScreen(m_hotSpot);
    m_sdlCursor = SDL_CreateColorCursor(surface, hotSpot.x, hotSpot.y);
    SDL_FreeSurface(surface);
    return m_sdlCursor;
}

}
