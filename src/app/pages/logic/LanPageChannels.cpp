// The logic analyser page: channel names and colours, and the generator data on the chart.

#include "app/BgrColour.h"
#include "app/pages/logic/LanChart.h"
#include "text/MessageFormat.h"
#include "text/MessageTable.h"
#include "app/FileDialogs.h"
#include "app/pages/logic/LanPage.h"
#include "app/logic/LanGeneratorPanel.h"
#include "app/logic/TfmLANSetup.h"
#include "settings/IniFile.h"

#include <QComboBox>
#include <QFontMetrics>
#include <QLabel>
#include <QToolButton>

#include <cmath>

namespace tesmar {


void LanPage::applyChannelSetup()
{
    std::array<QString, 16> names;
    for (int c = 0; c < 16; ++c) {
        names[c] = QString::fromStdString(channels_.names[c]);
        QLabel* caption = channelCaptions[c];
        const QString name = QString::fromStdString(channels_.names[c]);
        const QColor colour = ColourFromBgr(channels_.colours[c]);
        caption->setText(name);
        caption->setStyleSheet(QString("color: %1").arg(colour.name()));
        // A name wider than its box shows its start.
        const bool wide = QFontMetrics(caption->font()).horizontalAdvance(name) > caption->width();
        caption->setAlignment((wide ? Qt::AlignLeft : Qt::AlignRight) | Qt::AlignVCenter);
        chLAN->setChannelColour(c, colour);
    }
    chLAN->setLineNames(names);
    // Every line list shows the names, each keeping its position.
    for (QComboBox* list : {cbLANTriggerEdgeCh, cbLANPassImpulsCh, cbLANFindCh})
        for (int i = 0; i < list->count(); ++i)
            list->setItemText(i, QString::fromStdString(channels_.names[list->itemData(i).toInt()]));
    chLAN->replot();
    refreshStatistics();
    emit channelNamesChanged();
}

bool LanPage::editChannel(int channel)
{
    fmLANSetup->setChannel(QString::fromStdString(channels_.names[channel]), ColourFromBgr(channels_.colours[channel]));
    if (fmLANSetup->exec() != QDialog::Accepted)
        return false;
    channels_.names[channel] = fmLANSetup->name().toStdString();
    channels_.colours[channel] = BgrFromColour(fmLANSetup->colour());
    applyChannelSetup();
    return true;
}

bool LanPage::openSetupFile(const QString& path)
{
    if (!ReadChannelSetupFile(path.toStdString(), channels_))
        return false;
    applyChannelSetup();
    setFocus();
    return true;
}

bool LanPage::saveSetupFile(const QString& path)
{
    return WriteChannelSetupFile(path.toStdString(), channels_);
}

void LanPage::sbOpenLANSetupClick()
{
    if (!ctx_.askFilePath)
        return;
    if (const auto path = ctx_.askFilePath("odOpenLANSetup", FileDialog("odOpenLANSetup").filter, ".txt", false))
        if (!openSetupFile(*path) && ctx_.showWarning)
            ctx_.showWarning(QString::fromStdString(FormatMessage(ctx_.messages.text(Msg::strOpenFileError), {path->toStdString()})));
}

void LanPage::sbSaveLANSetupClick()
{
    if (!ctx_.askFilePath)
        return;
    if (const auto path = ctx_.askFilePath("sdSaveLANSetup", FileDialog("sdSaveLANSetup").filter, ".txt", true))
        if (!saveSetupFile(*path) && ctx_.showWarning)
            ctx_.showWarning(QString::fromStdString(FormatMessage(ctx_.messages.text(Msg::strWriteFileError), {path->toStdString()})));
    setFocus();
}

void LanPage::generatorChanged()
{
    generatorUnsaved_ = true;
    forgetSearchHit();
    if (!sbLANModeBusG->isChecked())
        return;
    drawGenerator();
    chLAN->replot();
    UpdateReadouts();
    refreshStatistics();
}

void LanPage::editGeneratorBetween(double fromX, double toX)
{
    const DrawnBus& bus = chLAN->bus(1);
    if (editLine_ < 0 || bus.empty() || !(bus.step > 0))
        return;
    const int last = GeneratorData::kSampleCount - 1;
    auto sample = [&](double x) {
        const double clamped = std::clamp(x, 0.0, bus.lastX());
        return std::clamp(static_cast<int>(std::trunc(clamped / bus.step)), 0, last);
    };
    const int a = std::min(sample(fromX), sample(toX)), b = std::max(sample(fromX), sample(toX));
    for (int i = a; i <= b; ++i)
        generator_.setLine(i, editLine_, editHigh_);
    generatorPanel->refreshTable(a, b);
    generatorChanged();
}

void LanPage::miLANSelectByMarkerClick()
{
    const DrawnBus& bus = chLAN->bus(1);
    if (!sbLANModeBusG->isChecked() || bus.empty() || !(bus.step > 0))
        return;
    const auto e = static_cast<int>(std::lround(chLAN->markerPosition(0) / bus.step));
    const auto f = static_cast<int>(std::lround(chLAN->markerPosition(1) / bus.step));
    const int last = GeneratorData::kSampleCount - 1;
    generatorPanel->selectSamples({std::max(0, std::min({e, f, last})), std::max(0, std::min(std::max(e, f), last))});
}

} // namespace tesmar
