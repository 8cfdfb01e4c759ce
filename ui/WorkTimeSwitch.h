#pragma once
// The working-time switch: a check box that can also hold the greyed state, which only a
// stored setting gives it. The operator's click toggles between ticked and not ticked; a
// click on a greyed box ticks it, as a two-state box does with any state but ticked.

#include <QCheckBox>

namespace tallymark {

class WorkTimeSwitch : public QCheckBox {
    Q_OBJECT
public:
    explicit WorkTimeSwitch(const QString& text, QWidget* parent = nullptr);

    // 0 not ticked, 1 ticked, 2 greyed.
    int value() const;
    // Other values are refused and leave the box as it is.
    void setValue(int value);

protected:
    void nextCheckState() override;
};

} // namespace tallymark
