// The real program, started as an operator starts it: copied into a folder of its own with
// its settings file and its COM ports leading to pseudo-terminals, shown on a real X server,
// clicked and typed into, closed with its close box or its exit button.
//
// One table of scenarios, two runners from this one source: test_panel_end_to_end drives the
// Qt program, test_panel_end_to_end_wine drives tallymark.exe under Wine. Both click and type
// at the same points of the window, worked out from the table of controls.

#include <QtTest>

#include <fcntl.h>
#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <sys/file.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <map>
#include <span>
#include <memory>
#include <optional>

#include "support/FileContent.h"
#include "support/LiveUpdate.h"
#include "support/PanelFrontEnd.h"
#include "support/PseudoTerminal.h"
#include "support/XSession.h"
#include "ui/Controls.h"

using namespace std::chrono_literals;
using namespace tallymark;
using tallymark::testing::Difference;
using tallymark::testing::PanelFrontEnd;
using tallymark::testing::PortLinks;
using tallymark::testing::PseudoTerminal;
using tallymark::testing::ReadAll;
using tallymark::testing::Request;
using tallymark::testing::XSession;

namespace {

const QString PanelTitle = QString::fromUtf8(WindowTitle.data(), int(WindowTitle.size()));
const QString QuestionTitle = QStringLiteral("警告");
const QString ErrorTitle = QStringLiteral("エラー発生");
// The start of a skip's reason where a scenario does not apply to a front end, as against a
// machine that lacks what the scenario needs (tools/check-windows-32 tells the two apart).
const QString NotOnThisFrontEnd = QStringLiteral("not on this front end: ");

// The middle of a control, in pixels of the client area.
QPoint CentreOf(Control control)
{
    const Pixels place = InPixels(PlaceInWindow(control));
    return {place.left + place.width / 2, place.top + place.height / 2};
}

using tallymark::testing::StoredFile;
using tallymark::testing::StoredSettings;
const QByteArray SavedFile = QByteArray(StoredFile).replace("DDD=12345", "DDD=123");

// True once the process has the device open (with `open` false: no longer has it open, a
// device gone meanwhile included), waiting up to `timeout`. Found among its open files, so
// that looking does not get in the way of the program being watched.
bool WaitUntilOpenBy(qint64 pid, const std::string& device, std::chrono::milliseconds timeout, bool open = true)
{
    const QString target = QString::fromStdString(device);
    QElapsedTimer waited;
    waited.start();
    do {
        const QDir files(QStringLiteral("/proc/%1/fd").arg(pid));
        const QFileInfoList list = files.entryInfoList(QDir::System | QDir::NoDotAndDotDot);
        const bool found = std::any_of(list.begin(), list.end(),
                                       [&](const QFileInfo& file) {
                                           const QString link = file.symLinkTarget();
                                           return link == target || link == target + QStringLiteral(" (deleted)");
                                       });
        if (found == open)
            return true;
        QTest::qWait(5);
    } while (waited.elapsed() < timeout.count());
    return false;
}

// The panel program in a folder of its own.
class Panel {
public:
    Panel(PanelFrontEnd& frontEnd, const QByteArray* settingsFile, const PortLinks& ports = {})
        : frontEnd_(frontEnd)
    {
        QVERIFY(folder_.isValid());
        command_ = frontEnd.Install(folder_.path());
        if (settingsFile)
            WriteSettings(*settingsFile);
        frontEnd.LinkPorts(folder_.path(), ports);
    }
    ~Panel()
    {
        if (process_.state() != QProcess::NotRunning) {
            process_.kill();
            process_.waitForFinished(5000);
        }
    }

