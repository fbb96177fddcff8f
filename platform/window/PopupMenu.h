#pragma once

#include "platform/window/WindowTypes.h"

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace lumarra {

class Window;

// AppendMenu flags.
inline constexpr unsigned MF_STRING = 0x0000;
inline constexpr unsigned MF_GRAYED = 0x0001;
inline constexpr unsigned MF_SEPARATOR = 0x0800;
// TrackPopupMenu flags.
inline constexpr unsigned TPM_RETURNCMD = 0x0100;

// A popup menu: items with command ids and separators. Tracking shows it
// in a small top-level window of its own and runs a modal loop until an
// item is chosen (click, or arrows and Enter) or the menu is dismissed
// (Escape, or a click elsewhere).
class PopupMenu {
public:
    struct Item {
        unsigned flags = MF_STRING;
        unsigned id = 0;
        std::string text;  // CP932; "&" marks the access key, a tab the shortcut
    };

    // The standard items of a window's system menu: minimise and close.
    static std::unique_ptr<PopupMenu> CreateSystemMenu();

    bool AppendMenu(unsigned flags, unsigned id = 0, std::string_view text = {});
    bool RemoveMenu(unsigned id);
    const std::vector<Item>& GetItems() const { return m_items; }

    // Shows the menu with its top-left corner at (x, y) on the screen. With
    // TPM_RETURNCMD returns the chosen id (0 when dismissed); otherwise posts
    // it to `owner` as WM_COMMAND and returns whether one was chosen.
    unsigned TrackPopupMenu(unsigned flags, int x, int y, Window* owner);

    // The menu window while a menu is being tracked (for tests), else null.
    static Window* GetTrackingWindow();

private:
    std::vector<Item> m_items;
};

}
