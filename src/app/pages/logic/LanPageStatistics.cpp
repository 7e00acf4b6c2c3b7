// The logic analyser page: its statistics window, opened from the menu and recounted whenever
// the capture, the generator data, the names or the bus B mode change.

#include "app/pages/logic/LanPage.h"
#include "app/MainMenu.h"
#include "app/logic/TfmLANStat.h"
#include "logic/BusStatistics.h"

#include <QAction>
#include <QToolButton>

namespace tesmar {

void LanPage::setupStatistics()
{
    fmLANStat = new TfmLANStat(ctx_.messages, this);
    connect(ctx_.menu.miLANStat, &QAction::triggered, this, &LanPage::miLANStatClick);
    connect(ctx_.menu.miLANStatOnTop, &QAction::triggered, this, &LanPage::miLANStatOnTopClick);
}

void LanPage::miLANStatClick()
{
    const bool onTop = ctx_.menu.miLANStatOnTop->isChecked();
    fmLANStat->setWindowFlag(Qt::WindowStaysOnTopHint, onTop);
    fmLANStat->setAttribute(Qt::WA_ShowWithoutActivating, onTop);
    fmLANStat->show();
    refreshStatistics();
}

void LanPage::miLANStatOnTopClick()
{
    if (!fmLANStat->isVisible())
        return;
    if (ctx_.menu.miLANStatOnTop->isChecked()) {
        fmLANStat->setWindowFlag(Qt::WindowStaysOnTopHint, true);
        fmLANStat->show(); // a changed flag hides the window
    } else {
        fmLANStat->setWindowFlag(Qt::WindowStaysOnTopHint, false);
        fmLANStat->close();
    }
}

void LanPage::refreshStatistics()
{
    if (!fmLANStat || !fmLANStat->isVisible())
        return;
    const bool generator = sbLANModeBusG->isChecked();
    const bool busB = generator || sbLANModeBusA->isChecked();
    fmLANStat->setCaptions(channelCaptions);
    fmLANStat->setBusBVisible(busB);
    const char sep = decimalSeparator();
    fmLANStat->showStatistics(0, ComputeBusStatistics(capture_.busA, capture_.samplePeriod), sep);
    if (!busB)
        return;
    if (generator)
        fmLANStat->showStatistics(1, ComputeBusStatistics(generator_.samples(), 1.0 / mode_.sampleRate), sep);
    else
        fmLANStat->showStatistics(1, ComputeBusStatistics(capture_.busB, capture_.samplePeriod), sep);
}

} // namespace tesmar
