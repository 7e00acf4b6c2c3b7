// Every acquisition path of the windows against the virtual instrument's faults: an unplug, a
// stalled data pipe or a transfer error before the first data, in the middle and just before the
// end. Each row must end (by itself, or by the reset button where the path waits without end
// anyway), say what happened, keep what the page keeps of a partial measurement, leave the page at
// rest, and, once the instrument is plugged in again, measure again.

#include "MainWindowHarness.h"
#include "app/MainMenu.h"
#include "app/pages/logic/LanPage.h"
#include "app/pages/osc/OscChart.h"
#include "app/pages/osc/OscPage.h"
#include "app/pages/recorder/RecChart.h"
#include "app/pages/recorder/RecPage.h"
#include "app/pages/spectrum/FftChart.h"
#include "app/pages/spectrum/FftPage.h"
#include "app/service/TfmCLBR.h"
#include "app/service/TfmUpDateSoft.h"
#include "app/terminal/TerminalHexGrid.h"
#include "app/terminal/TfmTerminal.h"
#include "app/terminal/TfmTerminalStatus.h"
#include "osc/OscOptions.h"
#include "logic/acquisition/LanAcquisition.h"
#include "osc/acquisition/OscAcquisition.h"
#include "recorder/acquisition/RecAcquisition.h"
#include "ui/knob/TOscKnob.h"

#include <QDateTimeEdit>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QRegularExpression>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QToolButton>
#include <QtTest>

#include <fstream>
#include <functional>
#include <map>

using namespace tesmar;

namespace {

enum class Moment { BeforeFirstData, Middle, BeforeTheEnd };

struct Rig : testing::MainWindowHarness {
    explicit Rig(double speed) : MainWindowHarness(speed, true) {}
    QStringList said() const { return messages.errors + messages.warnings + messages.informations; }
};

// One acquisition path as the user drives it.
struct Path {
    double clockSpeed = 200.0;
    SimFaultTrigger unit = SimFaultTrigger::Reads; // what the moments count
    std::vector<std::string> arguments;
    std::function<void(Rig&)> prepare;        // once, after the start
    std::function<void(Rig&)> run;            // starts one measurement
    std::function<bool(Rig&)> atRest;         // the run controls released and usable again
    std::function<void(Rig&)> reset;          // the user's way out of a wait; none: the path ends itself
    std::function<int(Rig&)> measured;       // how much the page holds of the last measurement
    std::function<void(Rig&)> forget;         // empties the page before the run after the re-plug
    std::function<QString(Rig&)> report;      // the path's own result line, if it has one
    bool keepsPartial = false;                // a measurement cut short keeps what came
    bool stallWaitsLikeNoTrigger = false;     // a stalled pipe looks like a record still to come
    bool bootLoaderKeepsAFailedUpdate = false; // a cut update leaves the instrument in its boot loader
};

void Type(QLineEdit* edit, const QString& text)
{
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Backspace);
    QTest::keyClicks(edit, text);
    QTest::keyClick(edit, Qt::Key_Return);
}

TfmTerminal& Terminal(Rig& r)
{
    if (!r.window->fmTerminal->isVisible())
        r.window->menu().miLAN_Terminal->trigger();
    return *r.window->fmTerminal;
}

bool PagesFree(Rig& r)
{
    for (int i = 0; i < 4; ++i)
        if (!r.window->page(i)->isEnabled())
            return false;
    return true;
}

Path OscPath(bool stream)
{
    Path p;
    p.clockSpeed = stream ? 1000.0 : 200.0;
    p.prepare = [stream](Rig& r) {
        OscPage& o = *r.window->oscPage();
        if (stream)
            r.window->oscOptions().count_osc_index_buf = 1;
        o.knOscTimeDiv->setIndexSelectData(stream ? 0 : 30); // 10 ms a stream of 82 s; 25 µs a buffer
    };
    p.run = [](Rig& r) { QTest::mouseClick(r.window->oscPage()->sbOscRunSingle, Qt::LeftButton); };
    p.atRest = [](Rig& r) {
        OscPage& o = *r.window->oscPage();
        return !o.acquisition().running() && !o.sbOscRunSingle->isChecked() && o.sbOscRunSingle->isEnabled() &&
               o.sbOscRun->isEnabled() && o.sbOscRunSingle->text() == "Однокр." && PagesFree(r);
    };
    p.reset = [](Rig& r) { QTest::mouseClick(r.window->oscPage()->sbOscRunSingle, Qt::LeftButton); };
    p.measured = [](Rig& r) { return r.window->oscPage()->chOsc->srOsc_Ch1->dataCount(); };
    p.forget = [](Rig& r) { r.window->oscPage()->clearPage(); };
    p.keepsPartial = stream;
    p.stallWaitsLikeNoTrigger = !stream;
    return p;
}

