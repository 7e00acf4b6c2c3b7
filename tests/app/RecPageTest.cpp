// The recorder page in the main window, against the virtual instrument with a fast clock.

#include "MainWindowHarness.h"
#include "app/TfmMain.h"
#include "app/files/DataFileActions.h"
#include "app/pages/recorder/RecChart.h"
#include "app/pages/recorder/RecPage.h"
#include "formats/DataFile.h"
#include "formats/DataFileLoad.h"
#include "recorder/acquisition/RecAcquisition.h"
#include "ui/knob/TOscKnob.h"

#include <QComboBox>
#include <QLabel>
#include <QScrollBar>
#include <QTableWidget>
#include <QTimeEdit>
#include <QToolButton>
#include <QtTest>

using namespace tesmar;

namespace {

struct Harness : testing::MainWindowHarness {
    Harness() : MainWindowHarness(50.0, true)
    {
        start();
        window->pages()->setCurrentIndex(2);
        page().markerQuestions.comment = [this](const std::string& current) -> std::optional<std::string> {
            asked << QString::fromStdString(current);
            return answer;
        };
        page().markerQuestions.colour = [this](std::uint32_t) -> std::optional<std::uint32_t> { return colour; };
    }
    RecPage& page() { return *window->recPage(); }
    std::size_t count() { return page().acquisition().stream() ? page().acquisition().stream()->record().count() : 0; }

    QStringList asked;
    std::optional<std::string> answer = "пробный маркер";
    std::optional<std::uint32_t> colour = 0x00FFFF;
};

constexpr double kDay = 86'400.0;

// A two-channel record of `points` at 1 ms as a data file: A a 2 … 4 V square, B a ±1 V
// triangle, both fast enough that every pixel column holds their whole swing.
QString WriteRecord(const QString& folder, std::size_t points, const AxisLimits& left, const AxisLimits& right,
                    const AxisLimits& time)
{
    RecorderSettingsChunk s;
    s.samplePeriod = 1e-3;
    s.sbRecOnCh1 = s.sbRecOnCh2 = true;
    s.knRecCh1 = s.knRecCh2 = 28; // ±20 V
    s.knRecTimeDiv = 36;
    s.cbRecZoom = 15;
    s.leftAxis = left;
    s.rightAxis = right;
    s.timeAxis = time;
    DataFile file{s, {}, std::vector<double>(points), std::vector<double>(points), {}, {}};
    for (std::size_t i = 0; i < points; ++i) {
        (*file.channelA)[i] = i % 2 ? 4.0 : 2.0;
        (*file.channelB)[i] = static_cast<double>(i % 5) / 2.0 - 1.0;
    }
    const QString path = folder + "/record.dat";
    if (!SaveDataFile(path.toStdString(), file).empty())
        return {};
    return path;
}

// Pixel columns of the plot in which the curve of `channel` leaves the band around its middle
// (A 3 V, B 0 V) unpainted.
QList<int> UnpaintedColumns(RecChart& chart, int channel)
{
    chart.replot();
    const QImage image = chart.toPixmap(chart.width(), chart.height()).toImage();
    const QRect plot = chart.axisRect()->rect();
    QCPAxis* axis = chart.channelAxis(channel);
    const double middle = channel == 0 ? 3.0 : 0.0;
    const int top = static_cast<int>(axis->coordToPixel(middle + 0.5));
    const int bottom = static_cast<int>(axis->coordToPixel(middle - 0.5));
    QList<int> unpainted;
    // The measuring markers stand at the plot edges.
    for (int x = plot.left() + 4; x < plot.right() - 4; ++x) {
        bool painted = false;
        for (int y = top; y <= bottom && !painted; ++y) {
            const QColor c = image.pixelColor(x, y);
            painted = channel == 0 ? c.red() > 200 && c.green() < 80 : c.blue() > 200 && c.red() < 80;
        }
        if (!painted)
            unpainted << x;
    }
    return unpainted;
}

} // namespace

