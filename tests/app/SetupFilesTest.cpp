// The colour window and the setup files of the Service menu: colours reach every chart, setup
// files bring a working set-up back, and the settings file survives bad values and failed writes.

#include "MainWindowHarness.h"
#include "app/BgrColour.h"
#include "app/MainMenu.h"
#include "app/TfmMain.h"
#include "app/options/ColourPicker.h"
#include "app/options/TfmColor.h"
#include "app/pages/spectrum/FftChart.h"
#include "app/pages/spectrum/FftPage.h"
#include "app/pages/logic/LanChart.h"
#include "app/pages/logic/LanPage.h"
#include "app/pages/osc/OscChart.h"
#include "app/pages/osc/OscPage.h"
#include "app/pages/recorder/RecChart.h"
#include "app/pages/recorder/RecPage.h"
#include "settings/IniFile.h"
#include "ui/knob/TOscKnob.h"

#include <QFile>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>
#include <QtTest>

#include <cmath>
#include <fstream>

using namespace tesmar;
using Harness = testing::MainWindowHarness;

namespace {

// Picks a colour the way a user does: from the list, or through "Другой…".
void Pick(ColourPicker* picker, const QColor& colour)
{
    picker->askCustom = [colour](const QColor&) { return colour; };
    picker->setCurrentIndex(picker->count() - 1);
    emit picker->activated(picker->count() - 1);
}

} // namespace

class SetupFilesTest : public QObject {
    Q_OBJECT

private slots:
    void colourWindowOkColoursEveryChartButTheLogicTraces()
    {
        Harness h;
        TfmMain& w = h.start();
        TfmColor& c = *w.fmColor;
        c.show();
        const int points = c.seriesA->dataCount();
        QCOMPARE(points, 101);
        c.hide();
        c.show(); // a second showing adds nothing
        QCOMPARE(c.seriesA->dataCount(), 101);

        const QColor lanTrace = w.lanPage()->chLAN->channelColour(0);
        Pick(c.cbChA, QColor(0x12, 0x34, 0x56));
        Pick(c.cbFon, QColor(0x20, 0x20, 0x20));
        QCOMPARE(c.seriesA->pen().color(), QColor(0x12, 0x34, 0x56)); // the preview at once
        QCOMPARE(w.oscPage()->chOsc->srOsc_Ch1->pen().color(), QColor(Qt::red)); // the charts not yet
        QTest::mouseClick(c.btOK, Qt::LeftButton);
        QVERIFY(!c.isVisible());
        for (const QCPGraph* g : {w.oscPage()->chOsc->srOsc_Ch1, w.fftPage()->chFFT->srFFT_Ch1, w.recPage()->chRec->srRec_Ch1})
            QCOMPARE(g->pen().color(), QColor(0x12, 0x34, 0x56));
        QCOMPARE(w.lanPage()->chLAN->axisRect()->backgroundBrush().color(), QColor(0x20, 0x20, 0x20));
        QCOMPARE(w.lanPage()->chLAN->channelColour(0), lanTrace);

        // Cancel after a change shows the colours in force again, taken from the oscilloscope.
        c.show();
        Pick(c.cbChA, QColor(Qt::yellow));
        c.udWidth->setValue(4);
        QTRY_COMPARE(c.seriesA->pen().width(), 4); // the width follows its timer
        QTest::mouseClick(c.btCancel, Qt::LeftButton);
        QCOMPARE(c.cbChA->colour(), QColor(0x12, 0x34, 0x56));
        QCOMPARE(c.udWidth->value(), 1);
        QCOMPARE(c.seriesA->pen().color(), QColor(0x12, 0x34, 0x56));
        QCOMPARE(w.oscPage()->chOsc->srOsc_Ch1->pen().width(), 1);

        // The close box acts as Cancel.
        c.show();
        Pick(c.cbChB, QColor(Qt::green));
        c.reject();
        QCOMPARE(c.cbChB->colour(), QColor(Qt::blue));

        // Written at exit, read at the next start.
        w.close();
        IniFile ini(h.settingsPath());
        QCOMPARE(ini.readInteger("color", "cbChA", 0), 0x563412LL);
        QCOMPARE(ini.readInteger("color", "cbChB", 0), 0xFF0000LL);
        h.window.reset();
        TfmMain& again = h.start();
        QCOMPARE(again.oscPage()->chOsc->srOsc_Ch1->pen().color(), QColor(0x12, 0x34, 0x56));
        QCOMPARE(again.fmColor->cbChA->colour(), QColor(0x12, 0x34, 0x56));
    }

