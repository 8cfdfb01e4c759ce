#pragma once
// Time of day as the panel reads it: from the local clock, or from a fixed clock in tests.

#include <functional>
#include <string>

namespace tallymark {

struct TimeOfDay {
    int hour = 0;   // 0 to 23
    int minute = 0; // 0 to 59
    int second = 0; // 0 to 59; fractions are dropped
};

using Clock = std::function<TimeOfDay()>;

// The PC's local time of day.
TimeOfDay LocalTimeOfDay();

// "hh:mm:ss" on the 24-hour clock, two digits each, as the clock box shows it and as the
// update's clock bytes are read from.
std::string ClockText(const TimeOfDay& time);

} // namespace tallymark
