#pragma once
// The display's behaviour between updates: a clock of its own that runs on from the time it
// was given, a day count that steps at each midnight of that clock, the working-time window
// that lights the digits, and the brightness.

#include <chrono>
#include <cstdint>

#include "display/UpdateDecoder.h"
#include "display/UpdateReader.h"

namespace tallymark::display {

struct WorkTime {
    bool on = false;
    MinuteOfDay start = 0;
    MinuteOfDay end = 0;

    // Lit from the start minute up to, not including, the end minute; a start later than the
    // end runs across midnight, and a start equal to the end never lights.
    bool Contains(MinuteOfDay minute) const;

    friend bool operator==(const WorkTime&, const WorkTime&) = default;
};

class DisplayModel {
public:
    static constexpr std::uint16_t HighestCount = 0xFFFF; // the most a record can carry
    static constexpr int DimmestCode = 7;

    // The state at power-on: the clock as the display's own clock chip holds it, count 0,
    // counting up, brightest, working time off.
    DisplayModel(TimeOfDay clock, Instant now);

    // Runs the clock on to `now` first, so that midnights before the update still count.
    void Apply(const DisplayUpdate& update, Instant at);

    // Runs the clock on; each midnight it passes steps the count by the direction. Setting
    // the clock by an update is no midnight, even when it moves the clock past one.
    void AdvanceTo(Instant now);

    TimeOfDay Clock() const;
    std::chrono::milliseconds UntilNextSecond() const;
    std::uint16_t DayCount() const { return m_dayCount; }
    bool CountsUp() const { return m_countUp; }
    int BrightnessCode() const { return m_brightnessCode; }
    // Share of full light, in eight equal steps: code 0 gives 1, code 7 gives 1/8.
    double Intensity() const;
    const WorkTime& Work() const { return m_work; }
    // Whether the count's digits are lit at the clock's current minute.
    bool DigitsLit() const;

private:
    std::chrono::milliseconds m_sinceMidnight;
    Instant m_reference;
    std::uint16_t m_dayCount = 0;
    bool m_countUp = true;
    int m_brightnessCode = 0;
    WorkTime m_work;
};

} // namespace tallymark::display
