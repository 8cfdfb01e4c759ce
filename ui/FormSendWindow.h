#pragma once
// Form1 as a send sees it: ComSele's text, ProgressBar1's steps, the event dispatch of the
// drain wait, and the settings the controls show at the moment the record is built.

#include <string>

#include "link/SendOperation.h"
#include "settings/SettingsFile.h"
#include "ui/FormView.h"

namespace tallymark {

class FormSendWindow final : public SendWindow {
public:
    FormSendWindow(FormView& view, const SettingsHolder& settings) : view_(view), settings_(settings) { }

    std::string ComSeleText() const override;
    // The progress bar refuses a range whose maximum is not above its minimum, and a value
    // outside its range, as the common-controls progress bar does.
    void SetProgressMax(int value) override;
    void SetProgressMin(int value) override;
    void SetProgressValue(int value) override;
    void DoEvents() override;
    PanelSettings CurrentSettings() const override;

private:
    FormView& view_;
    const SettingsHolder& settings_;
};

} // namespace tallymark
