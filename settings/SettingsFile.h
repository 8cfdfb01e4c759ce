#pragma once
// The six operator settings in "Tallymark.ini" beside the program: read into the controls
// once at load, written from them at every close request.

#include <cstdint>
#include <functional>
#include <string>

#include "link/PanelSettings.h"
#include "settings/ProfileStore.h"

namespace tallymark {

inline constexpr const char* SettingsFileName = "Tallymark.ini";

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
    // programDirectory gives the folder that holds the program, in the profile store's
    // bytes; it is asked anew for every key.
    SettingsFile(ProfileStore& store, std::function<std::string()> programDirectory);

    void LoadSettings(SettingsHolder& holder);
    void SaveSettings(const SettingsHolder& holder);

private:
    std::string FilePath() const;

    ProfileStore& store_;
    std::function<std::string()> programDirectory_;
};

// The folder that holds the running program, in the platform's narrow path bytes.
std::string ProgramDirectory();

#ifdef _WIN32
// A path in the ANSI code page, as the profile functions take it: its short form where the
// code page cannot spell the long one.
std::string AnsiPathOf(const std::wstring& path);
#endif

} // namespace tallymark
