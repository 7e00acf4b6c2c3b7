// The sounds window against both measuring pages, with the sounds recorded instead of played.

#include "MainWindowHarness.h"
#include "app/MainMenu.h"
#include "app/TfmMain.h"
#include "app/pages/spectrum/FftPage.h"
#include "app/pages/osc/OscPage.h"
#include "app/sounds/TfmOSC_Buzzer.h"
#include "dsp/TonePcm.h"
#include "ui/knob/TOscKnob.h"

#include <QComboBox>
#include <QLineEdit>
#include <QToolButton>
#include <QtTest>

using namespace tesmar;

namespace {

struct Harness : testing::MainWindowHarness {
    Harness() : MainWindowHarness(50.0, true) { start(); }
    TfmOSC_Buzzer& buzzer() { return *window->fmOSC_Buzzer; }
};

SignalParams WithUconst(double volts)
{
    SignalParams p;
    p.Uconst = volts;
    return p;
}

} // namespace

class SoundsTest : public QObject {
    Q_OBJECT

private slots:
    void menuOpensTheWindowWithItsDefaults()
    {
        Harness h;
        h.window->menu().miAnalogSound->trigger();
        TfmOSC_Buzzer& s = h.buzzer();
        QVERIFY(s.isVisible());
        QCOMPARE(s.windowTitle(), QString("Звуки"));
        QCOMPARE(s.findChild<QLineEdit*>("edUcMCh1")->text(), QString("5"));
        QCOMPARE(s.findChild<QLineEdit*>("edFrECh2")->text(), QString("1000"));
        QCOMPARE(s.findChild<QComboBox*>("cbUvLSoundCh2")->currentText(), QString("нет"));
        QCOMPARE(s.findChild<QComboBox*>("cbUvLSoundCh2")->count(), 17);
    }

    void conditionPlaysItsToneOnceAndTheButtonsWork()
    {
        Harness h;
        TfmOSC_Buzzer& s = h.buzzer();
        s.findChild<QComboBox*>("cbUcMSoundCh1")->setCurrentIndex(6); // "300 Гц, 2 гудка"
        s.CheckSounds({WithUconst(4), std::nullopt}, {20, 20});
        QVERIFY(h.sounds.played.isEmpty());
        s.CheckSounds({WithUconst(6), std::nullopt}, {20, 20});
        s.CheckSounds({WithUconst(6.5), std::nullopt}, {20, 20});
        QCOMPARE(h.sounds.played, QStringList{"tone 300 x2"});
        // A text that is no number switches the condition off.
        s.findChild<QLineEdit*>("edUcMCh1")->setText("abc");
        s.CheckSounds({WithUconst(4), std::nullopt}, {20, 20});
        s.CheckSounds({WithUconst(6), std::nullopt}, {20, 20});
        QCOMPARE(h.sounds.played.size(), 1);
        // The play button plays the list's sound; "Нет звуков" silences the channel.
        QTest::mouseClick(s.findChild<QToolButton*>("spbtUcMPlayCh1"), Qt::LeftButton);
        QCOMPARE(h.sounds.played.size(), 2);
        QTest::mouseClick(s.spbtNoSoundCh1, Qt::LeftButton);
        QCOMPARE(s.findChild<QComboBox*>("cbUcMSoundCh1")->currentIndex(), 0);
        QTest::mouseClick(s.findChild<QToolButton*>("spbtUcMPlayCh1"), Qt::LeftButton);
        QCOMPARE(h.sounds.played.size(), 2);
        // A file name typed as the list's text is played as a file.
        QComboBox* file = s.findChild<QComboBox*>("cbFrLSoundCh2");
        file->setCurrentIndex(-1);
        file->setEditText("/tmp/bell.wav");
        s.PlaySound(file);
        QCOMPARE(h.sounds.played.last(), QString("/tmp/bell.wav"));
    }

    void keyFiltersOfTheThresholds()
    {
        Harness h;
        TfmOSC_Buzzer& s = h.buzzer();
        QLineEdit* volts = s.findChild<QLineEdit*>("edUcLCh1");
        volts->clear();
        QTest::keyClicks(volts, "-1-x2");
        QCOMPARE(volts->text(), QString("-12"));
        QLineEdit* hertz = s.findChild<QLineEdit*>("edFrMCh1");
        hertz->clear();
        QTest::keyClicks(hertz, "-12.5a");
        QCOMPARE(hertz->text(), QString("125"));
    }

    void bothPagesCheckTheirParameters()
    {
        Harness h;
        TfmOSC_Buzzer& s = h.buzzer();
        // "Частота=" 1000 Hz on channel A: the virtual instrument's sine is 1 kHz.
        s.findChild<QComboBox*>("cbFrESoundCh1")->setCurrentIndex(1);
        OscPage& osc = *h.window->oscPage();
        osc.knOscTimeDiv->setIndexSelectData(30);
        QTest::mouseClick(osc.sbOscRunSingle, Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(osc.sbOscRunSingle->text() == "Однокр.", 10000);
        QCOMPARE(h.sounds.played, QStringList{"tone 100 x1"});
        h.window->pages()->setCurrentIndex(1);
        FftPage& fft = *h.window->fftPage();
        s.findChild<QComboBox*>("cbFrESoundCh1")->setCurrentIndex(3);
        QTest::mouseClick(fft.sbFFTRunSingle, Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(fft.sbFFTRunSingle->text() == "Однокр.", 10000);
        // Still true since the oscilloscope's record: no new sound.
        QCOMPARE(h.sounds.played.size(), 1);
    }

    void realPlayerStaysQuietWithoutAudio()
    {
        // CI machines have no audio output: playing must neither fail nor block.
        QtSoundPlayer player;
        player.playTone(300, 2);
        player.playFile("/nonexistent/bell.wav");
        QTest::qWait(50);
        QVERIFY(player.lastSource().endsWith("tone-300-2.wav"));
        QFile tone(player.lastSource());
        QVERIFY(tone.open(QIODevice::ReadOnly));
        QCOMPARE(tone.size(), 44 + 2 * 2 * (kToneSampleRate / 10) * 2);
        QCOMPARE(tone.read(4), QByteArray("RIFF"));
    }
};

QTEST_MAIN(SoundsTest)
#include "SoundsTest.moc"
