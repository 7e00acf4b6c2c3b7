#pragma once
// The firmware update window `fmUpDateSoft`: the installed version, a firmware file of at most
// 16 KB, and the update through the instrument's boot loader with its progress.

#include "service/FirmwareImage.h"
#include "service/FirmwareUpdate.h"

#include <QDialog>

#include <optional>

class QLabel;
class QProgressBar;
class QToolButton;

namespace tesmar {

class DialogFolders;
class FirmwareUpdateThread;
class MessageTable;
class UsbSession;
class UserMessages;
enum class Msg : int;

class TfmUpDateSoft : public QDialog {
    Q_OBJECT
public:
    TfmUpDateSoft(UsbSession& session, const MessageTable& table, UserMessages& messages, DialogFolders& folders,
                  QWidget* parent = nullptr);
    ~TfmUpDateSoft() override;

    // The file part of the open handler, for a path already chosen.
    bool openFile(const QString& path);
    const FirmwareImage& image() const { return image_; }
    // The transfer runs on its own thread; the session belongs to it until it ends.
    bool updating() const { return thread_ != nullptr; }

    QToolButton* spOpenFileUpData = nullptr;
    QToolButton* spStartUpData = nullptr;
    QLabel* lbUpDateFileName = nullptr;
    QLabel* lbUpDateFileSize = nullptr;
    QLabel* lbUpDateFileVer = nullptr;
    QLabel* lbCurFileVer = nullptr;
    QProgressBar* progbarUpDate = nullptr;
    QLabel* stpnSatusUpDate = nullptr;

public slots:
    void FormShow();
    void spOpenFileUpDataClick();
    void spStartUpDataClick();
    // Refused while the update runs: it cannot be cut without leaving a half image.
    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    QString msg(Msg key) const;
    void setStatus(Msg key);
    void updateFinished();

    UsbSession& session_;
    const MessageTable& table_;
    UserMessages& messages_;
    DialogFolders& folders_;
    FirmwareImage image_;
    QString imageName_;
    std::optional<FirmwareVersion> installed_; // as the window was shown
    FirmwareUpdateThread* thread_ = nullptr;
};

} // namespace tesmar
