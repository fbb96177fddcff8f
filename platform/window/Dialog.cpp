#include "platform/window/Dialog.h"

#include "platform/CodePage.h"
#include "platform/gdi/Font.h"
#include "platform/gdi/TextLayout.h"
#include "platform/window/Application.h"
#include "platform/window/Button.h"
#include "platform/window/CheckBox.h"
#include "platform/window/DataExchange.h"
#include "platform/window/DialogTemplate.h"
#include "platform/window/EditBox.h"
#include "platform/window/IconControl.h"
#include "platform/window/PictureControl.h"
#include "platform/window/StaticControl.h"

#include <algorithm>

namespace lumarra {

namespace {

// The characters whose mean width is the horizontal dialog base unit.
constexpr std::string_view kBaseUnitSample = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
constexpr int kHorizontalUnitsPerBase = 4;
constexpr int kVerticalUnitsPerBase = 8;

int Scale(int units, int base, int per)
{
    long long scaled = static_cast<long long>(units) * base;
    return static_cast<int>(scaled >= 0 ? (scaled + per / 2) / per : -((-scaled + per / 2) / per));
}

std::unique_ptr<Window> MakeControl(ControlKind kind)
{
    switch (kind) {
    case ControlKind::Static:
        return std::make_unique<StaticControl>();
    case ControlKind::Picture:
        return std::make_unique<PictureControl>();
    case ControlKind::Icon:
        return std::make_unique<IconControl>();
    case ControlKind::Button:
        return std::make_unique<Button>();
    case ControlKind::CheckBox:
        return std::make_unique<CheckBox>();
    case ControlKind::Edit:
        return std::make_unique<EditBox>();
    }
    return nullptr;
}

}

Dialog::Dialog(uint32_t templateId, Window* parent)
    : m_templateId(templateId)
    , m_parentWindow(parent)
{
    SetBackgroundColor(kDialogFace);
}

Dialog::~Dialog()
{
    if (IsCreated())
        Dialog::DestroyWindow();
}

bool Dialog::Create(uint32_t templateId, Window* parent)
{
    const DialogTemplate* dialogTemplate = FindDialogTemplate(templateId);
    if (!dialogTemplate)
        return false;
    m_templateId = templateId;
    return CreateIndirect(*dialogTemplate, parent);
}

bool Dialog::CreateIndirect(const DialogTemplate& dialogTemplate, Window* parent)
{
    if (IsCreated())
        return false;
    std::shared_ptr<const Font> font = Font::CreatePoint(dialogTemplate.pointSize * 10, Sjis(dialogTemplate.fontFace));
    if (font) {
        Size sample = TextLayout::MeasureExtent(*font, kBaseUnitSample);
        m_baseUnits = { (sample.width / 26 + 1) / 2, font->GetTextMetrics().height };
    }
    Rect units { dialogTemplate.x, dialogTemplate.y, dialogTemplate.x + dialogTemplate.width,
        dialogTemplate.y + dialogTemplate.height };
    Rect client = MapDialogRect(units);
    uint32_t style = dialogTemplate.style;
    bool child = (style & WS_CHILD) != 0;
    // The template gives the client size; a caption and frame come on top.
    WindowFrame::Insets frame = WindowFrame::InsetsFor(style);
    Rect rect { client.left, client.top, client.right + frame.left + frame.right,
        client.bottom + frame.top + frame.bottom };
    if (!child && parent) {
        Point origin = parent->ClientToScreen({ 0, 0 });
        rect = { rect.left + origin.x, rect.top + origin.y, rect.right + origin.x, rect.bottom + origin.y };
    }
    m_ended = false;
    m_result = -1;
    std::string caption = Sjis(dialogTemplate.caption ? dialogTemplate.caption : "");
    if (!Window::Create(style & ~WS_VISIBLE, dialogTemplate.exStyle, rect, parent, 0, caption))
        return false;
    SetFont(font, false);
    CreateControls(dialogTemplate);
    if (!child && (style & DS_CENTER))
        CenterWindow(GetOwner());
    WindowHandle handle = GetHandle();
    bool focus = SendMessage(WM_INITDIALOG) != 0;
    if (FromHandle(handle) != this || m_ended)
        return IsCreated();
    if (style & WS_VISIBLE)
        ShowWindow((dialogTemplate.exStyle & WS_EX_NOACTIVATE) ? SW_SHOWNA : SW_SHOW);
    if (focus)
        FocusFirstTabItem();
    return true;
}

void Dialog::CreateControls(const DialogTemplate& dialogTemplate)
{
    for (const ControlTemplate& item : dialogTemplate.controls) {
        std::unique_ptr<Window> control = MakeControl(item.kind);
        Rect rect = MapDialogRect({ item.x, item.y, item.x + item.width, item.y + item.height });
        uint32_t style = WS_CHILD | WS_VISIBLE | item.style;
        if (!control->Create(style, 0, rect, this, item.id, Sjis(item.text ? item.text : "")))
            continue;
        control->SetFont(GetFont(), false);
        if (auto* picture = dynamic_cast<PictureControl*>(control.get()))
            picture->LoadBitmapResource(item.resource);
        else if (auto* icon = dynamic_cast<IconControl*>(control.get()))
            icon->LoadIconResource(item.resource);
        m_controls.push_back(std::move(control));
    }
}

Rect Dialog::MapDialogRect(const Rect& units) const
{
    return { Scale(units.left, m_baseUnits.width, kHorizontalUnitsPerBase),
        Scale(units.top, m_baseUnits.height, kVerticalUnitsPerBase),
        Scale(units.right, m_baseUnits.width, kHorizontalUnitsPerBase),
        Scale(units.bottom, m_baseUnits.height, kVerticalUnitsPerBase) };
}

int Dialog::DoModal()
{
    Application* app = Application::Get();
    const DialogTemplate* dialogTemplate = FindDialogTemplate(m_templateId);
    if (!app || !dialogTemplate)
        return -1;
    Window* owner = m_parentWindow;
    if (!owner)
        owner = GetActiveWindow();
    if (!owner)
        owner = app->GetMainWindow();
    return DoModalIndirect(*dialogTemplate, owner);
}

int Dialog::DoModalIndirect(const DialogTemplate& dialogTemplate, Window* owner)
{
    if (IsCreated())
        return -1;
    DialogTemplate modal = dialogTemplate;
    modal.style = (modal.style & ~(WS_CHILD | WS_VISIBLE)) | WS_POPUP | DS_CENTER;
    if (!CreateIndirect(modal, owner))
        return -1;
    if (!m_ended) {
        ShowWindow(SW_SHOW);
        FocusFirstTabItem();
        m_result = RunModalLoop();
        if (IsCreated() && m_ended)
            ShowWindow(SW_HIDE);
    }
    int result = m_result;
    if (IsCreated())
        DestroyWindow();
    m_controls.clear();
    return result;
}

void Dialog::EndDialog(int result)
{
    m_ended = true;
    m_result = result;
    if (IsModalLoopRunning())
        EndModalLoop(result);
}

bool Dialog::UpdateData(bool saveAndValidate)
{
    DataExchange dx(*this, saveAndValidate);
    DoDataExchange(dx);
    return !dx.Failed();
}

bool Dialog::OnInitDialog()
{
    UpdateData(false);
    return true;
}

void Dialog::OnOK()
{
    if (!UpdateData(true))
        return;
    EndDialog(IDOK);
}

void Dialog::OnCancel()
{
    EndDialog(IDCANCEL);
}

void Dialog::OnClose()
{
    SendMessage(WM_COMMAND, IDCANCEL, 0);
}

void Dialog::OnActivate(bool active)
{
    Window* focus = GetFocus();
    bool focusHere = focus && focus->GetTopLevel() == this;
    if (!active) {
        if (focusHere)
            m_savedFocus = focus->GetHandle();
        return;
    }
    if (focusHere || !IsWindowVisible())
        return;
    Window* saved = FromHandle(m_savedFocus);
    if (saved && saved->GetTopLevel() == this && saved->IsWindowVisible() && saved->IsWindowEnabled())
        saved->SetFocus();
    else
        FocusFirstTabItem();
}

LRESULT Dialog::WindowProc(uint32_t message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG)
        return OnInitDialog() ? 1 : 0;
    return Window::WindowProc(message, wParam, lParam);
}

