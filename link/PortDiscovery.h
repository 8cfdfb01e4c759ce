#pragma once
// Port discovery: the panel offers only the ports that really open on this PC, found at
// start and tried again when the system says a port has come or gone.

#include <functional>
#include <span>
#include <string>
#include <vector>

#include "link/SerialPort.h"

namespace tallymark {

// What the scan needs of the ComSele combo box.
class PortList {
public:
    virtual ~PortList() = default;
    virtual void Clear() = 0; // removes every item; the text becomes empty as well
    virtual void AddItem(const std::string& item) = 0;
    // Items put in or taken out leave the text as it is.
    virtual void InsertItem(int index, const std::string& item) = 0;
    virtual void RemoveItem(int index) = 0;
    virtual int ListCount() const = 0;
    virtual std::string List(int index) const = 0;
    virtual std::string Text() const = 0;
    virtual void SetText(const std::string& text) = 0;
};

// The list as plain values, for programs and checks without a window.
class ListedPorts final : public PortList {
public:
    std::vector<std::string> items;
    std::string text;

    void Clear() override
    {
        items.clear();
        text.clear();
    }
    void AddItem(const std::string& item) override { items.push_back(item); }
    void InsertItem(int index, const std::string& item) override { items.insert(items.begin() + index, item); }
    void RemoveItem(int index) override { items.erase(items.begin() + index); }
    int ListCount() const override { return static_cast<int>(items.size()); }
    std::string List(int index) const override { return items.at(static_cast<std::size_t>(index)); }
    std::string Text() const override { return text; }
    void SetText(const std::string& value) override { text = value; }
};

// Tries ports 1 to 32 in order, lists each that opens as "COMn" and closes it at once;
// errors are dropped without a word. The text shown is the highest port found, or the
// first listed when only ports 1 and 2 opened. What the scan found beside the list: the
// devices that are there but refused it for lack of permission, in the order tried.
std::vector<OpenFailure> ScanComPorts(SerialPort& port, PortList& list);

// Whether the device of a port number is there now, learned without opening it
// (PortDeviceExists in PortNames.h).
using PortExists = std::function<bool(int)>;

// A change the system reports without naming its ports for sure, or only as candidates: of
// `numbers`, those not listed whose device is there now are to be tried, and those listed
// whose device has gone are to be dropped. A listed port whose device is still there is left
// alone: opening it again would raise DTR on the display's line, which resets many boards.
struct PortsToRecheck {
    std::vector<int> toTry, toDrop; // in rising order
};
PortsToRecheck PortsAfterChange(std::span<const int> listed, std::span<const int> numbers, const PortExists& exists);

// Tries the given port numbers again, once each, as the scan tries them: one that opens now
// is listed in its place among the others, one that does not is taken off the list. With
// `exists`, only the ports PortsAfterChange chooses are tried, and the listed ones whose
// device has gone are taken off unopened. The text stays as the operator left it; only a list
// that was empty, under an empty text, shows the port the scan would show.
void RecheckComPorts(SerialPort& port, PortList& list, std::span<const int> numbers, const PortExists& exists = {});

} // namespace tallymark
