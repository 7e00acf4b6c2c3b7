#include "FirmwareUpdateThread.h"

namespace tesmar {

FirmwareUpdateThread::FirmwareUpdateThread(UsbSession& session, const FirmwareImage& image, QObject* parent)
    : QThread(parent), session_(session), image_(image)
{
}

void FirmwareUpdateThread::run()
{
    FirmwareUpdateListener listener;
    listener.stage = [this](FirmwareStage stage) { emit stageReached(static_cast<int>(stage)); };
    listener.progress = [this](int value, int maximum) { emit progressed(value, maximum); };
    result_ = UpdateFirmware(session_, image_, listener);
}

} // namespace tesmar
