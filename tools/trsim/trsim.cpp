// trsim: a TR-5130 stand-in that answers the cloning protocol on a pseudo-terminal.
#include "clone_file_io.h"
#include "wire_frame.h"

#include "radio/eeprom.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <optional>
#include <string>
#include <vector>

#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

namespace trsim {

namespace {

constexpr int kImageSize = 70704;
constexpr int kRadioEnd = 0xACC0; // first address past the transceiver part
constexpr int kTagAddress = 0xACB0;
constexpr char kTag[] = "OrsaCloneFormat3";
constexpr int kFrameBytes = 32;
constexpr int kInfoBytes = 29;

volatile std::sig_atomic_t g_stop = 0;

void onSignal(int) {
    g_stop = 1;
}

double nowSeconds() {
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
}

struct Fault {
    std::string kind;
    int at = -1;
};

struct Options {
    std::string link;
    std::string icf;
    std::string save;
    std::optional<std::string> comment;
    int destination = 0;
    bool noDigitalUnit = false;
    bool dvInhibit = false;
    bool pagerInhibit = false;
    bool rxExpansion = false;
    bool fccInhibit = false;
    int word0 = 0x2970;
    int word1 = 0x0001;
    int speed = 9600;
    bool echo = false;
    bool pace = false;
    bool uart = false;
    bool once = false;
    std::vector<Fault> faults;
};

const char* kUsage =
    "usage: trsim [--link PATH] [--icf FILE] [--save FILE] [--comment TEXT] [--destination D]\n"
    "             [--no-digital-unit] [--dv-inhibit] [--pager-inhibit] [--rx-expansion]\n"
    "             [--fcc-inhibit] [--word0 HEX] [--word1 HEX] [--speed 4800|9600] [--echo]\n"
    "             [--pace] [--uart] [--once] [--fault KIND[@N]]...\n"
    "faults: silent, noise, checksum@N, drop@N, count, overflow, stall@N, nak, badinfo, model\n"
    "Prints the pseudo-terminal's path on the first line; serves until killed (--once: until\n"
    "one read or write is done). --pace sends no faster than the line speed and holds the\n"
    "computer's output while it is behind; --uart paces the same way but takes the computer's\n"
    "bytes off the terminal only at the line speed, so that they wait there as in a serial\n"
    "port's kernel queue that reports nothing.\n";

bool parseNumber(const std::string& text, int base, int& value) {
    if (text.empty()) {
        return false;
    }
    char* end = nullptr;
    const long v = std::strtol(text.c_str(), &end, base);
    if (*end != '\0' || v < 0 || v > 0xFFFF) {
        return false;
    }
    value = static_cast<int>(v);
    return true;
}

bool parseOptions(int argc, char** argv, Options& o) {
    static const char* kKinds[] = {"silent",   "noise", "checksum", "drop",    "count",
                                   "overflow", "stall", "nak",      "badinfo", "model"};
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        auto value = [&](std::string& v) {
            if (i + 1 >= argc) {
                return false;
            }
            v = argv[++i];
            return true;
        };
        std::string v;
        if (a == "--link" && value(v)) {
            o.link = v;
        } else if (a == "--icf" && value(v)) {
            o.icf = v;
        } else if (a == "--save" && value(v)) {
            o.save = v;
        } else if (a == "--comment" && value(v)) {
            o.comment = v;
        } else if (a == "--destination" && value(v)) {
            if (!parseNumber(v, 10, o.destination) || o.destination > 255) {
                return false;
            }
        } else if (a == "--no-digital-unit") {
            o.noDigitalUnit = true;
        } else if (a == "--dv-inhibit") {
            o.dvInhibit = true;
        } else if (a == "--pager-inhibit") {
            o.pagerInhibit = true;
        } else if (a == "--rx-expansion") {
            o.rxExpansion = true;
        } else if (a == "--fcc-inhibit") {
            o.fccInhibit = true;
        } else if (a == "--word0" && value(v)) {
            if (!parseNumber(v, 16, o.word0)) {
                return false;
            }
        } else if (a == "--word1" && value(v)) {
            if (!parseNumber(v, 16, o.word1)) {
                return false;
            }
        } else if (a == "--speed" && value(v)) {
            if (v != "4800" && v != "9600") {
                return false;
            }
            o.speed = std::atoi(v.c_str());
        } else if (a == "--echo") {
            o.echo = true;
        } else if (a == "--pace") {
            o.pace = true;
        } else if (a == "--uart") {
            o.pace = true;
            o.uart = true;
        } else if (a == "--once") {
            o.once = true;
        } else if (a == "--fault" && value(v)) {
            Fault f;
            const auto at = v.find('@');
            f.kind = v.substr(0, at);
            if (at != std::string::npos && !parseNumber(v.substr(at + 1), 10, f.at)) {
                return false;
            }
            if (std::find_if(std::begin(kKinds), std::end(kKinds),
                             [&](const char* k) { return f.kind == k; }) == std::end(kKinds)) {
                return false;
            }
            o.faults.push_back(f);
        } else {
            return false;
        }
    }
    return true;
}

int baudOf(speed_t s) {
    switch (s) {
    case B1200:
        return 1200;
    case B2400:
        return 2400;
    case B4800:
        return 4800;
    case B9600:
        return 9600;
    case B19200:
        return 19200;
    case B38400:
        return 38400;
    case B57600:
        return 57600;
    case B115200:
        return 115200;
    default:
        return 0;
    }
}

speed_t speedOf(int baud) {
    switch (baud) {
    case 4800:
        return B4800;
    case 38400:
        return B38400;
    default:
        return B9600;
    }
}

class Simulator {
public:
    Simulator(Options options, qx::cmcEeprom image)
        : m_o(std::move(options)), m_image(std::move(image)), m_speed(m_o.speed) {}

