// The calibration and firmware update windows against the virtual instrument.

#include "MainWindowHarness.h"
#include "app/MainMenu.h"
#include "app/pages/osc/OscPage.h"
#include "app/service/TfmCLBR.h"
#include "app/service/TfmUpDateSoft.h"
#include "text/MessageKeys.h"

#include <QCheckBox>
#include <qcustomplot.h>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QToolButton>
#include <QtTest>

#include <fstream>

using namespace tesmar;
using namespace tesmar::testing;

namespace {

double FieldValue(const QLineEdit* field)
{
    return QLocale().toDouble(field->text());
}

void SetCell(TfmCLBR& w, int row, int column, const QString& text)
{
    w.strgridData->setItem(row, column, new QTableWidgetItem(text));
}

QString Cell(const TfmCLBR& w, int row, int column)
{
    const QTableWidgetItem* item = w.strgridData->item(row, column);
    return item ? item->text() : QString();
}

QString Text(TfmMain& window, tesmar::Msg key)
{
    return QString::fromStdString(window.messageTable().text(key));
}

std::string WriteFile(const QTemporaryDir& folder, const char* name, std::size_t size, char fill)
{
    const std::string path = folder.path().toStdString() + "/" + name;
    std::string bytes(size, fill);
    if (size >= 2) {
        bytes[size - 2] = 3;
        bytes[size - 1] = 9;
    }
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
}

} // namespace

class ServiceWindowsTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QLocale::setDefault(QLocale::c()); }

    void calibrationWindowShowsTheRecordAndTheSelectedPair()
    {
        MainWindowHarness h;
        TfmMain& window = h.start({"-CLBR"});
        QVERIFY(window.menu().miClbr->isVisible());
        TfmCLBR& w = *window.fmClbr;
        w.FormShow();
        // The virtual instrument's record has its type unset: the captions warn.
        QCOMPARE(w.edDeviceType->text(), QString("255"));
        QCOMPARE(w.edDeviceNum->text(), QString("1"));
        QVERIFY(w.lbDeviceType->font().bold());
        QCOMPARE(FieldValue(w.edU0), window.calibration().aAttenuated.zero);
        QTest::mouseClick(w.rbCh2Kx10, Qt::LeftButton);
        QCOMPARE(FieldValue(w.edK_), window.calibration().bNormal.voltsPerUnit);
    }

    void computeFitsTheTwoRowCaseAndUsesTheNewPair()
    {
        MainWindowHarness h;
        TfmMain& window = h.start({"-CLBR"});
        TfmCLBR& w = *window.fmClbr;
        w.FormShow();
        QTest::mouseClick(w.rbCh1Kx10, Qt::LeftButton);
        const CalibrationPair old = window.calibration().aNormal;
        SetCell(w, 0, TfmCLBR::ColMeasured, "1.000");
        SetCell(w, 0, TfmCLBR::ColReference, "1.010");
        SetCell(w, 1, TfmCLBR::ColMeasured, "2.000");
        SetCell(w, 1, TfmCLBR::ColReference, "2.030");
        QTest::mouseClick(w.btCalibration, Qt::LeftButton);
        QVERIFY(h.messages.errors.isEmpty());
        QVERIFY(qAbs(FieldValue(w.edK_) - 1.02 * old.voltsPerUnit) <= 1e-7);
        QCOMPARE(Cell(w, 0, TfmCLBR::ColCode), QString::number((old.zero - 1.0) / old.voltsPerUnit, 'f', 3));
        QVERIFY(qAbs(Cell(w, 1, TfmCLBR::ColCorrected).toDouble() - 2.03) <= 0.005);
        QVERIFY(w.lbErrorMeasured->text().startsWith("dUиз = "));
        QVERIFY(w.lbErrorCorrected->text().startsWith(QString("dUиз") + QChar(0x60) + " кр= "));
        QCOMPARE(w.chCalibration->graph(2)->dataCount(), 2);
        // Nothing in effect changes until "<<".
        QCOMPARE(window.calibration().aNormal, old);
        QTest::mouseClick(w.btSetClbr, Qt::LeftButton);
        QCOMPARE(window.calibration().aNormal.voltsPerUnit, FieldValue(w.edK_));
        QCOMPARE(w.edK->text(), w.edK_->text());

        // The average method labels its error so.
        w.cbByEndPoint->setChecked(false);
        QTest::mouseClick(w.btCalibration, Qt::LeftButton);
        QVERIFY(w.lbErrorCorrected->text().contains(" ср= "));
    }

    void badCellsAndZeroReferenceRows()
    {
        MainWindowHarness h;
        TfmMain& window = h.start({"-CLBR"});
        TfmCLBR& w = *window.fmClbr;
        w.FormShow();
        SetCell(w, 0, TfmCLBR::ColMeasured, "0.01");
        SetCell(w, 0, TfmCLBR::ColReference, "0");
        SetCell(w, 1, TfmCLBR::ColMeasured, "5");
        SetCell(w, 1, TfmCLBR::ColReference, "5.1");
        SetCell(w, 2, TfmCLBR::ColMeasured, "10");
        SetCell(w, 2, TfmCLBR::ColReference, "10.2");
        QTest::mouseClick(w.btCalibration, Qt::LeftButton);
        QVERIFY(h.messages.errors.isEmpty());
        QVERIFY(!w.lbErrorMeasured->text().contains("nan", Qt::CaseInsensitive));
        QVERIFY(!w.lbErrorCorrected->text().contains("inf", Qt::CaseInsensitive));

        const QString before = w.edK_->text();
        SetCell(w, 1, TfmCLBR::ColReference, "abc");
        QTest::mouseClick(w.btCalibration, Qt::LeftButton);
        QCOMPARE(h.messages.errors.size(), 1);
        QVERIFY(h.messages.errors[0].contains("abc"));
        QCOMPARE(w.edK_->text(), before);
    }

    void writeReadAndDefaultAgainstTheInstrument()
    {
        MainWindowHarness h;
        {
            std::lock_guard lock(h.instrument.stateMutex());
            for (std::size_t i = 64; i < kCalibrationRecordSize; ++i)
                if (i < 256 || i > 258)
                    h.instrument.state().calibration.bytes[i] = static_cast<std::uint8_t>(i);
        }
        TfmMain& window = h.start({"-CLBR"});
        TfmCLBR& w = *window.fmClbr;
        w.FormShow();
        QTest::mouseClick(w.rbCh2K, Qt::LeftButton);
        w.edU0_->setText("21.5");
        w.edK_->setText("0.0007");
        w.edDeviceType->setText("1");
        w.edDeviceNum->setText("513");
        QTest::mouseClick(w.btWrClbr, Qt::LeftButton);
        QVERIFY(h.messages.errors.isEmpty());
        CalibrationRecord stored;
        {
            std::lock_guard lock(h.instrument.stateMutex());
            stored = h.instrument.state().calibration;
        }
        QCOMPARE(stored.pairs().bAttenuated, (CalibrationPair{21.5, 0.0007}));
        QCOMPARE(stored.pairs().aNormal, CalibrationSet{}.aNormal);
        QCOMPARE(int(stored.instrumentType()), 1);
        QCOMPARE(int(stored.instrumentNumber()), 513);
        for (std::size_t i = 64; i < kCalibrationRecordSize; ++i)
            if (i < 256 || i > 258)
                QCOMPARE(int(stored.bytes[i]), int(i & 0xFF));

        QTest::mouseClick(w.btDefK, Qt::LeftButton);
        QCOMPARE(window.calibration(), CalibrationSet{});
        QCOMPARE(FieldValue(w.edU0), CalibrationSet{}.bAttenuated.zero);
        QTest::mouseClick(w.btRdClbr, Qt::LeftButton);
        QCOMPARE(window.calibration().bAttenuated, (CalibrationPair{21.5, 0.0007}));
        QCOMPARE(w.edU0->text(), QString("21.5"));
        QVERIFY(!w.lbDeviceType->font().bold());

        // A type out of range is refused before anything is written.
        w.edDeviceType->setText("300");
        QTest::mouseClick(w.btWrClbr, Qt::LeftButton);
        QCOMPARE(h.messages.errors.size(), 1);
    }

    void blankRecordKeepsThePairsButShowsTypeAndNumber()
    {
        MainWindowHarness h;
        TfmMain& window = h.start({"-CLBR"});
        TfmCLBR& w = *window.fmClbr;
        w.FormShow();
        w.edU0->setText("1.5");
        w.edK->setText("0.0001");
        QTest::mouseClick(w.btSet, Qt::LeftButton);
        {
            std::lock_guard lock(h.instrument.stateMutex());
            h.instrument.state().calibration.bytes.fill(0xFF);
        }
        QTest::mouseClick(w.btRdClbr, Qt::LeftButton);
        QCOMPARE(window.calibration().aAttenuated, (CalibrationPair{1.5, 0.0001}));
        QCOMPARE(w.edDeviceType->text(), QString("255"));
        QCOMPARE(w.edDeviceNum->text(), QString("65535"));
    }

    void copiesBetweenChannelsClearAndEnterMoves()
    {
        MainWindowHarness h;
        TfmMain& window = h.start({"-CLBR"});
        TfmCLBR& w = *window.fmClbr;
        w.FormShow();
        w.edU0->setText("3");
        w.edK->setText("0.0002");
        QTest::mouseClick(w.btSet, Qt::LeftButton);
        QTest::mouseClick(w.btSetKToNext, Qt::LeftButton);
        QCOMPARE(window.calibration().bAttenuated, (CalibrationPair{3, 0.0002}));
        QTest::mouseClick(w.rbCh2K, Qt::LeftButton);
        w.edU0->setText("9");
        QTest::mouseClick(w.btGetKFromNext, Qt::LeftButton);
        QCOMPARE(w.edU0->text(), QString("3"));
        QCOMPARE(w.edU0_->text(), QString("3"));

        w.strgridData->setCurrentCell(2, TfmCLBR::ColMeasured);
        QTest::keyClick(w.strgridData, Qt::Key_Return);
        QCOMPARE(w.strgridData->currentRow(), 2);
        QCOMPARE(w.strgridData->currentColumn(), int(TfmCLBR::ColReference));
        QTest::keyClick(w.strgridData, Qt::Key_Return);
        QCOMPARE(w.strgridData->currentRow(), 3);
        QCOMPARE(w.strgridData->currentColumn(), int(TfmCLBR::ColMeasured));

        SetCell(w, 0, TfmCLBR::ColMeasured, "1");
        SetCell(w, 0, TfmCLBR::ColReference, "2");
        w.strgridData->setCurrentCell(5, TfmCLBR::ColReference);
        QTest::mouseClick(w.spbtClearCur, Qt::LeftButton);
        QCOMPARE(Cell(w, 0, TfmCLBR::ColReference), QString());
        QCOMPARE(Cell(w, 0, TfmCLBR::ColMeasured), QString("1"));
        QTest::mouseClick(w.spbtClearAll, Qt::LeftButton);
        QCOMPARE(Cell(w, 0, TfmCLBR::ColMeasured), QString());
        QCOMPARE(Cell(w, 0, TfmCLBR::ColNumber), QString("1"));
    }

    void calibrationFileRoundTrip()
    {
        MainWindowHarness h;
        TfmMain& window = h.start({"-CLBR"});
        TfmCLBR& w = *window.fmClbr;
        w.FormShow();
        SetCell(w, 0, TfmCLBR::ColMeasured, "1.5");
        SetCell(w, 0, TfmCLBR::ColReference, "1.52");
        SetCell(w, 1, TfmCLBR::ColMeasured, "2.5");
        SetCell(w, 1, TfmCLBR::ColReference, "2.53");
        SetCell(w, 3, TfmCLBR::ColMeasured, "after a gap");
        w.edK_->setText("0.0005");
        const QString path = h.folder.path() + "/koef.txt";
        QVERIFY(w.saveFile(path));
        QTest::mouseClick(w.spbtClearAll, Qt::LeftButton);
        w.edK_->setText("changed");
        QVERIFY(w.openFile(path));
        QCOMPARE(Cell(w, 1, TfmCLBR::ColReference), QString("2.53"));
        QCOMPARE(Cell(w, 3, TfmCLBR::ColMeasured), QString());
        QCOMPARE(w.edK_->text(), QString("0.0005"));
        QVERIFY(!w.openFile(h.folder.path() + "/missing.txt"));
        QCOMPARE(h.messages.errors.size(), 1);
    }

    void oscilloscopeConstantGoesIntoTheTable()
    {
        MainWindowHarness h(200.0, true);
        TfmMain& window = h.start({"-CLBR"});
        TfmCLBR& w = *window.fmClbr;
        w.FormShow();
        w.strgridData->setCurrentCell(0, TfmCLBR::ColMeasured);
        QTest::mouseClick(w.spbtGetUmet, Qt::LeftButton);
        QCOMPARE(h.messages.errors.size(), 1); // nothing measured yet
        OscPage& p = *window.oscPage();
        QTest::mouseClick(p.sbOscRunSingle, Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(p.sbOscRunSingle->text() == "Однокр.", 10000);
        const auto params = p.lastSignalParams(0);
        QVERIFY(params.has_value());
        QTest::mouseClick(w.spbtGetUmet, Qt::LeftButton);
        QCOMPARE(Cell(w, 0, TfmCLBR::ColMeasured), QLocale().toString(params->Uconst, 'f', 4));
        QCOMPARE(w.strgridData->currentRow(), 1);
    }

    void firmwareUpdateLoadsFlashesAndShowsTheNewVersion()
    {
        MainWindowHarness h(2000.0);
        TfmMain& window = h.start();
        TfmUpDateSoft& w = *window.fmUpDateSoft;
        w.show(); // FormShow
        QCOMPARE(w.lbCurFileVer->text(), Text(window, Msg::strUpDateShCurVer) + "2.5 (10/12/26)");
        QVERIFY(!w.spStartUpData->isEnabled());
        QCOMPARE(w.lbUpDateFileName->text(), Text(window, Msg::strUpDateShFN));

        QVERIFY(!w.openFile(QString::fromStdString(WriteFile(h.folder, "big.bin", 16385, 1))));
        QCOMPARE(h.messages.errors.value(0), Text(window, Msg::strUpDateErrOF));
        QVERIFY(!w.spStartUpData->isEnabled());
        QVERIFY(!w.openFile(QString::fromStdString(WriteFile(h.folder, "empty.bin", 0, 1))));
        QCOMPARE(h.messages.errors.size(), 2);

        QVERIFY(w.openFile(QString::fromStdString(WriteFile(h.folder, "fw.bin", 513, 5))));
        QCOMPARE(w.lbUpDateFileName->text(), Text(window, Msg::strUpDateOpFN) + "fw.bin");
        QCOMPARE(w.lbUpDateFileSize->text(), Text(window, Msg::strUpDateShFS) + "513");
        QCOMPARE(w.lbUpDateFileVer->text(), Text(window, Msg::strUpDateShVer) + "3.9");
        QVERIFY(w.spStartUpData->isEnabled());
        // 3.9 does not continue the installed 2.5: the user is asked before anything is erased.
        h.messages.questionAnswer = false;
        w.spStartUpData->click();
        QCOMPARE(h.messages.questions.size(), 1);
        QVERIFY(h.messages.questions[0].contains("(3.9)") && h.messages.questions[0].contains("(2.5)"));
        QVERIFY(!w.updating());
        h.messages.questionAnswer = true;
        w.spStartUpData->click(); // no event is handled before the checks below
        // The transfer runs on its own thread: the window stays, takes no second start and
        // cannot be closed until it ends (its end is handled on this thread, so it is still due).
        QVERIFY(w.updating());
        QVERIFY(!w.spStartUpData->isEnabled());
        QVERIFY(!w.spOpenFileUpData->isEnabled());
        w.reject();
        QVERIFY(w.isVisible());
        QTRY_VERIFY_WITH_TIMEOUT(!w.updating(), 10000);
        QCOMPARE(h.messages.errors.size(), 2);
        QCOMPARE(h.messages.informations.value(0), Text(window, Msg::strUpDateOkDlFW));
        QVERIFY(!w.isVisible()); // accepted at the end
        QCOMPARE(w.progbarUpDate->maximum(), 16);
        QCOMPARE(w.progbarUpDate->value(), 16);
        w.FormShow();
        QCOMPARE(w.lbCurFileVer->text(), Text(window, Msg::strUpDateShCurVer) + "3.9 (10/12/26)");
    }

    // Two blocks: transfers 1 … 6 enter the boot loader and erase, 7 … 16 write the second block,
    // 17 … 26 the first, 27 starts the new application.
    void failedUpdateLeadsTheNextStartToTheUpdate_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::newRow("a block refused") << "refuse 512";
        QTest::newRow("unplug in the second block") << "unplug-after=10transfers";
        QTest::newRow("unplug in the first block") << "unplug-after=20transfers";
        QTest::newRow("unplug before the start") << "unplug-after=26transfers";
        QTest::newRow("programming never answered") << "stall-after=6transfers";
    }

    void failedUpdateLeadsTheNextStartToTheUpdate()
    {
        QFETCH(QString, fault);
        MainWindowHarness h(2000.0);
        TfmMain& window = h.start();
        TfmUpDateSoft& w = *window.fmUpDateSoft;
        QVERIFY(w.openFile(QString::fromStdString(WriteFile(h.folder, "fw.bin", 1024, 5))));
        if (fault == "refuse 512")
            h.instrument.refuseBootBlocks(512);
        else
            h.instrument.armFaults(ParseSimFaults(fault.toStdString()).value());
        QTest::mouseClick(w.spStartUpData, Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(!w.updating(), 10000);
        QVERIFY(w.spStartUpData->isEnabled()); // the update can be repeated
        QCOMPARE(h.messages.errors.value(0), Text(window, Msg::strUpDateErrDlFW));
        QCOMPARE(w.progbarUpDate->value(), 0);
        QCOMPARE(w.stpnSatusUpDate->text(), Text(window, Msg::strUpDateOpPn));
        QVERIFY(h.messages.informations.isEmpty());
        {
            std::lock_guard lock(h.instrument.stateMutex());
            QVERIFY(h.instrument.state().bootLoader);
        }

        h.window.reset();
        h.instrument.armFaults({});
        h.instrument.plug(); // an unplugged one plugged in again before the next start
        h.messages.errors.clear();
        TfmMain& again = h.start();
        QCOMPARE(h.messages.errors.value(0), Text(again, Msg::strErrorBL));
        again.fmUpDateSoft->FormShow();
        QCOMPARE(again.fmUpDateSoft->lbCurFileVer->text(),
                 Text(again, Msg::strUpDateShCurVer) + Text(again, Msg::strUpDateNoVer));
    }

    void updateWithoutInstrumentCannotEnterTheBootLoader()
    {
        MainWindowHarness h(2000.0);
        h.instrument.unplug();
        TfmMain& window = h.start();
        h.messages.errors.clear();
        TfmUpDateSoft& w = *window.fmUpDateSoft;
        QVERIFY(w.openFile(QString::fromStdString(WriteFile(h.folder, "fw.bin", 100, 5))));
        QTest::mouseClick(w.spStartUpData, Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(!w.updating(), 10000);
        QCOMPARE(h.messages.errors.value(0), Text(window, Msg::strUpDateErrOpBL));
    }
};

QTEST_MAIN(ServiceWindowsTest)
#include "ServiceWindowsTest.moc"
