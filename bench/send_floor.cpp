// The floor of a tallymark-send run: a plain C-style program that opens the terminal, sets
// 9600 8N1, raises DTR, writes the 15 bytes of an update and waits for them to drain.
//   send_floor DEVICE

#include <fcntl.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

int main(int argc, char* argv[])
{
    if (argc != 2)
        return 2;
    const int fd = ::open(argv[1], O_WRONLY | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd == -1)
        return 4;
    termios t{};
    ::tcgetattr(fd, &t);
    ::cfmakeraw(&t);
    t.c_cflag = (t.c_cflag & ~(CSIZE | CSTOPB | PARENB | CRTSCTS)) | CS8 | CLOCAL | CREAD;
    ::cfsetispeed(&t, B9600);
    ::cfsetospeed(&t, B9600);
    ::tcsetattr(fd, TCSANOW, &t);
    const int dtr = TIOCM_DTR;
    ::ioctl(fd, TIOCMBIS, &dtr);
    const unsigned char update[15]
        = {0x48, 0x65, 0x6C, 0x6C, 0x6F, 0x09, 0x45, 0x13, 0xAA, 0xE7, 0x03, 0x87, 0x00, 0x13, 0x00};
    const bool written = ::write(fd, update, sizeof update) == static_cast<ssize_t>(sizeof update);
    ::tcdrain(fd);
    ::close(fd);
    return written ? 0 : 5;
}
