#pragma once
// The instrument's side of a session written from the protocol, as a session record, and a
// session that replays it: the readers get exactly these answers and must send exactly these
// commands.

#include "device/ReplayTransport.h"
#include "device/UsbRecordFormat.h"
#include "device/UsbSession.h"

#include <cstdint>
#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

namespace tesmar {

class HandWrittenSession {
public:
    HandWrittenSession() : text_("0 ATTACH device=1\n0 SETIF interface=0 alternate=0\n") {}

    // A control transfer the program must send.
    void out(unsigned request, unsigned value, unsigned index, const std::vector<std::uint8_t>& data = {})
    {
        char line[128];
        std::snprintf(line, sizeof line, "%d OUT request=%u value=0x%04X index=0x%04X length=%zu\n", ++time_, request,
                      value, index, data.size());
        text_ += line;
        bytes(data);
    }
    // A bulk read of `length` bytes and the instrument's answer.
    void in(std::size_t length, const std::vector<std::uint8_t>& answer, UsbStatus status = usb_status::Success)
    {
        char line[128];
        std::snprintf(line, sizeof line, "%d IN length=%zu status=0x%08X\n", ++time_, length, status);
        text_ += line;
        bytes(answer);
    }
    const std::string& text() const { return text_; }

private:
    void bytes(const std::vector<std::uint8_t>& data)
    {
        for (std::size_t i = 0; i < data.size(); ++i) {
            char hex[4];
            std::snprintf(hex, sizeof hex, "%02X", data[i]);
            text_ += (i % 16 == 0 ? "   " : "") + std::string(" ") + hex + (i % 16 == 15 || i + 1 == data.size() ? "\n" : "");
        }
    }

    std::string text_;
    int time_ = 0;
};

// A session attached to the replay of `text`; `error` holds why the text could not be read.
struct ReplayedSession {
    explicit ReplayedSession(const std::string& text)
        : transport(Parse(text, error)), session(transport)
    {
        session.setSleeper([](int) {});
        opened = session.DeviceOpen();
    }
    static std::vector<UsbRecordEntry> Parse(const std::string& text, std::string& error)
    {
        std::istringstream in(text);
        UsbRecordParse parsed = ParseUsbRecord(in);
        error = parsed.error;
        return parsed.entries;
    }

    std::string error;
    ReplayTransport transport;
    UsbSession session;
    bool opened = false;
};

} // namespace tesmar
