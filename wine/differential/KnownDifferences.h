#pragma once
// Where Wine's kernel32 is known to answer otherwise than the portable store, and why the
// store's answer stands. A disagreement that none of these explains is a fault to look into.

#include <span>

#include "differential/Observation.h"

namespace tallymark::differential {

struct KnownDifference {
    const char* name;     // what Wine does
    const char* evidence; // why the store does otherwise
    bool (*explains)(const Observation& observation);
};

std::span<const KnownDifference> KnownDifferences();

// The known difference behind a disagreement, or null.
const KnownDifference* Explain(const Observation& observation);

} // namespace tallymark::differential
