#pragma once
// What the start-up benchmarks measure alike, on a real X server: the time from starting a
// program to its window being shown, and the CPU it uses while it idles.

#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>
#include <utility>
#include <vector>

#include "support/XSession.h"

namespace tallymark::bench {

struct TimedProgram {
    QStringList command; // the program and its arguments
    QProcessEnvironment environment;
    QString title;       // of the window it shows
};

// Milliseconds from starting the program to its window being viewable; closes it again.
// -1 when no window came.
double TimeToWindow(testing::XSession& x, const TimedProgram& program);

// `runs` times of each program, one list a program in the order given. The programs take
// turns, after one warm-up each, so that all see the same machine.
std::vector<std::vector<double>> TimesToWindow(testing::XSession& x, const std::vector<const TimedProgram*>& programs,
                                               int runs);

// Prints the median time of each program with its quartiles, and the first program against
// each of the others as ratios taken within each turn, so that the machine's load at that
// moment weighs on both: their median and quartiles. Returns the median times in order.
std::vector<double> PrintTimesToWindow(testing::XSession& x, const char* heading,
                                       const std::vector<std::pair<const TimedProgram*, const char*>>& programs,
                                       int runs);

struct IdleUse {
    double seconds = 0;      // CPU seconds the program used
    double alsoSeconds = 0;  // CPU seconds the process `also` found used
    double wall = 0;         // over this many seconds
};

// Starts the program, lets it settle for a second once its window shows, and measures the CPU
// it uses over the next ten seconds, and that of the process `also` finds then, if any.
IdleUse MeasureIdle(testing::XSession& x, const TimedProgram& program,
                    const std::function<std::optional<qint64>()>& also = {});

} // namespace tallymark::bench
