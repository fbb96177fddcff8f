#pragma once

#include "platform/window/Dialog.h"

#include <memory>
#include <string>
#include <vector>

namespace lumarra {

class Font;

// The small yellow tip under the main window's caption buttons (template
// 308). The main window relays its mouse messages; resting on a tool for
// 1.2 s shows its text for 3 s, and moving straight on to another tool shows
// that one at once.
class CCaptionTipDlg : public Dialog {
public:
    static constexpr uint32_t kTemplateId = 308;
    static constexpr uintptr_t kShowTimer = 2100;
    static constexpr uintptr_t kHideTimer = 2200;
    static constexpr uint32_t kShowDelayMs = 1200;
    static constexpr uint32_t kShowTimeMs = 3000;
    static constexpr COLORREF kBackground = 0xE8FFFF;

    CCaptionTipDlg()
        : Dialog(kTemplateId)
    {
    }

    bool Create(Window* owner);
    bool DestroyWindow() override;

    // `text` is CP932; `rect` is in the owner's window coordinates.
    void AddTool(std::string_view text, const Rect& rect, int id);
    void DelTool(int id);
    void RelayEvent(const Message& message);

    int GetCurrentTool() const { return m_current; }
    bool IsShowPending() const { return m_pending; }

protected:
    bool OnInitDialog() override;
    void OnTimer(uintptr_t id) override;
    const Brush* OnCtlColor(DrawContext& dc, Window* control, unsigned type) override;

private:
    struct Tool {
        std::string text;
        Rect rect;
        int id;
    };

    const Tool* ToolAt(Point point) const;
    void PlaceFor(const Tool& tool, Point cursor);
    void KillTimers();
    void Hide();

    Window* m_owner = nullptr;
    std::vector<Tool> m_tools;
    std::shared_ptr<const Font> m_font;
    int m_current = -1;
    bool m_pending = false;
};

}
