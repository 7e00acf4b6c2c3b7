#include "UsbRecordWriter.h"

#include <cerrno>
#include <cstring>

namespace tesmar {

UsbRecordWriter::UsbRecordWriter(std::ostream& out, FailureListener onFailure)
    : out_(out), onFailure_(std::move(onFailure))
{
    std::lock_guard lock(mutex_);
    put(std::string(kUsbRecordHeader) +
        "\n# time in ms since the start, then the event; numbers decimal unless 0x; indented lines\n"
        "# hold the bytes of the transfer above them (hex, after the decimal offset)\n");
}

double UsbRecordWriter::now() const
{
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start_).count();
}

void UsbRecordWriter::write(const UsbRecordEntry& entry)
{
    const std::string text = FormatUsbRecordEntry(entry);
    std::lock_guard lock(mutex_);
    ++events_;
    put(text);
}

void UsbRecordWriter::put(const std::string& text)
{
    if (!failure_.empty())
        return;
    errno = 0;
    out_ << text;
    out_.flush(); // a record cut short by a crash still holds everything before it
    if (out_)
        return;
    const int cause = errno;
    failure_ = "cannot write the USB record" + (cause ? std::string(" (") + std::strerror(cause) + ")" : std::string()) +
               (events_ ? "; it ends before event " + std::to_string(events_) : std::string());
    if (onFailure_)
        onFailure_(failure_);
}

std::string UsbRecordWriter::failure() const
{
    std::lock_guard lock(mutex_);
    return failure_;
}

} // namespace tesmar
