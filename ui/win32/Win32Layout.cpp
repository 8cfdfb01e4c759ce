// The window's controls, made from the table of controls as the window is created, and
// placed and lettered for the DPI of the monitor the window is on.

#include "ui/win32/Win32Form.h"

#include <commctrl.h>

#include <vector>

#include "os/WideText.h"
#include "ui/win32/Dpi.h"
#include "ui/win32/Fonts.h"
#include "ui/win32/WindowStyles.h"

namespace tallymark {

namespace {

struct ControlClass {
    const wchar_t* name = nullptr;
    DWORD style = 0;
    DWORD exStyle = 0;
};

ControlClass ClassOf(const ControlRow& row)
{
    const bool centred = row.align == TextAlign::Center;
    switch (row.kind) {
    case ControlKind::Label:
        // Without SS_NOTIFY a label lets clicks through to what lies beneath it.
        return {L"STATIC", static_cast<DWORD>(SS_NOPREFIX | (centred ? SS_CENTER : SS_LEFT))};
    case ControlKind::Frame: return {L"BUTTON", BS_GROUPBOX};
    case ControlKind::TextBox:
        return {L"EDIT",
                static_cast<DWORD>(WS_TABSTOP | ES_AUTOHSCROLL | (centred ? ES_CENTER : ES_LEFT)
                                   | (row.readOnly ? ES_READONLY : 0)),
                WS_EX_CLIENTEDGE};
    case ControlKind::ComboBox: return {L"COMBOBOX", WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWN | CBS_AUTOHSCROLL};
    case ControlKind::CheckBox:
        return {L"BUTTON", WS_TABSTOP | BS_3STATE}; // a click is reported; the behaviour sets the value
    case ControlKind::OptionButton: return {L"BUTTON", WS_TABSTOP | BS_RADIOBUTTON}; // as the check box
    case ControlKind::VScrollBar: return {L"SCROLLBAR", WS_TABSTOP | SBS_VERT};
    case ControlKind::CommandButton: return {L"BUTTON", WS_TABSTOP | BS_PUSHBUTTON};
    case ControlKind::ProgressBar: return {PROGRESS_CLASSW, 0};
    case ControlKind::Window:
    case ControlKind::Timer:
    case ControlKind::SerialPort: break;
    }
    return {};
}

// A drop-down combo's own window holds its list below the edit field (FitList makes it exact).
int WindowHeight(const ControlRow& row, const Pixels& place)
{
    return row.kind == ControlKind::ComboBox ? place.height * (1 + DropDownRows) : place.height;
}

// A drop-down combo's closed height is that of its edit field, which follows the field's
// item height. It is corrected from what the field measures, since systems differ in what
// they count in the item height they report.
void FitField(HWND combo, int height)
{
    LRESULT field = SendMessageW(combo, CB_GETITEMHEIGHT, static_cast<WPARAM>(-1), 0);
    for (int pass = 0; pass < 3 && field > 0; ++pass) {
        RECT closed{};
        GetWindowRect(combo, &closed);
        const int change = height - static_cast<int>(closed.bottom - closed.top);
        if (change == 0 || field + change <= 0)
            break;
        field += change;
        SendMessageW(combo, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), field);
    }
}

} // namespace

void Win32Form::MakeFonts(UINT dpi)
{
    windowFont_ = MakeFont(WindowFont, dpi);
    titleFont_ = MakeFont(TitleFont, dpi);
}

HFONT Win32Form::FontOf(const ControlRow& row) const
{
    return row.font == FontRole::Title ? titleFont_ : windowFont_;
}

