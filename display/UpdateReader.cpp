#include "display/UpdateReader.h"

#include <algorithm>

#include "display/UpdateDecoder.h"

namespace tallymark::display {

namespace {

constexpr std::size_t UpdateSize = Greeting.size() + std::tuple_size_v<DisplayRecord>;

// A noisy line never pauses; its garbage is still reported in runs of bounded size.
constexpr std::size_t LongestGarbageRun = 256;

// Whether the bytes from `from` on begin a greeting, or are its start cut off by the end.
bool GreetingStartsAt(const std::vector<std::uint8_t>& bytes, std::size_t from)
{
    const std::size_t length = std::min(Greeting.size(), bytes.size() - from);
    return std::equal(bytes.begin() + from, bytes.begin() + from + length, Greeting.begin());
}

} // namespace

std::string_view RejectReasonName(RejectReason reason)
{
    switch (reason) {
    case RejectReason::Garbage: return "garbage";
    case RejectReason::CutGreeting: return "cut-greeting";
    case RejectReason::CutRecord: return "cut-record";
    case RejectReason::MalformedRecord: return "malformed-record";
    }
    return "unknown";
}

UpdateReader::UpdateReader(Duration pauseLimit) : m_pauseLimit(pauseLimit) { }

std::vector<LineEvent> UpdateReader::Feed(std::span<const std::uint8_t> bytes, Instant arrival)
{
    std::vector<LineEvent> events = Idle(arrival);
    for (const std::uint8_t byte : bytes)
        Take(byte, arrival, events);
    if (!bytes.empty())
        m_lastArrival = arrival;
    return events;
}

std::vector<LineEvent> UpdateReader::Idle(Instant now)
{
    std::vector<LineEvent> events;
    if (const auto deadline = Deadline(); deadline && now >= *deadline)
        CloseAll(now, events);
    return events;
}

std::optional<Instant> UpdateReader::Deadline() const
{
    if (!m_lastArrival || (m_garbage.empty() && m_update.empty()))
        return std::nullopt;
    // Only a pause longer than the limit ends an update.
    return *m_lastArrival + m_pauseLimit + Duration(1);
}

void UpdateReader::Take(std::uint8_t byte, Instant arrival, std::vector<LineEvent>& events)
{
    if (m_update.size() >= Greeting.size()) {
        m_update.push_back(byte);
        if (m_update.size() == UpdateSize)
            CompleteRecord(arrival, events);
        return;
    }

    if (byte == static_cast<std::uint8_t>(Greeting[m_update.size()])) {
        m_update.push_back(byte);
        if (m_update.size() == Greeting.size())
            FlushGarbage(arrival, events);
        return;
    }

    if (!m_update.empty()) {
        FlushGarbage(arrival, events);
        events.push_back(RejectedRun{RejectReason::CutGreeting, std::move(m_update), arrival});
        m_update.clear();
        // The byte that broke the greeting off may begin the next one.
        if (byte == static_cast<std::uint8_t>(Greeting.front())) {
            m_update.push_back(byte);
            return;
        }
    }
    m_garbage.push_back(byte);
    if (m_garbage.size() >= LongestGarbageRun)
        FlushGarbage(arrival, events);
}

void UpdateReader::CompleteRecord(Instant arrival, std::vector<LineEvent>& events)
{
    DisplayRecord record;
    std::copy(m_update.begin() + Greeting.size(), m_update.end(), record.begin());
    if (DecodeUpdate(record)) {
        events.push_back(ReceivedUpdate{record, arrival});
        m_update.clear();
        return;
    }

    // Ten bytes that are no record: most likely a record cut short by the next update, sent
    // without a pause. The greeting has no repeated letter, so the next one can only begin
    // inside the record.
    std::vector<std::uint8_t> bytes = std::move(m_update);
    m_update.clear();
    for (std::size_t from = Greeting.size(); from < bytes.size(); ++from) {
        if (GreetingStartsAt(bytes, from)) {
            events.push_back(RejectedRun{RejectReason::CutRecord, {bytes.begin(), bytes.begin() + from}, arrival});
            for (std::size_t i = from; i < bytes.size(); ++i)
                Take(bytes[i], arrival, events);
            return;
        }
    }
    events.push_back(RejectedRun{RejectReason::MalformedRecord, std::move(bytes), arrival});
}

void UpdateReader::FlushGarbage(Instant arrival, std::vector<LineEvent>& events)
{
    if (m_garbage.empty())
        return;
    events.push_back(RejectedRun{RejectReason::Garbage, std::move(m_garbage), arrival});
    m_garbage.clear();
}

void UpdateReader::CloseAll(Instant arrival, std::vector<LineEvent>& events)
{
    FlushGarbage(arrival, events);
    if (m_update.empty())
        return;
    const auto reason = m_update.size() < Greeting.size() ? RejectReason::CutGreeting : RejectReason::CutRecord;
    events.push_back(RejectedRun{reason, std::move(m_update), arrival});
    m_update.clear();
}

} // namespace tallymark::display