Path FftPath(bool stream)
{
    Path p;
    p.clockSpeed = stream ? 1000.0 : 200.0;
    p.prepare = [stream](Rig& r) {
        FftPage& f = *r.window->fftPage();
        if (stream) {
            r.window->options().count_fft_index_buf = 39; // every rate streams
            f.knFFTFrecDiv->setIndexSelectData(0);        // 100 Hz: 8192 points in 82 s
            f.knFFTFrecDivChange();
        }
    };
    p.run = [](Rig& r) { QTest::mouseClick(r.window->fftPage()->sbFFTRunSingle, Qt::LeftButton); };
    p.atRest = [](Rig& r) {
        FftPage& f = *r.window->fftPage();
        return !f.sbFFTRunSingle->isChecked() && f.sbFFTRunSingle->isEnabled() && f.sbFFTRun->isEnabled() &&
               f.sbFFTRunSingle->text() == "Однокр." && PagesFree(r);
    };
    p.reset = [](Rig& r) { QTest::mouseClick(r.window->fftPage()->sbFFTRunSingle, Qt::LeftButton); };
    p.measured = [](Rig& r) { return r.window->fftPage()->chFFT->srFFT_Ch1->dataCount(); };
    p.forget = [](Rig& r) { r.window->fftPage()->clearPage(); };
    p.stallWaitsLikeNoTrigger = !stream;
    return p;
}

Path RecorderPath()
{
    Path p;
    p.prepare = [](Rig& r) {
        r.window->pages()->setCurrentIndex(2);
        RecPage& rec = *r.window->recPage();
        QTest::mouseClick(rec.spRecStop, Qt::LeftButton);
        rec.dtRecStop->setTime(QTime(0, 0, 2)); // ends by itself after 2 s: 2001 points
    };
    p.run = [](Rig& r) { QTest::mouseClick(r.window->recPage()->sbRecRun, Qt::LeftButton); };
    p.atRest = [](Rig& r) {
        RecPage& rec = *r.window->recPage();
        return !rec.running() && !rec.sbRecRun->isChecked() && rec.sbRecRun->text() == "Запуск" && PagesFree(r);
    };
    p.measured = [](Rig& r) {
        const auto* stream = r.window->recPage()->acquisition().stream();
        return stream ? int(stream->record().count()) : 0;
    };
    p.forget = [](Rig& r) { r.window->recPage()->clearPage(); };
    p.keepsPartial = true;
    return p;
}

Path LogicPath(bool stream)
{
    Path p;
    p.prepare = [stream](Rig& r) {
        r.window->pages()->setCurrentIndex(3);
        LanPage& l = *r.window->lanPage();
        QTest::mouseClick(l.sbLANModeBusG, Qt::LeftButton); // bus B free: the rate decides the mode
        if (stream)
            l.knLANFrecDiv->setIndexSelectData(23); // 250 kHz: 64 K samples streamed
    };
    p.run = [](Rig& r) { QTest::mouseClick(r.window->lanPage()->sbLANRun, Qt::LeftButton); };
    p.atRest = [](Rig& r) {
        LanPage& l = *r.window->lanPage();
        return !l.acquisition().running() && !l.sbLANRun->isChecked() && l.sbLANRun->text() == "Запуск" &&
               PagesFree(r);
    };
    p.reset = [](Rig& r) { QTest::mouseClick(r.window->lanPage()->sbLANRun, Qt::LeftButton); };
    p.measured = [](Rig& r) { return int(r.window->logicCapture().busA.size()); };
    p.forget = [](Rig& r) { r.window->lanPage()->clearPage(); };
    p.keepsPartial = stream;
    p.stallWaitsLikeNoTrigger = !stream;
    return p;
}

