// How long the start-up port scan takes: 32 real open and close attempts through the serial
// component, before the window is first shown.
//   scan_bench [scans]
// Prints the median over the scans for three machines: no port at all (every number leads
// nowhere), this machine's own ports (the fixed device table), and four pseudo-terminals
// linked as COM ports.

#include <QCoreApplication>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "link/PortDiscovery.h"
#include "link/qt/QtSerialPort.h"
#include "tests/support/PseudoTerminal.h"

using Milliseconds = std::chrono::duration<double, std::milli>;

namespace {

void Measure(const char* what, const std::string& programDir, int scans)
{
    tallymark::QtSerialPort port(programDir);
    tallymark::ListedPorts list;
    std::vector<double> times;
    for (int i = 0; i < scans; ++i) {
        const auto started = std::chrono::steady_clock::now();
        tallymark::ScanComPorts(port, list);
        times.push_back(Milliseconds(std::chrono::steady_clock::now() - started).count());
    }
    std::sort(times.begin(), times.end());
    std::string found;
    for (const auto& item : list.items)
        found += (found.empty() ? "" : ",") + item;
    std::printf("%-34s median %7.2f ms, fastest %7.2f ms; listed %s, shown %s\n", what, times[times.size() / 2],
                times.front(), found.empty() ? "none" : found.c_str(),
                list.text.empty() ? "nothing" : list.text.c_str());
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const int scans = argc > 1 ? std::max(3, std::atoi(argv[1])) : 21;

    QTemporaryDir none;
    tallymark::testing::LinkNoPorts(none.path().toStdString());
    Measure("no ports:", none.path().toStdString(), scans);

    QTemporaryDir own;
    Measure("this machine's own ports:", own.path().toStdString(), scans);

    QTemporaryDir linked;
    tallymark::testing::LinkNoPorts(linked.path().toStdString());
    std::vector<std::unique_ptr<tallymark::testing::PseudoTerminal>> lines;
    for (int n : {2, 5, 9, 17}) {
        lines.push_back(std::make_unique<tallymark::testing::PseudoTerminal>());
        tallymark::testing::LinkPort(linked.path().toStdString(), n, lines.back()->DevicePath());
    }
    Measure("four pseudo-terminals linked:", linked.path().toStdString(), scans);
    return EXIT_SUCCESS;
}
