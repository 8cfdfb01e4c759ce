// Start-up and idle cost of tallymark.exe under Wine, measured on a real X server.
//
// Prints the median time from process start to the window shown (the port scan included),
// against the floor (the same window made by hand, with the same reads and the same port
// scan) and a bare Win32 window, started the same way in the same run under one Wine
// server; then the CPU the panel uses while it idles with its clock running, and the
// program's size. The bare window is measured twice: empty, and showing one line of
// Japanese text.
//
//   xvfb-run -a build/bench/wine_startup_bench [runs [tallymark.exe floor_window.exe bare_window.exe]]

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <optional>
#include <vector>

#include "WindowTiming.h"
#include "support/PanelFrontEnd.h"
#include "support/XSession.h"

using namespace tallymark::bench;
using tallymark::testing::WineFrontEnd;
using tallymark::testing::XSession;

namespace {

const QString PanelTitle = QStringLiteral("カウントダウン表示器 操作パネル");
const QByteArray SettingsAtFirstStart = "[WorkTime]\r\nWorkTimeEnable=0\r\nStartWorkTime=450\r\nEndWorkTime=1200\r\n"
                                        "[Tallymarks]\r\nDDD=168\r\nDownCount=1\r\n[Bright]\r\nBright=5\r\n";

// The Wine server of `prefix`: it delivers the program's timer, so its CPU counts too.
std::optional<qint64> ServerOf(const QString& prefix)
{
    const QByteArray wanted = "WINEPREFIX=" + prefix.toUtf8();
    for (const QString& entry : QDir("/proc").entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        bool number = false;
        const qint64 pid = entry.toLongLong(&number);
        QFile command(QStringLiteral("/proc/%1/comm").arg(entry));
        QFile environment(QStringLiteral("/proc/%1/environ").arg(entry));
        if (!number || !command.open(QIODevice::ReadOnly) || !command.readAll().startsWith("wineserver")
            || !environment.open(QIODevice::ReadOnly))
            continue;
        if (environment.readAll().split('\0').contains(wanted))
            return pid;
    }
    return std::nullopt;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(3, atoi(argv[1])) : 15;
    const bool given = argc > 4;
    const QString panelExe = given ? QString::fromLocal8Bit(argv[2]) : QStringLiteral(TALLYMARK_WINDOWS_PANEL);
    const QString floorExe = given ? QString::fromLocal8Bit(argv[3]) : QStringLiteral(FLOOR_WINDOW);
    const QString bareExe = given ? QString::fromLocal8Bit(argv[4]) : QStringLiteral(BARE_WINDOW);
    XSession x;
    if (!x.IsConnected()) {
        std::fprintf(stderr, "needs an X server: run it under xvfb-run\n");
        return 2;
    }

    // One prefix of the benchmark's own, with a Wine server that stays up between the runs,
    // so that every start pays the same, and with this machine's serial ports as a PC has
    // them: the port scan opens those, and finds no device behind the other numbers.
    const QString home = QStringLiteral(WINE_BENCH_HOME);
    const auto shown = WineFrontEnd::MachinePorts::Shown;
    WineFrontEnd panelWine(panelExe, home, QStringLiteral(TALLYMARK_WINE_RUN), shown);
    WineFrontEnd floorWine(floorExe, home, QStringLiteral(TALLYMARK_WINE_RUN), shown);
    WineFrontEnd bareWine(bareExe, home, QStringLiteral(TALLYMARK_WINE_RUN), shown);
    for (WineFrontEnd* wine : {&panelWine, &floorWine, &bareWine}) {
        if (const QString missing = wine->Unavailable(); !missing.isEmpty()) {
            std::fprintf(stderr, "%s\n", qPrintable(missing));
            return 2;
        }
    }
    // The panel and the floor read the same settings file from the first turn on: the one the
    // panel writes when it closes.
    QTemporaryDir panelFolder, floorFolder, bareFolder;
    for (const QTemporaryDir* folder : {&panelFolder, &floorFolder}) {
        QFile settings(folder->filePath(QStringLiteral("Tallymark.ini")));
        if (settings.open(QIODevice::WriteOnly))
            settings.write(SettingsAtFirstStart);
    }
    const TimedProgram panel{panelWine.Install(panelFolder.path()), panelWine.Environment(), PanelTitle};
    const TimedProgram floor{floorWine.Install(floorFolder.path()), floorWine.Environment(),
                             QStringLiteral("floor window")};
    const TimedProgram bare{bareWine.Install(bareFolder.path()), bareWine.Environment(), QStringLiteral("bare window")};
    const TimedProgram labelled{bare.command + QStringList{"label"}, bare.environment,
                                QStringLiteral("bare window label")};

    PrintTimesToWindow(x, "under Wine",
                       {{&panel, "tallymark.exe (port scan included)"},
                        {&floor, "floor: the same window made by hand"},
                        {&bare, "bare Win32 window"},
                        {&labelled, "bare window with one line of text"}},
                       runs);

    // Idle: the clock ticks every 50 ms; nothing else runs.
    const IdleUse idle = MeasureIdle(x, panel, [&] { return ServerOf(panel.environment.value("WINEPREFIX")); });
    std::printf(
        "idle with the clock running: %.3f s CPU in %.1f s, %.2f%% of a core (the Wine server besides: %.2f%%)\n",
        idle.seconds, idle.wall, 100.0 * idle.seconds / idle.wall, 100.0 * idle.alsoSeconds / idle.wall);

    std::printf("tallymark.exe: %lld bytes\n", static_cast<long long>(QFileInfo(panelExe).size()));
    return 0;
}
