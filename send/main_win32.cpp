// tallymark-send on Windows: the command over the Win32 serial component.

#include "link/win/Win32SerialPort.h"
#include "send/SendCommand.h"

int main(int argc, char* argv[])
{
    tallymark::Win32SerialPort port;
    return tallymark::command::Main(port, argc, argv);
}
