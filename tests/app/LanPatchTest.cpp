// Patch mode on the logic analyser page: captures of the virtual instrument's scene drawn dotted
// after the main diagram, shifted with the chart's buttons and joined into the capture.

#include "MainWindowHarness.h"
#include "app/MainMenu.h"
#include "app/TfmMain.h"
#include "app/logic/TfmLANStat.h"
#include "app/pages/logic/LanChart.h"
#include "app/pages/logic/LanPage.h"
#include "ui/knob/TOscKnob.h"

#include <QAction>
#include <QLabel>
#include <QTimer>
#include <QToolButton>
#include <QtTest>

#include <cmath>

using namespace tesmar;

namespace {

struct Harness : testing::MainWindowHarness {
    Harness() : MainWindowHarness(50.0, true) { start(); }
    LanPage& page() { return *window->lanPage(); }
    QAction& patchItem() { return *window->menu().miLANPatch; }

    // One buffered capture of the scene; false when it did not finish.
    bool capture()
    {
        QTest::mouseClick(page().sbLANRun, Qt::LeftButton);
        return QTest::qWaitFor([&] { return page().sbLANRun->text() == "Запуск"; }, 10000);
    }
};

int Rises(const std::vector<std::uint8_t>& bus, int line)
{
    int n = 0;
    for (std::size_t i = 1; i < bus.size(); ++i)
        n += !((bus[i - 1] >> line) & 1) && ((bus[i] >> line) & 1);
    return n;
}

} // namespace

class LanPatchTest : public QObject {
    Q_OBJECT

private slots:
    void secondCaptureIsDrawnDottedAfterTheFirstAndShifts()
    {
        Harness h;
        LanPage& p = h.page();
        QVERIFY(!h.patchItem().isEnabled()); // no buffered capture yet
        QVERIFY(h.capture());
        QVERIFY(h.patchItem().isEnabled());
        QVERIFY(p.spbtPatch->isHidden());
        h.patchItem().trigger();
        QVERIFY(h.patchItem().isChecked());
        const std::vector<std::uint8_t> main = h.window->logicCapture().busA;
        QVERIFY(h.capture());
        // The main diagram and the capture stay; the new samples wait on the dotted traces.
        QCOMPARE(h.window->logicCapture().busA, main);
        const PendingPatch* patch = p.pendingPatch();
        QVERIFY(patch);
        QVERIFY(!p.spbtPatch->isHidden() && !p.spbtPatchShiftLeft->isHidden());
        const DrawnBus& dotted = p.chLAN->bus(LanChart::kPatchBusA);
        QCOMPARE(int(dotted.samples.size()), 1544);
        QVERIFY(std::fabs(dotted.firstX - p.chLAN->bus(0).lastX()) < 1e-6); // on the main diagram's last sample
        QVERIFY(std::fabs(p.chLAN->xAxis->range().lower - dotted.firstX) < 1e-6); // the window opens on the patch
        QVERIFY(h.messages.warnings.isEmpty());

        // A press shifts once and arms the repeat after a pause; ticks while held repeat faster.
        QTest::mousePress(p.spbtPatchShiftRight, Qt::LeftButton);
        QCOMPARE(p.pendingPatch()->shift, 1);
        QVERIFY(p.timerRepeatPatchShift->isActive());
        QCOMPARE(p.timerRepeatPatchShift->interval(), 1000);
        p.timerRepeatPatchShiftTimer();
        QCOMPARE(p.pendingPatch()->shift, 2);
        QCOMPARE(p.timerRepeatPatchShift->interval(), 50);
        QTest::mouseRelease(p.spbtPatchShiftRight, Qt::LeftButton);
        QCOMPARE(p.patchShiftDirection(), 0);
        p.timerRepeatPatchShiftTimer(); // the next tick after the release ends the repeat
        QVERIFY(!p.timerRepeatPatchShift->isActive());
        QCOMPARE(p.timerRepeatPatchShift->interval(), 1000);
        QCOMPARE(p.pendingPatch()->shift, 2);

        // Left stops where the patch would start before the main diagram.
        QTest::mousePress(p.spbtPatchShiftLeft, Qt::LeftButton);
        for (int i = 0; i < 1600; ++i)
            p.timerRepeatPatchShiftTimer();
        QTest::mouseRelease(p.spbtPatchShiftLeft, Qt::LeftButton);
        QCOMPARE(p.pendingPatch()->shift, -1543);
        QVERIFY(std::fabs(p.chLAN->bus(LanChart::kPatchBusA).firstX - p.chLAN->bus(0).firstX) < 1e-6);

        // Unchecking patch mode drops the waiting capture.
        h.patchItem().trigger();
        QVERIFY(!p.pendingPatch());
        QVERIFY(p.chLAN->bus(LanChart::kPatchBusA).empty());
        QVERIFY(p.spbtPatch->isHidden());
    }

