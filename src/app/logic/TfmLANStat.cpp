#include "TfmLANStat.h"

#include "osc/OscChannelView.h"
#include "text/MessageTable.h"

#include <QEvent>

#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QVBoxLayout>

namespace tesmar {

namespace {

struct ColumnInfo {
    const char* prefix;
    const char* suffix;
    const char* heading;
    const char* hint;
};

constexpr ColumnInfo kColumnInfo[TfmLANStat::kColumns] = {
    {"lbERCh", "", "Нараст.", "Количество нарастающих фронтов сигнала"},
    {"lbEFCh", "", "Спад.", "Количество спадающих фронтов сигнала"},
    {"lbTiCh", "min", "Ти мин", "Минимальная длительность импульса сигнала"},
    {"lbTpCh", "min", "Тп мин", "Минимальная длительность паузы сигнала"},
    {"lbTiCh", "max", "Ти макс", "Максимальная длительность импульса сигнала"},
    {"lbTpCh", "max", "Тп макс", "Максимальная длительность паузы сигнала"},
    {"lbTiCh", "", "Ти ср", "Средняя длительность импульса сигнала"},
    {"lbTpCh", "", "Тп ср", "Средняя длительность паузы сигнала"},
    {"lbFsCh", "", "F ср", "Средняя частота сигнала"},
};

} // namespace

TfmLANStat::TfmLANStat(const MessageTable& table, QWidget* parent) : QWidget(parent, Qt::Tool), table_(table)
{
    setObjectName("fmLANStat");
    setWindowTitle("Статистика");
    auto* layout = new QVBoxLayout(this);
    for (int bus = 0; bus < 2; ++bus) {
        auto* group = new QGroupBox(bus == 0 ? "Шина A" : "Шина B", this);
        group->setObjectName(bus == 0 ? "grboxStatBusA" : "grboxStatBusB");
        (bus == 0 ? grboxStatBusA : grboxStatBusB) = group;
        auto* grid = new QGridLayout(group);
        for (int c = 0; c < kColumns; ++c) {
            auto* heading = new QLabel(kColumnInfo[c].heading, group);
            heading->setToolTip(kColumnInfo[c].hint);
            grid->addWidget(heading, 0, c + 1);
        }
        const QChar letter = bus == 0 ? 'A' : 'B';
        for (int k = 0; k < 8; ++k) {
            const int channel = bus * 8 + k;
            auto* caption = new QLabel(QString("Канал: %1%2").arg(letter).arg(k), group);
            caption->setObjectName(QString("lbLANCh%1%2Caption").arg(letter).arg(k));
            caption->setMinimumWidth(90);
            captions[channel] = caption;
            grid->addWidget(caption, k + 1, 0);
            for (int c = 0; c < kColumns; ++c) {
                auto* label = new QLabel(c <= Falling ? "0" : "", group);
                label->setObjectName(
                    QString("%1%2%3%4").arg(kColumnInfo[c].prefix).arg(letter).arg(k).arg(kColumnInfo[c].suffix));
                label->setToolTip(kColumnInfo[c].hint);
                label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
                label->setMinimumWidth(70);
                values[channel][c] = label;
                grid->addWidget(label, k + 1, c + 1);
            }
        }
        layout->addWidget(group);
    }
}

void TfmLANStat::setCaptions(const std::array<QLabel*, 16>& pageCaptions)
{
    for (int c = 0; c < 16; ++c) {
        if (!pageCaptions[c])
            continue;
        captions[c]->setText(pageCaptions[c]->text());
        captions[c]->setStyleSheet(pageCaptions[c]->styleSheet());
        captions[c]->setAlignment(pageCaptions[c]->alignment());
    }
}

void TfmLANStat::setBusBVisible(bool visible)
{
    grboxStatBusB->setVisible(visible);
    adjustSize();
}

void TfmLANStat::showStatistics(int bus, const std::array<LineStatistics, 8>& lines, char decimalSeparator)
{
    shown_[bus] = lines;
    decimalSeparator_ = decimalSeparator;
    auto text = [this, decimalSeparator](double v, Msg unit) {
        return QString::fromStdString(FormatReadout(v, table_.text(unit), decimalSeparator));
    };
    for (int k = 0; k < 8; ++k) {
        const LineStatistics& s = lines[k];
        auto& row = values[bus * 8 + k];
        row[Rising]->setText(QString::number(s.rising));
        row[Falling]->setText(QString::number(s.falling));
        const ScaledValues pulse = ScaleLengths(s.pulseMin, s.pulseMax, s.pulseMean);
        const ScaledValues pause = ScaleLengths(s.pauseMin, s.pauseMax, s.pauseMean);
        row[PulseMin]->setText(text(pulse.min, pulse.unit));
        row[PulseMax]->setText(text(pulse.max, pulse.unit));
        row[PulseMean]->setText(text(pulse.mean, pulse.unit));
        row[PauseMin]->setText(text(pause.min, pause.unit));
        row[PauseMax]->setText(text(pause.max, pause.unit));
        row[PauseMean]->setText(text(pause.mean, pause.unit));
        const auto [frequency, unit] = ScaleFrequency(s.frequencyKHz);
        row[Frequency]->setText(text(frequency, unit));
    }
}

void TfmLANStat::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange)
        for (int bus = 0; bus < 2; ++bus)
            if (shown_[bus])
                showStatistics(bus, *shown_[bus], decimalSeparator_);
    QWidget::changeEvent(event);
}

} // namespace tesmar
