// The window itself: its class, its making for the DPI, and its procedure, which passes the
// controls' commands and scrolls, the clock's tick, the close box and the session's end on to
// the window's behaviour.

#include "ui/win32/Win32Form.h"

#include <commctrl.h>
#include <ole2.h>

#include <cstddef>

#include "os/WideText.h"
#include "ui/win32/Dpi.h"
#include "ui/win32/TextDrop.h"
#include "ui/win32/WindowStyles.h"

namespace tallymark {

namespace {

constexpr wchar_t ClassName[] = L"TallymarkForm1";

std::optional<SpinAction> SpinActionOf(int code)
{
    switch (code) {
    case SB_LINEUP: return SpinAction::ArrowUp;
    case SB_LINEDOWN: return SpinAction::ArrowDown;
    case SB_PAGEUP: return SpinAction::PageUp;
    case SB_PAGEDOWN: return SpinAction::PageDown;
    case SB_TOP: return SpinAction::Top;
    case SB_BOTTOM: return SpinAction::Bottom;
    default: return std::nullopt; // the thumb, and the end of a move
    }
}

} // namespace

Win32Form::Win32Form(HINSTANCE instance, SerialPort& port, SettingsFile& settings)
    : instance_(instance), form_(*this, port, settings)
{
}

Win32Form::~Win32Form()
{
    if (window_)
        DestroyWindow(window_);
    if (windowFont_)
        DeleteObject(windowFont_);
    if (titleFont_)
        DeleteObject(titleFont_);
}

bool Win32Form::Create()
{
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = WindowProcedure;
    windowClass.hInstance = instance_;
    windowClass.hIcon = static_cast<HICON>(LoadImageW(instance_, IconName, IMAGE_ICON, GetSystemMetrics(SM_CXICON),
                                                      GetSystemMetrics(SM_CYICON), LR_DEFAULTCOLOR));
    windowClass.hIconSm = static_cast<HICON>(LoadImageW(instance_, IconName, IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                                                        GetSystemMetrics(SM_CYSMICON), LR_DEFAULTCOLOR));
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = ClassName;
    if (!RegisterClassExW(&windowClass) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
        return false;

    // Made at the design position and size for the system DPI; sized again only on a
    // monitor of another DPI, since every move of a window is a round of messages.
    const UINT systemDpi = DpiOf(nullptr);
    const Pixels place = InPixels(RowOf(Control::Form1).place, static_cast<int>(systemDpi));
    const SIZE size = WindowSize(systemDpi);
    CreateWindowExW(FormExStyle, ClassName, Utf8ToWide(RowOf(Control::Form1).caption).c_str(), FormStyle, place.left,
                    place.top, size.cx, size.cy, nullptr, nullptr, instance_, this);
    if (!window_)
        return false;
    const UINT dpi = DpiOf(window_);
    if (dpi != systemDpi)
        FitWindow(dpi, {place.left, place.top});
    CreateControls(dpi);
    SetTimer(window_, TimerId, static_cast<UINT>(RowOf(Control::Timer1).value), nullptr);
    return true;
}

void Win32Form::Show(int showCommand)
{
    // Only now: comctl32 finds a control's added procedure through a window property, which
    // under Wine costs a round trip to its server with every message, and the load sends
    // the controls hundreds; what the procedure handles (focus, paste) comes after the show.
    ListenToControls();
    ShowWindow(window_, showCommand);
    UpdateWindow(window_);
    if (const auto first = form_.FirstTabStop())
        ::SetFocus(Hwnd(*first));
    // Text dropped into a box, once the window is up: OLE's start costs the start-up time.
    // The window works on without it.
    ole_ = SUCCEEDED(OleInitialize(nullptr));
    if (ole_)
        AcceptTextDrops(window_, {[this](POINT at) {
                                      const std::optional<Control> box = ControlOf(WindowFromPoint(at));
                                      return box && form_.TextPutIn(*box, {});
                                  },
                                  [this](POINT at, std::u16string_view text) { return DropText(at, text); }});
}

void Win32Form::RequestClose()
{
    // Posted, as the close box's request is, so that the window never goes away under the
    // button whose click asked for it.
    if (window_)
        PostMessageW(window_, WM_CLOSE, 0, 0);
}

void Win32Form::Forget()
{
    if (ole_) {
        RefuseTextDrops(window_);
        OleUninitialize();
        ole_ = false;
    }
    KillTimer(window_, TimerId);
    KillTimer(window_, RescanTimerId);
    window_ = nullptr;
    toolTip_ = nullptr;
    lastFocus_ = nullptr;
    controls_.fill(nullptr);
}

std::optional<Control> Win32Form::ControlOf(HWND window) const
{
    // A combo box's edit field is part of it. A window of another program, a message box or
    // the window itself is no control.
    for (; window && window != window_; window = GetParent(window))
        for (const ControlRow& row : Controls())
            if (row.id != Control::Form1 && Hwnd(row.id) == window)
                return row.id;
    return std::nullopt;
}

LRESULT CALLBACK Win32Form::WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        auto* self = static_cast<Win32Form*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        self->window_ = window;
        self->controls_[static_cast<std::size_t>(Control::Form1)] = window;
        ScaleFrameWithDpi(window);
    }
    auto* self = reinterpret_cast<Win32Form*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!self || self->window_ != window)
        return DefWindowProcW(window, message, wParam, lParam);
    // Nothing may unwind through the system's frames; a handler that fails has done nothing.
    try {
        return self->OnMessage(window, message, wParam, lParam);
    } catch (...) {
        return 0;
    }
}

