// The search group of the logic analyser page: the value edits, the searches on a capture of
// the virtual instrument's scene and on the generator data, and the messages.

#include "MainWindowHarness.h"
#include "app/TfmMain.h"
#include "app/logic/LanGeneratorPanel.h"
#include "app/pages/logic/LanChart.h"
#include "app/pages/logic/LanPage.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QScrollBar>
#include <QTableWidget>
#include <QToolButton>
#include <QtTest>

#include <algorithm>

using namespace tesmar;

namespace {

struct Harness : testing::MainWindowHarness {
    Harness() : MainWindowHarness(50.0, true) { start(); }
    LanPage& page() { return *window->lanPage(); }
};

void Type(QLineEdit* edit, const QString& keys)
{
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Backspace);
    QTest::keyClicks(edit, keys);
}

// Marker 1's time in sample indexes of bus A.
std::int64_t Marker1Sample(LanPage& p)
{
    const DrawnBus& bus = p.chLAN->bus(0);
    return std::llround((p.chLAN->markerPosition(0) - bus.firstX) / bus.step);
}

} // namespace

class LanSearchTest : public QObject {
    Q_OBJECT

private slots:
    void editsKeepToTheirKeysAndRewriteEachOther()
    {
        Harness h;
        LanPage& p = h.page();
        Type(p.edLANFindBIN, "10a21x01");
        QCOMPARE(p.edLANFindBIN->text(), QString("10101"));
        Type(p.edLANFindHEX, "g5Fz");
        QCOMPARE(p.edLANFindHEX->text(), QString("5F"));
        Type(p.edLANFindDEC, "3a00");
        QCOMPARE(p.edLANFindDEC->text(), QString("300"));
        QTest::keyClick(p.edLANFindDEC, Qt::Key_Return); // DEC 300 keeps its low 8 bits: 0x2C
        QCOMPARE(p.edLANFindBIN->text(), QString("00101100"));
        QCOMPARE(p.edLANFindHEX->text(), QString("2C"));
        QCOMPARE(p.edLANFindDEC->text(), QString("44"));
        Type(p.edLANFindBIN, "101");
        QTest::keyClick(p.edLANFindBIN, Qt::Key_Enter);
        QCOMPARE(p.edLANFindHEX->text(), QString("05"));
        QTest::mouseClick(p.imLANFindSourceEdgeFailling, Qt::LeftButton);
        QVERIFY(p.rbLANFindSourceEdgeFailling->isChecked());
        QVERIFY(!p.rbLANFindSourceBusA->isChecked());
    }

    void emptyBusesSayWhichBus()
    {
        Harness h;
        LanPage& p = h.page();
        QTest::mouseClick(p.sbLANModeBusG, Qt::LeftButton); // bus B unused
        QTest::mouseClick(p.spbtOpenLANFindForward, Qt::LeftButton);
        QCOMPARE(h.messages.warnings.value(0), QString("Шина А не содержит данных для поиска."));
        // An edge search on a bus B line searches bus B, even with the bus A button checked before.
        p.rbLANFindSourceEdgeRising->setChecked(true);
        p.cbLANFindCh->setCurrentIndex(11);
        QTest::mouseClick(p.spbtOpenLANFindBack, Qt::LeftButton);
        QCOMPARE(h.messages.warnings.value(1), QString("Шина B не содержит данных для поиска."));
        QVERIFY(!p.searchHit());
    }

