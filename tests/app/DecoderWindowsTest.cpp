// The decoder windows over a capture of the virtual instrument's default scene.

#include "MainWindowHarness.h"
#include "app/MainMenu.h"
#include "app/TfmMain.h"
#include "app/decoders/TfmLAN_UART.h"
#include "app/pages/LanChart.h"
#include "app/pages/LanPage.h"

#include <QComboBox>
#include <QTableWidget>
#include <QToolButton>
#include <QtTest>

using namespace tesmar;

namespace {

struct Harness : testing::MainWindowHarness {
    Harness() : MainWindowHarness(50.0, true) { start(); }
    LanPage& page() { return *window->lanPage(); }

    // One buffered capture of the scene at the default rate (1 MHz).
    void capture()
    {
        QTest::mouseClick(page().sbLANRun, Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(page().sbLANRun->text() == "Запуск", 10000);
    }
};

QString Column(const QTableWidget* grid, int column)
{
    QString text;
    for (int r = 0; r < grid->rowCount(); ++r)
        if (const QTableWidgetItem* item = grid->item(r, column))
            text += item->text();
    return text;
}

void DoubleClickCell(QTableWidget* grid, int row, int column)
{
    grid->scrollToItem(grid->item(row, column));
    const QPoint at = grid->visualItemRect(grid->item(row, column)).center();
    // An item view takes a double click only after the press that selects the cell.
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, at);
}

} // namespace

class DecoderWindowsTest : public QObject {
    Q_OBJECT

private slots:
    void uartDecodesTheSceneAndShowsAByteOnTheChart()
    {
        Harness h;
        h.capture();
        h.window->menu().miLAN_UART->trigger();
        TfmLAN_UART& w = *h.window->decoderWindows.fmLAN_UART;
        QVERIFY(w.isVisible());
        QVERIFY(w.windowFlags() & Qt::WindowStaysOnTopHint);
        QCOMPARE(w.strgridResult->horizontalHeaderItem(1)->text(), QString(" BIN (RxD)"));
        QCOMPARE(w.strgridResult->rowCount() + 1, 65);
        QCOMPARE(w.cbChRxD->currentText(), QString("A.0"));
        w.cbBaud->setCurrentText("115200");
        QTest::mouseClick(w.spbtDeCode, Qt::LeftButton);
        QVERIFY2(h.messages.errors.isEmpty(), qPrintable(h.messages.errors.join("|")));
        // "Tesmar\r\n" in the RxD HEX column, its binary form beside it.
        const QString hex = Column(w.strgridResult, 2);
        QVERIFY2(hex.contains("5465736D61720D0A"), qPrintable(hex));
        const int row = hex.indexOf("546573") / 2;
        QCOMPARE(w.strgridResult->item(row, 1)->text(), QString("01010100"));
        QCOMPARE(w.strgridResult->item(row, 0)->text(), QString::number(row + 1));

        // A double click on the byte puts marker 1 on its start bit: the line falls there.
        w.resize(600, 500);
        DoubleClickCell(w.strgridResult, row, 2);
        LanPage& p = h.page();
        const ChannelQueries q = p.channelQueries();
        const std::int64_t at = q.indexAt(0, p.markerTime(0));
        QVERIFY(at > 0);
        QCOMPARE(q.data(0)[at] & 1, 0);
        QCOMPARE(q.data(0)[at - 1] & 1, 1);
        const double x = p.chLAN->markerPosition(0);
        QVERIFY(x >= p.chLAN->xAxis->range().lower && x <= p.chLAN->xAxis->range().upper);
    }

    void uartRefusesABadRateAndEncodesIntoTheGenerator()
    {
        Harness h;
        TfmLAN_UART& w = *h.window->decoderWindows.fmLAN_UART;
        w.cbBaud->setCurrentText("50");
        QTest::mouseClick(w.spbtDeCode, Qt::LeftButton);
        QCOMPARE(h.messages.errors.size(), 1);
        QVERIFY2(h.messages.errors[0].contains("300 - 115 200"), qPrintable(h.messages.errors[0]));

        // Encoding onto a bus A line is refused, and nothing is written.
        w.cbBaud->setCurrentText("9600");
        w.strgridResult->setItem(0, 4, new QTableWidgetItem("55"));
        QTest::mouseClick(w.spbtCode, Qt::LeftButton);
        QCOMPARE(h.messages.errors.size(), 2);
        QVERIFY(h.messages.errors[1].contains("TxD"));

        // 0x55 at 9600 baud, 1 MHz: 104 samples a bit, from marker 1 at time 0.
        LanPage& p = h.page();
        p.chLAN->setMarkerPosition(0, 0.0);
        w.cbChTxD->setCurrentIndex(8); // B.0
        QTest::mouseClick(w.spbtCode, Qt::LeftButton);
        QCOMPARE(h.messages.errors.size(), 2);
        const GeneratorData& g = h.window->generatorData();
        const int expected[] = {0, 1, 0, 1, 0, 1, 0, 1, 0, 1};
        for (int bit = 0; bit < 10; ++bit)
            QCOMPARE(int(g.line(bit * 104 + 52, 0)), expected[bit]);
        QVERIFY(g.line(1543, 0));
        // The chart shows the new data.
        QCOMPARE(p.chLAN->bus(1).samples[52] & 1, 0);

        // Without generator mode the encoder has nowhere to write.
        QTest::mouseClick(p.sbLANModeBusG, Qt::LeftButton);
        QTest::mouseClick(w.spbtCode, Qt::LeftButton);
        QCOMPARE(h.messages.errors.size(), 3);
        QVERIFY(h.messages.errors[2].contains("шину B"));
    }

    void uartTwoStopBitsAndParityExcludeEachOther()
    {
        Harness h;
        TfmLAN_UART& w = *h.window->decoderWindows.fmLAN_UART;
        w.cbCRCBit->setCurrentIndex(1);
        w.cbStopBit->setCurrentIndex(1);
        QCOMPARE(w.cbCRCBit->currentIndex(), 0);
        w.cbCRCBit->setCurrentIndex(2);
        QCOMPARE(w.cbStopBit->currentIndex(), 0);
    }
};

QTEST_MAIN(DecoderWindowsTest)
#include "DecoderWindowsTest.moc"
