// Pictures, clipboard and PCM of the active chart, through the main window's File and Edit commands.

#include "MainWindowHarness.h"
#include "app/TfmMain.h"
#include "app/export/ChartExport.h"
#include "app/export/ExportActions.h"
#include "app/pages/logic/LanChart.h"
#include "app/pages/logic/LanPage.h"
#include "app/pages/osc/OscPage.h"
#include "ui/knob/TOscKnob.h"

#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QMimeData>
#include <QPrinter>
#include <qcustomplot.h>
#include <QToolButton>
#include <QtTest>

using namespace tesmar;

namespace {

QByteArray Head(const QString& path, int n)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.read(n) : QByteArray();
}

} // namespace

class ExportTest : public QObject {
    Q_OBJECT

private slots:
    void picturesOfTheActiveChart()
    {
        testing::MainWindowHarness h(50.0, true);
        TfmMain& w = h.start();
        w.resize(1000, 700);
        ExportActions& e = *w.exportActions;
        const QString dir = h.folder.path();
        QCOMPARE(e.saveVector(dir + "/osc.svg"), QString());
        QVERIFY(Head(dir + "/osc.svg", 400).contains("<svg"));
        QCOMPARE(e.saveVector(dir + "/osc.pdf"), QString());
        QCOMPARE(Head(dir + "/osc.pdf", 4), QByteArray("%PDF"));
        QCOMPARE(e.saveBitmap(dir + "/osc.png"), QString());
        QCOMPARE(Head(dir + "/osc.png", 4), QByteArray("\x89PNG"));
        QCOMPARE(e.saveBitmap(dir + "/osc.bmp"), QString());
        QCOMPARE(Head(dir + "/osc.bmp", 2), QByteArray("BM"));
        QVERIFY(!e.saveVector("/nonexistent-folder/x.svg").isEmpty());

        w.pages()->setCurrentIndex(3); // the logic analyser's chart
        QCOMPARE(e.saveBitmap(dir + "/lan.png"), QString());
        e.miEditCopyEMFClick();
        const QMimeData* copied = QApplication::clipboard()->mimeData();
        QVERIFY(copied->hasImage());
        QVERIFY(copied->data("image/svg+xml").contains("<svg"));

        // A printer that can be drawn on prints the chart; one that cannot is said to be so.
        QPrinter pdf;
        pdf.setOutputFormat(QPrinter::PdfFormat);
        pdf.setOutputFileName(dir + "/printed.pdf");
        QVERIFY(PrintChart(*qobject_cast<QCustomPlot*>(w.currentChart()), pdf));
        QCOMPARE(Head(dir + "/printed.pdf", 4), QByteArray("%PDF"));
        QPrinter missing;
        missing.setOutputFormat(QPrinter::PdfFormat);
        missing.setOutputFileName("/nonexistent-folder/printed.pdf");
        QVERIFY(!PrintChart(*qobject_cast<QCustomPlot*>(w.currentChart()), missing));
    }

    // Pictures and prints of the logic chart carry the line names the page shows beside it.
    void logicPicturesNameTheirLines()
    {
        testing::MainWindowHarness h(50.0, true);
        TfmMain& w = h.start();
        w.resize(1000, 700);
        w.show();
        w.pages()->setCurrentIndex(3);
        LanPage& page = *w.lanPage();
        const QString dir = h.folder.path();
        {
            QFile setup(dir + "/names.txt");
            QVERIFY(setup.open(QIODevice::WriteOnly));
            setup.write("[main]\r\nname3=CLK\r\n");
        }
        QVERIFY(page.openSetupFile(dir + "/names.txt"));
        ExportActions& e = *w.exportActions;
        auto& chart = *static_cast<LanChart*>(page.chart());
        QApplication::processEvents();
        chart.replot();
        const int screenLeft = chart.axisRect()->left();

        QCOMPARE(e.saveVector(dir + "/lan.svg"), QString());
        QFile svgFile(dir + "/lan.svg");
        QVERIFY(svgFile.open(QIODevice::ReadOnly));
        const QByteArray svg = svgFile.readAll();
        for (const char* name : {">CLK<", ">A.0<", ">B.7<"})
            QVERIFY2(svg.contains(name), name);

        // In the bitmap the name stands left of the plot, in its line's colour, where the
        // screen's chart has nothing.
        QCOMPARE(e.saveBitmap(dir + "/lan.png"), QString());
        const QImage bitmap(dir + "/lan.png");
        const QImage screen = chart.toPixmap(chart.width(), chart.height()).toImage();
        auto nameInk = [&](const QImage& image, int left) {
            const int y = static_cast<int>(chart.yAxis->coordToPixel(15 - 3 + 0.35));
            int ink = 0;
            for (int x = 0; x < left; ++x)
                for (int dy = -5; dy <= 5; ++dy)
                    if (image.pixelColor(x, y + dy) == chart.channelColour(3))
                        ++ink;
            return ink;
        };
        QCOMPARE(nameInk(screen, screenLeft), 0);
        QVERIFY(nameInk(bitmap, bitmap.width() / 8) > 5);

        // Printing takes the same form and gives the screen its own layout back.
        QPrinter pdf;
        pdf.setOutputFormat(QPrinter::PdfFormat);
        pdf.setOutputFileName(dir + "/lan-printed.pdf");
        QVERIFY(PrintChart(chart, pdf));
        chart.replot();
        QCOMPARE(chart.axisRect()->left(), screenLeft);
    }

    void pcmOfTheOscilloscopeTraces()
    {
        testing::MainWindowHarness h(50.0, true);
        TfmMain& w = h.start();
        ExportActions& e = *w.exportActions;
        const QString path = h.folder.path() + "/osc.pcm";
        QCOMPARE(e.savePcm(path), QString("Нет данных для сохранения."));
        OscPage& osc = *w.oscPage();
        QTest::mouseClick(osc.sbOscOnCh2, Qt::LeftButton);
        QTest::mouseClick(osc.sbOscRunSingle, Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(osc.sbOscRunSingle->text() == "Однокр.", 10000);
        QCOMPARE(e.savePcm(path), QString());
        const auto traces = osc.shownTraces();
        QCOMPARE(QFile(path).size(), qint64(traces.first.size() * 4)); // frames of A and B
        w.pages()->setCurrentIndex(1);
        e.miFileSavePCMClick(); // nothing on the spectrum page
        QVERIFY(h.messages.errors.isEmpty());
    }
};

QTEST_MAIN(ExportTest)
#include "ExportTest.moc"
