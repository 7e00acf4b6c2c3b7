// Edit → "Очистить" on every page, and the questions before unsaved work would go with it.

#include "MainWindowHarness.h"
#include "app/MainMenu.h"
#include "app/TfmMain.h"
#include "app/logic/LanGeneratorPanel.h"
#include "app/pages/logic/LanChart.h"
#include "app/pages/logic/LanPage.h"
#include "app/pages/osc/OscChart.h"
#include "app/pages/osc/OscPage.h"
#include "app/pages/recorder/RecChart.h"
#include "app/pages/recorder/RecPage.h"
#include "app/pages/spectrum/FftChart.h"
#include "app/pages/spectrum/FftPage.h"
#include "recorder/acquisition/RecAcquisition.h"

#include <QAction>
#include <QApplication>
#include <QFileDialog>
#include <QTimer>
#include <QLabel>
#include <QTableWidget>
#include <QToolButton>
#include <QtTest>

#include <memory>

using namespace tesmar;
using Answer = UserMessages::SaveAnswer;

namespace {

// The next file dialog to open is answered with `path`. A dialog that does not take the answer
// within a second is cancelled, so that the test fails instead of waiting for ever.
void AnswerNextFileDialog(const QString& path)
{
    auto* poll = new QTimer;
    poll->setInterval(20);
    auto ticksSinceAnswer = std::make_shared<int>(-1);
    QObject::connect(poll, &QTimer::timeout, [poll, path, ticksSinceAnswer] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (!dialog) {
            if (*ticksSinceAnswer >= 0) {
                poll->stop();
                poll->deleteLater();
            }
            return;
        }
        if (*ticksSinceAnswer >= 0) {
            if (++*ticksSinceAnswer == 50)
                dialog->reject();
            return;
        }
        // The name field ignores selectFile while it has the focus, which the dialog takes
        // whenever its window becomes active.
        if (QWidget* focused = dialog->focusWidget())
            focused->clearFocus();
        dialog->selectFile(path);
        if (dialog->selectedFiles() != QStringList{path})
            return; // again on the next tick
        *ticksSinceAnswer = 0;
        QMetaObject::invokeMethod(dialog, "accept", Qt::QueuedConnection);
    });
    poll->start();
}

} // namespace

