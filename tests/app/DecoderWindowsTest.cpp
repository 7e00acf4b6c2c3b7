// The decoder windows over a capture of the virtual instrument's default scene.

#include "MainWindowHarness.h"
#include "app/MainMenu.h"
#include "app/TfmMain.h"
#include "app/decoders/TfmLAN_1Wire.h"
#include "app/decoders/TfmLAN_I2C.h"
#include "app/decoders/TfmLAN_SPI.h"
#include "app/decoders/TfmLAN_UART.h"
#include "app/pages/logic/LanChart.h"
#include "app/pages/logic/LanPage.h"

#include <QAction>
#include <QComboBox>
#include <QScreen>
#include <QLabel>
#include <QLineEdit>
#include <QTableWidget>
#include <QToolButton>
#include "ui/knob/TOscKnob.h"
#include <QtTest>

#include <fstream>

using namespace tesmar;

namespace {

struct Harness : testing::MainWindowHarness {
    Harness() : MainWindowHarness(50.0, true) { start(); }
    LanPage& page() { return *window->lanPage(); }

    // A stream of the scene at 250 kHz with bus B unused (262 ms): whole UART lines and 1-Wire
    // exchanges, which a buffer of 1544 samples may cut.
    void streamCapture()
    {
        QTest::mouseClick(page().sbLANModeBusG, Qt::LeftButton);
        page().knLANFrecDiv->setIndexSelectData(23);
        QCOMPARE(page().pnLANViewReadType->text(), QString("Pipe"));
        capture();
    }

    // One capture at the page's settings (by default a buffer at 1 MHz).
    void capture()
    {
        QTest::mouseClick(page().sbLANRun, Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(page().sbLANRun->text() == "Запуск", 20000);
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

// Keys typed into a cell's editor, ended by Enter.
bool TypeCell(QTableWidget* grid, int row, int column, const QString& keys)
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); // the last editor
    grid->setCurrentCell(row, column);
    grid->edit(grid->model()->index(row, column));
    // The editor of this cell, not one a double click left open elsewhere.
    QLineEdit* editor = nullptr;
    for (auto* open : grid->viewport()->findChildren<QLineEdit*>())
        if (open->property("row").toInt() == row && open->property("column").toInt() == column)
            editor = open;
    if (!editor)
        return false;
    editor->clear();
    QTest::keyClicks(editor, keys);
    QTest::keyClick(editor, Qt::Key_Return);
    return true;
}

// False when the cell could not be brought into view.
bool DoubleClickCell(QTableWidget* grid, int row, int column)
{
    // A resize lays the view out later: click where the cell is after that, not before.
    QCoreApplication::processEvents();
    grid->scrollToItem(grid->item(row, column));
    QCoreApplication::processEvents();
    const QPoint at = grid->visualItemRect(grid->item(row, column)).center();
    if (!grid->viewport()->rect().contains(at) || grid->itemAt(at) != grid->item(row, column))
        return false;
    // An item view takes a double click only after the press that selects the cell.
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, at);
    return true;
}

} // namespace

class DecoderWindowsTest : public QObject {
    Q_OBJECT

private slots:
    void uartDecodesTheSceneAndShowsAByteOnTheChart()
    {
        Harness h;
        h.streamCapture();
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
        QVERIFY(DoubleClickCell(w.strgridResult, row, 2));
        LanPage& p = h.page();
        const ChannelQueries q = p.channelQueries();
        const std::int64_t at = q.indexAt(0, p.markerTime(0));
        QVERIFY(at > 0);
        QCOMPARE(q.data(0)[at] & 1, 0);
        QCOMPARE(q.data(0)[at - 1] & 1, 1);
        QVERIFY(!p.searchHit());
        const double x = p.chLAN->markerPosition(0);
        QVERIFY(x >= p.chLAN->xAxis->range().lower && x <= p.chLAN->xAxis->range().upper);
    }