    void joinExtendsTheCaptureAndTheStatisticsFollow()
    {
        Harness h;
        LanPage& p = h.page();
        QVERIFY(h.capture());
        h.patchItem().trigger();
        h.window->menu().miLANStatOnTop->setChecked(false);
        h.window->menu().miLANStat->trigger();
        auto* rises = p.fmLANStat->findChild<QLabel*>("lbERChA7");
        QVERIFY(rises);
        const int before = rises->text().trimmed().toInt();
        QCOMPARE(before, Rises(h.window->logicCapture().busA, 7));
        const std::vector<std::uint8_t> main = h.window->logicCapture().busA;
        QVERIFY(h.capture());
        const std::vector<std::uint8_t> patch = p.pendingPatch()->busA;
        QTest::mouseClick(p.spbtPatchShiftRight, Qt::LeftButton);
        QTest::mouseClick(p.spbtPatchShiftRight, Qt::LeftButton);
        QTest::mouseClick(p.spbtPatch, Qt::LeftButton);

        // Samples 1543 + 2 … 3087 − 1 are the patch's 0 … 1542, with a gap of one low sample.
        const std::vector<std::uint8_t>& joined = h.window->logicCapture().busA;
        QCOMPARE(int(joined.size()), 1545 + 1543);
        QVERIFY(std::equal(main.begin(), main.end(), joined.begin()));
        QCOMPARE(int(joined[1544]), 0);
        QVERIFY(std::equal(patch.begin(), patch.end() - 1, joined.begin() + 1545));
        QVERIFY(!p.pendingPatch());
        QVERIFY(p.spbtPatch->isHidden());
        QCOMPARE(int(p.chLAN->bus(0).samples.size()), int(joined.size())); // redrawn from the capture
        QCOMPARE(rises->text().trimmed().toInt(), Rises(joined, 7));
        QVERIFY(Rises(joined, 7) > before);
    }

    void differentRateWarnsAtOnceAndTheJoinIsRefused()
    {
        Harness h;
        LanPage& p = h.page();
        QVERIFY(h.capture());
        h.patchItem().trigger();
        p.knLANFrecDiv->setIndexSelectData(30); // 900 kHz, still buffered
        QVERIFY(h.capture());
        QCOMPARE(h.messages.warnings.size(), 1);
        QVERIFY(h.messages.warnings[0].startsWith("Из-за различия частот дискретизации между основной диаграммой\rи "
                                                  "вклейкой склеивание невозможно будет выполнить."));
        QVERIFY(p.pendingPatch());
        const std::vector<std::uint8_t> main = h.window->logicCapture().busA;
        QTest::mouseClick(p.spbtPatch, Qt::LeftButton);
        QCOMPARE(h.messages.warnings.size(), 2);
        QVERIFY(h.messages.warnings[1].contains("невозможно выполнить склеивание"));
        QCOMPARE(h.window->logicCapture().busA, main);
        QVERIFY(p.pendingPatch()); // still waiting: it may be dropped or replaced
        // A bus B mode change drops it.
        QTest::mouseClick(p.sbLANModeBusG, Qt::LeftButton);
        QVERIFY(!p.pendingPatch());
    }

    void streamCaptureEndsPatchMode()
    {
        Harness h;
        LanPage& p = h.page();
        QVERIFY(h.capture());
        h.patchItem().trigger();
        QTest::mouseClick(p.sbLANModeBusG, Qt::LeftButton);
        p.knLANFrecDiv->setIndexSelectData(23); // 250 kHz: streamed
        QVERIFY(h.capture());
        QVERIFY(!h.patchItem().isChecked());
        QVERIFY(!h.patchItem().isEnabled());
        QVERIFY(!p.pendingPatch());
        QCOMPARE(int(h.window->logicCapture().busA.size()), 65536); // drawn as the main diagram
    }
};

QTEST_MAIN(LanPatchTest)
#include "LanPatchTest.moc"
