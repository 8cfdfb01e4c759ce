#pragma once
// Form1 on plain Win32, in the manner of a classic Windows program: one window procedure,
// the controls of the table as the system's own child windows, and what the operator does
// with them passed on to the window's behaviour. Texts cross into UTF-16 here and nowhere
// else.

#include <windows.h>

#include <array>
#include <optional>
#include <string>

#include "link/SerialPort.h"
#include "settings/SettingsFile.h"
#include "ui/Form1.h"
#include "ui/FormView.h"

namespace tallymark {

class Win32Form final : public FormView {
public:
    Win32Form(HINSTANCE instance, SerialPort& port, SettingsFile& settings);
    ~Win32Form() override;

    Win32Form(const Win32Form&) = delete;
    Win32Form& operator=(const Win32Form&) = delete;

    // Creates the window and its controls, not yet shown; false when the system refuses.
    bool Create();
    // Shows the window with the focus on the first tab stop.
    void Show(int showCommand);
    // Runs the message loop until the window has closed; the program's exit code.
    int Run();

    Form1& Form() { return form_; }

    // The window text of a control, in UTF-16 on its way to and from the system.
    std::string Text(Control control) const override;
    void SetText(Control control, const std::string& text) override;
    // BM_GETCHECK and BM_SETCHECK, the scroll position counted from the top, PBM_GETPOS
    // and PBM_SETPOS; EnableWindow.
    int Value(Control control) const override;
    void SetValue(Control control, int value) override;
    bool Enabled(Control control) const override;
    void SetEnabled(Control control, bool enabled) override;

    // PBM_GETRANGE and PBM_SETRANGE32.
    int Minimum(Control control) const override;
    int Maximum(Control control) const override;
    void SetRange(Control control, int minimum, int maximum) override;

    // CB_RESETCONTENT, CB_INSERTSTRING, CB_DELETESTRING, CB_GETCOUNT, CB_GETLBTEXT,
    // CB_GETCURSEL, CB_SETCURSEL and CB_GETDROPPEDSTATE.
    void ClearList(Control control) override;
    void AddItem(Control control, const std::string& item) override;
    void InsertItem(Control control, int index, const std::string& item) override;
    void RemoveItem(Control control, int index) override;
    int ListCount(Control control) const override;
    std::string ListItem(Control control, int index) const override;
    int ListIndex(Control control) const override;
    void SetListIndex(Control control, int index) override;
    bool DroppedDown(Control control) const override;

    // MessageBoxW, modal to the window, with MB_ICONEXCLAMATION.
    void ShowMessage(std::string_view text, std::string_view title) override;
    bool AskYesNo(std::string_view text, std::string_view title) override;

    void SetFocus(Control control) override;
    // One tooltip control of the window's, made at the first tooltip.
    void SetToolTip(Control control, const std::string& text) override;
    // PeekMessage until nothing is pending, then MsgWaitForMultipleObjectsEx a millisecond.
    void DoEvents() override;
    // WM_CLOSE posted, as the close box posts it.
    void RequestClose() override;

private:
    static LRESULT CALLBACK WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    // Win32ControlProcedure.cpp: a control's focus and paste.
    static LRESULT CALLBACK ControlProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                             DWORD_PTR self);
    LRESULT OnMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void Command(Control control, int code);
    void Scroll(Control control, int code);
    // Win32DeviceChanges.cpp. WM_DEVICECHANGE: the ports that came or went, for ComSele's
    // list; and the settling after a burst of changes, over.
    void DeviceChanged(WPARAM event, LPARAM data);
    void DeviceChangesSettled();

    // Win32Layout.cpp: the controls made from the table, placed and lettered for a DPI.
    void CreateControls(UINT dpi);
    // Win32ControlProcedure.cpp: the controls' own procedure, from the first show on.
    void ListenToControls();
    // The window's outer size that holds the client area of the table at `dpi`.
    static SIZE WindowSize(UINT dpi);
    void FitWindow(UINT dpi, const POINT& topLeft);
    // Everything again for a new DPI.
    void LayOut(UINT dpi);
    // The drop-down list shows DropDownRows items at once, so that a page key moves by what it
    // shows: the combo's window becomes its closed field and the list below it with its
    // border. Done as the list drops, since each move of the list costs Wine's server.
    static void FitList(HWND combo);
    // New fonts for the DPI; the old ones are the caller's to delete.
    void MakeFonts(UINT dpi);
    HFONT FontOf(const ControlRow& row) const;

    // Win32MessageLoop.cpp. Tab and Shift+Tab through the behaviour's tab order, Enter, the
    // arrows and the page keys where the behaviour takes them (a combo box's edit field then
    // never passes them to its list), the other dialog keys through the system's; true when
    // the message is handled.
    bool PreTranslate(MSG& message);
    void Dispatch(MSG& message);
    void TabTo(Control control);
    // A paste into a box's edit field: what Form1 keeps of the clipboard's text; false where
    // the box takes none, and the system's paste goes on.
    bool Paste(Control control, HWND box);
    // Text dropped at a point of the screen goes into the box there; false where none takes it.
    bool DropText(POINT screen, std::u16string_view text);
    // The window is gone: nothing may reach its handles any more.
    void Forget();

    // Null for the controls that have no window, and for all once the window is gone.
    HWND Hwnd(Control control) const { return controls_[static_cast<std::size_t>(control)]; }
    std::optional<Control> ControlOf(HWND window) const;

    HINSTANCE instance_;
    HWND window_ = nullptr;
    std::array<HWND, ControlCount> controls_{};
    HFONT windowFont_ = nullptr;
    HFONT titleFont_ = nullptr;
    HWND toolTip_ = nullptr;
    HWND lastFocus_ = nullptr; // the control to give the focus back to when the window is active again
    bool ole_ = false; // OLE started, for text dropped into a box
    Form1 form_;
};

} // namespace tallymark