    // One line chosen as RxD and TxD decodes the same in both columns, whatever marker 2 shows;
    // bytes typed into the TxD columns stay unless the user lets a decode replace them.
    void uartDecodesOneLineAlikeInBothColumnsAndKeepsTypedBytes()
    {
        Harness h;
        h.streamCapture();
        h.window->menu().miLAN_UART->trigger();
        TfmLAN_UART& w = *h.window->decoderWindows.fmLAN_UART;
        LanPage& p = h.page();
        // Marker 2 in the middle of the traffic, marker 1 at its start.
        const ChannelQueries q = p.channelQueries();
        p.chLAN->setMarkerPosition(0, q.timeAt(0, 0) * p.multiplier());
        p.chLAN->setMarkerPosition(1, q.timeAt(0, q.samples(0) / 2 + 7) * p.multiplier());
        w.cbChRxD->setCurrentIndex(0);
        w.cbChTxD->setCurrentIndex(0);
        w.cbBaud->setCurrentText("115200");
        QTest::mouseClick(w.spbtDeCode, Qt::LeftButton);
        QVERIFY2(h.messages.errors.isEmpty(), qPrintable(h.messages.errors.join("|")));
        const QString rxd = Column(w.strgridResult, 2);
        QVERIFY2(rxd.contains("5465736D61720D0A"), qPrintable(rxd));
        QCOMPARE(Column(w.strgridResult, 4), rxd);
        QCOMPARE(Column(w.strgridResult, 3), Column(w.strgridResult, 1));
        QVERIFY(h.messages.questions.isEmpty()); // decoded bytes are no typed ones

        // Bytes typed for encoding: a decode asks first; No keeps them and decodes RxD only.
        QTableWidget* g = w.strgridResult;
        QVERIFY(TypeCell(g, 0, 4, "A1"));
        QVERIFY(TypeCell(g, 1, 4, "B2"));
        QCOMPARE(g->item(0, 4)->text(), QString("A1"));
        h.messages.questionAnswer = false;
        QTest::mouseClick(w.spbtDeCode, Qt::LeftButton);
        QCOMPARE(h.messages.questions.size(), 1);
        QVERIFY2(h.messages.questions[0].contains("TxD"), qPrintable(h.messages.questions[0]));
        QCOMPARE(g->item(0, 4)->text(), QString("A1"));
        QCOMPARE(g->item(1, 3)->text(), QString("10110010"));
        QCOMPARE(Column(g, 2), rxd);
        // Yes: the decoded bytes replace them, and the next decode asks nothing.
        h.messages.questionAnswer = true;
        QTest::mouseClick(w.spbtDeCode, Qt::LeftButton);
        QCOMPARE(h.messages.questions.size(), 2);
        QCOMPARE(Column(g, 4), rxd);
        QTest::mouseClick(w.spbtDeCode, Qt::LeftButton);
        QCOMPARE(h.messages.questions.size(), 2);
    }

