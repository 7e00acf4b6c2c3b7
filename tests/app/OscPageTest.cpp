// The oscilloscope page in the main window, against the virtual instrument with a fast clock.

#include "MainWindowHarness.h"
#include "app/MainMenu.h"
#include "app/TfmMain.h"
#include "app/UserMessages.h"
#include "app/pages/osc/OscChart.h"
#include "app/pages/osc/OscPage.h"
#include "filter/FilterResponse.h"
#include "settings/IniFile.h"
#include "sim/AnalogEngine.h"
#include "sim/VirtualInstrument.h"
#include "ui/knob/TOscKnob.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QToolButton>
#include <QSignalSpy>
#include <QtTest>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <memory>

using namespace tesmar;

namespace {

// The oscilloscope page of a started main window, with the virtual instrument's signals.
struct Harness : testing::MainWindowHarness {
    Harness() : MainWindowHarness(50.0, true) { start(); }
    OscPage& page() { return *window->oscPage(); }
};

} // namespace

class OscPageTest : public QObject {
    Q_OBJECT

private slots:
    void controlsAndDefaults()
    {
        Harness h;
        OscPage& p = h.page();
        QVERIFY(p.findChild<TOscKnob*>("knOscTimeDiv"));
        QCOMPARE(p.knOscTimeDiv->IndexSelectData(), 38);
        QCOMPARE(p.knOscCh1->IndexSelectData(), 28);
        QCOMPARE(p.sbOscRunSingle->text(), QString("Однокр."));
        QCOMPARE(p.sbOscRun->text(), QString("Цикл."));
        QVERIFY(p.sbOscOnCh1->isChecked());
        QVERIFY(!p.sbOscOnCh2->isChecked());
        QVERIFY(!p.sbOscTriggerSourceCh2->isEnabled());
        QCOMPARE(p.pnOscViewReadType->text(), QString("Buf"));
        // 5 µs buffer record, no data: microseconds, 0 … 5630
        QCOMPARE(p.chOsc->xAxis->label(), QString("Время, мкс"));
        QCOMPARE(p.chOsc->xAxis->range().lower, 0.0);
        QVERIFY(qAbs(p.chOsc->xAxis->range().upper - 5630) < 1e-6);
    }

    void singleRunDrawsTheTriggeredSine()
    {
        Harness h;
        OscPage& p = h.page();
        p.knOscTimeDiv->setIndexSelectData(30); // 25 µs: 1126 points span 28 ms
        p.knOscCh1->setIndexSelectData(10);     // 2 V
        QTest::mouseClick(p.sbOscTriggerOn, Qt::LeftButton);
        p.chOsc->setTriggerLevel(0, 0.0);
        QTest::mouseClick(p.sbOscRunSingle, Qt::LeftButton);
        QCOMPARE(p.sbOscRunSingle->text(), QString("Сброс"));
        QVERIFY(!h.window->page(1)->isEnabled());
        QTRY_VERIFY_WITH_TIMEOUT(p.sbOscRunSingle->text() == "Однокр.", 10000);
        QVERIFY(h.window->page(1)->isEnabled());
        const ProcessedRecord* r = p.shownRecord();
        QVERIFY(r);
        QCOMPARE(int(r->a.values.size()), 1126);
        QCOMPARE(r->a.trigIndex, 99);
        QVERIFY(r->a.values[98] <= 0.1 && r->a.values[100] >= -0.1); // rising through 0 V at time 0
        QCOMPARE(p.chOsc->srOsc_Ch1->dataCount(), 1126);
        QVERIFY(qAbs(p.chOsc->srOsc_Ch1->data()->at(99)->key) < 1e-9);
        QVERIFY(!p.lbOscUc[0]->text().isEmpty());
        QVERIFY(!p.lbOscF[0]->text().isEmpty());
    }

    void resetWhileWaitingDrawsNothing()
    {
        Harness h;
        OscPage& p = h.page();
        QTest::mouseClick(p.sbOscTriggerOn, Qt::LeftButton);
        p.chOsc->setTriggerLevel(0, 19.0); // never reached
        QTest::mouseClick(p.sbOscRunSingle, Qt::LeftButton);
        QTest::qWait(100);
        const int resets = h.instrument.resetCount();
        QTest::mouseClick(p.sbOscRunSingle, Qt::LeftButton); // release: reset
        QTRY_VERIFY_WITH_TIMEOUT(p.sbOscRunSingle->text() == "Однокр.", 5000);
        QVERIFY(h.instrument.resetCount() > resets);
        QCOMPARE(p.chOsc->srOsc_Ch1->dataCount(), 0);
        QVERIFY(!p.acquisition().running());
    }

