#include "WindowTiming.h"

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QThread>

#include <algorithm>
#include <chrono>
#include <cstdio>

#include <unistd.h>

using namespace std::chrono_literals;

namespace tallymark::bench {

namespace {

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

void Start(QProcess& process, const TimedProgram& program)
{
    process.setProcessEnvironment(program.environment);
    process.start(program.command.front(), program.command.mid(1));
}

void Close(testing::XSession& x, QProcess& process, std::optional<unsigned long> window)
{
    if (window)
        x.RequestClose(*window);
    if (!process.waitForFinished(10000))
        process.kill();
    process.waitForFinished();
}

} // namespace

double TimeToWindow(testing::XSession& x, const TimedProgram& program)
{
    QProcess process;
    QElapsedTimer clock;
    clock.start();
    Start(process, program);
    const auto window = x.WaitForWindow(program.title, 30s);
    const double elapsed = double(clock.nsecsElapsed()) / 1e6;
    Close(x, process, window);
    return window ? elapsed : -1.0;
}

std::vector<std::vector<double>> TimesToWindow(testing::XSession& x, const std::vector<const TimedProgram*>& programs,
                                               int runs)
{
    for (const TimedProgram* program : programs)
        TimeToWindow(x, *program);
    std::vector<std::vector<double>> times(programs.size());
    for (int i = 0; i < runs; ++i)
        for (std::size_t p = 0; p < programs.size(); ++p)
            times[p].push_back(TimeToWindow(x, *programs[p]));
    return times;
}

IdleUse MeasureIdle(testing::XSession& x, const TimedProgram& program,
                    const std::function<std::optional<qint64>()>& also)
{
    QProcess process;
    Start(process, program);
    const auto window = x.WaitForWindow(program.title, 30s);
    const qint64 other = also ? also().value_or(0) : 0; // 0: none
    QThread::msleep(1000);
    const double before = CpuSeconds(process.processId());
    const double otherBefore = other ? CpuSeconds(other) : 0.0;
    QElapsedTimer wall;
    wall.start();
    QThread::msleep(10000);
    IdleUse use;
    use.seconds = CpuSeconds(process.processId()) - before;
    use.alsoSeconds = other ? CpuSeconds(other) - otherBefore : 0.0;
    use.wall = double(wall.nsecsElapsed()) / 1e9;
    Close(x, process, window);
    return use;
}

} // namespace tallymark::bench

namespace tallymark::bench {

namespace {

struct Spread {
    double low, median, high; // the quartiles
};

Spread SpreadOf(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const auto at
        = [&](double share) { return values[static_cast<std::size_t>(share * double(values.size() - 1) + 0.5)]; };
    return {at(0.25), at(0.5), at(0.75)};
}

} // namespace

std::vector<double> PrintTimesToWindow(testing::XSession& x, const char* heading,
                                       const std::vector<std::pair<const TimedProgram*, const char*>>& programs,
                                       int runs)
{
    std::vector<const TimedProgram*> timed;
    for (const auto& [program, name] : programs)
        timed.push_back(program);
    const std::vector<std::vector<double>> times = TimesToWindow(x, timed, runs);
    std::printf("%s, start to window shown, %d turns; median (quartiles), and the first program's time as a ratio\n"
                "to each other's in the same turn:\n",
                heading, runs);
    std::vector<double> medians;
    for (std::size_t i = 0; i < programs.size(); ++i) {
        const Spread time = SpreadOf(times[i]);
        medians.push_back(time.median);
        std::printf("  %-40s %6.1f ms (%5.1f-%5.1f)", programs[i].second, time.median, time.low, time.high);
        if (i > 0) {
            std::vector<double> ratios;
            for (std::size_t turn = 0; turn < times[i].size(); ++turn)
                ratios.push_back(times[0][turn] / times[i][turn]);
            const Spread ratio = SpreadOf(ratios);
            std::printf("   ratio %.2f (%.2f-%.2f)", ratio.median, ratio.low, ratio.high);
        }
        std::printf("\n");
    }
    return medians;
}

} // namespace tallymark::bench
