#pragma once
// The working-time switch: a check box that can also hold the greyed state, which only a
// stored setting gives it. It does not change by itself: a click is reported, and the
// window's behaviour decides the next value.

#include <QCheckBox>

namespace tallymark {

class WorkTimeSwitch : public QCheckBox {
    Q_OBJECT
public:
    explicit WorkTimeSwitch(const QString& text, QWidget* parent = nullptr);

    // 0 not ticked, 1 ticked, 2 greyed.
    int value() const;
    // Emits no signal.
    void setValue(int value);

protected:
    void nextCheckState() override;
};

} // namespace tallymark
