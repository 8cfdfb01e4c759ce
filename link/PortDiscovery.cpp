#include "link/PortDiscovery.h"

#include <algorithm>
#include <exception>

#include "link/PortNames.h"
#include "link/SendOperation.h"

namespace tallymark {

namespace {

std::string PortName(int number)
{
    return "COM" + std::to_string(number);
}

// Opens port n and closes it again: whether it read as open. An error ends the work on this
// number only; a port that read as open counts even where closing it failed. A port that
// opened must not stay open past the try.
bool Opens(SerialPort& port, int n)
{
    bool opened = false, open = false;
    try {
        port.SetCommPort(static_cast<std::int16_t>(n));
        port.SetPortOpen(true);
        opened = true;
        open = port.PortOpen();
        port.SetPortOpen(false);
    } catch (const std::exception&) {
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

void ScanComPorts(SerialPort& port, PortList& list)
{
    list.Clear();
    for (int n = 1; n <= HighestPortNumber; ++n)
        if (Opens(port, n))
            list.AddItem(PortName(n));
    ShowStartPort(list);
}

void RecheckComPorts(SerialPort& port, PortList& list, std::span<const int> numbers)
{
    const bool wasEmpty = list.ListCount() == 0;
    for (int n = 1; n <= HighestPortNumber; ++n) {
        if (std::find(numbers.begin(), numbers.end(), n) == numbers.end())
            continue;
        // The list holds names in rising order: the place of n is before the first higher.
        int at = 0;
        while (at < list.ListCount() && PortNumberOf(list.List(at)) < n)
            ++at;
        const bool listed = at < list.ListCount() && list.List(at) == PortName(n);
        const bool opens = Opens(port, n);
        if (opens && !listed)
            list.InsertItem(at, PortName(n));
        else if (!opens && listed)
            list.RemoveItem(at);
    }
    if (wasEmpty && list.Text().empty())
        ShowStartPort(list);
}

} // namespace tallymark
