// The logic analyser page in the main window, against the virtual instrument with a fast clock.

#include "MainWindowHarness.h"
#include "app/TfmMain.h"
#include "app/pages/logic/LanChart.h"
#include "app/pages/logic/LanPage.h"
#include "app/logic/LanGeneratorPanel.h"
#include "app/logic/TfmLANSetup.h"
#include "decoders/UartDecoder.h"
#include "formats/DataFileCapture.h"
#include "logic/ChannelQueries.h"
#include "logic/acquisition/LanAcquisition.h"
#include "ui/knob/TOscKnob.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>
#include <QElapsedTimer>
#include <QProgressBar>
#include <QScrollBar>
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

// 4 M samples at 1 MHz: A.0 … A.4 count every third sample, A.5 and A.6 flip on the borders of
// summary blocks, A.7 stays high.
std::vector<std::uint8_t> LongCapture()
{
    std::vector<std::uint8_t> samples(std::size_t{1} << 22);
    for (std::size_t i = 0; i < samples.size(); ++i)
        samples[i] = static_cast<std::uint8_t>(((i / 3) & 0x1F) | ((i >> 12) & 1 ? 0x60 : 0) | 0x80);
    return samples;
}

// The pixel columns of the plot where line A.k shows anything in its colour.
std::vector<bool> PaintedColumns(LanChart& chart, int k)
{
    const QImage image = chart.toPixmap(chart.width(), chart.height()).toImage();
    const QRect plot = chart.axisRect()->rect();
    const int high = static_cast<int>(std::lround(chart.yAxis->coordToPixel(15 - k + 0.7)));
    const int low = static_cast<int>(std::lround(chart.yAxis->coordToPixel(15 - k)));
    std::vector<bool> painted;
    for (int x = plot.left(); x < plot.right(); ++x) {
        bool any = false;
        for (int y = high; y <= low && !any; ++y)
            any = image.pixelColor(x, y) == chart.channelColour(k);
        painted.push_back(any);
    }
    return painted;
}

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
        // The markers stay where they were on the screen (the edges), not at the times of the
        // empty chart's wider window.
        QCOMPARE(p.chLAN->markerPosition(0), p.chLAN->xAxis->range().lower);
        QCOMPARE(p.chLAN->markerPosition(1), p.chLAN->xAxis->range().upper);
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

    // The zoom-out button goes on past "1:500" by doublings to one screen for the whole capture,
    // drawn from the summary; zooming in comes back the same way.
    void zoomingOutReachesTheWholeCapture()
    {
        Harness h;
        LanPage& p = h.page();
        QTest::mouseClick(p.sbLANModeBusG, Qt::LeftButton); // bus B unused
        const std::vector<std::uint8_t> samples = LongCapture();
        QVERIFY(p.openDataFile(LogicDataFile({samples, {}, 1e-6, 0.0})));
        QCOMPARE(p.cbLANZoom->currentText(), QString("1:1"));
        // The list's own items keep their places; the wide steps follow them.
        QCOMPARE(p.cbLANZoom->itemText(0), QString("1:500"));
        QCOMPARE(p.cbLANZoom->itemText(30), QString("500:1"));
        QStringList wide;
        for (int i = 31; i < p.cbLANZoom->count(); ++i)
            wide << p.cbLANZoom->itemText(i);
        QCOMPARE(wide, QStringList({"1:1000", "1:2000", "1:4000", "1:8000", "1:16000", "1:32768"}));

        const QStringList expected = {"1:2", "1:3", "1:4", "1:5", "1:10", "1:20", "1:30", "1:40", "1:50", "1:100",
                                      "1:150", "1:200", "1:300", "1:400", "1:500", "1:1000", "1:2000", "1:4000",
                                      "1:8000", "1:16000", "1:32768"};
        QStringList seen;
        while (p.sbLANZoomOut->isEnabled() && seen.size() < 40) {
            QTest::mouseClick(p.sbLANZoomOut, Qt::LeftButton);
            seen << p.cbLANZoom->currentText();
        }
        QCOMPARE(seen, expected);
        QVERIFY(p.sbLANZoomIn->isEnabled() && p.sbLANZoomUndo->isEnabled());
        // The window is the whole capture, in ms.
        QCOMPARE(p.chLAN->xAxis->label(), QString("Время, мс"));
        const DrawnBus& bus = p.chLAN->bus(0);
        QVERIFY(std::fabs(p.chLAN->xAxis->range().lower - bus.firstX) < 0.002);
        QVERIFY(std::fabs(p.chLAN->xAxis->range().upper - bus.lastX()) < 0.002);
        QCOMPARE(p.scbrLAN->maximum(), 0); // nothing left to scroll
        // One step before it, the window holds 128 000 × 16 samples.
        QTest::mouseClick(p.sbLANZoomIn, Qt::LeftButton);
        QCOMPARE(p.cbLANZoom->currentText(), QString("1:16000"));
        QVERIFY(std::fabs(p.chLAN->xAxis->range().size() - 2048.0) < 0.002);
        QTest::mouseClick(p.sbLANZoomOut, Qt::LeftButton);
        QVERIFY(!p.sbLANZoomOut->isEnabled());
        // A data file keeps the step.
        const auto file = p.saveDataFile();
        QVERIFY(file.has_value());
        p.sbLANZoomUndoClick();
        QVERIFY(p.openDataFile(*file));
        QCOMPARE(p.cbLANZoom->currentText(), QString("1:32768"));
        QVERIFY(std::fabs(p.chLAN->xAxis->range().upper - bus.lastX()) < 0.002);

        // Drawn from the summary: every column the samples paint is painted, in a few strokes.
        LanChart& chart = *p.chLAN;
        QVERIFY(bus.summary != nullptr);
        const DrawnBus summarised = bus;
        chart.replot();
        QVERIFY(chart.lastStrokeCount() > 0);
        QVERIFY(chart.lastStrokeCount() < 8 * 2 * chart.axisRect()->width());
        std::vector<std::vector<bool>> fromSummary;
        for (int k = 0; k < 8; ++k)
            fromSummary.push_back(PaintedColumns(chart, k));
        DrawnBus exact = summarised;
        exact.summary = nullptr;
        chart.setBus(0, exact);
        chart.replot();
        for (int k = 0; k < 8; ++k) {
            const std::vector<bool> fromSamples = PaintedColumns(chart, k);
            QCOMPARE(fromSamples.size(), fromSummary[k].size());
            for (std::size_t x = 0; x < fromSamples.size(); ++x)
                if (fromSamples[x] && !fromSummary[k][x])
                    QFAIL(qPrintable(QString("line A.%1, column %2 missing").arg(k).arg(x)));
        }
        chart.setBus(0, summarised);

        // And back in by the same steps to the list's own.
        for (int i = 0; i < 6; ++i)
            QTest::mouseClick(p.sbLANZoomIn, Qt::LeftButton);
        QCOMPARE(p.cbLANZoom->currentText(), QString("1:500"));
        QTest::mouseClick(p.sbLANZoomIn, Qt::LeftButton);
        QCOMPARE(p.cbLANZoom->currentText(), QString("1:400"));

        // A short capture has no wide steps: "1:500" is the widest again.
        QVERIFY(p.openDataFile(LogicDataFile({std::vector<std::uint8_t>(1544, 0x55), {}, 1e-6, 0.0})));
        QCOMPARE(p.cbLANZoom->count(), 31);
        p.cbLANZoom->setCurrentIndex(0);
        QVERIFY(!p.sbLANZoomOut->isEnabled());
    }

    // A marker put on a time stays on it, on the screen or off, while the view zooms and scrolls.
    void markersKeepTheirTimesAcrossZoomAndScroll()
    {
        Harness h;
        LanPage& p = h.page();
        QTest::mouseClick(p.sbLANModeBusG, Qt::LeftButton);
        QVERIFY(p.openDataFile(LogicDataFile({LongCapture(), {}, 1e-6, 0.0})));
        LanChart& chart = *p.chLAN;
        chart.replot();
        // Marker 1 dragged from the left edge to a third of the plot, marker 2 left at the right.
        const QRect plot = chart.axisRect()->rect();
        const int y = plot.center().y();
        QTest::mousePress(&chart, Qt::LeftButton, {}, QPoint(plot.left() + 1, y));
        QTest::mouseMove(&chart, QPoint(plot.left() + plot.width() / 3, y));
        QTest::mouseRelease(&chart, Qt::LeftButton, {}, QPoint(plot.left() + plot.width() / 3, y));
        const double t1 = p.markerTime(0), t2 = p.markerTime(1);
        QVERIFY(t1 > 10e-6 && t1 < t2);
        const QString readout1 = p.lbLANMarker1Time->text(), bus1 = p.lbLANMarkerBusHex[0][0]->text();
        auto kept = [&] { return std::fabs(p.markerTime(0) - t1) < 1e-9 && std::fabs(p.markerTime(1) - t2) < 1e-9; };

        // Zoom in and out (the unit changes to ms on the way), then scroll the markers away.
        QTest::mouseClick(p.sbLANZoomIn, Qt::LeftButton);
        QVERIFY2(kept(), "zoom in");
        QVERIFY(!chart.xAxis->range().contains(chart.markerPosition(1))); // off the screen
        for (int i = 0; i < 20; ++i)
            QTest::mouseClick(p.sbLANZoomOut, Qt::LeftButton);
        QCOMPARE(p.chLAN->xAxis->label(), QString("Время, мс"));
        QVERIFY2(kept(), "zoom out");
        QTest::mouseClick(p.sbLANZoomUndo, Qt::LeftButton);
        QVERIFY2(kept(), "undo");
        QCOMPARE(p.lbLANMarker1Time->text(), readout1);
        p.scbrLAN->setValue(p.scbrLAN->maximum()); // to the end of the capture
        QVERIFY(!chart.xAxis->range().contains(chart.markerPosition(0)));
        QVERIFY2(kept(), "scroll");
        // The readouts still tell what lies under the markers.
        QCOMPARE(p.lbLANMarker1Time->text(), readout1);
        QCOMPARE(p.lbLANMarkerBusHex[0][0]->text(), bus1);
        p.scbrLAN->setValue(0);
        QVERIFY2(kept(), "scroll back");
        QVERIFY(chart.xAxis->range().contains(chart.markerPosition(0)));
        const double pixel = chart.xAxis->coordToPixel(chart.markerPosition(0));
        QVERIFY(std::fabs(pixel - (plot.left() + plot.width() / 3)) <= 1.0);
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
