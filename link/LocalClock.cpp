#include "link/LocalClock.h"

#include <cstdio>
#include <ctime>

namespace tallymark {

TimeOfDay LocalTimeOfDay()
{
    const std::time_t now = std::time(nullptr);
    std::tm local{};
#ifdef _WIN32
    localtime_s(&local, &now);
#else
    localtime_r(&now, &local);
#endif
    // A leap second shows as :59, so that the text and the BCD byte stay in range.
    return {local.tm_hour, local.tm_min, local.tm_sec > 59 ? 59 : local.tm_sec};
}

std::string ClockText(const TimeOfDay& time)
{
    char text[16];
    std::snprintf(text, sizeof text, "%02d:%02d:%02d", time.hour, time.minute, time.second);
    return text;
}

} // namespace tallymark