    QString Folder() const { return folder_.path(); }
    QString IniPath() const { return folder_.filePath("Tallymark.ini"); }
    void WriteSettings(const QByteArray& content)
    {
        QFile file(IniPath());
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(content);
    }
    QByteArray Settings() const
    {
        QFile file(IniPath());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    // The program runs as `user`, in none of the superuser's groups: its folder becomes the
    // user's, and so does a copy of the X server's key.
    void RunAs(uid_t user)
    {
        environment_ = frontEnd_.Environment();
        QDirIterator entries(folder_.path(), QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System,
                             QDirIterator::Subdirectories);
        while (entries.hasNext())
            QCOMPARE(::lchown(QFile::encodeName(entries.next()).constData(), user, user), 0);
        QCOMPARE(::chown(QFile::encodeName(folder_.path()).constData(), user, user), 0);
        if (const QString key = environment_->value("XAUTHORITY"); !key.isEmpty()) {
            const QString copy = folder_.filePath("Xauthority");
            QVERIFY(QFile::copy(key, copy));
            QCOMPARE(::chown(QFile::encodeName(copy).constData(), user, user), 0);
            environment_->insert("XAUTHORITY", copy);
        }
        const QString id = QString::number(user);
        command_ = QStringList{"setpriv", "--reuid=" + id, "--regid=" + id, "--clear-groups", "--"} + command_;
    }

    // Starts the program and waits for its window.
    unsigned long Start(XSession& x)
    {
        process_.setProcessEnvironment(environment_.value_or(frontEnd_.Environment()));
        process_.setProcessChannelMode(QProcess::ForwardedChannels);
        process_.start(command_.front(), command_.mid(1));
        if (!process_.waitForStarted(10000))
            return 0;
        return x.WaitForWindow(PanelTitle, 20s).value_or(0);
    }
    bool WaitForExit(int ms = 10000) { return process_.waitForFinished(ms); }
    bool Running() const { return process_.state() == QProcess::Running; }
    int ExitCode() const { return process_.exitCode(); }
    QProcess::ExitStatus ExitStatus() const { return process_.exitStatus(); }
    qint64 ProcessId() const { return process_.processId(); }

private:
    PanelFrontEnd& frontEnd_;
    QTemporaryDir folder_;
    QStringList command_;
    std::optional<QProcessEnvironment> environment_;
    QProcess process_;
};

// The user's own settings file, as another copy of the panel may leave it; gone before and after.
struct UserFile {
    explicit UserFile(const PanelFrontEnd& frontEnd, const std::string& content = {}) : path(frontEnd.UserSettingsFile())
    {
        QFile::remove(path);
        if (!content.empty() && QDir().mkpath(QFileInfo(path).path()))
            tallymark::testing::WriteAll(path, content);
    }
    ~UserFile() { QFile::remove(path); }
    const QString path;
};

// Holds a pseudo-terminal's output back, as a line whose far end stopped listening, so
// that a send stays in its drain wait until the line is released.
class HeldLine {
public:
    explicit HeldLine(const std::string& device) : fd_(::open(device.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC))
    {
        if (fd_ != -1)
            ::tcflow(fd_, TCOOFF);
    }
    ~HeldLine() { Release(); }
    void Release()
    {
        if (fd_ != -1) {
            ::tcflow(fd_, TCOON);
            ::close(fd_);
        }
        fd_ = -1;
    }
    bool Held() const { return fd_ != -1; }

private:
    int fd_;
};

// ProgressBar1 as the screen shows it, at a tenth and at nine tenths of its width: one colour
// across when it is empty or full. Each look is one capture, with a point of the window's
// background beside the bar's.
class BarOnScreen {
public:
    BarOnScreen(XSession& x, unsigned long window) : x_(x), window_(window)
    {
        const Pixels bar = InPixels(PlaceInWindow(Control::ProgressBar1));
        points_[0] = {bar.left + bar.width / 10, bar.top + bar.height / 2};
        points_[1] = {bar.left + bar.width * 9 / 10, bar.top + bar.height / 2};
        points_[2] = {1, 1};
    }
    // Waits until the window has painted the bar, empty as it is before any send: no longer
    // of the window's background colour, which a window not yet painted shares with it.
    bool WaitUntilPainted(std::chrono::milliseconds timeout)
    {
        return WaitFor(timeout, [&](unsigned long start, unsigned long end, unsigned long background) {
            empty_ = start;
            return start == end && start != background;
        });
    }
    // Waits until the bar is full: the send's second step, which the window paints only while
    // the send waits for its bytes to leave.
    bool WaitUntilFull(std::chrono::milliseconds timeout)
    {
        return WaitFor(timeout, [&](unsigned long start, unsigned long end, unsigned long) {
            return start == end && start != empty_;
        });
    }
    // Waits until the bar is empty again, as the send leaves it at its end.
    bool WaitUntilEmpty(std::chrono::milliseconds timeout)
    {
        return WaitFor(timeout, [&](unsigned long start, unsigned long end, unsigned long) {
            return start == end && start == empty_;
        });
    }

private:
    template <typename Done>
    bool WaitFor(std::chrono::milliseconds timeout, Done done)
    {
        QElapsedTimer waited;
        waited.start();
        do {
            if (const auto seen = x_.Pixels(window_, points_); seen && done((*seen)[0], (*seen)[1], (*seen)[2]))
                return true;
            QTest::qWait(5);
        } while (waited.elapsed() < timeout.count());
        return false;
    }

    XSession& x_;
    unsigned long window_;
    QPoint points_[3];
    unsigned long empty_ = 0;
};

// The front end runs as Windows 7 for as long as this lives.
class AsWindows7 {
public:
    explicit AsWindows7(PanelFrontEnd& frontEnd) : frontEnd_(frontEnd) { frontEnd_.ReportWindows7(true); }
    ~AsWindows7() { frontEnd_.ReportWindows7(false); }

private:
    PanelFrontEnd& frontEnd_;
};

std::unique_ptr<PanelFrontEnd> MakeFrontEnd()
{
#ifdef TALLYMARK_WINDOWS_PANEL
    return std::make_unique<tallymark::testing::WineFrontEnd>(QStringLiteral(TALLYMARK_WINDOWS_PANEL),
                                                              QStringLiteral(TALLYMARK_WINE_HOME),
                                                              QStringLiteral(TALLYMARK_WINE_RUN));
#else
    return std::make_unique<tallymark::testing::QtFrontEnd>(QStringLiteral(TALLYMARK_PROGRAM));
#endif
}

struct Step; // a step of the operator's, in the tables below

} // namespace

class TestPanelEndToEnd : public QObject {
    Q_OBJECT

public:
    void BothButtonsSendAndExitRewritesTheFile();
    void FirstStartWritesTheNineLines();
    void TypedTimeCountsOnceItsBoxIsLeft();
    void CloseDuringSendAnsweredNo();
    void CloseDuringSendAnsweredYes();
    void PortVanishesDuringSend();
    void HeldPortIsNotListed();
    void RefusedPortIsToldAndComesLater();
    void SendCommandSendsWhatTheButtonsSend();
    void EveryControlDriven();
    void PortsComeAndGo();
    void KeysAfterAChange();
    void PortableCopyKeepsItsOwnFile();
    void FailedSaveIsToldAndMovesNothing();
    void LogOffWhileTheQuestionAsks() { AskDuringAHeldSend(Request::LogOff, true); }
    void CloseFromOutsideWhileTheQuestionAsks() { AskDuringAHeldSend(Request::Close, true); }
    void RefusedLogOffDuringASend() { AskDuringAHeldSend(Request::RefusedLogOff, false); }

private slots:
    void initTestCase();
    void scenario_data();
    void scenario();

private:
    // Clicks a send button and checks the 15 bytes that reach the line.
    void CheckSend(PseudoTerminal& line, unsigned long window, Control button, const PanelSettings& shown);
    // Starts the panel with the ports given, does each step and checks what it sends to the
    // port then shown, exits and checks the file.
    void RunSteps(std::span<const Step> steps, const PortLinks& atStart, std::map<int, PseudoTerminal*> lines);
    // Clicks the settings group's send on a held line and waits until the panel has the port
    // open and the send is in its drain wait, as the full progress bar on screen shows. The
    // port is open earlier than that, but only from then on is the update queued.
    void SendIntoHeldLine(Panel& panel, BarOnScreen& bar, unsigned long window, const std::string& device);
    // The system asks `request` while a send is held and, where `asking`, the close question asks.
    void AskDuringAHeldSend(Request request, bool asking);