    bool openLine(std::string& path);
    int run();

private:
    const Fault* fault(const char* kind) const {
        for (const Fault& f : m_o.faults) {
            if (f.kind == kind) {
                return &f;
            }
        }
        return nullptr;
    }
    int lineBaud() const {
        termios t{};
        if (tcgetattr(m_slave, &t) != 0) {
            return 0;
        }
        return baudOf(cfgetospeed(&t));
    }
    double byteTime(int baud) const { return 10.0 / std::max(1, baud); }

    void send(const Bytes& b) {
        if (m_out.empty()) {
            // The line was idle: the new bytes start now, not when the last ones ended.
            m_lineFreeAt = std::max(m_lineFreeAt, nowSeconds());
        }
        m_out.insert(m_out.end(), b.begin(), b.end());
        m_wire += byteTime(m_speed) * static_cast<double>(b.size());
        m_wireBytes += static_cast<long>(b.size());
    }
    void pumpOutput(double now);
    void readInput(double now);
    void processInput(double now);
    void take(std::uint8_t b);
    void onFrame(const ComputerFrame& f);
    void serveInformation();
    void serveRead();
    void receiveData(const Bytes& text);
    void finishWrite(const Bytes& text);
    void operationDone(const char* what);

    Options m_o;
    qx::cmcEeprom m_image;
    int m_master = -1;
    int m_slave = -1;
    int m_speed;
    double m_switchedAt = 0;
    std::deque<std::uint8_t> m_out;
    double m_lineFreeAt = 0;

    struct InByte {
        std::uint8_t value;
        bool understood;
        double at;
    };
    std::deque<InByte> m_in;
    double m_lastArrival = 0;
    bool m_inLineBusy = false; // bytes wait on the terminal (--uart)
    bool m_stopped = false;
    double m_stoppedAt = 0;

