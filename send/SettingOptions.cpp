#include "send/SettingOptions.h"

#include <algorithm>

#include "settings/Characters.h"
#include "ui/Controls.h"
#include "ui/WorkTimeEditor.h"

namespace tallymark::command {

namespace {

struct SettingOption {
    std::string_view name;
    std::string_view value; // how --help names the value; empty for none
    std::string_view help;
};

constexpr SettingOption Table[] = {
    {"--days", "N", "the day count: up to three characters, as the panel's box"},
    {"--up", "", "count up"},
    {"--down", "", "count down"},
    {"--brightness", "B", "the brightness, 1 to 8"},
    {"--work", "HH:MM-HH:MM", "the working time's start and end; it is switched on"},
    {"--work-off", "", "the working time switched off; its times stay"},
};

std::string Quoted(std::string_view text)
{
    return "\"" + std::string(text) + "\"";
}

// "hh:mm", two digits each; the editor's rule decides what time it is.
std::optional<std::int16_t> MinuteOfDay(std::string_view text)
{
    const auto digit = [&](std::size_t i) { return text[i] >= '0' && text[i] <= '9'; };
    if (text.size() != 5 || text[2] != ':' || !digit(0) || !digit(1) || !digit(3) || !digit(4))
        return std::nullopt;
    const auto minute = CommitTypedTime(text);
    if (!minute)
        return std::nullopt;
    return static_cast<std::int16_t>(*minute);
}

std::optional<std::string> ReadWorkTime(const std::string& value, SettingOptions& options)
{
    const std::size_t dash = value.find('-');
    const auto start = MinuteOfDay(std::string_view(value).substr(0, dash));
    const auto end = dash == std::string::npos ? std::nullopt : MinuteOfDay(std::string_view(value).substr(dash + 1));
    if (!start || !end)
        return "--work " + Quoted(value) + " is not a working time HH:MM-HH:MM within 00:00 to 23:59";
    options.workStart = start;
    options.workEnd = end;
    return std::nullopt;
}

} // namespace

bool IsSettingOption(std::string_view name)
{
    return std::ranges::any_of(Table, [&](const SettingOption& o) { return o.name == name; });
}

bool TakesValue(std::string_view name)
{
    return std::ranges::any_of(Table, [&](const SettingOption& o) { return o.name == name && !o.value.empty(); });
}

std::optional<std::string> ReadSettingOption(std::string_view name, const std::string& value, SettingOptions& options)
{
    if (options.first.empty())
        options.first = name;
    const bool up = name == "--up";
    if (up || name == "--down") {
        if (options.countUp == !up)
            return std::string("--up and --down do not go together");
        if (options.countUp)
            return Quoted(name) + " is given twice";
        options.countUp = up;
        return std::nullopt;
    }
    const bool given = name == "--days"       ? options.dayCountText.has_value()
                     : name == "--brightness" ? options.brightnessText.has_value()
                     : name == "--work"       ? options.workStart.has_value()
                                              : options.workOff;
    if (given)
        return Quoted(name) + " is given twice";
    if (name == "--days") {
        // What the panel's box holds: one line of up to its length.
        const bool oneLine = std::ranges::none_of(value, [](char c) { return c == '\r' || c == '\n'; });
        if (value.empty() || !oneLine || FirstCharacters(value, DayCountMaxLength).size() != value.size())
            return "--days " + Quoted(value) + " is not a day count of one to three characters";
        options.dayCountText = value;
    } else if (name == "--brightness") {
        const auto items = RowOf(Control::ComBright).items;
        if (std::ranges::find(items, std::string_view(value)) == items.end())
            return "--brightness " + Quoted(value) + " is not one of 1 to 8";
        options.brightnessText = value;
    } else if (name == "--work") {
        return ReadWorkTime(value, options);
    } else {
        options.workOff = true;
    }
    return std::nullopt;
}

PanelSettings WithOptions(PanelSettings settings, const SettingOptions& options)
{
    settings.dayCountText = options.dayCountText.value_or(settings.dayCountText);
    settings.countUp = options.countUp.value_or(settings.countUp);
    settings.brightnessText = options.brightnessText.value_or(settings.brightnessText);
    settings.workStart = options.workStart.value_or(settings.workStart);
    settings.workEnd = options.workEnd.value_or(settings.workEnd);
    if (options.workStart)
        settings.workTimeSwitch = 1;
    if (options.workOff)
        settings.workTimeSwitch = 0;
    return settings;
}

std::string SettingOptionsUsage()
{
    std::string usage;
    for (const SettingOption& o : Table) {
        std::string head = "  " + std::string(o.name) + (o.value.empty() ? "" : " " + std::string(o.value));
        head.resize(std::max<std::size_t>(head.size() + 1, 22), ' ');
        usage += head + std::string(o.help) + "\n";
    }
    return usage;
}

} // namespace tallymark::command
