// The terminal against the virtual instrument's I2C bus: its EEPROM at 1010000 and its master,
// which addresses 1000010.

#include "MainWindowHarness.h"
#include "app/MainMenu.h"
#include "app/pages/osc/OscPage.h"
#include "app/service/TfmCLBR.h"
#include "app/decoders/TfmLAN_I2C.h"
#include "app/decoders/TfmLAN_UART.h"
#include "app/terminal/TerminalHexGrid.h"
#include "app/terminal/TfmTerminal.h"
#include "app/terminal/TfmTerminalStatus.h"
#include "text/MessageTable.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabBar>
#include <QToolButton>
#include <QTabWidget>
#include <QtTest>

#include <fstream>

using namespace tesmar;

namespace {

struct Harness : testing::MainWindowHarness {
    Harness() { start(); }
    TfmTerminal& terminal() {
        if (!window->fmTerminal->isVisible())
            window->menu().miLAN_Terminal->trigger();
        return *window->fmTerminal;
    }
    I2cEngine& i2c() { return instrument.i2c(); }
};

QString Text(Msg key) {
    return QString::fromStdString(MessageTable::builtInText(key));
}

void Type(QLineEdit* edit, const QString& keys) {
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Backspace);
    QTest::keyClicks(edit, keys);
    QTest::keyClick(edit, Qt::Key_Return);
}

// Clicks `button` and waits until the terminal is usable again.
void Transfer(TfmTerminal& t, QPushButton* button) {
    QTest::mouseClick(button, Qt::LeftButton);
    QVERIFY(!t.pgcntrTerminal->isEnabled());
    QTRY_VERIFY_WITH_TIMEOUT(t.pgcntrTerminal->isEnabled(), 20000);
    QVERIFY(!t.fmTerminalStatus->isVisible());
}

void SelectRole(TfmTerminal& t, bool write, bool master, const QString& address) {
    QRadioButton* role =
        write ? (master ? t.rbI2CMasterWr : t.rbI2CSlaveWr) : (master ? t.rbI2CMasterRd : t.rbI2CSlaveRd);
    QTest::mouseClick(role, Qt::LeftButton);
    QLineEdit* edit = write ? (master ? t.edI2CMasterAddWr : t.edI2CSlaveAddWr)
                            : (master ? t.edI2CMasterAddRd : t.edI2CSlaveAddRd);
    Type(edit, address);
}

} // namespace

class TerminalWindowTest : public QObject {
    Q_OBJECT

  private slots:
    void controlsAndEdits() {
        Harness h;
        TfmTerminal& t = h.terminal();
        QVERIFY(t.isVisible());
        QCOMPARE(t.windowTitle(), QString("Терминал"));
        QCOMPARE(t.pgcntrTerminal->tabText(t.pgcntrTerminal->currentIndex()), QString("I2C"));
        QCOMPARE(t.pgcntrTerminal->count(), 1); // the instrument serves no other interface
        for (QPushButton* b :
             {t.sbI2CReadAndWrite, t.sbI2CPipeRead, t.sbI2CWriteAndRead, t.sbI2CWriteAndPipeRead})
            QVERIFY(!b->isEnabled());
        QVERIFY(t.rbI2CSlaveRd->isChecked());
        QVERIFY(t.rbI2CMasterWr->isChecked());
        QCOMPARE(t.edI2CCountRd->text(), QString("16"));
        QCOMPARE(t.edI2CSpeedWr->text(), QString("100"));
        QCOMPARE(t.fmTerminalStatus->lbReceiveState->text(), QString("не используется"));

        // Addresses: only binary digits, Enter writes seven of them.
        Type(t.edI2CMasterAddRd, "1a0b1");
        QCOMPARE(t.edI2CMasterAddRd->text(), QString("0000101"));
        // Counts: Enter sets the table's count; the table greys the bytes past it.
        Type(t.edI2CCountRd, "600");
        QCOMPARE(t.strgridI2CBufRd->count(), 600);
        Type(t.edI2CCountRd, "5000"); // never beyond 1 … 1024
        QVERIFY(t.udI2CCountRd->value() <= 1024 && t.udI2CCountRd->value() >= 1);
        QCOMPARE(t.strgridI2CBufRd->count(), t.udI2CCountRd->value());
        QTest::keyClick(t.udI2CCountWr, Qt::Key_Down);
        QCOMPARE(t.strgridI2CBufWr->count(), 15);
        const auto colour = [](const TerminalHexGrid* g, int row, int column) {
            return g->model()->index(row, column).data(Qt::ForegroundRole).value<QColor>();
        };
        QCOMPARE(colour(t.strgridI2CBufWr, 0, 15), QColor(0, 0x80, 0));
        QVERIFY(colour(t.strgridI2CBufWr, 0, 16) != QColor(0, 0x80, 0));
        QCOMPARE(colour(t.strgridI2CBufWr, 0, 0), QColor(0x80, 0, 0));
        QCOMPARE(t.strgridI2CBufWr->cellText(63, 0), QString("03F0"));

        // A byte typed into the transmit table past its count extends the count.
        t.strgridI2CBufWr->setCurrentIndex(t.strgridI2CBufWr->model()->index(1, 4));
        QTest::keyClicks(t.strgridI2CBufWr, "a");
        QTRY_VERIFY(t.strgridI2CBufWr->findChild<QLineEdit*>("edI2CHexByte"));
        QLineEdit* cell = t.strgridI2CBufWr->findChild<QLineEdit*>("edI2CHexByte");
        QTest::keyClicks(cell, "g5"); // "g" is refused
        QTest::keyClick(cell, Qt::Key_Return);
        QTRY_COMPARE(t.strgridI2CBufWr->cellText(1, 4), QString("A5")); // the editor commits queued
        QCOMPARE(t.transmitBuffer()[19], 0xA5);
        QCOMPARE(t.udI2CCountWr->value(), 20);
        QCOMPARE(t.strgridI2CBufWr->count(), 20);
    }