class RecPageTest : public QObject {
    Q_OBJECT

private slots:
    void controlsAndDefaults()
    {
        Harness h;
        RecPage& p = h.page();
        QCOMPARE(p.knRecTimeDiv->IndexSelectData(), 36);
        QCOMPARE(p.knRecCh1->IndexSelectData(), 28);
        QCOMPARE(p.sbRecRun->text(), QString("Запуск"));
        QCOMPARE(p.cbRecZoom->currentText(), QString("1:1"));
        QCOMPARE(p.pnRecShowSignal->text(), QString("En"));
        QVERIFY(!p.sbRecZoomUndo->isEnabled());
        QCOMPARE(p.chRec->xAxis->label(), QString("Время"));
        QCOMPARE(p.sgRecMarker->rowCount(), 100);
        QCOMPARE(p.sgRecMarker->item(0, 0)->text(), QString("№"));
        // Both channels: the knob stops at 10 µs.
        QTest::mouseClick(p.sbRecOnCh2, Qt::LeftButton);
        QCOMPARE(p.knRecTimeDiv->IndexMaxEnable(), 55);
        p.knRecTimeDiv->setIndexSelectData(45); // 0.1 ms with two channels: too fast to draw live
        QCOMPARE(p.pnRecShowSignal->text(), QString("Dis"));
        // The last channel cannot be switched off.
        QTest::mouseClick(p.sbRecOnCh1, Qt::LeftButton);
        QTest::mouseClick(p.sbRecOnCh2, Qt::LeftButton);
        QVERIFY(p.sbRecOnCh2->isChecked());
    }

    void settingsKeysRoundTrip()
    {
        Harness h;
        RecPage& p = h.page();
        p.knRecTimeDiv->setIndexSelectData(20);
        p.knRecCh1->setIndexSelectData(5);
        QTest::mouseClick(p.sbRecOnCh2, Qt::LeftButton);
        h.window->close();
        h.window.reset();
        h.start();
        RecPage& again = h.page();
        QCOMPARE(again.knRecTimeDiv->IndexSelectData(), 20);
        QCOMPARE(again.knRecCh1->IndexSelectData(), 5);
        QVERIFY(again.sbRecOnCh2->isChecked());
        QCOMPARE(again.sbRecOnCh2->text(), QString("Включен"));
    }