    std::unique_ptr<PanelFrontEnd> frontEnd_ = MakeFrontEnd();
    std::unique_ptr<XSession> x_;
};

namespace {

struct Scenario {
    const char* name;
    void (TestPanelEndToEnd::*run)();
};

const Scenario Scenarios[] = {
    {"both buttons send the update; exit rewrites the file", &TestPanelEndToEnd::BothButtonsSendAndExitRewritesTheFile},
    {"a first start writes the nine lines", &TestPanelEndToEnd::FirstStartWritesTheNineLines},
    {"a typed time counts once its box is left", &TestPanelEndToEnd::TypedTimeCountsOnceItsBoxIsLeft},
    {"close during a send, No: the send finishes", &TestPanelEndToEnd::CloseDuringSendAnsweredNo},
    {"close during a send, Yes: saved, the port let go of", &TestPanelEndToEnd::CloseDuringSendAnsweredYes},
    {"a port that vanishes during a send", &TestPanelEndToEnd::PortVanishesDuringSend},
    {"a port that another program holds is not listed", &TestPanelEndToEnd::HeldPortIsNotListed},
    {"a port refused to the user: the empty box's tooltip tells why; opened to the user, it comes",
     &TestPanelEndToEnd::RefusedPortIsToldAndComesLater},
    {"tallymark-send sends what the buttons send", &TestPanelEndToEnd::SendCommandSendsWhatTheButtonsSend},
    {"every control driven by mouse and keyboard", &TestPanelEndToEnd::EveryControlDriven},
    {"ports plugged in and pulled out while the panel runs", &TestPanelEndToEnd::PortsComeAndGo},
    {"the COM box's keys move in the list as it is after a change", &TestPanelEndToEnd::KeysAfterAChange},
    {"a copy in a folder it can write keeps to its own file", &TestPanelEndToEnd::PortableCopyKeepsItsOwnFile},
    {"a failed save is told at the close and moves nothing", &TestPanelEndToEnd::FailedSaveIsToldAndMovesNothing},
    {"a log-off while the close question asks: saved once, as shown", &TestPanelEndToEnd::LogOffWhileTheQuestionAsks},
    {"a close from outside while the question asks: the question decides",
     &TestPanelEndToEnd::CloseFromOutsideWhileTheQuestionAsks},
    {"a refused log-off during a send: all of it goes, the panel runs on", &TestPanelEndToEnd::RefusedLogOffDuringASend},
};

// One input of an operator's step: a click on a control, keys typed into the window, an
// item chosen from a combo box's drop-down list with the mouse, text dropped on a control, or
// a port's adapter plugged in or pulled out.
struct Input {
    enum Kind { Click, Keys, Choose, Plug, Unplug, PlugUnnamed, Wheel, Drop } kind;
    Control control = Control::Form1;
    int where = 0; // a click's place: 0 the middle, -1 a spinner's upper arrow, 1 its lower arrow; an item;
                   // a turn of the wheel: -1 up, 1 down; a drop: 1 where the window refuses it
    const char* keys = nullptr; // X keysym names separated by blanks; the text dropped
    int items = 0; // how many items the list holds; the port plugged in or pulled out
};

Input ClickOn(Control control, int where = 0)
{
    return {Input::Click, control, where};
}

// A turn of the mouse wheel over the middle of the control.
Input Turn(Control control, int down)
{
    return {Input::Wheel, control, down};
}

Input Press(const char* keys)
{
    return {Input::Keys, Control::Form1, 0, keys};
}

// Text dragged from another program and dropped on the middle of the control, which takes it
// or, on a control that takes no text, refuses it.
Input DropOn(Control control, const char* text, bool refused = false)
{
    return {Input::Drop, control, refused, text};
}

Input Choose(Control combo, int item, int of)
{
    return {Input::Choose, combo, item, nullptr, of};
}

Input PlugIn(int port)
{
    return {Input::Plug, Control::Form1, 0, nullptr, port};
}

// Plugged in, and the system says only that some device came.
Input PlugInUnnamed(int port)
{
    return {Input::PlugUnnamed, Control::Form1, 0, nullptr, port};
}

Input PullOut(int port)
{
    return {Input::Unplug, Control::Form1, 0, nullptr, port};
}

// What the window shows, and so sends and saves, after a step: its settings and the port.
struct Shown {
    PanelSettings settings;
    int port;
};
using Change = void (*)(Shown&);

// A step of the operator's, then a send: by a click on the settings group's send button, or
// by the step's own keys on a focused send button. Each step starts where the last one left
// the focus, on the send button that sent.
struct Step {
    const char* name;
    std::vector<Input> inputs;
    Change change;
    std::optional<Control> sentBy = std::nullopt; // the button the step's keys send with
};

const char* const TabAround = "Tab Tab Tab Tab Tab Tab Tab Tab Tab Tab Tab Tab Tab"; // every stop once

const Step Steps[] = {
    {"減算 by mouse", {ClickOn(Control::OptDeD)}, [](Shown& s) { s.settings.countUp = false; }},
    {"加算 by mouse", {ClickOn(Control::OptInD)}, [](Shown& s) { s.settings.countUp = true; }},
    {"減算 by Shift+Tab to the pair and an arrow", {Press("Shift+Tab Down")},
     [](Shown& s) { s.settings.countUp = false; }},
    {"加算 by an arrow back, then Space", {Press("Shift+Tab Left space")}, [](Shown& s) { s.settings.countUp = true; }},
    {"the switch by mouse", {ClickOn(Control::ChkWEn)}, [](Shown& s) { s.settings.workTimeSwitch = 0; }},
    {"the switch by Space", {Press("Tab space")}, [](Shown& s) { s.settings.workTimeSwitch = 1; }},
    {"the start spinner's upper arrow", {ClickOn(Control::VScSTime, -1)}, [](Shown& s) { s.settings.workStart = 451; }},
    {"the start spinner's lower arrow", {ClickOn(Control::VScSTime, 1)}, [](Shown& s) { s.settings.workStart = 450; }},
    {"the end spinner's arrows",
     {ClickOn(Control::VScETime, -1), ClickOn(Control::VScETime, -1), ClickOn(Control::VScETime, 1)},
     [](Shown& s) { s.settings.workEnd = 1201; }},
    {"page moves by the keys", {Press("Tab Tab Tab Prior Prior Next")}, [](Shown& s) { s.settings.workStart = 460; }},
    {"the upper arrow at 23:59 changes nothing", {Press("Tab Tab Tab Home"), ClickOn(Control::VScSTime, -1)},
     [](Shown& s) { s.settings.workStart = 1439; }},
    {"the lower arrow at 00:00 changes nothing", {Press("Tab Tab Tab Tab End"), ClickOn(Control::VScETime, 1)},
     [](Shown& s) { s.settings.workEnd = 0; }},
    {"a day count typed", {Press("Tab Tab Tab Tab Tab Tab 4 2")}, [](Shown& s) { s.settings.dayCountText = "42"; }},
    {"a day count emptied", {Press("Tab Tab Tab Tab Tab Tab BackSpace")}, [](Shown& s) { s.settings.dayCountText = ""; }},
    // A step of its own: Wine hands a drop to the window at once, before keys still queued.
    {"a day count dropped keeps its first line", {DropOn(Control::TxtDJS, "57\n8")},
     [](Shown& s) { s.settings.dayCountText = "57"; }},
    {"text dropped on the current time or a button is refused",
     {DropOn(Control::TxtTime, "12:00", true), DropOn(Control::CmdSndClk1, "99", true)}, [](Shown&) {}},
    {"a brightness typed", {Press("Tab Tab Tab Tab Tab Tab Tab 7")},
     [](Shown& s) { s.settings.brightnessText = "7"; }},
    {"a brightness emptied", {Press("Tab Tab Tab Tab Tab Tab Tab BackSpace")},
     [](Shown& s) { s.settings.brightnessText = ""; }},
    {"a brightness dropped into its combo box keeps its first line", {DropOn(Control::ComBright, "6\n3")},
     [](Shown& s) { s.settings.brightnessText = "6"; }},
    {"a brightness chosen from the list", {Choose(Control::ComBright, 1, 8)},
     [](Shown& s) { s.settings.brightnessText = "2"; }},
    {"a port chosen from the list", {Choose(Control::ComSele, 0, 2)}, [](Shown& s) { s.port = 3; }},
    {"Enter on the focused send button", {Press("Return")}, [](Shown&) {}, Control::CmdSndClk1},
    {"Space on the focused send button", {Press("space")}, [](Shown&) {}, Control::CmdSndClk1},
    {"Enter on the current-time group's send button", {Press("Shift+Tab Shift+Tab Shift+Tab Shift+Tab Shift+Tab Return")},
     [](Shown&) {}, Control::CmdSndClk0},
    {"Tab through the whole window in tab order", {Press(TabAround), Press("Return")}, [](Shown&) {},
     Control::CmdSndClk0},
    {"減算 by mouse once more, as the file keeps it", {ClickOn(Control::OptDeD)},
     [](Shown& s) { s.settings.countUp = false; }},
};

// Where a step's inputs go: the window, and the program's ports.
struct Drive {
    XSession& x;
    unsigned long window;
    PanelFrontEnd& frontEnd;
    QString folder;
    std::map<int, PseudoTerminal*> lines; // what each port leads to when it is plugged in
};

// Does what one input of a step says, in the window.
void Do(Drive& drive, const Input& input)
{
    XSession& x = drive.x;
    const unsigned long window = drive.window;
    const Pixels place = InPixels(PlaceInWindow(input.control));
    switch (input.kind) {
    case Input::Click: {
        const int y = input.where < 0   ? place.top + 3
                    : input.where > 0 ? place.top + place.height - 4
                                      : place.top + place.height / 2;
        x.Click(window, {place.left + place.width / 2, y});
        break;
    }
    case Input::Drop:
        QCOMPARE(x.DropText(window, {place.left + place.width / 2, place.top + place.height / 2}, input.keys),
                 input.where ? XSession::Drop::Refused : XSession::Drop::Taken);
        break;
    case Input::Wheel:
        x.Click(window, {place.left + place.width / 2, place.top + place.height / 2}, input.where > 0 ? 5 : 4);
        break;
    case Input::Keys:
        for (const QString& key : QString::fromLatin1(input.keys).split(' '))
            x.Key(window, key.toLatin1().constData());
        break;
    case Input::Choose: {
        // The list drops down from the button at the right end of the box; its items share
        // its height evenly.
        x.Click(window, {place.left + place.width - 6, place.top + place.height / 2});
        const std::optional<QRect> list = x.WaitForPopup(window, 5s);
        QVERIFY(list);
        const QPoint origin = x.Geometry(window).topLeft();
        const int rowHeight = list->height() / input.items;
        // A list takes no click in the moment after it drops, lest the press that dropped it
        // choose an item as it is let go.
        QTest::qWait(600);
        x.Click(window, {list->center().x() - origin.x(),
                           list->top() + rowHeight * input.where + rowHeight / 2 - origin.y()});
        // The list goes up again before the window takes the next click.
        QTRY_VERIFY_WITH_TIMEOUT(!x.WaitForPopup(window, 0ms), 5000);
        break;
    }
    case Input::Plug:
    case Input::Unplug:
    case Input::PlugUnnamed: {
        std::map<int, int> opens;
        for (const auto& [port, line] : drive.lines)
            opens[port] = line->Opens();
        PseudoTerminal* plugged = input.kind == Input::Unplug ? nullptr : drive.lines.at(input.items);
        const int closes = plugged ? plugged->Closes() : 0;
        drive.frontEnd.PlugPort(drive.folder, input.items, plugged ? plugged->DevicePath() : std::string(),
                                input.kind != Input::PlugUnnamed);
        // The system's word reaches the window in its own time; without a port's name, once
        // its burst has settled. A port plugged in is listed as its try closes it again; one
        // pulled out leaves the list without a try, which nothing outside the window sees.
        if (plugged)
            QTRY_VERIFY_WITH_TIMEOUT(plugged->Closes() > closes, 10000);
        else
            QTest::qWait(300);
        for (const auto& [port, line] : drive.lines)
            if (input.kind == Input::PlugUnnamed && port != input.items)
                QCOMPARE(line->Opens(), opens[port]);
        break;
    }
    }
}

// Ports plugged in while the panel runs: COM3 is there at the start, COM5 comes and is listed
// after it; COM3 goes and leaves the list, so that the arrow above COM5 finds nothing. A
// text typed for COM4 stays while COM4 comes and COM5 goes. COM6 comes with a change that
// names no port (on Linux, its stable name's folder is made after the start). With COM3 and
// COM5 back, Down moves from the item of a text typed in small letters, not from the one
// selected before; Shift+Down and a turn of the wheel do the same.
const Step PortSteps[] = {
    {"a port plugged in is listed after the others", {PlugIn(5), Choose(Control::ComSele, 1, 2)},
     [](Shown& s) { s.port = 5; }},
    {"a port pulled out leaves the list", {PullOut(3), Press("Shift+Tab Shift+Tab Shift+Tab Up")}, [](Shown&) {}},
    {"the text typed stays while a port comes", {Press("Shift+Tab Shift+Tab Shift+Tab Shift+c Shift+o Shift+m 4"), PlugIn(4)},
     [](Shown& s) { s.port = 4; }},
    {"the text typed stays while a port goes", {PullOut(5)}, [](Shown&) {}},
    {"a port found after a change without its name; no listed port opened", {PlugInUnnamed(6), Choose(Control::ComSele, 1, 2)},
     [](Shown& s) { s.port = 6; }},
    {"Down from a typed port reaches the next one",
     {PlugIn(3), PlugIn(5), Press("Shift+Tab Shift+Tab Shift+Tab c o m 3 Down")}, [](Shown& s) { s.port = 4; }},
    {"Shift+Down as Down", {Press("Shift+Tab Shift+Tab Shift+Tab Shift+c Shift+o Shift+m 3 Shift+Down")}, [](Shown& s) { s.port = 4; }},
    {"a turn of the wheel as Down", {Press("Shift+Tab Shift+Tab Shift+Tab c o m 3"), Turn(Control::ComSele, 1)},
     [](Shown& s) { s.port = 4; }},
};

// COM29 and COM30 at the start, COM30 shown: after each change, a key or the wheel in the box
// moves from the item its text names in the list as it stands.
const Step ChangedListSteps[] = {
    {"Down after a named arrival",
     {ClickOn(Control::ComSele), Press("Down"), PlugIn(31), ClickOn(Control::ComSele), Press("Down")},
     [](Shown& s) { s.port = 31; }},
    {"Down after a change without a name", {PlugInUnnamed(32), ClickOn(Control::ComSele), Press("Down")},
     [](Shown& s) { s.port = 32; }},
    {"Up after a removal", {PullOut(31), ClickOn(Control::ComSele), Press("Up")}, [](Shown& s) { s.port = 30; }},
    {"Page Down after an arrival", {PlugIn(31), ClickOn(Control::ComSele), Press("Next")},
     [](Shown& s) { s.port = 32; }},
    {"the wheel up after a removal", {PullOut(30), Turn(Control::ComSele, -1)}, [](Shown& s) { s.port = 31; }},
    {"Down after an arrival before the port shown", {PullOut(29), PlugIn(29), ClickOn(Control::ComSele), Press("Down")},
     [](Shown& s) { s.port = 32; }},
};

// The settings file as the panel saves what it shows, over the stored one.
QByteArray SavedWith(const PanelSettings& shown)
{
    QString file = QString::fromLatin1(StoredFile);
    const auto put = [&](const char* key, const QString& value) {
        file.replace(QRegularExpression(QStringLiteral("\\b%1=[^\\r]*").arg(key)), QStringLiteral("%1=%2").arg(key, value));
    };
    put("WorkTimeEnable", QString::number(shown.workTimeSwitch));
    put("StartWorkTime", QString::number(shown.workStart));
    put("EndWorkTime", QString::number(shown.workEnd));
    put("DDD", QString::fromStdString(shown.dayCountText));
    put("DownCount", shown.countUp ? "0" : "1");
    put("Bright", QString::fromStdString(shown.brightnessText));
    return file.toLatin1();
}

// The scenario that runs once more on a front end that can report Windows 7.
constexpr std::size_t Windows7Scenario = 0;

} // namespace

void TestPanelEndToEnd::initTestCase()
{
    x_ = std::make_unique<XSession>();
    if (!x_->IsConnected())
        QSKIP("needs an X server; ctest runs this test under xvfb-run");
    if (const QString missing = frontEnd_->Unavailable(); !missing.isEmpty())
        QSKIP(qPrintable(missing));
}

void TestPanelEndToEnd::scenario_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<bool>("windows7");
    for (std::size_t i = 0; i < std::size(Scenarios); ++i)
        QTest::newRow(Scenarios[i].name) << int(i) << false;
    if (frontEnd_->CanReportWindows7())
        QTest::addRow("%s, on Windows 7", Scenarios[Windows7Scenario].name) << int(Windows7Scenario) << true;
}

