#pragma once
// Form1 and its controls as they stand when the window is created: the one table both front
// ends build the window from and the tests read. Places are in twips from the corner of each
// control's container, as the layout was drawn: 15 twips to a pixel at 96 dots per inch.

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

namespace tallymark {

// Every control, in the order in which the window creates them: each container before what
// it holds. CmdSndClk is a control array of two buttons, index 0 and 1. The names:
//   `Form1`: the window
//   `CmdExit`: 終 了, the exit button
//   `ComSele`: the port (COM ポート)
//   `Frame1`: the frame around both groups
//   `Timer1`: the 50 ms tick that refreshes the current time
//   `MSComm1`: the serial port
//   `ProgressBar1`: a send's progress
//   `Label2`: COM ポート:, the port's label
//   `Label1`: the title
//   `Frame2`: the current-time group
//   `TxtTime`: the current time
//   `CmdSndClk0`: 転 送 of the current-time group: the clock
//   `Label5`: 現在時刻:, the current time's label
//   `Frame3`: the settings group
//   `CmdSndClk1`: 転 送 of the settings group: the clock and all settings
//   `OptDeD`/`OptInD`: down/up, the counting direction (減算/加算)
//   `TxtDJS`: the day count
//   `TxtETime`: the working time's end
//   `VScETime`: the end's spinner
//   `VScSTime`: the start's spinner
//   `TxtSTime`: the working time's start
//   `ChkWEn`: the working-time switch
//   `ComBright`: the brightness, 1 to 8
//   `Label7`: 輝度:, the brightness's label
//   `Label6`: 設定日数:, the day count's label
//   `Label4`: 終了, the end's label
//   `Label3`: 開始, the start's label
// clang-format off
enum class Control : std::uint8_t {
    Form1,
    CmdExit, ComSele, Frame1, Timer1, MSComm1, ProgressBar1, Label2, Label1,
    Frame2, TxtTime, CmdSndClk0, Label5,
    Frame3, CmdSndClk1, OptDeD, OptInD, TxtDJS, TxtETime, VScETime, VScSTime, TxtSTime, ChkWEn, ComBright,
    Label7, Label6, Label4, Label3,
};

inline constexpr std::size_t ControlCount = static_cast<std::size_t>(Control::Label3) + 1;

enum class ControlKind {
    Window, Label, Frame, TextBox, ComboBox, CheckBox, OptionButton, VScrollBar, CommandButton, ProgressBar,
    Timer, SerialPort,
};
// clang-format on

enum class TextAlign { Left, Center };
enum class FontRole { Window, Title };

struct Twips {
    int left = 0, top = 0, width = 0, height = 0;
};

struct Pixels {
    int left = 0, top = 0, width = 0, height = 0;
};

struct ControlRow {
    Control id = Control::Form1;
    std::string_view name = {}; // CmdSndClk for both buttons of the array
    std::int16_t index = -1; // the button's index in CmdSndClk
    ControlKind kind = ControlKind::Window;
    Control container = Control::Form1;
    Twips place = {}; // empty for the controls that are not shown
    std::string_view caption = {}; // caption or initial text
    int maxLength = 0; // characters a text box takes; 0: no limit
    int tabIndex = -1; // -1: the kind has none
    int value = 0; // check box 0/1/2, spinner minute, option 0/1, timer interval ms
    std::span<const std::string_view> items = {}; // a combo box's list
    TextAlign align = TextAlign::Left;
    FontRole font = FontRole::Window;
    bool readOnly = false; // a box that every tick overwrites takes no typing
};

struct FontStyle {
    // The face the window asks for first, then stand-ins of the same kind where it is missing.
    std::array<std::string_view, 3> faces;
    double points;
    int weight;
    bool underline;
    int charset;
};

struct Colour {
    int red, green, blue;
};

inline constexpr std::string_view WindowTitle = "カウントダウン表示器 操作パネル";
inline constexpr int TwipsPerPixel = 15; // at 96 dots per inch
// ProgressBar1 before the first send sets its range: empty, out of 100.
inline constexpr int ProgressMaximumAtStart = 100;
// The items a combo box's drop-down list shows at once: a page for Page Up and Page Down.
inline constexpr int DropDownRows = 8;
inline constexpr FontStyle WindowFont{{"ＭＳ ゴシック", "MS Gothic", "IPAGothic"}, 12.0, 400, false, 128};
inline constexpr FontStyle TitleFont{{"ＭＳ Ｐ明朝", "MS PMincho", "IPAPMincho"}, 21.75, 700, true, 128};
inline constexpr Colour TitleColour{0, 0, 255};

// Every control, in creation order.
std::span<const ControlRow> Controls();
const ControlRow& RowOf(Control control);
const FontStyle& FontOf(FontRole role);

// The faces a window asks the system for: the first of the style's faces that `installed`
// knows, alone; where it knows none, all of them in order, for the system to stand in for.
std::vector<std::string_view> FacesToAsk(const FontStyle& style,
                                         const std::function<bool(std::string_view face)>& installed);

// The colour of the control's text where it is not the system's own: the title's.
std::optional<Colour> TextColourOf(Control control);

// The control named so ("CmdSndClk_1" for the array's second button), if there is one.
std::optional<Control> ControlNamed(std::string_view name);
// "CmdSndClk_0" and "CmdSndClk_1" for the array, the plain name otherwise.
std::string_view UniqueName(Control control);

// Where the control lies in the window's client area, through its containers. Form1's own
// place is its client area's on the screen.
Twips PlaceInWindow(Control control);

// A place on a screen of `dotsPerInch` (twips / 15 at 96). The edges are scaled, not the
// sizes, so that controls that meet in twips meet on the screen at every scale.
Pixels InPixels(const Twips& place, int dotsPerInch = 96);

// Among overlapping controls of one container the higher layer lies above: frames beneath
// everything, labels beneath the controls they name, a spinner above its text box so that
// its arrows keep their width. A click where two controls touch reaches the upper one.
int StackingLayer(ControlKind kind);

// The controls that are shown, from the bottom of the stacking order up: the lower layer
// first; within a layer the outer control first, a frame beneath the frames it holds; then
// in the order of the table.
std::vector<Control> StackedBottomUp();

// The item of a combo box's list that is selected when the window is made: the one of its
// first text, or -1.
int SelectedItemAtStart(const ControlRow& row);

// Whether the kind can take the focus (and so be a tab stop).
bool TakesFocus(ControlKind kind);

// Whether text pasted or dropped goes into the control: a box the operator may edit, or a
// combo box's field.
bool TakesText(const ControlRow& row);

} // namespace tallymark
