#pragma once
// The user's own folder for the panel's files, and the few file-system questions the choice
// between it and the program's folder needs (ProgramFiles.h).

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

// Whether this user can make a new file in the folder now. On Windows a folder's attributes
// and its owner say nothing of that, so a file is made there and goes again at once.
bool CanMakeFilesIn(const std::string& folder);

// Whether this user may write the file itself, where it is a file.
bool CanWriteInPlace(const std::string& file);

// Whether the file carries Windows's read-only attribute, which a save respects: an
// administrator may have locked the file so. Always false where files have no such mark.
bool IsReadOnlyFile(const std::string& file);

} // namespace tallymark
