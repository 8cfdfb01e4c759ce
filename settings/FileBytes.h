#pragma once
// Whole-file reads and one-step replacement of a file's content.

#include <string>
#include <string_view>

namespace tallymark {

enum class FileState {
    Missing, // no such file (or a path through something that is not a folder)
    Present, // a regular file, read completely
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
// Temporary files beside it that earlier saves were killed before removing are removed.
// Where no new file can be made beside an existing one but the file itself can be written
// (a folder closed to the user, the file opened up), the file is rewritten in place instead:
// flushed, then cut to the new length; only a crash during that rewrite can leave a mixture.
// False, with the old content in the file, when any step fails.
bool ReplaceFileBytes(const char* path, std::string_view bytes);

} // namespace tallymark
