#pragma once
// Why a port did not open, as the serial component found it. The panel's message and
// tallymark-send's line are made from this value; a device that is there but refused for
// lack of permission is told apart from one that is missing or held, since its remedy (a
// group to join) is the operator's own.

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <utility>

namespace tallymark {

enum class OpenRefusal {
    NoDevice, // the device is not there
    NoPermission, // the device is there, but this user may not open it
    HeldByProgram, // another program holds the device
    Other, // anything else: the system's own words say what
};

struct OpenFailure {
    OpenFailure() = default;
    explicit OpenFailure(OpenRefusal why, std::string path = {}) : reason(why), device(std::move(path)) { }

    OpenRefusal reason = OpenRefusal::Other;
    std::string device; // the device's path; empty where the port has no device at all
    std::string group; // NoPermission: the group the device belongs to
    std::string program; // HeldByProgram: the holder's name, where a lock file names a running process
    std::int64_t processId = 0; // and its process id; 0 when no lock file names one
    std::string lock; // HeldByProgram otherwise: the lock that refused the device
    std::string systemText; // the system's own words, where it gave any

    friend bool operator==(const OpenFailure&, const OpenFailure&) = default;
};

// The paragraph below the message of a failed open, for `user`: the devices and why they
// did not open, after the first failure's reason; for a refusal for lack of permission the
// group to join, the command that joins it and the new log-in that it needs. Japanese, with
// the paths, the group and the command in ASCII as they are typed.
std::string OpenFailureParagraph(std::span<const OpenFailure> failures, std::string_view user);

// The command that lets `user` open the devices of `group`.
std::string JoinGroupCommand(std::string_view user, std::string_view group);

} // namespace tallymark
