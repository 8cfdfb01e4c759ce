#pragma once
// The rules of a working-time editor, kept apart from the widgets: how a minute of day is
// shown, and what a typed time becomes when its box loses the focus.

#include <optional>
#include <string>
#include <string_view>

namespace tallymark {

inline constexpr int FirstMinuteOfDay = 0;
inline constexpr int LastMinuteOfDay = 23 * 60 + 59;

// "hh:mm" of a minute of day 0 to 1439, two digits each.
std::string TimeText(int minuteOfDay);

// The minute of day a typed text (UTF-8) stands for, or no value when the editor refuses it.
// Only the last five characters count, padded on the left with zeros; the hour is read from
// the first two of them and the minute from the last two, the middle one is not looked at.
// Characters other than ASCII digits, signs, '.', 'E' and blanks end a number.
std::optional<int> CommitTypedTime(std::string_view typed);

} // namespace tallymark
