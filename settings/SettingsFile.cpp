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
constexpr std::size_t DayCountMaxCharacters = 3; // TxtDJS's maximum length

constexpr std::int32_t LastMinuteOfDay = 1439;

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

void SettingsFile::LoadSettings(SettingsControls& controls)
{
    const auto readInteger = [this](const IntegerRow& row) {
        return static_cast<std::int32_t>(store_.GetInt(row.section, row.key, row.defaultValue, FilePath().c_str()));
    };

    controls.SetWorkTimeEnable(InRangeOr(readInteger(WorkTimeEnableRow), 0, 2, WorkTimeEnableRow));
    controls.SetStartWorkTime(InRangeOr(readInteger(StartWorkTimeRow), 0, LastMinuteOfDay, StartWorkTimeRow));
    controls.SetEndWorkTime(InRangeOr(readInteger(EndWorkTimeRow), 0, LastMinuteOfDay, EndWorkTimeRow));

    char buffer[DayCountBufferSize] = {};
    store_.GetString(DayCountSection, DayCountKey, DayCountDefault, buffer, DayCountBufferSize, FilePath().c_str());
    // The text ends at the first NUL, as a text box's does; a cut that split a double-byte
    // character drops its lone first byte.
    const char* end = std::find(buffer, buffer + DayCountBufferSize - 1, '\0');
    const std::string_view stored = WholeAnsiCharacters(std::string_view(buffer, static_cast<std::size_t>(end - buffer)));
    controls.SetDayCountText(std::string(FirstCharacters(AnsiToUtf8(stored), DayCountMaxCharacters)));

    controls.SetCountDown(readInteger(DownCountRow) == 1);
    controls.SetBrightnessText(std::to_string(readInteger(BrightRow)));
}

void SettingsFile::SaveSettings(const SettingsControls& controls)
{
    // A failed write leaves the file as it was; the window closes regardless.
    const auto write = [this](const char* section, const char* key, const std::string& text) {
        store_.WriteString(section, key, text.c_str(), FilePath().c_str());
    };

    write(WorkTimeEnableRow.section, WorkTimeEnableRow.key, std::to_string(controls.WorkTimeEnable()));
    write(StartWorkTimeRow.section, StartWorkTimeRow.key, std::to_string(controls.StartWorkTime()));
    write(EndWorkTimeRow.section, EndWorkTimeRow.key, std::to_string(controls.EndWorkTime()));
    write(DayCountSection, DayCountKey, Utf8ToAnsi(controls.DayCountText()));
    write(DownCountRow.section, DownCountRow.key, controls.CountDown() ? "1" : "0");
    write(BrightRow.section, BrightRow.key, Utf8ToAnsi(controls.BrightnessText()));
}

} // namespace tallymark
