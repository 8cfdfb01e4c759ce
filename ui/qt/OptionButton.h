#pragma once
// One button of the option pair. It neither changes by itself nor clears its partner: a
// click is reported, and the window's behaviour selects one button and clears the other.

#include <QRadioButton>

namespace tallymark {

class OptionButton : public QRadioButton {
    Q_OBJECT
public:
    explicit OptionButton(const QString& text, QWidget* parent = nullptr);

    // Emits no signal.
    void setSelected(bool selected);

protected:
    void nextCheckState() override;
};

} // namespace tallymark
