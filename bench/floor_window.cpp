// The fair floor for tallymark.exe's start-up: the panel's window made by hand, by the
// plainest means, from the table of controls. It does the work the panel must do before its
// first show and nothing more: the same 27 controls with the same classes, styles,
// rectangles, fonts and combo items, stacked alike; the six reads of Tallymark.ini put into
// their controls; COM1 to COM32 tried with the panel's line settings, the ports that open
// listed; then shown. It is built with the panel's manifest and icon, so that its controls
// are the same common controls and its window carries the same resources.

#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "ShownWindow.h"
#include "os/WideText.h"
#include "ui/Controls.h"
#include "ui/WorkTimeEditor.h"

using namespace tallymark;

namespace {

constexpr DWORD FrameStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
HWND controls[ControlCount];

HWND Of(Control control)
{
    return controls[static_cast<std::size_t>(control)];
}

LRESULT CALLBACK WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_CTLCOLORSTATIC && reinterpret_cast<HWND>(lParam) == Of(Control::Label1)) {
        SetTextColor(reinterpret_cast<HDC>(wParam), RGB(TitleColour.red, TitleColour.green, TitleColour.blue));
        SetBkColor(reinterpret_cast<HDC>(wParam), GetSysColor(COLOR_BTNFACE));
        return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
    }
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

int CALLBACK Found(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found)
{
    *reinterpret_cast<bool*>(found) = true;
    return 0;
}

// The first of the style's faces that is installed, as the panel asks for it.
HFONT FontFor(HDC screen, const FontStyle& style, int dpi)
{
    LOGFONTW font{};
    font.lfCharSet = DEFAULT_CHARSET;
    for (std::string_view face : style.faces) {
        lstrcpynW(font.lfFaceName, Utf8ToWide(face).c_str(), LF_FACESIZE);
        bool installed = false;
        EnumFontFamiliesExW(screen, &font, Found, reinterpret_cast<LPARAM>(&installed), 0);
        if (installed)
            break;
    }
    font.lfHeight = -std::lround(style.points * dpi / 72.0);
    font.lfWeight = style.weight;
    font.lfUnderline = style.underline;
    font.lfCharSet = static_cast<BYTE>(style.charset);
    return CreateFontIndirectW(&font);
}

struct Class {
    const wchar_t* name;
    DWORD style;
    DWORD exStyle;
};

Class ClassFor(const ControlRow& row)
{
    const bool centred = row.align == TextAlign::Center;
    switch (row.kind) {
    case ControlKind::Label: return {L"STATIC", DWORD(SS_NOPREFIX | (centred ? SS_CENTER : SS_LEFT)), 0};
    case ControlKind::Frame: return {L"BUTTON", BS_GROUPBOX, 0};
    case ControlKind::TextBox:
        return {L"EDIT", DWORD(ES_AUTOHSCROLL | (centred ? ES_CENTER : 0) | (row.readOnly ? ES_READONLY : 0)),
                WS_EX_CLIENTEDGE};
    case ControlKind::ComboBox: return {L"COMBOBOX", WS_VSCROLL | CBS_DROPDOWN | CBS_AUTOHSCROLL, 0};
    case ControlKind::CheckBox: return {L"BUTTON", BS_3STATE, 0};
    case ControlKind::OptionButton: return {L"BUTTON", BS_AUTORADIOBUTTON, 0};
    case ControlKind::VScrollBar: return {L"SCROLLBAR", SBS_VERT, 0};
    case ControlKind::CommandButton: return {L"BUTTON", BS_PUSHBUTTON, 0};
    case ControlKind::ProgressBar: return {PROGRESS_CLASSW, 0, 0};
    default: return {nullptr, 0, 0};
    }
}

int Depth(const ControlRow& row)
{
    int depth = 0;
    for (Control up = row.container; up != Control::Form1; up = RowOf(up).container)
        ++depth;
    return depth;
}

