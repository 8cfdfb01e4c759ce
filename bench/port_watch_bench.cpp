// How soon a port plugged in while the panel runs shows in its list: from the moment a
// pseudo-terminal is linked as ports/COM7 to the moment the list holds COM7, through the
// panel's own path (inotify, Qt's event loop, one try of the port), against the floor of
// trying that one port straight after linking it, with nothing to watch.
// Then what a change that names no port costs (on Windows, any device's coming or going),
// with COM29 and COM30 listed and the 30 other ports absent: the opens of the listed ports'
// devices and the time, against the floor of asking whether each of the 32 devices exists,
// and against trying every port by opening it, which raises DTR on each listed port's line.
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
#include <span>
#include <utility>
#include <vector>

#include "link/PortDiscovery.h"
#include "link/PortNames.h"
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

// A change that names no port, `rounds` times: the median time, and the opens of the listed
// ports' devices per change.
template <typename Change>
std::pair<double, double> NamelessChanges(int rounds, std::span<PseudoTerminal* const> listed, Change change)
{
    std::vector<double> times;
    int opens = 0;
    for (PseudoTerminal* line : listed)
        opens -= line->Opens();
    for (int i = 0; i < rounds; ++i) {
        QElapsedTimer clock;
        clock.start();
        change();
        times.push_back(double(clock.nsecsElapsed()) / 1e6);
    }
    for (PseudoTerminal* line : listed)
        opens += line->Opens();
    return {Median(times), double(opens) / rounds};
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

    PseudoTerminal com29, com30;
    LinkPort(dir, 29, com29.DevicePath());
    LinkPort(dir, 30, com30.DevicePath());
    tallymark::ListedPorts two;
    tallymark::ScanComPorts(port, two);
    PseudoTerminal* const listed[] = {&com29, &com30};
    std::vector<int> all;
    for (int n = 1; n <= tallymark::HighestPortNumber; ++n)
        all.push_back(n);
    const auto exists = [&](int n) { return tallymark::PortDeviceExists(n, dir); };
    const auto [now, opensNow]
        = NamelessChanges(rounds, listed, [&] { tallymark::RecheckComPorts(port, two, all, exists); });
    const double asked = NamelessChanges(rounds, listed, [&] {
                             for (int n : all)
                                 exists(n);
                         }).first;
    const auto [before, opensBefore]
        = NamelessChanges(rounds, listed, [&] { tallymark::RecheckComPorts(port, two, all); });
    std::printf("change without a port's name, COM29 and COM30 listed, 30 ports absent:\n");
    std::printf("  listed:                              %zu ports\n", two.items.size());
    std::printf("  tried as now:                        median %.3f ms, %.1f opens of listed ports\n", now, opensNow);
    std::printf("  floor, 32 devices asked after:       median %.3f ms\n", asked);
    std::printf("  ratio:                               %.2f\n", now / asked);
    std::printf("  every port opened, as before:        median %.3f ms, %.1f opens of listed ports\n", before,
                opensBefore);
    return two.items.size() == 2 && opensNow == 0 ? 0 : 1;
}
