// Measurement data files through the main window's File commands: what a page shows survives a
// save and an open, and a file that cannot be shown leaves the screen as it was.

#include "MainWindowHarness.h"
#include "app/MainMenu.h"
#include "cli/OscCommand.h"
#include "cli/SpectrumCommand.h"
#include "device/UsbSession.h"
#include "sim/AnalogEngine.h"
#include "sim/VirtualInstrument.h"
#include "app/TfmMain.h"
#include "app/files/DataFileActions.h"
#include "app/files/TfmRemark.h"
#include "app/pages/spectrum/FftChart.h"
#include "app/pages/spectrum/FftPage.h"
#include "app/pages/logic/LanChart.h"
#include "app/pages/logic/LanPage.h"
#include "app/pages/osc/OscChart.h"
#include "app/pages/osc/OscPage.h"
#include "app/pages/recorder/RecChart.h"
#include "app/pages/recorder/RecPage.h"
#include "recorder/RecorderRecord.h"
#include "ui/knob/TOscKnob.h"
#include "formats/DataFile.h"
#include "formats/DataFileLoad.h"
#include "logic/ChannelSetup.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QFile>
#include <QLabel>
#include <QTabWidget>
#include <QToolButton>
#include <QtTest>

#include <sstream>

using namespace tesmar;

