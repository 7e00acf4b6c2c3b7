#pragma once
// "Статистика": edge counts, pulse and pause lengths and mean frequency of every logic line over
// the whole capture, bus B only while it is in use.

#include "logic/BusStatistics.h"

#include <QWidget>

#include <array>
#include <optional>

class QGroupBox;
class QLabel;

namespace tesmar {

class MessageTable;

class TfmLANStat : public QWidget {
    Q_OBJECT
public:
    explicit TfmLANStat(const MessageTable& table, QWidget* parent = nullptr);

    // Row captions copy the page's channel captions: text, colour and alignment.
    void setCaptions(const std::array<QLabel*, 16>& pageCaptions);
    void setBusBVisible(bool visible);
    // The values of one bus (0 = A, 1 = B).
    void showStatistics(int bus, const std::array<LineStatistics, 8>& lines, char decimalSeparator);

    // Per channel 0 … 15 (A.0 … B.7).
    enum Column { Rising, Falling, PulseMin, PauseMin, PulseMax, PauseMax, PulseMean, PauseMean, Frequency, kColumns };
    QGroupBox* grboxStatBusA = nullptr;
    QGroupBox* grboxStatBusB = nullptr;
    std::array<QLabel*, 16> captions{};
    std::array<std::array<QLabel*, kColumns>, 16> values{};

protected:
    void changeEvent(QEvent* event) override;

private:
    const MessageTable& table_;
    // What each bus shows, kept so that the units follow a language change.
    std::array<std::optional<std::array<LineStatistics, 8>>, 2> shown_;
    char decimalSeparator_ = '.';
};

} // namespace tesmar
