#pragma once
// A USB session as readable text: one line per event with its time in milliseconds since the
// start, the bytes of a transfer on indented lines of hex below it. Written by the recording
// transport, read back by the replay; docs/usb-session-record.md describes the format.

#include "SetupPacket.h"
#include "UsbStatus.h"

#include <cstddef>
#include <cstdint>
#include <istream>
#include <string>
#include <vector>

namespace tesmar {

enum class UsbEventKind { Attach, Detach, SetInterface, ControlOut, BulkIn, Halt, Reset };

struct UsbRecordEntry {
    UsbEventKind kind = UsbEventKind::ControlOut;
    double timeMs = 0.0;
    int line = 0; // line of the event in the file it was read from
    // ControlOut: the setup packet; wLength is the data length the program gave.
    SetupPacket setup;
    // BulkIn and Halt: the pipe.
    std::uint8_t pipe = 0x83;
    // BulkIn: the length asked for.
    std::size_t requested = 0;
    // ControlOut: the bytes sent; BulkIn: the bytes received.
    std::vector<std::uint8_t> data;
    UsbStatus status = usb_status::Success;
    // ControlOut: the count the transfer reported (BulkIn: data.size()).
    std::size_t transferred = 0;
    int timeoutMs = -1;    // as the program asked; for reading only
    double tookMs = -1.0;  // how long the transfer took; for reading only
    int interfaceNumber = 0, alternateSetting = 0; // SetInterface
    unsigned device = 1;   // Attach, Detach: the instrument's number in this session
};

inline constexpr const char* kUsbRecordHeader = "# Tesmar USB session record, format 1";

// The event as text: its line and, for transfers with data, the data lines; every line ends
// with '\n'.
std::string FormatUsbRecordEntry(const UsbRecordEntry& entry);

// One line naming the transfer and its fields, without data, for messages ("OUT request=5 …").
std::string DescribeUsbRecordEntry(const UsbRecordEntry& entry);

struct UsbRecordParse {
    std::vector<UsbRecordEntry> entries;
    std::string error; // "line N: …" for the first line that cannot be read; empty when all could
};

UsbRecordParse ParseUsbRecord(std::istream& in);

} // namespace tesmar
