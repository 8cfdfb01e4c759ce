#pragma once
// The rules of a working-time editor, kept apart from the widgets: how a minute of day is
// shown, and what a typed time becomes when its box loses the focus.

#include <optional>
#include <string>
#include <string_view>

#include "link/PanelSettings.h"

namespace tallymark {

// The spinner's arrows and arrow keys step by one minute, page moves by ten.
inline constexpr int ArrowStep = 1;
inline constexpr int PageStep = 10;

// What the operator does to a spinner. "Up" is toward its top end, where the day ends.
enum class SpinAction { ArrowUp, ArrowDown, PageUp, PageDown, Top, Bottom };

// A spinner is a scroll bar, whose position both toolkits count from the top end: 0 is
// 23:59, SpinnerLastPosition is 00:00. The same mapping gives the minute back.
inline constexpr int SpinnerLastPosition = LastMinuteOfDay - FirstMinuteOfDay;
constexpr int SpinnerPosition(int minuteOrPosition)
{
    return LastMinuteOfDay - minuteOrPosition;
}

// The minute of day a spinner shows after the action: at either end of the day it stays.
int MinuteAfter(int minute, SpinAction action);

// The working-time switch after the operator's click: a ticked box is cleared, any other
// (not ticked or greyed) is ticked. Only a stored setting greys it.
int NextSwitchValue(int value);

// "hh:mm" of a minute of day 0 to 1439, two digits each.
std::string TimeText(int minuteOfDay);

// The minute of day a typed text (UTF-8) stands for, or no value when the editor refuses it.
// Only the last five characters count, padded on the left with zeros; the hour is read from
// the first two of them and the minute from the last two, the middle one is not looked at.
// Characters other than ASCII digits, signs, '.', 'E' and blanks end a number.
std::optional<int> CommitTypedTime(std::string_view typed);

} // namespace tallymark
