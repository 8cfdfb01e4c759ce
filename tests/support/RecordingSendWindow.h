#pragma once
// The send's window without a screen, for every test of the send on every platform: it
// hands out a ComSele text and settings, records the progress bar, and
// runs the test's own stand-in for the window's events at every turn of the drain wait.

#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "link/SendOperation.h"

namespace tallymark::testing {

class RecordingSendWindow final : public SendWindow {
public:
    std::string comSele = "COM1";
    PanelSettings settings{"999", false, "5", 1, 420, 1140};
    std::vector<std::string> progress; // "Max=2", "Min=0", "Value=1", ...
    int eventTurns = 0;
    bool refuseProgress = false;       // the progress bar refuses every value
    std::function<void()> onDoEvents;  // what happens while the send waits

    std::string ComSeleText() const override { return comSele; }
    void SetProgressMax(int value) override { Progress("Max", value); }
    void SetProgressMin(int value) override { Progress("Min", value); }
    void SetProgressValue(int value) override { Progress("Value", value); }
    void DoEvents() override
    {
        ++eventTurns;
        if (onDoEvents)
            onDoEvents();
    }
    PanelSettings CurrentSettings() const override { return settings; }

    // The progress bar's values in order, without its range.
    std::vector<int> ProgressValues() const
    {
        std::vector<int> values;
        for (const std::string& step : progress)
            if (step.rfind("Value=", 0) == 0)
                values.push_back(std::stoi(step.substr(6)));
        return values;
    }

private:
    void Progress(const char* what, int value)
    {
        if (refuseProgress)
            throw std::runtime_error("progress bar refused");
        progress.push_back(std::string(what) + "=" + std::to_string(value));
    }
};

} // namespace tallymark::testing
