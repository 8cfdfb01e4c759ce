#pragma once
// Form1's behaviour, apart from any toolkit: the load and unload handling, the clock, the
// working-time editor, the two send buttons and the exit button, every rule of what the
// operator's clicks and keys do, and the port list's updates, over the controls that a
// FormView shows. The controls hold all state; Form1 keeps none of its own beyond the send
// under way, the ports it waits to try until that send ends, the devices the start's scan
// found refused while no port is listed, and where the window is in its life (open, asking
// whether to close, ended).

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "link/LocalClock.h"
#include "link/PortDiscovery.h"
#include "link/SendOperation.h"
#include "link/SerialPort.h"
#include "settings/SettingsFile.h"
#include "ui/ComSeleList.h"
#include "ui/FormSendWindow.h"
#include "ui/FormView.h"
#include "ui/WorkTimeEditor.h"

namespace tallymark {

namespace Messages {
inline constexpr std::string_view CloseWhileSending
    = "現在データ送信中！今閉じたら字幕表示にエラーが発生する可能性があります。閉じますか？";
inline constexpr std::string_view CloseWhileSendingTitle = "警告";
inline constexpr std::string_view SaveFailed = "設定を保存できませんでした。";
inline constexpr std::string_view SaveFailedTitle = "エラー発生";
} // namespace Messages

// What the system says of the session, as either toolkit hears it.
enum class SessionEvent {
    EndAsked, // may the session end? WM_QUERYENDSESSION; the session manager's request to save
    EndRefused, // it goes on after all: WM_ENDSESSION with FALSE
    Ends, // WM_ENDSESSION; a signal to end (SIGTERM, SIGHUP, SIGINT)
    ProcessEnds, // the toolkit ends the process from inside its loop (the X server lost): nothing unwinds
};
// What the view does after an event of the session.
enum class SessionStep {
    Nothing,
    EndProgram, // ends the program without a close request: no question, nothing more saved
};

// The message of a save that went nowhere: what failed, the file's path, the system's reason.
std::string SaveFailedText(const SaveOutcome& outcome);

class Form1 final : public SettingsHolder {
public:
    // The window speaks to the display only through port (MSComm1), keeps its settings in
    // settings, and reads the time of day and the system's time separator for its clock.
    Form1(FormView& view, SerialPort& port, SettingsFile& settings, Clock clock = LocalTimeOfDay,
          std::function<std::string()> timeSeparator = SystemTimeSeparator);

    // Load handling: once, before the window is first shown.
    void Form_Load();
    // Unload handling of every close request, by the close box or CmdExit; sets cancel to
    // keep the window open. A close that goes on after a save that failed tells the operator.
    // A request while the close question asks is that question's to answer: it is refused
    // and saves nothing. Once the window has closed, or its session ended, a request does
    // nothing.
    void Form_Unload(bool& cancel);
    // What an event of the session does: which end it, and what the view does then.
    SessionStep SessionChanged(SessionEvent event);
    // The session is asked whether it may end: the settings are saved, and a send under way
    // goes on, since the end may be refused and a send lasts some tens of milliseconds.
    void Form_QueryEndSession();
    // The session ends (log-off, shutdown, a signal to end, the loss of the display): the
    // unload without its question, once. The settings are read from the controls first, a
    // send under way is given up as Yes gives it up, they are saved, and the port is let go
    // of, since nothing may come after. A close question still asking is answered by this
    // end: its unload saves nothing more.
    void Form_EndSession();

    // The send, then its message box where it did not go; what happened. A port refused
    // with a reason, and an empty ComSele while the start found only refused devices, say
    // why below the message.
    SendResult CmdSndClk_Click(std::int16_t index);
    void CmdExit_Click();
    void Timer1_Timer();
    void ChkWEn_Click();
    void VScSTime_Change();
    void VScETime_Change();
    void TxtSTime_LostFocus();
    void TxtETime_LostFocus();