    void triggerRules()
    {
        Harness h;
        OscPage& p = h.page();
        QTest::mouseClick(p.sbOscTriggerSourceExt, Qt::LeftButton);
        QVERIFY(p.sbOscTriggerOn->isChecked()); // auto trigger on
        QVERIFY(!p.spOscTriggerAbs->isEnabled());
        QVERIFY(!p.spOscTriggerDif->isEnabled());
        p.knOscTimeDiv->setIndexSelectData(0); // 10 ms: stream with the boundary at "Все"? no: 999 s
        QCOMPARE(p.pnOscViewReadType->text(), QString("Buf"));
        QTest::mouseClick(p.sbOscTriggerSourceCh1, Qt::LeftButton);
        QTest::mouseClick(p.spOscTriggerDif, Qt::LeftButton);
        QVERIFY(p.edOscTriggerDif->isEnabled());
        QVERIFY(!p.chOsc->triggerLinesVisible());
        QTest::mouseClick(p.spOscTriggerAbs, Qt::LeftButton);
        QVERIFY(!p.edOscTriggerDif->isEnabled());
        QVERIFY(p.chOsc->triggerLinesVisible());
    }

    void thresholdFieldFiltersKeysAndClamps()
    {
        QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
        Harness h;
        OscPage& p = h.page();
        QTest::mouseClick(p.spOscTriggerDif, Qt::LeftButton);
        p.edOscTriggerDif->clear();
        QTest::keyClicks(p.edOscTriggerDif, ",1,2,3x");
        QCOMPARE(p.edOscTriggerDif->text(), QString("1,23"));
        p.edOscTriggerDif->setText("25");
        QTest::keyClick(p.edOscTriggerDif, Qt::Key_Return);
        QCOMPARE(p.edOscTriggerDif->text(), QString("20"));
        QCOMPARE(p.differenceThreshold(), 20.0);
        p.edOscTriggerDif->setText("abc");
        QTest::keyClick(p.edOscTriggerDif, Qt::Key_Return);
        QCOMPARE(p.differenceThreshold(), 20.0);
        QLocale::setDefault(QLocale::c());
    }

    void rangeKnobAndZeroMenu()
    {
        Harness h;
        OscPage& p = h.page();
        p.knOscCh1->setIndexSelectData(13); // 5 V
        QCOMPARE(p.chOsc->yAxis->range().lower, -5.0);
        QCOMPARE(p.chOsc->yAxis->range().upper, 5.0);
        p.ZeroMenuClick(0, 30);
        QVERIFY(qAbs(p.chOsc->yAxis->range().lower + 7) < 1e-12);
        QVERIFY(qAbs(p.chOsc->yAxis->range().upper - 3) < 1e-12);
    }

    void channelsAndStreamMode()
    {
        Harness h;
        OscPage& p = h.page();
        h.window->oscOptions().count_osc_index_buf = 1;
        // boundary: the period of knob entry 0 (10 ms); 10 ms itself streams
        p.knOscTimeDiv->setIndexSelectData(0);
        QCOMPARE(p.pnOscViewReadType->text(), QString("Pipe"));
        QVERIFY(!p.sbOscTriggerSourceExt->isEnabled());
        QCOMPARE(p.chOsc->xAxis->label(), QString("Время, сек"));
        QVERIFY(qAbs(p.chOsc->xAxis->range().upper - 81.92) < 1e-9);
        QTest::mouseClick(p.sbOscOnCh1, Qt::LeftButton); // the last channel stays on
        QVERIFY(p.sbOscOnCh1->isChecked());
        QTest::mouseClick(p.sbOscOnCh2, Qt::LeftButton);
        QVERIFY(p.sbOscTriggerSourceCh2->isEnabled());
        QCOMPARE(p.knOscTimeDiv->IndexMaxEnable(), 34);
    }