    void badColourKeysGiveTheirDefaults()
    {
        Harness h;
        h.writeSettings("[color]\r\ncbChA=junk\r\ncbChB=0x00FF00\r\ncbFon=-5\r\ncbGrid=99999999\r\nudWidth=40\r\n");
        TfmMain& w = h.start();
        const QCPGraph* a = w.oscPage()->chOsc->srOsc_Ch1;
        QCOMPARE(a->pen().color(), QColor(Qt::red));
        QCOMPARE(w.oscPage()->chOsc->srOsc_Ch2->pen().color(), QColor(0, 0xFF, 0)); // hexadecimal reads
        QCOMPARE(w.oscPage()->chOsc->axisRect()->backgroundBrush().color(), QColor(Qt::white));
        QCOMPARE(a->pen().width(), 5); // kept within the window's range
    }

    void setupFileBringsAWorkingSetupBack()
    {
        Harness h;
        TfmMain& w = h.start();
        OscPage& osc = *w.oscPage();
        const QString path = h.folder.path() + "/bench.ini";
        // A file of another program: its sections stay.
        std::ofstream(path.toStdString(), std::ios::binary) << "[their]\r\nvalue=42\r\n";

        osc.knOscTimeDiv->setIndexSelectData(30);
        osc.knOscCh1->setIndexSelectData(12);
        w.options().count_osc_pass_sample_buf = 150;
        w.menu().setEvenningLevel(0, 2);
        w.fmColor->applyStored([] {
            ChartColours c;
            c.cbChB = 0x00FFFF;
            return c;
        }());
        w.pages()->setCurrentIndex(1);
        const QString generator = h.folder.path() + "/pattern.dat";
        std::vector<std::uint8_t> pattern(1544);
        for (std::size_t i = 0; i < pattern.size(); ++i)
            pattern[i] = static_cast<std::uint8_t>(i * 7);
        std::ofstream(generator.toStdString(), std::ios::binary)
            .write(reinterpret_cast<const char*>(pattern.data()), std::streamsize(pattern.size()));
        QVERIFY(w.lanPage()->openGeneratorFile(generator));
        QCOMPARE(w.saveSetup(path), QString());

        IniFile written(path.toStdString());
        QCOMPARE(written.readInteger("their", "value", 0), 42LL);
        QCOMPARE(QString::fromStdString(written.readString("misc", "GeneratorData", "")), generator);
        QVERIFY(!written.hasKey("system", "usb_rd_timeout")); // only the setup's sections
        QVERIFY(!written.hasKey("pos", "fmMainLeft"));

        // Everything changed, then the file opened.
        osc.knOscTimeDiv->setIndexSelectData(20);
        osc.knOscCh1->setIndexSelectData(5);
        w.options().count_osc_pass_sample_buf = 100;
        w.menu().setEvenningLevel(0, 0);
        w.fmColor->applyStored(ChartColours{});
        w.pages()->setCurrentIndex(3);
        w.generatorData().clear();
        QCOMPARE(w.openSetup(path), QString());
        QCOMPARE(osc.knOscTimeDiv->IndexSelectData(), 30);
        QCOMPARE(osc.knOscCh1->IndexSelectData(), 12);
        QCOMPARE(w.options().count_osc_pass_sample_buf, 150);
        QCOMPARE(w.menu().evenningLevel(0), 2);
        QCOMPARE(osc.chOsc->srOsc_Ch2->pen().color(), QColor(0xFF, 0xFF, 0));
        QCOMPARE(w.pages()->currentIndex(), 1);
        QCOMPARE(w.generatorData().sample(3), pattern[3]);
        QCOMPARE(w.generatorData().sample(1000), pattern[1000]);

        // A missing file changes nothing and says so.
        QVERIFY(!w.openSetup(h.folder.path() + "/missing.ini").isEmpty());
        QCOMPARE(osc.knOscTimeDiv->IndexSelectData(), 30);
    }

