#pragma once

#include "radio/image_map.h"
#include "radio_frames.h"
#include "scripted_serial_device.h"

#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace qx::test {

// A transceiver of destination 5 on the scripted line: answers the information request, serves
// its image to a read and acknowledges a write; it can be unplugged.
class ScriptedTransceiver {
public:
    using Bytes = std::vector<std::uint8_t>;

    explicit ScriptedTransceiver(std::shared_ptr<ScriptedSerialDevice::Line> line) : m_line(line) {
        line->peer = [this](const std::uint8_t* b, int n) { take(b, n); };
        image.assign(imagemap::kTransceiverSize, 0xFF);
        std::memcpy(image.data() + imagemap::kMapFormatTag, imagemap::kMapFormatTagText.data(),
                    imagemap::kMapFormatTagSize);
        info.assign(29, 0);
        info[16] = 5;
        info[20] = 0x04; // digital unit
    }

    Bytes image;
    Bytes info;
    bool plugged = true;
    int informationRequests = 0;
    int writeRequests = 0;

private:
    void send(Bytes b) { m_line->feed(b); }
    void take(const std::uint8_t* b, int n) {
        for (int i = 0; i < n; ++i) {
            if (b[i] == 0xFE) {
                m_frame = {0xFE};
            } else if (b[i] == 0xFD && !m_frame.empty()) {
                react();
                m_frame.clear();
            } else if (!m_frame.empty()) {
                m_frame.push_back(b[i]);
            }
        }
    }
    void react() {
        if (!plugged || m_frame.size() < 4) {
            return;
        }
        const std::uint8_t cmd = m_frame[3];
        if (cmd == 0xE0) {
            ++informationRequests;
            Bytes reply = {0xFE, 0xFE, 0xEF, 0xEE, 0xE1, 0x29, 0x70, 0x00, 0x01};
            reply.insert(reply.end(), info.begin(), info.end());
            reply.push_back(0xFD);
            send(reply);
        } else if (cmd == 0xE2) {
            int frames = 0;
            for (int a = 0; a < imagemap::kTransceiverSize; a += 32, ++frames) {
                send(radio_frames::dataFrame(a, image.data() + a, 32));
            }
            send(radio_frames::endFrame(frames));
        } else if (cmd == 0xE3) {
            ++writeRequests;
        } else if (cmd == 0xE5) {
            send({0xFE, 0xFE, 0xEF, 0xEE, 0xE6, 0x00, 0xFD});
        }
    }

    std::shared_ptr<ScriptedSerialDevice::Line> m_line;
    Bytes m_frame;
};

} // namespace qx::test
