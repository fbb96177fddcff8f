#include "platform/window/PopupMenu.h"

#include "platform/CodePage.h"
#include "platform/gdi/Brush.h"
#include "platform/gdi/DrawContext.h"
#include "platform/gdi/Font.h"
#include "platform/gdi/Pen.h"
#include "platform/gdi/TextLayout.h"
#include "platform/window/Window.h"

#include <algorithm>

namespace lumarra {

namespace {

constexpr int kItemHeight = 22;
constexpr int kSeparatorHeight = 7;
constexpr int kTextIndent = 24;
constexpr int kShortcutGap = 24;
constexpr int kRightMargin = 16;
constexpr int kMinWidth = 120;
constexpr int kBorder = 1;
constexpr COLORREF kMenuFace = RGB(0xF2, 0xF2, 0xF2);
constexpr COLORREF kMenuBorder = RGB(0x80, 0x80, 0x80);
constexpr COLORREF kHighlight = RGB(0x91, 0xC9, 0xF7);
constexpr COLORREF kText = RGB(0, 0, 0);
constexpr COLORREF kGrayText = RGB(0x6D, 0x6D, 0x6D);
constexpr int kFontTenths = 90;

const std::shared_ptr<Font>& MenuFont()
{
    static const std::shared_ptr<Font> font = Font::CreatePoint(kFontTenths, Sjis("ＭＳ Ｐゴシック"));
    return font;
}

bool Selectable(const PopupMenu::Item& item)
{
    return !(item.flags & (MF_SEPARATOR | MF_GRAYED));
}

class MenuWindow final : public Window {
public:
    explicit MenuWindow(const std::vector<PopupMenu::Item>& items)
        : m_items(items)
    {
    }

    static MenuWindow* s_tracking;

    Size Measure() const
    {
        int width = kMinWidth;
        int height = 2 * kBorder;
        for (const PopupMenu::Item& item : m_items) {
            if (item.flags & MF_SEPARATOR) {
                height += kSeparatorHeight;
                continue;
            }
            height += kItemHeight;
            size_t tab = item.text.find('\t');
            int label = TextLayout::MeasureExtent(*MenuFont(), item.text.substr(0, tab)).width;
            int shortcut = tab == std::string::npos
                ? 0
                : TextLayout::MeasureExtent(*MenuFont(), item.text.substr(tab + 1)).width + kShortcutGap;
            width = std::max(width, kTextIndent + label + shortcut + kRightMargin);
        }
        return { width, height };
    }

    unsigned GetChosen() const { return m_chosen; }

protected:
    void OnPaint(DrawContext& dc) override
    {
        Rect client = GetClientRect();
        dc.FillSolidRect(client, kMenuFace);
        Pen border(PS_SOLID, kMenuBorder);
        const Pen* oldPen = dc.SelectPen(&border);
        const Brush* oldBrush = dc.SelectBrush(&Brush::Null());
        dc.Rectangle(client.left, client.top, client.right, client.bottom);
        dc.SelectFont(MenuFont());
        dc.SetBkMode(TRANSPARENT);
        for (size_t i = 0; i < m_items.size(); ++i) {
            const PopupMenu::Item& item = m_items[i];
            Rect row = ItemRect(i);
            if (item.flags & MF_SEPARATOR) {
                int y = (row.top + row.bottom) / 2;
                dc.MoveTo(row.left + 4, y);
                dc.LineTo(row.right - 4, y);
                continue;
            }
            if (static_cast<int>(i) == m_hot)
                dc.FillSolidRect(row, kHighlight);
            dc.SetTextColor((item.flags & MF_GRAYED) ? kGrayText : kText);
            size_t tab = item.text.find('\t');
            Rect label { row.left + kTextIndent, row.top, row.right - kRightMargin, row.bottom };
            dc.DrawText(item.text.substr(0, tab), label, DT_SINGLELINE | DT_VCENTER | DT_LEFT);
            if (tab != std::string::npos)
                dc.DrawText(item.text.substr(tab + 1), label, DT_SINGLELINE | DT_VCENTER | DT_RIGHT | DT_NOPREFIX);
        }
        dc.SelectPen(oldPen);
        dc.SelectBrush(oldBrush);
    }

    void OnMouseMove(unsigned, Point point) override { SetHot(ItemAt(point)); }

    void OnLButtonDown(unsigned, Point point) override
    {
        if (!GetClientRect().Contains(point.x, point.y))
            Finish(0);
        m_pressedInside = true;
    }

