#pragma once
// The terminal: the instrument itself reads or writes up to 1024 bytes on an I2C bus, as master
// or as slave, while its status window shows what it is doing. One page, "I2C". An ordinary
// window: the rest of the program stays usable, except what would talk to the instrument while
// a transfer runs. Escape or closing it resets the device.

#include "terminal/TerminalHexView.h"
#include "terminal/TerminalSettings.h"
#include "text/MessageKeys.h"

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
    // A transfer starts (true) or has ended (false): nothing else may use the instrument meanwhile.
    std::function<void(bool running)> lockOthers = {};
};

class TfmTerminal final : public QWidget {
    Q_OBJECT
  public:
    TfmTerminal(const TerminalContext& context, QWidget* parent);
    ~TfmTerminal() override;

    // Shows the window on the page of `interfaceName` when it has one ("I2C").
    void showPage(const QString& interfaceName);
    // A measurement elsewhere uses the instrument: no transfer may start until it ends.
    void setOthersMeasuring(bool measuring);
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
    void keyPressEvent(QKeyEvent* event) override;
    void changeEvent(QEvent* event) override;

  private:
    QWidget* buildI2CPage();
    QWidget* buildGroup(bool write);
    void connectEdits();
    TerminalGroupSettings groupSettings(bool write) const;
    void applyGroupSettings(bool write, const TerminalGroupSettings& settings);
    void startTransfer(bool write);
    void transferDone();
    void statusReset();
    void setLocked(bool locked);
    QString text(Msg key) const;

    TerminalContext ctx_;
    TerminalBuffer receive_{};
    TerminalBuffer transmit_{};
    I2CTransfer* transfer_ = nullptr;
    bool locked_ = false;
    bool othersMeasuring_ = false;
};

} // namespace tesmar