    void writesTheEepromAndReadsItBack() {
        Harness h;
        TfmTerminal& t = h.terminal();
        QTemporaryDir files;
        const QString source = files.filePath("hello.bin");
        {
            std::ofstream out(source.toStdString(), std::ios::binary);
            out << "\x20Hello, I2C";
        }
        QString asked;
        t.askPath = [&](const char* dialog, bool) -> std::optional<QString> {
            asked = dialog;
            return QString(dialog) == "odOpenTerminalData" ? source : files.filePath("received.bin");
        };
        QTest::mouseClick(t.sbI2COpenFileWr, Qt::LeftButton);
        QCOMPARE(asked, QString("odOpenTerminalData"));
        QCOMPARE(t.udI2CCountWr->value(), 11);
        QCOMPARE(t.strgridI2CBufWr->cellText(0, 1), QString("20"));
        QCOMPARE(t.strgridI2CBufWr->cellText(0, 17), QString(" Hello, I2C....."));

        // Word address 0x20, then the text.
        SelectRole(t, true, true, "1010000");
        Transfer(t, t.sbI2CWrite);
        QCOMPARE(t.lbI2CResult->text(), QString("Записано 11 байт из 11"));
        // Back to word address 0x20: a write of that one byte.
        Type(t.edI2CCountWr, "1");
        Transfer(t, t.sbI2CWrite);
        QCOMPARE(t.lbI2CResult->text(), QString("Записано 1 байт из 1"));

        SelectRole(t, false, true, "1010000");
        Type(t.edI2CCountRd, "12");
        Transfer(t, t.sbI2CRead);
        QVERIFY2(h.messages.errors.isEmpty(), qPrintable(h.messages.errors.join("|")));
        QCOMPARE(t.lbI2CResult->text(), QString("Прочитано 12 байт из 12"));
        QCOMPARE(t.strgridI2CBufRd->cellText(0, 17).left(12), QString("Hello, I2Cяя"));
        QCOMPARE(t.strgridI2CBufRd->cellText(0, 11), QString("FF"));
        QCOMPARE(t.strgridI2CBufRd->count(), 12);

        QTest::mouseClick(t.sbI2CSaveFileRd, Qt::LeftButton);
        QFile saved(files.filePath("received.bin"));
        QVERIFY(saved.open(QIODevice::ReadOnly));
        QCOMPARE(saved.readAll(), QByteArray("Hello, I2C\xFF\xFF"));
        QVERIFY(h.window->fmTerminal->isVisible());
    }

    void asSlaveTheMasterWritesALine() {
        Harness h;
        TfmTerminal& t = h.terminal();
        Type(t.edI2CCountRd, "64");
        SelectRole(t, false, false, "1000010");
        Transfer(t, t.sbI2CRead);
        // Fewer bytes than asked: the valid ones are shown; the count box keeps what the user
        // asked for, which the next read takes again.
        const QString line = "Message 1 from the I2C master\r\n";
        QCOMPARE(t.udI2CCountRd->value(), 64);
        QCOMPARE(t.strgridI2CBufRd->count(), int(line.size()));
        QCOMPARE(t.strgridI2CBufRd->cellText(0, 17), QString("Message 1 from t"));
        QVERIFY(h.messages.errors.isEmpty());
        // Saving writes the bytes received.
        QTemporaryDir files;
        t.askPath = [&](const char*, bool) -> std::optional<QString> { return files.filePath("line.bin"); };
        QTest::mouseClick(t.sbI2CSaveFileRd, Qt::LeftButton);
        QFile saved(files.filePath("line.bin"));
        QVERIFY(saved.open(QIODevice::ReadOnly));
        QCOMPARE(saved.readAll(), line.toLatin1());
    }