void TestPanelEndToEnd::scenario()
{
    QFETCH(int, index);
    QFETCH(bool, windows7);
    std::optional<AsWindows7> version;
    if (windows7)
        version.emplace(*frontEnd_);
    (this->*Scenarios[index].run)();
}

void TestPanelEndToEnd::CheckSend(PseudoTerminal& line, unsigned long window, Control button, const PanelSettings& shown)
{
    x_->Click(window, CentreOf(button));
    const std::vector<std::uint8_t> bytes = line.Read(15, 5s);
    QCOMPARE(bytes.size(), std::size_t(15));
    QCOMPARE(line.ReadUntilQuiet(200ms).size(), std::size_t(0));
    tallymark::testing::CheckLiveUpdate(bytes, shown, RowOf(button).index);
}

void TestPanelEndToEnd::SendIntoHeldLine(Panel& panel, BarOnScreen& bar, unsigned long window, const std::string& device)
{
    QVERIFY(bar.WaitUntilPainted(5s));
    x_->Click(window, CentreOf(Control::CmdSndClk1));
    QVERIFY(WaitUntilOpenBy(panel.ProcessId(), device, 10s));
    QVERIFY(bar.WaitUntilFull(10s));
}

void TestPanelEndToEnd::BothButtonsSendAndExitRewritesTheFile()
{
    PseudoTerminal line;
    Panel panel(*frontEnd_, &StoredFile, {{3, line.DevicePath()}});
    const unsigned long window = panel.Start(*x_);
    QVERIFY(window);
    const Pixels client = InPixels(PlaceInWindow(Control::Form1));
    QCOMPARE(x_->Geometry(window).size(), QSize(client.width, client.height));

    CheckSend(line, window, Control::CmdSndClk0, StoredSettings);
    CheckSend(line, window, Control::CmdSndClk1, StoredSettings);

    x_->Click(window, CentreOf(Control::CmdExit));
    QVERIFY(panel.WaitForExit());
    QCOMPARE(panel.ExitStatus(), QProcess::NormalExit);
    QCOMPARE(panel.ExitCode(), 0);
    QCOMPARE(panel.Settings(), SavedFile);
}

