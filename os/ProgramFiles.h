#pragma once
// Where the program keeps its files, its settings file and its ports folder alike. Beside
// itself where its user can write there, as a copy in a folder of its own or on a USB stick
// can: there it uses only its own files, whatever the user's folder holds, so that copying
// the folder takes them along and two copies never mix their files. In the user's own folder
// (UserFolder.h) only where its user cannot write beside it, as under C:\Program Files or in
// /usr/bin. Asked at each start, of the folder itself: what a save did moves nothing.

#include <string>

namespace tallymark {

// Whether the program keeps its files beside itself: a new file can be made in
// programDirectory, or programDirectory is not there yet (whoever puts the first file in
// makes it), or `ownFile`, when given, is a file there that the user may write in place
// although the folder is closed (an administrator's file, shared by every user).
bool KeepsFilesBesideProgram(const std::string& programDirectory, const std::string& ownFile = {});

} // namespace tallymark
