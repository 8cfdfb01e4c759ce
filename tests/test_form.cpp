// Form1's behaviour without a toolkit: which handlers a change fires, what the operator's
// doings become, where Tab goes, and what a close request does. Both front ends only pass
// these events on, so what holds here holds for both.

#include <QTemporaryDir>
#include <QtTest>

#include <climits>
#include <functional>

#include "settings/PortableProfileStore.h"
#include "support/FakeFormView.h"
#include "support/FakeSerialPort.h"
#include "ui/Form1.h"

using namespace tallymark;
using tallymark::testing::FakeFormView;
using tallymark::testing::FakeSerialPort;
using Log = std::vector<std::string>;

namespace {

struct Fixture {
    QTemporaryDir folder;
    FakeFormView view;
    FakeSerialPort port;
    PortableProfileStore store;
    SettingsFile settings{store, [this] { return folder.path().toStdString(); }};
    Form1 form{view, port, settings, [] { return TimeOfDay{7, 0, 0}; }, [] { return std::string(":"); }};

    Log Take()
    {
        Log taken;
        taken.swap(view.log);
        return taken;
    }
};

const Log EnableAll = {"enabled TxtSTime 1", "enabled TxtETime 1", "enabled VScSTime 1", "enabled VScETime 1"};
const Log DisableAll = {"enabled TxtSTime 0", "enabled TxtETime 0", "enabled VScSTime 0", "enabled VScETime 0"};

} // namespace

class TestForm : public QObject {
    Q_OBJECT
private slots:
    void programChangesFireTheHandlersOfChangedControls();
    void operatorActions();
    void typedTimeCountsWhenTheFocusMovesOn();
    void tabOrder();
    void closeRequests();
    void loadOrder();
};

void TestForm::programChangesFireTheHandlersOfChangedControls()
{
    const struct {
        const char* name;
        std::function<void(Form1&)> change;
        Log log;
    } rows[] = {
        {"switch ticked", [](Form1& f) { f.SetSwitch(1); }, EnableAll},
        {"switch greyed", [](Form1& f) { f.SetSwitch(2); }, EnableAll},
        {"switch as it is", [](Form1& f) { f.SetSwitch(0); }, {}},
        {"switch 3 refused", [](Form1& f) { f.SetSwitch(3); }, {}},
        {"spinner to 07:30", [](Form1& f) { f.SetSpinner(Control::VScSTime, 450); }, {"TxtSTime=07:30"}},
        {"end spinner to 23:59", [](Form1& f) { f.SetSpinner(Control::VScETime, 1439); }, {"TxtETime=23:59"}},
        {"spinner as it is", [](Form1& f) { f.SetSpinner(Control::VScSTime, 420); }, {}},
        {"spinner past the day refused", [](Form1& f) { f.SetSpinner(Control::VScSTime, 1440); }, {}},
        {"spinner below the day refused", [](Form1& f) { f.SetSpinner(Control::VScETime, -1); }, {}},
        {"day count cut to the box", [](Form1& f) { f.SetControlText(Control::TxtDJS, "98765"); }, {"TxtDJS=987"}},
        {"day count ends at NUL", [](Form1& f) { f.SetControlText(Control::TxtDJS, std::string("4\0" "2", 3)); },
         {"TxtDJS=4"}},
        {"day count in characters", [](Form1& f) { f.SetControlText(Control::TxtDJS, "漢字漢字"); }, {"TxtDJS=漢字漢"}},
        {"time box cut to five", [](Form1& f) { f.SetControlText(Control::TxtSTime, "23:59:59"); }, {"TxtSTime=23:59"}},
        {"brightness has no limit", [](Form1& f) { f.SetControlText(Control::ComBright, "12345"); }, {"ComBright=12345"}},
    };
    for (const auto& row : rows) {
        Fixture f;
        row.change(f.form);
        QVERIFY2(f.Take() == row.log, row.name);
    }
}

