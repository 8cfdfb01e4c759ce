#include "link/LocalClock.h"

#include <cstdio>
#include <ctime>

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#endif

namespace tallymark {

namespace {

constexpr std::string_view Colon = ":";

bool IsSeparatorCharacter(char c)
{
    // ASCII punctuation only: a letter, a digit, a blank or a multi-byte character would
    // change the clock's width or read as part of a number.
    return c > ' ' && c < 0x7F && !(c >= '0' && c <= '9') && !(c >= 'A' && c <= 'Z') && !(c >= 'a' && c <= 'z');
}

std::string OneSeparator(std::string_view candidate)
{
    if (candidate.size() == 1 && IsSeparatorCharacter(candidate.front()))
        return std::string(candidate);
    return std::string(Colon);
}

} // namespace

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

std::string ClockText(const TimeOfDay& time, std::string_view separator)
{
    char text[16];
    std::snprintf(text, sizeof text, "%02d%.*s%02d%.*s%02d", time.hour, static_cast<int>(separator.size()),
                  separator.data(), time.minute, static_cast<int>(separator.size()), separator.data(), time.second);
    return text;
}

std::string TimeSeparatorIn(std::string_view formattedTime)
{
    std::size_t i = 0;
    while (i < formattedTime.size() && formattedTime[i] == ' ')
        ++i;
    const std::size_t digits = i;
    while (i < formattedTime.size() && formattedTime[i] >= '0' && formattedTime[i] <= '9')
        ++i;
    if (i == digits || i >= formattedTime.size())
        return std::string(Colon);
    // The character after the hour must stand alone: "1h02" or a multi-byte sign is no separator.
    const std::string_view next = formattedTime.substr(i, 1);
    const bool alone = i + 1 < formattedTime.size() && formattedTime[i + 1] >= '0' && formattedTime[i + 1] <= '9';
    return alone ? OneSeparator(next) : std::string(Colon);
}

std::string SystemTimeSeparator()
{
#ifdef _WIN32
    wchar_t separator[8] = {};
    const int length = ::GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_STIME, separator, 8);
    // The count includes the terminating NUL: exactly one character and its end.
    if (length != 2 || separator[0] >= 0x80)
        return std::string(Colon);
    return OneSeparator(std::string(1, static_cast<char>(separator[0])));
#else
    std::tm sample{};
    sample.tm_hour = 1;
    sample.tm_min = 2;
    sample.tm_sec = 3;
    char text[64];
    const std::size_t length = std::strftime(text, sizeof text, "%X", &sample);
    return TimeSeparatorIn(std::string_view(text, length));
#endif
}

} // namespace tallymark
