#pragma once
// Checks for a user who cannot write a folder, as an installed panel's user cannot write
// /usr/bin. Root writes any folder, so under root the check runs as the user nobody.

#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <functional>

namespace tallymark::testing {

inline constexpr uid_t Nobody = 65534;

// Whether `check` holds for a user who cannot write `folder`, run in a child process: as
// root, the user nobody; otherwise this user, with the folder made read-only meanwhile.
inline bool AsUserWhoCannotWrite(const std::filesystem::path& folder, const std::function<bool()>& check)
{
    namespace fs = std::filesystem;
    const bool root = ::geteuid() == 0;
    if (!root)
        fs::permissions(folder, fs::perms::owner_write, fs::perm_options::remove);
    const pid_t pid = ::fork();
    if (pid == 0) {
        if (root && (::setgid(Nobody) != 0 || ::setuid(Nobody) != 0))
            ::_exit(3);
        ::_exit(check() ? 0 : 1);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    if (!root)
        fs::permissions(folder, fs::perms::owner_write, fs::perm_options::add);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

} // namespace tallymark::testing