void TestForm::operatorActions()
{
    const struct {
        const char* name;
        std::function<void(Form1&)> action;
        PanelSettings before, after;
        Log log;
    } rows[] = {
        {"upper arrow", [](Form1& f) { f.SpinnerMoved(Control::VScSTime, SpinAction::ArrowUp); },
         {"", false, "", 0, 420, 0}, {"", false, "", 0, 421, 0}, {"TxtSTime=07:01"}},
        {"lower arrow", [](Form1& f) { f.SpinnerMoved(Control::VScETime, SpinAction::ArrowDown); },
         {"", false, "", 0, 0, 420}, {"", false, "", 0, 0, 419}, {"TxtETime=06:59"}},
        {"page up", [](Form1& f) { f.SpinnerMoved(Control::VScSTime, SpinAction::PageUp); },
         {"", false, "", 0, 1435, 0}, {"", false, "", 0, 1439, 0}, {"TxtSTime=23:59"}},
        {"upper arrow at 23:59", [](Form1& f) { f.SpinnerMoved(Control::VScSTime, SpinAction::ArrowUp); },
         {"", false, "", 0, 1439, 0}, {"", false, "", 0, 1439, 0}, {}},
        {"page down at 00:00", [](Form1& f) { f.SpinnerMoved(Control::VScETime, SpinAction::PageDown); },
         {"", false, "", 0, 0, 0}, {"", false, "", 0, 0, 0}, {}},
        {"bottom", [](Form1& f) { f.SpinnerMoved(Control::VScSTime, SpinAction::Bottom); },
         {"", false, "", 0, 600, 0}, {"", false, "", 0, 0, 0}, {"TxtSTime=00:00"}},
        {"click ticks", [](Form1& f) { f.SwitchClicked(); }, {"", false, "", 0, 0, 0}, {"", false, "", 1, 0, 0},
         EnableAll},
        {"click unticks", [](Form1& f) { f.SwitchClicked(); }, {"", false, "", 1, 0, 0}, {"", false, "", 0, 0, 0},
         DisableAll},
        {"click on greyed ticks", [](Form1& f) { f.SwitchClicked(); }, {"", false, "", 2, 0, 0},
         {"", false, "", 1, 0, 0}, EnableAll},
    };
    for (const auto& row : rows) {
        Fixture f;
        f.view[Control::ChkWEn].value = row.before.workTimeSwitch;
        f.view[Control::VScSTime].value = row.before.workStart;
        f.view[Control::VScETime].value = row.before.workEnd;
        row.action(f.form);
        const PanelSettings now = f.form.Settings();
        QVERIFY2(now.workTimeSwitch == row.after.workTimeSwitch && now.workStart == row.after.workStart
                     && now.workEnd == row.after.workEnd,
                 row.name);
        QVERIFY2(f.Take() == row.log, row.name);
    }
}

void TestForm::typedTimeCountsWhenTheFocusMovesOn()
{
    const struct {
        const char* name;
        Control from;
        std::optional<Control> to;
        int start;
    } rows[] = {
        {"to another control", Control::TxtSTime, Control::TxtDJS, 495},
        {"to the spinner beside it", Control::TxtSTime, Control::VScSTime, 495},
        {"out of the window", Control::TxtSTime, std::nullopt, 420},
        {"to itself", Control::TxtSTime, Control::TxtSTime, 420},
        {"from another box", Control::TxtETime, Control::TxtSTime, 420},
    };
    for (const auto& row : rows) {
        Fixture f;
        f.view[Control::TxtSTime].text = "8:15";
        f.form.FocusMoved(row.from, row.to);
        QVERIFY2(f.form.Settings().workStart == row.start, row.name);
        QVERIFY2(f.view[Control::TxtSTime].text == (row.start == 420 ? "8:15" : "08:15"), row.name);
    }
}

