#pragma once
// Where "Tallymark.ini" lies. A program in a folder its user can write keeps the file beside
// itself, as a portable program does. Installed where its user cannot write (under
// C:\Program Files, in /usr/bin), it keeps the file in the user's own folder instead, as
// Windows's VirtualStore did for the original program:
//   - the file is read from the user's folder when it is there, otherwise from beside the
//     program;
//   - a save goes into the user's file when that is there; otherwise beside the program, and
//     where that cannot be written, into a new file in the user's folder that starts as the
//     one beside the program, so that its other lines stay.
// A save never goes beside the program while the user's file is there: the next start would
// read the user's file and lose it.

#include <functional>
#include <span>
#include <string>
#include <string_view>

#include "settings/ProfileStore.h"

namespace tallymark {

inline constexpr const char* SettingsFileName = "Tallymark.ini";

// Where a save went.
enum class SaveOutcome { BesideProgram, PerUser, NotSaved };

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
    std::function<std::string()> programDirectory_;
    std::function<std::string()> userDirectory_;
};

// A folder's path in the platform's narrow bytes (the ANSI code page on Windows) and a name,
// with one separator between them. The folder's last character, not its last byte, tells
// whether it ends in a separator already: in code page 932 the second byte of 表 or ソ is the
// byte of '\'. An empty folder is the working folder.
std::string JoinPath(std::string_view folder, std::string_view name);

} // namespace tallymark
