#include "link/PortDiscovery.h"

#include <algorithm>
#include <exception>

#include "link/PortNames.h"

namespace tallymark {

namespace {

bool Holds(std::span<const int> numbers, int n)
{
    return std::find(numbers.begin(), numbers.end(), n) != numbers.end();
}

// Opens port n and closes it again: whether it read as open. An error ends the work on this
// number only; a port that read as open counts even where closing it failed. A port that
// opened must not stay open past the try. A device refused for lack of permission is kept
// in `refused`.
bool Opens(SerialPort& port, int n, std::vector<OpenFailure>* refused = nullptr)
{
    bool opened = false, open = false;
    try {
        port.SetCommPort(static_cast<std::int16_t>(n));
        port.SetPortOpen(true);
        opened = true;
        open = port.PortOpen();
        port.SetPortOpen(false);
    } catch (const std::exception& error) {
        const auto* openError = dynamic_cast<const PortOpenError*>(&error);
        if (refused && openError && openError->Failure().reason == OpenRefusal::NoPermission)
            refused->push_back(openError->Failure());
        try {
            if (opened)
                port.SetPortOpen(false);
        } catch (const std::exception&) {
        }
    }
    return open;
}

// The highest port listed when one above COM2 is, otherwise the first.
void ShowStartPort(PortList& list)
{
    const int count = list.ListCount();
    if (count > 0)
        list.SetText(list.List(PortNumberOf(list.List(count - 1)) > 2 ? count - 1 : 0));
}

} // namespace

std::vector<OpenFailure> ScanComPorts(SerialPort& port, PortList& list)
{
    std::vector<OpenFailure> refused;
    list.Clear();
    for (int n = 1; n <= HighestPortNumber; ++n)
        if (Opens(port, n, &refused))
            list.AddItem(PortName(n));
    ShowStartPort(list);
    return refused;
}

PortsToRecheck PortsAfterChange(std::span<const int> listed, std::span<const int> numbers, const PortExists& exists)
{
    PortsToRecheck ports;
    for (int n = 1; n <= HighestPortNumber; ++n) {
        if (!Holds(numbers, n))
            continue;
        const bool isListed = Holds(listed, n);
        if (isListed != exists(n))
            (isListed ? ports.toDrop : ports.toTry).push_back(n);
    }
    return ports;
}

void RecheckComPorts(SerialPort& port, PortList& list, std::span<const int> numbers, const PortExists& exists)
{
    std::vector<int> listed;
    for (int i = 0; i < list.ListCount(); ++i)
        listed.push_back(PortNumberOf(list.List(i)));
    const PortsToRecheck ports
        = exists ? PortsAfterChange(listed, numbers, exists) : PortsToRecheck{{numbers.begin(), numbers.end()}, {}};
    const bool wasEmpty = listed.empty();
    for (int n = 1; n <= HighestPortNumber; ++n) {
        const bool tried = Holds(ports.toTry, n);
        if (!tried && !Holds(ports.toDrop, n))
            continue;
        // The list holds names in rising order: the place of n is before the first higher.
        int at = 0;
        while (at < list.ListCount() && PortNumberOf(list.List(at)) < n)
            ++at;
        const bool isListed = at < list.ListCount() && list.List(at) == PortName(n);
        const bool opens = tried && Opens(port, n);
        if (opens && !isListed)
            list.InsertItem(at, PortName(n));
        else if (!opens && isListed)
            list.RemoveItem(at);
    }
    if (wasEmpty && list.Text().empty())
        ShowStartPort(list);
}

} // namespace tallymark
