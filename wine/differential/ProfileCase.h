#pragma once
// One case of the differential check: a settings file, calls that read it, and perhaps one
// write, made from a seed and an index so that any case can be run again on its own.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tallymark::differential {

struct Query {
    enum class Kind { Value, SectionNames, KeyNames, Integer };
    Kind kind = Kind::Value;
    std::string section; // not used for SectionNames
    std::string key;     // Value and Integer only
    std::optional<std::string> defaultText; // none: a null default
    int defaultValue = 0;                   // Integer only
    // The buffer's size: `size` bytes, or, with sizeFromFit, the bytes the whole answer needs
    // (its count and one NUL) plus `size`, so that exact fits and cuts by a byte come up often.
    bool sizeFromFit = false;
    int size = 256;
};

struct Write {
    std::string section;
    std::optional<std::string> key;   // none: remove the section
    std::optional<std::string> value; // none: remove the key
};

struct Case {
    bool fileExists = true;
    std::vector<std::string> lines; // each with its own line end, if any; a byte order mark stays in the first
    std::vector<Query> queries;     // asked before the write, and again after it
    std::optional<Write> write;

    std::string Content() const;
};

Case MakeCase(std::uint64_t seed, std::uint64_t index);

// The call as C source, for the report of a failure.
std::string Describe(const Query& query, std::uint32_t size);
std::string Describe(const Write& write);

} // namespace tallymark::differential
