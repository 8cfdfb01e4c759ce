#pragma once
// A window for the send without a screen: it hands out fixed settings and a ComSele text,
// records what the send shows, and lets Qt's events through as the real window does.

#include <string>
#include <vector>

#include "link/SendOperation.h"

namespace tallymark::testing {

class HeadlessSendWindow : public SendWindow {
public:
    struct Message {
        std::string text;
        std::string title;
    };

    std::string comSele;
    PanelSettings settings;
    std::vector<Message> messages;
    std::vector<int> progressValues;
    int progressMin = 0;
    int progressMax = 100;
    int eventTurns = 0;

    std::string ComSeleText() const override { return comSele; }
    void ShowMessage(std::string_view text, std::string_view title) override;
    void SetProgressMax(int value) override { progressMax = value; }
    void SetProgressMin(int value) override { progressMin = value; }
    void SetProgressValue(int value) override { progressValues.push_back(value); }
    // Dispatches Qt's pending events; with none pending, waits about a millisecond for one.
    void DoEvents() override;
    PanelSettings CurrentSettings() const override { return settings; }
};

} // namespace tallymark::testing