    // What the operator does, as the toolkit reports it. Each applies the window's rule and
    // runs the handlers the change fires; the toolkit changes no value by itself.
    // A click or Space on a button, the check box or an option button.
    void Clicked(Control control);
    // A key pressed on a control; true when it has done its work here and the toolkit must
    // not act on it too. Enter clicks a focused button; an arrow on an option button selects
    // the next of its container and moves there; an arrow on another button or the check
    // box does nothing, each being a group of its own as on a Windows form. Up, Down, Page Up
    // and Page Down in a closed combo box choose the item ItemAfterKey names. With Shift or
    // Ctrl held only these are taken, as a Windows combo box moves alike with them; a key with
    // Alt or Meta is the toolkit's (menus, the system's own keys).
    bool KeyPressed(Control control, Key key, KeyModifiers modifiers = {});
    // A turn of the mouse wheel over a control, up or down; true when it has done its work
    // here. Over a closed combo box it moves as Up and Down do, as a Windows combo box turns
    // a wheel's turn into those keys; elsewhere it is the toolkit's.
    bool WheelTurned(Control control, bool up);
    // A choice from a combo box's drop-down list, by mouse or arrow keys.
    void ItemChosen(Control combo, int index);
    // The system says ports of these numbers may have come or gone: they are tried again
    // for ComSele's list, once the send under way, if any, has closed its port; a list that
    // is no longer empty takes the refused devices' tooltip away. With
    // `exists`, the system named no port for sure: only ports not listed whose device is
    // there are tried, and listed ones are never opened (RecheckComPorts).
    void PortsChanged(std::span<const int> numbers, const PortExists& exists = {});
    void SpinnerMoved(Control spinner, SpinAction action); // an arrow, a key or a page move
    // The focus went from one control to another; `to` is empty when it left the window
    // (another program, a popup): a typed time then stays pending.
    void FocusMoved(Control from, std::optional<Control> to);
    // Where Tab (or Shift+Tab) takes the focus from `from`: the next enabled control in the
    // tab order that takes the focus, of the option pair only the selected one.
    std::optional<Control> NextTabStop(Control from, bool backwards) const;
    // Where the focus is when the window opens: the first tab stop.
    std::optional<Control> FirstTabStop() const;
    // Text the operator pastes or drops into a box: what the box takes of it, its first line
    // only, as a Windows single-line box takes it (KeepFirstLine); nothing where the control
    // takes no text (a read-only box, a button, a label).
    std::optional<std::u16string> TextPutIn(Control box, std::u16string_view text) const;

    // Setting a control as the program sets it. A value the control cannot hold (a switch
    // other than 0, 1 or 2, a time outside the day) is refused and the control keeps its own.
    void SetSwitch(int value);
    void SetSpinner(Control spinner, int minute);
    // Cut to the box's length; a combo box's list selects the item of that text, or none.
    void SetControlText(Control control, const std::string& text);
    // Selects one button of the option pair and clears the other.
    void SetCountDown(bool down);

    // The six settings, as the settings file and the send see them.
    PanelSettings Settings() const override;
    void Put(Setting which, const PanelSettings& values) override;

private:
    // Where the window is in its life: open; asking whether to close under a send; or ended,
    // closed or its session over, after which nothing reads from it or saves.
    enum class Life { Open, Asking, Ended };

    // Whether a send holds the port now.
    bool Sending() const;
    // The save, whatever fails in it: where it went, or why it went nowhere.
    SaveOutcome Save(const SettingsHolder& from);
    void Commit(Control box, Control spinner);
    // Why the send did not go, below its message: empty where nothing is known.
    std::string RefusalParagraph(SendResult result) const;

    FormView& view_;
    SerialPort& port_;
    SettingsFile& settings_;
    Clock clock_;
    std::function<std::string()> timeSeparator_;
    FormSendWindow sendWindow_;
    SendOperation send_;
    ComSeleList comSele_;
    std::vector<std::pair<std::vector<int>, PortExists>> portsToRecheck_; // while a send holds the port
    std::vector<OpenFailure> refusedAtStart_; // refused for lack of permission, while ComSele lists nothing
    Life life_ = Life::Open;
};

} // namespace tallymark
