// How soon a port plugged in while the panel runs shows in its list: from the moment a
// pseudo-terminal is linked as ports/COM7 to the moment the list holds COM7, through the
// panel's own path (inotify, Qt's event loop, one try of the port), against the floor of
// trying that one port straight after linking it, with nothing to watch.
//   port_watch_bench [rounds]

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QSocketNotifier>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <vector>

#include "link/PortDiscovery.h"
#include "link/PortWatch.h"
#include "link/qt/QtSerialPort.h"
#include "tests/support/PseudoTerminal.h"

namespace {

using tallymark::testing::LinkPort;
using tallymark::testing::PseudoTerminal;

bool Listed(const tallymark::ListedPorts& list)
{
    return std::find(list.items.begin(), list.items.end(), "COM7") != list.items.end();
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const int rounds = argc > 1 ? std::max(3, std::atoi(argv[1])) : 51;
    QTemporaryDir folder;
    const std::string dir = folder.path().toStdString();
    tallymark::testing::LinkNoPorts(dir);
    tallymark::QtSerialPort port(dir);
    tallymark::ListedPorts list;
    tallymark::PortWatch watch(dir);
    QSocketNotifier notifier(watch.Descriptor(), QSocketNotifier::Read);
    QObject::connect(&notifier, &QSocketNotifier::activated, [&] {
        const std::vector<int> numbers = watch.Changes();
        tallymark::RecheckComPorts(port, list, numbers);
    });

    std::vector<double> watched, floor;
    for (int i = 0; i < rounds; ++i) {
        PseudoTerminal line;
        // The panel's path: link, then let the event loop run until the list shows it.
        QElapsedTimer clock;
        clock.start();
        LinkPort(dir, 7, line.DevicePath());
        while (!Listed(list) && clock.elapsed() < 5000)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
        watched.push_back(double(clock.nsecsElapsed()) / 1e6);
        const bool shown = Listed(list);
        LinkPort(dir, 7, tallymark::testing::NoDevice);
        while (Listed(list) && clock.elapsed() < 10000)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
        if (!shown) {
            std::printf("COM7 was not listed within 5 s\n");
            return 1;
        }

        // The floor: the same one port tried straight away, the watch's news thrown away.
        tallymark::ListedPorts plain;
        clock.restart();
        LinkPort(dir, 7, line.DevicePath());
        const int seven[] = {7};
        tallymark::RecheckComPorts(port, plain, seven);
        floor.push_back(double(clock.nsecsElapsed()) / 1e6);
        LinkPort(dir, 7, tallymark::testing::NoDevice);
        QCoreApplication::processEvents();
        watch.Changes();
    }
    std::printf("rounds:                                %d\n", rounds);
    std::printf("link made to COM7 listed, watched:     median %.3f ms, slowest %.3f ms\n", Median(watched),
                *std::max_element(watched.begin(), watched.end()));
    std::printf("link made and COM7 tried at once:      median %.3f ms\n", Median(floor));
    std::printf("ratio:                                 %.2f\n", Median(watched) / Median(floor));
    return 0;
}
