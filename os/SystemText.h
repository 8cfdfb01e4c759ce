#pragma once
// What the system says, as the window's UTF-8 texts: its reason for a failure, and a path
// in its narrow bytes.

#include <string>

namespace tallymark {

// The system's own words for the error of the call that failed last on this thread (errno,
// GetLastError), in its language.
std::string LastErrorText();

// A path in the platform's narrow bytes (the ANSI code page on Windows) as UTF-8.
std::string PathText(const std::string& path);

} // namespace tallymark