void Win32Form::CreateControls(UINT dpi)
{
    MakeFonts(dpi);
    // Windows and Wine put each new child window beneath the ones made before it, so that
    // the controls, made from the top down, lie in the order of their layers without being
    // moved: moving them costs a round of messages to every control.
    const std::vector<Control> bottomUp = StackedBottomUp();
    for (auto each = bottomUp.rbegin(); each != bottomUp.rend(); ++each) {
        const ControlRow* row = &RowOf(*each);
        const ControlClass kind = ClassOf(*row);
        // Each control is a group of its own, so that the system's dialog keys move nothing
        // by themselves: the behaviour decides where the arrows of the option pair go.
        const DWORD style = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_GROUP | kind.style;
        // A box's first text is set with the rest of its state (ShowAsCreated).
        const bool box = row->kind == ControlKind::ComboBox || row->kind == ControlKind::TextBox;
        const std::wstring caption = box ? std::wstring() : Utf8ToWide(row->caption);
        const Pixels place = InPixels(PlaceInWindow(row->id), static_cast<int>(dpi));
        HWND window
            = CreateWindowExW(kind.exStyle, kind.name, caption.c_str(), style, place.left, place.top, place.width,
                              WindowHeight(*row, place), window_,
                              reinterpret_cast<HMENU>(static_cast<INT_PTR>(ControlId(row->id))), instance_, nullptr);
        controls_[static_cast<std::size_t>(row->id)] = window;
        if (!window)
            continue;
        SendMessageW(window, WM_SETFONT, reinterpret_cast<WPARAM>(FontOf(*row)), FALSE);

        if (row->kind == ControlKind::TextBox && row->maxLength > 0)
            SendMessageW(window, EM_LIMITTEXT, static_cast<WPARAM>(row->maxLength), 0);
        else if (row->kind == ControlKind::VScrollBar)
            SetScrollRange(window, SB_CTL, 0, SpinnerLastPosition, FALSE);
        ShowAsCreated(*this, *row);
        if (row->kind == ControlKind::ComboBox)
            FitField(window, place.height);
    }

    // A system that puts new child windows on top instead has them upside down.
    if (!bottomUp.empty() && GetWindow(window_, GW_CHILD) != Hwnd(bottomUp.back())) {
        HWND above = HWND_TOP;
        for (auto control = bottomUp.rbegin(); control != bottomUp.rend(); ++control) {
            SetWindowPos(Hwnd(*control), above, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
            above = Hwnd(*control);
        }
    }
}

SIZE Win32Form::WindowSize(UINT dpi)
{
    const Pixels client = InPixels(PlaceInWindow(Control::Form1), static_cast<int>(dpi));
    const RECT outer = WindowRectFor({0, 0, client.width, client.height}, FormStyle, FormExStyle, dpi);
    return {outer.right - outer.left, outer.bottom - outer.top};
}

void Win32Form::FitWindow(UINT dpi, const POINT& topLeft)
{
    const SIZE size = WindowSize(dpi);
    SetWindowPos(window_, nullptr, topLeft.x, topLeft.y, size.cx, size.cy, SWP_NOZORDER | SWP_NOACTIVATE);
}

void Win32Form::LayOut(UINT dpi)
{
    // The old fonts go once no control uses them any more.
    const HFONT oldWindowFont = windowFont_, oldTitleFont = titleFont_;
    MakeFonts(dpi);
    for (const Control control : StackedBottomUp()) {
        const ControlRow* row = &RowOf(control);
        HWND window = Hwnd(row->id);
        if (!window)
            continue;
        SendMessageW(window, WM_SETFONT, reinterpret_cast<WPARAM>(FontOf(*row)), FALSE);
        const Pixels place = InPixels(PlaceInWindow(row->id), static_cast<int>(dpi));
        SetWindowPos(window, nullptr, place.left, place.top, place.width, WindowHeight(*row, place),
                     SWP_NOZORDER | SWP_NOACTIVATE);
        if (row->kind == ControlKind::ComboBox)
            FitField(window, place.height);
    }
    InvalidateRect(window_, nullptr, TRUE);
    DeleteObject(oldWindowFont);
    DeleteObject(oldTitleFont);
}

void Win32Form::FitList(HWND combo)
{
    const LRESULT item = SendMessageW(combo, CB_GETITEMHEIGHT, 0, 0);
    RECT closed{};
    if (item <= 0 || !GetWindowRect(combo, &closed))
        return;
    const int border = 2 * GetSystemMetrics(SM_CYBORDER);
    SetWindowPos(combo, nullptr, 0, 0, closed.right - closed.left,
                 closed.bottom - closed.top + static_cast<int>(item) * DropDownRows + border,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

} // namespace tallymark