    void edgesOnTheGeneratorData()
    {
        Harness h;
        LanPage& p = h.page();
        QVERIFY(p.sbLANModeBusG->isChecked());
        GeneratorData& g = h.window->generatorData();
        for (int i = 300; i < 400; ++i)
            g.setLine(i, 3, true);
        for (int i = 900; i < 910; ++i)
            g.setLine(i, 3, true);
        p.generatorPanel->refreshTable(0, GeneratorData::kSampleCount - 1);
        p.chLAN->setMarkerPosition(0, 0.0);
        p.rbLANFindSourceEdgeRising->setChecked(true);
        p.cbLANFindCh->setCurrentIndex(11); // B.3
        QTest::mouseClick(p.spbtOpenLANFindForward, Qt::LeftButton);
        QCOMPARE(p.searchHit(), std::optional<std::int64_t>(300));
        const DrawnBus& bus = p.chLAN->bus(1);
        QCOMPARE(p.chLAN->markerPosition(0), bus.firstX + 300 * bus.step);
        QVERIFY(p.chLAN->xAxis->range().contains(p.chLAN->markerPosition(0)));
        QTest::mouseClick(p.spbtOpenLANFindForward, Qt::LeftButton);
        QCOMPARE(p.searchHit(), std::optional<std::int64_t>(900));
        QTest::mouseClick(p.spbtOpenLANFindForward, Qt::LeftButton);
        QCOMPARE(h.messages.warnings.value(0), QString("Заданный фронт / перепад не найден."));
        QCOMPARE(p.searchHit(), std::optional<std::int64_t>(900)); // unchanged
        // Backward from 899: the edge at 300; any edge backward from there: none before it.
        QTest::mouseClick(p.spbtOpenLANFindBack, Qt::LeftButton);
        QCOMPARE(p.searchHit(), std::optional<std::int64_t>(300));
        p.rbLANFindSourceEdgeFall->setChecked(true);
        QTest::mouseClick(p.spbtOpenLANFindBack, Qt::LeftButton);
        QCOMPARE(h.messages.warnings.size(), 2);
        // A changed generator forgets the hit.
        p.generatorPanel->strgridLANGenerator->item(0, 1)->setText("01");
        QVERIFY(!p.searchHit());
    }

    void valueSearchOnASceneCapture()
    {
        Harness h;
        LanPage& p = h.page();
        QTest::mouseClick(p.sbLANModeBusG, Qt::LeftButton);
        QTest::mouseClick(p.sbLANRun, Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(p.sbLANRun->text() == "Запуск", 10000);
        const std::vector<std::uint8_t> a = h.window->logicCapture().busA;
        QCOMPARE(int(a.size()), 1544);
        h.window->options().f_lan_pass_group_find = true;
        // The value at sample 700, looked for from marker 1 at the start.
        const std::uint8_t value = a[700];
        Type(p.edLANFindHEX, QString("%1").arg(value, 2, 16, QChar('0')));
        p.chLAN->setMarkerPosition(0, p.chLAN->bus(0).firstX);
        QTest::mouseClick(p.spbtOpenLANFindForward, Qt::LeftButton);
        const auto first = std::find(a.begin(), a.end(), value) - a.begin();
        QCOMPARE(p.searchHit(), std::optional<std::int64_t>(first));
        QCOMPARE(Marker1Sample(p), first);
        QCOMPARE(p.lbLANMarkerBusHex[0][0]->text(), "0x" + QString("%1").arg(value, 2, 16, QChar('0')).toUpper());
        // The next click passes over the rest of the run.
        auto runEnd = first;
        while (runEnd < std::int64_t(a.size()) && a[runEnd] == value)
            ++runEnd;
        const auto second = std::find(a.begin() + runEnd, a.end(), value) - a.begin();
        QTest::mouseClick(p.spbtOpenLANFindForward, Qt::LeftButton);
        if (second < std::int64_t(a.size()))
            QCOMPARE(p.searchHit(), std::optional<std::int64_t>(second));
        // Without group skipping the next click is the very next matching sample.
        h.window->options().f_lan_pass_group_find = false;
        const auto hit = *p.searchHit();
        QTest::mouseClick(p.spbtOpenLANFindBack, Qt::LeftButton);
        const auto before = std::find(a.rbegin() + (std::int64_t(a.size()) - hit), a.rend(), value);
        // The captured phase of the scene decides whether a match lies before; without one the hit stays.
        const std::int64_t expected = before == a.rend() ? hit : a.rend() - before - 1;
        QCOMPARE(p.searchHit(), std::optional<std::int64_t>(expected));
        // A value the capture never holds.
        int absent = 0;
        while (std::find(a.begin(), a.end(), std::uint8_t(absent)) != a.end())
            ++absent;
        QVERIFY(absent < 256);
        Type(p.edLANFindDEC, QString::number(absent));
        h.messages.warnings.clear();
        QTest::mouseClick(p.spbtOpenLANFindForward, Qt::LeftButton);
        QCOMPARE(h.messages.warnings.value(0),
                 QString("Комбинация: %1 (0x%2) не найдена.")
                     .arg(absent, 8, 2, QChar('0'))
                     .arg(QString("%1").arg(absent, 2, 16, QChar('0')).toUpper()));
        // Scrolling forgets the hit.
        p.scbrLAN->setValue(p.scbrLAN->value() == 0 ? p.scbrLAN->maximum() : 0);
        QVERIFY(!p.searchHit());
    }
};

QTEST_MAIN(LanSearchTest)
#include "LanSearchTest.moc"
