#include "UsbSessionFiles.h"

#include <cerrno>
#include <cstring>

namespace tesmar {

namespace {

std::string Cause()
{
    return errno ? std::string(": ") + std::strerror(errno) : std::string();
}

} // namespace

std::string UsbSessionFiles::openReplay(const std::string& path, ReplayTransport::DivergenceListener onDivergence)
{
    errno = 0;
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return "cannot read the USB record " + path + Cause();
    UsbRecordParse parsed = ParseUsbRecord(in);
    if (!parsed.error.empty())
        return path + ", " + parsed.error;
    replay_ = std::make_unique<ReplayTransport>(std::move(parsed.entries), std::move(onDivergence));
    return {};
}

std::string UsbSessionFiles::openRecord(const std::string& path, UsbRecordWriter::FailureListener onFailure)
{
    errno = 0;
    recordFile_.open(path, std::ios::binary | std::ios::trunc);
    if (!recordFile_)
        return "cannot write the USB record " + path + Cause();
    writer_ = std::make_unique<UsbRecordWriter>(recordFile_, std::move(onFailure));
    return {};
}

std::string UsbSessionFiles::closeRecord()
{
    if (!writer_)
        return {};
    errno = 0;
    recordFile_.close();
    std::string failure = writer_->failure();
    if (failure.empty() && !recordFile_)
        failure = "cannot write the USB record" + (errno ? " (" + std::string(std::strerror(errno)) + ")" : std::string());
    return failure;
}

} // namespace tesmar
