// The filter designer, opened from the pages' "..." buttons, and its effect on the oscilloscope.

#include "MainWindowHarness.h"
#include "app/TfmMain.h"
#include "app/filter/TfmFiltr.h"
#include "app/pages/osc/OscPage.h"
#include "osc/OscProcessing.h"
#include "ui/knob/TOscKnob.h"

#include <qcustomplot.h>

#include <QCheckBox>
#include <QLineEdit>
#include <QToolButton>
#include <QtTest>

#include <fstream>

using namespace tesmar;

namespace {

struct Harness : testing::MainWindowHarness {
    Harness() : MainWindowHarness(50.0, true) { start(); }
    TfmFiltr& openOnA()
    {
        QTest::mouseClick(window->oscPage()->spbtOscFiltrationSetCh1, Qt::LeftButton);
        TfmFiltr& d = *window->fmFiltr;
        d.resize(640, 420);
        d.chFiltr->replot();
        return d;
    }
};

void Enter(QLineEdit* field, const QString& text)
{
    field->setText(text);
    QTest::keyClick(field, Qt::Key_Return);
}

QPoint PixelOf(TfmFiltr& d, double frequency, double y)
{
    return QPoint(qRound(d.chFiltr->xAxis->coordToPixel(frequency)), qRound(d.chFiltr->yAxis->coordToPixel(y)));
}

} // namespace

class FilterDesignerTest : public QObject {
    Q_OBJECT

private slots:
    void fieldsAndButtons()
    {
        Harness h;
        TfmFiltr& d = h.openOnA();
        QCOMPARE(d.windowTitle(), QString("Задать параметры фильтра для канала А"));
        QCOMPARE(int(d.response().points.size()), 3);
        Enter(d.edFmax, "20000");
        QCOMPARE(d.response().points[1].frequency, 10000.0);
        QCOMPARE(d.response().points[2].frequency, 20000.0);
        Enter(d.edFmax, "50");
        QCOMPARE(d.edFmax->text(), QString("100"));
        Enter(d.edKmax, "0");
        QCOMPARE(h.messages.errors.last(), QString("Kmax должно быть больше чем Kmin"));
        QCOMPARE(d.response().Kmax, 2.0);
        Enter(d.edKmin, "abc");
        QCOMPARE(h.messages.errors.size(), 2);
        QCOMPARE(d.edKmin->text(), QString("0"));
        QTest::mouseClick(d.spbtKdB, Qt::LeftButton);
        QCOMPARE(d.response().Kmax, 6.021);
        QCOMPARE(d.response().Kmin, -100.0);
        QCOMPARE(d.chFiltr->yAxis->label(), QString("Коэффициент передачи, дБ"));
        QTest::mouseClick(d.spbtKdB, Qt::LeftButton);
        QCOMPARE(d.response().Kmax, 2.0);
        QCOMPARE(d.response().Kmin, 0.0);
        QTest::mouseClick(d.spbtFlog, Qt::LeftButton);
        QVERIFY(d.response().Flog);
        QCOMPARE(d.chFiltr->xAxis->scaleType(), QCPAxis::stLogarithmic);
    }

