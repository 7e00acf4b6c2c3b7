// Every page and tool window at a laptop's 1366x768 screen and at the main window's minimum
// size: named controls inside what can be seen or scrolled to, not smaller than their content,
// not overlapping. Run at scale 1 and (second ctest entry) at QT_SCALE_FACTOR=2; each view is
// also saved as a picture under the build folder.

#include "LayoutAudit.h"
#include "MainWindowHarness.h"
#include "WindowTour.h"

#include <QDir>
#include <QGuiApplication>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QtTest>

using namespace tesmar;

namespace {

constexpr QSize kLaptopScreen{1366, 768}; // in device pixels

} // namespace

class WindowSizesTest : public QObject {
    Q_OBJECT

    testing::MainWindowHarness harness{50.0, true};
    QRect screen;

    // Checks each view at `size`, saves its picture under `folder`, and fails with every problem.
    void tour(const TourSize& size, const QString& folder)
    {
        const QString pictures = QString(TESMAR_PICTURES_DIR "/scale%1/%2").arg(scale()).arg(folder);
        QDir().mkpath(pictures);
        QStringList problems;
        int views = 0;
        TourWindows(*harness.window, size, [&](const QString& name, QWidget& window) {
            ++views;
            QStringList found = AuditLayout(window);
            // At scale 1 the main window's pages fit its minimum size: only their setup panels
            // scroll, never the whole window.
            // So do the tool windows, each at its own size, on the laptop's screen.
            if (scale() == 1 && (&window == harness.window.get() || !size.toolsAtMinimum))
                for (QScrollArea* whole : window.findChildren<QScrollArea*>(QString(), Qt::FindDirectChildrenOnly))
                    if (whole->verticalScrollBar()->isVisible() || whole->horizontalScrollBar()->isVisible())
                        found << "the whole window scrolls";
            // On the laptop's screen the analogue pages are read whole: not even a setup panel
            // scrolls. The logic page's panel ends in the generator's data, a list of 1544 rows
            // that scrolls anyway; its panel may scroll to reach the list's buttons.
            if (scale() == 1 && &window == harness.window.get() && !size.toolsAtMinimum && !name.startsWith("logic"))
                for (QScrollArea* area : window.findChildren<QScrollArea*>())
                    if (area->isVisible() && area->verticalScrollBar()->isVisible())
                        found << area->objectName() + " scrolls on the laptop's screen";
            found += AuditFitsScreen(window, screen);
            for (const QString& problem : found)
                problems << name + ": " + problem;
            window.grab().save(pictures + "/" + name + ".png");
        });
        QVERIFY(views >= 20);
        for (const QString& problem : problems)
            qInfo("%s", qPrintable(problem));
        QVERIFY2(problems.isEmpty(), qPrintable(QString("%1 problems (listed above)").arg(problems.size())));
    }

    static int scale() { return qEnvironmentVariableIntValue("QT_SCALE_FACTOR") > 1 ? 2 : 1; }

private slots:
    void initTestCase()
    {
        screen = QGuiApplication::primaryScreen()->availableGeometry();
        // The screen the ctest entry configures, in logical pixels.
        QCOMPARE(screen.size(), kLaptopScreen / scale());
        // Russian numbers, as users see them: decimal commas and thousands separators.
        QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
        harness.start();
        harness.window->show();
        QVERIFY(MeasureOnEveryPage(*harness.window));
    }

    void laptopScreen() { tour({screen.size(), false, screen}, "1366x768"); }

    void minimumSize() { tour({harness.window->minimumSize(), true, screen}, "minimum"); }
};

QTEST_MAIN(WindowSizesTest)
#include "WindowSizesTest.moc"
