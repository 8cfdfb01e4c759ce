#pragma once
// Where the panel's "ports" folder lies on POSIX systems, by the program's rule for its files
// (os/ProgramFiles.h): beside the program where its user can write there (a build, a copy in
// the user's own folder), only there; installed where its user cannot write (/usr/bin), in
// the user's own folder for the panel, $XDG_CONFIG_HOME/tallymark (by default
// ~/.config/tallymark), where its Tallymark.ini goes too. The panel, tallymark-send and the
// virtual display all ask here, so that a display publishes its port where the panel looks.

#include <string>
#include <vector>

namespace tallymark {

// Where new entries go: programDirectory/ports when programDirectory can be written or is
// not there yet; otherwise the user's folder's ports, when the environment names a user
// folder. Empty for an empty programDirectory.
std::string PortsFolder(const std::string& programDirectory);

// Where a port's entry is looked for, first to last: the user's folder's ports when
// programDirectory cannot be written, so that the user's own entries come first as the
// user's own settings file does; then programDirectory/ports, where an administrator may
// have put entries for every user. Empty for an empty programDirectory.
std::vector<std::string> PortsFoldersToSearch(const std::string& programDirectory);

} // namespace tallymark
