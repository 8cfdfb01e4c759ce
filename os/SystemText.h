#pragma once
// What the system says, as the window's UTF-8 text: its reason for a failure.

#include <string>

namespace tallymark {

// The system's own words for the error of the call that failed last on this thread (errno,
// GetLastError), in its language.
std::string LastErrorText();

} // namespace tallymark
