// tallymark-send on Linux and other POSIX systems: the command over plain terminal calls,
// without Qt.

#include "link/PosixTtyPort.h"
#include "os/ProgramDirectory.h"
#include "send/SendCommand.h"

int main(int argc, char* argv[])
{
    // ports/COMn is looked for in the folder the settings come from.
    tallymark::PosixTtyPort port(tallymark::ProgramDirectory());
    return tallymark::command::Main(port, argc, argv);
}
