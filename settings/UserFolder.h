#pragma once
// The user's own folder for the panel's settings, and the few file-system questions the
// choice between it and the program's folder needs.

#include <string>

namespace tallymark {

// %LOCALAPPDATA%\Tallymark on Windows; $XDG_CONFIG_HOME/tallymark elsewhere, by default
// ~/.config/tallymark. In the platform's narrow bytes (the ANSI code page on Windows, short
// names where it cannot spell the long ones); empty where the environment names no such place.
std::string UserSettingsDirectory();

// Whether anything at all is there under the path.
bool PathExists(const std::string& path);

// Makes the folder and the missing folders above it (on POSIX systems for the user alone);
// true when it is there afterwards.
bool MakeFolders(const std::string& folder);

} // namespace tallymark