class EditClearTest : public QObject {
    Q_OBJECT

private slots:
    void oscilloscopeAndSpectrumClearTheirCurvesAndReadouts()
    {
        testing::MainWindowHarness h(50.0, true);
        TfmMain& w = h.start();
        OscPage& osc = *w.oscPage();
        QTest::mouseClick(osc.sbOscRunSingle, Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(osc.sbOscRunSingle->text() == "Однокр.", 10000);
        QVERIFY(osc.chOsc->srOsc_Ch1->dataCount() > 0);
        QVERIFY(!osc.lbOscUc[0]->text().isEmpty());
        w.menu().miEditClear->trigger();
        QCOMPARE(osc.chOsc->srOsc_Ch1->dataCount(), 0);
        QCOMPARE(osc.chOsc->srOsc_Ch2->dataCount(), 0);
        QVERIFY(osc.lbOscUc[0]->text().isEmpty());
        QVERIFY(osc.lbOscF[0]->text().isEmpty());
        QVERIFY(!osc.saveDataFile().has_value()); // nothing left to save

        w.pages()->setCurrentIndex(1);
        FftPage& fft = *w.fftPage();
        QTest::mouseClick(fft.sbFFTRunSingle, Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(fft.sbFFTRunSingle->text() == "Однокр.", 10000);
        QVERIFY(fft.chFFT->srFFT_Ch1->dataCount() > 0);
        QVERIFY(!fft.lbFFTUc[0]->text().isEmpty());
        w.menu().miEditClear->trigger();
        QCOMPARE(fft.chFFT->srFFT_Ch1->dataCount(), 0);
        QVERIFY(fft.lbFFTUc[0]->text().isEmpty());
        QVERIFY(fft.lbFFTKNI1[0]->text().isEmpty());
        QVERIFY(h.messages.saveQuestions.isEmpty()); // remade in a moment: nothing asked
    }

    void recorderAsksBeforeAnUnsavedRecordIsCleared()
    {
        testing::MainWindowHarness h(50.0, true);
        TfmMain& w = h.start();
        w.pages()->setCurrentIndex(2);
        RecPage& p = *w.recPage();
        QTest::mouseClick(p.sbRecRun, Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(p.record() && p.record()->count() > 300, 10000);
        QTest::mouseClick(p.sbRecRun, Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(!p.acquisition().running(), 5000);
        p.PlaceMarker(4, 0x00FF00, "mark", p.record()->timeOf(0, 100));

        h.messages.saveAnswer = Answer::Cancel;
        w.menu().miEditClear->trigger();
        QCOMPARE(h.messages.saveQuestions.size(), 1);
        QVERIFY(p.record() && p.record()->count() > 300); // kept

        h.messages.saveAnswer = Answer::Discard;
        w.menu().miEditClear->trigger();
        QCOMPARE(h.messages.saveQuestions.size(), 2);
        QVERIFY(!p.record() || p.record()->count() == 0);
        QVERIFY(!p.hasUnsavedRecord());
        QVERIFY(p.lbRecUmax[0]->text().isEmpty());
        QVERIFY(p.lbRecMarker1VoltA->text().isEmpty());
        QVERIFY(p.markers().used(4)); // user marks are times, not values: they stay
        // Nothing left: a second clear asks nothing.
        w.menu().miEditClear->trigger();
        QCOMPARE(h.messages.saveQuestions.size(), 2);
    }

    void logicClearTakesCaptureAndEditedGeneratorDataAfterAsking()
    {
        testing::MainWindowHarness h(50.0, true);
        TfmMain& w = h.start();
        w.pages()->setCurrentIndex(3);
        LanPage& p = *w.lanPage();
        QVERIFY(p.generatorMode());
        QTest::mouseClick(p.sbLANRun, Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(p.sbLANRun->text() == "Запуск", 10000);
        QCOMPARE(w.logicCapture().busA.size(), std::size_t(1544));
        p.generatorPanel->strgridLANGenerator->item(5, 1)->setText("A5");
        QCOMPARE(w.generatorData().sample(5), 0xA5);

        h.messages.saveAnswer = Answer::Cancel;
        w.menu().miEditClear->trigger();
        QCOMPARE(h.messages.saveQuestions.size(), 1);
        QVERIFY(h.messages.saveQuestions[0].startsWith("Данные генератора изменены"));
        QCOMPARE(w.logicCapture().busA.size(), std::size_t(1544));
        QCOMPARE(w.generatorData().sample(5), 0xA5);

        h.messages.saveAnswer = Answer::Discard;
        w.menu().miEditClear->trigger();
        QVERIFY(w.logicCapture().busA.empty());
        QVERIFY(p.chLAN->bus(0).empty());
        QCOMPARE(w.generatorData().sample(5), 0x00);
        QVERIFY(!p.hasUnsavedGenerator());
        QVERIFY(!p.saveDataFile().has_value());
    }

    void editedGeneratorDataAreNotLostAtExitOrByNew()
    {
        testing::MainWindowHarness h(50.0, true);
        TfmMain& w = h.start();
        LanPage& p = *w.lanPage();
        LanGeneratorPanel& g = *p.generatorPanel;
        QVERIFY(!p.hasUnsavedGenerator());
        g.strgridLANGenerator->item(7, 1)->setText("3C");

        // "Новый" asks first; Cancel keeps the data.
        h.messages.saveAnswer = Answer::Cancel;
        QTest::mouseClick(g.spbtNewGeneratorData, Qt::LeftButton);
        QCOMPARE(w.generatorData().sample(7), 0x3C);
        // Closing asks too; Cancel keeps the program open.
        QVERIFY(!w.close());
        QCOMPARE(h.messages.saveQuestions.size(), 2);

        // Save: the file dialog's answer is a path; the data are written and the program closes.
        const QString path = h.folder.filePath("pattern.dat");
        h.messages.saveAnswer = Answer::Save;
        AnswerNextFileDialog(path);
        QVERIFY(w.close());
        QVERIFY(QFileInfo::exists(path));
        QCOMPARE(p.generatorFileName(), path);
        QCOMPARE(h.messages.saveQuestions.size(), 3);
    }
};

QTEST_MAIN(EditClearTest)
#include "EditClearTest.moc"
