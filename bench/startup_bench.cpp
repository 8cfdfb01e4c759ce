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

    PrintTimesToWindow(x, "Qt",
                       {{&panel, "panel (port scan included)"},
                        {&minimal, "minimal Qt Widgets window"},
                        {&labelled, "minimal window with one text label"}},
                       runs);

    // Idle: the clock ticks every 50 ms; nothing else runs.
    const IdleUse idle = MeasureIdle(x, panel);
    std::printf("idle with the clock running: %.3f s CPU in %.1f s, %.2f%% of a core\n", idle.seconds, idle.wall,
                100.0 * idle.seconds / idle.wall);
    return 0;
}
