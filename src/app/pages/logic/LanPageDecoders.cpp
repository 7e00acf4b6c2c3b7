// The page's side of the decoder windows: channel queries, marker times, generator refresh and
// showing a decoded element on the chart.

#include "app/pages/logic/LanChart.h"
#include "app/pages/logic/LanPage.h"
#include "app/logic/LanGeneratorPanel.h"

#include <QToolButton>

#include <algorithm>

namespace tesmar {

bool LanPage::generatorMode() const
{
    return sbLANModeBusG->isChecked();
}

ChannelQueries LanPage::channelQueries() const
{
    return ChannelQueries(capture_, generatorMode() ? &generator_ : nullptr, generatorPeriod());
}

double LanPage::markerTime(int marker) const
{
    return chLAN->markerPosition(marker) / multiplier_;
}

void LanPage::generatorEdited(int first, int last)
{
    generatorPanel->refreshTable(first, last);
    generatorChanged();
}

void LanPage::ShowTime(int channel, double seconds, int marker)
{
    const DrawnBus& bus = chLAN->bus(channel >= 8 ? 1 : 0);
    if (bus.empty())
        return;
    const double f = bus.firstX, l = bus.lastX();
    const double w = chLAN->xAxis->range().upper - chLAN->xAxis->range().lower;
    const double h = seconds * multiplier_;
    if (w / 2 >= h - f)
        chLAN->setBottomRange(f, f + w);
    else if (h < l - w)
        chLAN->setBottomRange(h - w / 2, h + w / 2);
    else
        chLAN->setBottomRange(l - w, l);
    chLAN->setMarkerPosition(marker, std::max(f, std::min(h, l)));
    forgetSearchHit();
    updateScrollBar();
    chLAN->replot();
    UpdateReadouts();
}

} // namespace tesmar
