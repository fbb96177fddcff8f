#pragma once

#include "platform/gdi/Brush.h"
#include "platform/gdi/GdiTypes.h"
#include "platform/window/StaticControl.h"

#include <memory>
#include <string_view>

namespace lumarra {

class Cursor;
class Font;

// A static text shown as a colored label in a font of its own, and as a
// link with a pointing hand while the mouse is over it. Dialogs put it in
// place of a template static (SubclassDlgItem) and then set color, font
// and cursor; what a click does is the dialog's business (STN_CLICKED).
class LinkLabel : public StaticControl {
public:
    LinkLabel();
    ~LinkLabel() override;

    // Non-zero shows the hand cursor over the label, once the process-wide
    // hand cursor exists; a failure to make it leaves the setting as it was.
    void SetHandCursor(int on);
    void SetLabelTextColor(COLORREF color);
    // kNoColor paints transparently over the dialog.
    void SetLabelBkColor(COLORREF color);
    // `size` in tenths of a point, `style` as FontFromSpec reads it; 1 on
    // success, 0 when no font could be made (the label then has none of its
    // own).
    int SetLabelFont(std::string_view face, int size, std::string_view style);

    // A font of `face` (CP932) at `size` tenths of a point (the sign does not
    // matter), bold, italic, underlined and struck out as keywords anywhere
    // in `style` say, in any letter case: "太字", "ボールド", "BOLD";
    // "イタリック", "斜体", "ITALIC"; "下線", "アンダーライン", "UNDERLINE";
    // "取り消し線", "取消線", "取消し線", "STRIKEOUT". Anything else is
    // ignored. Null when no font can be made.
    static std::shared_ptr<Font> FontFromSpec(std::string_view face, int size, std::string_view style);
    // The hand cursor, made on first use and kept for the process; null
    // when it cannot be made.
    static const Cursor* MakeHandCursor();

    int GetHandCursor() const { return m_handCursor; }
    COLORREF GetLabelTextColor() const { return m_textColor; }
    COLORREF GetLabelBkColor() const { return m_backgroundColor; }
    const std::shared_ptr<Font>& GetLabelFont() const { return m_font; }

protected:
    const Brush* CtlColor(DrawContext& dc, unsigned type) override;
    bool OnSetCursor(Window* window, int hitTest, uint32_t message) override;

private:
    int m_handCursor = 0;
    Brush m_backgroundBrush { kNoColor };
    std::shared_ptr<Font> m_font;
    COLORREF m_backgroundColor = kNoColor;
    COLORREF m_textColor = RGB(0, 0, 0);
};

}
