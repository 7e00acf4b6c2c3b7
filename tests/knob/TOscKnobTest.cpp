#include "ui/knob/TOscKnob.h"
#include "ui/knob/KnobFactory.h"
#include "ui/knob/KnobScales.h"
#include "ui/knob/TOscKnobLabel.h"

#include <QComboBox>
#include <QImage>
#include <QSignalSpy>
#include <QTest>
#include <QWheelEvent>

using tesmar::TOscKnob;

class TOscKnobTest : public QObject {
    Q_OBJECT

  private:
    static QStringList Entries(int n) {
        QStringList lines;
        for (int i = 0; i < n; ++i)
            lines << QString("#v=%1 #d=мс #h=set %1").arg(i);
        return lines;
    }
    static QPoint PointAtAngle(const TOscKnob& knob, double angle, double radius = 15) {
        const double rad = angle * M_PI / 180.0;
        return QPoint(qRound(knob.X() - radius * std::sin(rad)), qRound(knob.Y() - radius * std::cos(rad)));
    }
    static void Wheel(TOscKnob& knob, int delta) {
        QWheelEvent event(QPointF(knob.X(), knob.Y()), knob.mapToGlobal(QPointF(knob.X(), knob.Y())),
                          QPoint(), QPoint(0, delta), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(&knob, &event);
    }
    static QImage Render(TOscKnob& knob) {
        QImage image(knob.size(), QImage::Format_RGB32);
        knob.render(&image);
        return image;
    }
    static int CountColour(const QImage& image, QColor colour) {
        int n = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                n += image.pixelColor(x, y) == colour;
        return n;
    }

  private slots:
    void defaults() {
        TOscKnob knob;
        QCOMPARE(knob.size(), QSize(90, 60));
        QCOMPARE(knob.X(), 45);
        QCOMPARE(knob.Y(), 35);
        QCOMPARE(knob.ScaleCode().count(), 11);
        QCOMPARE(knob.IndexSelectData(), 0);
        QCOMPARE(knob.Angle(), 130.0);
        QCOMPARE(knob.IndexMaxEnable(), -1);
        QCOMPARE(knob.OscKnobData()[10].Angle, -130.0);
        QCOMPARE(knob.CurHint(), QString("set 0"));
        QCOMPARE(knob.Caption()->objectName(), QString("OscKnobLabel"));
        QCOMPARE(knob.Caption()->text(), QString("0"));
        QCOMPARE(knob.focusPolicy(), Qt::StrongFocus);
        QCOMPARE(knob.toolTip(), QString("set 0"));
    }

    void dragWithinSectorRaisesOnEveryMove() {
        TOscKnob knob;
        knob.setScaleCode(Entries(11));
        knob.show();
        QVERIFY(QTest::qWaitForWindowActive(&knob));
        QSignalSpy spy(&knob, &TOscKnob::OnChange);
        QTest::mousePress(&knob, Qt::LeftButton, {}, PointAtAngle(knob, 10));
        QVERIFY(knob.isDragging());
        QVERIFY(knob.hasFocus());
        QCOMPARE(knob.IndexSelectData(), 5); // entry 5 sits straight up
        QCOMPARE(spy.count(), 1);
        QTest::mouseMove(&knob, PointAtAngle(knob, -8));
        QTest::mouseMove(&knob, PointAtAngle(knob, 5));
        QCOMPARE(knob.IndexSelectData(), 5);
        QCOMPARE(spy.count(), 3); // same entry, but the pointer was off its angle each time
        QCOMPARE(spy.at(0).at(0).value<TOscKnob*>(), &knob);
        QTest::mouseRelease(&knob, Qt::LeftButton, {}, QPoint(knob.X(), knob.Y() - 15));
        QCOMPARE(spy.count(), 3); // released exactly on the entry's angle: nothing more
        QVERIFY(!knob.isDragging());
        QCOMPARE(knob.Caption()->text(), QString("5мс"));
    }

    void pointStraightBelow() {
        TOscKnob knob;
        knob.setScaleCode(Entries(11));
        knob.setIndexSelectData(5);
        QTest::mouseClick(&knob, Qt::LeftButton, {}, QPoint(knob.X(), knob.Y() + 20));
        QCOMPARE(knob.IndexSelectData(), 0);
        knob.setAngleStartScale(120);
        QTest::mouseClick(&knob, Qt::LeftButton, {}, QPoint(knob.X(), knob.Y() + 20));
        QCOMPARE(knob.IndexSelectData(), 10);
    }

    void keysWheelAndUsableLimit() {
        TOscKnob knob;
        knob.setScaleCode(Entries(39));
        knob.setIndexMaxEnable(20);
        QSignalSpy spy(&knob, &TOscKnob::OnChange);
        QTest::keyClick(&knob, Qt::Key_End);
        QCOMPARE(knob.IndexSelectData(), 19);
        Wheel(knob, 120);
        QCOMPARE(knob.IndexSelectData(), 19);
        QCOMPARE(spy.count(), 1);
        Wheel(knob, -240);
        QCOMPARE(knob.IndexSelectData(), 17);
        QTest::keyClick(&knob, Qt::Key_Left);
        QTest::keyClick(&knob, Qt::Key_PageDown);
        QCOMPARE(knob.IndexSelectData(), 15);
        QTest::keyClick(&knob, Qt::Key_Up);
        QCOMPARE(knob.IndexSelectData(), 16);
        QTest::keyClick(&knob, Qt::Key_Home);
        QCOMPARE(knob.IndexSelectData(), 0);
        QCOMPARE(spy.count(), 6);

        knob.setIndexSelectData(30); // the setter ignores the limit
        QCOMPARE(knob.IndexSelectData(), 30);
        spy.clear();
        knob.setIndexMaxEnable(10);
        QCOMPARE(knob.IndexSelectData(), 9);
        QCOMPARE(spy.count(), 1);
        knob.setIndexMaxEnable(39);
        QCOMPARE(knob.IndexMaxEnable(), -1);
        knob.setIndexMaxEnable(0);
        QCOMPARE(knob.IndexMaxEnable(), -1);
    }

    void disabledEntriesAreGrey() {
        TOscKnob knob;
        knob.setScaleCode(Entries(39));
        const int greyBefore = CountColour(Render(knob), QColor(160, 160, 164));
        knob.setIndexMaxEnable(20);
        const int greyAfter = CountColour(Render(knob), QColor(160, 160, 164));
        QVERIFY(greyAfter > greyBefore + 19); // at least one pixel per disabled tick
    }

    void disabledKnobHasNoPointer() {
        TOscKnob knob;
        QVERIFY(CountColour(Render(knob), QColor(255, 0, 0)) > 5);
        knob.setEnabled(false);
        QCOMPARE(CountColour(Render(knob), QColor(255, 0, 0)), 0);
        QVERIFY(!knob.Caption()->isEnabled());
    }

    void scaleReplacementKeepsThePointer() {
        TOscKnob knob;
        knob.setScaleCode(Entries(39));
        knob.setIndexSelectData(12);
        QSignalSpy spy(&knob, &TOscKnob::OnChange);
        QStringList other = Entries(39);
        other[12] = "#v=99 #d=В";
        knob.setScaleCode(other);
        QCOMPARE(knob.IndexSelectData(), 12);
        QCOMPARE(spy.count(), 0);
        QCOMPARE(knob.Caption()->text(), QString("99В"));

        knob.setScaleCode(Entries(3)); // pointer angle maps onto the new, shorter list
        QCOMPARE(spy.count(), 1);
        QCOMPARE(knob.Angle(), knob.CurAngle());
    }

    void repaintDoesNotRebuildTheFace() {
        TOscKnob knob;
        const int rebuilds = knob.faceRebuildCount();
        Render(knob);
        knob.setAngleCursor(20);
        knob.setColorCursor(Qt::blue);
        knob.setIndexSelectData(3);
        Render(knob);
        QCOMPARE(knob.faceRebuildCount(), rebuilds);
        knob.setColorScale(Qt::darkGreen);
        QCOMPARE(knob.faceRebuildCount(), rebuilds + 1);
    }

    void captionOptions() {
        TOscKnob knob;
        knob.setScaleCode(QStringList{"#v=2,5 #d=мс #h=first", "#v=5 #d=мс #h=second"});
        knob.setLocale(QLocale(QLocale::Russian));
        QCOMPARE(knob.Caption()->text(), QString("2,5мс"));
        knob.setLocale(QLocale::c());
        QCOMPARE(knob.Caption()->text(), QString("2.5мс"));
        knob.setCaptionDimHide(true);
        QCOMPARE(knob.Caption()->text(), QString("2.5"));
        const QRect g = knob.Caption()->geometry();
        QVERIFY(qAbs(g.center().x() - knob.X()) <= 1);
        knob.setHintAvtoSet(false);
        knob.setIndexSelectData(1);
        QCOMPARE(knob.toolTip(), QString("first"));
        QCOMPARE(knob.CurHint(), QString("second"));
    }

    void coupledDropDown() {
        TOscKnob knob;
        knob.setScaleCode(Entries(5));
        knob.setIndexMaxEnable(3);
        auto* combo = new QComboBox;
        combo->setEditable(true);
        knob.setComboBoxSelect(combo);
        QVERIFY(!combo->isEditable());
        QCOMPARE(combo->count(), 5);
        QCOMPARE(combo->itemText(2), QString("2мс"));
        QSignalSpy spy(&knob, &TOscKnob::OnChange);
        emit combo->activated(1);
        QCOMPARE(knob.IndexSelectData(), 1);
        QCOMPARE(spy.count(), 1);
        emit combo->activated(4); // beyond the usable limit
        QCOMPARE(knob.IndexSelectData(), 2);
        QCOMPARE(combo->currentIndex(), 2);
        knob.setEnabled(false);
        QVERIFY(!combo->isEnabled());
        delete combo;
        QVERIFY(knob.ComboBoxSelect() == nullptr);
        knob.setIndexSelectData(0); // no dangling drop-down
    }

    void pageKnobs() {
        QWidget page;
        for (auto name : tesmar::PageKnobNames()) {
            TOscKnob* knob = tesmar::CreatePageKnob(name, &page);
            QVERIFY(knob);
            QCOMPARE(knob->objectName().toStdString(), std::string(name));
            QCOMPARE(knob->IndexSelectData(), tesmar::PageKnobScale(name)->initialIndex);
        }
        QVERIFY(tesmar::CreatePageKnob("knUnknown", &page) == nullptr);
        auto* time = page.findChild<TOscKnob*>("knOscTimeDiv");
        QVERIFY(time);
        QCOMPARE(time->CurValueReal(), 5e-6);
        QCOMPARE(time->CurHint(), QString("Задание периода дискретизации Tд = 5 мкс (Fд = 200 кГц)"));
    }

    void pageKnobLabelsNeverOverlap() {
        QWidget page;
        for (auto name : tesmar::PageKnobNames()) {
            TOscKnob* knob = tesmar::CreatePageKnob(name, &page);
            QVERIFY(!Render(*knob).isNull());
            const QStringList lines = knob->scaleCodeLines();
            int first = -1, last = -1;
            for (int i = 0; i < lines.size(); ++i)
                if (!lines[i].contains("#p")) {
                    first = first < 0 ? i : first;
                    last = i;
                }
            for (double scale : {1.0, 2.0}) { // 100 % and 200 % display scale
                const auto labels = knob->scaleLabels(scale);
                const QString where = QString("%1 at %2").arg(QString::fromUtf8(name.data(), name.size())).arg(scale);
                QVERIFY2(labels.size() >= 2, qPrintable(where));
                for (std::size_t i = 0; i < labels.size(); ++i) {
                    QVERIFY2(labels[i].box.width() > 0 && labels[i].box.height() > 0, qPrintable(where));
                    for (std::size_t j = i + 1; j < labels.size(); ++j)
                        QVERIFY2(!labels[i].box.intersects(labels[j].box),
                                 qPrintable(where + ": " + labels[i].text + " / " + labels[j].text));
                }
                // The scale keeps its two ends.
                QCOMPARE(int(labels.front().entry), first);
                QCOMPARE(int(labels.back().entry), last);
            }
        }
    }

    void crowdedLabelsAreThinnedAndTheOthersStay() {
        QWidget page;
        TOscKnob* rate = tesmar::CreatePageKnob("knFFTFrecDiv", &page);
        QStringList texts;
        for (const auto& label : rate->scaleLabels())
            texts << label.text;
        QVERIFY(texts.contains("5кГц") != texts.contains("10кГц")); // too close for both
        QVERIFY(texts.contains("100Гц"));
        QVERIFY(texts.contains("200кГц"));
        // Labels with room to spare are all drawn.
        TOscKnob plain;
        plain.resize(400, 300);
        plain.setX(200);
        plain.setY(150);
        plain.setRScaleOut(100);
        plain.setScaleCode(QStringList{"#v=1 #d=В", "#v=2 #d=В", "#v=3 #d=В"});
        QCOMPARE(int(plain.scaleLabels().size()), 3);
        QCOMPARE(int(plain.scaleLabels(2.0).size()), 3);
    }
};

QTEST_MAIN(TOscKnobTest)
#include "TOscKnobTest.moc"