void TestPanelEndToEnd::FirstStartWritesTheNineLines()
{
    Panel panel(*frontEnd_, nullptr);
    const unsigned long window = panel.Start(*x_);
    QVERIFY(window);
    x_->RequestClose(window);
    QVERIFY(panel.WaitForExit());
    QCOMPARE(panel.ExitCode(), 0);
    QCOMPARE(panel.Settings(), QByteArray("[WorkTime]\r\nWorkTimeEnable=0\r\nStartWorkTime=450\r\nEndWorkTime=1200\r\n"
                                          "[Tallymarks]\r\nDDD=168\r\nDownCount=1\r\n[Bright]\r\nBright=5\r\n"));
}

void TestPanelEndToEnd::TypedTimeCountsOnceItsBoxIsLeft()
{
    PseudoTerminal line;
    Panel panel(*frontEnd_, &StoredFile, {{3, line.DevicePath()}});
    const unsigned long window = panel.Start(*x_);
    QVERIFY(window);

    // The window opens with the focus on the switch; Tab takes it to the start time, whose
    // text it selects, so that typing replaces it. Leaving the box commits "12.34" as 12:34.
    x_->Key(window, "Tab");
    for (const char* key : {"1", "2", "period", "3", "4", "Tab"})
        x_->Key(window, key);
    PanelSettings typed = StoredSettings;
    typed.workStart = 12 * 60 + 34;
    CheckSend(line, window, Control::CmdSndClk1, typed);

    x_->Click(window, CentreOf(Control::CmdExit));
    QVERIFY(panel.WaitForExit());
    QVERIFY(panel.Settings().contains("StartWorkTime=754\r\n"));
}

