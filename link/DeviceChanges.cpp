#include "link/DeviceChanges.h"

#include "link/PortNames.h"

namespace tallymark {

DeviceChangeAnswer AnswerDeviceChange(const DeviceChange& change)
{
    const bool named = change.event == DeviceEvent::Arrival || change.event == DeviceEvent::RemoveComplete;
    if (named && change.kind == DeviceKind::Port) {
        if (const int number = PortNumberOf(change.portName))
            return {{number}, false};
        return {};
    }
    return {{}, change.event == DeviceEvent::NodesChanged};
}

std::vector<int> PortsAfterSettling()
{
    std::vector<int> numbers;
    for (int n = 1; n <= HighestPortNumber; ++n)
        numbers.push_back(n);
    return numbers;
}

} // namespace tallymark