    // A setup file edited by hand or by another program: every value it holds may be absurd. Each
    // key of a saved setup gets such a value (all keys the same one, then mixed), and the window
    // opens the file, keeps its charts on finite ranges and still runs and stops a measurement.
    void setupFileOfAbsurdValuesLeavesAWorkingWindow()
    {
        Harness h;
        TfmMain& w = h.start();
        const QString saved = h.folder.path() + "/saved.ini";
        QCOMPARE(w.saveSetup(saved), QString());
        const IniFile original(saved.toStdString());
        const std::vector<std::string> absurd = {"nan", "inf", "-inf", "-1", "9223372036854775807",
                                                 "-9223372036854775808", "1e308", "-1e-308", "", "0x7fffffff",
                                                 "абв", "1,5,7"};
        const int rounds = static_cast<int>(absurd.size()) + 6;
        for (int round = 0; round < rounds; ++round) {
            IniFile hostile = original;
            std::size_t k = 0;
            for (const std::string& section : original.sections())
                for (const std::string& key : original.keys(section)) {
                    const std::size_t pick = round < static_cast<int>(absurd.size())
                                                 ? static_cast<std::size_t>(round)
                                                 : (k * 7 + static_cast<std::size_t>(round) * 13) % absurd.size();
                    hostile.writeString(section, key, absurd[pick]);
                    ++k;
                }
            const QString path = h.folder.path() + "/absurd.ini";
            hostile.setPath(path.toStdString());
            QVERIFY(hostile.save());
            w.openSetup(path); // may warn about what it could not take; must not break the window
            const QCPRange ranges[] = {w.oscPage()->chOsc->xAxis->range(), w.fftPage()->chFFT->xAxis->range(),
                                       w.recPage()->chRec->xAxis->range(), w.lanPage()->chLAN->xAxis->range()};
            for (const QCPRange& r : ranges)
                QVERIFY2(std::isfinite(r.lower) && std::isfinite(r.upper) && r.lower < r.upper,
                         qPrintable(QString("round %1: %2 … %3").arg(round).arg(r.lower).arg(r.upper)));
            OscPage& osc = *w.oscPage();
            w.pages()->setCurrentIndex(0);
            QTest::mouseClick(osc.sbOscRunSingle, Qt::LeftButton);
            QTest::mouseClick(osc.sbOscRunSingle, Qt::LeftButton); // "Сброс" while it may still wait
            QTRY_VERIFY_WITH_TIMEOUT(osc.sbOscRunSingle->text() == "Однокр.", 10000);
        }
    }

    void unwritableSettingsFileIsReportedAndKept()
    {
        Harness h;
        h.writeSettings("[misc]\r\nActivePageIndex=2\r\n");
        TfmMain& w = h.start();
        // The new file cannot be made beside the old one (as on a full disk).
        QVERIFY(QDir(h.folder.path()).mkdir("tesmar.ini.tmp"));
        w.pages()->setCurrentIndex(0);
        w.close();
        QCOMPARE(h.messages.errors.size(), 1);
        QVERIFY(h.messages.errors.first().contains("tesmar.ini"));
        IniFile ini(h.settingsPath());
        QCOMPARE(ini.readInteger("misc", "ActivePageIndex", 0), 2LL);
    }
};

QTEST_MAIN(SetupFilesTest)
#include "SetupFilesTest.moc"
