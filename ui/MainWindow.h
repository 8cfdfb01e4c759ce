#pragma once
// Form1: the panel's one window. It owns every control, and the controls hold all state:
// the send reads them when it builds the update, the settings file fills them at load and
// reads them at every close request.

#include <QMetaObject>
#include <QTimer>
#include <QWidget>

#include <cstdint>
#include <functional>
#include <string>

#include "link/LocalClock.h"
#include "link/SendOperation.h"
#include "link/SerialPort.h"
#include "settings/SettingsFile.h"

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QRadioButton;

namespace tallymark {

class MessageBoxes;
class TimeSpinner;
class WorkTimeSwitch;

class MainWindow : public QWidget, public SendWindow, public SettingsControls {
    Q_OBJECT
public:
    // The window speaks to the display only through port (MSComm1), keeps its settings in
    // settings, asks and warns through boxes, and reads the time of day from clock.
    MainWindow(SerialPort& port, SettingsFile& settings, MessageBoxes& boxes, Clock clock = LocalTimeOfDay,
               std::function<std::string()> timeSeparator = SystemTimeSeparator, QWidget* parent = nullptr);
    ~MainWindow() override;

    // Load handling: runs once, before the window is first shown.
    void Form_Load();
    // Unload handling of every close request, by the close box or CmdExit; sets cancel to
    // keep the window open.
    void Form_Unload(bool& cancel);

    void CmdSndClk_Click(std::int16_t index);
    void CmdExit_Click();
    void Timer1_Timer();
    void ChkWEn_Click();
    void VScSTime_Change();
    void VScETime_Change();
    void TxtSTime_LostFocus();
    void TxtETime_LostFocus();

    SerialPort& MSComm1() const { return port_; }

    // What the send needs of the window.
    std::string ComSeleText() const override;
    void ShowMessage(std::string_view text, std::string_view title) override;
    void SetProgressMax(int value) override;
    void SetProgressMin(int value) override;
    void SetProgressValue(int value) override;
    void DoEvents() override;
    PanelSettings CurrentSettings() const override;

    // What the settings file needs of the window. A value a control cannot hold (a switch
    // other than 0, 1 or 2, a time outside the day) is refused and the control keeps its own.
    std::int16_t WorkTimeEnable() const override;
    void SetWorkTimeEnable(std::int16_t value) override;
    std::int16_t StartWorkTime() const override;
    void SetStartWorkTime(std::int16_t value) override;
    std::int16_t EndWorkTime() const override;
    void SetEndWorkTime(std::int16_t value) override;
    std::string DayCountText() const override;
    void SetDayCountText(const std::string& text) override;
    bool CountDown() const override;
    void SetCountDown(bool down) override;
    std::string BrightnessText() const override;
    void SetBrightnessText(const std::string& text) override;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void CreateControls();
    void SetTabOrder();
    void ConnectHandlers();
    void OnFocusChanged(QWidget* old, QWidget* now);
    void Commit(QLineEdit& box, TimeSpinner& spinner);

    SerialPort& port_;
    SettingsFile& settings_;
    MessageBoxes& boxes_;
    Clock clock_;
    std::function<std::string()> timeSeparator_;
    SendOperation send_;
    QTimer wake_; // lets DoEvents sleep about a millisecond when nothing is pending
    QMetaObject::Connection focusWatch_;

    QPushButton* CmdExit = nullptr;
    QComboBox* ComSele = nullptr;
    QGroupBox* Frame1 = nullptr;
    QTimer* Timer1 = nullptr;
    QProgressBar* ProgressBar1 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label1 = nullptr;
    QGroupBox* Frame2 = nullptr;
    QLineEdit* TxtTime = nullptr;
    QPushButton* CmdSndClk[2] = {nullptr, nullptr};
    QLabel* Label5 = nullptr;
    QGroupBox* Frame3 = nullptr;
    QRadioButton* OptDeD = nullptr;
    QRadioButton* OptInD = nullptr;
    QLineEdit* TxtDJS = nullptr;
    QLineEdit* TxtETime = nullptr;
    TimeSpinner* VScETime = nullptr;
    TimeSpinner* VScSTime = nullptr;
    QLineEdit* TxtSTime = nullptr;
    WorkTimeSwitch* ChkWEn = nullptr;
    QComboBox* ComBright = nullptr;
    QLabel* Label7 = nullptr;
    QLabel* Label6 = nullptr;
    QLabel* Label4 = nullptr;
    QLabel* Label3 = nullptr;
};

} // namespace tallymark
