// tallymark-send from start to exit on a pseudo-terminal, against the floor of the same work
// (send_floor: open, 9600 8N1, DTR, the 15 bytes, drain), the two started in turns so that
// the machine's load falls on both alike. Prints the medians, their ratio, and the median and
// quartiles of the ratio within each pair.
//   send_command_bench [pairs]

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <vector>

#include "tests/support/PseudoTerminal.h"

using namespace std::chrono_literals;
using Milliseconds = std::chrono::duration<double, std::milli>;

extern char** environ;

namespace {

constexpr std::size_t UpdateSize = 15;

// Runs the program to its end: the wall time, or a negative one when it failed.
double Run(std::vector<std::string> arguments)
{
    std::vector<char*> argv;
    for (std::string& argument : arguments)
        argv.push_back(argument.data());
    argv.push_back(nullptr);
    const auto started = std::chrono::steady_clock::now();
    pid_t pid = 0;
    if (::posix_spawn(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0)
        return -1;
    int status = 0;
    ::waitpid(pid, &status, 0);
    const double elapsed = Milliseconds(std::chrono::steady_clock::now() - started).count();
    return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? elapsed : -1;
}

double Percentile(std::vector<double> values, double fraction)
{
    std::sort(values.begin(), values.end());
    return values[static_cast<std::size_t>(fraction * (values.size() - 1) + 0.5)];
}

double Median(const std::vector<double>& values)
{
    return Percentile(values, 0.5);
}

} // namespace

int main(int argc, char* argv[])
{
    const int pairs = argc > 1 ? std::max(5, std::atoi(argv[1])) : 40;
    namespace fs = std::filesystem;
    // The command in a folder of its own, with a settings file and its only port, COM3.
    const fs::path folder = fs::temp_directory_path() / ("send_command_bench." + std::to_string(::getpid()));
    fs::create_directories(folder / "ports");
    fs::copy_file(TALLYMARK_SEND_PROGRAM, folder / "tallymark-send");
    std::ofstream(folder / "Tallymark.ini") << "[Tallymarks]\r\nDDD=999\r\n";
    tallymark::testing::PseudoTerminal display;
    fs::create_symlink(display.DevicePath(), folder / "ports" / "COM3");

    std::atomic<std::size_t> received{0};
    std::atomic<bool> stop{false};
    std::thread reader([&] {
        while (!stop)
            received += display.Read(4096, 20ms).size();
    });

    const std::string command = (folder / "tallymark-send").string();
    std::vector<double> sends, floors, ratios;
    int failed = 0;
    for (int i = 0; i < pairs; ++i) {
        const double floor = Run({SEND_FLOOR_PROGRAM, display.DevicePath()});
        const double send = Run({command, "--clock", "--port", "COM3"});
        failed += floor < 0 || send < 0;
        floors.push_back(floor);
        sends.push_back(send);
        ratios.push_back(send / floor);
    }
    std::this_thread::sleep_for(100ms);
    stop = true;
    reader.join();
    fs::remove_all(folder);

    std::printf("pairs:                         %d\n", pairs);
    std::printf("bytes received:                %zu of %zu\n", received.load(), 2 * UpdateSize * pairs);
    std::printf("runs that failed:              %d\n", failed);
    std::printf("tallymark-send, median:        %.2f ms\n", Median(sends));
    std::printf("send_floor, median:            %.2f ms\n", Median(floors));
    std::printf("ratio of the medians:          %.2f\n", Median(sends) / Median(floors));
    std::printf("ratio within a pair:           %.2f median (quartiles %.2f-%.2f)\n", Median(ratios),
                Percentile(ratios, 0.25), Percentile(ratios, 0.75));
    return failed == 0 && received == 2 * UpdateSize * pairs ? EXIT_SUCCESS : EXIT_FAILURE;
}
