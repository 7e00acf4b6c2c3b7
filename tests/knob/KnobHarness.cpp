// A window with the oscilloscope page's three knobs, for looking at them and turning them by
// hand. "--exercise" turns each knob by drag, wheel and keys and prints what was selected;
// "--screenshot <file>" saves the window and quits.
#include "ui/knob/KnobFactory.h"
#include "ui/knob/TOscKnob.h"

#include <QApplication>
#include <QGridLayout>
#include <QLabel>
#include <QTest>
#include <QTimer>
#include <QWheelEvent>

#include <cstdio>

using tesmar::TOscKnob;

namespace {

void Report(TOscKnob* knob) {
    std::printf("%s: entry %d, %s, %g\n", knob->objectName().toUtf8().constData(), knob->IndexSelectData(),
                knob->CurHint().toUtf8().constData(), knob->CurValueReal());
}

void Exercise(TOscKnob* time, TOscKnob* ch1, TOscKnob* ch2) {
    // Drag the time base from its last entry up to the top of the scale.
    const QPoint centre(time->X(), time->Y());
    QTest::mousePress(time, Qt::LeftButton, {}, centre + QPoint(20, 5));
    QTest::mouseMove(time, centre + QPoint(10, -20));
    QTest::mouseRelease(time, Qt::LeftButton, {}, centre + QPoint(0, -20));
    Report(time);
    // Two wheel notches down on channel A.
    QWheelEvent wheel(QPointF(centre), ch1->mapToGlobal(QPointF(centre)), QPoint(), QPoint(0, -240),
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(ch1, &wheel);
    Report(ch1);
    // Keys on channel B.
    ch2->setFocus();
    QTest::keyClick(ch2, Qt::Key_Home);
    QTest::keyClick(ch2, Qt::Key_Right);
    QTest::keyClick(ch2, Qt::Key_Right);
    Report(ch2);
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle("Осциллограф");
    auto* layout = new QGridLayout(&window);
    auto* status = new QLabel(&window);
    status->setObjectName("lbStatus");

    TOscKnob* time = tesmar::CreatePageKnob("knOscTimeDiv", &window);
    TOscKnob* ch1 = tesmar::CreatePageKnob("knOscCh1", &window);
    TOscKnob* ch2 = tesmar::CreatePageKnob("knOscCh2", &window);
    layout->addWidget(new QLabel("Канал А (В/э)", &window), 0, 0, Qt::AlignHCenter);
    layout->addWidget(new QLabel("Канал B (В/э)", &window), 0, 1, Qt::AlignHCenter);
    layout->addWidget(ch1, 1, 0);
    layout->addWidget(ch2, 1, 1);
    layout->addWidget(new QLabel("Развертка", &window), 2, 0, 1, 2, Qt::AlignHCenter);
    layout->addWidget(time, 3, 0, 1, 2, Qt::AlignHCenter);
    layout->addWidget(status, 4, 0, 1, 2);
    for (TOscKnob* knob : {time, ch1, ch2})
        QObject::connect(knob, &TOscKnob::OnChange, status, [status](TOscKnob* sender) {
            status->setText(sender->objectName() + ": " + sender->CurHint());
        });
    window.show();

    const QStringList args = app.arguments();
    const bool exercise = args.contains("--exercise");
    const int shotAt = args.indexOf("--screenshot");
    if (exercise || shotAt > 0) {
        QTimer::singleShot(300, [&] {
            if (exercise)
                Exercise(time, ch1, ch2);
            if (shotAt > 0 && shotAt + 1 < args.size())
                window.grab().save(args[shotAt + 1]);
            app.quit();
        });
    }
    return app.exec();
}
