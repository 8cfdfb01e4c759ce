#include "ui/Controls.h"

#include <algorithm>
#include <utility>

#include "link/PanelSettings.h"

namespace tallymark {

namespace {

using C = Control;
using K = ControlKind;

constexpr std::string_view PortItems[] = {"COM1", "COM2", "COM3", "COM4", "COM5", "COM6", "COM7", "COM8"};
constexpr std::string_view BrightnessItems[] = {"1", "2", "3", "4", "5", "6", "7", "8"};
constexpr std::string_view Send = "転  送";

// One row a control, laid out by hand so that each reads as a line of the layout.
// clang-format off
constexpr ControlRow Table[] = {
    {.id = C::Form1, .name = "Form1", .kind = K::Window, .place = {540, 825, 7815, 5760}, .caption = WindowTitle},

    {.id = C::CmdExit, .name = "CmdExit", .kind = K::CommandButton, .place = {5160, 5040, 2415, 495},
     .caption = "終  了", .tabIndex = 20},
    {.id = C::ComSele, .name = "ComSele", .kind = K::ComboBox, .place = {1680, 5100, 1215, 360}, .caption = "COM1",
     .tabIndex = 19, .items = PortItems},
    {.id = C::Frame1, .name = "Frame1", .kind = K::Frame, .place = {120, 600, 7575, 4215}, .tabIndex = 1},
    {.id = C::Timer1, .name = "Timer1", .kind = K::Timer, .value = 50},
    {.id = C::MSComm1, .name = "MSComm1", .kind = K::SerialPort},
    {.id = C::ProgressBar1, .name = "ProgressBar1", .kind = K::ProgressBar, .place = {3120, 5115, 1770, 330},
     .tabIndex = 21},
    {.id = C::Label2, .name = "Label2", .kind = K::Label, .place = {240, 5130, 1455, 330}, .caption = "COM ポート:",
     .tabIndex = 18},
    {.id = C::Label1, .name = "Label1", .kind = K::Label, .place = {240, 60, 7335, 495},
     .caption = "   カウントダウンＬＥＤ表示器   ", .tabIndex = 0, .align = TextAlign::Center, .font = FontRole::Title},

    {.id = C::Frame2, .name = "Frame2", .kind = K::Frame, .container = C::Frame1, .place = {240, 240, 7095, 1095},
     .tabIndex = 14},
    {.id = C::TxtTime, .name = "TxtTime", .kind = K::TextBox, .container = C::Frame2, .place = {1680, 480, 1215, 360},
     .caption = "07:00:00", .tabIndex = 16, .align = TextAlign::Center, .readOnly = true},
    {.id = C::CmdSndClk0, .name = "CmdSndClk", .index = 0, .kind = K::CommandButton, .container = C::Frame2,
     .place = {4320, 360, 2175, 495}, .caption = Send, .tabIndex = 15},
    {.id = C::Label5, .name = "Label5", .kind = K::Label, .container = C::Frame2, .place = {480, 510, 1215, 300},
     .caption = "現在時刻:", .tabIndex = 17},

    {.id = C::Frame3, .name = "Frame3", .kind = K::Frame, .container = C::Frame1, .place = {240, 1440, 7095, 2535},
     .tabIndex = 2},
    {.id = C::CmdSndClk1, .name = "CmdSndClk", .index = 1, .kind = K::CommandButton, .container = C::Frame3,
     .place = {4320, 1740, 2175, 495}, .caption = Send, .tabIndex = 24},
    {.id = C::OptDeD, .name = "OptDeD", .kind = K::OptionButton, .container = C::Frame3, .place = {3840, 1110, 855, 255},
     .caption = "減算", .tabIndex = 23, .value = 1},
    {.id = C::OptInD, .name = "OptInD", .kind = K::OptionButton, .container = C::Frame3, .place = {2760, 1110, 855, 255},
     .caption = "加算", .tabIndex = 22, .value = 0},
    {.id = C::TxtDJS, .name = "TxtDJS", .kind = K::TextBox, .container = C::Frame3, .place = {1680, 1080, 615, 360},
     .caption = "999", .maxLength = DayCountMaxLength, .tabIndex = 11},
    {.id = C::TxtETime, .name = "TxtETime", .kind = K::TextBox, .container = C::Frame3, .place = {5400, 360, 735, 390},
     .caption = "19:00", .maxLength = 5, .tabIndex = 9},
    {.id = C::VScETime, .name = "VScETime", .kind = K::VScrollBar, .container = C::Frame3,
     .place = {6120, 345, 375, 375}, .tabIndex = 8, .value = 1140},
    {.id = C::VScSTime, .name = "VScSTime", .kind = K::VScrollBar, .container = C::Frame3,
     .place = {3720, 345, 375, 390}, .tabIndex = 7, .value = 420},
    {.id = C::TxtSTime, .name = "TxtSTime", .kind = K::TextBox, .container = C::Frame3, .place = {3000, 360, 735, 360},
     .caption = "07:00", .maxLength = 5, .tabIndex = 6},
    {.id = C::ChkWEn, .name = "ChkWEn", .kind = K::CheckBox, .container = C::Frame3, .place = {480, 375, 1335, 300},
     .caption = "時間切替", .tabIndex = 3, .value = 0},
    {.id = C::ComBright, .name = "ComBright", .kind = K::ComboBox, .container = C::Frame3,
     .place = {5760, 1080, 735, 360}, .caption = "5", .tabIndex = 12, .items = BrightnessItems},
    {.id = C::Label7, .name = "Label7", .kind = K::Label, .container = C::Frame3, .place = {5040, 1110, 855, 300},
     .caption = "輝度:", .tabIndex = 13},
    {.id = C::Label6, .name = "Label6", .kind = K::Label, .container = C::Frame3, .place = {480, 1110, 1215, 300},
     .caption = "設定日数:", .tabIndex = 10},
    {.id = C::Label4, .name = "Label4", .kind = K::Label, .container = C::Frame3, .place = {4680, 390, 615, 300},
     .caption = "終了", .tabIndex = 5},
    {.id = C::Label3, .name = "Label3", .kind = K::Label, .container = C::Frame3, .place = {2280, 390, 615, 300},
     .caption = "開始", .tabIndex = 4},
};
// clang-format on

static_assert(std::size(Table) == ControlCount);

constexpr bool InEnumOrder()
{
    for (std::size_t i = 0; i < std::size(Table); ++i)
        if (static_cast<std::size_t>(Table[i].id) != i)
            return false;
    return true;
}
static_assert(InEnumOrder(), "the table lists every control at its own place");

} // namespace

std::span<const ControlRow> Controls()
{
    return Table;
}

const ControlRow& RowOf(Control control)
{
    return Table[static_cast<std::size_t>(control)];
}

const FontStyle& FontOf(FontRole role)
{
    return role == FontRole::Title ? TitleFont : WindowFont;
}

std::vector<std::string_view> FacesToAsk(const FontStyle& style,
                                         const std::function<bool(std::string_view face)>& installed)
{
    const auto found = std::find_if(style.faces.begin(), style.faces.end(), installed);
    if (found != style.faces.end())
        return {*found};
    return {style.faces.begin(), style.faces.end()};
}

std::optional<Colour> TextColourOf(Control control)
{
    if (RowOf(control).font == FontRole::Title)
        return TitleColour;
    return std::nullopt;
}

std::string_view UniqueName(Control control)
{
    switch (control) {
    case Control::CmdSndClk0: return "CmdSndClk_0";
    case Control::CmdSndClk1: return "CmdSndClk_1";
    default: return RowOf(control).name;
    }
}

std::optional<Control> ControlNamed(std::string_view name)
{
    const auto found = std::find_if(std::begin(Table), std::end(Table),
                                    [&](const ControlRow& row) { return UniqueName(row.id) == name; });
    if (found == std::end(Table))
        return std::nullopt;
    return found->id;
}

Twips PlaceInWindow(Control control)
{
    Twips place = RowOf(control).place;
    if (control == Control::Form1)
        return {0, 0, place.width, place.height};
    for (Control up = RowOf(control).container; up != Control::Form1; up = RowOf(up).container) {
        place.left += RowOf(up).place.left;
        place.top += RowOf(up).place.top;
    }
    return place;
}

Pixels InPixels(const Twips& place, int dotsPerInch)
{
    // Rounded to the nearest pixel; an inch is 1440 twips.
    const auto scale = [dotsPerInch](int twips) {
        const long long scaled = static_cast<long long>(twips) * dotsPerInch;
        return static_cast<int>(scaled >= 0 ? (scaled + 720) / 1440 : -((-scaled + 720) / 1440));
    };
    const int left = scale(place.left), top = scale(place.top);
    return {left, top, scale(place.left + place.width) - left, scale(place.top + place.height) - top};
}

int StackingLayer(ControlKind kind)
{
    switch (kind) {
    case ControlKind::Frame: return 0;
    case ControlKind::Label: return 1;
    case ControlKind::VScrollBar: return 3;
    default: return 2;
    }
}

std::vector<Control> StackedBottomUp()
{
    const auto depth = [](const ControlRow& row) {
        int frames = 0;
        for (Control up = row.container; up != Control::Form1; up = RowOf(up).container)
            ++frames;
        return frames;
    };
    std::vector<const ControlRow*> order;
    for (const ControlRow& row : Table)
        if (row.id != Control::Form1 && row.kind != ControlKind::Timer && row.kind != ControlKind::SerialPort)
            order.push_back(&row);
    std::stable_sort(order.begin(), order.end(), [&](const ControlRow* a, const ControlRow* b) {
        return std::pair(StackingLayer(a->kind), depth(*a)) < std::pair(StackingLayer(b->kind), depth(*b));
    });
    std::vector<Control> controls;
    for (const ControlRow* row : order)
        controls.push_back(row->id);
    return controls;
}

int SelectedItemAtStart(const ControlRow& row)
{
    const auto found = std::find(row.items.begin(), row.items.end(), row.caption);
    return found == row.items.end() ? -1 : static_cast<int>(found - row.items.begin());
}

bool TakesFocus(ControlKind kind)
{
    switch (kind) {
    case ControlKind::TextBox:
    case ControlKind::ComboBox:
    case ControlKind::CheckBox:
    case ControlKind::OptionButton:
    case ControlKind::VScrollBar:
    case ControlKind::CommandButton: return true;
    default: return false;
    }
}

bool TakesText(const ControlRow& row)
{
    return (row.kind == ControlKind::TextBox && !row.readOnly) || row.kind == ControlKind::ComboBox;
}

} // namespace tallymark
