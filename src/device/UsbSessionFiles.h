#pragma once
// The files behind a recorded or replayed session: the record being written and the record being
// replayed, opened before the session starts and looked at after it ends.

#include "ReplayTransport.h"
#include "UsbRecordWriter.h"

#include <fstream>
#include <memory>
#include <string>

namespace tesmar {

class UsbSessionFiles {
public:
    // Reads the record to replay; empty, or why it cannot be used ("FILE, line N: …").
    std::string openReplay(const std::string& path, ReplayTransport::DivergenceListener onDivergence = {});
    // Creates the record; empty, or why it cannot be written.
    std::string openRecord(const std::string& path, UsbRecordWriter::FailureListener onFailure = {});

    ReplayTransport* replay() { return replay_.get(); }
    UsbRecordWriter* writer() { return writer_.get(); }

    // Closes the record; empty, or why it is incomplete.
    std::string closeRecord();

private:
    std::ofstream recordFile_;
    std::unique_ptr<UsbRecordWriter> writer_;
    std::unique_ptr<ReplayTransport> replay_;
};

} // namespace tesmar