    // Each decoder window opens wide enough for all its columns, over the middle of the main
    // window and inside the screen.
    void decoderWindowsOpenShowingAllColumnsInsideTheScreen()
    {
        Harness h;
        h.window->show();
        const QRect area = h.window->screen()->availableGeometry();
        const std::pair<QAction*, DecoderWindow*> windows[] = {
            {h.window->menu().miLAN_UART, h.window->decoderWindows.fmLAN_UART},
            {h.window->menu().miLAN_SPI, h.window->decoderWindows.fmLAN_SPI},
            {h.window->menu().miLAN_I2C, h.window->decoderWindows.fmLAN_I2C},
            {h.window->menu().miLAN_1Wire, h.window->decoderWindows.fmLAN_1Wire},
        };
        for (const auto& [item, w] : windows) {
            item->trigger();
            QVERIFY(w->isVisible());
            auto* grid = w->findChild<QTableWidget*>("strgridResult");
            QVERIFY(grid);
            int columns = 0;
            for (int c = 0; c < grid->columnCount(); ++c)
                columns += grid->columnWidth(c);
            QVERIFY2(grid->viewport()->width() >= columns,
                     qPrintable(QString("%1: %2 < %3").arg(w->objectName()).arg(grid->viewport()->width()).arg(columns)));
            QVERIFY2(area.contains(w->frameGeometry()), qPrintable(w->objectName()));
            const QPoint offset = w->geometry().center() - h.window->geometry().center();
            QVERIFY2(offset.manhattanLength() < 40, qPrintable(w->objectName()));
        }
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

    void typingIntoTheGridsIsCheckedAndNormalisedByEnter()
    {
        Harness h;
        TfmLAN_UART& w = *h.window->decoderWindows.fmLAN_UART;
        QTableWidget* g = w.strgridResult;
        auto type = [&g](int row, int column, const QString& keys) -> QString {
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); // the last editor
            g->setCurrentCell(row, column);
            g->edit(g->model()->index(row, column));
            auto* editor = g->viewport()->findChild<QLineEdit*>();
            if (!editor)
                return "no editor";
            const QString opened = editor->text();
            QTest::keyClicks(editor, keys);
            QTest::keyClick(editor, Qt::Key_Return);
            return opened;
        };
        type(0, 4, "zz7f"); // only hex digits pass
        QCOMPARE(g->item(0, 3)->text(), QString("01111111"));
        QCOMPARE(g->item(0, 4)->text(), QString("7F"));
        QCOMPARE(g->currentRow(), 1);
        type(1, 3, "1012"); // only 0 and 1 pass
        QCOMPARE(g->item(1, 3)->text(), QString("00000101"));
        QCOMPARE(g->item(1, 4)->text(), QString("05"));
        w.cbAvtoFill->setChecked(true);
        QCOMPARE(type(2, 2, ""), QString("00"));
        QCOMPARE(g->item(2, 1)->text(), QString("00000000"));

        TfmLAN_I2C& i2c = *h.window->decoderWindows.fmLAN_I2C;
        g = i2c.strgridResult;
        type(0, I2cAddress, "101");
        QCOMPARE(g->item(0, I2cAddress)->text(), QString("0000101"));
        type(0, I2cDirection, "xr");
        QCOMPARE(g->item(0, I2cDirection)->text(), QString("R"));
        type(0, I2cData, "11");
        QCOMPARE(g->item(0, I2cData)->text(), QString("00000011"));
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

    void i2cPicksItsLinesByNameAndDecodesTheScene()
    {
        Harness h;
        LanPage& p = h.page();
        const QString setup = h.folder.path() + "/lines.ini";
        std::ofstream(setup.toStdString()) << "[main]\nname4=I2C scl\nname5=I2C sda\n";
        QVERIFY(p.openSetupFile(setup));
        h.capture();
        h.window->menu().miLAN_I2C->trigger();
        TfmLAN_I2C& w = *h.window->decoderWindows.fmLAN_I2C;
        QCOMPARE(w.cbChSCL->currentIndex(), 4);
        QCOMPARE(w.cbChSDA->currentIndex(), 5);
        QCOMPARE(w.cbChSDA->currentText(), QString("I2C sda"));
        QCOMPARE(w.strgridResult->columnCount(), 8);
        QCOMPARE(w.strgridResult->horizontalHeaderItem(3)->text(), QString("R/W"));
        QTest::mouseClick(w.spbtDeCode, Qt::LeftButton);
        QVERIFY2(h.messages.errors.isEmpty(), qPrintable(h.messages.errors.join("|")));
        // Write 0x10 to 0x50, then read 0x12 0x34 after a repeated start.
        const QString data = Column(w.strgridResult, I2cData);
        QVERIFY2(data.contains("000100000001001000110100"), qPrintable(data));
        const int row = data.indexOf("000100000001001000110100") / 8;
        QCOMPARE(w.strgridResult->item(row, I2cAddress)->text(), QString("1010000"));
        QCOMPARE(w.strgridResult->item(row, I2cDirection)->text(), QString("W"));
        QCOMPARE(w.strgridResult->item(row + 1, I2cDirection)->text(), QString("R"));
        QCOMPARE(w.strgridResult->item(row + 1, I2cStart)->text(), QString("    Start"));
        QCOMPARE(w.strgridResult->item(row + 2, I2cStop)->text(), QString("    Stop"));
        QCOMPARE(w.strgridResult->item(row + 1, I2cDataAck)->text(), QString("ACK"));
        // A renamed line shows in the open window's lists at once.
        std::ofstream(setup.toStdString()) << "[main]\nname5=EEPROM SDA\n";
        QVERIFY(p.openSetupFile(setup));
        QCOMPARE(w.cbChSDA->currentText(), QString("EEPROM SDA"));
        QCOMPARE(w.cbChSCL->itemText(5), QString("EEPROM SDA"));

        // A double click on the repeated start puts marker 1 where SDA falls with SCL high.
        w.resize(700, 500);
        QVERIFY(DoubleClickCell(w.strgridResult, row + 1, I2cStart));
        const ChannelQueries q = p.channelQueries();
        const std::int64_t at = q.indexAt(5, p.markerTime(0));
        QVERIFY(at > 0);
        QCOMPARE(q.data(4)[at] >> 4 & 1, 1);
        QCOMPARE(q.data(5)[at - 1] >> 5 & 1, 1);
        QCOMPARE(q.data(5)[at] >> 5 & 1, 0);
    }

    void i2cEncodesIntoTheGeneratorAndDecodesItBack()
    {
        Harness h;
        TfmLAN_I2C& w = *h.window->decoderWindows.fmLAN_I2C;
        LanPage& p = h.page();
        p.chLAN->setMarkerPosition(0, 0.0);
        w.cbChSCL->setCurrentIndex(9); // B.1
        w.cbChSDA->setCurrentIndex(9);
        w.strgridResult->setItem(0, I2cData, new QTableWidgetItem("00010000"));
        QTest::mouseClick(w.spbtCode, Qt::LeftButton);
        QCOMPARE(h.messages.errors.size(), 1); // the same line for both
        w.cbChSDA->setCurrentIndex(8); // B.0
        w.cbBaud->setCurrentText("5");
        QTest::mouseClick(w.spbtCode, Qt::LeftButton);
        QCOMPARE(h.messages.errors.size(), 2);
        QVERIFY2(h.messages.errors[1].contains("10 - 400"), qPrintable(h.messages.errors[1]));

        w.cbBaud->setCurrentText("100");
        w.strgridResult->setItem(0, I2cAddress, new QTableWidgetItem("1010000"));
        w.strgridResult->setItem(0, I2cDirection, new QTableWidgetItem("W"));
        w.strgridResult->setItem(1, I2cData, new QTableWidgetItem("11001010"));
        w.strgridResult->setItem(1, I2cDirection, new QTableWidgetItem("R"));
        QTest::mouseClick(w.spbtCode, Qt::LeftButton);
        QCOMPARE(h.messages.errors.size(), 2);
        QCOMPARE(w.strgridResult->item(0, I2cStart)->text(), QString("    Start"));
        QCOMPARE(w.strgridResult->item(0, I2cAddressAck)->text(), QString("?ACK"));
        QCOMPARE(w.strgridResult->item(1, I2cDataAck)->text(), QString("ACK"));
        QCOMPARE(w.strgridResult->item(1, I2cStop)->text(), QString("    Stop"));
        // The first start: SDA falls while SCL stays high, 2.5 samples a slot.
        const GeneratorData& g = h.window->generatorData();
        QVERIFY(g.line(0, 0) && g.line(0, 1));
        QVERIFY(!g.line(3, 0) && g.line(3, 1));
        QVERIFY(g.line(1543, 0) && g.line(1543, 1));

        // Decoding the generator lines gives the rows back.
        p.chLAN->setMarkerPosition(0, 0.0);
        QTest::mouseClick(w.spbtDeCode, Qt::LeftButton);
        QVERIFY2(h.messages.errors.size() == 2, qPrintable(h.messages.errors.join("|")));
        QCOMPARE(w.strgridResult->item(0, I2cAddress)->text(), QString("1010000"));
        QCOMPARE(w.strgridResult->item(0, I2cData)->text(), QString("00010000"));
        QCOMPARE(w.strgridResult->item(1, I2cDirection)->text(), QString("R"));
        QCOMPARE(w.strgridResult->item(1, I2cData)->text(), QString("11001010"));
    }

    void spiDecodesTheSceneFromMarker1()
    {
        Harness h;
        h.capture();
        LanPage& p = h.page();
        // Without a chip select the decoder needs marker 1 before a byte: the first rising edge
        // of SCK after a long idle time.
        const ChannelQueries q = p.channelQueries();
        const auto sck = q.data(1);
        std::int64_t first = -1;
        for (std::int64_t i = 50; i < std::int64_t(sck.size()) && first < 0; ++i) {
            bool idle = true;
            for (std::int64_t k = i - 50; k < i && idle; ++k)
                idle = !(sck[k] >> 1 & 1);
            if (idle && (sck[i] >> 1 & 1))
                first = i;
        }
        QVERIFY(first > 0);
        p.chLAN->setMarkerPosition(0, q.timeAt(1, first - 1) * p.multiplier());

        h.window->menu().miLAN_SPI->trigger();
        TfmLAN_SPI& w = *h.window->decoderWindows.fmLAN_SPI;
        QVERIFY(w.isVisible());
        w.cbChSCK->setCurrentIndex(1);
        w.cbChMOSI->setCurrentIndex(2);
        w.cbChMISO->setCurrentIndex(3);
        QTest::mouseClick(w.spbtDeCode, Qt::LeftButton);
        QVERIFY2(h.messages.errors.isEmpty(), qPrintable(h.messages.errors.join("|")));
        QCOMPARE(w.strgridResult->horizontalHeaderItem(3)->text(), QString("BIN(MOSI)"));
        const QString mosi = Column(w.strgridResult, 4), miso = Column(w.strgridResult, 2);
        QVERIFY2(mosi.startsWith("9F0000"), qPrintable(mosi));
        QVERIFY2(miso.startsWith("FFEF40"), qPrintable(miso));
        QCOMPARE(w.strgridResult->item(0, 3)->text(), QString("10011111"));

        // The second MISO byte on the chart: marker 1 just before its first sampling edge.
        w.resize(600, 500);
        QVERIFY(DoubleClickCell(w.strgridResult, 1, 1));
        const std::int64_t at = q.indexAt(3, p.markerTime(0));
        QVERIFY(at > first + 8 * 4 - 4 && at < first + 9 * 4);

        // A byte typed into the MOSI column for encoding stays when the user says No.
        p.chLAN->setMarkerPosition(0, q.timeAt(1, first - 1) * p.multiplier());
        QVERIFY(TypeCell(w.strgridResult, 0, 4, "A1"));
        h.messages.questionAnswer = false;
        QTest::mouseClick(w.spbtDeCode, Qt::LeftButton);
        QCOMPARE(h.messages.questions.size(), 1);
        QVERIFY2(h.messages.questions[0].contains("MOSI"), qPrintable(h.messages.questions[0]));
        QCOMPARE(w.strgridResult->item(0, 4)->text(), QString("A1"));
        QCOMPARE(w.strgridResult->item(0, 3)->text(), QString("10100001"));
        QVERIFY(Column(w.strgridResult, 2).startsWith("FFEF40"));
        h.messages.questionAnswer = true;
        QTest::mouseClick(w.spbtDeCode, Qt::LeftButton);
        QCOMPARE(Column(w.strgridResult, 4), mosi);
    }

    void spiEncodesIntoTheGenerator()
    {
        Harness h;
        TfmLAN_SPI& w = *h.window->decoderWindows.fmLAN_SPI;
        LanPage& p = h.page();
        p.chLAN->setMarkerPosition(0, 0.0);
        w.cbChMOSI->setCurrentIndex(8); // B.0
        w.cbChSCK->setCurrentIndex(9);  // B.1
        w.strgridResult->setItem(0, 4, new QTableWidgetItem("A5"));
        w.edBaud->setText("500"); // only twice the sample rate
        QTest::mouseClick(w.spbtCode, Qt::LeftButton);
        QCOMPARE(h.messages.errors.size(), 1);
        QVERIFY2(h.messages.errors[0].contains("1000"), qPrintable(h.messages.errors[0]));

        // 0xA5, mode 0, MSB first, 100 kHz at 1 MHz: 5 samples a slot, 10 a bit.
        w.edBaud->setText("100");
        QTest::mouseClick(w.spbtCode, Qt::LeftButton);
        QCOMPARE(h.messages.errors.size(), 1);
        const GeneratorData& g = h.window->generatorData();
        const int bits[] = {1, 0, 1, 0, 0, 1, 0, 1};
        for (int bit = 0; bit < 8; ++bit) {
            QCOMPARE(int(g.line(bit * 10 + 2, 0)), bits[bit]);
            QCOMPARE(int(g.line(bit * 10 + 7, 0)), bits[bit]);
            QVERIFY(!g.line(bit * 10 + 2, 1));
            QVERIFY(g.line(bit * 10 + 7, 1));
        }
        QVERIFY(g.line(100, 0) && !g.line(100, 1));
        QCOMPARE(p.chLAN->bus(1).samples[12] & 1, 0);
    }

    void oneWireDecodesTheSceneWithTheThermometersNames()
    {
        Harness h;
        LanPage& p = h.page();
        h.streamCapture();
        h.window->menu().miLAN_1Wire->trigger();
        TfmLAN_1Wire& w = *h.window->decoderWindows.fmLAN_1Wire;
        w.cbChDQ->setCurrentIndex(6);
        w.cbDevice->setCurrentIndex(1);
        p.chLAN->setMarkerPosition(0, p.chLAN->bus(0).firstX);
        QTest::mouseClick(w.spbtDeCode, Qt::LeftButton);
        QVERIFY2(h.messages.errors.isEmpty(), qPrintable(h.messages.errors.join("|")));
        // Reset, presence, SKIP ROM, READ SCRATCHPAD, then 23.5 °C as 0x0178, low byte first.
        const QString codes = Column(w.strgridResult, 1);
        QVERIFY2(codes.contains("RstPrnCCBE7801"), qPrintable(codes.left(80)));
        const int row = codes.indexOf("RstPrnCCBE7801");
        int ccRow = -1;
        for (int r = 0; r < w.strgridResult->rowCount() && ccRow < 0; ++r)
            if (w.strgridResult->item(r, 1) && w.strgridResult->item(r, 1)->text() == "CC")
                ccRow = r;
        QVERIFY(ccRow >= 0 && row >= 0);
        QCOMPARE(w.strgridResult->item(ccRow, 2)->text(), QString("SKIP ROM (Пропуск процедуры сравнения ID)"));
        QVERIFY(w.strgridResult->item(ccRow + 2, 2)->text().startsWith("WR byte"));

        // Double click on the SKIP ROM row: marker 1 where its first slot pulls the line low.
        w.resize(600, 500);
        QVERIFY(DoubleClickCell(w.strgridResult, ccRow, 2));
        const ChannelQueries q = p.channelQueries();
        const std::int64_t at = q.indexAt(6, p.markerTime(0));
        QVERIFY(at > 0);
        QCOMPARE(q.data(6)[at] >> 6 & 1, 0);
        QCOMPARE(q.data(6)[at - 1] >> 6 & 1, 1);
    }
};

QTEST_MAIN(DecoderWindowsTest)
#include "DecoderWindowsTest.moc"
