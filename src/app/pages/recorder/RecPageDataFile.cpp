// The recorder page to and from a measurement data file.

#include "app/pages/recorder/RecChart.h"
#include "app/pages/recorder/RecPage.h"
#include "recorder/RecorderDataFile.h"
#include "recorder/acquisition/RecAcquisition.h"
#include "app/pages/PageDataFileFields.h"
#include "formats/PageRecordChecks.h"
#include "ui/knob/TOscKnob.h"

#include <QComboBox>
#include <QLabel>
#include <QToolButton>

#include <algorithm>
#include <cmath>

namespace tesmar {

bool RecPage::hasDataToSave() const
{
    const RecorderRecord* r = record();
    return r && r->count() > 0 && !running();
}

RecorderSettingsChunk RecPage::settingsChunk() const
{
    const RecorderRecord& r = *record();
    RecorderSettingsChunk s;
    s.samplePeriod = r.layout().pointPeriod;
    s.cbRecZoom = static_cast<std::uint16_t>(std::max(0, cbRecZoom->currentIndex()));
    s.sbRecOnCh1 = sbRecOnCh1->isChecked();
    s.sbRecOnCh2 = sbRecOnCh2->isChecked();
    s.knRecTimeDiv = static_cast<std::uint16_t>(knRecTimeDiv->IndexSelectData());
    s.knRecCh1 = static_cast<std::uint16_t>(knRecCh1->IndexSelectData());
    s.knRecCh2 = static_cast<std::uint16_t>(knRecCh2->IndexSelectData());
    s.leftAxis = LimitsOf(chRec->channelAxis(0));
    s.rightAxis = LimitsOf(chRec->channelAxis(1));
    s.timeAxis = LimitsOf(chRec->xAxis);
    s.lbRecRunTime = lbRecRunTime->text().toStdString();
    s.lbRecUmaxCh1 = lbRecUmax[0]->text().toStdString();
    s.lbRecUminCh1 = lbRecUmin[0]->text().toStdString();
    s.lbRecUsrCh1 = lbRecUsr[0]->text().toStdString();
    s.lbRecUmaxCh2 = lbRecUmax[1]->text().toStdString();
    s.lbRecUminCh2 = lbRecUmin[1]->text().toStdString();
    s.lbRecUsrCh2 = lbRecUsr[1]->text().toStdString();
    for (int slot = 1; slot <= kRecorderMarkerSlots; ++slot)
        if (const RecMarker* m = markers_.marker(slot))
            s.markers[slot - 1] = {true, m->comment, m->colour, m->time};
    return s;
}

std::optional<DataFileView> RecPage::saveDataFileView() const
{
    if (!hasDataToSave())
        return std::nullopt;
    const RecorderRecord& r = *record();
    DataFileView view{DataFile{settingsChunk(), {}, {}, {}, {}, {}}, {}, {}};
    for (int ch = 0; ch < 2; ++ch)
        if (r.on(ch))
            (ch == 0 ? view.channelA : view.channelB) = RecordValues(r, ch);
    return view;
}

std::optional<DataFile> RecPage::saveDataFile() const
{
    if (!hasDataToSave())
        return std::nullopt;
    const RecorderRecord& r = *record();
    DataFile file{settingsChunk(), {}, {}, {}, {}, {}};
    const std::size_t n = r.count();
    for (int ch = 0; ch < 2; ++ch) {
        if (!r.on(ch))
            continue;
        std::vector<double> values(n);
        for (std::size_t i = 0; i < n; ++i)
            values[i] = r.channel(ch).at(i);
        (ch == 0 ? file.channelA : file.channelB) = std::move(values);
    }
    return file;
}

bool RecPage::openDataFile(const DataFile& file)
{
    const RecorderSettingsChunk* s = RecorderRecordSettings(file);
    if (!s || running())
        return false;
    const std::vector<double>* a = file.channelA ? &*file.channelA : nullptr;
    const std::vector<double>* b = file.channelB ? &*file.channelB : nullptr;
    std::unique_ptr<RecorderStream> stream;
    if (a || b) {
        stream = RecorderStream::FromValues(s->samplePeriod, a, b);
        if (!stream)
            return false; // no memory for it: the record on screen stays
    }
    showDataFile(*s, std::move(stream));
    return true;
}

bool RecPage::openDataFile(const DataFileScan& scan, DataFileSource& source)
{
    const RecorderSettingsChunk* s = RecorderRecordSettings(scan.head);
    if (!s || running())
        return false;
    std::unique_ptr<RecorderStream> stream;
    if (scan.chunkA || scan.chunkB) {
        stream = RecordFromDataFile(scan, source);
        if (!stream)
            return false; // no memory for it, or the file failed under us: the record on screen stays
    }
    showDataFile(*s, std::move(stream));
    return true;
}

void RecPage::showDataFile(const RecorderSettingsChunk& s, std::unique_ptr<RecorderStream> stream)
{
    const bool hasA = stream && stream->record().on(0);
    const bool hasB = stream && stream->record().on(1);
    // From here on the page shows the file.
    DeleteAllMarkers();
    chRec->setRecord(nullptr);
    acquisition_->clear();
    recordPeriod_ = s.samplePeriod;
    sbRecOnCh1->setChecked(s.sbRecOnCh1 || !s.sbRecOnCh2);
    sbRecOnCh2->setChecked(s.sbRecOnCh2);
    knRecCh1->setIndexSelectData(s.knRecCh1);
    knRecCh2->setIndexSelectData(s.knRecCh2);
    knRecTimeDiv->setIndexSelectData(s.knRecTimeDiv);
    for (int ch = 0; ch < 2; ++ch) {
        const AxisLimits& limits = ch == 0 ? s.leftAxis : s.rightAxis;
        if (Usable(limits))
            chRec->channelAxis(ch)->setRange(limits.min, limits.max);
    }
    lbRecRunTime->setText(QString::fromStdString(s.lbRecRunTime));
    const std::string* texts[2][3] = {{&s.lbRecUmaxCh1, &s.lbRecUminCh1, &s.lbRecUsrCh1},
                                      {&s.lbRecUmaxCh2, &s.lbRecUminCh2, &s.lbRecUsrCh2}};
    for (int ch = 0; ch < 2; ++ch) {
        lbRecUmax[ch]->setText(QString::fromStdString(*texts[ch][0]));
        lbRecUmin[ch]->setText(QString::fromStdString(*texts[ch][1]));
        lbRecUsr[ch]->setText(QString::fromStdString(*texts[ch][2]));
    }

    if (stream) {
        acquisition_->adopt(std::move(stream));
        chRec->setChannelShown(0, hasA);
        chRec->setChannelShown(1, hasB);
    }
    chRec->setRecord(record());
    sbRecOnCh1Click();
    sbRecOnCh2Click();
    {
        const QSignalBlocker quiet(cbRecZoom);
        cbRecZoom->setCurrentIndex(std::clamp<int>(s.cbRecZoom, 0, cbRecZoom->count() - 1));
    }
    cbRecZoomChange();
    if (Usable(s.timeAxis))
        setWindow({s.timeAxis.min, s.timeAxis.max});

    for (int slot = 1; slot <= kRecorderMarkerSlots; ++slot) {
        const RecorderMarkerSlot& m = s.markers[slot - 1];
        if (m.exists && std::isfinite(m.position))
            PlaceMarker(slot, m.colour, QString::fromStdString(m.comment), m.position);
    }
}

void RecPage::clearPage()
{
    if (running())
        return;
    // The user markers stay: they mark times, not values, and the next record may use them.
    chRec->setRecord(nullptr);
    acquisition_->clear();
    shownCount_ = 0;
    shownSecond_ = -1;
    clearSummary();
    lbRecRunTime->setText(QString::fromStdString(timeText(0)));
    knRecTimeDivChange();
    UpdateMarkerReadouts();
    chRec->replot();
    setUnsavedRecord(false);
}

} // namespace tesmar