    FrameSplitter m_splitter;
    bool m_writing = false;
    bool m_writeBad = false;
    int m_writeFrames = 0;
    std::vector<bool> m_written;
    qx::cmcEeprom m_incoming;
    const char* m_pending = nullptr; // the operation that ends when the output has left
    double m_wire = 0;
    long m_wireBytes = 0;
    double m_firstByteAt = 0; // of the operation's exchange
    double m_wireTotal = 0;
    bool m_done = false;
};

bool Simulator::openLine(std::string& path) {
    m_master = posix_openpt(O_RDWR | O_NOCTTY);
    if (m_master < 0 || grantpt(m_master) != 0 || unlockpt(m_master) != 0) {
        return false;
    }
    const char* name = ptsname(m_master);
    if (name == nullptr) {
        return false;
    }
    path = name;
    // Our own hold on the terminal keeps its line settings and spares the master the hang-up
    // every time the computer closes its side.
    m_slave = open(name, O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (m_slave < 0) {
        return false;
    }
    termios t{};
    tcgetattr(m_slave, &t);
    cfmakeraw(&t);
    t.c_cflag |= CLOCAL | CREAD;
    cfsetispeed(&t, speedOf(m_o.speed));
    cfsetospeed(&t, speedOf(m_o.speed));
    tcsetattr(m_slave, TCSANOW, &t);
    fcntl(m_master, F_SETFL, fcntl(m_master, F_GETFL) | O_NONBLOCK);
    return true;
}

void Simulator::pumpOutput(double now) {
    while (!m_out.empty()) {
        std::size_t n = m_out.size();
        if (m_o.pace) {
            if (m_lineFreeAt > now) {
                return;
            }
            n = std::min<std::size_t>(n, 16);
        }
        std::uint8_t chunk[4096];
        n = std::min(n, sizeof chunk);
        std::copy_n(m_out.begin(), n, chunk);
        const ssize_t w = write(m_master, chunk, n);
        if (w <= 0) {
            return;
        }
        m_out.erase(m_out.begin(), m_out.begin() + w);
        if (m_o.pace) {
            m_lineFreeAt += byteTime(m_speed) * static_cast<double>(w);
        }
    }
}

void Simulator::readInput(double now) {
    std::uint8_t chunk[4096];
    for (;;) {
        // Only bytes sent at the speed we listen at make sense to us.
        int baud = lineBaud();
        const bool understood = baud == m_speed;
        if (baud <= 0) {
            baud = m_speed; // a speed termios cannot name: time it as ours
        }
        std::size_t room = sizeof chunk;
        if (m_o.uart) {
            // The bytes leave the terminal one byte time after another, from the moment the
            // line was last free.
            int waiting = 0;
            if (ioctl(m_master, FIONREAD, &waiting) != 0 || waiting <= 0) {
                m_inLineBusy = false;
                return;
            }
            if (!m_inLineBusy) {
                m_inLineBusy = true;
                m_lastArrival = std::max(m_lastArrival, now);
            }
            const double due = (now - m_lastArrival) / byteTime(baud);
            room = std::min(room, static_cast<std::size_t>(std::max(0.0, due)));
            if (room == 0) {
                return;
            }
        }
        const ssize_t n = read(m_master, chunk, room);
        if (n <= 0) {
            return;
        }
        for (ssize_t i = 0; i < n; ++i) {
            double at = now;
            if (m_o.pace) {
                m_lastArrival = std::max(m_lastArrival, m_o.uart ? 0.0 : now) + byteTime(baud);
                at = m_lastArrival;
            }
            m_in.push_back({chunk[i], understood, at});
        }
        if (m_wireBytes == 0) {
            m_firstByteAt = now;
        }
        m_wire += byteTime(baud) * static_cast<double>(n);
        m_wireBytes += n;
    }
}

void Simulator::processInput(double now) {
    while (!m_in.empty() && m_in.front().at <= now && !m_done) {
        const InByte b = m_in.front();
        m_in.pop_front();
        if (m_o.echo) {
            // The cable returns every byte as it passes, whatever its speed.
            if (m_out.empty()) {
                m_lineFreeAt = std::max(m_lineFreeAt, now);
            }
            m_out.push_back(b.value);
        }
        if (b.understood) {
            take(b.value);
        }
    }
    if (m_o.pace && !m_o.uart) {
        // A real line takes bytes no faster than it sends them: hold the computer's output
        // while more than a small buffer's worth waits here.
        const bool full = m_in.size() > 64;
        if (full != m_stopped && tcflow(m_slave, full ? TCOOFF : TCOON) == 0) {
            m_stopped = full;
            if (full) {
                m_stoppedAt = now;
            } else if (now - m_stoppedAt > 0.5) {
                std::fprintf(stderr, "trsim: held the computer's output for %.3f s\n",
                             now - m_stoppedAt);
            }
        }
    }
}

void Simulator::take(std::uint8_t b) {
    ComputerFrame frame;
    bool malformed = false;
    if (m_splitter.feed(b, frame, malformed)) {
        onFrame(frame);
    }
}

void Simulator::onFrame(const ComputerFrame& f) {
    if (fault("silent") != nullptr) {
        return;
    }
    switch (f.command) {
    case 0xE0:
        serveInformation();
        break;
    case 0xE2:
        serveRead();
        break;
    case 0xE3:
        m_writing = true;
        m_writeBad = false;
        m_writeFrames = 0;
        m_written.assign(kRadioEnd, false);
        m_incoming = m_image;
        break;
    case 0xE4:
        if (m_writing) {
            receiveData(f.payload);
        }
        break;
    case 0xE5:
        if (m_writing) {
            finishWrite(f.payload);
        }
        break;
    case 0xE8:
        // word0, 00 01, 00 00, 02, speed: 01 means 38400 baud follows, 00 means 9600.
        if (f.payload.size() == 8 && f.payload[6] == 0x02) {
            m_speed = f.payload[7] == 0x01 ? 38400 : 9600;
            m_switchedAt = nowSeconds();
            std::fprintf(stderr, "trsim: line speed %d\n", m_speed);
        }
        break;
    default:
        break;
    }
}

void Simulator::serveInformation() {
    int word1 = m_o.word1;
    if (fault("model") != nullptr) {
        word1 = 0x0002;
    }
    Bytes payload = {
        static_cast<std::uint8_t>(m_o.word0 >> 8), static_cast<std::uint8_t>(m_o.word0 & 0xFF),
        static_cast<std::uint8_t>(word1 >> 8), static_cast<std::uint8_t>(word1 & 0xFF)};
    Bytes info(kInfoBytes, 0);
    std::string comment;
    if (m_o.comment) {
        comment = *m_o.comment;
    } else {
        for (int a = 0x6960; a < 0x6970; ++a) {
            comment += static_cast<char>(m_image.getByte(a));
        }
    }
    comment.resize(16, ' ');
    std::copy(comment.begin(), comment.end(), info.begin());
    info[16] = static_cast<std::uint8_t>(m_o.destination);
    info[17] = m_o.dvInhibit ? 0x01 : 0x00;
    info[19] = m_o.pagerInhibit ? 0x04 : 0x00;
    info[20] =
        static_cast<std::uint8_t>((m_o.rxExpansion ? 0x01 : 0) | (m_o.fccInhibit ? 0x02 : 0) |
                                  (m_o.noDigitalUnit ? 0 : 0x04));
    if (fault("badinfo") != nullptr) {
        info.pop_back();
    }
    payload.insert(payload.end(), info.begin(), info.end());
    if (fault("noise") != nullptr) {
        send({0x00, 0x55, 0xAA});
    }
    send(radioFrame(0xE1, payload));
    m_pending = "information";
}

void Simulator::serveRead() {
    const Fault* checksum = fault("checksum");
    const Fault* drop = fault("drop");
    const Fault* stall = fault("stall");
    const bool noise = fault("noise") != nullptr;
    int index = 0;
    int sent = 0;
    for (int a = 0; a < kRadioEnd; a += kFrameBytes, ++index) {
        if (stall != nullptr && index >= std::max(0, stall->at)) {
            m_pending = "read (stalled)";
            return;
        }
        if (drop != nullptr && index == drop->at) {
            continue;
        }
        const int skew = checksum != nullptr && index == std::max(0, checksum->at) ? 1 : 0;
        send(dataFrame(a, m_image.data() + a, kFrameBytes, skew));
        ++sent;
        if (noise) {
            send({0x00, 0x13, 0x55, 0xAA, 0x0D, 0x0A});
        }
    }
    if (fault("overflow") != nullptr) {
        send(dataFrame(kRadioEnd, m_image.data() + kRadioEnd, 16));
        ++sent;
    }
    send(endFrame(sent + (fault("count") != nullptr ? 1 : 0)));
    m_pending = "read";
}

void Simulator::receiveData(const Bytes& text) {
    DataRecord r;
    if (!decodeData(text, r) || r.address + static_cast<int>(r.data.size()) > kRadioEnd) {
        m_writeBad = true;
        return;
    }
    ++m_writeFrames;
    for (std::size_t i = 0; i < r.data.size(); ++i) {
        const int a = r.address + static_cast<int>(i);
        m_incoming.setByte(a, r.data[i]);
        m_written[static_cast<std::size_t>(a)] = true;
    }
}

void Simulator::finishWrite(const Bytes& text) {
    m_writing = false;
    const std::string expected = "Orsa Ltd." + hexByte(m_writeFrames & 0xFF);
    bool good = !m_writeBad && std::string(text.begin(), text.end()) == expected &&
                std::all_of(m_written.begin(), m_written.end(), [](bool b) { return b; });
    if (fault("nak") != nullptr) {
        good = false;
    }
    if (good) {
        m_image = m_incoming;
        if (!m_o.save.empty() && !saveImage(m_o.save, m_image)) {
            std::fprintf(stderr, "trsim: cannot save %s\n", m_o.save.c_str());
            good = false;
        }
    }
    send(radioFrame(0xE6, {static_cast<std::uint8_t>(good ? 0x00 : 0x01)}));
    m_pending = good ? "write" : "write (refused)";
}

void Simulator::operationDone(const char* what) {
    m_wireTotal += m_wire;
    std::fprintf(stderr,
                 "trsim: %s done: %ld bytes on the wire, wire time %.3f s (total %.3f s), on the "
                 "line %.3f s\n",
                 what, m_wireBytes, m_wire, m_wireTotal, nowSeconds() - m_firstByteAt);
    m_wire = 0;
    m_wireBytes = 0;
    const bool transfer = std::strncmp(what, "read", 4) == 0 || std::strncmp(what, "write", 5) == 0;
    if (transfer) {
        m_speed = m_o.speed; // the clone session is over
        if (m_o.once) {
            m_done = true;
        }
    }
}

int Simulator::run() {
    while (g_stop == 0 && !m_done) {
        const double now = nowSeconds();
        readInput(now);
        processInput(now);
        pumpOutput(now);
        if (m_pending != nullptr && m_out.empty()) {
            operationDone(m_pending);
            m_pending = nullptr;
        }
        // A speed switch with nothing following it lapses.
        if (m_speed != m_o.speed && !m_writing && m_pending == nullptr && m_in.empty() &&
            now - m_switchedAt > 3.0) {
            m_speed = m_o.speed;
        }
        // While bytes wait on the terminal for their time, waking for them would only spin.
        pollfd p{m_master, static_cast<short>(m_inLineBusy ? 0 : POLLIN), 0};
        if (!m_out.empty() && (!m_o.pace || m_lineFreeAt <= now)) {
            p.events |= POLLOUT;
        }
        int timeout = 50;
        if (!m_in.empty() || (!m_out.empty() && m_o.pace) || m_inLineBusy) {
            timeout = 1;
        }
        poll(&p, 1, timeout);
        if ((p.revents & POLLHUP) != 0) {
            usleep(1000); // nobody on the other side right now
        }
    }
    if (m_stopped) {
        tcflow(m_slave, TCOON);
    }
    // Let the last answer reach the computer before the line goes away.
    for (int i = 0; i < 200 && !m_out.empty(); ++i) {
        pumpOutput(nowSeconds());
        usleep(5000);
    }
    tcdrain(m_master);
    return 0;
}

} // namespace

} // namespace trsim

