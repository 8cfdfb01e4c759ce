// The far end of the serial line in the Windows-side check: a Linux process that owns a
// pseudo-terminal, links its device under a given name (for Wine's dosdevices/comN) and
// copies everything that arrives into a file, until SIGTERM, a hang-up or a time limit.
//
//   pty_reader LINK OUTPUT [SECONDS [REQUESTS]]
//
// It keeps the terminal's device open itself, so that a writer closing the port neither
// ends the reading nor hangs up the line under whoever opened the device last.
//
// REQUESTS is a folder in which the check asks for what a real far end can do to the line,
// one empty file per request, removed once it is done: "hold" stops the line's output flow
// as a device's XOFF does (the writer's bytes stay with it), "release" lets it flow again,
// "hangup" closes the terminal, so that the line vanishes under the writer and the reader
// ends. Requests are carried out while the line is quiet.

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

volatile sig_atomic_t stopping = 0;

void Stop(int) { stopping = 1; }

bool WriteAll(int fd, const char* data, ssize_t size)
{
    while (size > 0) {
        const ssize_t written = ::write(fd, data, static_cast<size_t>(size));
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        data += written;
        size -= written;
    }
    return true;
}

// Carries out the requests waiting in the folder; false once the line has been hung up.
bool Obey(const std::string& folder, int slave, int& master)
{
    namespace fs = std::filesystem;
    const auto asked = [&](const char* request) {
        std::error_code error;
        return !folder.empty() && fs::remove(fs::path(folder) / request, error);
    };
    if (asked("hold"))
        ::tcflow(slave, TCOOFF);
    if (asked("release"))
        ::tcflow(slave, TCOON);
    if (asked("hangup")) {
        ::close(master);
        master = -1;
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 3 || argc > 5) {
        std::fprintf(stderr, "usage: pty_reader LINK OUTPUT [SECONDS [REQUESTS]]\n");
        return 2;
    }
    const std::string link = argv[1];
    const char* outputPath = argv[2];
    const int seconds = argc >= 4 ? std::atoi(argv[3]) : 300;
    const std::string requests = argc == 5 ? argv[4] : "";

    struct sigaction action {};
    action.sa_handler = Stop;
    ::sigaction(SIGTERM, &action, nullptr);
    ::sigaction(SIGINT, &action, nullptr);

    int master = -1;
    int slave = -1;
    char name[256] = {};
    if (::openpty(&master, &slave, name, nullptr, nullptr) != 0) {
        std::perror("openpty");
        return 1;
    }
    // Raw from the start, so that nothing is translated before the writer sets its own modes.
    termios modes {};
    if (::tcgetattr(slave, &modes) == 0) {
        ::cfmakeraw(&modes);
        ::tcsetattr(slave, TCSANOW, &modes);
    }
    const int output = ::open(outputPath, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (output < 0) {
        std::perror(outputPath);
        return 1;
    }
    ::unlink(link.c_str());
    if (::symlink(name, link.c_str()) != 0) {
        std::perror(link.c_str());
        return 1;
    }

    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    int status = 0;
    // After the stop request, whatever is still on its way is read before the end, until
    // the line has been quiet for a moment.
    int quietPolls = 0;
    while (!stopping || quietPolls < 2) {
        if (std::chrono::steady_clock::now() >= deadline) {
            std::fprintf(stderr, "pty_reader: stopped after %d seconds\n", seconds);
            status = 1;
            break;
        }
        pollfd ready {master, POLLIN, 0};
        const int events = ::poll(&ready, 1, 100);
        if (events < 0 && errno != EINTR) {
            std::perror("poll");
            status = 1;
            break;
        }
        if (events <= 0) {
            if (stopping)
                ++quietPolls;
            else if (!Obey(requests, slave, master))
                break;
            continue;
        }
        char chunk[4096];
        const ssize_t count = ::read(master, chunk, sizeof chunk);
        if (count < 0) {
            if (errno == EINTR || errno == EAGAIN)
                continue;
            std::perror("read");
            status = 1;
            break;
        }
        if (!WriteAll(output, chunk, count)) {
            std::perror(outputPath);
            status = 1;
            break;
        }
    }
    ::unlink(link.c_str());
    ::close(output);
    ::close(slave);
    if (master >= 0)
        ::close(master);
    return status;
}
