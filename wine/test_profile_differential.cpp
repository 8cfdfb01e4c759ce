// The portable store against kernel32 itself (Wine's, in code page 932) on random settings
// files: the same calls go to both, and every answer must agree, or be one of Wine's known
// differences (differential/KnownDifferences.cpp). Any other disagreement fails the run and
// is shown cut down to its fewest lines, with the command that runs its case again.
//
//   wine_profile_differential                       a fixed seed, then one from the clock
//   wine_profile_differential --seed S --cases N    N cases of seed S
//   wine_profile_differential --seed S --seconds T  the cases of seed S that T seconds allow
//   wine_profile_differential --seed S --case I     case I of seed S alone, every call shown

#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <optional>
#include <string>

#include "differential/KnownDifferences.h"
#include "differential/Minimise.h"
#include "differential/Runner.h"
#include "support/Check.h"

using namespace tallymark::differential;

namespace {

// The CI run: the fixed seed's cases are the same on every run; the clock's seed adds new ones.
constexpr std::uint64_t FixedSeed = 15;
constexpr std::uint64_t FixedCases = 600;
constexpr double ClockSeconds = 10;
constexpr int MostReported = 3; // failures shown in full; the rest are counted

double Seconds()
{
    return static_cast<double>(::GetTickCount64()) / 1000;
}

// The buffer up to its last byte the call wrote; untouched bytes after that are only counted.
std::string Shown(const Query& query, const Outcome& outcome, std::uint32_t size)
{
    if (query.kind == Query::Kind::Integer)
        return std::to_string(outcome.count) + " (" + std::to_string(static_cast<std::int32_t>(outcome.count)) + ")";
    const std::size_t written = outcome.buffer.find_last_not_of(Guard) + 1;
    std::string shown =
        "count " + std::to_string(outcome.count) + ", buffer " + check::Quoted(outcome.buffer.substr(0, written));
    if (written < size)
        shown += " and " + std::to_string(size - written) + " bytes untouched";
    else if (written > size)
        shown += ", " + std::to_string(written - size) + " bytes past the buffer's end";
    return shown;
}

std::string Call(const Case& kase, const Observation& observation)
{
    if (observation.phase == Phase::Write)
        return Describe(*kase.write);
    return Describe(observation.query, observation.size) + (observation.phase == Phase::After ? " after the write" : "");
}

void Print(const Case& kase, const Observation& observation, const char* verdict)
{
    std::printf("      %s: %s\n", verdict, Call(kase, observation).c_str());
    if (observation.phase == Phase::Write) {
        std::printf("        kernel32 %s, portable %s\n", observation.kernel32.count ? "TRUE" : "FALSE",
                    observation.portable.count ? "TRUE" : "FALSE");
        return;
    }
    std::printf("        kernel32 %s\n", Shown(observation.query, observation.kernel32, observation.size).c_str());
    std::printf("        portable %s\n", Shown(observation.query, observation.portable, observation.size).c_str());
}

std::string FileShown(const Case& kase)
{
    return kase.fileExists ? check::Quoted(kase.Content()) : "missing";
}

std::string Environment(const char* name, const std::string& otherwise)
{
    char value[MAX_PATH + 1] = {};
    const DWORD length = ::GetEnvironmentVariableA(name, value, sizeof value);
    return length > 0 && length < sizeof value ? std::string(value, length) : otherwise;
}

// The command that runs one case again: Wine tells its programs its loader and prefix.
std::string RerunCommand(std::uint64_t seed, std::uint64_t index)
{
    char own[MAX_PATH + 1] = {};
    std::string program(own, ::GetModuleFileNameA(nullptr, own, MAX_PATH));
    if (program.size() > 2 && (program[0] == 'Z' || program[0] == 'z') && program[1] == ':')
        program.erase(0, 2);
    for (char& c : program)
        c = c == '\\' ? '/' : c;
    return "LC_ALL=ja_JP.UTF-8 WINEPREFIX=" + Environment("WINEPREFIX", "~/.wine") + " WINEDEBUG=-all "
           + Environment("WINELOADER", "wine") + " " + program + " --seed " + std::to_string(seed) + " --case "
           + std::to_string(index);
}

class DifferentialCheck {
public:
    explicit DifferentialCheck(const std::string& folder) : runner_(folder) {}

    // One case; true when every disagreement is a known one.
    bool RunCase(std::uint64_t seed, std::uint64_t index, bool verbose)
    {
        const Case kase = MakeCase(seed, index);
        if (verbose)
            std::printf("case %s of seed %s, file %s\n", std::to_string(index).c_str(), std::to_string(seed).c_str(),
                        FileShown(kase).c_str());
        bool passed = true;
        for (const Observation& observation : runner_.Run(kase)) {
            const KnownDifference* known = observation.Agrees() ? nullptr : Explain(observation);
            if (known)
                ++seen_[known];
            if (verbose)
                Print(kase, observation, observation.Agrees() ? "agree" : known ? known->name : "UNEXPLAINED");
            if (!observation.Agrees() && !known) {
                if (passed && !verbose)
                    Report(seed, index, kase, observation);
                passed = false;
            }
        }
        ++cases_;
        return passed;
    }

