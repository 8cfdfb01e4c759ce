#pragma once
// Port discovery: at start the panel offers only the ports that really open on this PC.

#include <string>

#include "link/SerialPort.h"

namespace tallymark {

// What the scan needs of the ComSele combo box.
class PortList {
public:
    virtual ~PortList() = default;
    virtual void Clear() = 0; // removes every item; the text becomes empty as well
    virtual void AddItem(const std::string& item) = 0;
    virtual int ListCount() const = 0;
    virtual std::string List(int index) const = 0;
    virtual void SetText(const std::string& text) = 0;
};

// Tries ports 1 to 32 in order, lists each that opens as "COMn" and closes it at once;
// errors are dropped without a word. The text shown is the highest port found, or the
// first listed when only ports 1 and 2 opened.
void ScanComPorts(SerialPort& port, PortList& list);

} // namespace tallymark
