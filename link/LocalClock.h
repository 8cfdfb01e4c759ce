#pragma once
// Time of day as the panel reads it: from the local clock, or from a fixed clock in tests.

#include <functional>
#include <string>
#include <string_view>

namespace tallymark {

struct TimeOfDay {
    int hour = 0; // 0 to 23
    int minute = 0; // 0 to 59
    int second = 0; // 0 to 59; fractions are dropped
};

using Clock = std::function<TimeOfDay()>;

// The PC's local time of day.
TimeOfDay LocalTimeOfDay();

// "hh:mm:ss" on the 24-hour clock, two digits each, joined by `separator`. The update's
// clock bytes are read from the digits at fixed places, so it always uses the colon; the
// clock box uses the system's separator.
std::string ClockText(const TimeOfDay& time, std::string_view separator = ":");

// The separator the user's settings put between hours, minutes and seconds: the locale's
// time format on POSIX systems, LOCALE_STIME on Windows. Only a single punctuation
// character keeps the clock text eight characters long; anything else gives the colon.
std::string SystemTimeSeparator();

// The separator that follows the hour in a time of day as the system formats it
// ("01.02.03" gives "."); the colon where there is none.
std::string TimeSeparatorIn(std::string_view formattedTime);

} // namespace tallymark
