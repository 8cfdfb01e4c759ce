#pragma once
// How the panel on Windows answers ports that come or go while it runs, apart from the
// system's messages: which device changes count, the settling after a burst of them, and
// which ports are tried then. The window passes on what a WM_DEVICECHANGE says and runs the
// timer this asks for; the ports go to Form1::PortsChanged.

#include <string>
#include <vector>

namespace tallymark {

// The event of a device change: DBT_DEVICEARRIVAL, DBT_DEVICEREMOVECOMPLETE,
// DBT_DEVNODES_CHANGED, or any other.
enum class DeviceEvent { Arrival, RemoveComplete, NodesChanged, Other };
// Whether the change is of a port (DBT_DEVTYP_PORT) or of another kind of device.
enum class DeviceKind { Port, Other };

// What a device change says.
struct DeviceChange {
    DeviceEvent event = DeviceEvent::Other;
    DeviceKind kind = DeviceKind::Other;
    std::string portName = {}; // the port's name where the system gives one, in UTF-8
};

// What the window does about a change.
struct DeviceChangeAnswer {
    std::vector<int> tryNow; // the port the system named, tried alone and at once
    bool settle = false; // the settling wait starts again; once it is over, PortsAfterSettling
};

// A burst of changes without a port's name is answered once, this long after its last.
inline constexpr unsigned DeviceSettlingMs = 500;

// The system names the port that came or went; other changes of the device tree (a mouse, a
// dock, a port's own arrival) may be a port without its name, and wait for the burst to end.
DeviceChangeAnswer AnswerDeviceChange(const DeviceChange& change);

// The ports tried once the settling is over: all of them, of which only those not listed
// whose device the system now knows are opened (Form1::PortsChanged with PortDeviceExists).
std::vector<int> PortsAfterSettling();

} // namespace tallymark
