#include "display/PortLink.h"

#include <cerrno>
#include <stdexcept>
#include <system_error>
#include <utility>

#include <sys/stat.h>
#include <unistd.h>

namespace tallymark::display {

namespace {

std::string ReadLink(const std::filesystem::path& path)
{
    std::error_code error;
    const auto target = std::filesystem::read_symlink(path, error);
    return error ? std::string() : target.string();
}

// A symbolic link whose target no longer exists.
bool IsDangling(const std::filesystem::path& path)
{
    struct stat entry{};
    struct stat target{};
    return ::lstat(path.c_str(), &entry) == 0 && S_ISLNK(entry.st_mode) && ::stat(path.c_str(), &target) != 0
        && errno == ENOENT;
}

// Creates the link; false when the name is taken by something that is still in use.
bool TryLink(const std::filesystem::path& path, const std::string& target)
{
    for (int attempt = 0; attempt < 2; ++attempt) {
        if (::symlink(target.c_str(), path.c_str()) == 0)
            return true;
        if (errno != EEXIST)
            throw std::system_error(errno, std::generic_category(), "cannot create " + path.string());
        if (!IsDangling(path))
            return false;
        ::unlink(path.c_str());
    }
    return false;
}

} // namespace

PortLink PortLink::Publish(const std::filesystem::path& portsFolder, const std::string& target,
                           std::optional<int> number)
{
    std::filesystem::create_directories(portsFolder);
    const auto pathOf = [&](int n) { return portsFolder / tallymark::PortName(n); };

    if (number) {
        if (*number < LowestPort || *number > HighestPort)
            throw std::runtime_error(tallymark::PortName(*number) + " is not a port a panel scans (COM1 to COM32)");
        if (!TryLink(pathOf(*number), target))
            throw std::runtime_error(pathOf(*number).string() + " is taken");
        return PortLink(pathOf(*number), target, *number);
    }
    for (int n = LowestPort; n <= HighestPort; ++n) {
        if (TryLink(pathOf(n), target))
            return PortLink(pathOf(n), target, n);
    }
    throw std::runtime_error("no free port from COM1 to COM32 in " + portsFolder.string());
}

PortLink::PortLink(std::filesystem::path path, std::string target, int number)
    : m_path(std::move(path)), m_target(std::move(target)), m_number(number)
{
}

PortLink::PortLink(PortLink&& other) noexcept
    : m_path(std::exchange(other.m_path, {})), m_target(std::exchange(other.m_target, {})), m_number(other.m_number)
{
}

PortLink& PortLink::operator=(PortLink&& other) noexcept
{
    if (this != &other) {
        Remove();
        m_path = std::exchange(other.m_path, {});
        m_target = std::exchange(other.m_target, {});
        m_number = other.m_number;
    }
    return *this;
}

PortLink::~PortLink()
{
    Remove();
}

void PortLink::Remove()
{
    if (m_path.empty())
        return;
    if (ReadLink(m_path) == m_target)
        ::unlink(m_path.c_str());
    m_path.clear();
}

} // namespace tallymark::display