    void mouseInsertsDragsAndDeletes()
    {
        Harness h;
        TfmFiltr& d = h.openOnA();
        // A press on the line between the first two points inserts one there.
        QTest::mousePress(d.chFiltr, Qt::LeftButton, {}, PixelOf(d, 2500, 1.0));
        QTest::mouseRelease(d.chFiltr, Qt::LeftButton, {}, PixelOf(d, 2500, 1.0));
        QCOMPARE(int(d.response().points.size()), 4);
        QVERIFY(qAbs(d.response().points[1].frequency - 2500) < 50);
        // Ctrl on an end point does nothing.
        QTest::mouseClick(d.chFiltr, Qt::LeftButton, Qt::ControlModifier, PixelOf(d, 10000, 1.0));
        QTest::mouseClick(d.chFiltr, Qt::LeftButton, Qt::ControlModifier, PixelOf(d, 1, 1.0));
        QCOMPARE(int(d.response().points.size()), 4);
        // Dragging the new point right stops 1 Hz before its neighbour and takes the gain.
        const double f = d.response().points[1].frequency;
        QTest::mousePress(d.chFiltr, Qt::LeftButton, {}, PixelOf(d, f, 1.0));
        QMouseEvent move(QEvent::MouseMove, PixelOf(d, 9000, 0.5), d.chFiltr->mapToGlobal(PixelOf(d, 9000, 0.5)),
                         Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(d.chFiltr, &move);
        QVERIFY(d.stbarFiltr->text().startsWith("K="));
        QTest::mouseRelease(d.chFiltr, Qt::LeftButton, {}, PixelOf(d, 9000, 0.5));
        QCOMPARE(d.response().points[1].frequency, 4999.0);
        QVERIFY(qAbs(d.response().points[1].gain - 0.5) < 0.02);
        QVERIFY(d.stbarFiltr->text().isEmpty());
        // Ctrl on an interior point removes it.
        QTest::mouseClick(d.chFiltr, Qt::LeftButton, Qt::ControlModifier, PixelOf(d, 4999, d.response().points[1].gain));
        QCOMPARE(int(d.response().points.size()), 3);
    }

    void filesRoundTripAndBadFilesChangeNothing()
    {
        Harness h;
        TfmFiltr& d = h.openOnA();
        Enter(d.edFmax, "20000");
        const QString path = h.folder.path() + "/lowpass.txt";
        QVERIFY(d.saveFile(path));
        const FilterResponse saved = d.response();
        QTest::mouseClick(d.spbtNew, Qt::LeftButton);
        QCOMPARE(d.response().Fmax, 10000.0);
        QVERIFY(d.openFile(path));
        QVERIFY(d.response() == saved);

        const QString bad = h.folder.path() + "/bad.txt";
        std::ofstream(bad.toStdString()) << "[main]\r\nCountPoint=3\r\nF1=1\r\nF2=900\r\nF3=800\r\n";
        QVERIFY(!d.openFile(bad));
        QVERIFY(h.messages.errors.last().contains("не возрастают"));
        QVERIFY(d.response() == saved);
    }

    void oscilloscopeRecordIsFilteredByTheDrawnResponse()
    {
        Harness h;
        OscPage& osc = *h.window->oscPage();
        osc.knOscTimeDiv->setIndexSelectData(30); // 25 µs
        TfmFiltr& d = h.openOnA();
        // Everything above 1 Hz is stopped: the 1 kHz sine vanishes, its mean stays.
        for (auto f : {1.0, 10000.0}) {
            QTest::mousePress(d.chFiltr, Qt::LeftButton, {}, PixelOf(d, f, 1.0));
            QMouseEvent move(QEvent::MouseMove, PixelOf(d, f, 0.0), d.chFiltr->mapToGlobal(PixelOf(d, f, 0.0)),
                             Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(d.chFiltr, &move);
            QTest::mouseRelease(d.chFiltr, Qt::LeftButton, {}, PixelOf(d, f, 0.0));
        }
        QTest::mousePress(d.chFiltr, Qt::LeftButton, {}, PixelOf(d, 5000, 1.0));
        QMouseEvent move(QEvent::MouseMove, PixelOf(d, 5000, 0.0), d.chFiltr->mapToGlobal(PixelOf(d, 5000, 0.0)),
                         Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(d.chFiltr, &move);
        QTest::mouseRelease(d.chFiltr, Qt::LeftButton, {}, PixelOf(d, 5000, 0.0));
        for (const FilterPoint& p : d.response().points)
            QVERIFY(qAbs(p.gain) < 0.02);
        QTest::mouseClick(d.spbtExit, Qt::LeftButton);
        QVERIFY(osc.chboxOscFiltrationOnCh1->isChecked());

        QTest::mouseClick(osc.sbOscRunSingle, Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(osc.sbOscRunSingle->text() == "Однокр.", 10000);
        const ProcessedRecord* r = osc.shownRecord();
        QVERIFY(r);
        QCOMPARE(int(r->a.values.size()), 1126); // a filtered channel keeps the whole record
        double peak = 0;
        for (double v : r->a.values)
            peak = std::max(peak, std::fabs(v));
        QVERIFY2(peak < 0.2, qPrintable(QString::number(peak)));
    }
};

QTEST_MAIN(FilterDesignerTest)
#include "FilterDesignerTest.moc"
