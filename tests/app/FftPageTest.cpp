// The spectrum analyser page in the main window, against the virtual instrument with a fast clock.

#include "MainWindowHarness.h"
#include "app/TfmMain.h"
#include "app/filter/TfmFiltr.h"
#include "app/pages/spectrum/FftChart.h"
#include "app/pages/spectrum/FftPage.h"
#include "settings/IniFile.h"
#include "ui/knob/TOscKnob.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>
#include <QtTest>

using namespace tesmar;

namespace {

struct Harness : testing::MainWindowHarness {
    Harness() : MainWindowHarness(50.0, true) { start(); }
    FftPage& page() { return *window->fftPage(); }
    // Every rate at or below the boundary entry is read as a stream.
    void streamEverything()
    {
        window->options().count_fft_index_buf = 39;
        page().knFFTFrecDivChange();
    }
};

double AxisMin(const QCPAxis* axis)
{
    return axis->range().lower;
}

double AxisMax(const QCPAxis* axis)
{
    return axis->range().upper;
}

} // namespace

class FftPageTest : public QObject {
    Q_OBJECT

private slots:
    void controlsDefaultsAndTheEmptyAxis()
    {
        Harness h;
        FftPage& p = h.page();
        QCOMPARE(p.knFFTFrecDiv->IndexSelectData(), 38);
        QCOMPARE(p.knFFTCh1->IndexSelectData(), 28);
        QCOMPARE(p.pnFFTViewReadType->text(), QString("Buf"));
        QCOMPARE(p.chFFT->xAxis->label(), QString("Частота, кГц"));
        QCOMPARE(AxisMin(p.chFFT->xAxis), 0.0);
        QCOMPARE(AxisMax(p.chFFT->xAxis), 100.0);
        p.cbFFTZoom->setCurrentIndex(5); // 10:1
        QCOMPARE(AxisMin(p.chFFT->xAxis), 45.0);
        QCOMPARE(AxisMax(p.chFFT->xAxis), 55.0);
        QVERIFY(!p.sbFFTZoomIn->isEnabled() == false);
        p.cbFFTZoom->setCurrentIndex(0);
        QVERIFY(!p.sbFFTZoomOut->isEnabled() && !p.sbFFTZoomUndo->isEnabled());
        p.knFFTFrecDiv->setIndexSelectData(19); // 10 kHz is not above 10 000 Hz
        QCOMPARE(p.chFFT->xAxis->label(), QString("Частота, Гц"));
        QCOMPARE(AxisMax(p.chFFT->xAxis), 5000.0);
    }

    void channelButtonsKeepOneOnAndLimitTheRate()
    {
        Harness h;
        FftPage& p = h.page();
        QTest::mouseClick(p.sbFFTOnCh1, Qt::LeftButton); // the only one on
        QVERIFY(p.sbFFTOnCh1->isChecked());
        QCOMPARE(p.sbFFTOnCh1->text(), QString("Включен"));
        QTest::mouseClick(p.sbFFTOnCh2, Qt::LeftButton);
        QCOMPARE(p.knFFTFrecDiv->IndexMaxEnable(), 29);
        QVERIFY(p.knFFTFrecDiv->IndexSelectData() <= 29);
        QTest::mouseClick(p.sbFFTOnCh1, Qt::LeftButton);
        QVERIFY(!p.sbFFTOnCh1->isChecked());
        QCOMPARE(p.sbFFTOnCh1->text(), QString("Выключен"));
        QCOMPARE(p.knFFTFrecDiv->IndexMaxEnable(), -1);
    }

