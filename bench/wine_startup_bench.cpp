// Start-up and idle cost of tallymark.exe under Wine, measured on a real X server.
//
// Prints the median time from process start to the window shown (the port scan included),
// as a ratio against a bare Win32 window started the same way in the same run, the CPU the
// panel uses while it idles with its clock running, and the program's size. The bare window
// is measured twice: empty, and showing one line of Japanese text.
//
//   xvfb-run -a build/bench/wine_startup_bench [runs [tallymark.exe bare_window.exe]]

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <optional>
#include <vector>

#include <unistd.h>

#include "support/PanelFrontEnd.h"
#include "support/XSession.h"

using namespace std::chrono_literals;
using tallymark::testing::WineFrontEnd;
using tallymark::testing::XSession;

namespace {

const QString PanelTitle = QStringLiteral("カウントダウン表示器 操作パネル");
const QString BareTitle = QStringLiteral("bare window");
const QString LabelledTitle = QStringLiteral("bare window label");

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// A Windows program installed in a folder of its own, started under Wine.
struct Program {
    WineFrontEnd& wine;
    QStringList command;
    QString title;
};

// Milliseconds from starting the program to its window being viewable; closes it again.
double TimeToWindow(XSession& x, const Program& program)
{
    QProcess process;
    process.setProcessEnvironment(program.wine.Environment());
    QElapsedTimer clock;
    clock.start();
    process.start(program.command.front(), program.command.mid(1));
    const auto window = x.WaitForWindow(program.title, 30s);
    const double elapsed = double(clock.nsecsElapsed()) / 1e6;
    if (window)
        x.RequestClose(*window);
    if (!process.waitForFinished(10000))
        process.kill();
    process.waitForFinished();
    return window ? elapsed : -1.0;
}

// CPU seconds (user + system) the process has used so far.
double CpuSeconds(qint64 pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return 0.0;
    const QByteArray line = stat.readAll();
    const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
    // Fields after the command name start at "state" (field 3); utime and stime are 14 and 15.
    const double ticks = fields.value(11).toDouble() + fields.value(12).toDouble();
    return ticks / double(sysconf(_SC_CLK_TCK));
}

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
    const QString panelExe = argc > 3 ? QString::fromLocal8Bit(argv[2]) : QStringLiteral(TALLYMARK_WINDOWS_PANEL);
    const QString bareExe = argc > 3 ? QString::fromLocal8Bit(argv[3]) : QStringLiteral(BARE_WINDOW);
    XSession x;
    if (!x.IsConnected()) {
        std::fprintf(stderr, "needs an X server: run it under xvfb-run\n");
        return 2;
    }

    // One prefix of the benchmark's own, with a Wine server that stays up between the runs,
    // so that every start pays the same.
    const QString home = QStringLiteral(WINE_BENCH_HOME);
    WineFrontEnd panelWine(panelExe, home, QStringLiteral(TALLYMARK_WINE_RUN));
    WineFrontEnd bareWine(bareExe, home, QStringLiteral(TALLYMARK_WINE_RUN));
    for (WineFrontEnd* wine : {&panelWine, &bareWine}) {
        if (const QString missing = wine->Unavailable(); !missing.isEmpty()) {
            std::fprintf(stderr, "%s\n", qPrintable(missing));
            return 2;
        }
    }
    QTemporaryDir panelFolder, bareFolder;
    const Program panel{panelWine, panelWine.Install(panelFolder.path()), PanelTitle};
    const Program bare{bareWine, bareWine.Install(bareFolder.path()), BareTitle};
    const Program labelled{bareWine, bare.command + QStringList{"label"}, LabelledTitle};

    // Take turns, after one warm-up each, so that all see the same machine.
    for (const Program* program : {&panel, &bare, &labelled})
        TimeToWindow(x, *program);
    std::vector<double> panelTimes, bareTimes, labelledTimes;
    for (int i = 0; i < runs; ++i) {
        panelTimes.push_back(TimeToWindow(x, panel));
        bareTimes.push_back(TimeToWindow(x, bare));
        labelledTimes.push_back(TimeToWindow(x, labelled));
    }
    const double panelMs = Median(panelTimes), bareMs = Median(bareTimes), labelledMs = Median(labelledTimes);
    std::printf("under Wine, start to window shown, median of %d runs:\n", runs);
    std::printf("  tallymark.exe (port scan included)      %6.1f ms\n", panelMs);
    std::printf("  bare Win32 window                       %6.1f ms   ratio %.2f\n", bareMs, panelMs / bareMs);
    std::printf("  bare window with one line of text       %6.1f ms   ratio %.2f\n", labelledMs, panelMs / labelledMs);

    // Idle: the clock ticks every 50 ms; nothing else runs.
    QProcess process;
    process.setProcessEnvironment(panelWine.Environment());
    process.start(panel.command.front(), panel.command.mid(1));
    const auto window = x.WaitForWindow(panel.title, 30s);
    const std::optional<qint64> server = ServerOf(panelWine.Environment().value("WINEPREFIX"));
    QThread::msleep(1000);
    const double before = CpuSeconds(process.processId());
    const double serverBefore = server ? CpuSeconds(*server) : 0.0;
    QElapsedTimer wall;
    wall.start();
    QThread::msleep(10000);
    const double used = CpuSeconds(process.processId()) - before;
    const double serverUsed = server ? CpuSeconds(*server) - serverBefore : 0.0;
    const double seconds = double(wall.nsecsElapsed()) / 1e9;
    std::printf("idle with the clock running: %.3f s CPU in %.1f s, %.2f%% of a core", used, seconds,
                100.0 * used / seconds);
    if (server)
        std::printf(" (the Wine server besides: %.2f%%)", 100.0 * serverUsed / seconds);
    std::printf("\n");
    if (window)
        x.RequestClose(*window);
    process.waitForFinished(10000);

    std::printf("tallymark.exe: %lld bytes\n", static_cast<long long>(QFileInfo(panelExe).size()));
    return 0;
}
