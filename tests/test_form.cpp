// Form1's behaviour without a toolkit: which handlers a change fires, what the operator's
// doings become, where Tab goes, and what a close request does. Both front ends only pass
// these events on, so what holds here holds for both.

#include <QTemporaryDir>
#include <QtTest>

#include <climits>
#include <functional>
#include <optional>
#include <set>

#include "settings/PortableProfileStore.h"
#include "support/FakeFormView.h"
#include "support/FakeSerialPort.h"
#include "os/Process.h"
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


// One row of a table a test row, so that a failing row leaves the rows after it to run.
template <typename Row, std::size_t N>
void AddRows(const Row (&rows)[N])
{
    QTest::addColumn<int>("row");
    for (std::size_t i = 0; i < N; ++i)
        QTest::newRow(rows[i].name) << int(i);
}

struct ProgramChange {
    const char* name;
    std::function<void(Form1&)> change;
    Log log;
    int brightnessItem = 4; // the item ComBright's list selects afterwards
};

const ProgramChange ProgramChanges[] = {
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
    {"brightness has no limit", [](Form1& f) { f.SetControlText(Control::ComBright, "12345"); }, {"ComBright=12345"},
     -1},
    {"brightness of the list selects its item", [](Form1& f) { f.SetControlText(Control::ComBright, "8"); },
     {"ComBright=8"}, 7},
    {"brightness chosen from the list", [](Form1& f) { f.ItemChosen(Control::ComBright, 2); }, {"ComBright=3"}, 2},
    {"a choice past the list's end", [](Form1& f) { f.ItemChosen(Control::ComBright, 8); }, {}},
};

struct OperatorAction {
    const char* name;
    std::function<void(Form1&)> action;
    PanelSettings before, after;
    Log log;
    bool opensClosed = false; // the port opens, but PortOpen reads false afterwards
    std::set<int> denied = {}; // the ports whose devices refuse this user
    std::optional<std::set<int>> present = {}; // the ports that open, where not the fake's own
};

std::function<void(Form1&)> Press(Control control, Key key, KeyModifiers modifiers = {})
{
    return [=](Form1& f) { f.KeyPressed(control, key, modifiers); };
}

std::function<void(Form1&)> Click(Control control)
{
    return [=](Form1& f) { f.Clicked(control); };
}

// A click on the settings group's send button with ComSele showing `port`.
std::function<void(Form1&)> SendTo(const char* port)
{
    return [=](Form1& f) {
        f.SetControlText(Control::ComSele, port);
        f.CmdSndClk_Click(1);
    };
}

// The paragraph below the message for the device of COMn, refused to this user.
std::string RefusedText(int n)
{
    return "/dev/ttyFAKE" + std::to_string(n) + " を開く権限がありません。グループ dialout に参加するには sudo adduser "
         + UserName() + " dialout を実行し、ログインし直してください。";
}

