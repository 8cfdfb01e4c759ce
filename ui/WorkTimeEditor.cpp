#include "ui/WorkTimeEditor.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "link/Numbers.h"
#include "settings/Characters.h"

namespace tallymark {

namespace {

// Splits UTF-8 text into its characters, each kept as its own bytes, so that a full-width
// character typed through an input method counts once, as the text box counts it.
std::vector<std::string_view> Characters(std::string_view text)
{
    std::vector<std::string_view> characters;
    std::size_t i = 0;
    while (i < text.size()) {
        const std::size_t length = Utf8CharacterSize(text.substr(i));
        characters.push_back(text.substr(i, length));
        i += length;
    }
    return characters;
}

std::optional<double> SliceValue(std::string_view first, std::string_view second)
{
    std::string slice(first);
    slice.append(second);
    return LeadingNumber(slice);
}

} // namespace

std::string TimeText(int minuteOfDay)
{
    const int hour = minuteOfDay / 60;
    const int minute = minuteOfDay % 60;
    std::string text;
    text.push_back(static_cast<char>('0' + hour / 10 % 10));
    text.push_back(static_cast<char>('0' + hour % 10));
    text.push_back(':');
    text.push_back(static_cast<char>('0' + minute / 10));
    text.push_back(static_cast<char>('0' + minute % 10));
    return text;
}

int MinuteAfter(int minute, SpinAction action)
{
    int after = minute;
    switch (action) {
    case SpinAction::ArrowUp: after = minute + ArrowStep; break;
    case SpinAction::ArrowDown: after = minute - ArrowStep; break;
    case SpinAction::PageUp: after = minute + PageStep; break;
    case SpinAction::PageDown: after = minute - PageStep; break;
    case SpinAction::Top: after = LastMinuteOfDay; break;
    case SpinAction::Bottom: after = FirstMinuteOfDay; break;
    }
    return std::clamp(after, FirstMinuteOfDay, LastMinuteOfDay);
}

int NextSwitchValue(int value)
{
    return value == 1 ? 0 : 1;
}

std::optional<int> CommitTypedTime(std::string_view typed)
{
    std::vector<std::string_view> s = Characters(typed);
    if (s.size() > 5)
        s.erase(s.begin(), s.end() - 5);
    while (s.size() < 5)
        s.insert(s.begin(), "0");

    const std::optional<double> hour = SliceValue(s[0], s[1]);
    const std::optional<double> minute = SliceValue(s[3], s[4]);
    // Two characters never hold a number beyond a double's range, but refuse rather than guess.
    if (!hour || !minute)
        return std::nullopt;
    if (*hour < 0 || *hour > 23 || *minute < 0 || *minute > 59)
        return std::nullopt;
    return static_cast<int>(RoundHalfEven(*hour * 60.0 + *minute));
}

} // namespace tallymark
