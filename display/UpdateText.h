#pragma once
// How the display writes what it received: one log line per update or rejected run, and a
// byte-by-byte account of an update for the window.

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "display/UpdateDecoder.h"
#include "display/UpdateReader.h"
#include "link/UpdateBytes.h"

namespace tallymark::display {

// "hh:mm" for a minute of day; hours beyond 23 are written as they are.
std::string MinuteText(MinuteOfDay minute);

// update time=13:45:09 count=999 direction=down brightness=5 code=3 work=on start=07:00
// end=19:00 hex=48 65 6C 6C 6F 09 45 13 03 E7 03 87 00 13 00
// count=keep when the record carries the marker. The fields come first and the bytes last,
// so a script can split the line on blanks and '='.
std::string UpdateLine(const DisplayRecord& record);

// rejected reason=cut-record length=9 hex=48 65 6C 6C 6F 09 45 13 03
std::string RejectedLine(const RejectedRun& run);

struct ByteMeaning {
    std::string hex; // one byte, or the five greeting bytes together
    std::string meaning;
};

// The fifteen bytes of an update in line order, with what each one says.
std::vector<ByteMeaning> DescribeUpdate(const DisplayRecord& record);

} // namespace tallymark::display
