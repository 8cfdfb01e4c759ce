#include "ui/MainWindow.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>

#include <exception>
#include <stdexcept>

#include "link/PortDiscovery.h"
#include "ui/ComboPortList.h"
#include "ui/MessageBoxes.h"
#include "ui/TimeSpinner.h"
#include "ui/WorkTimeEditor.h"
#include "ui/WorkTimeSwitch.h"

namespace tallymark {

namespace {

QString FromUtf8(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

const QString CloseWhileSending = QStringLiteral("現在データ送信中！今閉じたら字幕表示にエラーが発生する可能性があります。閉じますか？");
const QString CloseWhileSendingTitle = QStringLiteral("警告");

} // namespace

MainWindow::MainWindow(SerialPort& port, SettingsFile& settings, MessageBoxes& boxes, Clock clock,
                       std::function<std::string()> timeSeparator, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint
                          | Qt::WindowCloseButtonHint),
      port_(port),
      settings_(settings),
      boxes_(boxes),
      clock_(std::move(clock)),
      timeSeparator_(std::move(timeSeparator)),
      send_(port, *this, clock_)
{
    wake_.setSingleShot(true);
    wake_.setTimerType(Qt::PreciseTimer);
    wake_.setInterval(1);

    CreateControls();
    SetTabOrder();
    ConnectHandlers();
    Timer1->start();
}

MainWindow::~MainWindow()
{
    // The controls go before the QObject part does; no lost focus may reach them meanwhile.
    disconnect(focusWatch_);
}

void MainWindow::ConnectHandlers()
{
    for (std::int16_t index : {0, 1})
        connect(CmdSndClk[index], &QPushButton::clicked, this, [this, index] { CmdSndClk_Click(index); });
    connect(CmdExit, &QPushButton::clicked, this, &MainWindow::CmdExit_Click);
    connect(Timer1, &QTimer::timeout, this, &MainWindow::Timer1_Timer);
    connect(ChkWEn, &QCheckBox::stateChanged, this, &MainWindow::ChkWEn_Click);
    connect(VScSTime, &TimeSpinner::minuteChanged, this, &MainWindow::VScSTime_Change);
    connect(VScETime, &TimeSpinner::minuteChanged, this, &MainWindow::VScETime_Change);
    focusWatch_ = connect(qApp, &QApplication::focusChanged, this, &MainWindow::OnFocusChanged);
}

void MainWindow::Form_Load()
{
    // A settings file that cannot be read leaves the controls as they were created.
    try {
        settings_.LoadSettings(*this);
    } catch (const std::exception&) {
    }
    ChkWEn_Click();
    ComboPortList ports(*ComSele);
    ScanComPorts(port_, ports);
}

void MainWindow::Form_Unload(bool& cancel)
{
    bool sending = false;
    try {
        sending = port_.PortOpen();
    } catch (const std::exception&) {
    }
    if (sending) {
        if (boxes_.AskYesNo(this, CloseWhileSending, CloseWhileSendingTitle))
            send_.Abandon();
        else
            cancel = true;
    }
    // A save that fails goes unreported; the close goes on all the same.
    try {
        settings_.SaveSettings(*this);
    } catch (const std::exception&) {
    }
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    bool cancel = false;
    Form_Unload(cancel);
    if (cancel)
        event->ignore();
    else
        event->accept();
}

void MainWindow::CmdSndClk_Click(std::int16_t index)
{
    send_.CmdSndClk_Click(index);
}

void MainWindow::CmdExit_Click()
{
    close();
}

void MainWindow::Timer1_Timer()
{
    const QString text = QString::fromStdString(ClockText(clock_(), timeSeparator_()));
    // The same text again would only repaint the box.
    if (TxtTime->text() != text)
        TxtTime->setText(text);
}

void MainWindow::ChkWEn_Click()
{
    const bool enabled = ChkWEn->value() != 0;
    TxtSTime->setEnabled(enabled);
    TxtETime->setEnabled(enabled);
    VScSTime->setEnabled(enabled);
    VScETime->setEnabled(enabled);
}

void MainWindow::VScSTime_Change()
{
    TxtSTime->setText(QString::fromStdString(TimeText(VScSTime->minute())));
}

void MainWindow::VScETime_Change()
{
    TxtETime->setText(QString::fromStdString(TimeText(VScETime->minute())));
}

void MainWindow::TxtSTime_LostFocus()
{
    Commit(*TxtSTime, *VScSTime);
}

void MainWindow::TxtETime_LostFocus()
{
    Commit(*TxtETime, *VScETime);
}

void MainWindow::Commit(QLineEdit& box, TimeSpinner& spinner)
{
    if (const std::optional<int> minute = CommitTypedTime(box.text().toStdString()))
        spinner.setMinute(*minute);
    box.setText(QString::fromStdString(TimeText(spinner.minute())));
}

// A typed time counts once the focus has gone to another control of this window; the window
// losing the activation, or a popup such as the box's own context menu, leaves it pending.
void MainWindow::OnFocusChanged(QWidget* old, QWidget* now)
{
    if (now == nullptr || now->window() != this)
        return;
    if (old == TxtSTime)
        TxtSTime_LostFocus();
    else if (old == TxtETime)
        TxtETime_LostFocus();
}

std::string MainWindow::ComSeleText() const
{
    return ComSele->currentText().toStdString();
}

void MainWindow::ShowMessage(std::string_view text, std::string_view title)
{
    boxes_.Warning(this, FromUtf8(text), FromUtf8(title));
}

void MainWindow::SetProgressMax(int value)
{
    if (value <= ProgressBar1->minimum())
        throw std::out_of_range("progress maximum not above the minimum");
    ProgressBar1->setMaximum(value);
}

void MainWindow::SetProgressMin(int value)
{
    if (value >= ProgressBar1->maximum())
        throw std::out_of_range("progress minimum not below the maximum");
    ProgressBar1->setMinimum(value);
}

void MainWindow::SetProgressValue(int value)
{
    if (value < ProgressBar1->minimum() || value > ProgressBar1->maximum())
        throw std::out_of_range("progress value outside its range");
    ProgressBar1->setValue(value);
}

void MainWindow::DoEvents()
{
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    // Nothing left to do: sleep until the next event, a millisecond at most, so that a send
    // waiting for its bytes to leave does not keep a core busy.
    wake_.start();
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    wake_.stop();
}

PanelSettings MainWindow::CurrentSettings() const
{
    PanelSettings settings;
    settings.dayCountText = DayCountText();
    settings.countUp = OptInD->isChecked();
    settings.brightnessText = BrightnessText();
    settings.workTimeSwitch = WorkTimeEnable();
    settings.workStart = StartWorkTime();
    settings.workEnd = EndWorkTime();
    return settings;
}

std::int16_t MainWindow::WorkTimeEnable() const
{
    return static_cast<std::int16_t>(ChkWEn->value());
}

void MainWindow::SetWorkTimeEnable(std::int16_t value)
{
    ChkWEn->setValue(value);
}

std::int16_t MainWindow::StartWorkTime() const
{
    return static_cast<std::int16_t>(VScSTime->minute());
}

void MainWindow::SetStartWorkTime(std::int16_t value)
{
    VScSTime->setMinute(value);
}

std::int16_t MainWindow::EndWorkTime() const
{
    return static_cast<std::int16_t>(VScETime->minute());
}

void MainWindow::SetEndWorkTime(std::int16_t value)
{
    VScETime->setMinute(value);
}

std::string MainWindow::DayCountText() const
{
    return TxtDJS->text().toStdString();
}

void MainWindow::SetDayCountText(const std::string& text)
{
    // A text box's text ends at its first NUL character.
    TxtDJS->setText(FromUtf8(std::string_view(text).substr(0, text.find('\0'))));
}

bool MainWindow::CountDown() const
{
    return OptDeD->isChecked();
}

void MainWindow::SetCountDown(bool down)
{
    // Selecting one button of the pair clears the other.
    (down ? OptDeD : OptInD)->setChecked(true);
}

std::string MainWindow::BrightnessText() const
{
    return ComBright->currentText().toStdString();
}

void MainWindow::SetBrightnessText(const std::string& text)
{
    const QString shown = FromUtf8(text);
    ComBright->setCurrentIndex(ComBright->findText(shown, Qt::MatchExactly | Qt::MatchCaseSensitive));
    ComBright->setEditText(shown);
}

} // namespace tallymark
