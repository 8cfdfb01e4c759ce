#pragma once
// Form1 on Qt Widgets: the controls of the table as widgets, and what the operator does
// with them passed on to the window's behaviour.

#include <QTimer>
#include <QWidget>

#include <array>
#include <functional>
#include <optional>
#include <string>

#include "link/LocalClock.h"
#include "link/PortWatch.h"
#include "link/SerialPort.h"
#include "settings/SettingsFile.h"
#include "ui/Form1.h"
#include "ui/FormView.h"

namespace tallymark {

class MessageBoxes;

class MainWindow : public QWidget, public FormView {
    Q_OBJECT
public:
    MainWindow(SerialPort& port, SettingsFile& settings, MessageBoxes& boxes, Clock clock = LocalTimeOfDay,
               std::function<std::string()> timeSeparator = SystemTimeSeparator, QWidget* parent = nullptr);
    ~MainWindow() override;

    Form1& Form() { return form_; }
    // From now on ports that come or go reach ComSele's list.
    void WatchPorts(PortWatch& watch);
    // The widget that shows a control; null for the timer and the serial component.
    QWidget* Widget(Control control) const;

    // What the behaviour reads of the widgets.
    std::string Text(Control control) const override;
    int Value(Control control) const override;
    bool Enabled(Control control) const override;
    int Minimum(Control control) const override;
    int Maximum(Control control) const override;
    int ListCount(Control control) const override;
    std::string ListItem(Control control, int index) const override;
    int ListIndex(Control control) const override;
    bool DroppedDown(Control control) const override;

    // What it sets, with the widgets' signals blocked: the behaviour runs its own handlers.
    void SetText(Control control, const std::string& text) override;
    void SetValue(Control control, int value) override;
    void SetEnabled(Control control, bool enabled) override;
    void SetRange(Control control, int minimum, int maximum) override;
    void ClearList(Control control) override;
    void AddItem(Control control, const std::string& item) override;
    void InsertItem(Control control, int index, const std::string& item) override;
    void RemoveItem(Control control, int index) override;
    void SetListIndex(Control control, int index) override;
    void SetFocus(Control control) override;
    void SetToolTip(Control control, const std::string& text) override;

    // QMessageBox through the boxes given; Qt's event loop; close() as the close box.
    void ShowMessage(std::string_view text, std::string_view title) override;
    bool AskYesNo(std::string_view text, std::string_view title) override;
    void DoEvents() override;
    void RequestClose() override;

protected:
    void closeEvent(QCloseEvent* event) override;
    bool focusNextPrevChild(bool next) override;
    // Enter, the arrows and the page keys on a control, which the behaviour may take for
    // itself: QComboBox's own moves from the item selected before are never reached. Text
    // dragged over a box, which the behaviour takes or refuses.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void CreateControls();
    void ConnectHandlers();
    void OnFocusChanged(QWidget* old, QWidget* now);
    bool TextDragged(Control control, QObject* box, QDropEvent& event);
    std::optional<Control> ControlOf(QWidget* widget) const;
    template <typename T>
    T* As(Control control) const;

    MessageBoxes& boxes_;
    std::array<QWidget*, ControlCount> widgets_{};
    QTimer* timer1_ = nullptr;
    QTimer wake_; // lets DoEvents sleep about a millisecond when nothing is pending
    QMetaObject::Connection focusWatch_;
    Form1 form_;
};

} // namespace tallymark