    void absentSlaveAndTimeOutSayWhatHappened() {
        Harness h;
        TfmTerminal& t = h.terminal();
        SelectRole(t, false, true, "1010000");
        Type(t.edI2CCountRd, "8");
        Transfer(t, t.sbI2CRead);
        QCOMPARE(t.strgridI2CBufRd->cellText(0, 8), QString("FF"));
        Type(t.edI2CCountRd, "16");
        SelectRole(t, false, true, "1010001");
        Transfer(t, t.sbI2CRead);
        QCOMPARE(h.messages.errors, QStringList{Text(Msg::strTermExchangeError)});
        QCOMPARE(t.lbI2CResult->text(), QString("Прочитано 0 байт из 16"));
        // A failed read keeps what the last good one brought.
        const auto keptAsRead = [&t] {
            for (int i = 0; i < 8; ++i)
                if (t.receiveBuffer()[i] != 0xFF)
                    return false;
            return t.receiveBuffer()[8] == 0 && t.strgridI2CBufRd->cellText(0, 8) == "FF";
        };
        QVERIFY(keptAsRead());
        QCOMPARE(t.strgridI2CBufRd->count(), 16); // as the count box set it
        QCOMPARE(t.udI2CCountRd->value(), 16); // the asked count stays for the next try

        {
            std::lock_guard lock(h.instrument.stateMutex());
            h.i2c().setClockHeld(true);
        }
        const int resets = h.instrument.resetCount();
        SelectRole(t, false, true, "1010000");
        Transfer(t, t.sbI2CRead);
        QCOMPARE(h.messages.errors.size(), 2);
        QVERIFY(h.messages.errors[1].contains("Прибор не завершил обмен"));
        QVERIFY(h.instrument.resetCount() > resets);
        QVERIFY(keptAsRead());
        {
            std::lock_guard lock(h.instrument.stateMutex());
            h.i2c().setClockHeld(false);
        }
        Transfer(t, t.sbI2CRead);
        QCOMPARE(t.lbI2CResult->text(), QString("Прочитано 16 байт из 16"));
    }

