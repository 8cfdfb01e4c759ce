#include "link/PortDiscovery.h"

#include <exception>

#include "link/PortNames.h"

namespace tallymark {

void ScanComPorts(SerialPort& port, PortList& list)
{
    list.Clear();
    int highest = 0;
    for (int n = 1; n <= HighestPortNumber; ++n) {
        bool opened = false;
        try {
            port.SetCommPort(static_cast<std::int16_t>(n));
            port.SetPortOpen(true);
            opened = true;
            if (port.PortOpen()) {
                list.AddItem("COM" + std::to_string(n));
                highest = n;
            }
            port.SetPortOpen(false);
        } catch (const std::exception&) {
            // An error ends the work on this number only. A port that opened but failed to
            // close must not stay open past the scan.
            try {
                if (opened)
                    port.SetPortOpen(false);
            } catch (const std::exception&) {
            }
        }
    }
    if (list.ListCount() > 0)
        list.SetText(list.List(highest > 2 ? list.ListCount() - 1 : 0));
}

} // namespace tallymark
