#pragma once
// The names a save gives its temporary files beside the settings file, read back so that a
// later save can tell which of them a killed save left behind.

#include <cstdint>
#include <optional>
#include <string_view>

namespace tallymark {

// The process id in what follows "<file>.tmp" in a temporary file's name: "<pid>", or
// "<pid>-<n>" where the names are numbered. Numbers are written as the save writes them
// (decimal, no sign, no leading zero); any other text gives nothing, so that no file of
// another kind is ever taken for a temporary one.
std::optional<std::uint32_t> TemporaryFileOwner(std::string_view afterTmp, bool numbered);

} // namespace tallymark