    void cancelWhileWaitingAndUnplugDuringATransfer() {
        Harness h;
        TfmTerminal& t = h.terminal();
        // Nobody addresses 0000001: the instrument waits as slave until "Сброс".
        SelectRole(t, false, false, "0000001");
        QTest::mouseClick(t.sbI2CRead, Qt::LeftButton);
        QVERIFY(t.fmTerminalStatus->isVisible());
        QCOMPARE(t.fmTerminalStatus->lbReceiveState->text(), QString("читаем 16 байт"));
        QCOMPARE(t.fmTerminalStatus->lbTransmitState->text(), QString("не используется"));
        QTest::qWait(50);
        QVERIFY(t.transferRunning()); // the user interface ran meanwhile
        const int resets = h.instrument.resetCount();
        QTest::mouseClick(t.fmTerminalStatus->btReset, Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(t.pgcntrTerminal->isEnabled(), 20000);
        QVERIFY(!t.fmTerminalStatus->isVisible());
        QVERIFY(h.messages.errors.isEmpty());
        QCOMPARE(t.lbI2CResult->text(), QString("Обмен прерван кнопкой \"Сброс\""));
        QCOMPARE(t.strgridI2CBufRd->count(), 16); // nothing came: the table stays as it was
        QVERIFY(h.instrument.resetCount() > resets);

        // A write waiting as slave, then the cable is pulled.
        SelectRole(t, true, false, "0000011");
        QTest::mouseClick(t.sbI2CWrite, Qt::LeftButton);
        QCOMPARE(t.fmTerminalStatus->lbTransmitState->text(), QString("записываем 16 байт"));
        QTest::qWait(50);
        h.instrument.unplug();
        QTRY_VERIFY_WITH_TIMEOUT(t.pgcntrTerminal->isEnabled(), 20000);
        QCOMPARE(t.lbI2CResult->text(), QString("Прибор не подключен"));
        QCOMPARE(h.messages.errors.size(), 1);
        QVERIFY(h.messages.errors[0].startsWith(Text(Msg::strTermExchangeError)));
        QVERIFY(h.messages.errors[0].endsWith("Прибор не подключен"));

        // Closing the terminal resets the device; it opens again usable.
        t.close();
        QVERIFY(!t.isVisible());
        // The old device's detach may reach the session after the failed transfer: wait for the
        // new one to be taken, not for "attached", which the old handle answers until then.
        const unsigned attaches = h.window->session().attachCount();
        h.instrument.plug();
        QTRY_VERIFY(h.window->session().attachCount() > attaches);
        TfmTerminal& again = h.terminal();
        SelectRole(again, false, true, "1010000");
        Transfer(again, again.sbI2CRead);
        QCOMPARE(again.lbI2CResult->text(), QString("Прочитано 16 байт из 16"));
    }

    void decoderWindowsOpenTheirPage() {
        Harness h;
        h.window->menu().miLAN_I2C->trigger();
        TfmLAN_I2C& i2c = *h.window->decoderWindows.fmLAN_I2C;
        QVERIFY(i2c.isVisible());
        QCOMPARE(i2c.sbHard->toolTip(), QString("Открыть окно аппаратной поддержки исследуемого интерфейса"));
        QTest::mouseClick(i2c.sbHard, Qt::LeftButton);
        QVERIFY(!i2c.isVisible());
        TfmTerminal& t = *h.window->fmTerminal;
        QVERIFY(t.isVisible());
        QCOMPARE(t.pgcntrTerminal->tabText(t.pgcntrTerminal->currentIndex()), QString("I2C"));
        t.close();

        h.window->menu().miLAN_UART->trigger();
        TfmLAN_UART& uart = *h.window->decoderWindows.fmLAN_UART;
        // Not while a measurement runs: the decoder window stays.
        h.window->LockPages(3);
        QTest::mouseClick(uart.sbHard, Qt::LeftButton);
        QVERIFY(uart.isVisible());
        QVERIFY(!t.isVisible());
        h.window->UnlockPages();
        QTest::mouseClick(uart.sbHard, Qt::LeftButton);
        QVERIFY(!uart.isVisible());
        QVERIFY(t.isVisible()); // on its only page, I2C
        QCOMPARE(t.pgcntrTerminal->tabText(t.pgcntrTerminal->currentIndex()), QString("I2C"));
        t.close();
    }

    // An ordinary window: the main window takes clicks while it is open, and Escape closes it
    // (also from an edit, and while a transfer waits, which it ends).
    void notModalAndEscapeCloses() {
        Harness h;
        h.window->show();
        QVERIFY(QTest::qWaitForWindowExposed(h.window.get()));
        TfmTerminal& t = h.terminal();
        QVERIFY(QTest::qWaitForWindowExposed(&t));
        QVERIFY(!QApplication::activeModalWidget());
        QTabBar* bar = h.window->pgcntrMain->tabBar();
        QTest::mouseClick(h.window->windowHandle(), Qt::LeftButton, {},
                          bar->mapTo(h.window.get(), bar->tabRect(1).center()));
        QCOMPARE(h.window->pgcntrMain->currentIndex(), 1);

        QTest::keyClick(t.edI2CCountRd, Qt::Key_Escape);
        QVERIFY(!t.isVisible());
        h.terminal();
        QTest::keyClick(t.edI2CMasterAddWr, Qt::Key_Escape);
        QVERIFY(!t.isVisible());

        h.terminal();
        SelectRole(t, false, false, "0000001"); // nobody addresses it: the wait goes on
        QTest::mouseClick(t.sbI2CRead, Qt::LeftButton);
        QVERIFY(t.transferRunning());
        QTest::keyClick(t.strgridI2CBufRd, Qt::Key_Escape);
        QVERIFY(!t.isVisible());
        QVERIFY(!t.transferRunning());
        QVERIFY(!t.fmTerminalStatus->isVisible());
        QVERIFY(h.window->pgcntrMain->isEnabled());
        QVERIFY(h.window->menu().miLAN_Terminal->isEnabled());
        QVERIFY(t.pgcntrTerminal->isEnabled());
    }

    // One exchange with the instrument at a time: a terminal transfer holds off the pages, the
    // menu items and service windows that talk to it, and a measurement holds off the terminal.
    void oneExchangeAtATime() {
        testing::MainWindowHarness h;
        h.start({"-CLBR"}); // the calibration item shown
        h.window->menu().miLAN_Terminal->trigger();
        TfmTerminal& t = *h.window->fmTerminal;
        MainMenu& m = h.window->menu();
        SelectRole(t, false, false, "0000001");
        QTest::mouseClick(t.sbI2CRead, Qt::LeftButton);
        QVERIFY(t.transferRunning());
        QVERIFY(!h.window->pgcntrMain->isEnabled());
        QVERIFY(!h.window->pnService->isEnabled());
        QVERIFY(!h.window->fmClbr->isEnabled());
        for (QAction* item : {m.miFileOpen, m.miLAN_Terminal, m.miLANCG, m.miClbr, m.miUpDate, m.miServiceSetup})
            QVERIFY2(!item->isEnabled(), qPrintable(item->objectName()));
        QTest::mouseClick(t.fmTerminalStatus->btReset, Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(t.pgcntrTerminal->isEnabled(), 20000);
        QVERIFY(h.window->pgcntrMain->isEnabled());
        QVERIFY(h.window->fmClbr->isEnabled());
        for (QAction* item : {m.miFileOpen, m.miLAN_Terminal, m.miClbr, m.miUpDate})
            QVERIFY2(item->isEnabled(), qPrintable(item->objectName()));

        // A cyclic oscilloscope run: the terminal's transfers wait for its end.
        OscPage& osc = *h.window->oscPage();
        h.window->pgcntrMain->setCurrentIndex(0);
        QTest::mouseClick(osc.sbOscRun, Qt::LeftButton);
        QVERIFY(!m.miFileOpen->isEnabled());
        QVERIFY(!t.sbI2CRead->isEnabled());
        QVERIFY(!t.sbI2CWrite->isEnabled());
        QTest::mouseClick(t.sbI2CRead, Qt::LeftButton);
        t.sbI2CWriteClick();
        QVERIFY(!t.transferRunning());
        QVERIFY(!t.fmTerminalStatus->isVisible());
        QTest::mouseClick(osc.sbOscRun, Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(m.miFileOpen->isEnabled(), 20000);
        QVERIFY(t.sbI2CRead->isEnabled());
        QVERIFY(t.sbI2CWrite->isEnabled());
    }

    // A byte cell takes typing after one click, as in a spreadsheet.
    void oneClickThenTypeEditsAByte() {
        Harness h;
        TfmTerminal& t = h.terminal();
        QVERIFY(QTest::qWaitForWindowActive(&t));
        TerminalHexGrid* grid = t.strgridI2CBufWr;
        const QRect cell = grid->visualRect(grid->model()->index(0, 3));
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cell.center());
        for (const char key : QByteArray("3f"))
            QTest::keyClick(QApplication::focusWidget(), key);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QTRY_COMPARE(grid->cellText(0, 3), QString("3F"));
        QCOMPARE(t.transmitBuffer()[2], 0x3F);
        // The next cell the same way, after a click on it.
        const QRect next = grid->visualRect(grid->model()->index(0, 4));
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, next.center());
        for (const char key : QByteArray("7"))
            QTest::keyClick(QApplication::focusWidget(), key);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QTRY_COMPARE(grid->cellText(0, 4), QString("07"));
    }

    void settingsAreReadAtStartAndWrittenAtExit() {
        testing::MainWindowHarness h;
        h.writeSettings("[terminal]\r\nudI2CCountRd=600\r\nrbI2CMasterRd=1\r\nedI2CMasterAddRd=1010000\r\n"
                        "udI2CSpeedWr=900\r\n");
        h.start();
        TfmTerminal& t = *h.window->fmTerminal;
        QCOMPARE(t.udI2CCountRd->value(), 600);
        QCOMPARE(t.strgridI2CBufRd->count(), 600);
        QVERIFY(t.rbI2CMasterRd->isChecked());
        QVERIFY(!t.rbI2CSlaveRd->isChecked());
        QCOMPARE(t.edI2CMasterAddRd->text(), QString("1010000"));
        QCOMPARE(t.udI2CSpeedWr->value(), 400);
        t.udI2CCountWr->setValue(300);
        QTest::mouseClick(t.rbI2CSlaveWr, Qt::LeftButton);
        h.window->close();
        IniFile ini(h.settingsPath());
        QCOMPARE(ini.readInteger("terminal", "udI2CCountWr", 0), 300);
        QCOMPARE(ini.readBool("terminal", "rbI2CMasterWr", true), false);
        QCOMPARE(ini.readString("terminal", "edI2CSlaveAddWr", ""), std::string("0000000"));
        QCOMPARE(ini.readInteger("terminal", "udI2CCountRd", 0), 600);
    }
};

QTEST_MAIN(TerminalWindowTest)
#include "TerminalWindowTest.moc"
