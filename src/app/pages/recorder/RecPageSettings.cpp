// The recorder page's keys of section `main`.

#include "app/pages/recorder/RecChart.h"
#include "app/pages/recorder/RecPage.h"
#include "settings/IniFile.h"
#include "text/MessageTable.h"
#include "ui/knob/TOscKnob.h"

#include <QToolButton>

namespace tesmar {

void RecPage::readSettings(const IniFile& ini, char separator)
{
    auto readAxis = [&](int channel, const char* minKey, const char* maxKey) {
        QCPAxis* axis = chRec->channelAxis(channel);
        const double lo = ini.readFloat("main", minKey, axis->range().lower, separator);
        const double hi = ini.readFloat("main", maxKey, axis->range().upper, separator);
        if (hi > lo)
            axis->setRange(lo, hi);
    };
    knRecCh1->setIndexSelectData(static_cast<int>(ini.readInteger("main", "knRecCh1IndexSelectData", 28)));
    knRecCh2->setIndexSelectData(static_cast<int>(ini.readInteger("main", "knRecCh2IndexSelectData", 28)));
    readAxis(0, "chRecLeftAxisMinimum", "chRecLeftAxisMaximum");
    readAxis(1, "chRecRightAxisMinimum", "chRecRightAxisMaximum");
    sbRecOnCh1->setChecked(ini.readBool("main", "sbRecOnCh1", true));
    sbRecOnCh2->setChecked(ini.readBool("main", "sbRecOnCh2", false));
    if (!sbRecOnCh1->isChecked() && !sbRecOnCh2->isChecked())
        sbRecOnCh1->setChecked(true);
    for (int ch = 0; ch < 2; ++ch) {
        QToolButton* on = ch == 0 ? sbRecOnCh1 : sbRecOnCh2;
        on->setText(msg(on->isChecked() ? Msg::strChOn : Msg::strChOff));
        on->setStyleSheet(on->isChecked() ? (ch == 0 ? "color: red" : "color: blue") : "color: black");
    }
    knRecTimeDiv->setIndexSelectData(static_cast<int>(ini.readInteger("main", "knRecTimeDivIndexSelectData", 36)));
    knRecTimeDivChange();
}

void RecPage::writeSettings(IniFile& ini, char separator) const
{
    ini.writeInteger("main", "knRecCh1IndexSelectData", knRecCh1->IndexSelectData());
    ini.writeInteger("main", "knRecCh2IndexSelectData", knRecCh2->IndexSelectData());
    ini.writeFloat("main", "chRecLeftAxisMinimum", chRec->yAxis->range().lower, separator);
    ini.writeFloat("main", "chRecLeftAxisMaximum", chRec->yAxis->range().upper, separator);
    ini.writeFloat("main", "chRecRightAxisMinimum", chRec->yAxis2->range().lower, separator);
    ini.writeFloat("main", "chRecRightAxisMaximum", chRec->yAxis2->range().upper, separator);
    ini.writeBool("main", "sbRecOnCh1", sbRecOnCh1->isChecked());
    ini.writeBool("main", "sbRecOnCh2", sbRecOnCh2->isChecked());
    ini.writeInteger("main", "knRecTimeDivIndexSelectData", knRecTimeDiv->IndexSelectData());
}

} // namespace tesmar
