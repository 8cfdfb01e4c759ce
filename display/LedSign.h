#pragma once
// The virtual display's face: a day count in large digits made of single LEDs, and a strip
// with the running clock, the counting direction, the working window and the brightness,
// all lit at the brightness the display was given.

#include <QWidget>

#include <cstdint>

#include "display/DisplayModel.h"

struct SignState {
    std::uint16_t dayCount = 0;
    bool digitsLit = true;
    tallymark::TimeOfDay clock;
    bool countUp = true;
    tallymark::display::WorkTime work;
    double intensity = 1.0; // share of full light: DisplayModel::Intensity

    friend bool operator==(const SignState& a, const SignState& b)
    {
        return a.dayCount == b.dayCount && a.digitsLit == b.digitsLit && a.clock.hour == b.clock.hour
            && a.clock.minute == b.clock.minute && a.clock.second == b.clock.second && a.countUp == b.countUp
            && a.work == b.work && a.intensity == b.intensity;
    }
};

class LedSign : public QWidget {
    Q_OBJECT

public:
    explicit LedSign(QWidget* parent = nullptr);

    void setState(const SignState& state);
    const SignState& state() const { return m_state; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    SignState m_state;
};
