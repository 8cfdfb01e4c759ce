#pragma once
// The two front ends of the panel as the end-to-end scenarios run them: the Qt program, and
// tallymark.exe under Wine. Each knows how it is put into a folder of its own, started, and
// given its COM ports, and where it cannot behave as the panel does on Windows.

#include <QProcessEnvironment>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <string>
#include <utility>
#include <vector>

namespace tallymark::testing {

// Port numbers and the devices they lead to; every other number leads nowhere.
using PortLinks = std::vector<std::pair<int, std::string>>;

// What a front end may be unable to do as Windows does, for reasons outside the panel.
enum class Difference {
    HeldPortOpens, // a port that another program holds may open all the same
    NoOtherUser, // the program cannot be run as another user, to whom a device is refused
};

// What the system asks of the running program from outside its window.
enum class Request {
    LogOff, // the session ends: a log-off on Windows, SIGTERM on Linux
    RefusedLogOff, // a log-off that another program refuses, so that the session goes on
    Close, // a close request to the window, as taskkill without /F posts it
};

class PanelFrontEnd {
public:
    virtual ~PanelFrontEnd() = default;

    // Why the front end cannot run here; empty when it can. Prepares it on first use.
    virtual QString Unavailable() = 0;
    // Copies the program into `folder`; the command line that starts it from there.
    virtual QStringList Install(const QString& folder) const = 0;
    // Copies tallymark-send of the same build beside it; the command line that runs it.
    virtual QStringList InstallSendCommand(const QString& folder) const = 0;
    virtual QProcessEnvironment Environment() const = 0;
    // Where the user's own Tallymark.ini of the programs it starts lies.
    virtual QString UserSettingsFile() const = 0;
    // COM1 to COM32 of the program installed in `folder` lead to `ports` and nowhere else.
    virtual void LinkPorts(const QString& folder, const PortLinks& ports) const = 0;
    // While the program runs, port `number` comes to lead to `device`, or, for an empty
    // device, nowhere, as an adapter plugged in or pulled out; the system tells the program,
    // naming the port, or (not `named`) only that a device came, as for a stable name made
    // in a folder that was not there at the start.
    virtual void PlugPort(const QString& folder, int number, const std::string& device, bool named) const = 0;
    // Asks it of the program of process `pid`; false where the front end has no such request.
    virtual bool Ask(Request request, qint64 pid) const = 0;
    // Why a check cannot hold on this front end; null where it holds.
    virtual const char* Differs(Difference) const { return nullptr; }
    // Whether the front end can pretend to be Windows 7; then sets it (false: its default).
    virtual bool CanReportWindows7() const { return false; }
    virtual void ReportWindows7(bool) {}
};

// The Qt program; its ports are links in the folder "ports" beside it.
class QtFrontEnd final : public PanelFrontEnd {
public:
    // $TALLYMARK_PANEL, when set, names the program to drive instead of `program`, the
    // build's own: the panel unpacked from the package, say, with tallymark-send beside it.
    explicit QtFrontEnd(QString program);
    QString Unavailable() override;
    QStringList Install(const QString& folder) const override;
    QStringList InstallSendCommand(const QString& folder) const override;
    QProcessEnvironment Environment() const override;
    QString UserSettingsFile() const override;
    void LinkPorts(const QString& folder, const PortLinks& ports) const override;
    // Not named: ports/COMn leads first to a stable name in a serial folder not yet made.
    void PlugPort(const QString& folder, int number, const std::string& device, bool named) const override;
    bool Ask(Request request, qint64 pid) const override;

private:
    QString program_;
    QTemporaryDir userFolder_; // the user's own settings folder, never the tester's
    QTemporaryDir serialFolder_; // where the panel is told /dev/serial is
};

// tallymark.exe through tools/wine-run, in a Wine prefix of its own under `home`.
class WineFrontEnd final : public PanelFrontEnd {
public:
    enum class MachinePorts {
        // Wine's own list of ports maps every number from COM1 to COM32 to a link in
        // home/ports, which keeps its device manager from giving a low number to a serial
        // device of this machine; the links then lead where the scenario wants. A number
        // whose link leads nowhere still names a device of Wine's, which opens and then
        // fails to give its line settings.
        Hidden,
        // The machine's serial devices have the numbers Wine gives them; the rest do not exist.
        Shown,
    };

    // $TALLYMARK_WINDOWS_PANEL and $TALLYMARK_WINE_HOME, when set, name the program and the
    // home instead: the 32-bit build's panel under a 32-bit Wine, say.
    WineFrontEnd(QString program, QString home, QString wineRun, MachinePorts ports = MachinePorts::Hidden)
        : program_(qEnvironmentVariable("TALLYMARK_WINDOWS_PANEL", program)),
          home_(qEnvironmentVariable("TALLYMARK_WINE_HOME", home)), wineRun_(std::move(wineRun)), ports_(ports)
    {
    }
    ~WineFrontEnd() override;
    QString Unavailable() override;
    QStringList Install(const QString& folder) const override;
    QStringList InstallSendCommand(const QString& folder) const override;
    QProcessEnvironment Environment() const override;
    QString UserSettingsFile() const override; // in the prefix's own user folder
    void LinkPorts(const QString& folder, const PortLinks& ports) const override;
    // Wine announces no serial device: the message Windows sends is sent to the window.
    void PlugPort(const QString& folder, int number, const std::string& device, bool named) const override;
    bool Ask(Request request, qint64 pid) const override;
    const char* Differs(Difference difference) const override;
    bool CanReportWindows7() const override { return true; }
    void ReportWindows7(bool windows7) override;

private:
    QString Prepare();
    // Runs a Windows program of the prefix (reg.exe, say) without a display; true on success.
    bool Run(const QStringList& arguments) const;
    QString Prefix() const;
    QString Messenger() const; // panel-message.exe

    QString program_;
    QString home_;
    QString wineRun_;
    MachinePorts ports_;
    bool prepared_ = false;
};

} // namespace tallymark::testing
