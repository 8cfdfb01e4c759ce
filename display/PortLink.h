#pragma once
// Publishes the display's line to a panel as a COM port: the panel looks for its ports as
// links "ports/COM1" to "ports/COM32" in the folder of its program.

#include <filesystem>
#include <optional>
#include <string>

#include "link/PortNames.h"

namespace tallymark::display {

inline constexpr int LowestPort = 1;
inline constexpr int HighestPort = HighestPortNumber;

class PortLink {
public:
    // Links portsFolder/COM<number> to target, creating the folder when needed. Without a
    // number the first free one is taken. A link whose target is gone, left behind by a
    // display that was killed, counts as free. Throws std::runtime_error when the number is
    // taken or outside 1 to 32, or when no number is free.
    static PortLink Publish(const std::filesystem::path& portsFolder, const std::string& target,
                            std::optional<int> number);

    PortLink(PortLink&& other) noexcept;
    PortLink& operator=(PortLink&& other) noexcept;
    PortLink(const PortLink&) = delete;
    PortLink& operator=(const PortLink&) = delete;
    ~PortLink();

    int Number() const { return m_number; }
    std::string PortName() const { return tallymark::PortName(m_number); }
    const std::filesystem::path& Path() const { return m_path; }

    // Removes the link, unless someone has put another in its place meanwhile.
    void Remove();

private:
    PortLink(std::filesystem::path path, std::string target, int number);

    std::filesystem::path m_path;
    std::string m_target;
    int m_number = 0;
};

} // namespace tallymark::display