    void OnRButtonDown(unsigned flags, Point point) override { OnLButtonDown(flags, point); }

    void OnLButtonUp(unsigned, Point point) override
    {
        // The release of the click that opened the menu chooses nothing.
        if (!m_pressedInside)
            return;
        int index = ItemAt(point);
        if (index >= 0 && Selectable(m_items[index]))
            Finish(m_items[index].id);
    }

    void OnKeyDown(unsigned key, unsigned, unsigned) override
    {
        switch (key) {
        case VK_ESCAPE:
            Finish(0);
            break;
        case VK_UP:
        case VK_DOWN:
            Step(key == VK_DOWN ? 1 : -1);
            break;
        case VK_RETURN:
            if (m_hot >= 0)
                Finish(m_items[m_hot].id);
            break;
        default:
            break;
        }
    }

private:
    Rect ItemRect(size_t index) const
    {
        int top = kBorder;
        for (size_t i = 0; i < index; ++i)
            top += (m_items[i].flags & MF_SEPARATOR) ? kSeparatorHeight : kItemHeight;
        int height = (m_items[index].flags & MF_SEPARATOR) ? kSeparatorHeight : kItemHeight;
        return { kBorder, top, GetClientRect().right - kBorder, top + height };
    }

    int ItemAt(Point point) const
    {
        for (size_t i = 0; i < m_items.size(); ++i) {
            if (ItemRect(i).Contains(point.x, point.y))
                return Selectable(m_items[i]) ? static_cast<int>(i) : -1;
        }
        return -1;
    }

    void SetHot(int index)
    {
        if (index == m_hot)
            return;
        m_hot = index;
        Invalidate(false);
    }

    void Step(int direction)
    {
        int count = static_cast<int>(m_items.size());
        int index = m_hot;
        for (int tries = 0; tries < count; ++tries) {
            index = (index + direction + count) % count;
            if (Selectable(m_items[index])) {
                SetHot(index);
                return;
            }
        }
    }

    void Finish(unsigned id)
    {
        if (!IsModalLoopRunning())
            return;
        m_chosen = id;
        EndModalLoop(static_cast<int>(id));
    }

    const std::vector<PopupMenu::Item>& m_items;
    int m_hot = -1;
    unsigned m_chosen = 0;
    bool m_pressedInside = false;
};

MenuWindow* MenuWindow::s_tracking = nullptr;

}

std::unique_ptr<PopupMenu> PopupMenu::CreateSystemMenu()
{
    auto menu = std::make_unique<PopupMenu>();
    menu->AppendMenu(MF_STRING, SC_MINIMIZE, Sjis("最小化(&N)"));
    menu->AppendMenu(MF_SEPARATOR);
    menu->AppendMenu(MF_STRING, SC_CLOSE, Sjis("閉じる(&C)\tAlt+F4"));
    return menu;
}

bool PopupMenu::AppendMenu(unsigned flags, unsigned id, std::string_view text)
{
    m_items.push_back({ flags, id, std::string(text) });
    return true;
}

bool PopupMenu::RemoveMenu(unsigned id)
{
    return std::erase_if(m_items, [&](const Item& item) { return !(item.flags & MF_SEPARATOR) && item.id == id; }) > 0;
}

unsigned PopupMenu::TrackPopupMenu(unsigned flags, int x, int y, Window* owner)
{
    if (m_items.empty() || MenuWindow::s_tracking)
        return 0;
    MenuWindow menu(m_items);
    Size size = menu.Measure();
    if (!menu.Create(WS_POPUP, WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE,
            { x, y, x + size.width, y + size.height }, owner))
        return 0;
    MenuWindow::s_tracking = &menu;
    menu.ShowWindow(SW_SHOWNA);
    menu.SetCapture();
    menu.SetFocus();
    menu.RunModalLoop();
    MenuWindow::s_tracking = nullptr;
    if (Window::GetCapture() == &menu)
        Window::ReleaseCapture();
    unsigned chosen = menu.GetChosen();
    menu.DestroyWindow();
    if (flags & TPM_RETURNCMD)
        return chosen;
    if (chosen != 0 && owner && owner->IsCreated())
        owner->PostMessage(WM_COMMAND, chosen, 0);
    return chosen != 0 ? 1 : 0;
}

Window* PopupMenu::GetTrackingWindow()
{
    return MenuWindow::s_tracking;
}

}
