// The logic analyser page in the main window, against the virtual instrument with a fast clock.

#include "MainWindowHarness.h"
#include "app/TfmMain.h"
#include "app/pages/LanChart.h"
#include "app/pages/LanPage.h"
#include "decoders/UartDecoder.h"
#include "logic/ChannelQueries.h"
#include "logic/acquisition/LanAcquisition.h"
#include "ui/knob/TOscKnob.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>
#include <QtTest>

using namespace tesmar;

namespace {

struct Harness : testing::MainWindowHarness {
    Harness() : MainWindowHarness(50.0, true) { start(); }
    LanPage& page() { return *window->lanPage(); }
};

} // namespace

class LanPageTest : public QObject {
    Q_OBJECT

private slots:
    void emptyChartAndModes()
    {
        Harness h;
        LanPage& p = h.page();
        QTest::mouseClick(p.sbLANModeBusG, Qt::LeftButton); // off: bus B unused
        QCOMPARE(p.knLANFrecDiv->IndexSelectData(), 31);
        QCOMPARE(p.pnLANViewReadType->text(), QString("Buf"));
        QCOMPARE(p.chLAN->xAxis->label(), QString("Время, мкс"));
        QCOMPARE(p.chLAN->xAxis->range().lower, 0.0);
        QCOMPARE(p.chLAN->xAxis->range().upper, 1544.0);
        p.cbLANZoom->setCurrentIndex(16); // 2:1
        QCOMPARE(p.chLAN->xAxis->range().upper, 772.0);
        p.knLANFrecDiv->setIndexSelectData(23); // 250 kHz with the "250 K" limit: streamed
        QCOMPARE(p.pnLANViewReadType->text(), QString("Pipe"));
        p.knLANFrecDiv->setIndexSelectData(24); // 300 kHz
        QCOMPARE(p.pnLANViewReadType->text(), QString("Buf"));
        p.knLANFrecDiv->setIndexSelectData(35); // 6 MHz: bus B modes off
        QVERIFY(!p.sbLANModeBusA->isEnabled());
        QCOMPARE(p.mode().depth, 128);
    }

    void bufferedCaptureCarriesTheSceneTraffic()
    {
        Harness h;
        LanPage& p = h.page();
        QTest::mouseClick(p.sbLANModeBusG, Qt::LeftButton);
        QTest::mouseClick(p.sbLANRun, Qt::LeftButton);
        QCOMPARE(p.sbLANRun->text(), QString("Сброс"));
        QTRY_VERIFY_WITH_TIMEOUT(p.sbLANRun->text() == "Запуск", 10000);
        const LogicCapture& c = h.window->logicCapture();
        QCOMPARE(int(c.busA.size()), 1544);
        // A.7 is a 10 kHz square: 50 samples high, 50 low at 1 MHz.
        int changes = 0;
        for (std::size_t i = 1; i < c.busA.size(); ++i)
            changes += ((c.busA[i] ^ c.busA[i - 1]) >> 7) & 1;
        QVERIFY(changes >= 29 && changes <= 32);
        QVERIFY(!p.lbLANMarkerBusHex[0][0]->text().isEmpty());
        QVERIFY(p.chLAN->extent().has_value());
    }

    void streamCaptureDecodesAsUart()
    {
        Harness h;
        LanPage& p = h.page();
        QTest::mouseClick(p.sbLANModeBusG, Qt::LeftButton);
        p.knLANFrecDiv->setIndexSelectData(23); // 250 kHz, 64 K samples: 262 ms
        QCOMPARE(p.pnLANViewReadType->text(), QString("Pipe"));
        QTest::mouseClick(p.sbLANRun, Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(p.sbLANRun->text() == "Запуск", 20000);
        const LogicCapture& c = h.window->logicCapture();
        QCOMPARE(int(c.busA.size()), 65536);
        QCOMPARE(p.chLAN->xAxis->range().lower, 0.0); // the window opens at time 0
        const ChannelQueries q(c);
        UartSettings settings;
        settings.baud = 115200;
        std::vector<DecoderMessage> messages;
        const UartLineResult line = DecodeUartLine(q, 0, settings, c.firstSampleTime, "RxD", messages);
        QString text;
        for (std::uint8_t b : line.bytes)
            text += QChar(b);
        QVERIFY2(text.contains("Tesmar\r\n"), qPrintable(text.left(40)));
    }

    void resetWhileWaitingAndClosingDuringAStream()
    {
        Harness h;
        LanPage& p = h.page();
        QTest::mouseClick(p.sbLANModeBusG, Qt::LeftButton);
        p.knLANFrecDiv->setIndexSelectData(0); // 1 kHz stream: 65 s
        QTest::mouseClick(p.sbLANRun, Qt::LeftButton);
        QTest::qWait(50);
        QTest::mouseClick(p.sbLANRun, Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(p.sbLANRun->text() == "Запуск", 5000);
        QVERIFY(h.window->page(0)->isEnabled());
        QTest::mouseClick(p.sbLANRun, Qt::LeftButton);
        QTest::qWait(50);
        h.window->close();
        QVERIFY(!p.acquisition().running());
    }

    void drawingAHugeCaptureUsesTheSummary()
    {
        Harness h;
        LanPage& p = h.page();
        LogicCapture& c = h.window->logicCapture();
        std::vector<std::uint8_t> samples(4'000'000);
        for (std::size_t i = 0; i < samples.size(); ++i)
            samples[i] = static_cast<std::uint8_t>(i & 0xFF); // line 0 changes every sample
        LogicSummary summary(samples);
        p.chLAN->resize(800, 400);
        p.chLAN->setBus(0, {samples, &summary, 0.0, 1.0, 0xFF});
        p.chLAN->clearBus(1);
        p.chLAN->xAxis->setRange(0, 4'000'000);
        p.chLAN->replot();
        // Per line a few strokes per pixel column at most, never one per sample.
        QVERIFY(p.chLAN->lastStrokeCount() > 0);
        QVERIFY(p.chLAN->lastStrokeCount() < 8 * 2 * 800);
        p.chLAN->xAxis->setRange(1000, 1100); // single samples: drawn exactly
        p.chLAN->replot();
        QVERIFY(p.chLAN->lastStrokeCount() == 8);
        (void)c;
    }
};

QTEST_MAIN(LanPageTest)
#include "LanPageTest.moc"