int main(int argc, char** argv) {
    using namespace trsim;
    Options options;
    if (argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    if (!parseOptions(argc, argv, options)) {
        std::fputs(kUsage, stderr);
        return 1;
    }
    qx::cmcEeprom image(kImageSize);
    for (int a = 0; a < kRadioEnd; ++a) {
        image.setByte(a, 0xFF);
    }
    image.writeBlock(kTagAddress, reinterpret_cast<const std::uint8_t*>(kTag), 16);
    if (!options.icf.empty() && !loadImage(options.icf, image)) {
        std::fprintf(stderr, "trsim: cannot read the clone file %s\n", options.icf.c_str());
        return 2;
    }
    Simulator sim(options, image);
    std::string path;
    if (!sim.openLine(path)) {
        std::perror("trsim: cannot open a pseudo-terminal");
        return 2;
    }
    if (!options.link.empty()) {
        struct stat st {};
        if (lstat(options.link.c_str(), &st) == 0) {
            if (!S_ISLNK(st.st_mode)) {
                std::fprintf(stderr, "trsim: %s exists and is not a link\n", options.link.c_str());
                return 2;
            }
            unlink(options.link.c_str());
        }
        if (symlink(path.c_str(), options.link.c_str()) != 0) {
            std::perror("trsim: cannot make the link");
            return 2;
        }
    }
    std::printf("%s\n", path.c_str());
    std::fflush(stdout);
    std::signal(SIGINT, onSignal);
    std::signal(SIGTERM, onSignal);
    std::signal(SIGPIPE, SIG_IGN);
    const int rc = sim.run();
    if (!options.link.empty()) {
        char target[512] = {};
        const ssize_t n = readlink(options.link.c_str(), target, sizeof target - 1);
        if (n > 0 && path == std::string(target, static_cast<std::size_t>(n))) {
            unlink(options.link.c_str());
        }
    }
    return rc;
}