LRESULT Win32Form::OnMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_COMMAND:
        if (const auto control = ControlOf(reinterpret_cast<HWND>(lParam)); control && lParam)
            Command(*control, HIWORD(wParam));
        return 0;
    case WM_VSCROLL:
        if (const auto control = ControlOf(reinterpret_cast<HWND>(lParam)); control && lParam)
            Scroll(*control, LOWORD(wParam));
        return 0;
    case WM_TIMER:
        if (wParam == TimerId) {
            form_.Timer1_Timer();
        } else if (wParam == RescanTimerId) {
            DeviceChangesSettled();
        }
        return 0;
    case WM_DEVICECHANGE: DeviceChanged(wParam, lParam); return TRUE;
    case WM_CTLCOLORSTATIC:
        if (const auto control = ControlOf(reinterpret_cast<HWND>(lParam)); control && lParam) {
            const std::optional<Colour> colour = TextColourOf(*control);
            if (!colour)
                break;
            const HDC dc = reinterpret_cast<HDC>(wParam);
            SetTextColor(dc, RGB(colour->red, colour->green, colour->blue));
            SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
            return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
        }
        break;
    case WM_SETFOCUS:
        // The window is active again: the focus goes back to the control that had it.
        if (lastFocus_ && IsWindowEnabled(lastFocus_))
            ::SetFocus(lastFocus_);
        return 0;
    case WM_DPICHANGED: {
        const auto* suggested = reinterpret_cast<const RECT*>(lParam);
        FitWindow(HIWORD(wParam), {suggested->left, suggested->top});
        LayOut(HIWORD(wParam));
        return 0;
    }
    case WM_CLOSE: {
        bool cancel = false;
        form_.Form_Unload(cancel);
        if (!cancel && window_)
            DestroyWindow(window_);
        return 0;
    }
    // Windows ends a session (log-off, shutdown, an update's restart, the Restart Manager)
    // without a WM_CLOSE, and ends the process once WM_ENDSESSION returns. The query is only
    // a question, which another program may refuse (WM_ENDSESSION with FALSE): the session
    // and the panel then go on. The end closes the window, and a close question with it.
    case WM_QUERYENDSESSION: form_.SessionChanged(SessionEvent::EndAsked); return TRUE;
    case WM_ENDSESSION:
        if (form_.SessionChanged(wParam ? SessionEvent::Ends : SessionEvent::EndRefused) == SessionStep::EndProgram
            && window_)
            DestroyWindow(window_);
        return 0;
    case WM_DESTROY:
        Forget();
        PostQuitMessage(0);
        return 0;
    default: break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

void Win32Form::Command(Control control, int code)
{
    // The buttons do not change by themselves (BS_3STATE, BS_RADIOBUTTON): the behaviour
    // sets what a click makes of them.
    if (RowOf(control).kind == ControlKind::ComboBox) {
        if (code == CBN_SELCHANGE)
            form_.ItemChosen(control, ListIndex(control));
        else if (code == CBN_DROPDOWN)
            FitList(Hwnd(control));
    } else if (code == BN_CLICKED) {
        form_.Clicked(control);
    }
}

void Win32Form::Scroll(Control control, int code)
{
    // The bar does not move by itself; the behaviour sets where it goes.
    if (RowOf(control).kind != ControlKind::VScrollBar)
        return;
    if (const auto action = SpinActionOf(code))
        form_.SpinnerMoved(control, *action);
}

} // namespace tallymark
