#include "settings/SettingsFile.h"

#include <algorithm>
#include <utility>

#include "settings/AnsiCodePage.h"

namespace tallymark {
namespace {

#ifdef _WIN32
constexpr char PathSeparator = '\\';
#else
constexpr char PathSeparator = '/';
#endif

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

SettingsFile::SettingsFile(ProfileStore& store, std::function<std::string()> programDirectory)
    : store_(store), programDirectory_(std::move(programDirectory))
{
}

std::string SettingsFile::FilePath() const
{
    std::string path = programDirectory_();
    // A bare file name would send the Windows functions to the Windows folder.
    if (path.empty())
        path.push_back('.');
    if (path.back() != PathSeparator && path.back() != '/')
        path += PathSeparator;
    return path + SettingsFileName;
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
        return static_cast<std::int32_t>(store_.GetInt(row.section, row.key, row.defaultValue, FilePath().c_str()));
    };
    // Each value is read once and handed on before the next key is read.
    PanelSettings values;
    values.workTimeSwitch = InRangeOr(readInteger(WorkTimeEnableRow), 0, 2, WorkTimeEnableRow);
    holder.Put(Setting::WorkTimeEnable, values);
    values.workStart = InRangeOr(readInteger(StartWorkTimeRow), FirstMinuteOfDay, LastMinuteOfDay, StartWorkTimeRow);
    holder.Put(Setting::StartWorkTime, values);
    values.workEnd = InRangeOr(readInteger(EndWorkTimeRow), FirstMinuteOfDay, LastMinuteOfDay, EndWorkTimeRow);
    holder.Put(Setting::EndWorkTime, values);

    char buffer[DayCountBufferSize] = {};
    store_.GetString(DayCountSection, DayCountKey, DayCountDefault, buffer, DayCountBufferSize, FilePath().c_str());
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

void SettingsFile::SaveSettings(const SettingsHolder& holder)
{
    // A failed write leaves the file as it was; the window closes regardless.
    const auto write = [this](const char* section, const char* key, const std::string& text) {
        store_.WriteString(section, key, text.c_str(), FilePath().c_str());
    };
    const PanelSettings values = holder.Settings();

    write(WorkTimeEnableRow.section, WorkTimeEnableRow.key, std::to_string(values.workTimeSwitch));
    write(StartWorkTimeRow.section, StartWorkTimeRow.key, std::to_string(values.workStart));
    write(EndWorkTimeRow.section, EndWorkTimeRow.key, std::to_string(values.workEnd));
    write(DayCountSection, DayCountKey, Utf8ToAnsi(values.dayCountText));
    write(DownCountRow.section, DownCountRow.key, values.countUp ? "0" : "1");
    write(BrightRow.section, BrightRow.key, Utf8ToAnsi(values.brightnessText));
}

} // namespace tallymark
