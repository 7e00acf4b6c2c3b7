// The logic analyser page in the main window, against the virtual instrument with a fast clock.

#include "MainWindowHarness.h"
#include "app/TfmMain.h"
#include "app/pages/logic/LanChart.h"
#include "app/pages/logic/LanPage.h"
#include "app/logic/LanGeneratorPanel.h"
#include "app/logic/TfmLANSetup.h"
#include "decoders/UartDecoder.h"
#include "logic/ChannelQueries.h"
#include "logic/acquisition/LanAcquisition.h"
#include "ui/knob/TOscKnob.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>
#include <QElapsedTimer>
#include <QProgressBar>
#include <QTableWidget>
#include <QTimer>
#include <QtTest>

#include <fstream>

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
        // A.7 is the SPI chip select: released for 50 µs every 160 µs, two changes each time.
        int changes = 0;
        for (std::size_t i = 1; i < c.busA.size(); ++i)
            changes += ((c.busA[i] ^ c.busA[i - 1]) >> 7) & 1;
        QVERIFY2(changes >= 18 && changes <= 20, qPrintable(QString::number(changes)));
        QVERIFY(!p.lbLANMarkerBusHex[0][0]->text().isEmpty());
        QVERIFY(p.chLAN->extent().has_value());
    }

    void aCaptureBufferedForTheGeneratorSaysWhy()
    {
        Harness h;
        LanPage& p = h.page();
        QVERIFY(p.generatorMode()); // the default of a fresh settings file
        p.knLANFrecDiv->setIndexSelectData(23); // 250 kHz: a streaming rate
        QCOMPARE(p.pnLANViewReadType->text(), QString("Buf"));
        QTest::mouseClick(p.sbLANRun, Qt::LeftButton);
        const QString status = h.window->findChild<QLabel*>("stbrMainPanel")->text();
        QVERIFY2(status.startsWith("Захват через буфер: шина B работает как генератор"), qPrintable(status));
        QTRY_VERIFY_WITH_TIMEOUT(p.sbLANRun->text() == "Запуск", 10000);
        // Without the generator the same rate streams and nothing needs explaining.
        QTest::mouseClick(p.sbLANModeBusG, Qt::LeftButton);
        QCOMPARE(p.pnLANViewReadType->text(), QString("Pipe"));
    }

    void streamProgressShowsWhileTheCaptureRuns()
    {
        testing::MainWindowHarness h(1.0, true); // real time: the capture lasts long enough to watch
        LanPage& p = *h.start().lanPage();
        QTest::mouseClick(p.sbLANModeBusG, Qt::LeftButton);
        p.knLANFrecDiv->setIndexSelectData(20); // 100 kHz, 64 K samples: 655 ms
        QCOMPARE(p.pnLANViewReadType->text(), QString("Pipe"));
        QTest::mouseClick(p.sbLANRun, Qt::LeftButton);
        QVERIFY(p.pbLANStream->isVisibleTo(&p));
        QCOMPARE(p.pbLANStream->maximum(), 65536);
        // The bar shows how far the capture has come, and never goes back.
        int last = 0, seen = 0;
        QElapsedTimer waited;
        waited.start();
        while (p.sbLANRun->text() != "Запуск" && waited.elapsed() < 20000) {
            QVERIFY(p.pbLANStream->value() >= last);
            last = p.pbLANStream->value();
            seen += last > 0 && last < 65536;
            QTest::qWait(20);
        }
        QCOMPARE(p.sbLANRun->text(), QString("Запуск"));
        QVERIFY(seen > 0);
        QVERIFY(!p.pbLANStream->isVisibleTo(&p));
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

    // Every pixel column that the samples paint on a line is painted from the summary too, for
    // windows that start, end or centre on the borders of summary blocks, at any fraction of a
    // sample.
    void summaryDrawingHasNoGapTheSamplesLack()
    {
        Harness h;
        LanPage& p = h.page();
        LanChart& chart = *p.chLAN;
        std::vector<std::uint8_t> samples(std::size_t{1} << 22);
        for (std::size_t i = 0; i < samples.size(); ++i)
            // A.0 … A.4 count, A.5 and A.6 flip together on the borders of summary blocks,
            // A.7 stays high.
            samples[i] = static_cast<std::uint8_t>(((i / 3) & 0x1F) | ((i >> 12) & 1 ? 0x60 : 0) | 0x80);
        const LogicSummary summary(samples);
        const double step = 0.004; // 250 kHz in ms
        chart.clearBus(1);
        const double block1 = 4096 * step, block2 = 262'144 * step, width = 64'000 * step;
        for (const int plotWidth : {1131, 1000, 777}) {
            chart.resize(plotWidth, 420);
            for (const double from : {7 * block2, 488 * block1, 8 * block2 - width / 2, 8 * block2 - width,
                                      2'138'250 * step - width / 2, 1'999'000 * step - width / 2})
            for (const double fraction : {0.0, 0.25, 0.5, 0.75}) {
                chart.xAxis->setRange(from + fraction * step, from + fraction * step + width);
                QList<QImage> images;
                for (const LogicSummary* used : {&summary, static_cast<const LogicSummary*>(nullptr)}) {
                    chart.setBus(0, {samples, used, 0.0, step, 0xFF});
                    chart.replot();
                    images << chart.toPixmap(chart.width(), chart.height()).toImage();
                }
                const QRect plot = chart.axisRect()->rect();
                for (int k = 0; k < 8; ++k) {
                    const int high = static_cast<int>(std::lround(chart.yAxis->coordToPixel(15 - k + 0.7)));
                    const int low = static_cast<int>(std::lround(chart.yAxis->coordToPixel(15 - k)));
                    auto painted = [&](const QImage& image, int x) {
                        for (int y = high; y <= low; ++y)
                            if (image.pixelColor(x, y) == QColor(Qt::red))
                                return true;
                        return false;
                    };
                    for (int x = plot.left(); x < plot.right(); ++x)
                        if (painted(images[1], x) && !painted(images[0], x))
                            QFAIL(qPrintable(QString("line A.%1, pixel %2 of a %3-pixel chart from %4 ms")
                                                 .arg(k).arg(x).arg(plotWidth).arg(from + fraction * step)));
                }
            }
        }
    }

    void channelNamesAndColours()
    {
        Harness h;
        LanPage& p = h.page();
        // Cancel keeps the old name, OK takes the new one and its colour.
        QTimer::singleShot(0, [&] {
            p.fmLANSetup->edName->setText("SDA");
            p.fmLANSetup->btCancel->click();
        });
        QVERIFY(!p.editChannel(10));
        QCOMPARE(p.channelCaptions[10]->text(), QString("B.2"));
        QTimer::singleShot(0, [&] {
            p.fmLANSetup->edName->setText("SDA");
            p.fmLANSetup->clboxColor->setCurrentIndex(p.fmLANSetup->clboxColor->findText("green"));
            p.fmLANSetup->btOK->click();
        });
        QVERIFY(p.editChannel(10));
        QCOMPARE(p.channelCaptions[10]->text(), QString("SDA"));
        QCOMPARE(p.chLAN->channelColour(10), QColor("green"));
        // A file with only name3 renames A.3 and nothing else.
        const QString path = h.folder.path() + "/names.txt";
        std::ofstream(path.toStdString()) << "[main]\r\nname3=CLK\r\n";
        QVERIFY(p.openSetupFile(path));
        QCOMPARE(p.channelCaptions[3]->text(), QString("CLK"));
        QCOMPARE(p.channelCaptions[10]->text(), QString("SDA"));
        QCOMPARE(p.cbLANTriggerEdgeCh->itemText(3), QString("CLK"));
        // Kept in the settings file.
        h.window->close();
        h.start();
        QCOMPARE(h.page().channelCaptions[10]->text(), QString("SDA"));
    }

    void generatorOperationsServeAfterACellWasTyped()
    {
        Harness h;
        LanGeneratorPanel& g = *h.page().generatorPanel;
        QTableWidget& table = *g.strgridLANGenerator;
        h.window->pages()->setCurrentIndex(3);
        h.window->show();
        QVERIFY(QTest::qWaitForWindowExposed(h.window.get()));
        // A double click opens edit mode; a typed cell commits its sample.
        table.scrollToItem(table.item(2, 1));
        const QPoint cell = table.visualItemRect(table.item(2, 1)).center();
        QTest::mouseClick(table.viewport(), Qt::LeftButton, {}, cell); // the press that selects the cell
        QTest::mouseDClick(table.viewport(), Qt::LeftButton, {}, cell);
        QVERIFY(g.spbtLANGeneratorSelectEdit->isChecked());
        table.item(2, 1)->setText("5A");
        QCOMPARE(h.window->generatorData().sample(2), 0x5A);
        // Rows chosen afterwards are the selection, and the operations act on them.
        table.clearSelection();
        table.setRangeSelected(QTableWidgetSelectionRange(10, 0, 20, 1), true);
        QCOMPARE(g.lbLANGeneratorSelectCell->text(), QString("Выделено: 11..21"));
        QVERIFY(g.spbtLANGeneratorAll1->isEnabled());
        QTest::mouseClick(g.spbtLANGeneratorAll1, Qt::LeftButton);
        for (int i : {10, 15, 20})
            QCOMPARE(h.window->generatorData().sample(i), 0xFF);
        QCOMPARE(h.window->generatorData().sample(9), 0x00);
        QCOMPARE(h.window->generatorData().sample(21), 0x00);
        QCOMPARE(h.window->generatorData().sample(2), 0x5A);
        table.clearSelection();
        QCOMPARE(g.lbLANGeneratorSelectCell->text(), QString("Ничего не выбрано"));
    }

    void generatorTableOperationsReachTheChart()
    {
        Harness h;
        LanPage& p = h.page();
        LanGeneratorPanel& g = *p.generatorPanel;
        QVERIFY(g.isEnabled());
        g.strgridLANGenerator->item(0, 1)->setText("FE"); // a typed cell commits its sample
        QCOMPARE(h.window->generatorData().sample(0), 0xFE);
        g.selectSamples({0, 299});
        QCOMPARE(g.lbLANGeneratorSelectCell->text(), QString("Выделено: 1..300"));
        QTest::mouseClick(g.spbtLANGeneratorINC, Qt::LeftButton);
        QCOMPARE(h.window->generatorData().sample(2), 0x00);
        QCOMPARE(g.strgridLANGenerator->item(3, 0)->text(), QString("00000001"));
        QCOMPARE(p.chLAN->bus(1).samples.size(), std::size_t(1544));
        QCOMPARE(p.chLAN->bus(1).samples[1], std::uint8_t(0xFF));
        QTest::mouseClick(g.spbtCopyGeneratorData, Qt::LeftButton);
        QVERIFY(g.spbtPasteGeneratorData->isEnabled());
        QTest::mouseClick(p.sbLANModeBusG, Qt::LeftButton); // leaving generator mode
        QVERIFY(!g.isEnabled());
        QVERIFY(p.chLAN->bus(1).empty());
        // Drawing on the chart: a click at y = 6.5 sets B.1 at that sample.
        QTest::mouseClick(p.sbLANModeBusG, Qt::LeftButton); // generator mode again
        h.window->pages()->setCurrentIndex(3);
        h.window->resize(1200, 800);
        h.window->show();
        QVERIFY(QTest::qWaitForWindowExposed(h.window.get()));
        p.chLAN->xAxis->setRange(0, 100);
        p.chLAN->replot();
        const QPoint at(qRound(p.chLAN->xAxis->coordToPixel(10.5)), qRound(p.chLAN->yAxis->coordToPixel(6.5)));
        QTest::mouseClick(p.chLAN, Qt::LeftButton, {}, at);
        QVERIFY(h.window->generatorData().line(10, 1));
        QTest::mouseClick(p.chLAN, Qt::RightButton, {}, at);
        QVERIFY(!h.window->generatorData().line(10, 1));
        // A short file fills the start and clears the rest.
        const QString path = h.folder.path() + "/gen.dat";
        std::ofstream(path.toStdString(), std::ios::binary) << std::string(10, '\x0F');
        QVERIFY(g.openFile(path));
        QCOMPARE(h.window->generatorData().sample(9), 0x0F);
        QCOMPARE(h.window->generatorData().sample(10), 0x00);
    }
};

QTEST_MAIN(LanPageTest)
#include "LanPageTest.moc"
