// Start-up and idle cost of the panel, measured on a real X server.
//
// Prints the median time from process start to the window shown (the port scan included),
// as a ratio against a minimal Qt Widgets program started the same way in the same run, and
// the CPU the panel uses while it idles with its clock running.
//
//   xvfb-run -a build/bench/startup_bench [runs]

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "WindowTiming.h"
#include "support/XSession.h"

using namespace tallymark::bench;
using tallymark::testing::XSession;

namespace {

const QString PanelTitle = QStringLiteral("カウントダウン表示器 操作パネル");

TimedProgram OnXcb(QStringList command, QString title)
{
    auto environment = QProcessEnvironment::systemEnvironment();
    environment.insert("QT_QPA_PLATFORM", "xcb");
    return {std::move(command), environment, std::move(title)};
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
    const TimedProgram panel = OnXcb({panelPath}, PanelTitle);
    const TimedProgram minimal = OnXcb({QStringLiteral(MINIMAL_PROGRAM)}, QStringLiteral("minimal"));
    const TimedProgram labelled
        = OnXcb({QStringLiteral(MINIMAL_PROGRAM), QStringLiteral("label")}, QStringLiteral("minimal label"));

    const std::vector<double> medians = MedianTimesToWindow(x, {&panel, &minimal, &labelled}, runs);
    const double panelMs = medians[0], minimalMs = medians[1], labelledMs = medians[2];
    std::printf("start to window shown, median of %d runs:\n", runs);
    std::printf("  panel (port scan included)         %6.1f ms\n", panelMs);
    std::printf("  minimal Qt Widgets window          %6.1f ms   panel ratio %.2f\n", minimalMs, panelMs / minimalMs);
    std::printf("  minimal window with one text label %6.1f ms   panel ratio %.2f\n", labelledMs, panelMs / labelledMs);

    // Idle: the clock ticks every 50 ms; nothing else runs.
    const IdleUse idle = MeasureIdle(x, panel);
    std::printf("idle with the clock running: %.3f s CPU in %.1f s, %.2f%% of a core\n", idle.seconds, idle.wall,
                100.0 * idle.seconds / idle.wall);
    return 0;
}