    void singleBufferRunShowsTheLinesOfBothChannels()
    {
        Harness h;
        FftPage& p = h.page();
        QTest::mouseClick(p.sbFFTOnCh2, Qt::LeftButton);
        p.knFFTFrecDiv->setIndexSelectData(20); // 20 kHz: 1024 points, df 19.5 Hz
        p.cbFFTWinParam->setCurrentIndex(4);
        QTest::mouseClick(p.sbFFTRunSingle, Qt::LeftButton);
        QCOMPARE(p.sbFFTRunSingle->text(), QString("Сброс"));
        QVERIFY(!h.window->page(0)->isEnabled());
        QTRY_VERIFY_WITH_TIMEOUT(p.sbFFTRunSingle->text() == "Однокр.", 10000);
        QVERIFY(h.window->page(0)->isEnabled());
        const SpectrumRecord& r = p.record();
        QCOMPARE(r.length, 1024);
        QCOMPARE(p.chFFT->srFFT_Ch1->dataCount(), 513);
        QCOMPARE(p.chFFT->srFFT_Ch2->dataCount(), 513);
        const double df = r.sampleRate / r.length;
        QVERIFY(qAbs(r.channels[0].fundamental.F1 - 1000) <= df);
        QVERIFY(qAbs(r.channels[1].fundamental.F1 - 500) <= df);
        // The square's third harmonic is a third of its fundamental.
        QVERIFY(r.channels[1].distortion);
        QVERIFY(qAbs(r.channels[1].distortion->k3 - 0.33) < 0.05);
        QVERIFY(!p.lbFFTKNI3[1]->text().isEmpty());
        QVERIFY(!p.lbFFTUv[0]->text().isEmpty());
        QCOMPARE(p.chFFT->xAxis->label(), QString("Частота, кГц"));
        QCOMPARE(AxisMax(p.chFFT->xAxis), 10.0);
        QVERIFY(!p.lbFFTMarker1VoltA->text().isEmpty());

        // dB with its own maximum as 0 dB: the line at 0 dB, the axis up to 0.1.
        QTest::mouseClick(p.spbtFFTCh1dB, Qt::LeftButton);
        QVERIFY(p.spbtFFTCh10dB->isEnabled());
        QCOMPARE(AxisMin(p.chFFT->yAxis), -60.1);
        QCOMPARE(AxisMax(p.chFFT->yAxis), 25.0);
        QTest::mouseClick(p.spbtFFTCh10dB, Qt::LeftButton);
        QCOMPARE(AxisMax(p.chFFT->yAxis), 0.1);
        double top = -100;
        for (auto it = p.chFFT->srFFT_Ch1->data()->constBegin(); it != p.chFFT->srFFT_Ch1->data()->constEnd(); ++it)
            top = std::max(top, it->value);
        QVERIFY(qAbs(top) < 1e-9);
        // Channel A in dB, B in volts: no voltage differences.
        QVERIFY(p.lbFFTMarker2Sub1VoltA->text().isEmpty());
        QVERIFY(p.lbFFTMarker2Sub1VoltB->text().isEmpty());
        QTest::mouseClick(p.spbtFFTCh1dB, Qt::LeftButton);
        QVERIFY(!p.spbtFFTCh10dB->isEnabled() && !p.spbtFFTCh10dB->isChecked());
    }

