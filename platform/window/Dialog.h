#pragma once

#include "platform/window/Window.h"

#include <memory>
#include <vector>

namespace lumarra {

class DataExchange;
struct DialogTemplate;

// The face dialogs are painted with.
inline constexpr COLORREF kDialogFace = RGB(0xF0, 0xF0, 0xF0);

// A dialog made from a template: a top-level popup (or a child, when the
// template says WS_CHILD) holding the template's controls, laid out in
// dialog units of its font. Modal through DoModal, modeless through Create.
// A top-level dialog moves the focus with Tab and Shift+Tab, presses the
// default button on Enter and Cancel (when it has one) on Escape.
class Dialog : public Window {
public:
    explicit Dialog(uint32_t templateId = 0, Window* parent = nullptr);
    ~Dialog() override;

    // Modeless; true once created and initialised.
    bool Create(uint32_t templateId, Window* parent);
    bool CreateIndirect(const DialogTemplate& dialogTemplate, Window* parent);
    // Shows the dialog modally over its owner (the parent given, else the
    // active window, else the main window) and returns what EndDialog got;
    // -1 when the dialog could not be made. When OnInitDialog ends the
    // dialog it returns at once without showing it.
    virtual int DoModal();
    void EndDialog(int result);

    // Transfers between controls and members; false when a control is
    // missing or a value does not validate.
    bool UpdateData(bool saveAndValidate = true);

    // The next (or previous) enabled, visible control with WS_TABSTOP after
    // `from`, wrapping around; null when there is none.
    Window* GetNextDlgTabItem(Window* from, bool previous = false) const;
    // The default push button (BS_DEFPUSHBUTTON, else the IDOK button).
    Window* GetDefaultButton() const;
    // Dialog units of this dialog's font to pixels.
    Rect MapDialogRect(const Rect& units) const;
    Size GetBaseUnits() const { return m_baseUnits; }

protected:
    // After the controls exist: the default moves members into the controls
    // and returns true to have the focus set to the first tab stop.
    virtual bool OnInitDialog();
    virtual void DoDataExchange(DataExchange&) { }
    virtual void OnOK();
    virtual void OnCancel();
    // Runs a dialog modally from a template built by the caller, over
    // `owner` (null: over the screen, owned by nothing).
    int DoModalIndirect(const DialogTemplate& dialogTemplate, Window* owner);

    bool PreTranslateMessage(Message& message) override;
    LRESULT WindowProc(uint32_t message, WPARAM wParam, LPARAM lParam) override;
    bool OnCommand(WPARAM wParam, LPARAM lParam) override;
    void OnClose() override;
    // Keeps the focused control while another window is active and gives
    // the focus back to it.
    void OnActivate(bool active) override;

private:
    bool HandleDialogKey(unsigned key);
    void CreateControls(const DialogTemplate& dialogTemplate);
    void FocusFirstTabItem();

    uint32_t m_templateId;
    Window* m_parentWindow;
    std::vector<std::unique_ptr<Window>> m_controls;
    Size m_baseUnits { 6, 13 };
    WindowHandle m_savedFocus = kNoWindow;
    bool m_ended = false;
    int m_result = -1;
};

}
