#pragma once
// The options that give a value of the settings file on the command line, for one send with
// --all: a script sets the count without writing the panel's file. Each value is checked by
// the rule of the panel's control it stands for.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "link/PanelSettings.h"

namespace tallymark::command {

struct SettingOptions {
    std::optional<std::string> dayCountText; // --days
    std::optional<bool> countUp; // --up, --down
    std::optional<std::string> brightnessText; // --brightness
    std::optional<std::int16_t> workStart, workEnd; // --work
    bool workOff = false; // --work-off
    std::string first; // the first of them given, to name it; empty when none is

    friend bool operator==(const SettingOptions&, const SettingOptions&) = default;
};

// Whether `name` ("--days") is one of these options, and whether it takes a value.
bool IsSettingOption(std::string_view name);
bool TakesValue(std::string_view name);

// Reads option `name` with its value (empty for the options without one) into `options`:
// why it is refused, or nothing when it is taken.
std::optional<std::string> ReadSettingOption(std::string_view name, const std::string& value, SettingOptions& options);

// The file's values with the options' in their place.
PanelSettings WithOptions(PanelSettings settings, const SettingOptions& options);

// The options' lines of --help.
std::string SettingOptionsUsage();

} // namespace tallymark::command