// Counting down or up, the switch, and the two spinners' minutes: before and after.
const OperatorAction OperatorActions[] = {
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
    {"click ticks", Click(Control::ChkWEn), {"", false, "", 0, 0, 0}, {"", false, "", 1, 0, 0}, EnableAll},
    {"click unticks", Click(Control::ChkWEn), {"", false, "", 1, 0, 0}, {"", false, "", 0, 0, 0}, DisableAll},
    {"click on greyed ticks", Click(Control::ChkWEn), {"", false, "", 2, 0, 0}, {"", false, "", 1, 0, 0}, EnableAll},
    {"click on the selected 減算", Click(Control::OptDeD), {"", false, "", 0, 0, 0}, {"", false, "", 0, 0, 0}, {}},
    {"arrow on the switch", Press(Control::ChkWEn, Key::Down), {"", false, "", 0, 0, 0}, {"", false, "", 0, 0, 0}, {}},
    {"Enter on the exit button", Press(Control::CmdExit, Key::Enter), {"", false, "", 0, 0, 0},
     {"", false, "", 0, 0, 0}, {"close requested"}},
    {"Enter on the switch", Press(Control::ChkWEn, Key::Enter), {"", false, "", 0, 0, 0}, {"", false, "", 0, 0, 0},
     {}},
    {"Down on a brightness the list lacks selects the first", Press(Control::ComBright, Key::Down),
     {"", false, "9", 0, 0, 0}, {"", false, "1", 0, 0, 0}, {"ComBright=1"}},
    {"Page Down moves a page less one", Press(Control::ComBright, Key::PageDown), {"", false, "1", 0, 0, 0},
     {"", false, "8", 0, 0, 0}, {"ComBright=8"}},
    {"Page Up stops at the first", Press(Control::ComBright, Key::PageUp), {"", false, "3", 0, 0, 0},
     {"", false, "1", 0, 0, 0}, {"ComBright=1"}},
    {"Shift+Down moves as Down", Press(Control::ComBright, Key::Down, {.shift = true}), {"", false, "3", 0, 0, 0},
     {"", false, "4", 0, 0, 0}, {"ComBright=4"}},
    {"Alt+Down is the toolkit's", Press(Control::ComBright, Key::Down, {.alt = true}), {"", false, "3", 0, 0, 0},
     {"", false, "3", 0, 0, 0}, {}},
    {"Meta+Down is the toolkit's", Press(Control::ComBright, Key::Down, {.meta = true}), {"", false, "3", 0, 0, 0},
     {"", false, "3", 0, 0, 0}, {}},
    {"Ctrl+Enter on the exit button is the toolkit's", Press(Control::CmdExit, Key::Enter, {.ctrl = true}),
     {"", false, "", 0, 0, 0}, {"", false, "", 0, 0, 0}, {}},
    {"a send to a port that is not there", SendTo("COM9"), {"", false, "", 0, 0, 0}, {"", false, "", 0, 0, 0},
     {"ComSele=COM9", "message 接続端子がすでに使用中か、存在しません|警告"}},
    {"a send to a port that does not stay open", SendTo("COM2"), {"", false, "", 0, 0, 0},
     {"", false, "", 0, 0, 0}, {"ComSele=COM2", "message 接続端子連結失敗!|エラー発生"}, true},
    {"a send to a port refused for lack of permission", SendTo("COM3"), {"", false, "", 0, 0, 0},
     {"", false, "", 0, 0, 0},
     {"ComSele=COM3", "message 接続端子がすでに使用中か、存在しません\n\n" + RefusedText(3) + "|警告"}, false, {3}},
    // The start finds only COM4's device, refused: the file's defaults, then the tooltip.
    {"a send with the empty box after a start that found only refused ports",
     [](Form1& f) {
         f.Form_Load();
         f.CmdSndClk_Click(1);
     },
     {"", true, "", 0, 0, 0}, {"", false, "5", 0, 450, 1200},
     {"TxtSTime=07:30", "TxtETime=20:00", "TxtDJS=168", "ComBright=5", "enabled TxtSTime 0", "enabled TxtETime 0",
      "enabled VScSTime 0", "enabled VScETime 0", "tooltip ComSele=" + RefusedText(4),
      "message 接続端子位地設定エラー!\n\n" + RefusedText(4) + "|エラー発生"},
     false, {4}, std::set<int>{}},
};

struct FocusMove {
    const char* name;
    Control from;
    std::optional<Control> to;
    int start;
};

const FocusMove FocusMoves[] = {
    {"to another control", Control::TxtSTime, Control::TxtDJS, 495},
    {"to the spinner beside it", Control::TxtSTime, Control::VScSTime, 495},
    {"out of the window", Control::TxtSTime, std::nullopt, 420},
    {"to itself", Control::TxtSTime, Control::TxtSTime, 420},
    {"from another box", Control::TxtETime, Control::TxtSTime, 420},
};

// What both views ask of the table as they make the window.
struct TableRule {
    const char* name;
    std::function<bool()> holds;
};

using Faces = std::vector<std::string_view>;

const TableRule TableRules[] = {
    {"the first installed face alone",
     [] {
         const auto installed = [](std::string_view face) { return face != "ＭＳ ゴシック"; };
         return FacesToAsk(WindowFont, installed) == Faces{"MS Gothic"};
     }},
    {"no face installed: all of them, in order",
     [] {
         const Faces all(TitleFont.faces.begin(), TitleFont.faces.end());
         return FacesToAsk(TitleFont, [](std::string_view) { return false; }) == all;
     }},
    {"the title in blue, the rest in the system's colour",
     [] {
         const std::optional<Colour> title = TextColourOf(Control::Label1);
         return title && title->red == 0 && title->green == 0 && title->blue == 255
             && !TextColourOf(Control::Label2) && !TextColourOf(Control::TxtDJS);
     }},
    {"frames, outer first, beneath labels, beneath the rest, beneath the spinners",
     [] {
         const std::vector<Control> order = StackedBottomUp();
         return order.size() == ControlCount - 3 && order[0] == Control::Frame1 && order[1] == Control::Frame2
             && order[2] == Control::Frame3 && RowOf(order[3]).kind == ControlKind::Label
             && RowOf(order.back()).kind == ControlKind::VScrollBar;
     }},
};

} // namespace

