// How long a send takes and how much processor time it uses, click to closed port, over a
// pseudo-terminal: the panel's own costs without the line time of a real 9600-baud port.
//   send_bench [sends]

#include <QCoreApplication>
#include <QTemporaryDir>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <thread>
#include <vector>

#include "link/LocalClock.h"
#include "link/SendOperation.h"
#include "link/qt/QtSerialPort.h"
#include "tests/support/QtEventTurn.h"
#include "tests/support/RecordingSendWindow.h"
#include "tests/support/PseudoTerminal.h"

using namespace std::chrono_literals;
using Milliseconds = std::chrono::duration<double, std::milli>;

namespace {

constexpr std::size_t UpdateSize = 15;
constexpr int PortNumber = 7;

Milliseconds ThreadCpuTime()
{
    timespec now{};
    ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return std::chrono::seconds(now.tv_sec) + std::chrono::nanoseconds(now.tv_nsec);
}

double Percentile(std::vector<double> values, double fraction)
{
    std::sort(values.begin(), values.end());
    const std::size_t at = std::min(values.size() - 1, static_cast<std::size_t>(fraction * (values.size() - 1) + 0.5));
    return values[at];
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const int sends = argc > 1 ? std::max(100, std::atoi(argv[1])) : 200;

    QTemporaryDir programDir;
    tallymark::testing::PseudoTerminal display;
    tallymark::testing::LinkPort(programDir.path().toStdString(), PortNumber, display.DevicePath());

    // The display: reads everything as it arrives, as a real one would.
    std::atomic<std::size_t> received{0};
    std::atomic<bool> stop{false};
    std::thread reader([&] {
        while (!stop || received < UpdateSize * sends) {
            const std::size_t got = display.Read(4096, 20ms).size();
            received += got;
            if (got == 0 && stop)
                break;
        }
    });

    tallymark::QtSerialPort port(programDir.path().toStdString());
    tallymark::testing::RecordingSendWindow window;
    window.onDoEvents = tallymark::testing::QtEventTurn;
    window.comSele = "COM" + std::to_string(PortNumber);
    window.settings = tallymark::PanelSettings{"999", false, "5", 1, 420, 1140};
    tallymark::SendOperation send(port, window, tallymark::LocalTimeOfDay);

    std::vector<double> wall;
    std::vector<double> cpu;
    int failed = 0;
    for (int i = 0; i < sends; ++i) {
        const auto started = std::chrono::steady_clock::now();
        const Milliseconds cpuStarted = ThreadCpuTime();
        failed += send.CmdSndClk_Click(1) != tallymark::SendResult::Sent;
        cpu.push_back((ThreadCpuTime() - cpuStarted).count());
        wall.push_back(Milliseconds(std::chrono::steady_clock::now() - started).count());
    }
    stop = true;
    reader.join();

    const bool clean = failed == 0 && !port.PortOpen() && received == UpdateSize * sends;
    std::printf("sends:                         %d\n", sends);
    std::printf("bytes received:                %zu of %zu\n", received.load(), UpdateSize * sends);
    std::printf("sends that failed:             %d\n", failed);
    std::printf("click to port closed, median:  %.3f ms (90th percentile %.3f ms, max %.3f ms)\n",
                Percentile(wall, 0.5), Percentile(wall, 0.9), Percentile(wall, 1.0));
    std::printf("processor time of a send:      %.3f ms median (90th percentile %.3f ms)\n", Percentile(cpu, 0.5),
                Percentile(cpu, 0.9));
    std::printf("line time of 15 bytes at 9600: 15.625 ms\n");
    return clean ? EXIT_SUCCESS : EXIT_FAILURE;
}
