#pragma once

#include "base/scheduler.h"
#include "base/task.h"
#include "base/tick.h"
#include "link/byte_buffer.h"
#include "link/clone_result.h"
#include "link/serial_port.h"
#include "radio/image_range_list.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace qx {

// The clone protocol engine: a state machine stepped every 10 ms that asks the transceiver who
// it is, reads the image from it or writes the image into it, and hands a CloneResult to a
// completion callback. It reports failures only through the result's error code.
class cmcCloneDrv {
public:
    using Callback = std::function<void(CloneResult&)>;
    static constexpr int kTickMs = 10;

    cmcCloneDrv(Scheduler& scheduler, Clock& clock, std::unique_ptr<SerialDevice> device);
    ~cmcCloneDrv();
    cmcCloneDrv(const cmcCloneDrv&) = delete;
    cmcCloneDrv& operator=(const cmcCloneDrv&) = delete;

    void SetIdentification(std::uint16_t word0, std::uint16_t word1) {
        m_word0 = word0;
        m_word1 = word1;
    }
    void SetImageSize(std::int32_t size) { m_imageSize = size < 1 ? 1 : size; }
    void SetPort(int portNumber) { m_port = portNumber; }
    void SetLineSettings(std::string settings) { m_lineSettings = std::move(settings); }
    void SetCommandPreamble(int n) { m_commandPreamble = n < 0 ? 0 : n; }
    void SetDataPreambles(int first, int later) {
        m_firstDataPreamble = first < 0 ? 0 : first;
        m_dataPreamble = later < 0 ? 0 : later;
    }
    void SetFrameCounter(bool on) { m_frameCounter = on; }
    void SetEcho(bool on) { m_echo = on; }
    void SetLowSpeed(bool on) { m_lowSpeed = on; }
    void SetBytesPerFrame(int n) {
        if (n >= 1) {
            m_bytesPerFrame = n;
        }
    }
    void SetWriteAckTimeout(int ms) {
        if (ms >= 1) {
            m_ackTimeoutMs = ms;
        }
    }
    void SetStartDelay(int ms) { m_startDelayMs = ms < 0 ? 0 : ms; }
    void SetPreCommand(std::string text) { m_preCommand = std::move(text); }
    // Called when an information request found the transceiver on another line variant than
    // the one it started with: the new connection type (0-2).
    void SetConnectionTypeHandler(std::function<void(int)> handler) {
        m_onConnectionType = std::move(handler);
    }
    // How FlushInput waits; tests replace the real sleep.
    void SetSleeper(std::function<void(int ms)> sleeper) { m_sleep = std::move(sleeper); }

    bool StartInformation(Callback callback);
    bool StartRead(const ImageRangeList& ranges, Callback callback);
    bool StartWrite(const cmcEeprom& image, const ImageRangeList& ranges, Callback callback);
    bool IsBusy() const { return m_state != 0; }
    // Stops the operation running: the line closes and the callback gets kCloneCancelled
    // before this returns. False when nothing runs.
    bool Cancel();
    // Waits 100 ms, then discards whatever has arrived.
    void FlushInput();

    std::int64_t WireBytes() const { return m_wireBytes; }
    std::int32_t DataFrames() const { return m_dataFrames; }
    std::int32_t DataBytes() const { return m_dataBytes; }
    int State() const { return m_state; }
    std::int32_t ImageSize() const { return m_imageSize; }
    const std::string& PreCommand() const { return m_preCommand; }
    cmcComm& Port() { return m_comm; }

private:
    bool start(CloneMode mode, std::vector<ImageRange> ranges, Callback callback);
    void tick();
    void step(bool& progress);
    bool handleEcho(bool& progress);
    void stepPreCommand(bool& progress);
    void stepOpenLine();
    void stepFinish();
    void finish();
    void send(const cmcBuff& bytes);
    void sendRequest(std::uint8_t code);
    // Moves arrived bytes into the receive buffer; false when nothing came.
    void readPort();
    // Feeds one byte to the frame buffer; true when it completed a frame (into frame).
    bool takeByte(std::uint8_t b, cmcBuff& frame, int overflowAt, bool& overflow);
    // Takes every byte received so far; true when a reply frame (the last completed) is in
    // `frame`.
    bool takeReplyFrame(cmcBuff& frame);
    void receiveInformation();
    void receiveData(bool& progress);
    int checkFrame(const cmcBuff& frame);
    int checkCoverage() const;
    void sendData(bool& progress);
    void receiveWriteResult();
    void fail(int code);
    void setVariant(int variant);

    cmcComm m_comm;
    const Clock& m_clock;
    TaskHolder m_task;
    std::function<void(int)> m_onConnectionType;
    std::function<void(int)> m_sleep;

    // configuration
    std::uint16_t m_word0 = 0;
    std::uint16_t m_word1 = 0;
    std::int32_t m_imageSize = 1;
    int m_port = 1;
    std::string m_lineSettings = "9600,n,8,1";
    int m_commandPreamble = 0;
    int m_firstDataPreamble = 0;
    int m_dataPreamble = 0;
    bool m_frameCounter = true;
    bool m_echo = false;
    bool m_lowSpeed = false;
    int m_bytesPerFrame = 16;
    int m_ackTimeoutMs = 2000;
    int m_startDelayMs = 0;
    std::string m_preCommand;

    // working state
    int m_state = 0;
    Callback m_callback;
    cmcBuff m_receive;
    cmcBuff m_frame;
    cmcBuff m_echoQueue;
    cmcTick m_responseTimer;
    cmcTick m_delayTimer;
    std::vector<ImageRange> m_ranges;
    std::size_t m_rangeIndex = 0;
    std::int32_t m_address = 0;
    std::int64_t m_wireBytes = 0;
    std::int32_t m_dataFrames = 0;
    std::int32_t m_dataBytes = 0;
    bool m_cycling = false;
    int m_variant = 0;
    int m_startVariant = 0;
    std::unique_ptr<CloneResult> m_result;
};

} // namespace qx
