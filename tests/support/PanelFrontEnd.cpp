#include "support/PanelFrontEnd.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QThread>

#include <signal.h>

#include <filesystem>

#include "support/PseudoTerminal.h"

namespace tallymark::testing {

namespace {

constexpr int HighestPort = 32;

// A Linux path as Wine's drive Z: names it.
QString OnDriveZ(const QString& path)
{
    return QStringLiteral("Z:") + QString(path).replace('/', '\\');
}

void Link(const QString& target, const QString& link)
{
    std::error_code ignored;
    std::filesystem::remove(link.toStdString(), ignored);
    std::filesystem::create_symlink(target.toStdString(), link.toStdString());
}

} // namespace

QtFrontEnd::QtFrontEnd(QString program) : program_(qEnvironmentVariable("TALLYMARK_PANEL", program)) { }

QString QtFrontEnd::Unavailable()
{
    return QFileInfo::exists(program_) ? QString() : QStringLiteral("the panel %1 has not been built").arg(program_);
}

QStringList QtFrontEnd::Install(const QString& folder) const
{
    const QString program = folder + QStringLiteral("/tallymark");
    QFile::copy(program_, program);
    return {program};
}

QStringList QtFrontEnd::InstallSendCommand(const QString& folder) const
{
    // The build puts the command beside the panel.
    const QString command = folder + QStringLiteral("/tallymark-send");
    QFile::copy(QFileInfo(program_).dir().filePath(QStringLiteral("tallymark-send")), command);
    return {command};
}

QProcessEnvironment QtFrontEnd::Environment() const
{
    auto environment = QProcessEnvironment::systemEnvironment();
    environment.insert("QT_QPA_PLATFORM", "xcb");
    environment.insert("XDG_CONFIG_HOME", userFolder_.path());
    environment.insert("TALLYMARK_SERIAL_FOLDER", serialFolder_.filePath("serial"));
    return environment;
}

QString QtFrontEnd::UserSettingsFile() const
{
    return userFolder_.filePath(QStringLiteral("tallymark/Tallymark.ini"));
}

void QtFrontEnd::LinkPorts(const QString& folder, const PortLinks& ports) const
{
    LinkNoPorts(folder.toStdString());
    for (const auto& [number, device] : ports)
        LinkPort(folder.toStdString(), number, device);
}

void QtFrontEnd::PlugPort(const QString& folder, int number, const std::string& device, bool named) const
{
    if (named || device.empty())
        return LinkPort(folder.toStdString(), number, device.empty() ? NoDevice : device);
    const QString byId = serialFolder_.filePath(QStringLiteral("serial/by-id"));
    const QString stable = QStringLiteral("%1/usb-Tallymark_COM%2").arg(byId).arg(number);
    LinkPort(folder.toStdString(), number, stable.toStdString());
    QThread::msleep(300); // the link leads nowhere as the panel first looks
    QDir().mkpath(byId);
    Link(QString::fromStdString(device), stable);
}

bool QtFrontEnd::Ask(Request request, qint64 pid) const
{
    // No session manager here to ask, and no close from outside reaches a window under a question.
    return request == Request::LogOff && ::kill(static_cast<pid_t>(pid), SIGTERM) == 0;
}

void WineFrontEnd::PlugPort(const QString&, int number, const std::string& device, bool named) const
{
    LinkPort(home_.toStdString(), number, device.empty() ? NoDevice : device);
    if (!named)
        Run({Messenger(), "devnodes"});
    else
        Run({Messenger(), device.empty() ? "removal" : "arrival", QStringLiteral("COM%1").arg(number)});
}

bool WineFrontEnd::Ask(Request request, qint64) const
{
    const char* const asked[] = {"log-off", "refused-log-off", "close"};
    return Run({Messenger(), asked[static_cast<int>(request)]});
}

QString WineFrontEnd::Messenger() const
{
    return QFileInfo(program_).dir().filePath(QStringLiteral("../../wine/panel-message.exe"));
}

QString WineFrontEnd::Unavailable()
{
    if (program_.isEmpty())
        return QStringLiteral("no Windows program given: configure with -DTALLYMARK_WINDOWS_PANEL=<mingw-w64 build>"
                              "/ui/win32/tallymark.exe (bash tools/wine-check build-wine builds it)");
    if (!QFileInfo::exists(program_))
        return QStringLiteral("the Windows program %1 has not been built (cmake --build build-wine --target "
                              "tallymark bare_window)").arg(program_);
    if (QStandardPaths::findExecutable("wine").isEmpty() && !QFileInfo::exists("/usr/lib/wine/wine64"))
        return QStringLiteral("Wine is not installed");
    if (!prepared_) {
        if (const QString failure = Prepare(); !failure.isEmpty())
            return failure;
        prepared_ = true;
    }
    return {};
}

QString WineFrontEnd::Prefix() const
{
    return home_ + QStringLiteral("/prefix");
}

QString WineFrontEnd::Prepare()
{
    QDir().mkpath(home_);
    // The prefix is made by its first program; this one also clears a Windows 7 left over
    // from a run that ended early.
    ReportWindows7(false);
    const QString listed = home_ + QStringLiteral("/ports-listed");
    if (ports_ == MachinePorts::Hidden && !QFileInfo::exists(listed)) {
        // Listed once; the device manager reads the list when Wine starts.
        QFile list(home_ + QStringLiteral("/ports.reg"));
        if (!list.open(QIODevice::WriteOnly))
            return QStringLiteral("cannot write %1").arg(list.fileName());
        list.write("REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\Software\\Wine\\Ports]\r\n");
        for (int n = 1; n <= HighestPort; ++n)
            list.write(QStringLiteral("\"COM%1\"=\"%2/ports/COM%1\"\r\n").arg(n).arg(home_).toUtf8());
        list.close();
        if (!Run({"reg", "import", OnDriveZ(list.fileName())}))
            return QStringLiteral("the Wine prefix %1 could not be given its ports").arg(Prefix());
        QFile(listed).open(QIODevice::WriteOnly);
    }
    // The prefix's server runs from here on, started with its output thrown away: it prints
    // all its objects when a pseudo-terminal it holds hangs up, as the scenarios' lines do.
    // A server already running goes first.
    Run({"--server", "-k"});
    QProcess server;
    server.setProcessEnvironment(Environment());
    server.setProgram(wineRun_);
    server.setArguments({"--server", "-f", "-p60"});
    server.setStandardOutputFile(QProcess::nullDevice());
    server.setStandardErrorFile(QProcess::nullDevice());
    if (!server.startDetached())
        return QStringLiteral("the Wine server of %1 could not be started").arg(Prefix());
    if (ports_ == MachinePorts::Hidden) {
        // The links the device manager makes from the list, made here as well so that they
        // hold before it has run.
        LinkNoPorts(home_.toStdString());
        for (int n = 1; n <= HighestPort; ++n)
            Link(QStringLiteral("%1/ports/COM%2").arg(home_).arg(n),
                 QStringLiteral("%1/dosdevices/com%2").arg(Prefix()).arg(n));
    }
    return {};
}

bool WineFrontEnd::Run(const QStringList& arguments) const
{
    QProcess process;
    auto environment = Environment();
    environment.remove("DISPLAY");
    process.setProcessEnvironment(environment);
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process.start(wineRun_, arguments);
    // The first run makes the prefix, which takes a while.
    if (!process.waitForFinished(300000)) {
        process.kill();
        process.waitForFinished();
        return false;
    }
    process.readAllStandardOutput();
    return process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

QStringList WineFrontEnd::Install(const QString& folder) const
{
    const QString program = folder + QStringLiteral("/tallymark.exe");
    QFile::copy(program_, program);
    return {wineRun_, program};
}

QStringList WineFrontEnd::InstallSendCommand(const QString& folder) const
{
    // tallymark.exe is built in ui/win32/, tallymark-send.exe in ui/.
    const QString command = folder + QStringLiteral("/tallymark-send.exe");
    QFile::copy(QFileInfo(program_).dir().filePath(QStringLiteral("../tallymark-send.exe")), command);
    return {wineRun_, command};
}

QProcessEnvironment WineFrontEnd::Environment() const
{
    auto environment = QProcessEnvironment::systemEnvironment();
    environment.insert("WINEPREFIX", Prefix());
    return environment;
}

QString WineFrontEnd::UserSettingsFile() const
{
    // The prefix has one user besides Public, named after the one who runs Wine.
    QStringList users = QDir(Prefix() + QStringLiteral("/drive_c/users")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    users.removeAll(QStringLiteral("Public"));
    return Prefix() + QStringLiteral("/drive_c/users/%1/AppData/Local/Tallymark/Tallymark.ini").arg(users.value(0));
}

void WineFrontEnd::LinkPorts(const QString&, const PortLinks& ports) const
{
    if (ports_ != MachinePorts::Hidden)
        return;
    LinkNoPorts(home_.toStdString());
    for (const auto& [number, device] : ports)
        LinkPort(home_.toStdString(), number, device);
}

const char* WineFrontEnd::Differs(Difference difference) const
{
    switch (difference) {
    case Difference::HeldPortOpens:
        return "Wine takes no hold of a COM port's device: whether it opens a port that another program holds "
               "differs between its releases";
    case Difference::NoOtherUser:
        return "Wine runs only as the owner of its prefix, and Windows refuses a port only as held by another program";
    }
    return nullptr;
}

WineFrontEnd::~WineFrontEnd()
{
    if (prepared_)
        Run({"--server", "-k"});
}

void WineFrontEnd::ReportWindows7(bool windows7)
{
    if (windows7)
        Run({"reg", "add", "HKCU\\Software\\Wine", "/v", "Version", "/d", "win7", "/f"});
    else
        Run({"reg", "delete", "HKCU\\Software\\Wine", "/v", "Version", "/f"}); // fails where there is none
}

} // namespace tallymark::testing
