#pragma once
// The folder that holds the running program, where it keeps its files (ProgramFiles.h).

#include <string>

namespace tallymark {

// The folder that holds the running program, in the platform's narrow path bytes.
std::string ProgramDirectory();

#ifndef _WIN32
// The running program's own path; empty where the system does not tell it.
std::string ExecutablePath();
#endif

#ifdef _WIN32
// A path in the ANSI code page, as the profile functions take it: its short form where the
// code page cannot spell the long one.
std::string AnsiPathOf(const std::wstring& path);
#endif

} // namespace tallymark
