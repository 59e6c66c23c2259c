#include "link/termios_serial_device.h"

#include <cerrno>
#include <chrono>
#include <cstdio>

#include <fcntl.h>
#include <grp.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

namespace qx {

namespace {

bool speedConstant(int baud, speed_t& speed) {
    switch (baud) {
    case 1200:
        speed = B1200;
        return true;
    case 2400:
        speed = B2400;
        return true;
    case 4800:
        speed = B4800;
        return true;
    case 9600:
        speed = B9600;
        return true;
    case 19200:
        speed = B19200;
        return true;
    case 38400:
        speed = B38400;
        return true;
    case 57600:
        speed = B57600;
        return true;
    case 115200:
        speed = B115200;
        return true;
    default:
        return false;
    }
}

tcflag_t byteSizeFlag(int bits) {
    switch (bits) {
    case 4: // termios has no 4-bit bytes; the narrowest it offers
    case 5:
        return CS5;
    case 6:
        return CS6;
    case 7:
        return CS7;
    default:
        return CS8;
    }
}

// A pseudo-terminal answers modem-line requests with ENOTTY or EINVAL: that is not a failure.
bool unsupported(int error) {
    return error == ENOTTY || error == EINVAL || error == ENOTSUP;
}

// The name of the group that owns a device node, for the advice to join it.
std::string owningGroup(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) {
        return {};
    }
    const group* g = getgrgid(st.st_gid);
    return g != nullptr && g->gr_name != nullptr ? std::string(g->gr_name) : std::string();
}

} // namespace

SerialFailure serialFailureOf(std::error_code reason) {
    if (!reason) {
        return SerialFailure::Other;
    }
    switch (reason.value()) {
    case ENOENT:
    case ENODEV:
    case ENXIO:
        return SerialFailure::Missing;
    case EACCES:
    case EPERM:
        return SerialFailure::Denied;
    case EBUSY:
    case EWOULDBLOCK:
        return SerialFailure::Busy;
    case ENOTTY:
    case EISDIR:
        return SerialFailure::NotSerial;
    case EIO:
    case EPIPE:
    case ESHUTDOWN:
        return SerialFailure::Lost;
    default:
        return SerialFailure::Other;
    }
}

std::unique_ptr<SerialDevice> createSystemSerialDevice() {
    return std::make_unique<TermiosSerialDevice>();
}

std::string defaultSerialDevicePath(int portNumber) {
    char name[40];
    if (portNumber <= 32) {
        std::snprintf(name, sizeof name, "/dev/ttyS%d", portNumber - 1);
    } else {
        std::snprintf(name, sizeof name, "/dev/ttyUSB%d", portNumber - 33);
    }
    return name;
}

TermiosSerialDevice::~TermiosSerialDevice() {
    close();
}

bool TermiosSerialDevice::open(const std::string& path) {
    close();
    m_openError.clear();
    m_openGroup.clear();
    m_lineError.clear();
    const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        m_openError = std::error_code(errno, std::generic_category());
        if (m_openError.value() == EACCES || m_openError.value() == EPERM) {
            m_openGroup = owningGroup(path);
        }
        return false;
    }
    if (!isatty(fd)) {
        m_openError = std::error_code(ENOTTY, std::generic_category());
        ::close(fd);
        return false;
    }
    // One program a port. TIOCEXCL does not hold against root, the advisory lock does; it is
    // taken first so that a refused opener never touches the holder's exclusive flag.
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int e = errno;
        m_openError = std::error_code(e == EWOULDBLOCK ? EBUSY : e, std::generic_category());
        ::close(fd);
        return false;
    }
    if (ioctl(fd, TIOCEXCL) == 0) {
        m_exclusive = true;
    } else if (!unsupported(errno)) {
        m_openError = std::error_code(errno, std::generic_category());
        ::close(fd);
        return false;
    }
    m_fd = fd;
    return true;
}