void SetTime(Control box, Control spinner, int minute)
{
    wchar_t text[8];
    swprintf(text, 8, L"%02d:%02d", minute / 60, minute % 60);
    SetWindowTextW(Of(box), text);
    SetScrollPos(Of(spinner), SB_CTL, SpinnerPosition(minute), FALSE);
}

void SetCombo(Control combo, const std::wstring& text)
{
    SendMessageW(Of(combo), CB_SETCURSEL,
                 WPARAM(SendMessageW(Of(combo), CB_FINDSTRINGEXACT, WPARAM(-1), LPARAM(text.c_str()))), 0);
    SetWindowTextW(Of(combo), text.c_str());
}

void MakeControls(HWND window, HINSTANCE instance, int dpi)
{
    const HDC screen = GetDC(nullptr);
    const HFONT windowFont = FontFor(screen, WindowFont, dpi);
    const HFONT titleFont = FontFor(screen, TitleFont, dpi);
    ReleaseDC(nullptr, screen);

    // A new child window goes beneath its older siblings: the top layer is made first.
    std::vector<const ControlRow*> topDown;
    for (const ControlRow& row : Controls())
        if (ClassFor(row).name)
            topDown.push_back(&row);
    std::stable_sort(topDown.begin(), topDown.end(), [](auto* a, auto* b) {
        return std::pair(StackingLayer(a->kind), Depth(*a)) > std::pair(StackingLayer(b->kind), Depth(*b));
    });
    for (const ControlRow* row : topDown) {
        const Class kind = ClassFor(*row);
        const Pixels place = InPixels(PlaceInWindow(row->id), dpi);
        const bool combo = row->kind == ControlKind::ComboBox;
        HWND control
            = CreateWindowExW(kind.exStyle, kind.name, combo ? L"" : Utf8ToWide(row->caption).c_str(),
                              WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | kind.style, place.left, place.top, place.width,
                              combo ? place.height * 9 : place.height, window, nullptr, instance, nullptr);
        controls[static_cast<std::size_t>(row->id)] = control;
        SendMessageW(control, WM_SETFONT, WPARAM(row->font == FontRole::Title ? titleFont : windowFont), FALSE);
        if (row->maxLength > 0)
            SendMessageW(control, EM_LIMITTEXT, WPARAM(row->maxLength), 0);
        if (combo) {
            for (std::string_view item : row->items)
                SendMessageW(control, CB_ADDSTRING, 0, LPARAM(Utf8ToWide(item).c_str()));
            SetCombo(row->id, Utf8ToWide(row->caption));
            // The closed combo as high as its place: its edit field follows the item height,
            // though not always by the height reported (Wine's first set lands 2 pixels off).
            LRESULT field = SendMessageW(control, CB_GETITEMHEIGHT, WPARAM(-1), 0);
            RECT closed;
            for (int pass = 0;
                 pass < 3 && GetWindowRect(control, &closed) && closed.bottom - closed.top != place.height; ++pass) {
                field += place.height - (closed.bottom - closed.top);
                SendMessageW(control, CB_SETITEMHEIGHT, WPARAM(-1), field);
            }
        }
        if (row->kind == ControlKind::VScrollBar) {
            SetScrollRange(control, SB_CTL, 0, SpinnerLastPosition, FALSE);
            SetScrollPos(control, SB_CTL, SpinnerPosition(row->value), FALSE);
        }
        if (row->kind == ControlKind::CheckBox || row->kind == ControlKind::OptionButton)
            SendMessageW(control, BM_SETCHECK, row->value ? BST_CHECKED : BST_UNCHECKED, 0);
        if (row->kind == ControlKind::ProgressBar)
            SendMessageW(control, PBM_SETRANGE32, 0, ProgressMaximumAtStart);
    }
}

