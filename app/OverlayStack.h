#pragma once

#include "graphics/DibSurface.h"

#include <array>
#include <memory>
#include <mutex>
#include <optional>

namespace lumarra {

// The stack of saved backgrounds: copies of back-buffer rectangles that a
// scene puts back once the panel drawn over them goes.
class OverlayStack {
public:
    static constexpr int kCapacity = 5;

    struct Saved {
        std::unique_ptr<DibSurface> picture;
        Rect rect;
    };

    // Keeps the picture saved from `rect`. A sixth has nowhere to go and is
    // not kept.
    void Push(std::unique_ptr<DibSurface> picture, const Rect& rect);
    // The most recently saved rectangle, taken off the stack.
    std::optional<Saved> Pop();
    void Drop();
    int GetCount() const;

private:
    mutable std::mutex m_lock;
    std::array<Saved, kCapacity> m_saved;
    int m_count = 0;
};

}