    void movingTheLevelWhileASingleRunWaitsRearmsIt()
    {
        Harness h;
        OscPage& p = h.page();
        p.knOscTimeDiv->setIndexSelectData(30); // 25 µs, buffer mode
        QTest::mouseClick(p.sbOscTriggerOn, Qt::LeftButton);
        p.chOsc->setTriggerLevel(0, 19.0); // far above the sine: the run waits
        QTest::mouseClick(p.sbOscRunSingle, Qt::LeftButton);
        QTest::qWait(400);
        QVERIFY(p.acquisition().running());
        // The status says what the run waits for, and the trigger group shows the level.
        const auto status = [&h] { return h.window->findChild<QLabel*>("stbrMainPanel")->text(); };
        const QRegularExpression waiting("^Ждем синхронизации: уровень 19[.,]00 В на канале A ");
        QVERIFY2(status().contains(waiting), qPrintable(status()));
        p.chOsc->replot();
        QVERIFY(p.lbOscTriggerLevel->text().contains(QRegularExpression("^A: 19[.,]00 В$")));
        QVERIFY(p.chOsc->levelText(1).contains(QRegularExpression("^-2[.,]00 В$")));

        // The user drags the level into the signal: the run goes on with it and ends with a record.
        p.chOsc->setTriggerLevel(0, 0.0);
        emit p.chOsc->triggerLevelReleased(0);
        QVERIFY2(status().contains(QRegularExpression(" 0[.,]00 В на канале A")) || !p.acquisition().running(),
                 qPrintable(status()));
        QTRY_VERIFY_WITH_TIMEOUT(p.sbOscRunSingle->text() == "Однокр.", 10000);
        const ProcessedRecord* r = p.shownRecord();
        QVERIFY(r);
        QCOMPARE(r->a.trigIndex, 99);
        QVERIFY(r->a.values[98] <= 0.1 && r->a.values[100] >= -0.1);
    }

    void triggerRestartRules()
    {
        Harness h;
        OscPage& p = h.page();
        QTest::mouseClick(p.sbOscTriggerOn, Qt::LeftButton);
        p.chOsc->setTriggerLevel(0, 19.0); // the record never comes: the reader keeps waiting
        QTest::mouseClick(p.sbOscRun, Qt::LeftButton);
        QVERIFY(p.acquisition().running());
        const int resets = h.instrument.resetCount();

        p.knOscCh1->setIndexSelectData(20); // within 300 ms of the start: delayed
        QVERIFY(p.timerResetOscTrigger->isActive());
        QCOMPARE(h.instrument.resetCount(), resets);
        QTRY_COMPARE_WITH_TIMEOUT(h.instrument.resetCount(), resets + 1, 2000); // block resent
        QVERIFY(p.acquisition().running()); // the same reader goes on waiting

        QTest::qWait(350);
        QTest::mouseClick(p.sbOscTriggerOn, Qt::LeftButton); // switching it off restarts
        QCOMPARE(h.instrument.resetCount(), resets + 2);

        QTest::qWait(350);
        p.ZeroMenuClick(0, 30); // trigger off: no restart
        QTest::qWait(350);
        QCOMPARE(h.instrument.resetCount(), resets + 2);

        QTest::mouseClick(p.sbOscRun, Qt::LeftButton); // release: stop
        QTRY_VERIFY_WITH_TIMEOUT(p.sbOscRun->text() == "Цикл.", 5000);
        QVERIFY(p.sbOscRunSingle->isEnabled());
        QVERIFY(!p.acquisition().running());
    }

