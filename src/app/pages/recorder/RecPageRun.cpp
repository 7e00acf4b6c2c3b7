// The recorder page: starting and stopping a recording, the elapsed time, live display and the
// summary after the end.

#include "app/pages/recorder/RecChart.h"
#include "app/pages/recorder/RecPage.h"
#include "app/options/OptionVariables.h"
#include "device/DeviceClock.h"
#include "text/MessageTable.h"
#include "settings/SystemSettings.h"
#include "recorder/RecorderSummary.h"
#include "recorder/acquisition/RecAcquisition.h"
#include "ui/knob/TOscKnob.h"

#include <QGroupBox>
#include <QLabel>
#include <QScrollBar>
#include <QTableWidget>
#include <QTimeEdit>
#include <QTimer>
#include <QToolButton>

#include <cmath>

namespace tesmar {

bool RecPage::running() const
{
    return acquisition_->running() || timerRunRec->isActive();
}

const RecorderRecord* RecPage::record() const
{
    const RecorderStream* stream = acquisition_->stream();
    return stream ? &stream->record() : nullptr;
}

RecorderBlockInput RecPage::blockInput() const
{
    RecorderBlockInput in;
    in.timeDiv = knRecTimeDiv->CurValueReal();
    in.chAOn = sbRecOnCh1->isChecked();
    in.chBOn = sbRecOnCh2->isChecked();
    in.rangeA = knRecCh1->CurValueReal();
    in.rangeB = knRecCh2->CurValueReal();
    in.calibration = ctx_.calibration;
    in.oldInputCodes = ctx_.system.old;
    in.disableAveraging = options_.rec_disable_average;
    in.workingLimit = limits_.workingLimit;
    in.displayLimit = limits_.displayLimit;
    return in;
}

std::string RecPage::timeText(double days) const
{
    return RecTimeText(days, options_.rec_time_in_us);
}

void RecPage::setControlsEnabled(bool enabled)
{
    // The marker table and the chart stay at hand: marks are set while the record grows.
    for (QWidget* w : {static_cast<QWidget*>(grboxRecCh1), static_cast<QWidget*>(grboxRecCh2),
                       static_cast<QWidget*>(grboxRecTimeDiv), static_cast<QWidget*>(spRecStop),
                       static_cast<QWidget*>(dtRecStop), static_cast<QWidget*>(lsbRecSetupHide),
                       static_cast<QWidget*>(cbRecZoom)})
        w->setEnabled(enabled);
}

void RecPage::sbRecRunClick()
{
    if (!sbRecRun->isChecked()) {
        // Released ("Сброс"): a start still waiting for its timer simply ends.
        if (timerRunRec->isActive()) {
            timerRunRec->stop();
            RecordingFinished();
            return;
        }
        if (acquisition_->running())
            acquisition_->stop();
        return;
    }
    if (acquisition_->running() || !ctx_.requireDevice()) {
        // A stop still under way ends first; without an instrument nothing starts.
        sbRecRun->setChecked(false);
        return;
    }
    if (!spRecStop->isChecked()) {
        dtRecStop->setTime(QTime(0, 0, 0));
    } else if (dtRecStop->time() == QTime(0, 0, 0)) {
        sbRecRun->setChecked(false);
        return;
    }
    chRec->setRecord(nullptr);
    acquisition_->clear();
    shownCount_ = 0;
    shownSecond_ = -1;
    following_ = false;
    stayWindow_ = {};
    UpdateTimeAxis();
    sbRecRun->setText(msg(Msg::strReset));
    sbRecRun->setStyleSheet("color: red");
    sbRecRun->setToolTip(msg(Msg::strStop));
    ctx_.setStatusText(msg(Msg::strStop));
    setControlsEnabled(false);
    clearSummary();
    lbRecRunTime->setText(QString::fromStdString(timeText(0)));
    ctx_.lockPages(2);
    timerRunRec->start();
}

void RecPage::timerRunRecTimer()
{
    const RecorderBlockInput input = blockInput();
    const RecorderBlock block = BuildRecorderBlock(input);
    RecorderSettings s;
    s.pointPeriod = QuantizePeriod(input.timeDiv);
    s.averaging = block.averaging;
    s.chAOn = block.chAOn;
    s.chBOn = block.chBOn;
    s.pairA = block.pairA;
    s.pairB = block.pairB;
    s.eightBit = ctx_.system.eightBit;
    s.liveDisplay = limits_.liveDisplay;
    s.dynamicMemory = options_.rec_dynamic_mem;
    if (spRecStop->isChecked())
        s.autoStopSeconds = dtRecStop->time().msecsSinceStartOfDay() / 1000.0;
    liveDisplay_ = s.liveDisplay;
    recordPeriod_ = s.pointPeriod;
    chRec->setChannelShown(0, s.chAOn);
    chRec->setChannelShown(1, s.chBOn);
    acquisition_->start(block, s);
    setUnsavedRecord(true);
    chRec->setNotice(liveDisplay_ ? QString() : msg(Msg::strRecNoLiveDisplay).replace('\r', '\n'));
    chRec->setRecord(record());
    chRec->replot(QCustomPlot::rpQueuedReplot);
    following_ = liveDisplay_;
    timerRecShow->start();
}

void RecPage::liveTick()
{
    const RecorderStream* stream = acquisition_->stream();
    if (!stream)
        return;
    showRunningTime();
    if (!liveDisplay_)
        return;
    const std::size_t count = stream->record().count();
    if (count != shownCount_) {
        shownCount_ = count;
        UpdateTimeAxis();
    }
}

void RecPage::showRunningTime()
{
    const RecorderStream* stream = acquisition_->stream();
    if (!stream)
        return;
    const double t = stream->elapsedDays();
    if (liveDisplay_) {
        lbRecRunTime->setText(QString::fromStdString(timeText(t)));
        return;
    }
    if (options_.rec_hide_time)
        return;
    // Without live display the time moves on whole seconds of recorded time.
    const auto second = static_cast<long long>(std::floor(t * kSecondsPerDay));
    if (second != shownSecond_) {
        shownSecond_ = second;
        lbRecRunTime->setText(QString::fromStdString(timeText(second / kSecondsPerDay)));
    }
}

void RecPage::RecordingFinished()
{
    chRec->setNotice({});
    timerRecShow->stop();
    timerRecStallPos->stop();
    const RecorderStream* stream = acquisition_->stream();
    if (stream)
        lbRecRunTime->setText(QString::fromStdString(timeText(stream->elapsedDays())));
    sbRecRun->setChecked(false);
    sbRecRun->setText(msg(Msg::strStart));
    sbRecRun->setStyleSheet("color: green");
    sbRecRun->setToolTip(msg(Msg::strStartHint));
    ctx_.setStatusText({});
    setControlsEnabled(true);
    ctx_.unlockPages();
    // The end of the record is shown, then the user scrolls.
    following_ = true;
    UpdateTimeAxis();
    following_ = false;
    showSummary();
    if (stream)
        if (const auto key = RecorderStatusMessage(stream->status()))
            ctx_.showWarning(msg(*key));
}

void RecPage::clearSummary()
{
    for (int ch = 0; ch < 2; ++ch)
        for (QLabel* l : {lbRecUmax[ch], lbRecUmin[ch], lbRecUsr[ch]})
            l->clear();
}

void RecPage::showSummary()
{
    const RecorderRecord* r = record();
    for (int ch = 0; ch < 2; ++ch) {
        const SummaryTexts t = FormatSummary(r ? SummarizeChannel(*r, ch) : std::nullopt, decimalSeparator());
        lbRecUmax[ch]->setText(QString::fromStdString(t.max));
        lbRecUmin[ch]->setText(QString::fromStdString(t.min));
        lbRecUsr[ch]->setText(QString::fromStdString(t.mean));
    }
}

void RecPage::finishRecording()
{
    if (!acquisition_->running())
        return;
    timerRunRec->stop();
    acquisition_->shutdown();
    RecordingFinished();
}

void RecPage::shutdown()
{
    timerRunRec->stop();
    timerRecShow->stop();
    acquisition_->shutdown();
}

} // namespace tesmar
