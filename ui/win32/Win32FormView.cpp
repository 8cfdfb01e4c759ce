// The controls read and set through the system's own messages, as the behaviour asks.
// Every call does nothing once the window is gone.

#include "ui/win32/Win32Form.h"

#include <commctrl.h>

#include "os/WideText.h"

namespace tallymark {

namespace {

ControlKind KindOf(Control control)
{
    return RowOf(control).kind;
}

std::string WindowText(HWND window)
{
    if (!window)
        return {};
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return WideToUtf8(text);
}

// A combo box shows an item's text as soon as it is selected: the text, and where the
// operator is in it, are put back as they were.
template <typename Change>
void KeepingText(HWND combo, Change change)
{
    const std::string text = WindowText(combo);
    const LRESULT selection = SendMessageW(combo, CB_GETEDITSEL, 0, 0);
    change();
    if (WindowText(combo) != text)
        SetWindowTextW(combo, Utf8ToWide(text).c_str());
    SendMessageW(combo, CB_SETEDITSEL, 0, MAKELPARAM(LOWORD(selection), HIWORD(selection)));
}

// Escape pressed in a message box's own loop (MSGF_DIALOGBOX) goes no further.
LRESULT CALLBACK KeepEscapeFromTheBox(int code, WPARAM wParam, LPARAM lParam)
{
    const auto* message = reinterpret_cast<const MSG*>(lParam);
    if (code == MSGF_DIALOGBOX && message
        && (message->message == WM_KEYDOWN || message->message == WM_KEYUP || message->message == WM_CHAR)
        && message->wParam == VK_ESCAPE)
        return TRUE;
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

} // namespace

std::string Win32Form::Text(Control control) const
{
    return WindowText(Hwnd(control));
}

void Win32Form::SetText(Control control, const std::string& text)
{
    if (HWND window = Hwnd(control))
        SetWindowTextW(window, Utf8ToWide(text).c_str());
}

int Win32Form::Value(Control control) const
{
    HWND window = Hwnd(control);
    if (!window)
        return 0;
    switch (KindOf(control)) {
    case ControlKind::CheckBox: {
        const LRESULT state = SendMessageW(window, BM_GETCHECK, 0, 0);
        return state == BST_CHECKED ? 1 : state == BST_INDETERMINATE ? 2 : 0;
    }
    case ControlKind::OptionButton: return SendMessageW(window, BM_GETCHECK, 0, 0) == BST_CHECKED ? 1 : 0;
    case ControlKind::VScrollBar: return SpinnerPosition(GetScrollPos(window, SB_CTL));
    case ControlKind::ProgressBar: return static_cast<int>(SendMessageW(window, PBM_GETPOS, 0, 0));
    default: return 0;
    }
}

void Win32Form::SetValue(Control control, int value)
{
    HWND window = Hwnd(control);
    if (!window)
        return;
    switch (KindOf(control)) {
    case ControlKind::CheckBox:
        SendMessageW(window, BM_SETCHECK, value == 1 ? BST_CHECKED : value == 2 ? BST_INDETERMINATE : BST_UNCHECKED, 0);
        break;
    case ControlKind::OptionButton: SendMessageW(window, BM_SETCHECK, value ? BST_CHECKED : BST_UNCHECKED, 0); break;
    case ControlKind::VScrollBar: SetScrollPos(window, SB_CTL, SpinnerPosition(value), TRUE); break;
    case ControlKind::ProgressBar: SendMessageW(window, PBM_SETPOS, static_cast<WPARAM>(value), 0); break;
    default: break;
    }
}

bool Win32Form::Enabled(Control control) const
{
    HWND window = Hwnd(control);
    return window && IsWindowEnabled(window);
}

void Win32Form::SetEnabled(Control control, bool enabled)
{
    if (HWND window = Hwnd(control))
        EnableWindow(window, enabled);
}

int Win32Form::Minimum(Control control) const
{
    HWND window = Hwnd(control);
    return window ? static_cast<int>(SendMessageW(window, PBM_GETRANGE, TRUE, 0)) : 0;
}

int Win32Form::Maximum(Control control) const
{
    HWND window = Hwnd(control);
    return window ? static_cast<int>(SendMessageW(window, PBM_GETRANGE, FALSE, 0)) : 0;
}

void Win32Form::SetRange(Control control, int minimum, int maximum)
{
    if (HWND window = Hwnd(control))
        SendMessageW(window, PBM_SETRANGE32, static_cast<WPARAM>(minimum), static_cast<LPARAM>(maximum));
}

void Win32Form::ClearList(Control control)
{
    if (HWND window = Hwnd(control)) {
        SendMessageW(window, CB_RESETCONTENT, 0, 0);
        SetWindowTextW(window, L"");
    }
}

void Win32Form::AddItem(Control control, const std::string& item)
{
    InsertItem(control, ListCount(control), item);
}

void Win32Form::InsertItem(Control control, int index, const std::string& item)
{
    if (HWND window = Hwnd(control))
        KeepingText(window, [&] {
            SendMessageW(window, CB_INSERTSTRING, static_cast<WPARAM>(index),
                         reinterpret_cast<LPARAM>(Utf8ToWide(item).c_str()));
        });
}

void Win32Form::RemoveItem(Control control, int index)
{
    if (HWND window = Hwnd(control))
        KeepingText(window, [&] { SendMessageW(window, CB_DELETESTRING, static_cast<WPARAM>(index), 0); });
}

int Win32Form::ListCount(Control control) const
{
    HWND window = Hwnd(control);
    const LRESULT count = window ? SendMessageW(window, CB_GETCOUNT, 0, 0) : 0;
    return count > 0 ? static_cast<int>(count) : 0;
}

std::string Win32Form::ListItem(Control control, int index) const
{
    HWND window = Hwnd(control);
    const LRESULT length = window ? SendMessageW(window, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0) : CB_ERR;
    if (length == CB_ERR)
        return {};
    std::wstring item(static_cast<std::size_t>(length) + 1, L'\0');
    const LRESULT copied
        = SendMessageW(window, CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(item.data()));
    item.resize(copied == CB_ERR ? 0 : static_cast<std::size_t>(copied));
    return WideToUtf8(item);
}

int Win32Form::ListIndex(Control control) const
{
    HWND window = Hwnd(control);
    const LRESULT index = window ? SendMessageW(window, CB_GETCURSEL, 0, 0) : CB_ERR;
    return index == CB_ERR ? -1 : static_cast<int>(index);
}

void Win32Form::SetListIndex(Control control, int index)
{
    if (HWND window = Hwnd(control))
        KeepingText(window, [&] { SendMessageW(window, CB_SETCURSEL, static_cast<WPARAM>(index), 0); });
}

bool Win32Form::DroppedDown(Control control) const
{
    HWND window = Hwnd(control);
    return window && SendMessageW(window, CB_GETDROPPEDSTATE, 0, 0);
}

void Win32Form::SetFocus(Control control)
{
    if (HWND window = Hwnd(control))
        ::SetFocus(window);
}

void Win32Form::SetToolTip(Control control, const std::string& text)
{
    HWND target = Hwnd(control);
    if (!target)
        return;
    if (!toolTip_) {
        toolTip_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                                   CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, window_, nullptr,
                                   instance_, nullptr);
        if (!toolTip_)
            return;
        // Wide enough for a line of the message's paragraph; longer ones wrap.
        SendMessageW(toolTip_, TTM_SETMAXTIPWIDTH, 0, 480);
    }
    std::wstring wide = Utf8ToWide(text);
    // A combo box with an editable field is mostly that field, a window of its own.
    for (HWND part : {target, FindWindowExW(target, nullptr, L"Edit", nullptr)}) {
        if (!part)
            continue;
        TTTOOLINFOW tool{};
        tool.cbSize = TTTOOLINFOW_V2_SIZE;
        tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
        tool.hwnd = window_;
        tool.uId = reinterpret_cast<UINT_PTR>(part);
        tool.lpszText = wide.data();
        SendMessageW(toolTip_, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
        if (!wide.empty())
            SendMessageW(toolTip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    }
}

void Win32Form::ShowMessage(std::string_view text, std::string_view title)
{
    MessageBoxW(window_, Utf8ToWide(text).c_str(), Utf8ToWide(title).c_str(), MB_OK | MB_ICONEXCLAMATION);
}

bool Win32Form::AskYesNo(std::string_view text, std::string_view title)
{
    // A Yes/No box without Cancel answers only Yes or No; Escape, which some systems take as
    // No there, is kept from its modal loop while it asks.
    const HHOOK keepEscape = SetWindowsHookExW(WH_MSGFILTER, KeepEscapeFromTheBox, nullptr, GetCurrentThreadId());
    const bool yes = MessageBoxW(window_, Utf8ToWide(text).c_str(), Utf8ToWide(title).c_str(),
                                 MB_YESNO | MB_ICONEXCLAMATION | MB_DEFBUTTON1)
                  == IDYES;
    if (keepEscape)
        UnhookWindowsHookEx(keepEscape);
    return yes;
}

} // namespace tallymark
