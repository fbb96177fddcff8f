#pragma once

#include "platform/gdi/GdiTypes.h"

#include <memory>
#include <mutex>

namespace lumarra {

class Bitmap;
class DrawContext;
class Font;

// A window's client area as pixels, with what has to be painted (the
// update region, asked of the window's WM_PAINT) and what was drawn and
// must be presented (the dirty region). Drawing threads and the interface
// thread share it: every call takes the lock, and ClientDC holds it while
// it draws.
class ClientBuffer {
public:
    ClientBuffer();
    ~ClientBuffer();
    ClientBuffer(const ClientBuffer&) = delete;
    ClientBuffer& operator=(const ClientBuffer&) = delete;

    // A 32-bit top-down bitmap, null when either side is not positive.
    static std::unique_ptr<Bitmap> MakeTopDownBitmap(int width, int height);

    std::recursive_mutex& GetLock() const { return m_lock; }
    // Null before the window has a client area; the caller holds the lock.
    Bitmap* GetBitmap() const { return m_bitmap.get(); }
    // The bitmap's extent, empty without one.
    Rect GetRect() const;

    // Makes the bitmap `size`, filled with `background` (unless kNoColor),
    // and all of it dirty; one that has the size already is kept.
    void Resize(Size size, COLORREF background);
    // Drops the pixels and both regions; the font stays for the next life.
    void Reset();

    // Adds `rect` (null: everything) to the update region.
    void Invalidate(const Rect* rect, bool erase);
    // Empties the update region when `rect` (null: everything) covers it.
    void Validate(const Rect* rect);
    // The update region and whether it wants erasing; leaves it empty.
    void TakeUpdate(Rect& update, bool& erase);

    void MarkDirty(const Rect& rect);
    Rect TakeDirty();

    // Copies `area` of the frame, which lies over the bitmap placed at
    // `origin`, from the bitmap.
    void CopyInto(Bitmap& frame, const Rect& area, Point origin) const;
    // Draws the bitmap's `from` at (0, 0) of `dc`.
    void CopyOut(DrawContext& dc, const Rect& from) const;

    void SetFont(std::shared_ptr<const Font> font);
    std::shared_ptr<const Font> GetFont() const;

private:
    mutable std::recursive_mutex m_lock;
    std::unique_ptr<Bitmap> m_bitmap;
    std::shared_ptr<const Font> m_font;
    Rect m_dirty;
    Rect m_update;
    bool m_eraseUpdate = false;
};

// The smallest rectangle holding both; an empty one adds nothing.
Rect UnionRect(const Rect& a, const Rect& b);
Rect OffsetRect(const Rect& rect, Point by);

}
