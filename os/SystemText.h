#pragma once
// What the system says, as the window's UTF-8 text: its reason for a failure.

#include <string>

namespace tallymark {

// The system's own words for the error of the call that failed last on this thread (errno,
// GetLastError), in its language.
std::string LastErrorText();

#ifdef _WIN32
// The system's own words for Windows error `code`, without the line break they end in, in
// code page `codePage` (UTF-8 for the window, the ANSI code page for a console); empty when
// the system has none.
std::string SystemErrorText(unsigned long code, unsigned codePage);
#endif

} // namespace tallymark