Path TerminalPath(bool master)
{
    Path p;
    p.prepare = [master](Rig& r) {
        TfmTerminal& t = Terminal(r);
        Type(t.edI2CCountRd, master ? "16" : "64");
        QTest::mouseClick(master ? t.rbI2CMasterRd : t.rbI2CSlaveRd, Qt::LeftButton);
        // The EEPROM as slave; as slave, the line the instrument's master writes to 1000010.
        Type(master ? t.edI2CMasterAddRd : t.edI2CSlaveAddRd, master ? "1010000" : "1000010");
    };
    p.run = [](Rig& r) { QTest::mouseClick(Terminal(r).sbI2CRead, Qt::LeftButton); };
    p.atRest = [](Rig& r) {
        TfmTerminal& t = Terminal(r);
        return !t.transferRunning() && t.pgcntrTerminal->isEnabled() && !t.fmTerminalStatus->isVisible();
    };
    p.reset = [](Rig& r) { QTest::mouseClick(Terminal(r).fmTerminalStatus->btReset, Qt::LeftButton); };
    // The bytes the last read brought, as its result line says.
    p.measured = [](Rig& r) {
        const QRegularExpressionMatch m = QRegularExpression("^Прочитано (\\d+) ").match(Terminal(r).lbI2CResult->text());
        return m.hasMatch() ? m.captured(1).toInt() : 0;
    };
    p.forget = [](Rig& r) { Terminal(r).lbI2CResult->clear(); };
    p.report = [](Rig& r) { return Terminal(r).lbI2CResult->text(); };
    p.stallWaitsLikeNoTrigger = !master; // as slave it waits for a master anyway
    return p;
}

Path CalibrationWritePath()
{
    Path p;
    p.unit = SimFaultTrigger::Transfers;
    p.arguments = {"-CLBR"};
    p.prepare = [](Rig& r) {
        TfmCLBR& w = *r.window->fmClbr;
        w.FormShow();
        QTest::mouseClick(w.rbCh2K, Qt::LeftButton);
        w.edU0_->setText("21.5");
        w.edK_->setText("0.0007");
        w.edDeviceType->setText("1");
        w.edDeviceNum->setText("513");
    };
    p.run = [](Rig& r) { QTest::mouseClick(r.window->fmClbr->btWrClbr, Qt::LeftButton); };
    p.atRest = [](Rig& r) { return r.window->fmClbr->btWrClbr->isEnabled(); };
    p.measured = [](Rig& r) {
        std::lock_guard lock(r.instrument.stateMutex());
        return r.instrument.state().calibration.instrumentNumber() == 513 ? 1 : 0;
    };
    p.forget = [](Rig& r) {
        std::lock_guard lock(r.instrument.stateMutex());
        r.instrument.state().calibration.setInstrumentNumber(0);
    };
    return p;
}

Path FirmwarePath()
{
    Path p;
    p.clockSpeed = 2000.0;
    p.unit = SimFaultTrigger::Transfers;
    p.prepare = [](Rig& r) {
        const std::string path = r.settingsFolder() + "fw.bin";
        std::string bytes(1100, 0);
        for (std::size_t i = 0; i < bytes.size(); ++i)
            bytes[i] = static_cast<char>(i * 7 + 1);
        bytes[1098] = 2; // version 2.7
        bytes[1099] = 7;
        std::ofstream(path, std::ios::binary) << bytes;
        TfmUpDateSoft& w = *r.window->fmUpDateSoft;
        w.FormShow();
        QVERIFY(w.openFile(QString::fromStdString(path)));
    };
    p.run = [](Rig& r) { QTest::mouseClick(r.window->fmUpDateSoft->spStartUpData, Qt::LeftButton); };
    p.atRest = [](Rig& r) {
        TfmUpDateSoft& w = *r.window->fmUpDateSoft;
        return !w.updating() && w.spStartUpData->isEnabled() && w.spOpenFileUpData->isEnabled();
    };
    p.measured = [](Rig& r) {
        std::lock_guard lock(r.instrument.stateMutex());
        const auto& s = r.instrument.state();
        return !s.bootLoader && s.flash[0] == 1 && s.flash[100] == 189 && s.flash[1099] == 7 ? 1 : 0;
    };
    p.forget = [](Rig& r) {
        std::lock_guard lock(r.instrument.stateMutex());
        r.instrument.state().flash[0] = 0;
    };
    p.bootLoaderKeepsAFailedUpdate = true;
    return p;
}

