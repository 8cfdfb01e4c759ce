#pragma once
// Finds the updates in the bytes that arrive on the display's serial line.
//
// An update is the greeting "Hello" and the ten-byte record right behind it. The line has no
// framing of its own, so the reader goes by the greeting and by time: a sender writes an
// update in one go, and a pause of more than a few character times ends whatever was under
// way. Every byte that arrives ends up either in an update or in a rejected run.

#include <chrono>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <variant>
#include <vector>

#include "link/DisplayRecord.h"

namespace tallymark::display {

using Instant = std::chrono::steady_clock::time_point;
using Duration = std::chrono::steady_clock::duration;

// One character on a 9600-baud 8N1 line: start bit, eight data bits, stop bit.
inline constexpr Duration CharacterTime = std::chrono::microseconds(10'000'000 / 9600);

// The pause that ends an update on a line the reader sees byte by byte (a pseudo-terminal).
inline constexpr Duration DefaultPauseLimit = 5 * CharacterTime;

// USB serial adapters hand bytes over in bursts, by default every 16 ms; a pause shorter
// than that says nothing about the sender.
inline constexpr Duration UsbAdapterPauseLimit = std::chrono::milliseconds(40);

struct ReceivedUpdate {
    DisplayRecord record;
    Instant arrival; // when the last byte came
};

enum class RejectReason {
    Garbage, // bytes that do not begin a greeting
    CutGreeting, // the start of a greeting, broken off by another byte or a pause
    CutRecord, // a greeting and less than a whole record, broken off
    MalformedRecord, // a greeting and ten bytes that no panel sends
};

std::string_view RejectReasonName(RejectReason reason);

struct RejectedRun {
    RejectReason reason;
    std::vector<std::uint8_t> bytes;
    Instant arrival; // when the run was judged
};

using LineEvent = std::variant<ReceivedUpdate, RejectedRun>;

class UpdateReader {
public:
    explicit UpdateReader(Duration pauseLimit = DefaultPauseLimit);

    // Bytes that arrived together. A pause before them first closes what was under way.
    std::vector<LineEvent> Feed(std::span<const std::uint8_t> bytes, Instant arrival);

    // Closes what was under way when the line has been quiet for longer than the limit.
    std::vector<LineEvent> Idle(Instant now);

    // When Idle has something to close, if nothing arrives before then.
    std::optional<Instant> Deadline() const;

private:
    void Take(std::uint8_t byte, Instant arrival, std::vector<LineEvent>& events);
    void CompleteRecord(Instant arrival, std::vector<LineEvent>& events);
    void FlushGarbage(Instant arrival, std::vector<LineEvent>& events);
    void CloseAll(Instant arrival, std::vector<LineEvent>& events);

    Duration m_pauseLimit;
    std::optional<Instant> m_lastArrival;
    std::vector<std::uint8_t> m_garbage;
    std::vector<std::uint8_t> m_update; // the greeting so far, then the record so far
};

} // namespace tallymark::display
