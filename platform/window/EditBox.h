#pragma once

#include "platform/window/Window.h"

#include <cstddef>

namespace lumarra {

// A single-line edit box. Typed characters (WM_CHAR, CP932) go in at the
// caret; Backspace, Delete, Left, Right, Home and End edit and move it.
// ES_CENTER centres the text, ES_UPPERCASE upper-cases ASCII letters as
// they are typed. Every change sends EN_CHANGE to the parent.
class EditBox : public Window {
public:
    // Longest text in bytes.
    void SetLimitText(size_t bytes) { m_limit = bytes; }
    size_t GetCaret() const { return m_caret; }

protected:
    LRESULT WindowProc(uint32_t message, WPARAM wParam, LPARAM lParam) override;
    void OnPaint(DrawContext& dc) override;
    bool OnEraseBkgnd(DrawContext&) override { return true; }
    void OnLButtonDown(unsigned flags, Point point) override;
    void OnKeyDown(unsigned key, unsigned repeatCount, unsigned keyData) override;
    void OnChar(unsigned character, unsigned repeatCount, unsigned keyData) override;
    void OnSetFocus() override;
    void OnKillFocus() override;

private:
    // Byte offsets where characters start, plus the end of the text.
    std::vector<size_t> GetBoundaries() const;
    int TextLeft(int textWidth) const;
    void ReplaceText(std::string text, size_t caret);

    size_t m_caret = 0;
    size_t m_limit = 30000;
    int m_scroll = 0;
};

}
