// The oscilloscope page in the main window, against the virtual instrument with a fast clock.

#include "MainWindowHarness.h"
#include "app/MainMenu.h"
#include "app/TfmMain.h"
#include "app/UserMessages.h"
#include "app/pages/OscChart.h"
#include "app/pages/OscPage.h"
#include "files/IniFile.h"
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

        h.instrument.plug();
        QTRY_VERIFY_WITH_TIMEOUT(h.window->session().isAttached(), 5000);
        p.knOscTimeDiv->setIndexSelectData(30); // buffer mode
        h.instrument.shortenNextRead(0, 1);     // the second part read brings nothing
        h.instrument.failNextReads(0);
        QTest::mouseClick(p.sbOscRunSingle, Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(p.sbOscRunSingle->text() == "Однокр.", 5000);
        QVERIFY(!p.acquisition().running());
        QCOMPARE(p.chOsc->srOsc_Ch1->dataCount(), 0); // a record with a part missing is not drawn
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
