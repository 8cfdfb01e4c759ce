#pragma once
// Where "Tallymark.ini" lies, by the program's rule for its files (os/ProgramFiles.h):
//   - beside the program, where its user can make a file in its folder or may write the file
//     there in place: then only that file is read and saved, whatever the user's folder holds;
//   - otherwise the user's file is read when it is there, else the one beside the program,
//     and a save goes into the user's file, begun from the one beside the program so that its
//     other lines stay.
// Decided once, at the first use after the start, from the folder alone. A save that fails
// beside the program writes nowhere else: this copy would never read that other file, and
// another copy might take it for its own.

#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "settings/ProfileStore.h"

namespace tallymark {

inline constexpr const char* SettingsFileName = "Tallymark.ini";

// Where a save went.
enum class SavedTo {
    BesideProgram,
    PerUser,
    Nowhere, // the file stays as it was
    LeftLocked, // a read-only file beside the program, locked so by an administrator, left as it is
};

struct SaveOutcome {
    SavedTo where;
    std::string path; // the file written, or the one that could not be
    std::string reason; // the system's words, where it went nowhere (UTF-8)
};

class SettingsLocation {
public:
    // The folder that holds the program and the user's own folder for the file, in the
    // profile store's bytes, asked anew at every use; an empty user folder means there is
    // none, and the file always lies beside the program.
    SettingsLocation(std::function<std::string()> programDirectory, std::function<std::string()> userDirectory);

    std::string BesideProgram() const;
    std::string PerUser() const; // empty without a user folder
    std::string ReadPath() const;
    // The writes, as one change, into the file the rule above chooses.
    SaveOutcome Save(ProfileStore& store, std::span<const ProfileWrite> writes) const;

private:
    // Whether only the file beside the program counts; asked once.
    bool BesideOnly() const;

    std::function<std::string()> programDirectory_;
    std::function<std::string()> userDirectory_;
    mutable std::optional<bool> besideOnly_;
};

// A folder's path in the platform's narrow bytes (the ANSI code page on Windows) and a name,
// with one separator between them. The folder's last character, not its last byte, tells
// whether it ends in a separator already: in code page 932 the second byte of 表 or ソ is the
// byte of '\'. An empty folder is the working folder.
std::string JoinPath(std::string_view folder, std::string_view name);

} // namespace tallymark
