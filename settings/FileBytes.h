#pragma once
// Whole-file reads and one-step replacement of a file's content.

#include <string>
#include <string_view>

namespace tallymark {

enum class FileState {
    Missing,    // no such file (or a path through something that is not a folder)
    Present,    // a regular file, read completely
    Unreadable, // something is there but cannot be read as a file: a folder, a device, no access
};

struct FileBytes {
    FileState state = FileState::Missing;
    std::string bytes;
};

FileBytes ReadFileBytes(const char* path);

// Writes bytes to a new file in the same folder, flushes it to the disk and renames it over
// path, so that path holds the old content or the new one and never anything between. An
// existing file's permissions carry over; a symbolic link is followed and stays a link.
// False, with the old file as it was, when any step fails.
bool ReplaceFileBytes(const char* path, std::string_view bytes);

} // namespace tallymark
