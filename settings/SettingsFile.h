#pragma once
// The six operator settings in "Tallymark.ini" (beside the program, or in the user's own
// folder: SettingsLocation): read into the controls once at load, written from them at every
// close request.

#include <cstdint>
#include <functional>
#include <string>

#include "link/PanelSettings.h"
#include "settings/ProfileStore.h"
#include "settings/SettingsLocation.h"

namespace tallymark {

// The six settings, in the order in which the file holds them and the load reads them.
enum class Setting { WorkTimeEnable, StartWorkTime, EndWorkTime, DayCount, DownCount, Bright };

// Where the six settings live: the window's controls, or a plain holder. Texts are UTF-8.
class SettingsHolder {
public:
    virtual ~SettingsHolder() = default;

    // The six values as they stand now.
    virtual PanelSettings Settings() const = 0;

    // Gives one setting the value it has in `values`, as its control takes a value the
    // program sets, change handling included. The load puts each value before it reads the
    // next key, in the order of Setting.
    virtual void Put(Setting which, const PanelSettings& values) = 0;
};

// The six values without a window, for programs that only read the file.
class StoredSettings final : public SettingsHolder {
public:
    PanelSettings values;

    PanelSettings Settings() const override { return values; }
    void Put(Setting which, const PanelSettings& from) override;
};

class SettingsFile {
public:
    // programDirectory gives the folder that holds the program, userDirectory the user's own
    // folder for the file (none when empty or not given), in the profile store's bytes. The
    // load asks for them anew for every key, the save once.
    SettingsFile(ProfileStore& store, std::function<std::string()> programDirectory,
                 std::function<std::string()> userDirectory = {});

    void LoadSettings(SettingsHolder& holder);
    // The six rows in their order, written as one change of the file.
    SaveOutcome SaveSettings(const SettingsHolder& holder);

private:
    ProfileStore& store_;
    SettingsLocation location_;
};

} // namespace tallymark