void TestPanelEndToEnd::CloseDuringSendAnsweredNo()
{
    PseudoTerminal line;
    Panel panel(*frontEnd_, &StoredFile, {{3, line.DevicePath()}});
    const unsigned long window = panel.Start(*x_);
    QVERIFY(window);

    HeldLine held(line.DevicePath());
    QVERIFY(held.Held());
    BarOnScreen bar(*x_, window);
    SendIntoHeldLine(panel, bar, window, line.DevicePath());
    panel.WriteSettings("");
    x_->RequestClose(window);
    const auto question = x_->WaitForWindow(QuestionTitle, 15s);
    QVERIFY(question);
    x_->Key(*question, "Escape"); // answers nothing: only Yes or No does
    QTest::qWait(300);
    QVERIFY(x_->WaitForWindow(QuestionTitle, 0ms));
    x_->Key(*question, "n"); // No
    QVERIFY(x_->WaitForWindowGone(QuestionTitle, 5s));
    // The window stays, and the settings were written all the same.
    QVERIFY(panel.Running());
    QVERIFY(x_->WaitForWindow(PanelTitle, 1s));
    QTRY_COMPARE(panel.Settings(), QByteArray("[WorkTime]\r\nWorkTimeEnable=1\r\nStartWorkTime=450\r\nEndWorkTime=1200\r\n"
                                              "[Tallymarks]\r\nDDD=123\r\nDownCount=0\r\n[Bright]\r\nBright=3\r\n"));

    // The send goes on once the line moves again, and completes.
    held.Release();
    QCOMPARE(line.Read(15, 5s).size(), std::size_t(15));
    QTest::qWait(200);
    x_->RequestClose(window); // no send under way: no question
    QVERIFY(panel.WaitForExit());
    QCOMPARE(panel.ExitCode(), 0);
}

