#pragma once
// Writes a USB session record line by line as the transfers happen, each event whole even when
// threads interleave. A write that fails is noted once and ends the record; the transfers go on.

#include "UsbRecordFormat.h"

#include <chrono>
#include <functional>
#include <mutex>
#include <ostream>
#include <string>

namespace tesmar {

class UsbRecordWriter {
public:
    // Called once, on the thread of the failed write, with the failure's text.
    using FailureListener = std::function<void(const std::string&)>;

    // Writes the header at once; `out` must outlive the writer.
    explicit UsbRecordWriter(std::ostream& out, FailureListener onFailure = {});

    // Milliseconds since the writer was made.
    double now() const;
    void write(const UsbRecordEntry& entry);

    // Empty while every write succeeded; else what failed and from which event on.
    std::string failure() const;

private:
    void put(const std::string& text);

    std::ostream& out_;
    FailureListener onFailure_;
    const std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
    mutable std::mutex mutex_;
    std::string failure_;
    long events_ = 0;
};

} // namespace tesmar
