#include "settings/SettingsFile.h"

#include <algorithm>
#include <utility>

#include "settings/AnsiCodePage.h"
#include "settings/Characters.h"

namespace tallymark {
namespace {

struct IntegerRow {
    const char* section;
    const char* key;
    int defaultValue;
};

constexpr IntegerRow WorkTimeEnableRow{"WorkTime", "WorkTimeEnable", 0};
constexpr IntegerRow StartWorkTimeRow{"WorkTime", "StartWorkTime", 450};
constexpr IntegerRow EndWorkTimeRow{"WorkTime", "EndWorkTime", 1200};
constexpr IntegerRow DownCountRow{"Tallymarks", "DownCount", 1};
constexpr IntegerRow BrightRow{"Bright", "Bright", 5};

constexpr const char* DayCountSection = "Tallymarks";
constexpr const char* DayCountKey = "DDD";
constexpr const char* DayCountDefault = "168";
constexpr std::uint32_t DayCountBufferSize = 10;

// A stored value the control cannot hold counts as missing, so that a damaged file falls
// back on the default instead of stopping the start-up.
std::int16_t InRangeOr(std::int32_t value, std::int32_t lowest, std::int32_t highest, const IntegerRow& row)
{
    return static_cast<std::int16_t>(value >= lowest && value <= highest ? value : row.defaultValue);
}

} // namespace

SettingsFile::SettingsFile(ProfileStore& store, std::function<std::string()> programDirectory,
                           std::function<std::string()> userDirectory)
    : store_(store), location_(std::move(programDirectory), std::move(userDirectory))
{
}

void StoredSettings::Put(Setting which, const PanelSettings& from)
{
    switch (which) {
    case Setting::WorkTimeEnable: values.workTimeSwitch = from.workTimeSwitch; break;
    case Setting::StartWorkTime: values.workStart = from.workStart; break;
    case Setting::EndWorkTime: values.workEnd = from.workEnd; break;
    case Setting::DayCount: values.dayCountText = from.dayCountText; break;
    case Setting::DownCount: values.countUp = from.countUp; break;
    case Setting::Bright: values.brightnessText = from.brightnessText; break;
    }
}

void SettingsFile::LoadSettings(SettingsHolder& holder)
{
    const auto readInteger = [this](const IntegerRow& row) {
        return static_cast<std::int32_t>(
            store_.GetInt(row.section, row.key, row.defaultValue, location_.ReadPath().c_str()));
    };
    // Each value is read once and handed on before the next key is read.
    PanelSettings values;
    values.workTimeSwitch
        = InRangeOr(readInteger(WorkTimeEnableRow), LowestSwitchValue, HighestSwitchValue, WorkTimeEnableRow);
    holder.Put(Setting::WorkTimeEnable, values);
    values.workStart = InRangeOr(readInteger(StartWorkTimeRow), FirstMinuteOfDay, LastMinuteOfDay, StartWorkTimeRow);
    holder.Put(Setting::StartWorkTime, values);
    values.workEnd = InRangeOr(readInteger(EndWorkTimeRow), FirstMinuteOfDay, LastMinuteOfDay, EndWorkTimeRow);
    holder.Put(Setting::EndWorkTime, values);

    char buffer[DayCountBufferSize] = {};
    store_.GetString(DayCountSection, DayCountKey, DayCountDefault, buffer, DayCountBufferSize,
                     location_.ReadPath().c_str());
    // The text ends at the first NUL, as a text box's does; a cut that split a double-byte
    // character drops its lone first byte.
    const char* end = std::find(buffer, buffer + DayCountBufferSize - 1, '\0');
    const std::string_view stored
        = WholeAnsiCharacters(std::string_view(buffer, static_cast<std::size_t>(end - buffer)));
    values.dayCountText = std::string(FirstCharacters(AnsiToUtf8(stored), DayCountMaxLength));
    holder.Put(Setting::DayCount, values);

    values.countUp = readInteger(DownCountRow) != 1;
    holder.Put(Setting::DownCount, values);
    values.brightnessText = std::to_string(readInteger(BrightRow));
    holder.Put(Setting::Bright, values);
}

SaveOutcome SettingsFile::SaveSettings(const SettingsHolder& holder)
{
    const PanelSettings values = holder.Settings();
    const std::string texts[] = {
        std::to_string(values.workTimeSwitch), std::to_string(values.workStart), std::to_string(values.workEnd),
        Utf8ToAnsi(values.dayCountText),       values.countUp ? "0" : "1",       Utf8ToAnsi(values.brightnessText),
    };
    const ProfileWrite rows[] = {
        {WorkTimeEnableRow.section, WorkTimeEnableRow.key, texts[0].c_str()},
        {StartWorkTimeRow.section, StartWorkTimeRow.key, texts[1].c_str()},
        {EndWorkTimeRow.section, EndWorkTimeRow.key, texts[2].c_str()},
        {DayCountSection, DayCountKey, texts[3].c_str()},
        {DownCountRow.section, DownCountRow.key, texts[4].c_str()},
        {BrightRow.section, BrightRow.key, texts[5].c_str()},
    };
    // A failed save leaves the file as it was; the window tells the operator and closes.
    return location_.Save(store_, rows);
}

} // namespace tallymark
