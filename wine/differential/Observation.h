#pragma once
// What one call gave on each side, with what is needed to judge a disagreement.

#include <cstdint>
#include <optional>
#include <string>

#include "differential/ProfileCase.h"

namespace tallymark::differential {

// What a buffer is filled with before a call, so that the bytes the call wrote show.
inline constexpr char Guard = '\x7F';

struct Outcome {
    std::uint32_t count = 0; // what the call returns: the count, the number, or 1 or 0 for a write
    std::string buffer;      // the buffer afterwards and the guard bytes after it; empty for numbers and writes

    bool operator==(const Outcome&) const = default;
};

// Before the case's write, the write itself, and the reads after it.
enum class Phase { Before, Write, After };

struct Observation {
    Phase phase = Phase::Before;
    Query query;             // the read; for the write, not used
    std::uint32_t size = 0;  // the buffer's size
    std::string before;      // the file before the write
    std::string now;         // the portable store's file at the time of the call
    Outcome kernel32;
    Outcome portable;
    std::string whole;       // the portable store's whole answer (from a large buffer), for cuts
    std::optional<Write> write;  // the case's write, for the write and the reads after it
    bool writeRefused = false;   // the store refused that write as one that would not read back

    bool Agrees() const { return kernel32 == portable; }
};

} // namespace tallymark::differential
