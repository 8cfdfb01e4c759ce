#pragma once
// What the system says, as the window's UTF-8 text: its reason for a failure.

#include <string>

namespace tallymark {

// The system's own words for the error of the call that failed last on this thread (errno,
// GetLastError), in its language.
std::string LastErrorText();

#ifdef _WIN32
// The system's own words for Windows error `code`, without the line break they end in;
// empty when the system has none. In UTF-8, for the window.
std::string SystemErrorText(unsigned long code);
// The same in the ANSI code page, as the system's ANSI functions give them, for the serial
// component's errors.
std::string AnsiSystemErrorText(unsigned long code);
#endif

} // namespace tallymark
