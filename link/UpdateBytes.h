#pragma once
// One update as it leaves the port: the greeting and the record in one run of fifteen bytes,
// and the hexadecimal text logs and checks write it in.

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <tuple>

#include "link/DisplayRecord.h"

namespace tallymark {

using UpdateBytes = std::array<std::uint8_t, Greeting.size() + std::tuple_size_v<DisplayRecord>>;

// The fifteen bytes on the line: the greeting and the record.
UpdateBytes WholeUpdate(const DisplayRecord& record);

// "48 65 6C": upper-case hexadecimal, one blank between bytes.
std::string HexBytes(std::span<const std::uint8_t> bytes);

} // namespace tallymark
