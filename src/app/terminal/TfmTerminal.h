#pragma once
// The terminal: the instrument itself reads or writes up to 1024 bytes on an I2C bus, as master
// or as slave, while its status window shows what it is doing. Pages "UART", "SPI", "I2C" and
// "1-Wire"; only the I2C page has content. Opened modally; closing it resets the device.

#include "terminal/TerminalHexView.h"
#include "terminal/TerminalSettings.h"

#include <QWidget>

#include <functional>
#include <optional>

class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QTabWidget;

namespace tesmar {

class DialogFolders;
class I2CTransfer;
class IniFile;
class MessageTable;
class TerminalHexGrid;
class TfmTerminalStatus;
class UsbSession;
class UserMessages;

struct TerminalContext {
    UsbSession& session;
    UserMessages& messages;
    const MessageTable& table;
    DialogFolders& folders;
};

class TfmTerminal final : public QWidget {
    Q_OBJECT
  public:
    TfmTerminal(const TerminalContext& context, QWidget* parent);
    ~TfmTerminal() override;

    // Shows the window modally on the page of `interfaceName` ("UART", "SPI", "I2C", "1-Wire").
    void showPage(const QString& interfaceName);
    // The settings file's section `terminal`.
    void readSettings(const IniFile& ini);
    void writeSettings(IniFile& ini) const;
    // Ends a running transfer (closing the program).
    void shutdown();
    bool transferRunning() const;

    // Asks for a file path for dialog `dialog`; tests replace it.
    std::function<std::optional<QString>(const char* dialog, bool save)> askPath;

    QTabWidget* pgcntrTerminal = nullptr;
    TfmTerminalStatus* fmTerminalStatus = nullptr;
    // Receive group.
    QLineEdit* edI2CCountRd = nullptr;
    QSpinBox* udI2CCountRd = nullptr;
    QRadioButton* rbI2CMasterRd = nullptr;
    QRadioButton* rbI2CSlaveRd = nullptr;
    QLineEdit* edI2CMasterAddRd = nullptr;
    QLineEdit* edI2CSlaveAddRd = nullptr;
    QLineEdit* edI2CSpeedRd = nullptr;
    QSpinBox* udI2CSpeedRd = nullptr;
    TerminalHexGrid* strgridI2CBufRd = nullptr;
    QPushButton* sbI2CRead = nullptr;
    QPushButton* sbI2CSaveFileRd = nullptr;
    QPushButton* sbI2CReadAndWrite = nullptr;
    QPushButton* sbI2CPipeRead = nullptr;
    // Transmit group.
    QLineEdit* edI2CCountWr = nullptr;
    QSpinBox* udI2CCountWr = nullptr;
    QRadioButton* rbI2CMasterWr = nullptr;
    QRadioButton* rbI2CSlaveWr = nullptr;
    QLineEdit* edI2CMasterAddWr = nullptr;
    QLineEdit* edI2CSlaveAddWr = nullptr;
    QLineEdit* edI2CSpeedWr = nullptr;
    QSpinBox* udI2CSpeedWr = nullptr;
    TerminalHexGrid* strgridI2CBufWr = nullptr;
    QPushButton* sbI2CWrite = nullptr;
    QPushButton* sbI2COpenFileWr = nullptr;
    QPushButton* sbI2CWriteAndRead = nullptr;
    QPushButton* sbI2CWriteAndPipeRead = nullptr;
    // What the last transfer came to.
    QLabel* lbI2CResult = nullptr;

    const TerminalBuffer& receiveBuffer() const { return receive_; }
    const TerminalBuffer& transmitBuffer() const { return transmit_; }

  public slots:
    void sbI2CReadClick();
    void sbI2CWriteClick();
    void sbI2CSaveFileRdClick();
    void sbI2COpenFileWrClick();
    void udI2CCountRdChangingEx(int value);
    void udI2CCountWrChangingEx(int value);
    void FormClose();

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    QWidget* buildI2CPage();
    QWidget* buildGroup(bool write);
    void connectEdits();
    TerminalGroupSettings groupSettings(bool write) const;
    void applyGroupSettings(bool write, const TerminalGroupSettings& settings);
    void startTransfer(bool write);
    void transferDone();
    void statusReset();

    TerminalContext ctx_;
    TerminalBuffer receive_{};
    TerminalBuffer transmit_{};
    I2CTransfer* transfer_ = nullptr;
};

} // namespace tesmar