    void recordGrowsLiveAndAStopKeepsThePoints()
    {
        Harness h;
        RecPage& p = h.page();
        QTest::mouseClick(p.sbRecOnCh2, Qt::LeftButton);
        QTest::mouseClick(p.sbRecRun, Qt::LeftButton);
        QCOMPARE(p.sbRecRun->text(), QString("Сброс"));
        QVERIFY(!h.window->page(0)->isEnabled() || !h.window->pages()->isTabEnabled(0));
        QVERIFY(!p.grboxRecCh1->isEnabled());
        QTRY_VERIFY_WITH_TIMEOUT(h.count() > 2000, 10000);
        // The chart follows the newest point while the record grows.
        QTRY_VERIFY_WITH_TIMEOUT(p.chRec->srRec_Ch1->dataCount() > 0, 5000);
        const std::size_t seen = h.count();
        QTRY_VERIFY_WITH_TIMEOUT(h.count() > seen + 1000, 10000);
        QTRY_VERIFY_WITH_TIMEOUT(p.chRec->xAxis->range().upper * kDay > 2.0, 5000);
        QVERIFY(p.lbRecRunTime->text() != "00:00:00:000");
        QTest::mouseClick(p.sbRecRun, Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(p.sbRecRun->text() == "Запуск", 5000);
        QVERIFY(!p.acquisition().running());
        QVERIFY(h.window->pages()->isTabEnabled(0));
        const std::size_t kept = h.count();
        QVERIFY(kept > 3000);
        QTest::qWait(100);
        QCOMPARE(h.count(), kept);
        QVERIFY(p.chRec->srRec_Ch1->dataCount() > 0);
        QVERIFY(p.chRec->srRec_Ch2->dataCount() > 0);
        QVERIFY(!p.lbRecUmax[0]->text().isEmpty());
        QVERIFY(!p.lbRecUsr[1]->text().isEmpty());
        QVERIFY(h.messages.warnings.isEmpty());
        // The window shows the end of the record: 1 s at "1:1", 0.1 s at "10:1".
        const double end = (kept - 1) * 1e-3;
        QVERIFY(qAbs(p.chRec->xAxis->range().upper * kDay - end) < 1e-3);
        QVERIFY(qAbs(p.chRec->xAxis->range().size() * kDay - 1.0) < 1e-6);
        p.cbRecZoom->setCurrentIndex(20);
        QVERIFY(qAbs(p.chRec->xAxis->range().size() * kDay - 0.1) < 1e-6);
        QVERIFY(p.sbRecZoomUndo->isEnabled());
        QTest::mouseClick(p.sbRecZoomUndo, Qt::LeftButton);
        QCOMPARE(p.cbRecZoom->currentIndex(), 15);
        // Zoomed in to single points: the exact samples are drawn.
        for (int i = 0; i < 5; ++i)
            QTest::mouseClick(p.sbRecZoomIn, Qt::LeftButton);
        p.cbRecZoom->setCurrentIndex(30); // 2 ms: 2 points
        QVERIFY(p.chRec->srRec_Ch1->dataCount() <= 6);
    }

    void stopBeforeTheStartTimerEndsQuietly()
    {
        Harness h;
        RecPage& p = h.page();
        QTest::mouseClick(p.sbRecRun, Qt::LeftButton);
        QTest::mouseClick(p.sbRecRun, Qt::LeftButton);
        QCOMPARE(p.sbRecRun->text(), QString("Запуск"));
        QVERIFY(!p.running());
        QTest::qWait(400);
        QVERIFY(!p.acquisition().running());
        QVERIFY(h.messages.warnings.isEmpty());
        QVERIFY(h.window->pages()->isTabEnabled(0));
    }

    void autoStopWithoutAnIntervalDoesNotStart()
    {
        Harness h;
        RecPage& p = h.page();
        QTest::mouseClick(p.spRecStop, Qt::LeftButton);
        QTest::mouseClick(p.sbRecRun, Qt::LeftButton);
        QVERIFY(!p.sbRecRun->isChecked());
        QVERIFY(!p.running());
        // With 2 s it records 2 s and ends by itself.
        p.dtRecStop->setTime(QTime(0, 0, 2));
        QTest::mouseClick(p.sbRecRun, Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(p.sbRecRun->text() == "Запуск", 10000);
        QCOMPARE(h.count(), std::size_t{2001});
        QVERIFY(h.messages.warnings.isEmpty());
    }

    void unplugKeepsThePointsAndWarnsOnce()
    {
        Harness h;
        RecPage& p = h.page();
        QTest::mouseClick(p.sbRecRun, Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(h.count() > 1000, 10000);
        h.instrument.unplug();
        QTRY_VERIFY_WITH_TIMEOUT(p.sbRecRun->text() == "Запуск", 5000);
        QCOMPARE(h.messages.warnings, QStringList{"Ошибка чтения данных из устройства"});
        QVERIFY(h.count() > 1000);
        QVERIFY(p.chRec->srRec_Ch1->dataCount() > 0);
        QTest::qWait(100);
        QCOMPARE(h.messages.warnings.size(), 1);
    }

    void closingWhileRecordingKeepsThePoints()
    {
        Harness h;
        RecPage& p = h.page();
        QTest::mouseClick(p.sbRecRun, Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(h.count() > 500, 10000);
        h.window->close();
        QVERIFY(!p.acquisition().running());
        QVERIFY(h.count() > 500);
        QCOMPARE(h.messages.saveQuestions.size(), 1); // let go on purpose (the harness's answer)
    }

    void closingAsksBeforeARecordIsLost()
    {
        Harness h;
        RecPage& p = h.page();
        QTest::mouseClick(p.sbRecRun, Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(h.count() > 500, 10000);

        // Cancel: the program stays and goes on recording.
        h.messages.saveAnswer = UserMessages::SaveAnswer::Cancel;
        QVERIFY(!h.window->close());
        QVERIFY(p.acquisition().running());
        QCOMPARE(h.messages.saveQuestions.size(), 1);
        QVERIFY(h.messages.saveQuestions[0].startsWith("Запись самописца не сохранена"));

        // Let go: the recording ends with the program.
        h.messages.saveAnswer = UserMessages::SaveAnswer::Discard;
        QVERIFY(h.window->close());
        QVERIFY(!p.acquisition().running());
    }

    void aSavedRecordClosesWithoutAQuestion()
    {
        Harness h;
        RecPage& p = h.page();
        QTest::mouseClick(p.sbRecRun, Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(h.count() > 500, 10000);
        QTest::mouseClick(p.sbRecRun, Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(!p.acquisition().running(), 5000);
        QVERIFY(p.hasUnsavedRecord());
        // A day-long record that was never saved would be lost as well: the answer Cancel keeps it.
        h.messages.saveAnswer = UserMessages::SaveAnswer::Cancel;
        QVERIFY(!h.window->close());
        QCOMPARE(h.window->dataFileActions->saveData(h.folder.filePath("r.dat")), QString());
        QVERIFY(!p.hasUnsavedRecord());
        QVERIFY(h.window->close());
        QCOMPARE(h.messages.saveQuestions.size(), 1);
    }

    void recordingWithoutDrawingSaysWhyAndTakesMarkers()
    {
        Harness h;
        RecPage& p = h.page();
        p.knRecTimeDiv->setIndexSelectData(59); // 5 µs: below the display limit
        QCOMPARE(p.pnRecShowSignal->text(), QString("Dis"));
        QTest::mouseClick(p.sbRecRun, Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(h.count() > 20000, 10000);
        QVERIFY(p.chRec->notice().startsWith("Прорисовка при записи выключена"));
        QVERIFY(p.sgRecMarker->isEnabled());
        QVERIFY(p.chRec->isEnabled());
        p.sgRecMarkerDblClick(5);
        QVERIFY(p.markers().used(5));
        QTest::mouseClick(p.sbRecRun, Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(p.sbRecRun->text() == "Запуск", 5000);
        QCOMPARE(p.chRec->notice(), QString());
        QVERIFY(p.markers().used(5));
    }

    void anOpenedRecordIsDrawnWholeOnItsRanges()
    {
        Harness h;
        h.window->resize(1200, 800);
        h.window->show();
        RecPage& p = h.page();
        p.knRecCh1->setIndexSelectData(0); // the page on ±0.1 V before the file comes
        p.knRecCh2->setIndexSelectData(3);
        const std::size_t points = 600'000; // more than two storage chunks
        const double end = (points - 1) * 1e-3 / kDay;
        // Without stored axes the ranges come from the record's knobs.
        const QString path = WriteRecord(h.folder.path(), points, {}, {}, {end, 0});
        QVERIFY(!path.isEmpty());
        QCOMPARE(h.window->dataFileActions->openData(path), QString());
        QApplication::processEvents();
        QVERIFY(p.chRec->axisRect()->width() > 500);
        QCOMPARE(p.knRecCh1->IndexSelectData(), 28);
        for (QCPAxis* axis : {p.chRec->channelAxis(0), p.chRec->channelAxis(1)}) {
            QCOMPARE(axis->range().lower, -20.0);
            QCOMPARE(axis->range().upper, 20.0);
        }
        QVERIFY(p.chRec->xAxis->range().upper > 0.99 * end);
        for (int ch = 0; ch < 2; ++ch)
            QCOMPARE(UnpaintedColumns(*p.chRec, ch), QList<int>());

        // Stored axes are shown as they were.
        const QString again = WriteRecord(h.folder.path(), 5'000, {36, -4}, {1, -3}, {});
        QCOMPARE(h.window->dataFileActions->openData(again), QString());
        QCOMPARE(p.chRec->channelAxis(0)->range().lower, -4.0);
        QCOMPARE(p.chRec->channelAxis(0)->range().upper, 36.0);
        QCOMPARE(p.chRec->channelAxis(1)->range().lower, -3.0);
        QCOMPARE(p.chRec->channelAxis(1)->range().upper, 1.0);
    }

    // Time labels of a chart made narrow (one replot, as after a resize) and zoomed in below a
    // millisecond: each label has its room and no two read the same.
    void timeLabelsNeitherCrowdNorRepeat_data()
    {
        QTest::addColumn<int>("width");
        QTest::addColumn<double>("seconds");
        QTest::addColumn<bool>("inMicroseconds");
        QTest::newRow("narrow, one second") << 340 << 1.0 << false;
        QTest::newRow("wide, one second") << 1300 << 1.0 << false;
        QTest::newRow("wide, half a millisecond") << 1300 << 0.0005 << false;
        QTest::newRow("wide, half a microsecond") << 1300 << 0.0000005 << true;
    }

    void timeLabelsNeitherCrowdNorRepeat()
    {
        QFETCH(int, width);
        QFETCH(double, seconds);
        QFETCH(bool, inMicroseconds);
        RecChart chart;
        chart.setTimeInMicroseconds(inMicroseconds);
        chart.resize(1300, 300);
        chart.show();
        const double start = 2.0 / kSecondsPerDay;
        chart.xAxis->setRange(start, start + seconds / kSecondsPerDay);
        chart.replot();
        QTest::qWait(50);
        chart.resize(width, 300); // the chart replots itself once
        QTest::qWait(50);
        const QVector<double> ticks = chart.xAxis->tickVector();
        const QVector<QString> labels = chart.xAxis->tickVectorLabels();
        QVERIFY(!ticks.isEmpty());
        const QFontMetrics metrics(chart.xAxis->tickLabelFont());
        for (int i = 1; i < ticks.size(); ++i) {
            QVERIFY2(labels[i] != labels[i - 1], qPrintable(labels[i]));
            const double gap = chart.xAxis->coordToPixel(ticks[i]) - chart.xAxis->coordToPixel(ticks[i - 1]);
            QVERIFY2(gap > metrics.horizontalAdvance(labels[i]), qPrintable(QString::number(gap)));
        }
    }

    void markerTable()
    {
        Harness h;
        RecPage& p = h.page();
        QTest::mouseClick(p.sbRecRun, Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(h.count() > 3000, 10000);
        QTest::mouseClick(p.sbRecRun, Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(p.sbRecRun->text() == "Запуск", 5000);
        const QCPRange shown = p.chRec->xAxis->range();

        p.sgRecMarkerDblClick(3);
        QVERIFY(p.markers().used(3));
        QCOMPARE(p.markers().marker(3)->comment, std::string("пробный маркер"));
        QCOMPARE(p.markers().marker(3)->colour, 0x00FFFFu);
        QVERIFY(qAbs(p.markers().marker(3)->time - shown.center()) < 1e-12);
        QVERIFY(!p.sgRecMarker->item(3, 1)->text().isEmpty());
        QCOMPARE(p.sgRecMarker->item(3, 1)->foreground().color(), QColor(Qt::black)); // yellow row
        QVERIFY(p.chRec->userMarkerVisible(3));
        // A used row keeps its marker.
        h.answer = "другой";
        p.sgRecMarkerDblClick(3);
        QCOMPARE(p.markers().marker(3)->comment, std::string("пробный маркер"));
        // A 200-character comment keeps 128.
        h.answer = std::string(200, 'x');
        p.EditComment(3);
        QCOMPARE(p.markers().marker(3)->comment.size(), std::size_t{128});
        QVERIFY(p.sgRecMarker->item(3, 1)->text().endsWith("  " + QString(128, 'x')));
        h.colour = 0x800000;
        p.EditColour(3);
        QCOMPARE(p.sgRecMarker->item(3, 1)->foreground().color(), QColor(Qt::white));

        // Scrolled out of view the marker hides; a click on its row brings it back.
        p.cbRecZoom->setCurrentIndex(30);
        p.chRec->xAxis->setRange(0, shown.size() / 500);
        p.chRec->replot();
        QVERIFY(!p.chRec->userMarkerVisible(3));
        p.sgRecMarkerClick(3);
        QVERIFY(p.chRec->xAxis->range().contains(p.markers().marker(3)->time));
        p.chRec->replot();
        QVERIFY(p.chRec->userMarkerVisible(3));

        // Insert and Delete keys on the table.
        p.sgRecMarker->setCurrentCell(7, 0);
        QTest::keyClick(p.sgRecMarker, Qt::Key_Insert);
        QVERIFY(p.markers().used(7));
        QTest::keyClick(p.sgRecMarker, Qt::Key_Delete);
        QVERIFY(!p.markers().used(7));
        QVERIFY(p.sgRecMarker->item(7, 1)->text().isEmpty());
        p.sgRecMarker->setCurrentCell(8, 0);
        QTest::keyClick(p.sgRecMarker, Qt::Key_Delete); // empty: nothing happens
        p.DeleteAllMarkers();
        QVERIFY(!p.markers().used(3));
    }
};

QTEST_MAIN(RecPageTest)
#include "RecPageTest.moc"