namespace {

// What the logic analyser page shows, as far as a file carries it.
struct LanView {
    std::vector<std::uint8_t> busA, busB;
    double firstXA = 0, stepA = 0, firstXB = 0, stepB = 0;
    double axisLower = 0, axisUpper = 0;
    QString axisLabel, marker1Time, marker2Time, busAHex;
    int zoom = 0;
    bool modeG = false, modeA = false;
    bool operator==(const LanView&) const = default;
};

LanView ViewOf(LanPage& p)
{
    const DrawnBus& a = p.chLAN->bus(0);
    const DrawnBus& b = p.chLAN->bus(1);
    return {{a.samples.begin(), a.samples.end()},
            {b.samples.begin(), b.samples.end()},
            a.firstX,
            a.step,
            b.firstX,
            b.step,
            p.chLAN->xAxis->range().lower,
            p.chLAN->xAxis->range().upper,
            p.chLAN->xAxis->label(),
            p.lbLANMarker1Time->text(),
            p.lbLANMarker2Time->text(),
            p.lbLANMarkerBusHex[0][0]->text(),
            p.cbLANZoom->currentIndex(),
            p.sbLANModeBusG->isChecked(),
            p.sbLANModeBusA->isChecked()};
}

// What the oscilloscope page shows: the curves point by point, knobs, axes and readouts.
struct OscView {
    std::vector<std::pair<double, double>> curveA, curveB;
    int knobA = 0, knobB = 0, zoom = 0;
    bool onA = false, onB = false;
    std::array<double, 6> axes{};
    QString timeLabel;
    QStringList readouts;
    double levelA = 0, levelB = 0;
    bool operator==(const OscView&) const = default;
};

std::vector<std::pair<double, double>> Points(const QCPGraph* g)
{
    std::vector<std::pair<double, double>> points;
    for (auto it = g->data()->constBegin(); it != g->data()->constEnd(); ++it)
        points.emplace_back(it->key, it->value);
    return points;
}

OscView ViewOf(OscPage& p)
{
    OscChart& c = *p.chOsc;
    OscView v{Points(c.srOsc_Ch1), Points(c.srOsc_Ch2), p.knOscCh1->IndexSelectData(), p.knOscCh2->IndexSelectData(),
              p.cbOscZoom->currentIndex(), p.sbOscOnCh1->isChecked(), p.sbOscOnCh2->isChecked(),
              {c.yAxis->range().lower, c.yAxis->range().upper, c.yAxis2->range().lower, c.yAxis2->range().upper,
               c.xAxis->range().lower, c.xAxis->range().upper},
              c.xAxis->label(), {}, c.triggerLevel(0), c.triggerLevel(1)};
    for (QLabel* l : {p.lbOscMarker1Time, p.lbOscMarker2Time, p.lbOscMarker1VoltA, p.lbOscMarker2VoltB, p.lbOscUc[0],
                      p.lbOscUv[0], p.lbOscF[0], p.lbOscUc[1], p.lbOscUv[1], p.lbOscF[1]})
        v.readouts << l->text();
    return v;
}

void RunOscOnce(OscPage& p)
{
    QTest::mouseClick(p.sbOscRunSingle, Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(p.sbOscRunSingle->text() == "Однокр.", 10000);
}

void Capture(LanPage& p)
{
    QTest::mouseClick(p.sbLANRun, Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(p.sbLANRun->text() == "Запуск", 10000);
}

// What the spectrum page shows: curves, scales, axes, readouts and distortion factors.
struct FftView {
    std::vector<std::pair<double, double>> curveA, curveB;
    bool onA = false, onB = false, dbA = false, refA = false, dbB = false, knifMax = false;
    int knobA = 0, zoom = 0;
    std::array<double, 6> axes{};
    QString frequencyLabel;
    QStringList readouts;
    bool operator==(const FftView&) const = default;
};

FftView ViewOf(FftPage& p)
{
    FftChart& c = *p.chFFT;
    FftView v{Points(c.srFFT_Ch1), Points(c.srFFT_Ch2), p.sbFFTOnCh1->isChecked(), p.sbFFTOnCh2->isChecked(),
              p.spbtFFTCh1dB->isChecked(), p.spbtFFTCh10dB->isChecked(), p.spbtFFTCh2dB->isChecked(),
              p.cbFFTKNIMax->isChecked(), p.knFFTCh1->IndexSelectData(), p.cbFFTZoom->currentIndex(),
              {c.yAxis->range().lower, c.yAxis->range().upper, c.yAxis2->range().lower, c.yAxis2->range().upper,
               c.xAxis->range().lower, c.xAxis->range().upper},
              c.xAxis->label(), {}};
    for (QLabel* l : {p.lbFFTUc[0], p.lbFFTUv[0], p.lbFFTF[0], p.lbFFTUc[1], p.lbFFTKNI1[0], p.lbFFTKNI3[0],
                      p.lbFFTF1[0], p.lbFFTKNI1[1], p.lbFFTF1[1], p.lbFFTMarker1Frec, p.lbFFTMarker1VoltA})
        v.readouts << l->text();
    v.readouts << p.edFFTKNIF->text();
    return v;
}

// What the recorder page shows: the record, knobs, axes, readouts and the user markers.
struct RecView {
    std::vector<double> valuesA, valuesB;
    double period = 0;
    int knobTime = 0, knobA = 0, zoom = 0;
    bool onA = false, onB = false;
    std::array<double, 6> axes{};
    QStringList readouts;
    std::vector<std::tuple<int, std::uint32_t, std::string, double>> markers;
    bool operator==(const RecView&) const = default;
};

RecView ViewOf(RecPage& p)
{
    RecView v;
    if (const RecorderRecord* r = p.record()) {
        v.period = r->layout().pointPeriod;
        for (std::size_t i = 0; i < r->count(); ++i) {
            if (r->on(0))
                v.valuesA.push_back(r->channel(0).at(i));
            if (r->on(1))
                v.valuesB.push_back(r->channel(1).at(i));
        }
    }
    RecChart& c = *p.chRec;
    v.knobTime = p.knRecTimeDiv->IndexSelectData();
    v.knobA = p.knRecCh1->IndexSelectData();
    v.zoom = p.cbRecZoom->currentIndex();
    v.onA = p.sbRecOnCh1->isChecked();
    v.onB = p.sbRecOnCh2->isChecked();
    v.axes = {c.yAxis->range().lower, c.yAxis->range().upper, c.yAxis2->range().lower, c.yAxis2->range().upper,
              c.xAxis->range().lower, c.xAxis->range().upper};
    for (QLabel* l : {p.lbRecRunTime, p.lbRecUmax[0], p.lbRecUmin[0], p.lbRecUsr[0], p.lbRecUmax[1],
                      p.lbRecMarker1VoltA, p.lbRecMarker1VoltB, p.lbRecMarker2VoltA, p.lbRecMarker2VoltB,
                      p.lbRecMarker2Sub1VoltA, p.lbRecMarker2Sub1VoltB})
        v.readouts << l->text();
    for (int slot = 1; slot <= kRecMarkerSlots; ++slot)
        v.readouts << p.sgRecMarker->item(slot, 1)->text();
    for (int slot = 1; slot <= kRecMarkerSlots; ++slot)
        if (const RecMarker* m = p.markers().marker(slot))
            v.markers.emplace_back(slot, m->colour, m->comment, m->time);
    return v;
}

void RunFftOnce(FftPage& p)
{
    QTest::mouseClick(p.sbFFTRunSingle, Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(p.sbFFTRunSingle->text() == "Однокр.", 10000);
}

void Record(RecPage& p, int points)
{
    QTest::mouseClick(p.sbRecRun, Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(p.record() && p.record()->count() > std::size_t(points), 10000);
    QTest::mouseClick(p.sbRecRun, Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(p.sbRecRun->text() == "Запуск", 5000);
}

QByteArray ReadBytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void WriteBytes(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

} // namespace

class DataFileTest : public QObject {
    Q_OBJECT

private slots:
    void logicCaptureSurvivesSaveAndOpen()
    {
        testing::MainWindowHarness h(50.0, true);
        TfmMain& w = h.start();
        DataFileActions& files = *w.dataFileActions;
        LanPage& p = *w.lanPage();
        w.pages()->setCurrentIndex(3);
        const QString path = h.folder.path() + "/lan";
        QCOMPARE(files.saveData(path + ".dat"), QString("Нет данных для сохранения."));
        QVERIFY(!QFile::exists(path + ".dat"));

        // Sixteen lines: bus B as second analyser input.
        QTest::mouseClick(p.sbLANModeBusG, Qt::LeftButton);
        QTest::mouseClick(p.sbLANModeBusA, Qt::LeftButton);
        Capture(p);
        p.cbLANZoom->setCurrentIndex(16); // 2:1
        const LanView saved = ViewOf(p);
        QVERIFY(!saved.busA.empty());
        QCOMPARE(saved.busB.size(), saved.busA.size());

        QCOMPARE(files.saveData(path + ".dat"), QString());
        QCOMPARE(p.dataFileName(), QString("lan.dat"));
        QVERIFY(w.windowTitle().endsWith(" - lan.dat"));

        // Another capture in another mode and zoom, on another page: the file brings the old back.
        QTest::mouseClick(p.sbLANModeBusG, Qt::LeftButton);
        p.cbLANZoom->setCurrentIndex(14);
        Capture(p);
        QVERIFY(!(ViewOf(p) == saved));
        p.setDataFileName({});
        w.pages()->setCurrentIndex(0);
        QCOMPARE(files.openData(path + ".dat"), QString());
        QCOMPARE(w.pages()->currentIndex(), 3);
        QCOMPARE(p.dataFileName(), QString("lan.dat"));
        const LanView opened = ViewOf(p);
        QCOMPARE(opened.busA, saved.busA);
        QCOMPARE(opened.busB, saved.busB);
        QCOMPARE(opened.firstXA, saved.firstXA);
        QCOMPARE(opened.stepA, saved.stepA);
        QCOMPARE(opened.axisLower, saved.axisLower);
        QCOMPARE(opened.axisUpper, saved.axisUpper);
        QCOMPARE(opened.axisLabel, saved.axisLabel);
        // The file carries the view, not the markers (they keep their times while the view
        // changes): they start at the view's edges.
        QCOMPARE(p.chLAN->markerPosition(0), opened.axisLower);
        QCOMPARE(p.chLAN->markerPosition(1), opened.axisUpper);
        LanView markersApart = saved;
        markersApart.marker1Time = opened.marker1Time;
        markersApart.marker2Time = opened.marker2Time;
        markersApart.busAHex = opened.busAHex; // marker 1's readout
        QVERIFY(opened == markersApart);
        QCOMPARE(h.window->logicCapture().busA, saved.busA);

        // The bytes as the command line reads them: the same capture.
        const auto loaded = LoadCaptureFile((path + ".dat").toStdString());
        QVERIFY(std::holds_alternative<CaptureImport>(loaded));
        QVERIFY(h.messages.errors.size() == 1); // only the "nothing to save" above
    }

    // A capture saved as CSV heads its columns with the channel names, one per captured line.
    void logicCsvHeaderTakesTheChannelNames()
    {
        testing::MainWindowHarness h(50.0, true);
        TfmMain& w = h.start();
        LanPage& p = *w.lanPage();
        w.pages()->setCurrentIndex(3);
        QTest::mouseClick(p.sbLANModeBusG, Qt::LeftButton); // bus B unused: eight lines
        Capture(p);
        ChannelSetup setup;
        setup.names[0] = "RX";
        setup.names[3] = "CLK";
        setup.names[9] = "SDA"; // a line of bus B, which was not captured
        const QString setupPath = h.folder.path() + "/names.lan";
        QVERIFY(WriteChannelSetupFile(setupPath.toStdString(), setup));
        QVERIFY(p.openSetupFile(setupPath));
        const QString table = h.folder.path() + "/lan.csv";
        QCOMPARE(w.dataFileActions->saveCsv(table), QString());
        QFile csv(table);
        QVERIFY(csv.open(QIODevice::ReadOnly));
        QCOMPARE(csv.readLine(), QByteArray("time,RX,A.1,A.2,CLK,A.4,A.5,A.6,A.7\n"));
    }

    // The knob and the read mode come back with the capture: the next run takes the rate shown.
    void logicFileBringsBackItsRateAndReadMode()
    {
        testing::MainWindowHarness h(50.0, true);
        TfmMain& w = h.start();
        LanPage& p = *w.lanPage();
        w.pages()->setCurrentIndex(3);
        QTest::mouseClick(p.sbLANModeBusG, Qt::LeftButton); // bus B unused
        const struct {
            const char* name;
            int entry;
            const char* readType;
        } cases[] = {{"stream", 23, "Pipe"}, {"fast", 36, "Buf"}, {"buffered", 26, "Buf"}};
        for (const auto& c : cases) {
            p.knLANFrecDiv->setIndexSelectData(c.entry);
            QCOMPARE(p.pnLANViewReadType->text(), QString(c.readType));
            Capture(p);
            const QString path = h.folder.path() + "/" + c.name + ".dat";
            QCOMPARE(w.dataFileActions->saveData(path), QString());
            p.knLANFrecDiv->setIndexSelectData(31); // back to 1 MHz, buffered
            QCOMPARE(w.dataFileActions->openData(path), QString());
            QCOMPARE(p.knLANFrecDiv->IndexSelectData(), c.entry);
            QCOMPARE(p.pnLANViewReadType->text(), QString(c.readType));
            QCOMPARE(p.mode().rateCode, c.entry == 23 ? 6 : c.entry == 36 ? 0 : 5);
        }
    }

    void generatorModeFileHasNoBusB()
    {
        testing::MainWindowHarness h(50.0, true);
        TfmMain& w = h.start();
        LanPage& p = *w.lanPage();
        w.pages()->setCurrentIndex(3);
        QVERIFY(p.sbLANModeBusG->isChecked());
        Capture(p);
        const QString path = h.folder.path() + "/gen.dat";
        QCOMPARE(w.dataFileActions->saveData(path), QString());
        const auto bytes = ReadWholeFile(path.toStdString());
        QVERIFY(bytes.has_value());
        const auto read = ReadDataFile(*bytes);
        QVERIFY(std::holds_alternative<DataFile>(read));
        const DataFile& file = std::get<DataFile>(read);
        QVERIFY(file.busA.has_value());
        QVERIFY(!file.busB.has_value());
        QVERIFY(std::get<LogicSettingsChunk>(file.settings).sbLANModeBusG);
    }

    void refusedFilesLeaveTheScreenAsItWas()
    {
        testing::MainWindowHarness h(50.0, true);
        TfmMain& w = h.start();
        DataFileActions& files = *w.dataFileActions;
        LanPage& p = *w.lanPage();
        w.pages()->setCurrentIndex(3);
        Capture(p);
        const QString good = h.folder.path() + "/good.dat";
        QCOMPARE(files.saveData(good), QString());
        QFile f(good);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray bytes = f.readAll();
        f.close();

        // A different capture on screen, then files that must not replace it.
        p.cbLANZoom->setCurrentIndex(17);
        Capture(p);
        p.setDataFileName("shown.dat");
        w.pages()->setCurrentIndex(1);
        const LanView before = ViewOf(p);

        DataFile osc;
        osc.settings = OscSettingsChunk{};
        osc.channelA = std::vector<double>{1.0, 2.0};
        const std::vector<std::uint8_t> oscBytes = WriteDataFile(osc);
        DataFile fft;
        fft.settings = SpectrumSettingsChunk{};
        const std::vector<std::uint8_t> fftBytes = WriteDataFile(fft);
        struct Case {
            const char* name;
            QByteArray bytes;
            bool unknownFormat;
        };
        const Case cases[] = {
            {"empty", {}, true},
            {"data chunk first", QByteArray("\x81\x09\x00\x00\x00\x00\x00\x00\x00", 9), true},
            {"cut in the capture", bytes.left(bytes.size() - 20), false},
            {"without the end chunk", bytes.left(bytes.size() - 5), false},
            // An oscilloscope file without a sample period.
            {"oscilloscope", QByteArray(reinterpret_cast<const char*>(oscBytes.data()), int(oscBytes.size())), true},
            // A spectrum file without a sample rate.
            {"spectrum", QByteArray(reinterpret_cast<const char*>(fftBytes.data()), int(fftBytes.size())), true},
        };
        for (const Case& c : cases) {
            const QString path = h.folder.path() + "/" + c.name + ".dat";
            WriteBytes(path, c.bytes);
            const QString message = files.openData(path);
            QVERIFY2(message.startsWith("Не возможно открыть выбранный файл:\r" + path + "\r"), c.name);
            QCOMPARE(message.endsWith("Не известный формат файла."), c.unknownFormat);
            QVERIFY2(ViewOf(p) == before, c.name);
            QCOMPARE(p.dataFileName(), QString("shown.dat"));
            QCOMPARE(w.pages()->currentIndex(), 1);
        }
        QCOMPARE(files.openData(h.folder.path() + "/missing.dat"),
                 "Не возможно открыть выбранный файл:\r" + h.folder.path() + "/missing.dat\rНе известный формат файла.");
        QCOMPARE(h.messages.errors.size(), int(std::size(cases)) + 1);
    }

    void oscilloscopeRecordSurvivesSaveAndOpen()
    {
        testing::MainWindowHarness h(50.0, true);
        TfmMain& w = h.start();
        DataFileActions& files = *w.dataFileActions;
        OscPage& p = *w.oscPage();
        const QString path = h.folder.path() + "/osc.dat";
        QCOMPARE(files.saveData(path), QString("Нет данных для сохранения."));

        p.knOscTimeDiv->setIndexSelectData(30); // 25 µs
        p.knOscCh1->setIndexSelectData(10);     // 2 V
        QTest::mouseClick(p.sbOscOnCh2, Qt::LeftButton);
        RunOscOnce(p);
        p.cbOscZoom->setCurrentIndex(2);
        p.chOsc->setTriggerLevel(0, 0.75);
        p.chOsc->replot();
        const OscView saved = ViewOf(p);
        QVERIFY(!saved.curveA.empty());
        QVERIFY(!saved.curveB.empty());
        QVERIFY(!saved.readouts[4].isEmpty());
        QCOMPARE(files.saveData(path), QString());
        QVERIFY(w.windowTitle().endsWith(" - osc.dat"));

        // Something else on screen, and another page active.
        p.knOscCh1->setIndexSelectData(13);
        p.knOscTimeDiv->setIndexSelectData(28);
        p.cbOscZoom->setCurrentIndex(0);
        QTest::mouseClick(p.sbOscOnCh2, Qt::LeftButton);
        RunOscOnce(p);
        QVERIFY(!(ViewOf(p) == saved));
        w.pages()->setCurrentIndex(3);

        QCOMPARE(files.openData(path), QString());
        QCOMPARE(w.pages()->currentIndex(), 0);
        const OscView opened = ViewOf(p);
        QCOMPARE(opened.curveA.size(), saved.curveA.size());
        QCOMPARE(opened.curveB.size(), saved.curveB.size());
        for (std::size_t i = 0; i < saved.curveA.size(); i += 97) {
            QCOMPARE(opened.curveA[i].first, saved.curveA[i].first);
            QCOMPARE(opened.curveA[i].second, saved.curveA[i].second);
        }
        QCOMPARE(opened.knobA, saved.knobA);
        QCOMPARE(opened.zoom, saved.zoom);
        QCOMPARE(opened.axes, saved.axes);
        QCOMPARE(opened.timeLabel, saved.timeLabel);
        QCOMPARE(opened.readouts, saved.readouts);
        QCOMPARE(opened.levelA, 0.75);
        QVERIFY(opened == saved);
    }

    void oscilloscopeFileWithChannelBOnly()
    {
        testing::MainWindowHarness h(50.0, true);
        TfmMain& w = h.start();
        OscPage& p = *w.oscPage();
        QTest::mouseClick(p.sbOscOnCh2, Qt::LeftButton);
        QTest::mouseClick(p.sbOscOnCh1, Qt::LeftButton); // A off
        RunOscOnce(p);
        QCOMPARE(p.chOsc->srOsc_Ch1->dataCount(), 0);
        const QString path = h.folder.path() + "/b.dat";
        QCOMPARE(w.dataFileActions->saveData(path), QString());
        const auto read = ReadDataFile(*ReadWholeFile(path.toStdString()));
        const DataFile& file = std::get<DataFile>(read);
        QVERIFY(!file.channelA.has_value());
        QCOMPARE(int(file.channelB->size()), p.chOsc->srOsc_Ch2->dataCount());

        QTest::mouseClick(p.sbOscOnCh1, Qt::LeftButton);
        RunOscOnce(p);
        QVERIFY(p.chOsc->srOsc_Ch1->dataCount() > 0);
        QCOMPARE(w.dataFileActions->openData(path), QString());
        QCOMPARE(p.chOsc->srOsc_Ch1->dataCount(), 0);
        QCOMPARE(p.chOsc->srOsc_Ch2->dataCount(), int(file.channelB->size()));
        QVERIFY(!p.sbOscOnCh1->isChecked());
    }

    void spectrumSurvivesSaveAndOpen()
    {
        testing::MainWindowHarness h(50.0, true);
        TfmMain& w = h.start();
        DataFileActions& files = *w.dataFileActions;
        FftPage& p = *w.fftPage();
        w.pages()->setCurrentIndex(1);
        const QString path = h.folder.path() + "/fft.dat";
        QCOMPARE(files.saveData(path), QString("Нет данных для сохранения."));

        QTest::mouseClick(p.sbFFTOnCh2, Qt::LeftButton);
        QTest::mouseClick(p.spbtFFTCh1dB, Qt::LeftButton);
        QTest::mouseClick(p.spbtFFTCh10dB, Qt::LeftButton);
        RunFftOnce(p);
        p.cbFFTZoom->setCurrentIndex(2);
        const FftView saved = ViewOf(p);
        QVERIFY(!saved.curveA.empty());
        QVERIFY(!saved.curveB.empty());
        QVERIFY(!saved.readouts[6].isEmpty()); // F1 of channel A
        const int length = p.record().length;
        QCOMPARE(files.saveData(path), QString());
        const DataFile file = std::get<DataFile>(ReadDataFile(*ReadWholeFile(path.toStdString())));
        QCOMPARE(int(file.channelA->size()), int(saved.curveA.size()));
        QCOMPARE(2 * int(file.channelA->size()) - 2, length);

        // Another measurement with other scales, and another page active.
        QTest::mouseClick(p.spbtFFTCh1dB, Qt::LeftButton);
        QTest::mouseClick(p.sbFFTOnCh2, Qt::LeftButton);
        p.cbFFTZoom->setCurrentIndex(0);
        RunFftOnce(p);
        QVERIFY(!(ViewOf(p) == saved));
        w.pages()->setCurrentIndex(0);

        QCOMPARE(files.openData(path), QString());
        QCOMPARE(w.pages()->currentIndex(), 1);
        const FftView opened = ViewOf(p);
        QCOMPARE(opened.curveA.size(), saved.curveA.size());
        for (std::size_t i = 0; i < saved.curveA.size(); i += 37) {
            QCOMPARE(opened.curveA[i].first, saved.curveA[i].first);
            QCOMPARE(opened.curveA[i].second, saved.curveA[i].second);
        }
        QCOMPARE(opened.axes, saved.axes);
        QCOMPARE(opened.readouts, saved.readouts);
        QVERIFY(opened == saved);
        QCOMPARE(p.record().length, length);
    }

    void recordSurvivesSaveAndOpenWithItsMarkers()
    {
        testing::MainWindowHarness h(50.0, true);
        TfmMain& w = h.start();
        DataFileActions& files = *w.dataFileActions;
        RecPage& p = *w.recPage();
        w.pages()->setCurrentIndex(2);
        p.markerQuestions = {};
        const QString path = h.folder.path() + "/rec.dat";
        QCOMPARE(files.saveData(path), QString("Нет данных для сохранения."));

        QTest::mouseClick(p.sbRecOnCh2, Qt::LeftButton);
        // Long enough that the second measuring marker lies on the record however soon it stops.
        Record(p, 2000);
        p.PlaceMarker(3, 0x00FF00, "пик", p.record()->timeOf(0, 100));
        p.PlaceMarker(42, 0x0000FF, "spad", p.record()->timeOf(0, 400));
        const RecView saved = ViewOf(p);
        QCOMPARE(saved.valuesA.size(), saved.valuesB.size());
        QCOMPARE(saved.markers.size(), std::size_t(2));
        // Both channels read under both measuring markers, the first one at the record's start.
        for (int i = 5; i <= 10; ++i)
            QVERIFY2(!saved.readouts[i].isEmpty(), qPrintable(QString::number(i)));
        QCOMPARE(files.saveData(path), QString());
        // Written from the record's chunks: the bytes of the whole file made from a copy of it.
        DataFile copied = *p.saveDataFile();
        copied.remarkLines = w.fmRemark->remark(2);
        const std::vector<std::uint8_t> expected = WriteDataFile(copied);
        const QByteArray savedBytes = ReadBytes(path);
        QCOMPARE(savedBytes, QByteArray(reinterpret_cast<const char*>(expected.data()), int(expected.size())));

        // A new record with one channel and no markers; the file brings the old one back.
        p.DeleteMarker(42);
        QTest::mouseClick(p.sbRecOnCh2, Qt::LeftButton);
        Record(p, 100);
        p.PlaceMarker(7, 0xFF0000, "other", 0);
        QVERIFY(!(ViewOf(p) == saved));
        w.pages()->setCurrentIndex(3);

        QCOMPARE(files.openData(path), QString());
        QCOMPARE(w.pages()->currentIndex(), 2);
        const RecView opened = ViewOf(p);
        QCOMPARE(opened.valuesA, saved.valuesA);
        QCOMPARE(opened.valuesB, saved.valuesB);
        QCOMPARE(opened.markers, saved.markers);
        QCOMPARE(opened.axes, saved.axes);
        QCOMPARE(opened.readouts, saved.readouts);
        QVERIFY(opened == saved);
        // Channel B lies half a period after channel A, as it was drawn.
        const double dt = p.record()->dtDays();
        QCOMPARE(p.record()->timeOf(1, 10) - p.record()->timeOf(0, 10), dt / 2);
        // The table lists each marker's comment beside its time.
        QVERIFY(p.sgRecMarker->item(3, 1)->text().endsWith("  пик"));
        QCOMPARE(p.sgRecMarker->item(42, 0)->toolTip(), QString("spad"));
        QCOMPARE(p.sgRecMarker->item(7, 1)->text(), QString());
        // Saved again, the opened record gives the same bytes.
        const QString again = h.folder.path() + "/rec-again.dat";
        QCOMPARE(files.saveData(again), QString());
        QCOMPARE(ReadBytes(again), savedBytes);

        // Files cut inside channel B's values or before the end chunk are refused whole: the
        // record on screen stays.
        for (const int cut : {5, 5 + 8 * 3, 5 + 8 * 300}) {
            const QString broken = h.folder.path() + "/cut.dat";
            WriteBytes(broken, savedBytes.left(savedBytes.size() - cut));
            QVERIFY(files.openData(broken).startsWith("Не возможно открыть выбранный файл:\r" + broken + "\r"));
            QVERIFY(ViewOf(p) == saved);
        }
    }

    void remarksTravelWithTheirPageFiles()
    {
        testing::MainWindowHarness h(50.0, true);
        TfmMain& w = h.start();
        TfmRemark& r = *w.fmRemark;
        OscPage& p = *w.oscPage();
        RunOscOnce(p);

        // "&Комментарий…" opens the remark of the active page.
        w.pages()->setCurrentIndex(2);
        r.pgcntrRem->setCurrentIndex(0);
        w.menu().miEditRem->trigger();
        QVERIFY(r.isVisible());
        QCOMPARE(r.pgcntrRem->currentIndex(), 2);
        w.pages()->setCurrentIndex(0);
        w.menu().miEditRem->trigger();
        QCOMPARE(r.pgcntrRem->currentIndex(), 0);

        r.mmOsc->setPlainText("Генератор Г3-112\nвыход 1 В");
        r.mmLAN->setPlainText("bus");
        const QString path = h.folder.path() + "/remark.dat";
        QCOMPARE(w.dataFileActions->saveData(path), QString());
        const DataFile file = std::get<DataFile>(ReadDataFile(*ReadWholeFile(path.toStdString())));
        QCOMPARE(file.remarkLines, (std::vector<std::string>{"Генератор Г3-112", "выход 1 В"}));

        r.spbtNewClick();
        QVERIFY(r.mmOsc->toPlainText().isEmpty());
        QCOMPARE(r.mmLAN->toPlainText(), QString("bus")); // only the current page's remark
        QCOMPARE(w.dataFileActions->openData(path), QString());
        QCOMPARE(r.mmOsc->toPlainText(), QString("Генератор Г3-112\nвыход 1 В"));

        // Remark files: lines ended by LF alone load as lines and are written back with CR LF.
        const QString text = h.folder.path() + "/notes.txt";
        WriteBytes(text, QByteArray("first\nsecond\n"));
        QCOMPARE(r.openRemark(text), QString());
        QCOMPARE(r.mmOsc->toPlainText(), QString("first\nsecond"));
        QCOMPARE(r.saveRemark(text), QString());
        QFile back(text);
        QVERIFY(back.open(QIODevice::ReadOnly));
        QCOMPARE(back.readAll(), QByteArray("first\r\nsecond\r\n"));
        QCOMPARE(r.openRemark(h.folder.path() + "/missing.txt").isEmpty(), false);
    }

    void filesOfTheCommandLineOpenOnTheirPages()
    {
        SimClock clock(50.0);
        VirtualInstrument instrument(clock);
        InstallAnalogEngine(instrument);
        UsbSession session(instrument);
        session.setSleeper([&clock](int ms) { clock.sleepMs(ms); });
        testing::MainWindowHarness h(50.0, true);
        TfmMain& w = h.start();
        std::ostringstream out, err;
        const std::string osc = h.folder.path().toStdString() + "/cli-osc.dat";
        const std::string fft = h.folder.path().toStdString() + "/cli-fft.dat";
        QCOMPARE(RunOscCommand(session, {"--channels", "ab", "--range-b", "2", "--out", osc}, out, err), 0);
        QCOMPARE(RunSpectrumCommand(session, {"--rate", "20k", "--out", fft}, out, err), 0);

        QCOMPARE(w.dataFileActions->openData(QString::fromStdString(osc)), QString());
        QCOMPARE(w.pages()->currentIndex(), 0);
        OscPage& p = *w.oscPage();
        QCOMPARE(p.chOsc->srOsc_Ch1->dataCount(), 563);
        QCOMPARE(p.chOsc->srOsc_Ch2->dataCount(), 563);
        QCOMPARE(p.knOscCh2->CurValueReal(), 2.0);
        QVERIFY(!p.lbOscF[0]->text().isEmpty());

        QCOMPARE(w.dataFileActions->openData(QString::fromStdString(fft)), QString());
        QCOMPARE(w.pages()->currentIndex(), 1);
        QCOMPARE(w.fftPage()->chFFT->srFFT_Ch1->dataCount(), 513);
        QCOMPARE(w.fftPage()->record().length, 1024);
        QVERIFY(!w.fftPage()->lbFFTF1[0]->text().isEmpty());
        QVERIFY(h.messages.errors.isEmpty());

        // The page as a table in the columns of tesmar-cli convert.
        const QString table = h.folder.path() + "/fft.csv";
        QCOMPARE(w.dataFileActions->saveCsv(table), QString());
        QFile csv(table);
        QVERIFY(csv.open(QIODevice::ReadOnly));
        const QList<QByteArray> rows = csv.readAll().split('\n');
        QCOMPARE(rows.first(), QByteArray("frequency_hz,A,B"));
        QCOMPARE(rows.size(), 1 + 513 + 1); // the header, the points and the last line end
        w.pages()->setCurrentIndex(2);
        QCOMPARE(w.dataFileActions->saveCsv(table), QString("Нет данных для сохранения."));
    }
};

QTEST_MAIN(DataFileTest)
#include "DataFileTest.moc"
