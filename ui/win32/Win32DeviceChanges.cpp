// WM_DEVICECHANGE: what the system says of a device that came or went, passed on as facts;
// the link's device-change policy says which ports are tried, and when.

#include "ui/win32/Win32Form.h"

#include <dbt.h>

#include <cstddef>
#include <cwchar>

#include "link/DeviceChanges.h"
#include "link/PortNames.h"
#include "os/WideText.h"
#include "ui/win32/WindowStyles.h"

namespace tallymark {

namespace {

DeviceEvent EventOf(WPARAM event)
{
    switch (event) {
    case DBT_DEVICEARRIVAL: return DeviceEvent::Arrival;
    case DBT_DEVICEREMOVECOMPLETE: return DeviceEvent::RemoveComplete;
    case DBT_DEVNODES_CHANGED: return DeviceEvent::NodesChanged;
    default: return DeviceEvent::Other;
    }
}

// The change as the message has it. Only the arrival and the removal carry a device header,
// and the port's name is read within the size the header gives.
DeviceChange ChangeOf(WPARAM event, LPARAM data)
{
    DeviceChange change{EventOf(event)};
    if (change.event != DeviceEvent::Arrival && change.event != DeviceEvent::RemoveComplete)
        return change;
    const auto* header = reinterpret_cast<const DEV_BROADCAST_HDR*>(data);
    if (!header || header->dbch_devicetype != DBT_DEVTYP_PORT)
        return change;
    change.kind = DeviceKind::Port;
    if (header->dbch_size > offsetof(DEV_BROADCAST_PORT_W, dbcp_name)) {
        const auto* port = reinterpret_cast<const DEV_BROADCAST_PORT_W*>(header);
        const std::size_t length = (header->dbch_size - offsetof(DEV_BROADCAST_PORT_W, dbcp_name)) / sizeof(wchar_t);
        change.portName = WideToUtf8(std::wstring(port->dbcp_name, wcsnlen(port->dbcp_name, length)));
    }
    return change;
}

} // namespace

void Win32Form::DeviceChanged(WPARAM event, LPARAM data)
{
    const DeviceChangeAnswer answer = AnswerDeviceChange(ChangeOf(event, data));
    if (!answer.tryNow.empty())
        form_.PortsChanged(answer.tryNow);
    if (answer.settle)
        SetTimer(window_, RescanTimerId, DeviceSettlingMs, nullptr);
}

void Win32Form::DeviceChangesSettled()
{
    KillTimer(window_, RescanTimerId);
    form_.PortsChanged(PortsAfterSettling(), [](int number) { return PortDeviceExists(number, {}); });
}

} // namespace tallymark
