// Start-up and idle cost of the panel, measured on a real X server.
//
// Prints the median time from process start to the window shown (the port scan included),
// as a ratio against a minimal Qt Widgets program started the same way in the same run, and
// the CPU the panel uses while it idles with its clock running.
//
//   xvfb-run -a build/bench/startup_bench [runs]

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

#include <unistd.h>

#include "support/XSession.h"

using namespace std::chrono_literals;
using tallymark::testing::XSession;

namespace {

const QString PanelTitle = QStringLiteral("カウントダウン表示器 操作パネル");

struct Program {
    QString path;
    QStringList arguments;
    QString title;
};

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// Milliseconds from starting the program to its window being viewable; closes it again.
double TimeToWindow(XSession& x, const Program& program)
{
    QProcess process;
    auto environment = QProcessEnvironment::systemEnvironment();
    environment.insert("QT_QPA_PLATFORM", "xcb");
    process.setProcessEnvironment(environment);
    QElapsedTimer clock;
    clock.start();
    process.start(program.path, program.arguments);
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

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(3, atoi(argv[1])) : 15;
    XSession x;
    if (!x.IsConnected()) {
        std::fprintf(stderr, "needs an X server: run it under xvfb-run\n");
        return 2;
    }

    // The panel runs from a folder of its own, so that its settings file lands there.
    QTemporaryDir folder;
    const QString panelPath = folder.filePath("tallymark");
    QFile::copy(QStringLiteral(TALLYMARK_PROGRAM), panelPath);
    const Program panel{panelPath, {}, PanelTitle};
    const Program minimal{QStringLiteral(MINIMAL_PROGRAM), {}, QStringLiteral("minimal")};
    const Program labelled{QStringLiteral(MINIMAL_PROGRAM), {QStringLiteral("label")}, QStringLiteral("minimal label")};

    // Take turns, after one warm-up each, so that all see the same machine.
    for (const Program* program : {&panel, &minimal, &labelled})
        TimeToWindow(x, *program);
    std::vector<double> panelTimes, minimalTimes, labelledTimes;
    for (int i = 0; i < runs; ++i) {
        panelTimes.push_back(TimeToWindow(x, panel));
        minimalTimes.push_back(TimeToWindow(x, minimal));
        labelledTimes.push_back(TimeToWindow(x, labelled));
    }
    const double panelMs = Median(panelTimes), minimalMs = Median(minimalTimes), labelledMs = Median(labelledTimes);
    std::printf("start to window shown, median of %d runs:\n", runs);
    std::printf("  panel (port scan included)         %6.1f ms\n", panelMs);
    std::printf("  minimal Qt Widgets window          %6.1f ms   panel ratio %.2f\n", minimalMs, panelMs / minimalMs);
    std::printf("  minimal window with one text label %6.1f ms   panel ratio %.2f\n", labelledMs, panelMs / labelledMs);

    // Idle: the clock ticks every 50 ms; nothing else runs.
    QProcess process;
    auto environment = QProcessEnvironment::systemEnvironment();
    environment.insert("QT_QPA_PLATFORM", "xcb");
    process.setProcessEnvironment(environment);
    process.start(panel.path, {});
    const auto window = x.WaitForWindow(panel.title, 30s);
    QThread::msleep(1000);
    const double before = CpuSeconds(process.processId());
    QElapsedTimer wall;
    wall.start();
    QThread::msleep(10000);
    const double used = CpuSeconds(process.processId()) - before;
    const double seconds = double(wall.nsecsElapsed()) / 1e9;
    std::printf("idle with the clock running: %.3f s CPU in %.1f s, %.2f%% of a core\n", used, seconds,
                100.0 * used / seconds);
    if (window)
        x.RequestClose(*window);
    process.waitForFinished(10000);
    return 0;
}