bool Dialog::OnCommand(WPARAM wParam, LPARAM)
{
    if (HIWORD(wParam) != BN_CLICKED)
        return false;
    switch (static_cast<int>(LOWORD(wParam))) {
    case IDOK:
        OnOK();
        return true;
    case IDCANCEL:
        OnCancel();
        return true;
    default:
        return false;
    }
}

Window* Dialog::GetNextDlgTabItem(Window* from, bool previous) const
{
    // Tab stops in creation order, descending into child dialogs.
    std::vector<Window*> stops;
    auto collect = [&](auto&& self, const Window& parent) -> void {
        for (Window* child : parent.GetChildren()) {
            if (!child->m_visible || !child->IsWindowEnabled())
                continue;
            if (child->GetStyle() & WS_TABSTOP)
                stops.push_back(child);
            self(self, *child);
        }
    };
    collect(collect, *this);
    if (stops.empty())
        return nullptr;
    auto at = std::find(stops.begin(), stops.end(), from);
    if (at == stops.end())
        return previous ? stops.back() : stops.front();
    size_t index = static_cast<size_t>(at - stops.begin());
    size_t count = stops.size();
    return stops[previous ? (index + count - 1) % count : (index + 1) % count];
}

Window* Dialog::GetDefaultButton() const
{
    auto isDefault = [](const Window* window) {
        auto* button = dynamic_cast<const Button*>(window);
        return button && button->IsPushButton() && (window->GetStyle() & BS_TYPEMASK) == BS_DEFPUSHBUTTON;
    };
    auto find = [&](auto&& self, const Window& parent) -> Window* {
        for (Window* child : parent.GetChildren()) {
            if (isDefault(child))
                return child;
            if (Window* found = self(self, *child))
                return found;
        }
        return nullptr;
    };
    if (Window* found = find(find, *this))
        return found;
    return dynamic_cast<Button*>(GetDlgItem(IDOK));
}

