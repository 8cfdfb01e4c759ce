// tallymark-send on Linux and other POSIX systems: the command over Qt SerialPort.

#include <QCoreApplication>

#include "link/qt/QtSerialPort.h"
#include "os/ProgramDirectory.h"
#include "send/SendCommand.h"
#include "settings/SettingsFile.h"

int main(int argc, char* argv[])
{
    // Qt SerialPort watches the device through the application's event dispatcher.
    QCoreApplication app(argc, argv);
    // ports/COMn is looked for in the folder the settings come from.
    tallymark::QtSerialPort port(tallymark::ProgramDirectory());
    return tallymark::command::Main(port, argc, argv);
}