void TestForm::tabOrder()
{
    const Log rest = {"TxtDJS", "ComBright", "CmdSndClk_0", "TxtTime", "ComSele", "CmdExit"};
    const Log times = {"TxtSTime", "VScSTime", "VScETime", "TxtETime"};
    const auto join = [](std::initializer_list<Log> parts) {
        Log all;
        for (const Log& part : parts)
            all.insert(all.end(), part.begin(), part.end());
        return all;
    };
    const struct {
        const char* name;
        int workTime;
        bool countDown;
        Log stops; // after ChkWEn, around to it again
    } rows[] = {
        {"switch on, counting down", 1, true, join({times, rest, {"OptDeD", "CmdSndClk_1", "ChkWEn"}})},
        {"switch on, counting up", 1, false, join({times, rest, {"OptInD", "CmdSndClk_1", "ChkWEn"}})},
        {"switch off skips the disabled times", 0, true, join({rest, {"OptDeD", "CmdSndClk_1", "ChkWEn"}})},
        {"switch greyed", 2, false, join({times, rest, {"OptInD", "CmdSndClk_1", "ChkWEn"}})},
    };
    for (const auto& row : rows) {
        Fixture f;
        f.form.SetSwitch(row.workTime);
        f.form.ChkWEn_Click();
        f.form.SetCountDown(row.countDown);
        QVERIFY2(f.form.FirstTabStop() == Control::ChkWEn, row.name);
        Log forward, backward;
        for (Control at = Control::ChkWEn; forward.size() < row.stops.size();) {
            at = f.form.NextTabStop(at, false).value();
            forward.emplace_back(UniqueName(at));
        }
        for (Control at = Control::ChkWEn; backward.size() < row.stops.size();) {
            at = f.form.NextTabStop(at, true).value();
            backward.emplace_back(UniqueName(at));
        }
        QVERIFY2(forward == row.stops, row.name);
        Log reversed(row.stops.rbegin() + 1, row.stops.rend());
        reversed.emplace_back("ChkWEn");
        QVERIFY2(backward == reversed, row.name);
    }
}

void TestForm::closeRequests()
{
    const std::string question = "question " + std::string(Messages::CloseWhileSending) + "|"
                               + std::string(Messages::CloseWhileSendingTitle);
    const struct {
        const char* name;
        bool duringSend;
        bool answerYes;
        bool cancel;
        std::size_t questions;
        bool discarded; // the send gave up what had not left
    } rows[] = {
        {"idle", false, false, false, 0, false},
        {"sending, No", true, false, true, 1, false},
        {"sending, Yes", true, true, false, 1, true},
    };
    for (const auto& row : rows) {
        Fixture f;
        f.view[Control::ComSele].text = "COM2";
        f.view[Control::TxtDJS].text = "77";
        f.port.present = {2};
        f.view.answerYes = row.answerYes;
        bool cancel = false;
        const auto close = [&] {
            f.form.Form_Unload(cancel);
            f.port.drainPolls = 2;
        };
        if (row.duringSend) {
            f.port.drainPolls = INT_MAX;
            f.view.onDoEvents = [&] {
                f.view.onDoEvents = nullptr;
                close();
            };
            f.form.CmdSndClk_Click(1);
        } else {
            close();
        }
        const Log log = f.Take();
        QVERIFY2(std::count(log.begin(), log.end(), question) == std::ptrdiff_t(row.questions), row.name);
        QVERIFY2(cancel == row.cancel, row.name);
        // Saved on every close request, whatever the answer.
        QFile ini(f.folder.filePath("Tallymark.ini"));
        QVERIFY2(ini.open(QIODevice::ReadOnly) && ini.readAll().contains("DDD=77"), row.name);
        const bool discarded = std::find(f.port.log.begin(), f.port.log.end(), "DiscardOutput") != f.port.log.end();
        QVERIFY2(discarded == row.discarded, row.name);
        QVERIFY2(!f.port.PortOpen(), row.name);
    }
}

void TestForm::loadOrder()
{
    Fixture f;
    QFile ini(f.folder.filePath("Tallymark.ini"));
    QVERIFY(ini.open(QIODevice::WriteOnly));
    ini.write("[WorkTime]\nWorkTimeEnable=0\nStartWorkTime=65\n[Tallymarks]\nDDD=123456\nDownCount=0\n");
    ini.close();
    f.port.present = {1, 4};
    f.form.Form_Load();
    // Settings in file order, each through its control's change handling; then the switch
    // handling, although the switch kept its value; then the ports.
    const Log expected = {"TxtSTime=01:05", "TxtETime=20:00", "TxtDJS=123", "ComBright=5", "enabled TxtSTime 0",
                          "enabled TxtETime 0", "enabled VScSTime 0", "enabled VScETime 0", "ComSele=COM4"};
    QCOMPARE(f.Take(), expected);
    QCOMPARE(f.view[Control::OptInD].value, 1);
    QCOMPARE(f.view[Control::ComSele].items, (std::vector<std::string>{"COM1", "COM4"}));
    QVERIFY(!f.port.PortOpen());
}

QTEST_APPLESS_MAIN(TestForm)
#include "test_form.moc"