void Dialog::FocusFirstTabItem()
{
    Window* focus = GetFocus();
    if (focus && focus != this && focus->GetTopLevel() == this)
        return;
    if (Window* first = GetNextDlgTabItem(nullptr))
        first->SetFocus();
    else
        SetFocus();
}

bool Dialog::PreTranslateMessage(Message& message)
{
    if (IsChild() || message.message != WM_KEYDOWN)
        return Window::PreTranslateMessage(message);
    return HandleDialogKey(static_cast<unsigned>(message.wParam));
}

bool Dialog::HandleDialogKey(unsigned key)
{
    Window* focus = GetFocus();
    if (focus && focus->GetTopLevel() != this)
        focus = nullptr;
    switch (key) {
    case VK_TAB: {
        Application* app = Application::Get();
        bool back = app && app->IsModifierDown(VK_SHIFT);
        if (Window* next = GetNextDlgTabItem(focus, back))
            next->SetFocus();
        return true;
    }
    case VK_RETURN: {
        auto* button = dynamic_cast<Button*>(focus);
        if (button && !button->IsPushButton())
            button = nullptr;
        if (!button)
            button = dynamic_cast<Button*>(GetDefaultButton());
        if (!button || !button->IsWindowEnabled())
            return false;
        button->Click();
        return true;
    }
    case VK_ESCAPE: {
        Window* cancel = GetDlgItem(IDCANCEL);
        if (!cancel || !cancel->IsWindowEnabled())
            return false;
        SendMessage(WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), static_cast<LPARAM>(cancel->GetHandle()));
        return true;
    }
    default:
        return false;
    }
}

}