    void manualFundamentalAndItsLimits()
    {
        Harness h;
        FftPage& p = h.page();
        QTest::mouseClick(p.sbFFTRunSingle, Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(p.sbFFTRunSingle->text() == "Однокр.", 10000);
        p.cbFFTKNIMax->click();
        p.edFFTKNIF->setFocus();
        p.edFFTKNIF->clear();
        QTest::keyClicks(p.edFFTKNIF, "0");
        QTest::keyClick(p.edFFTKNIF, Qt::Key_Return);
        QCOMPARE(p.edFFTKNIF->text(), QString("1"));
        p.edFFTKNIF->clear();
        QTest::keyClicks(p.edFFTKNIF, "9a0000"); // the letter is refused, five characters at most
        QCOMPARE(p.edFFTKNIF->text(), QString("90000"));
        QTest::keyClick(p.edFFTKNIF, Qt::Key_Return);
        QCOMPARE(p.edFFTKNIF->text(), QString("66667"));
        QCOMPARE(p.record().channels[0].fundamental.F1, 200000.0 / 3);
        // F1 at 66.7 kHz: 3·F1 is beyond Fs/2, so no distortion factors.
        QVERIFY(p.lbFFTKNI1[0]->text().isEmpty());
        QCOMPARE(p.lbFFTF1[0]->text(), QString("67  К"));
    }

    void cyclicStreamRunsUntilReleased()
    {
        Harness h;
        FftPage& p = h.page();
        h.streamEverything();
        QCOMPARE(p.pnFFTViewReadType->text(), QString("Pipe"));
        QCOMPARE(p.readType().length, 8192);
        p.knFFTFrecDiv->setIndexSelectData(24); // 50 kHz: 8192 points take 0.16 s
        QTest::mouseClick(p.sbFFTRun, Qt::LeftButton);
        QVERIFY(!p.sbFFTRunSingle->isEnabled());
        QTRY_VERIFY_WITH_TIMEOUT(p.chFFT->srFFT_Ch1->dataCount() == 4097, 20000);
        QCOMPARE(p.sbFFTRun->text(), QString("Сброс"));
        QVERIFY(!h.window->page(0)->isEnabled()); // still locked between records
        QTest::mouseClick(p.sbFFTRun, Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(p.sbFFTRun->text() == "Цикл.", 10000);
        QVERIFY(p.sbFFTRunSingle->isEnabled());
        QVERIFY(h.window->page(0)->isEnabled());
        QVERIFY(qAbs(p.record().channels[0].fundamental.F1 - 1000) <= 50000.0 / 8192);
    }

    void resetDuringALongStreamRestoresTheButtons()
    {
        Harness h;
        FftPage& p = h.page();
        h.streamEverything();
        p.knFFTFrecDiv->setIndexSelectData(0); // 100 Hz: 8192 points take 82 s
        QTest::mouseClick(p.sbFFTRunSingle, Qt::LeftButton);
        QTest::qWait(100);
        QTest::mouseClick(p.sbFFTRunSingle, Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(p.sbFFTRunSingle->text() == "Однокр.", 10000);
        QVERIFY(p.sbFFTRun->isEnabled());
        QCOMPARE(p.chFFT->srFFT_Ch1->dataCount(), 0);
        QVERIFY(h.window->page(0)->isEnabled());
    }

    void unplugDuringACycleEndsItAndKeepsTheLastSpectrum()
    {
        Harness h;
        FftPage& p = h.page();
        QTest::mouseClick(p.sbFFTRunSingle, Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(p.sbFFTRunSingle->text() == "Однокр.", 10000);
        QCOMPARE(p.chFFT->srFFT_Ch1->dataCount(), 513);
        h.streamEverything();
        p.knFFTFrecDiv->setIndexSelectData(0);
        QTest::mouseClick(p.sbFFTRun, Qt::LeftButton);
        QTest::qWait(50);
        h.instrument.unplug(); // the pending read fails: the cycle ends, the last spectrum stays
        QTRY_VERIFY_WITH_TIMEOUT(p.sbFFTRun->text() == "Цикл.", 5000);
        QVERIFY(p.sbFFTRunSingle->isEnabled());
        QVERIFY(h.window->page(0)->isEnabled());
        QCOMPARE(p.chFFT->srFFT_Ch1->dataCount(), 513);
    }

    void closingDuringARunEndsTheReader()
    {
        Harness h;
        FftPage& p = h.page();
        h.streamEverything();
        p.knFFTFrecDiv->setIndexSelectData(0);
        QTest::mouseClick(p.sbFFTRun, Qt::LeftButton);
        QTest::qWait(50);
        h.window->close(); // joins the reader before the settings are written
        QVERIFY(QFile::exists(QString::fromStdString(h.settingsPath())));
    }

    void emptyAxesFollowTheScaleButtons()
    {
        Harness h;
        FftPage& p = h.page();
        p.knFFTCh1->setIndexSelectData(10); // 2 V
        QCOMPARE(AxisMax(p.chFFT->yAxis), 2.0);
        QTest::mouseClick(p.spbtFFTCh1dB, Qt::LeftButton);
        QCOMPARE(AxisMin(p.chFFT->yAxis), -60.1);
        QCOMPARE(AxisMax(p.chFFT->yAxis), 25.0);
        QTest::mouseClick(p.spbtFFTCh10dB, Qt::LeftButton);
        QCOMPARE(AxisMax(p.chFFT->yAxis), 0.1);
        QTest::mouseClick(p.spbtFFTCh1dB, Qt::LeftButton);
        QCOMPARE(AxisMin(p.chFFT->yAxis), 0.0);
        QCOMPARE(AxisMax(p.chFFT->yAxis), 2.0);
    }

    void settingsComeBack()
    {
        Harness h;
        FftPage& p = h.page();
        p.knFFTFrecDiv->setIndexSelectData(12);
        QTest::mouseClick(p.sbFFTOnCh2, Qt::LeftButton);
        QTest::mouseClick(p.spbtFFTCh2dB, Qt::LeftButton);
        QTest::mouseClick(p.spbtFFTCh20dB, Qt::LeftButton);
        p.cbFFTKNIMax->setChecked(false);
        h.window->close();
        h.start();
        FftPage& q = h.page();
        QCOMPARE(q.knFFTFrecDiv->IndexSelectData(), 12);
        QVERIFY(q.sbFFTOnCh2->isChecked());
        QVERIFY(q.spbtFFTCh2dB->isChecked() && q.spbtFFTCh20dB->isChecked() && q.spbtFFTCh20dB->isEnabled());
        QVERIFY(!q.cbFFTKNIMax->isChecked());
        QCOMPARE(AxisMax(q.chFFT->yAxis2), 0.1);
    }

    void filterButtonOpensTheDesignerForItsChannel()
    {
        Harness h;
        FftPage& p = h.page();
        QTest::mouseClick(p.spbtFFTFiltrationSetCh2, Qt::LeftButton);
        TfmFiltr* designer = h.window->fmFiltr;
        QVERIFY(designer->isVisible());
        QCOMPARE(designer->windowTitle(), QString("Задать параметры фильтра для канала B"));
        QCOMPARE(designer->channel(), 1);
        QVERIFY(!p.chboxFFTFiltrationOnCh2->isChecked());
        QTest::mouseClick(designer->spbtExit, Qt::LeftButton);
        QVERIFY(p.chboxFFTFiltrationOnCh2->isChecked()); // "Авто включение фильтра"
        QVERIFY(!designer->isVisible());
    }
};

QTEST_MAIN(FftPageTest)
#include "FftPageTest.moc"
