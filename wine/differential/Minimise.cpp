#include "differential/Minimise.h"

#include <functional>

#include "differential/KnownDifferences.h"
#include "settings/ProfileText.h"

namespace tallymark::differential {
namespace {

// Tries a change; keeps it when the disagreement stays.
bool Keep(Runner& runner, Case& kase, const std::function<void(Case&)>& change)
{
    Case changed = kase;
    change(changed);
    if (!HasUnexplained(runner, changed))
        return false;
    kase = std::move(changed);
    return true;
}

} // namespace

bool HasUnexplained(Runner& runner, const Case& kase)
{
    for (const Observation& observation : runner.Run(kase)) {
        if (!observation.Agrees() && !Explain(observation))
            return true;
    }
    return false;
}

Case Minimise(Runner& runner, const Case& whole, const Observation& failed)
{
    // The one call that disagreed; the write only when it or the call after it did.
    Case kase = whole;
    if (failed.phase == Phase::Before)
        kase.write.reset();
    kase.queries.clear();
    if (failed.phase != Phase::Write)
        kase.queries.push_back(failed.query);
    if (!HasUnexplained(runner, kase))
        return whole; // the disagreement needs the other calls: shown as it came
    if (kase.write && !kase.queries.empty())
        Keep(runner, kase, [](Case& c) { c.write.reset(); });

    for (bool shrunk = true; shrunk;) {
        shrunk = false;
        for (std::size_t i = kase.lines.size(); i-- > 0;)
            shrunk |= Keep(runner, kase, [i](Case& c) { c.lines.erase(c.lines.begin() + static_cast<std::ptrdiff_t>(i)); });
    }
    if (!kase.queries.empty()) {
        if (kase.queries.front().defaultText && !kase.queries.front().defaultText->empty())
            Keep(runner, kase, [](Case& c) { c.queries.front().defaultText = ""; });
        Keep(runner, kase, [](Case& c) { c.queries.front().section = TrimProfileBlanks(c.queries.front().section); });
        Keep(runner, kase, [](Case& c) { c.queries.front().key = TrimProfileBlanks(c.queries.front().key); });
        if (kase.queries.front().sizeFromFit || kase.queries.front().size != 256)
            Keep(runner, kase, [](Case& c) { c.queries.front().sizeFromFit = false, c.queries.front().size = 256; });
    }
    return kase;
}

} // namespace tallymark::differential
