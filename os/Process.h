#pragma once
// Other processes, as the panel's files name them: lock files of serial devices and the
// temporary files of saves hold the id of the process that made them, and count only while
// that process runs.

#include <cstdint>
#include <string>

namespace tallymark {

// Whether the process with this id runs, also where it is another user's. True whenever
// that cannot be told, so that nothing of a running process is ever taken for left over;
// false for an id no process can have.
bool ProcessRuns(std::int64_t id);

// The name of the running program with this id, as the system shows it in its process list;
// empty where the system does not tell.
std::string ProcessName(std::int64_t id);

// The name this process's user logs in with (UTF-8); empty when the system knows none.
std::string UserName();

} // namespace tallymark
