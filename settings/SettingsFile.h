#pragma once
// The six operator settings in "Tallymark.ini" beside the program: read into the controls
// once at load, written from them at every close request.

#include <cstdint>
#include <functional>
#include <string>

#include "settings/ProfileStore.h"

namespace tallymark {

inline constexpr const char* SettingsFileName = "Tallymark.ini";

// What the settings need of the window. Texts are UTF-8. Each setter behaves as the
// control does when the program sets it, change handling included.
class SettingsControls {
public:
    virtual ~SettingsControls() = default;
    virtual std::int16_t WorkTimeEnable() const = 0; // ChkWEn value: 0, 1 or 2 (greyed)
    virtual void SetWorkTimeEnable(std::int16_t value) = 0;
    virtual std::int16_t StartWorkTime() const = 0; // VScSTime value, minute of day
    virtual void SetStartWorkTime(std::int16_t value) = 0;
    virtual std::int16_t EndWorkTime() const = 0; // VScETime value, minute of day
    virtual void SetEndWorkTime(std::int16_t value) = 0;
    virtual std::string DayCountText() const = 0; // TxtDJS text
    virtual void SetDayCountText(const std::string& text) = 0;
    virtual bool CountDown() const = 0; // OptDeD value; OptInD is its partner
    virtual void SetCountDown(bool down) = 0;
    virtual std::string BrightnessText() const = 0; // ComBright text
    virtual void SetBrightnessText(const std::string& text) = 0;
};

class SettingsFile {
public:
    // programDirectory gives the folder that holds the program, in the profile store's
    // bytes; it is asked anew for every key.
    SettingsFile(ProfileStore& store, std::function<std::string()> programDirectory);

    void LoadSettings(SettingsControls& controls);
    void SaveSettings(const SettingsControls& controls);

private:
    std::string FilePath() const;

    ProfileStore& store_;
    std::function<std::string()> programDirectory_;
};

// The folder that holds the running program, in the platform's narrow path bytes.
std::string ProgramDirectory();

} // namespace tallymark
