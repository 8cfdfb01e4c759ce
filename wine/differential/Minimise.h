#pragma once
// Shrinks a case with an unexplained disagreement to the fewest lines and the plainest call
// that still show one.

#include "differential/ProfileCase.h"
#include "differential/Runner.h"

namespace tallymark::differential {

// True when running the case shows a disagreement that no known difference explains.
bool HasUnexplained(Runner& runner, const Case& kase);

// The case cut down to the one call (and the write before it, if the call came after it)
// and then line by line, each step kept only while the disagreement stays.
Case Minimise(Runner& runner, const Case& whole, const Observation& failed);

} // namespace tallymark::differential