void TestPanelEndToEnd::CloseDuringSendAnsweredYes()
{
    PseudoTerminal line;
    Panel panel(*frontEnd_, &StoredFile, {{3, line.DevicePath()}});
    const unsigned long window = panel.Start(*x_);
    QVERIFY(window);

    HeldLine held(line.DevicePath());
    BarOnScreen bar(*x_, window);
    SendIntoHeldLine(panel, bar, window, line.DevicePath());
    x_->Click(window, CentreOf(Control::CmdExit));
    const auto question = x_->WaitForWindow(QuestionTitle, 15s);
    QVERIFY(question);
    x_->Key(*question, "Return"); // Yes, the default button
    QVERIFY(panel.WaitForExit(5000));
    QCOMPARE(panel.ExitStatus(), QProcess::NormalExit);
    QCOMPARE(panel.ExitCode(), 0);
    QCOMPARE(panel.Settings(), SavedFile);
    // The port was let go of: another program can take it at once.
    held.Release();
    const int fd = ::open(line.DevicePath().c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    QVERIFY(fd != -1);
    const bool taken = ::flock(fd, LOCK_EX | LOCK_NB) == 0;
    ::close(fd);
    QVERIFY(taken);
}

void TestPanelEndToEnd::AskDuringAHeldSend(Request request, bool asking)
{
    PseudoTerminal line;
    Panel panel(*frontEnd_, &StoredFile, {{3, line.DevicePath()}});
    const unsigned long window = panel.Start(*x_);
    QVERIFY(window);
    HeldLine held(line.DevicePath());
    BarOnScreen bar(*x_, window);
    SendIntoHeldLine(panel, bar, window, line.DevicePath());
    if (asking) {
        x_->Click(window, CentreOf(Control::CmdExit));
        QVERIFY(x_->WaitForWindow(QuestionTitle, 15s));
    }
    if (!frontEnd_->Ask(request, panel.ProcessId()))
        QSKIP(qPrintable(NotOnThisFrontEnd + "its system does not ask that"));
    if (request == Request::RefusedLogOff) {
        held.Release();
        QCOMPARE(line.Read(15, 5s).size(), std::size_t(15));
        QTest::qWait(200);
        x_->Click(window, CentreOf(Control::CmdExit)); // the send has ended: no question
    }
    if (request == Request::Close) {
        QTest::qWait(300); // one question, still asking
        x_->Key(x_->WaitForWindow(QuestionTitle, 1s).value_or(window), "Return"); // Yes
    }
    QVERIFY(panel.WaitForExit());
    QCOMPARE(panel.ExitCode(), 0);
    QCOMPARE(panel.Settings(), SavedFile);
}

void TestPanelEndToEnd::PortVanishesDuringSend()
{
    // The adapter is pulled out while a send waits for its bytes to leave: the wait ends,
    // the port is let go of, and the next send reports the missing port.
    auto line = std::make_unique<PseudoTerminal>();
    Panel panel(*frontEnd_, &StoredFile, {{3, line->DevicePath()}});
    const unsigned long window = panel.Start(*x_);
    QVERIFY(window);

    const std::string device = line->DevicePath();
    HeldLine held(device);
    BarOnScreen bar(*x_, window);
    SendIntoHeldLine(panel, bar, window, device);
    held.Release();
    line.reset();
    // The send is over once the window has emptied the bar; under Wine the device's handle
    // may leave the process before that.
    QVERIFY(bar.WaitUntilEmpty(15s));
    QVERIFY(WaitUntilOpenBy(panel.ProcessId(), device, 15s, false));
    QVERIFY(panel.Running());
    QVERIFY(!x_->WaitForWindow(QuestionTitle, 200ms));

    x_->Click(window, CentreOf(Control::CmdSndClk1));
    const auto message = x_->WaitForWindow(QuestionTitle, 15s);
    QVERIFY(message);
    x_->Key(*message, "Return");
    QVERIFY(x_->WaitForWindowGone(QuestionTitle, 5s));

    // No send is under way: closing asks nothing.
    x_->Click(window, CentreOf(Control::CmdExit));
    QVERIFY(panel.WaitForExit());
    QCOMPARE(panel.ExitCode(), 0);
}

void TestPanelEndToEnd::HeldPortIsNotListed()
{
    // COM2 and COM5 exist, but another program holds COM5: the panel lists COM2 only and
    // sends there. Under Wine, whether a held device opens is Wine's own affair, which
    // differs between its releases.
    if (const char* reason = frontEnd_->Differs(Difference::HeldPortOpens))
        QSKIP(qPrintable(NotOnThisFrontEnd + reason));
    PseudoTerminal free, taken;
    QProcess holder;
    holder.start("flock", {"--exclusive", "--nonblock", QString::fromStdString(taken.DevicePath()), "sleep", "60"});
    QVERIFY(holder.waitForStarted());
    QVERIFY(WaitUntilOpenBy(holder.processId(), taken.DevicePath(), 10s));
    Panel panel(*frontEnd_, &StoredFile, {{2, free.DevicePath()}, {5, taken.DevicePath()}});
    const unsigned long window = panel.Start(*x_);
    QVERIFY(window);
    CheckSend(free, window, Control::CmdSndClk1, StoredSettings);
    QCOMPARE(taken.ReadUntilQuiet(200ms).size(), std::size_t(0));
    holder.kill();
    holder.waitForFinished();
    x_->Click(window, CentreOf(Control::CmdExit));
    QVERIFY(panel.WaitForExit());
}

void TestPanelEndToEnd::RefusedPortIsToldAndComesLater()
{
    // COM3 leads to a device root:dialout 0660, as Debian makes serial ports, and the panel
    // runs as a user outside that group: nothing is listed and nothing is shown at start,
    // and the pointer on the COM box finds the tooltip.
    if (const char* reason = frontEnd_->Differs(Difference::NoOtherUser))
        QSKIP(qPrintable(NotOnThisFrontEnd + reason));
    const group* dialout = ::getgrnam("dialout");
    if (::geteuid() != 0 || !dialout || !::getpwuid(65534))
        QSKIP("needs the superuser, a user 65534 and the group dialout, to refuse a device to a user");
    PseudoTerminal line;
    QCOMPARE(::chown(line.DevicePath().c_str(), 0, dialout->gr_gid), 0);
    QCOMPARE(::chmod(line.DevicePath().c_str(), 0660), 0);
    Panel panel(*frontEnd_, &StoredFile, {{3, line.DevicePath()}});
    panel.RunAs(65534);
    const unsigned long window = panel.Start(*x_);
    QVERIFY(window);
    QVERIFY(!x_->WaitForWindow(ErrorTitle, 0ms));
    // Tooltips show over the active window; with no window manager, the one with the focus.
    x_->Key(window, "Shift_L");
    x_->MovePointer(window, CentreOf(Control::ComSele));
    QVERIFY(x_->WaitForPopup(window, 5s));

    // The device opened to the user and plugged in again: listed like any port that comes,
    // and sent to without a word.
    const int closes = line.Closes();
    QCOMPARE(::chmod(line.DevicePath().c_str(), 0666), 0);
    frontEnd_->PlugPort(panel.Folder(), 3, line.DevicePath(), true);
    QTRY_VERIFY_WITH_TIMEOUT(line.Closes() > closes, 10000);
    CheckSend(line, window, Control::CmdSndClk1, StoredSettings);
    x_->Click(window, CentreOf(Control::CmdExit));
    QVERIFY(panel.WaitForExit());
    QCOMPARE(panel.ExitCode(), 0);
}

void TestPanelEndToEnd::SendCommandSendsWhatTheButtonsSend()
{
    // The command beside the panel, from the same settings file, on the same port: --clock
    // sends the current-time button's update and --all the settings group's. A port with no
    // device gets its exit code and one line, and nothing goes anywhere.
    PseudoTerminal line;
    Panel panel(*frontEnd_, &StoredFile, {{3, line.DevicePath()}});
    const QStringList command = frontEnd_->InstallSendCommand(panel.Folder());
    const struct {
        const char* option;
        const char* port;
        int code;
        std::optional<Control> button; // whose update arrives
    } runs[] = {{"--clock", "COM3", 0, Control::CmdSndClk0},
                {"--all", "COM3", 0, Control::CmdSndClk1},
                {"--all", "COM9", 4, std::nullopt}};
    for (const auto& run : runs) {
        QProcess send;
        send.setProcessEnvironment(frontEnd_->Environment());
        send.start(command.front(), command.mid(1) << run.option << "--port" << run.port);
        QVERIFY(send.waitForFinished(60000));
        QCOMPARE(send.exitCode(), run.code);
        QCOMPARE(send.readAllStandardError().count('\n'), run.code == 0 ? 0 : 1);
        if (!run.button) {
            QCOMPARE(line.ReadUntilQuiet(200ms).size(), std::size_t(0));
            continue;
        }
        const std::vector<std::uint8_t> bytes = line.Read(15, 5s);
        QCOMPARE(bytes.size(), std::size_t(15));
        tallymark::testing::CheckLiveUpdate(bytes, StoredSettings, RowOf(*run.button).index);
    }
    QCOMPARE(panel.Settings(), StoredFile);
}

void TestPanelEndToEnd::RunSteps(std::span<const Step> steps, const PortLinks& atStart, std::map<int, PseudoTerminal*> lines)
{
    Panel panel(*frontEnd_, &StoredFile, atStart);
    const unsigned long window = panel.Start(*x_);
    QVERIFY(window);
    Drive drive{*x_, window, *frontEnd_, panel.Folder(), lines};
    Shown shown{StoredSettings, atStart.back().first};
    for (const Step& step : steps) {
        for (const Input& input : step.inputs) {
            Do(drive, input);
            QVERIFY2(!QTest::currentTestFailed(), step.name);
        }
        step.change(shown);
        PseudoTerminal& line = *lines.at(shown.port);
        if (!step.sentBy)
            x_->Click(window, CentreOf(Control::CmdSndClk1));
        const std::vector<std::uint8_t> bytes = line.Read(15, 5s);
        QVERIFY2(bytes.size() == 15, step.name);
        QVERIFY2(line.ReadUntilQuiet(100ms).empty(), step.name);
        tallymark::testing::CheckLiveUpdate(bytes, shown.settings, RowOf(step.sentBy.value_or(Control::CmdSndClk1)).index);
        // No other port got a byte, neither from the send nor from the tries of the ports.
        for (const auto& [port, other] : lines)
            QVERIFY2(other == &line || other->ReadUntilQuiet(0ms).empty(), step.name);
        QVERIFY2(!QTest::currentTestFailed(), step.name);
    }
    x_->Click(window, CentreOf(Control::CmdExit));
    QVERIFY(panel.WaitForExit());
    QCOMPARE(panel.Settings(), SavedWith(shown.settings));
}

void TestPanelEndToEnd::EveryControlDriven()
{
    // Two ports, the higher shown at the start; one window start for every step.
    PseudoTerminal com3, com5;
    RunSteps(Steps, {{3, com3.DevicePath()}, {5, com5.DevicePath()}}, {{3, &com3}, {5, &com5}});
}

void TestPanelEndToEnd::PortsComeAndGo()
{
    PseudoTerminal com3, com4, com5, com6;
    RunSteps(PortSteps, {{3, com3.DevicePath()}}, {{3, &com3}, {4, &com4}, {5, &com5}, {6, &com6}});
}

void TestPanelEndToEnd::KeysAfterAChange()
{
    // COM1 stands for a PC's own port, first in the list: a key that lost its place would go there.
    PseudoTerminal com1, com29, com30, com31, com32;
    RunSteps(ChangedListSteps, {{1, com1.DevicePath()}, {29, com29.DevicePath()}, {30, com30.DevicePath()}},
             {{1, &com1}, {29, &com29}, {30, &com30}, {31, &com31}, {32, &com32}});
}

void TestPanelEndToEnd::PortableCopyKeepsItsOwnFile()
{
    // Another copy left other values in the user's own file.
    const QByteArray others = QByteArray(StoredFile).replace("DDD=12345", "DDD=555");
    const UserFile user(*frontEnd_, others.toStdString());
    PseudoTerminal line;
    Panel panel(*frontEnd_, &StoredFile, {{3, line.DevicePath()}});
    const unsigned long window = panel.Start(*x_);
    QVERIFY(window);
    CheckSend(line, window, Control::CmdSndClk1, StoredSettings);
    x_->Click(window, CentreOf(Control::CmdExit));
    QVERIFY(panel.WaitForExit());
    QCOMPARE(panel.Settings(), SavedFile);
    QCOMPARE(ReadAll(user.path), others.toStdString());
}

void TestPanelEndToEnd::FailedSaveIsToldAndMovesNothing()
{
    // A folder in the file's place: the save fails, the close tells so, then goes on.
    const UserFile user(*frontEnd_);
    Panel failing(*frontEnd_, nullptr);
    QVERIFY(QDir().mkdir(failing.IniPath()));
    const unsigned long window = failing.Start(*x_);
    QVERIFY(window);
    x_->Click(window, CentreOf(Control::CmdExit));
    const auto message = x_->WaitForWindow(ErrorTitle, 15s);
    QVERIFY(message);
    QVERIFY(failing.Running());
    x_->Key(*message, "Return");
    QVERIFY(failing.WaitForExit());
    QCOMPARE(failing.ExitCode(), 0);
    // Nothing went to the user's folder, where another copy, an installed one, would read it.
    QCOMPARE(ReadAll(user.path), "<missing>");
}

QTEST_GUILESS_MAIN(TestPanelEndToEnd)
#include "test_panel_end_to_end.moc"
