// The statistics window of the logic analyser page: opened from its menu item, counting the
// generator data and a capture of the virtual instrument's scene, following the bus B mode.

#include "MainWindowHarness.h"
#include "app/MainMenu.h"
#include "app/TfmMain.h"
#include "app/logic/LanGeneratorPanel.h"
#include "app/logic/TfmLANStat.h"
#include "app/pages/logic/LanPage.h"

#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QTableWidget>
#include <QToolButton>
#include <QtTest>

using namespace tesmar;

namespace {

struct Harness : testing::MainWindowHarness {
    Harness() : MainWindowHarness(50.0, true) { start(); }
    LanPage& page() { return *window->lanPage(); }
};

QString Text(TfmLANStat& w, const char* name)
{
    auto* label = w.findChild<QLabel*>(name);
    return label ? label->text().trimmed() : QString("(no %1)").arg(name);
}

} // namespace

class LanStatisticsTest : public QObject {
    Q_OBJECT

private slots:
    void generatorDataThenSceneCapture()
    {
        Harness h;
        LanPage& p = h.page();
        GeneratorData& g = h.window->generatorData();
        for (int i = 0; i < GeneratorData::kSampleCount; ++i)
            g.setLine(i, 0, (i / 5) & 1); // B.0: 5 µs high, 5 µs low at 1 MHz
        p.generatorPanel->strgridLANGenerator->item(0, 1)->setText("00"); // a committed edit
        h.window->menu().miLANStatOnTop->setChecked(false);
        h.window->menu().miLANStat->trigger();
        TfmLANStat& w = *p.fmLANStat;
        QVERIFY(w.isVisible());
        QVERIFY(w.grboxStatBusB->isVisible());
        QCOMPARE(Text(w, "lbERChB0"), QString("154")); // rises at 5, 15 … 1535
        QCOMPARE(Text(w, "lbEFChB0"), QString("154"));
        for (const char* name : {"lbTiChB0", "lbTiChB0min", "lbTpChB0max"}) {
            QVERIFY2(Text(w, name).startsWith("5") && Text(w, name).endsWith("00 мкс"), qPrintable(Text(w, name)));
        }
        QVERIFY2(Text(w, "lbFsChB0").startsWith("100") && Text(w, "lbFsChB0").endsWith(" кГц"),
                 qPrintable(Text(w, "lbFsChB0")));
        QCOMPARE(Text(w, "lbERChB1"), QString("0"));
        // A changed generator sample is counted at once.
        p.generatorPanel->strgridLANGenerator->item(700, 1)->setText("02");
        QCOMPARE(Text(w, "lbERChB1"), QString("1")); // one sample high: a pulse of 1 µs, no pause
        QCOMPARE(Text(w, "lbEFChB1"), QString("1"));
        QVERIFY2(Text(w, "lbTiChB1").startsWith("1"), qPrintable(Text(w, "lbTiChB1")));
        QVERIFY2(Text(w, "lbTpChB1").startsWith("0"), qPrintable(Text(w, "lbTpChB1")));

        // Without bus B the group goes; a capture of the scene fills bus A: A.7 is the SPI chip
        // select, high for 50 µs every 160 µs.
        QTest::mouseClick(p.sbLANModeBusG, Qt::LeftButton);
        QVERIFY(!w.grboxStatBusB->isVisible());
        QTest::mouseClick(p.sbLANRun, Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(p.sbLANRun->text() == "Запуск", 10000);
        QVERIFY2(Text(w, "lbERChA7").toInt() >= 9, qPrintable(Text(w, "lbERChA7")));
        QVERIFY2(Text(w, "lbTiChA7").startsWith("50") && Text(w, "lbTiChA7").endsWith(" мкс"),
                 qPrintable(Text(w, "lbTiChA7")));
        // Unchecking "on top" closes the window.
        h.window->menu().miLANStatOnTop->trigger();
        QVERIFY(w.isVisible());
        h.window->menu().miLANStatOnTop->trigger();
        QVERIFY(!w.isVisible());
    }
};

QTEST_MAIN(LanStatisticsTest)
#include "LanStatisticsTest.moc"