const std::map<QString, Path>& Paths()
{
    static const std::map<QString, Path> paths = {
        {"osc buffer", OscPath(false)},
        {"osc stream", OscPath(true)},
        {"spectrum buffer", FftPath(false)},
        {"spectrum stream", FftPath(true)},
        {"recorder", RecorderPath()},
        {"logic buffer", LogicPath(false)},
        {"logic stream", LogicPath(true)},
        {"terminal master", TerminalPath(true)},
        {"terminal slave", TerminalPath(false)},
        {"calibration write", CalibrationWritePath()},
        {"firmware update", FirmwarePath()},
    };
    return paths;
}

// Generous limits: the rows run on two shared cores.
constexpr int kEndMs = 20000;
constexpr int kWaitBeforeResetMs = 1500;

// The amount of the path's unit one clean measurement takes, from a run of its own.
int CleanCount(const QString& name)
{
    static std::map<QString, int> counted;
    if (auto known = counted.find(name); known != counted.end())
        return known->second;
    const Path& p = Paths().at(name);
    Rig r(p.clockSpeed);
    r.start(p.arguments);
    p.prepare(r);
    r.instrument.armFaults({});
    p.run(r);
    if (!QTest::qWaitFor([&] { return p.atRest(r); }, kEndMs))
        return -1;
    const int n = p.unit == SimFaultTrigger::Reads ? r.instrument.readsSinceArmed() : r.instrument.transfersSinceArmed();
    if (p.measured(r) <= 0)
        return -1;
    counted[name] = n;
    return n;
}

} // namespace

class FaultMatrixTest : public QObject {
    Q_OBJECT

