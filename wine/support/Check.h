#pragma once
// A minimal check harness for the Windows-side test programs: Qt Test is not available for
// the cross-compiler, and these programs have to run on a bare Wine prefix.
//
// Every check prints a line only when it fails (or fails as expected), so that a passing
// run stays short; the closing line "N passed, N failed" is what CI reads.

#include <cstdint>
#include <cstdio>
#include <sstream>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>

namespace check {

struct Tally {
    int passed = 0;
    int failed = 0;
    int expectedFailures = 0; // known deviations of the platform under test, reported only
    int unexpectedPasses = 0; // a known deviation that has gone away: the mark is stale
    int skipped = 0;          // cases this platform cannot run, said so in the output
};


inline Tally& Totals()
{
    static Tally tally;
    return tally;
}

// Counts cases that could not run here; the caller prints why.
inline void Skip(int count)
{
    Totals().skipped += count;
}

// Bytes as C-style escapes, so that CR, LF, NUL and quotes in profile files stay visible.
inline std::string Quoted(std::string_view bytes)
{
    std::string out = "\"";
    for (unsigned char c : bytes) {
        switch (c) {
        case '\r': out += "\\r"; break;
        case '\n': out += "\\n"; break;
        case '\t': out += "\\t"; break;
        case '\\': out += "\\\\"; break;
        case '"': out += "\\\""; break;
        default:
            if (c < 0x20 || c >= 0x7F) {
                char hex[8];
                std::snprintf(hex, sizeof hex, "\\x%02X", c);
                out += hex;
            } else {
                out += static_cast<char>(c);
            }
        }
    }
    return out + "\"";
}

inline std::string Hex(std::string_view bytes)
{
    std::string out;
    for (unsigned char c : bytes) {
        char hex[4];
        std::snprintf(hex, sizeof hex, out.empty() ? "%02X" : " %02X", c);
        out += hex;
    }
    return out;
}

template <typename T>
std::string Show(const T& value)
{
    if constexpr (std::is_convertible_v<const T&, std::string_view>) {
        return Quoted(std::string_view(value));
    } else if constexpr (std::is_same_v<T, bool>) {
        return value ? "true" : "false";
    } else if constexpr (std::is_integral_v<T>) {
        std::ostringstream out;
        out << +value;
        return out.str();
    } else {
        std::ostringstream out;
        out << value;
        return out.str();
    }
}

// Records one comparison. `expectFailure` marks a known deviation: a mismatch then counts
// as an expected failure, and a match as an unexpected pass, which fails the run so that
// the stale mark gets removed.
template <typename A, typename B>
bool Equal(const std::string& what, const A& actual, const B& expected, bool expectFailure = false)
{
    const bool same = actual == expected;
    Tally& tally = Totals();
    if (same && !expectFailure) {
        ++tally.passed;
    } else if (!same && expectFailure) {
        ++tally.expectedFailures;
        std::printf("XFAIL %s\n      got      %s\n      expected %s\n", what.c_str(), Show(actual).c_str(),
                    Show(expected).c_str());
    } else if (same) {
        ++tally.unexpectedPasses;
        ++tally.failed;
        std::printf("XPASS %s: marked as a known deviation but gave the expected %s\n", what.c_str(),
                    Show(expected).c_str());
    } else {
        ++tally.failed;
        std::printf("FAIL  %s\n      got      %s\n      expected %s\n", what.c_str(), Show(actual).c_str(),
                    Show(expected).c_str());
    }
    std::fflush(stdout);
    return same;
}

// Several comparisons that make up one case. A case marked as a known deviation is judged
// whole: any mismatch makes it an expected failure, and only a full match an unexpected pass.
class Case {
public:
    Case(std::string what, bool expectFailure) : what_(std::move(what)), expectFailure_(expectFailure) {}
    Case(const Case&) = delete;
    Case& operator=(const Case&) = delete;

    template <typename A, typename B>
    void Equal(const std::string& part, const A& actual, const B& expected)
    {
        if (!expectFailure_) {
            check::Equal(what_ + " (" + part + ")", actual, expected);
            return;
        }
        if (!(actual == expected))
            mismatches_ += "      " + part + ": got " + Show(actual) + ", expected " + Show(expected) + "\n";
    }

    ~Case()
    {
        if (!expectFailure_)
            return;
        Tally& tally = Totals();
        if (mismatches_.empty()) {
            ++tally.unexpectedPasses;
            ++tally.failed;
            std::printf("XPASS %s: marked as a known deviation but gave what is expected\n", what_.c_str());
        } else {
            ++tally.expectedFailures;
            std::printf("XFAIL %s\n%s", what_.c_str(), mismatches_.c_str());
        }
        std::fflush(stdout);
    }

private:
    std::string what_;
    bool expectFailure_;
    std::string mismatches_;
};

inline bool True(const std::string& what, bool condition)
{
    return Equal(what, condition, true);
}

// Prints the closing lines and gives the program's exit code.
inline int Finish(const char* program)
{
    const Tally& tally = Totals();
    if (tally.expectedFailures)
        std::printf("%s: %d known deviations of the platform (XFAIL above)\n", program, tally.expectedFailures);
    if (tally.skipped)
        std::printf("%d passed, %d failed, %d skipped\n", tally.passed, tally.failed, tally.skipped);
    else
        std::printf("%d passed, %d failed\n", tally.passed, tally.failed);
    std::fflush(stdout);
    return tally.failed == 0 ? 0 : 1;
}

} // namespace check
