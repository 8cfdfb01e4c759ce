#pragma once
// Other processes, as the panel's files name them: lock files of serial devices and the
// temporary files of saves hold the id of the process that made them, and count only while
// that process runs.

#include <cstdint>

namespace tallymark {

// Whether the process with this id runs, also where it is another user's. True whenever
// that cannot be told, so that nothing of a running process is ever taken for left over;
// false for an id no process can have.
bool ProcessRuns(std::int64_t id);

} // namespace tallymark
