#pragma once
// Runs a case through kernel32 and through the portable store, each on a file of its own.

#include <string>
#include <vector>

#include "differential/Observation.h"
#include "differential/ProfileCase.h"

namespace tallymark::differential {

class Runner {
public:
    // folder: an existing folder for the cases' files, in Windows form.
    explicit Runner(std::string folder) : folder_(std::move(folder)) {}

    // Every call of the case on both sides, in order: the reads, the write, the reads again
    // and a few more that look at what the write did.
    std::vector<Observation> Run(const Case& kase);

    // Calls made on both sides so far, for the throughput.
    std::uint64_t calls() const { return calls_; }

private:
    std::string folder_;
    std::uint64_t files_ = 0;
    std::uint64_t calls_ = 0;
};

} // namespace tallymark::differential