    static void rows(const QString& path)
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<int>("moment");
        QTest::addColumn<int>("fault");
        const struct {
            Moment moment;
            const char* name;
        } moments[] = {{Moment::BeforeFirstData, "before the first data"},
                       {Moment::Middle, "in the middle"},
                       {Moment::BeforeTheEnd, "just before the end"}};
        const struct {
            SimFaultKind kind;
            const char* name;
        } faults[] = {{SimFaultKind::Unplug, "unplug"},
                      {SimFaultKind::Stall, "stall"},
                      {SimFaultKind::TransferError, "error"}};
        for (const auto& m : moments)
            for (const auto& f : faults)
                QTest::addRow("%s, %s, %s", qPrintable(path), f.name, m.name)
                    << path << int(m.moment) << int(f.kind);
    }

    static void runRow()
    {
        QFETCH(QString, path);
        QFETCH(int, moment);
        QFETCH(int, fault);
        const Path& p = Paths().at(path);
        const int clean = CleanCount(path);
        QVERIFY2(clean > 0, "a clean measurement works and counts its transfers");
        const int at = Moment(moment) == Moment::BeforeFirstData ? 0
                       : Moment(moment) == Moment::Middle    ? clean / 2
                                                             : clean - 1;
        const auto kind = SimFaultKind(fault);

        Rig r(p.clockSpeed);
        r.start(p.arguments);
        p.prepare(r);
        QVERIFY(p.atRest(r));
        const QString attachedLine = r.window->deviceLine();
        const QStringList saidBefore = r.said();
        const int waitMs = kind == SimFaultKind::Stall && p.stallWaitsLikeNoTrigger ? kWaitBeforeResetMs : kEndMs;
        bool ended = false;
        // A measurement may take a few reads less than the clean one (a record polled for fewer
        // times): one that ends before the fault met it is taken again with the fault nearer.
        int moved = at;
        for (int attempt = 0; attempt < 3; ++attempt) {
            r.instrument.armFaults({{kind, p.unit, double(moved)}});
            p.run(r);
            ended = QTest::qWaitFor([&] { return p.atRest(r); }, waitMs);
            const int done = p.unit == SimFaultTrigger::Reads ? r.instrument.readsSinceArmed()
                                                              : r.instrument.transfersSinceArmed();
            if (!ended || r.instrument.faultsWaiting() == 0)
                break;
            moved = std::max(0, std::min(moved, done) - 1);
        }
        QVERIFY2(!ended || r.instrument.faultsWaiting() == 0, "the fault met the measurement");
        bool userEnded = false;
        if (!ended && kind == SimFaultKind::Stall && p.stallWaitsLikeNoTrigger) {
            // Nothing tells a stalled pipe from a trigger still to come: the page says it waits,
            // and the user ends the wait.
            userEnded = true;
            const QString waiting = p.report ? Terminal(r).fmTerminalStatus->lbReceiveState->text()
                                             : r.window->statusLine();
            QVERIFY2(!waiting.isEmpty(), "the page says that it waits");
            p.reset(r);
            ended = QTest::qWaitFor([&] { return p.atRest(r); }, kEndMs);
        }
        QVERIFY2(ended, "the path ends by itself");

        // What happened is said: the device line after an unplug, otherwise a message, the
        // status line or the path's own result line.
        if (kind == SimFaultKind::Unplug) {
            QTRY_COMPARE_WITH_TIMEOUT(r.window->deviceLine(), QString("Прибор не подключен"), kEndMs);
        } else if (!userEnded) {
            const QString result = p.report ? p.report(r) : QString();
            const bool toldNow = r.said().size() > saidBefore.size() || !r.window->statusLine().isEmpty();
            QVERIFY2(toldNow || !result.isEmpty() || p.measured(r) > 0, "the failure is not passed over in silence");
        }
        if (p.keepsPartial && Moment(moment) != Moment::BeforeFirstData)
            QVERIFY2(p.measured(r) > 0, "what came before the fault is kept");
        if (p.bootLoaderKeepsAFailedUpdate && moved >= 3 && p.measured(r) == 0) {
            // Past the switch to the boot loader (the third transfer), it waits there.
            std::lock_guard lock(r.instrument.stateMutex());
            QVERIFY2(r.instrument.state().bootLoader, "a cut update leaves the boot loader running");
        }

        // Plugged in again, the instrument is taken up and the next measurement works.
        r.instrument.armFaults({});
        const unsigned attaches = r.window->session().attachCount();
        r.instrument.unplug();
        r.instrument.plug();
        QTRY_VERIFY_WITH_TIMEOUT(r.window->session().attachCount() > attaches, kEndMs);
        if (!p.bootLoaderKeepsAFailedUpdate)
            QTRY_COMPARE_WITH_TIMEOUT(r.window->deviceLine(), attachedLine, kEndMs);
        p.forget(r);
        QVERIFY(p.atRest(r));
        p.run(r);
        QVERIFY2(QTest::qWaitFor([&] { return p.atRest(r); }, kEndMs), "the run after the re-plug ends");
        QVERIFY2(p.measured(r) > 0, "the run after the re-plug measures");
    }

private slots:
    void oscBuffer_data() { rows("osc buffer"); }
    void oscBuffer() { runRow(); }
    void oscStream_data() { rows("osc stream"); }
    void oscStream() { runRow(); }
    void spectrumBuffer_data() { rows("spectrum buffer"); }
    void spectrumBuffer() { runRow(); }
    void spectrumStream_data() { rows("spectrum stream"); }
    void spectrumStream() { runRow(); }
    void recorder_data() { rows("recorder"); }
    void recorder() { runRow(); }
    void logicBuffer_data() { rows("logic buffer"); }
    void logicBuffer() { runRow(); }
    void logicStream_data() { rows("logic stream"); }
    void logicStream() { runRow(); }
    void terminalMaster_data() { rows("terminal master"); }
    void terminalMaster() { runRow(); }
    void terminalSlave_data() { rows("terminal slave"); }
    void terminalSlave() { runRow(); }
    void calibrationWrite_data() { rows("calibration write"); }
    void calibrationWrite() { runRow(); }
    void firmwareUpdate_data() { rows("firmware update"); }
    void firmwareUpdate() { runRow(); }
};

QTEST_MAIN(FaultMatrixTest)
#include "FaultMatrixTest.moc"