    void cyclicRunsFollowEachOther()
    {
        Harness h;
        OscPage& p = h.page();
        p.knOscTimeDiv->setIndexSelectData(30); // 25 µs, buffer mode
        QSignalSpy records(&p.acquisition(), &OscAcquisition::completed);
        QTest::mouseClick(p.sbOscRun, Qt::LeftButton);
        QVERIFY(!p.sbOscRunSingle->isEnabled());
        QTRY_VERIFY_WITH_TIMEOUT(records.count() >= 3, 10000);
        QVERIFY(!p.timerRunOsc->isActive()); // buffer mode: the next record starts at once
        QVERIFY(p.acquisition().running());

        QTest::mouseClick(p.sbOscRun, Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(p.sbOscRunSingle->isEnabled(), 5000);
        QTRY_VERIFY_WITH_TIMEOUT(!p.acquisition().running(), 5000);

        // stream mode: the next record waits for the 50 ms timer
        h.window->options().count_osc_index_buf = 1;
        p.knOscTimeDiv->setIndexSelectData(0); // 10 ms reaches the 10 ms boundary; a short record
        h.window->options().count_osc_sample_pipe = 16;
        h.window->options().count_osc_pass_sample_pipe = 10;
        p.knOscTimeDivChange();
        QCOMPARE(p.pnOscViewReadType->text(), QString("Pipe"));
        QCOMPARE(p.timerRunOsc->interval(), 50);
        records.clear();
        QTest::mouseClick(p.sbOscRun, Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(records.count() >= 1, 20000);
        QTRY_VERIFY_WITH_TIMEOUT(p.timerRunOsc->isActive() || p.acquisition().running(), 2000);
        QTest::mouseClick(p.sbOscRun, Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(p.sbOscRunSingle->isEnabled(), 5000);
        QTRY_VERIFY_WITH_TIMEOUT(!p.acquisition().running() && !p.timerRunOsc->isActive(), 5000);
    }

    void faultsEndTheRunWithoutDrawing()
    {
        Harness h;
        OscPage& p = h.page();
        h.window->options().count_osc_index_buf = 1;
        p.knOscTimeDiv->setIndexSelectData(0); // stream
        QTest::mouseClick(p.sbOscRun, Qt::LeftButton);
        QTest::qWait(50);
        h.instrument.unplug(); // the pending read fails: the run ends, nothing is drawn
        QTRY_VERIFY_WITH_TIMEOUT(p.sbOscRun->text() == "Цикл.", 5000);
        QTRY_VERIFY_WITH_TIMEOUT(!p.acquisition().running(), 5000);
        QCOMPARE(p.chOsc->srOsc_Ch1->dataCount(), 0);
        QVERIFY(h.window->page(1)->isEnabled());

        // The old device's detach may reach the session after the run has ended: wait for the new
        // one to be taken, not for "attached", which the old handle answers until then.
        const unsigned attaches = h.window->session().attachCount();
        h.instrument.plug();
        QTRY_VERIFY_WITH_TIMEOUT(h.window->session().attachCount() > attaches, 5000);
        p.knOscTimeDiv->setIndexSelectData(30); // buffer mode
        h.instrument.shortenNextRead(0, 1);     // the second part read brings nothing
        h.instrument.failNextReads(0);
        QTest::mouseClick(p.sbOscRunSingle, Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(p.sbOscRunSingle->text() == "Однокр.", 5000);
        QVERIFY(!p.acquisition().running());
        QCOMPARE(p.chOsc->srOsc_Ch1->dataCount(), 0); // a record with a part missing is not drawn
    }

    void slowStreamRecordIsDrawnAsItFillsAndStaysAfterReset()
    {
        testing::MainWindowHarness h(10.0, true); // 10 ms per point: 82 s of record in 8 s
        OscPage& p = *h.start().oscPage();
        h.window->oscOptions().count_osc_index_buf = 1;
        p.knOscTimeDiv->setIndexSelectData(0); // 10 ms: stream
        QCOMPARE(p.pnOscViewReadType->text(), QString("Pipe"));
        const QCPRange axis = p.chOsc->xAxis->range();
        QVERIFY(qAbs(axis.upper - 81.92) < 1e-9);
        QTest::mouseClick(p.sbOscRunSingle, Qt::LeftButton);

        QTRY_VERIFY_WITH_TIMEOUT(p.chOsc->srOsc_Ch1->dataCount() > 0, 5000);
        QVERIFY(p.acquisition().running()); // drawn while the record fills
        const int first = p.chOsc->srOsc_Ch1->dataCount();
        QVERIFY(first < 8192);
        QTRY_VERIFY_WITH_TIMEOUT(p.chOsc->srOsc_Ch1->dataCount() > first, 5000);
        QVERIFY(p.acquisition().running());
        // The curve grows across the whole record's axis, from its start, in time order.
        QCOMPARE(p.chOsc->xAxis->range(), axis);
        const auto data = p.chOsc->srOsc_Ch1->data();
        QCOMPARE(data->constBegin()->key, 0.0);
        QVERIFY((data->constEnd() - 1)->key < 81.92);
        QVERIFY(qAbs(data->at(1)->key - 0.01) < 1e-9);
        QVERIFY(!p.lbOscMarker2VoltA->text().isEmpty() || !p.lbOscMarker1VoltA->text().isEmpty());

        const int beforeReset = p.chOsc->srOsc_Ch1->dataCount();
        QTest::mouseClick(p.sbOscRunSingle, Qt::LeftButton); // "Сброс"
        QTRY_VERIFY_WITH_TIMEOUT(p.sbOscRunSingle->text() == "Однокр.", 5000);
        QVERIFY(!p.acquisition().running());
        QVERIFY(p.chOsc->srOsc_Ch1->dataCount() >= beforeReset); // what was seen stays
        QVERIFY(p.chOsc->srOsc_Ch1->dataCount() < 8192);
        QCOMPARE(p.chOsc->xAxis->range(), axis);
        QTest::qWait(400);
        QVERIFY(p.chOsc->srOsc_Ch1->dataCount() >= beforeReset); // and nothing takes it away later
    }

    // The general parameters describe the stream record on the screen, not the buffer record
    // before it: the 1 kHz sine averaged over 10 ms points is flat, so it has no frequency.
    void streamRecordShowsItsOwnParameters()
    {
        testing::MainWindowHarness h(10.0, true);
        OscPage& p = *h.start().oscPage();
        p.knOscTimeDiv->setIndexSelectData(30); // 25 µs: buffer
        QTest::mouseClick(p.sbOscRunSingle, Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(p.sbOscRunSingle->text() == "Однокр.", 10000);
        const QString bufferF = p.lbOscF[0]->text(), bufferUv = p.lbOscUv[0]->text();
        QVERIFY(bufferF.contains("Гц"));

        h.window->oscOptions().count_osc_index_buf = 1;
        p.knOscTimeDiv->setIndexSelectData(0); // 10 ms: stream
        QTest::mouseClick(p.sbOscRunSingle, Qt::LeftButton);
        // The stream's own points, 10 ms apart on an axis in seconds, have replaced the buffer's.
        const auto streamDrawn = [&] {
            const auto data = p.chOsc->srOsc_Ch1->data();
            return data->size() > 20 && qAbs(data->at(1)->key - 0.01) < 1e-9;
        };
        QTRY_VERIFY_WITH_TIMEOUT(streamDrawn(), 5000);
        QVERIFY(p.acquisition().running());
        QCOMPARE(p.lbOscF[0]->text(), QString("не опред."));
        QVERIFY(p.lbOscUv[0]->text() != bufferUv);

        QTest::mouseClick(p.sbOscRunSingle, Qt::LeftButton); // "Сброс": the part drawn stays
        QTRY_VERIFY_WITH_TIMEOUT(p.sbOscRunSingle->text() == "Однокр.", 5000);
        QVERIFY(p.chOsc->srOsc_Ch1->dataCount() > 0);
        QCOMPARE(p.lbOscF[0]->text(), QString("не опред."));
        QVERIFY(p.lbOscUv[0]->text() != bufferUv);
    }

    // B's 500 Hz square of ±1 V through a low-pass that keeps its fundamental: the filtered curve
    // covers the whole two-channel record and follows a 1.27 V sine to both ends; the marker
    // readouts read the drawn curve, and so do the general parameters "После обработки" (while
    // "До обработки" keeps them on the samples as measured).
    void filteredTraceCoversTheRecordAndItsReadoutsReadIt()
    {
        Harness h;
        OscPage& p = h.page();
        FilterResponse& response = h.window->filterResponses()[1];
        response.points = {{1, 1}, {600, 1}, {1000, 0}, {10'000, 0}};
        p.chboxOscFiltrationOnCh2->setChecked(true);
        QTest::mouseClick(p.sbOscOnCh2, Qt::LeftButton);
        p.knOscTimeDiv->setIndexSelectData(31); // 20 µs: 563 points per channel, 11.26 ms
        QCOMPARE(p.pnOscViewReadType->text(), QString("Buf"));
        const auto number = [](const QLabel* label) { // volts, from "0,89 В" or "894,48 мВ"
            const double v = label->text().section(' ', 0, -2, QString::SectionSkipEmpty).replace(',', '.').toDouble();
            return label->text().contains("мВ") ? v / 1000 : v;
        };
        for (bool after : {true, false}) {
            (after ? h.window->menu().miAnalogGetParamAfter : h.window->menu().miAnalogGetParamBefore)->trigger();
            QTest::mouseClick(p.sbOscRunSingle, Qt::LeftButton);
            QTRY_VERIFY_WITH_TIMEOUT(p.sbOscRunSingle->text() == "Однокр.", 10000);
            const auto data = p.chOsc->srOsc_Ch2->data();
            QCOMPARE(data->size(), 563);

            // The fundamental fitted to the middle of the record, then compared at every point.
            const double w = 2 * M_PI * 500 / 1000; // the axis is in ms
            double cc = 0, ss = 0, cs = 0, vc = 0, vs = 0;
            for (int i = 150; i < 413; ++i) {
                const double t = data->at(i)->key, v = data->at(i)->value;
                cc += std::cos(w * t) * std::cos(w * t);
                ss += std::sin(w * t) * std::sin(w * t);
                cs += std::cos(w * t) * std::sin(w * t);
                vc += v * std::cos(w * t);
                vs += v * std::sin(w * t);
            }
            const double det = cc * ss - cs * cs;
            const double c = (vc * ss - vs * cs) / det, s = (vs * cc - vc * cs) / det;
            QVERIFY(qAbs(std::hypot(c, s) - 4 / M_PI) < 0.05);
            double worst = 0, sum = 0, squares = 0;
            for (int i = 0; i < data->size(); ++i) {
                const double t = data->at(i)->key, v = data->at(i)->value;
                worst = std::max(worst, qAbs(v - c * std::cos(w * t) - s * std::sin(w * t)));
                sum += v;
                squares += v * v;
            }
            QVERIFY2(worst < 0.15, qPrintable(QString::number(worst)));

            // Marker 1 reads the drawn curve where it stands.
            const double t1 = p.chOsc->markerTime(0);
            auto it = std::lower_bound(data->constBegin(), data->constEnd(), t1,
                                       [](const QCPGraphData& d, double t) { return d.key < t; });
            if (it != data->constBegin() && it != data->constEnd()) {
                const auto before = it - 1;
                const double v = before->value + (t1 - before->key) * (it->value - before->value) / (it->key - before->key);
                QVERIFY(qAbs(number(p.lbOscMarker1VoltB) - v) < 0.006);
            }
            const double uv = std::sqrt(squares / data->size() - (sum / data->size()) * (sum / data->size()));
            if (after)
                QVERIFY2(qAbs(number(p.lbOscUv[1]) - uv) < 0.006, qPrintable(p.lbOscUv[1]->text()));
            else
                QVERIFY2(qAbs(number(p.lbOscUv[1]) - 1.0) < 0.03, qPrintable(p.lbOscUv[1]->text()));
        }
    }

    void aPressOnAZeroMarkTakesTheZeroNotTheMarkerBesideIt()
    {
        Harness h;
        OscPage& p = h.page();
        h.window->show();
        QVERIFY(QTest::qWaitForWindowExposed(h.window.get()));
        p.chOsc->replot();
        const QRect plot = p.chOsc->axisRect()->rect();
        const double m1 = p.chOsc->markerTime(0);
        QCOMPARE(p.chOsc->xAxis->coordToPixel(m1), double(plot.left())); // M1 starts on the left edge
        const double lowerA = p.chOsc->yAxis->range().lower;
        const double lowerB = p.chOsc->yAxis2->range().lower;

        auto drag = [&](QPointF from, QPointF to) {
            QMouseEvent press(QEvent::MouseButtonPress, from, p.chOsc->mapToGlobal(from), Qt::LeftButton,
                              Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(p.chOsc, &press);
            QMouseEvent move(QEvent::MouseMove, to, p.chOsc->mapToGlobal(to), Qt::NoButton, Qt::LeftButton,
                             Qt::NoModifier);
            QApplication::sendEvent(p.chOsc, &move);
            QMouseEvent release(QEvent::MouseButtonRelease, to, p.chOsc->mapToGlobal(to), Qt::LeftButton,
                                Qt::NoButton, Qt::NoModifier);
            QApplication::sendEvent(p.chOsc, &release);
        };
        // Zero mark of A: just left of the plot, at 0 V, where M1's grip reaches too.
        const double zeroA = p.chOsc->yAxis->coordToPixel(0);
        for (double x : {plot.left() - 4.0, plot.left() + 1.0}) {
            const double before = p.chOsc->yAxis->range().lower;
            drag({x, zeroA}, {x, zeroA + 40});
            QVERIFY(p.chOsc->yAxis->range().lower != before); // the axis moved under the zero
            QCOMPARE(p.chOsc->markerTime(0), m1);
            drag({x, p.chOsc->yAxis->coordToPixel(0)}, {x, zeroA}); // and back
        }
        QVERIFY(qAbs(p.chOsc->yAxis->range().lower - lowerA) < 0.5);
        // The same on the right for B, beside M2.
        const double m2 = p.chOsc->markerTime(1);
        const double zeroB = p.chOsc->yAxis2->coordToPixel(0);
        drag({plot.right() + 4.0, zeroB}, {plot.right() + 4.0, zeroB - 30});
        QVERIFY(p.chOsc->yAxis2->range().lower != lowerB);
        QCOMPARE(p.chOsc->markerTime(1), m2);
        // Away from the zero marks the marker line is still taken.
        const double y = plot.top() + 10;
        drag({double(plot.left()), y}, {plot.left() + 50.0, y});
        QVERIFY(p.chOsc->markerTime(0) > m1);
    }

    void triggerSettingsComeBackAfterARestart()
    {
        QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
        std::string stored;
        {
            Harness h;
            OscPage& p = h.page();
            QTest::mouseClick(p.sbOscOnCh2, Qt::LeftButton);
            QTest::mouseClick(p.sbOscTriggerSourceCh2, Qt::LeftButton); // switches the trigger on
            QTest::mouseClick(p.sbOscTriggerEdgeFailling, Qt::LeftButton);
            QTest::mouseClick(p.spOscTriggerDif, Qt::LeftButton);
            p.edOscTriggerDif->setText("1,5");
            QTest::keyClick(p.edOscTriggerDif, Qt::Key_Return);
            p.chOsc->setTriggerLevel(1, -0.75);
            h.window->close();
            IniFile ini(h.settingsPath());
            QVERIFY(ini.readBool("main", "sbOscTriggerOn", false));
            QVERIFY(ini.readBool("main", "sbOscTriggerSourceCh2", false));
            QVERIFY(!ini.readBool("main", "sbOscTriggerSourceCh1", true));
            QVERIFY(ini.readBool("main", "sbOscTriggerEdgeFailling", false));
            QVERIFY(ini.readBool("main", "spOscTriggerDif", false));
            QCOMPARE(QString::fromStdString(ini.readString("main", "edOscTriggerDif", "")), QString("1,5"));
            std::ifstream in(h.settingsPath(), std::ios::binary);
            stored.assign(std::istreambuf_iterator<char>(in), {});
        }
        testing::MainWindowHarness again(50.0, true);
        again.writeSettings(stored);
        OscPage& p = *again.start().oscPage();
        QVERIFY(p.sbOscTriggerOn->isChecked());
        QCOMPARE(p.sbOscTriggerOn->text(), QString("Включена"));
        QVERIFY(p.sbOscTriggerSourceCh2->isChecked());
        QVERIFY(p.sbOscTriggerSourceCh2->isEnabled());
        QVERIFY(p.sbOscTriggerEdgeFailling->isChecked());
        QVERIFY(p.spOscTriggerDif->isChecked());
        QVERIFY(p.edOscTriggerDif->isEnabled());              // the kind's rule applied
        QVERIFY(!p.chOsc->triggerLinesVisible());
        QCOMPARE(p.differenceThreshold(), 1.5);
        QCOMPARE(p.edOscTriggerDif->text(), QString("1,5"));
        QCOMPARE(p.chOsc->triggerLevel(1), -0.75);

        // A stored source whose channel is off falls back to the channel that is on.
        testing::MainWindowHarness off(50.0, true);
        off.writeSettings("[main]\r\nsbOscOnCh2=0\r\nsbOscTriggerSourceCh2=1\r\nsbOscTriggerSourceCh1=0\r\n"
                          "edOscTriggerDif=99\r\n");
        OscPage& q = *off.start().oscPage();
        QVERIFY(q.sbOscTriggerSourceCh1->isChecked());
        QVERIFY(!q.sbOscTriggerOn->isChecked());
        QCOMPARE(q.differenceThreshold(), 20.0);
        QLocale::setDefault(QLocale::c());
    }

    void closingDuringARunEndsTheThread()
    {
        Harness h;
        OscPage& p = h.page();
        QTest::mouseClick(p.sbOscTriggerOn, Qt::LeftButton);
        p.chOsc->setTriggerLevel(0, 19.0);
        QTest::mouseClick(p.sbOscRun, Qt::LeftButton);
        QTest::qWait(50);
        QVERIFY(p.acquisition().running());
        h.window->close();
        QVERIFY(!p.acquisition().running());
    }
};

QTEST_MAIN(OscPageTest)
#include "OscPageTest.moc"