class TestForm : public QObject {
    Q_OBJECT
private slots:
    void programChangesFireTheHandlersOfChangedControls_data();
    void programChangesFireTheHandlersOfChangedControls();
    void operatorActions_data();
    void operatorActions();
    void typedTimeCountsWhenTheFocusMovesOn_data();
    void typedTimeCountsWhenTheFocusMovesOn();
    void tabOrder_data();
    void tabOrder();
    void closeRequests_data();
    void closeRequests();
    void loadOrder();
    void tableRules_data();
    void tableRules();
};

void TestForm::programChangesFireTheHandlersOfChangedControls_data()
{
    AddRows(ProgramChanges);
}

void TestForm::programChangesFireTheHandlersOfChangedControls()
{
    QFETCH(int, row);
    const ProgramChange& change = ProgramChanges[row];
    Fixture f;
    change.change(f.form);
    QCOMPARE(f.Take(), change.log);
    QCOMPARE(f.view[Control::ComBright].listIndex, change.brightnessItem);
}

void TestForm::operatorActions_data()
{
    AddRows(OperatorActions);
}

void TestForm::operatorActions()
{
    QFETCH(int, row);
    const OperatorAction& action = OperatorActions[row];
    Fixture f;
    f.view[Control::ChkWEn].value = action.before.workTimeSwitch;
    f.view[Control::VScSTime].value = action.before.workStart;
    f.view[Control::VScETime].value = action.before.workEnd;
    f.view[Control::ComBright].text = action.before.brightnessText;
    f.form.SetCountDown(!action.before.countUp);
    f.port.openReadsFalse = action.opensClosed;
    f.port.denied = action.denied;
    if (action.present)
        f.port.present = *action.present;
    action.action(f.form);
    const PanelSettings now = f.form.Settings();
    QCOMPARE(now.workTimeSwitch, action.after.workTimeSwitch);
    QCOMPARE(now.workStart, action.after.workStart);
    QCOMPARE(now.workEnd, action.after.workEnd);
    QCOMPARE(now.countUp, action.after.countUp);
    QCOMPARE(now.brightnessText, action.after.brightnessText);
    QCOMPARE(f.view[Control::OptInD].value + f.view[Control::OptDeD].value, 1);
    QCOMPARE(f.Take(), action.log);
}

void TestForm::typedTimeCountsWhenTheFocusMovesOn_data()
{
    AddRows(FocusMoves);
}

void TestForm::typedTimeCountsWhenTheFocusMovesOn()
{
    QFETCH(int, row);
    const FocusMove& move = FocusMoves[row];
    Fixture f;
    f.view[Control::TxtSTime].text = "8:15";
    f.form.FocusMoved(move.from, move.to);
    QCOMPARE(f.form.Settings().workStart, move.start);
    QCOMPARE(f.view[Control::TxtSTime].text, std::string(move.start == 420 ? "8:15" : "08:15"));
}

void TestForm::tabOrder_data()
{
    const QStringList rest = {"TxtDJS", "ComBright", "CmdSndClk_0", "TxtTime", "ComSele", "CmdExit"};
    const QStringList times = {"TxtSTime", "VScSTime", "VScETime", "TxtETime"};
    QTest::addColumn<int>("workTime");
    QTest::addColumn<bool>("countDown");
    QTest::addColumn<QStringList>("stops"); // after ChkWEn, around to it again
    QTest::newRow("switch on, counting down") << 1 << true << times + rest + QStringList{"OptDeD", "CmdSndClk_1", "ChkWEn"};
    QTest::newRow("switch on, counting up") << 1 << false << times + rest + QStringList{"OptInD", "CmdSndClk_1", "ChkWEn"};
    QTest::newRow("switch off skips the disabled times")
        << 0 << true << rest + QStringList{"OptDeD", "CmdSndClk_1", "ChkWEn"};
    QTest::newRow("switch greyed") << 2 << false << times + rest + QStringList{"OptInD", "CmdSndClk_1", "ChkWEn"};
}

