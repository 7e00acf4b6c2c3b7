#pragma once
// The firmware update on a thread of its own, so that the window stays drawn during the ~16 s of
// the transfer. Stages and progress are posted to the window's thread; the result is read only
// after the thread has ended. It cannot be stopped: a block cut half-way would leave a half image.

#include "service/FirmwareUpdate.h"

#include <QThread>

namespace tesmar {

class UsbSession;

class FirmwareUpdateThread final : public QThread {
    Q_OBJECT
public:
    FirmwareUpdateThread(UsbSession& session, const FirmwareImage& image, QObject* parent = nullptr);

    FirmwareUpdateResult result() const { return result_; }

signals:
    void stageReached(int stage); // a FirmwareStage
    void progressed(int value, int maximum);

protected:
    void run() override;

private:
    UsbSession& session_;
    const FirmwareImage image_;
    FirmwareUpdateResult result_ = FirmwareUpdateResult::BlockFailed;
};

} // namespace tesmar
