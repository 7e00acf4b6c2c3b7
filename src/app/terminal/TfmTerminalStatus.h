#pragma once
// The terminal's status window: what the transmitter and the receiver are doing while the
// instrument works, and "Сброс" to end the wait. It stays on top without taking the focus;
// closing it any other way counts as "Сброс" too.

#include <QWidget>

class QLabel;
class QPushButton;

namespace tesmar {

class MessageTable;

class TfmTerminalStatus final : public QWidget {
    Q_OBJECT
  public:
    TfmTerminalStatus(const MessageTable& table, QWidget* parent);

    void setStates(const QString& transmit, const QString& receive);
    // Hides the window without counting as "Сброс" (the transfer ended by itself).
    void closeQuietly();

    QLabel* lbTransmitState = nullptr;
    QLabel* lbReceiveState = nullptr;
    QPushButton* btReset = nullptr;

  public slots:
    void btResetClick();
    void FormShow();

  signals:
    void resetRequested();

  protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    bool quiet_ = false;
};

} // namespace tesmar
