#include "ui/FormSendWindow.h"

#include <stdexcept>

namespace tallymark {

std::string FormSendWindow::ComSeleText() const
{
    return view_.Text(Control::ComSele);
}

void FormSendWindow::SetProgressMax(int value)
{
    const int minimum = view_.Minimum(Control::ProgressBar1);
    if (value <= minimum)
        throw std::out_of_range("progress maximum not above the minimum");
    view_.SetRange(Control::ProgressBar1, minimum, value);
}

void FormSendWindow::SetProgressMin(int value)
{
    const int maximum = view_.Maximum(Control::ProgressBar1);
    if (value >= maximum)
        throw std::out_of_range("progress minimum not below the maximum");
    view_.SetRange(Control::ProgressBar1, value, maximum);
}

void FormSendWindow::SetProgressValue(int value)
{
    if (value < view_.Minimum(Control::ProgressBar1) || value > view_.Maximum(Control::ProgressBar1))
        throw std::out_of_range("progress value outside its range");
    view_.SetValue(Control::ProgressBar1, value);
}

void FormSendWindow::DoEvents()
{
    view_.DoEvents();
}

PanelSettings FormSendWindow::CurrentSettings() const
{
    return settings_.Settings();
}

} // namespace tallymark