void TestForm::tabOrder()
{
    QFETCH(int, workTime);
    QFETCH(bool, countDown);
    QFETCH(QStringList, stops);
    Fixture f;
    f.form.SetSwitch(workTime);
    f.form.ChkWEn_Click();
    f.form.SetCountDown(countDown);
    QCOMPARE(f.form.FirstTabStop(), Control::ChkWEn);
    QStringList forward, backward;
    for (Control at = Control::ChkWEn; forward.size() < stops.size();) {
        at = f.form.NextTabStop(at, false).value();
        forward << QString::fromUtf8(UniqueName(at).data(), qsizetype(UniqueName(at).size()));
    }
    for (Control at = Control::ChkWEn; backward.size() < stops.size();) {
        at = f.form.NextTabStop(at, true).value();
        backward << QString::fromUtf8(UniqueName(at).data(), qsizetype(UniqueName(at).size()));
    }
    QCOMPARE(forward, stops);
    QStringList reversed(stops.rbegin() + 1, stops.rend());
    reversed << "ChkWEn";
    QCOMPARE(backward, reversed);
}

void TestForm::closeRequests_data()
{
    QTest::addColumn<bool>("duringSend");
    QTest::addColumn<bool>("answerYes");
    QTest::addColumn<bool>("cancel");
    QTest::addColumn<int>("questions");
    QTest::addColumn<bool>("discarded"); // the send gave up what had not left
    QTest::addColumn<QString>("how"); // a close request, or an event of the session
    QTest::addColumn<bool>("openAfter"); // the port, as the request or the event returns
    QTest::newRow("idle") << false << false << false << 0 << false << "close" << false;
    QTest::newRow("sending, No") << true << false << true << 1 << false << "close" << true;
    QTest::newRow("sending, Yes") << true << true << false << 1 << true << "close" << true;
    QTest::newRow("sending, the session ends: as Yes, the port let go of at once")
        << true << false << false << 0 << true << "end" << false;
    QTest::newRow("sending, asked whether the session may end: the send goes on")
        << true << false << false << 0 << false << "asked" << true;
    QTest::newRow("sending, the end refused") << true << false << false << 0 << false << "refused" << true;
}

void TestForm::closeRequests()
{
    const std::string question = "question " + std::string(Messages::CloseWhileSending) + "|"
                               + std::string(Messages::CloseWhileSendingTitle);
    QFETCH(bool, duringSend);
    QFETCH(bool, answerYes);
    QFETCH(bool, cancel);
    QFETCH(int, questions);
    QFETCH(bool, discarded);
    QFETCH(QString, how);
    QFETCH(bool, openAfter);
    Fixture f;
    f.view[Control::ComSele].text = "COM2";
    f.view[Control::TxtDJS].text = "77";
    f.port.present = {2};
    f.view.answerYes = answerYes;
    bool cancelled = false, open = false;
    const auto close = [&] {
        if (how == "close")
            f.form.Form_Unload(cancelled);
        else if (how == "end")
            QCOMPARE(f.form.SessionChanged(SessionEvent::Ends), SessionStep::EndProgram);
        else
            QCOMPARE(f.form.SessionChanged(how == "asked" ? SessionEvent::EndAsked : SessionEvent::EndRefused),
                     SessionStep::Nothing);
        open = f.port.PortOpen();
        f.port.drainPolls = 2;
    };
    if (duringSend) {
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
    QCOMPARE(std::count(log.begin(), log.end(), question), std::ptrdiff_t(questions));
    QCOMPARE(cancelled, cancel);
    QCOMPARE(open, openAfter);
    // Saved on every close request, whatever the answer, and on every event but a refusal.
    QFile ini(f.folder.filePath("Tallymark.ini"));
    QCOMPARE(ini.open(QIODevice::ReadOnly) && ini.readAll().contains("DDD=77"), how != "refused");
    QCOMPARE(std::find(f.port.log.begin(), f.port.log.end(), "DiscardOutput") != f.port.log.end(), discarded);
    QVERIFY(!f.port.PortOpen());
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

void TestForm::tableRules_data()
{
    AddRows(TableRules);
}

void TestForm::tableRules()
{
    QFETCH(int, row);
    QVERIFY(TableRules[row].holds());
}

QTEST_APPLESS_MAIN(TestForm)
#include "test_form.moc"