    // Cases 0, 1, ... of a seed, as many as count and the time allow; each counts as one
    // check of the closing line.
    void RunCases(std::uint64_t seed, std::uint64_t count, double seconds)
    {
        const double start = Seconds();
        std::uint64_t index = 0;
        int failed = 0;
        for (; index < count && Seconds() - start < seconds; ++index) {
            const bool passed = RunCase(seed, index, false);
            ++(passed ? check::Totals().passed : check::Totals().failed);
            failed += passed ? 0 : 1;
        }
        std::printf("seed %s: %s cases in %.1f s, %d with a disagreement no known difference explains\n",
                    std::to_string(seed).c_str(), std::to_string(index).c_str(), Seconds() - start, failed);
    }

    void PrintSummary(double seconds) const
    {
        std::printf("known differences of Wine's kernel32 met:\n");
        for (const KnownDifference& known : KnownDifferences()) {
            const auto found = seen_.find(&known);
            std::printf("  %6s  %s\n", std::to_string(found == seen_.end() ? 0 : found->second).c_str(), known.name);
        }
        std::printf("throughput: %.0f cases/s, %.0f calls/s (both sides)\n", static_cast<double>(cases_) / seconds,
                    static_cast<double>(runner_.calls()) / seconds);
    }

private:
    void Report(std::uint64_t seed, std::uint64_t index, const Case& kase, const Observation& observation)
    {
        if (++reported_ > MostReported)
            return;
        const Case small = Minimise(runner_, kase, observation);
        std::printf("FAIL  seed %s, case %s: kernel32 and the portable store disagree\n", std::to_string(seed).c_str(),
                    std::to_string(index).c_str());
        std::printf("      file (%zu of %zu lines): %s\n", small.lines.size(), kase.lines.size(), FileShown(small).c_str());
        if (small.write)
            std::printf("      write: %s\n", Describe(*small.write).c_str());
        for (const Observation& seen : runner_.Run(small)) {
            if (!seen.Agrees() && !Explain(seen))
                Print(small, seen, "disagree");
        }
        std::printf("      rerun: %s\n", RerunCommand(seed, index).c_str());
        std::fflush(stdout);
    }

    Runner runner_;
    std::map<const KnownDifference*, std::uint64_t> seen_;
    std::uint64_t cases_ = 0;
    int reported_ = 0;
};

std::string MakeFolder()
{
    char temp[MAX_PATH + 1] = {};
    const DWORD length = ::GetTempPathA(sizeof temp, temp);
    const std::string folder =
        std::string(temp, length) + "tallymark-differential-" + std::to_string(::GetCurrentProcessId());
    ::CreateDirectoryA(folder.c_str(), nullptr);
    return folder;
}

// A seed that differs from run to run: the time in 100 ns steps.
std::uint64_t ClockSeed()
{
    FILETIME now{};
    ::GetSystemTimeAsFileTime(&now);
    return (static_cast<std::uint64_t>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
}

std::optional<std::uint64_t> Argument(int argc, char** argv, const char* name)
{
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::string(argv[i]) == name)
            return std::strtoull(argv[i + 1], nullptr, 10);
    }
    return std::nullopt;
}

} // namespace

int main(int argc, char** argv)
{
    if (::GetACP() != 932) {
        std::printf("profile differential: system code page %u, not 932: skipped (run it in a Japanese locale)\n",
                    ::GetACP());
        check::Skip(1);
        return check::Finish("profile differential");
    }
    const std::string folder = MakeFolder();
    DifferentialCheck differential(folder);
    const double start = Seconds();
    const auto seed = Argument(argc, argv, "--seed");
    const auto index = Argument(argc, argv, "--case");
    const auto count = Argument(argc, argv, "--cases");
    const auto seconds = Argument(argc, argv, "--seconds");
    if (index) {
        const bool passed = differential.RunCase(seed.value_or(FixedSeed), *index, true);
        check::True("the case agrees but for known differences", passed);
    } else if (seed) {
        const double limit = seconds ? static_cast<double>(*seconds) : count ? 1e9 : ClockSeconds;
        differential.RunCases(*seed, count.value_or(~0ull), limit);
    } else {
        differential.RunCases(FixedSeed, FixedCases, 1e9);
        const std::uint64_t clockSeed = ClockSeed();
        std::printf("seed from the clock: %s\n", std::to_string(clockSeed).c_str());
        std::fflush(stdout);
        differential.RunCases(clockSeed, ~0ull, ClockSeconds);
    }
    differential.PrintSummary(Seconds() - start);
    ::RemoveDirectoryA(folder.c_str());
    return check::Finish("profile differential");
}
