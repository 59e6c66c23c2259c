#include "link/clone_engine.h"

#include "link/clone_frame.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <thread>

namespace qx {

namespace {

constexpr int kResponseTimeoutMs = 1000;
constexpr int kReadChunk = 256;
constexpr int kFrameLimit = 521;     // a frame buffer this full discards the frame (states 7, 13)
constexpr int kDataFrameLimit = 522; // the longest data frame (state 9)
constexpr int kCompactAbove = 4096;
constexpr int kEchoSlack = 128; // echo that may stay outstanding while data is sent
constexpr int kRoundsPerTick = 8;
constexpr int kFlushWaitMs = 100;
constexpr int kFlushLimit = 65535;

enum State : int {
    kIdle = 0,
    kHold = 1,
    kStart = 2,
    kPreCommand = 3,
    kStartDelay = 4,
    kOpenLine = 5,
    kSendInformation = 6,
    kAwaitInformation = 7,
    kSendRead = 8,
    kReceiveData = 9,
    kSendWrite = 10,
    kSendData = 11,
    kSendEnd = 12,
    kAwaitWriteResult = 13,
    kFinish = 14,
    kClose = 15,
};

struct Variant {
    const char* settings;
    bool echo;
};
constexpr Variant kVariants[3] = {
    {"9600,N,8,1", false},
    {"9600,N,8,1", true},
    {"4800,N,8,1", false},
};

bool isDecimalNibbles(std::uint8_t b) {
    return (b >> 4) <= 9 && (b & 0x0F) <= 9;
}

int upperHexValue(std::uint8_t c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

void setBit(cmcBuff& bits, std::int32_t address) {
    *bits.At(address / 8) = static_cast<std::uint8_t>(*bits.At(address / 8) | 1u << (address % 8));
}

} // namespace

cmcCloneDrv::cmcCloneDrv(Scheduler& scheduler, Clock& clock, std::unique_ptr<SerialDevice> device)
    : m_comm(scheduler, clock, std::move(device)), m_clock(clock), m_task(scheduler),
      m_sleep([](int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }),
      m_responseTimer(clock), m_delayTimer(clock) {
    m_task->setCallback([this](cmcTask&) { tick(); });
}

cmcCloneDrv::~cmcCloneDrv() {
    m_task->detach();
    m_comm.Close();
}

bool cmcCloneDrv::StartInformation(Callback callback) {
    if (IsBusy()) {
        return false;
    }
    m_startVariant = m_lowSpeed ? 2 : (m_echo ? 1 : 0);
    m_variant = m_startVariant;
    const bool started = start(CloneMode::Information, {}, std::move(callback));
    m_cycling = started;
    return started;
}

bool cmcCloneDrv::StartRead(const ImageRangeList& ranges, Callback callback) {
    if (IsBusy()) {
        return false;
    }
    m_cycling = false;
    return start(CloneMode::Read, ranges.ranges(m_imageSize), std::move(callback));
}

bool cmcCloneDrv::StartWrite(const cmcEeprom& image, const ImageRangeList& ranges,
                             Callback callback) {
    if (IsBusy()) {
        return false;
    }
    m_cycling = false;
    if (!start(CloneMode::Write, ranges.ranges(image.size()), std::move(callback))) {
        return false;
    }
    m_result->image = image;
    return true;
}

bool cmcCloneDrv::start(CloneMode mode, std::vector<ImageRange> ranges, Callback callback) {
    m_ranges = std::move(ranges);
    m_rangeIndex = 0;
    m_address = m_ranges.empty() ? 0 : m_ranges.front().start;
    m_wireBytes = 0;
    m_dataFrames = 0;
    m_dataBytes = 0;
    m_result = std::make_unique<CloneResult>();
    m_result->mode = mode;
    m_result->word0 = m_word0;
    m_result->word1 = m_word1;
    m_result->image.resize(mode == CloneMode::Write ? 0 : m_imageSize);
    m_callback = std::move(callback);
    m_receive.SetSize(0);
    m_frame.SetSize(0);
    m_echoQueue.SetSize(0);
    m_responseTimer = cmcTick(m_clock);
    m_state = kStart;
    m_task->schedule(kTickMs);
    return true;
}

void cmcCloneDrv::FlushInput() {
    m_sleep(kFlushWaitMs);
    std::uint8_t b = 0;
    for (int discarded = 0; discarded < kFlushLimit && m_comm.Read(&b, 1) == 1; ++discarded) {
    }
}

bool cmcCloneDrv::Cancel() {
    if (m_state == kIdle || m_result == nullptr) {
        return false;
    }
    m_result->error = kCloneCancelled;
    m_task->schedule(-1);
    finish();
    return true;
}

void cmcCloneDrv::fail(int code) {
    m_result->error = code;
    m_state = kFinish;
}

void cmcCloneDrv::send(const cmcBuff& bytes) {
    m_comm.Write(bytes.Data(), bytes.Size());
    m_echoQueue.Append(bytes);
    m_wireBytes += bytes.Size();
}

void cmcCloneDrv::sendRequest(std::uint8_t code) {
    cmcBuff frame;
    clone_frame::appendRequest(frame, code, m_word0, m_word1, m_commandPreamble);
    send(frame);
    // Reception starts clean after a request.
    m_frame.SetSize(0);
}

void cmcCloneDrv::readPort() {
    std::uint8_t chunk[kReadChunk];
    const int n = m_comm.Read(chunk, kReadChunk);
    if (n > 0) {
        m_receive.Append(chunk, n);
        m_wireBytes += n;
    }
}

void cmcCloneDrv::tick() {
    if (!m_echo) {
        m_echoQueue.SetSize(0);
    }
    const int before = m_state;
    bool progress = false;
    if (m_state != kIdle) {
        step(progress);
    }
    if (m_state != kIdle && m_state != kClose) {
        if (progress || m_state != before) {
            int timeout = kResponseTimeoutMs;
            if (m_state == kAwaitWriteResult) {
                timeout = m_ackTimeoutMs;
            }
            m_responseTimer.start(static_cast<std::uint32_t>(timeout));
        } else if (m_responseTimer.running() && m_responseTimer.remaining() == 0) {
            if (m_state == kFinish) {
                // The output never left: the line is stuck, give up instead of waiting forever.
                if (m_result->error == kCloneOk) {
                    m_result->error = kCloneNoAnswer;
                }
                m_cycling = false;
                m_state = kClose;
            } else {
                fail(m_echo && m_echoQueue.Size() > 0 ? kCloneEcho : kCloneNoAnswer);
                m_responseTimer.start(kResponseTimeoutMs);
            }
        }
    }
    if (m_receive.Size() > kCompactAbove) {
        m_receive.Compact();
    }
    if (m_echoQueue.Size() > kCompactAbove) {
        m_echoQueue.Compact();
    }
    if (m_state != kIdle && m_comm.Lost()) {
        // Unplugged or hung up: nothing more will come, so stop now instead of timing out.
        m_result->error = kClonePortLost;
        m_state = kClose;
    } else if (m_state != kIdle && m_comm.HasWriteFault()) {
        m_result->error = kCloneWriteFault;
        m_state = kClose;
    }
    if (m_state == kClose) {
        finish();
    }
    if (m_state == kIdle) {
        m_task->schedule(-1);
    }
}

void cmcCloneDrv::finish() {
    m_comm.Close();
    m_state = kIdle;
    m_cycling = false;
    std::unique_ptr<CloneResult> result = std::move(m_result);
    Callback callback = std::move(m_callback);
    m_callback = nullptr;
    m_receive.SetSize(0);
    m_frame.SetSize(0);
    m_echoQueue.SetSize(0);
    if (callback) {
        callback(*result);
    }
}

bool cmcCloneDrv::handleEcho(bool& progress) {
    if (!m_echo || m_echoQueue.Size() == 0 || m_state == kFinish) {
        return false;
    }
    readPort();
    while (m_receive.Size() > 0 && m_echoQueue.Size() > 0) {
        if (*m_receive.Data() != *m_echoQueue.Data()) {
            fail(kCloneEcho);
            return true;
        }
        m_receive.PopFront();
        m_echoQueue.PopFront();
        progress = true;
    }
    const int outstanding = m_echoQueue.Size();
    return m_state == kSendData ? outstanding > kEchoSlack : outstanding > 0;
}

void cmcCloneDrv::step(bool& progress) {
    if (handleEcho(progress)) {
        return; // hold in this state until the echo is back
    }
    switch (m_state) {
    case kStart:
        progress = true;
        m_state = kPreCommand;
        break;
    case kPreCommand:
        stepPreCommand(progress);
        break;
    case kStartDelay:
        progress = true;
        if (m_delayTimer.remaining() == 0) {
            m_echoQueue.SetSize(0);
            m_receive.SetSize(0);
            m_state = kOpenLine;
        }
        break;
    case kOpenLine:
        progress = true;
        stepOpenLine();
        break;
    case kSendInformation:
        progress = true;
        sendRequest(clone_frame::kInformation);
        m_state = kAwaitInformation;
        break;
    case kAwaitInformation:
        receiveInformation();
        break;
    case kSendRead:
        progress = true;
        sendRequest(clone_frame::kReadRequest);
        m_state = kReceiveData;
        break;
    case kReceiveData:
        receiveData(progress);
        break;
    case kSendWrite:
        progress = true;
        sendRequest(clone_frame::kWriteRequest);
        m_state = kSendData;
        break;
    case kSendData:
        sendData(progress);
        break;
    case kSendEnd: {
        progress = true;
        cmcBuff frame;
        clone_frame::appendEndFrame(frame, m_frameCounter, m_dataFrames);
        send(frame);
        m_frame.SetSize(0);
        m_state = kAwaitWriteResult;
        break;
    }
    case kAwaitWriteResult:
        receiveWriteResult();
        break;
    case kFinish:
        stepFinish();
        break;
    default:
        break;
    }
}

void cmcCloneDrv::stepPreCommand(bool& progress) {
    if (m_preCommand.empty()) {
        if (m_comm.PendingOutput() == 0) {
            m_delayTimer.start(static_cast<std::uint32_t>(m_startDelayMs));
            m_startDelayMs = 0;
            m_state = kStartDelay;
        }
        return;
    }
    progress = true;
    std::string segment;
    if (m_preCommand.front() == '(') {
        const std::size_t close = m_preCommand.find(')');
        if (close == std::string::npos) {
            segment = m_preCommand.substr(1);
            m_preCommand.clear();
        } else {
            segment = m_preCommand.substr(1, close - 1);
            m_preCommand.erase(0, close + 1);
        }
        m_comm.Close();
        if (!m_comm.Open(m_port, segment)) {
            m_preCommand.clear();
            fail(kClonePortOpen);
            return;
        }
        FlushInput();
        return;
    }
    const std::size_t open = m_preCommand.find('(');
    segment = m_preCommand.substr(0, open);
    m_preCommand.erase(0, open == std::string::npos ? m_preCommand.size() : open);
    cmcBuff bytes;
    clone_frame::appendHexText(bytes, segment);
    send(bytes);
}

void cmcCloneDrv::stepOpenLine() {
    m_comm.Close();
    if (!m_comm.Open(m_port, m_lineSettings)) {
        fail(kClonePortOpen);
        return;
    }
    FlushInput();
    switch (m_result->mode) {
    case CloneMode::Information:
        m_state = kSendInformation;
        break;
    case CloneMode::Read:
        m_state = kSendRead;
        break;
    case CloneMode::Write:
        m_state = kSendWrite;
        break;
    }
}

bool cmcCloneDrv::takeByte(std::uint8_t b, cmcBuff& frame, int overflowAt, bool& overflow) {
    if (b == clone_frame::kPreamble) {
        m_frame.SetSize(0);
        m_frame.AppendByte(b);
        return false;
    }
    if (m_frame.Size() == 0) {
        return false;
    }
    if (b == clone_frame::kEnd) {
        frame.Assign(m_frame);
        m_frame.SetSize(0);
        return true;
    }
    if (m_frame.Size() >= overflowAt) {
        m_frame.SetSize(0);
        overflow = true;
        return false;
    }
    m_frame.AppendByte(b);
    return false;
}

bool cmcCloneDrv::takeReplyFrame(cmcBuff& frame) {
    readPort();
    bool complete = false;
    while (m_receive.Size() > 0) {
        bool overflow = false;
        if (takeByte(static_cast<std::uint8_t>(m_receive.PopFront()), frame, kFrameLimit,
                     overflow)) {
            complete = true;
        }
        if (overflow) {
            // An endless frame counts as the bad one-byte frame 00.
            frame.Assign(reinterpret_cast<const std::uint8_t*>("\0"), 1);
            complete = true;
        }
    }
    return complete;
}

void cmcCloneDrv::receiveInformation() {
    cmcBuff frame;
    if (!takeReplyFrame(frame)) {
        return;
    }
    const std::uint8_t* f = frame.Data();
    const bool wellFormed = frame.Size() >= 8 && f[0] == 0xFE && f[1] == 0xEF && f[2] == 0xEE &&
                            f[3] == clone_frame::kInformationReply && isDecimalNibbles(f[4]) &&
                            isDecimalNibbles(f[5]) && isDecimalNibbles(f[6]) &&
                            isDecimalNibbles(f[7]);
    if (!wellFormed) {
        fail(kCloneIllegalData);
        return;
    }
    m_result->word0 = static_cast<std::uint16_t>(f[4] << 8 | f[5]);
    m_result->word1 = static_cast<std::uint16_t>(f[6] << 8 | f[7]);
    m_result->info.Assign(f + 8, frame.Size() - 8);
    m_result->error = kCloneOk;
    m_cycling = false;
    if (m_variant != m_startVariant && m_onConnectionType) {
        m_onConnectionType(m_variant);
    }
    m_state = kFinish;
}

void cmcCloneDrv::receiveData(bool& progress) {
    readPort();
    while (m_receive.Size() > 0) {
        const auto b = static_cast<std::uint8_t>(m_receive.PopFront());
        // The longest data frame (255 bytes) fills the frame buffer exactly; one byte more is
        // garbage.
        if (b != clone_frame::kPreamble && b != clone_frame::kEnd &&
            m_frame.Size() >= kDataFrameLimit) {
            fail(kCloneIllegalData);
            return;
        }
        cmcBuff frame;
        bool overflow = false;
        if (!takeByte(b, frame, kDataFrameLimit, overflow)) {
            continue;
        }
        const int code = checkFrame(frame);
        if (code == kCloneOk) {
            progress = true;
            continue;
        }
        if (code < 0) { // a good end frame
            m_result->error = checkCoverage();
            m_state = kFinish;
            return;
        }
        fail(code);
        return;
    }
}

// 0 for an accepted data frame, -1 for a good end frame, else the error code.
int cmcCloneDrv::checkFrame(const cmcBuff& frame) {
    const std::int32_t size = frame.Size();
    const std::uint8_t* f = frame.Data();
    if (size < 12 || size > kDataFrameLimit || f[0] != 0xFE || f[1] != 0xEF || f[2] != 0xEE) {
        return kCloneIllegalData;
    }
    const std::uint8_t* text = f + 4;
    const std::int32_t textSize = size - 4;
    if (f[3] == clone_frame::kData) {
        if (textSize % 2 != 0) {
            return kCloneIllegalData;
        }
        const std::int32_t n = textSize / 2;
        std::vector<std::uint8_t> b(static_cast<std::size_t>(n));
        unsigned sum = 0;
        for (std::int32_t i = 0; i < n; ++i) {
            const int hi = upperHexValue(text[2 * i]);
            const int lo = upperHexValue(text[2 * i + 1]);
            if (hi < 0 || lo < 0) {
                return kCloneIllegalData;
            }
            b[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(hi << 4 | lo);
            sum += b[static_cast<std::size_t>(i)];
        }
        if (b[2] != n - 4 || sum % 256 != 0) {
            return kCloneIllegalData;
        }
        const std::int32_t address = b[0] * 256 + b[1];
        const std::int32_t count = b[2];
        if (address + count > m_result->image.size()) {
            return kCloneDataOverflow;
        }
        m_result->image.writeBlock(address, b.data() + 3, count);
        const std::int32_t bitmapBytes = (address + count + 7) / 8;
        if (m_result->received.Size() < bitmapBytes) {
            m_result->received.SetFill(0);
            m_result->received.AppendFill(0, bitmapBytes - m_result->received.Size());
        }
        for (std::int32_t a = address; a < address + count; ++a) {
            setBit(m_result->received, a);
        }
        m_dataBytes += count;
        ++m_dataFrames;
        return kCloneOk;
    }
    if (f[3] == clone_frame::kEndOfData) {
        const auto maker = clone_frame::kMakerText;
        const auto makerSize = static_cast<std::int32_t>(maker.size());
        const std::int32_t expected = makerSize + (m_frameCounter ? 2 : 0);
        if (textSize != expected ||
            std::memcmp(text, maker.data(), static_cast<std::size_t>(makerSize)) != 0) {
            return kCloneIllegalData;
        }
        if (m_frameCounter) {
            const char* digits = "0123456789ABCDEF";
            const int frames = m_dataFrames & 0xFF;
            if (text[makerSize] != digits[frames >> 4] ||
                text[makerSize + 1] != digits[frames & 0x0F]) {
                return kCloneCounter;
            }
        }
        return -1;
    }
    return kCloneIllegalData;
}

int cmcCloneDrv::checkCoverage() const {
    const std::int32_t bytes = (m_imageSize + 7) / 8;
    std::vector<std::uint8_t> expected(static_cast<std::size_t>(bytes), 0);
    for (const ImageRange& r : m_ranges) {
        for (std::int32_t a = std::max(0, r.start); a <= r.end && a < m_imageSize; ++a) {
            expected[static_cast<std::size_t>(a / 8)] |= static_cast<std::uint8_t>(1u << (a % 8));
        }
    }
    const cmcBuff& got = m_result->received;
    if (got.Size() > bytes) {
        return kCloneDataOverflow;
    }
    bool missing = false;
    for (std::int32_t i = 0; i < bytes; ++i) {
        const std::uint8_t g = i < got.Size() ? got.Data()[i] : 0;
        const std::uint8_t e = expected[static_cast<std::size_t>(i)];
        if ((g & ~e) != 0) {
            return kCloneDataOverflow;
        }
        missing = missing || g != e;
    }
    return missing ? kCloneNotEnoughData : kCloneOk;
}

void cmcCloneDrv::sendData(bool& progress) {
    for (int round = 0; round < kRoundsPerTick; ++round) {
        if (m_rangeIndex >= m_ranges.size()) {
            if (m_comm.PendingOutput() == 0 && m_frame.Size() == 0) {
                m_state = kSendEnd;
            }
            return;
        }
        const ImageRange& range = m_ranges[m_rangeIndex];
        if (m_address > range.end) {
            ++m_rangeIndex;
            if (m_rangeIndex < m_ranges.size()) {
                m_address = m_ranges[m_rangeIndex].start;
            }
        } else {
            int count = m_bytesPerFrame - m_address % m_bytesPerFrame;
            count = std::min(count, range.end - m_address + 1);
            const int preamble = m_dataFrames == 0 ? m_firstDataPreamble : m_dataPreamble;
            std::vector<std::uint8_t> data(static_cast<std::size_t>(count), 0);
            m_result->image.readBlock(m_address, data.data(), count);
            clone_frame::appendDataFrame(m_frame, static_cast<std::uint16_t>(m_address),
                                         data.data(), count, preamble);
            ++m_dataFrames;
            m_address += count;
            m_dataBytes += count;
        }
        if (m_frame.Size() > 0 && m_comm.PendingOutput() <= 4 * m_frame.Size()) {
            send(m_frame);
            m_frame.SetSize(0);
            progress = true;
        } else {
            return;
        }
    }
}

void cmcCloneDrv::receiveWriteResult() {
    cmcBuff frame;
    if (!takeReplyFrame(frame)) {
        return;
    }
    const std::uint8_t ok[] = {0xFE, 0xEF, 0xEE, clone_frame::kWriteResult, 0x00};
    const bool written = frame.Size() == 5 && std::memcmp(frame.Data(), ok, sizeof ok) == 0;
    m_result->error = written ? kCloneOk : kCloneWriteFailed;
    m_state = kFinish;
}

void cmcCloneDrv::stepFinish() {
    if (m_comm.PendingOutput() > 0) {
        return;
    }
    if (!m_cycling) {
        m_state = kClose;
        return;
    }
    const int next = (m_variant + 1) % 3;
    if (next == m_startVariant) {
        m_cycling = false;
        m_state = kClose;
        return;
    }
    setVariant(next);
    m_state = kOpenLine;
}

void cmcCloneDrv::setVariant(int variant) {
    m_variant = variant;
    m_lineSettings = kVariants[variant].settings;
    m_echo = kVariants[variant].echo;
}

} // namespace qx
