#include "display/DisplayModel.h"

#include <algorithm>

namespace tallymark::display {

namespace {

using namespace std::chrono_literals;
constexpr std::chrono::milliseconds Day = 24h;

std::chrono::milliseconds SinceMidnight(const TimeOfDay& time)
{
    return std::chrono::hours(time.hour) + std::chrono::minutes(time.minute) + std::chrono::seconds(time.second);
}

} // namespace

bool WorkTime::Contains(MinuteOfDay minute) const
{
    if (start <= end)
        return minute >= start && minute < end;
    return minute >= start || minute < end;
}

DisplayModel::DisplayModel(TimeOfDay clock, Instant now) : m_sinceMidnight(SinceMidnight(clock)), m_reference(now) { }

void DisplayModel::Apply(const DisplayUpdate& update, Instant at)
{
    AdvanceTo(at);
    // The update's clock was read when it was sent, so it holds from its arrival on.
    m_sinceMidnight = SinceMidnight(update.clock);
    m_reference = at;
    if (update.dayCount)
        m_dayCount = *update.dayCount;
    m_countUp = update.countUp;
    m_brightnessCode = std::min<int>(update.brightnessCode, DimmestCode);
    m_work = {update.workTimeOn, update.workStart, update.workEnd};
}

void DisplayModel::AdvanceTo(Instant now)
{
    if (now <= m_reference)
        return;
    const auto total = m_sinceMidnight + std::chrono::duration_cast<std::chrono::milliseconds>(now - m_reference);
    // Only whole milliseconds are taken over; the rest stays in the next step.
    m_reference += std::chrono::duration_cast<std::chrono::milliseconds>(now - m_reference);
    const long long midnights = total / Day;
    m_sinceMidnight = total % Day;
    if (m_countUp)
        m_dayCount = static_cast<std::uint16_t>(std::min<long long>(HighestCount, m_dayCount + midnights));
    else
        m_dayCount = static_cast<std::uint16_t>(std::max<long long>(0, m_dayCount - midnights));
}

TimeOfDay DisplayModel::Clock() const
{
    const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(m_sinceMidnight).count();
    return {static_cast<int>(seconds / 3600), static_cast<int>(seconds / 60 % 60), static_cast<int>(seconds % 60)};
}

std::chrono::milliseconds DisplayModel::UntilNextSecond() const
{
    return 1000ms - m_sinceMidnight % 1000ms;
}

double DisplayModel::Intensity() const
{
    return (8 - m_brightnessCode) / 8.0;
}

bool DisplayModel::DigitsLit() const
{
    if (!m_work.on)
        return true;
    const TimeOfDay clock = Clock();
    return m_work.Contains(clock.hour * 60 + clock.minute);
}

} // namespace tallymark::display