bool TermiosSerialDevice::configure(const LineSettings& settings, int inputQueue, int outputQueue) {
    // The kernel sizes its own queues; the requested sizes need no call here.
    (void)inputQueue;
    (void)outputQueue;
    if (m_fd < 0) {
        return false;
    }
    speed_t speed = 0;
    if (!speedConstant(settings.baud, speed)) {
        return false;
    }
    if (tcflush(m_fd, TCIOFLUSH) != 0) {
        return false;
    }
    termios t{};
    if (tcgetattr(m_fd, &t) != 0) {
        return false;
    }
    cfmakeraw(&t);
    t.c_iflag &= ~static_cast<tcflag_t>(IXON | IXOFF | IXANY | INPCK | ISTRIP);
    t.c_iflag |= IGNBRK;
    if (settings.parityCheck) {
        t.c_iflag |= INPCK;
    }
    t.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB | CSTOPB | CRTSCTS | HUPCL);
    t.c_cflag |= CREAD | CLOCAL | byteSizeFlag(settings.byteSize);
    // termios knows one or two stop bits; one and a half is two on a 5-bit line only.
    if (settings.stopBits != StopBits::One) {
        t.c_cflag |= CSTOPB;
    }
    t.c_cc[VMIN] = 0;
    t.c_cc[VTIME] = 0;
    if (cfsetispeed(&t, speed) != 0 || cfsetospeed(&t, speed) != 0) {
        return false;
    }
    if (tcsetattr(m_fd, TCSANOW, &t) != 0) {
        return false;
    }
    int rts = TIOCM_RTS;
    if (ioctl(m_fd, TIOCMBIS, &rts) != 0 && !unsupported(errno)) {
        return false;
    }
    int dtr = TIOCM_DTR;
    if (ioctl(m_fd, TIOCMBIC, &dtr) != 0 && !unsupported(errno)) {
        return false;
    }
    return true;
}

void TermiosSerialDevice::close() {
    if (m_fd >= 0) {
        // The exclusive flag outlives our descriptor while anyone else holds the terminal.
        if (m_exclusive) {
            ioctl(m_fd, TIOCNXCL);
        }
        ::close(m_fd); // also drops the lock
        m_fd = -1;
        m_exclusive = false;
    }
}

int TermiosSerialDevice::read(std::uint8_t* buffer, int max) {
    if (m_fd < 0 || max <= 0) {
        return 0;
    }
    const ssize_t n = ::read(m_fd, buffer, static_cast<std::size_t>(max));
    if (n < 0) {
        return errno == EAGAIN || errno == EINTR ? 0 : failLine();
    }
    return static_cast<int>(n);
}

int TermiosSerialDevice::failLine() {
    if (!m_lineError) {
        m_lineError = std::error_code(errno != 0 ? errno : EIO, std::generic_category());
    }
    return -1;
}

int TermiosSerialDevice::inputCount() {
    int n = 0;
    if (m_fd < 0) {
        return -1;
    }
    if (ioctl(m_fd, TIOCINQ, &n) != 0) {
        return failLine();
    }
    if (n == 0) {
        // A hung-up line (adapter unplugged, far end of a pseudo-terminal gone) reads as empty
        // for ever; only poll tells.
        pollfd p{m_fd, POLLIN, 0};
        if (poll(&p, 1, 0) > 0 && (p.revents & (POLLHUP | POLLERR | POLLNVAL)) != 0) {
            errno = EIO;
            return failLine();
        }
    }
    return n;
}

int TermiosSerialDevice::outputCount() {
    int n = 0;
    if (m_fd < 0) {
        return -1;
    }
    if (ioctl(m_fd, TIOCOUTQ, &n) != 0) {
        return failLine();
    }
    return n;
}

int TermiosSerialDevice::write(const std::uint8_t* bytes, int n, int timeoutMs) {
    if (m_fd < 0) {
        return -1;
    }
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    int done = 0;
    while (done < n) {
        const ssize_t w = ::write(m_fd, bytes + done, static_cast<std::size_t>(n - done));
        if (w > 0) {
            done += static_cast<int>(w);
            continue;
        }
        if (w < 0 && errno != EAGAIN && errno != EINTR) {
            failLine();
            return done > 0 ? done : -1;
        }
        // The device is full: wait for room until the write time-out, as a blocking write
        // with a total time-out would.
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        if (left.count() <= 0) {
            break;
        }
        pollfd p{m_fd, POLLOUT, 0};
        if (poll(&p, 1, static_cast<int>(left.count())) < 0 && errno != EINTR) {
            break;
        }
    }
    return done;
}

} // namespace qx