// The six settings into their controls, as the panel's load puts them.
void LoadSettings()
{
    char path[MAX_PATH];
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string file(path, length);
    file = file.substr(0, file.find_last_of('\\') + 1) + "Tallymark.ini";
    const char* ini = file.c_str();

    const UINT enabled = GetPrivateProfileIntA("WorkTime", "WorkTimeEnable", 0, ini);
    const UINT start = GetPrivateProfileIntA("WorkTime", "StartWorkTime", 450, ini);
    const UINT end = GetPrivateProfileIntA("WorkTime", "EndWorkTime", 1200, ini);
    char days[10] = {};
    GetPrivateProfileStringA("Tallymarks", "DDD", "168", days, sizeof days, ini);
    const UINT down = GetPrivateProfileIntA("Tallymarks", "DownCount", 1, ini);
    const UINT bright = GetPrivateProfileIntA("Bright", "Bright", 5, ini);

    SendMessageW(Of(Control::ChkWEn), BM_SETCHECK,
                 enabled == 1   ? BST_CHECKED
                 : enabled == 2 ? BST_INDETERMINATE
                                : 0,
                 0);
    SetTime(Control::TxtSTime, Control::VScSTime, start < 1440 ? static_cast<int>(start) : 450);
    SetTime(Control::TxtETime, Control::VScETime, end < 1440 ? static_cast<int>(end) : 1200);
    SetWindowTextW(Of(Control::TxtDJS), ToWide(CP_ACP, days).c_str());
    SendMessageW(Of(Control::OptDeD), BM_SETCHECK, down == 1 ? BST_CHECKED : BST_UNCHECKED, 0);
    SendMessageW(Of(Control::OptInD), BM_SETCHECK, down == 1 ? BST_UNCHECKED : BST_CHECKED, 0);
    SetCombo(Control::ComBright, std::to_wstring(bright));
    for (Control control : {Control::TxtSTime, Control::TxtETime, Control::VScSTime, Control::VScETime})
        EnableWindow(Of(control), enabled != 0);
}

// COM1 to COM32, each opened and given the panel's line settings; those that take them are listed.
void ScanPorts()
{
    const HWND list = Of(Control::ComSele);
    SendMessageW(list, CB_RESETCONTENT, 0, 0);
    int highest = 0;
    for (int n = 1; n <= 32; ++n) {
        char device[16];
        std::snprintf(device, sizeof device, "\\\\.\\COM%d", n);
        const HANDLE port = CreateFileA(device, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                        FILE_FLAG_OVERLAPPED, nullptr);
        if (port == INVALID_HANDLE_VALUE)
            continue;
        DCB line{};
        line.DCBlength = sizeof line;
        if (GetCommState(port, &line)) {
            line.BaudRate = CBR_9600;
            line.ByteSize = 8;
            line.Parity = NOPARITY;
            line.StopBits = ONESTOPBIT;
            if (SetCommState(port, &line)) {
                SendMessageW(list, CB_ADDSTRING, 0, LPARAM((L"COM" + std::to_wstring(n)).c_str()));
                highest = n;
            }
        }
        CloseHandle(port);
    }
    const LRESULT count = SendMessageW(list, CB_GETCOUNT, 0, 0);
    if (count > 0) {
        wchar_t chosen[8] = {};
        SendMessageW(list, CB_GETLBTEXT, highest > 2 ? WPARAM(count - 1) : 0, LPARAM(chosen));
        SetCombo(Control::ComSele, chosen);
    }
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand)
{
    INITCOMMONCONTROLSEX classes{sizeof classes, ICC_STANDARD_CLASSES | ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&classes);

    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = WindowProcedure;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconW(instance, L"IDI_ICON1");
    windowClass.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512)); // the arrow
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = L"FloorWindow";
    RegisterClassExW(&windowClass);

    const HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    const Pixels place = InPixels(RowOf(Control::Form1).place, dpi);
    RECT frame{0, 0, place.width, place.height};
    AdjustWindowRectEx(&frame, FrameStyle, FALSE, 0);
    HWND window
        = CreateWindowExW(0, windowClass.lpszClassName, L"floor window", FrameStyle, place.left, place.top,
                          frame.right - frame.left, frame.bottom - frame.top, nullptr, nullptr, instance, nullptr);
    if (!window)
        return 1;
    MakeControls(window, instance, dpi);
    LoadSettings();
    ScanPorts();
    return tallymark::bench::ShowAndRun(window, showCommand);
}
