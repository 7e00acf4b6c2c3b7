#pragma once
// A walk through everything the main window shows: its four pages (the logic analyser in each of
// its modes) and every tool window it opens, each shown in turn at a chosen size. The window
// size test checks each view and the screenshot tool photographs it.

#include <QRect>
#include <QSize>
#include <QString>

#include <functional>

class QWidget;

namespace tesmar {

class TfmMain;

// Runs the event loop until `done` or the time is up.
bool WaitUntil(const std::function<bool()>& done, int milliseconds = 20000);

// One measurement on each page of the virtual instrument (and the UART decoder over the logic
// capture), so that the readouts show the texts they show in use. False: one did not finish.
bool MeasureOnEveryPage(TfmMain& main);

struct TourSize {
    QSize main;         // the main window's size
    bool toolsAtMinimum; // tool windows at their minimum size, else at their own size
    QRect screen;        // the screen's available area the tool windows must fit into
};

// Shows each view and calls `visit` with its name and the window that shows it.
void TourWindows(TfmMain& main, const TourSize& size, const std::function<void(const QString&, QWidget&)>& visit);

} // namespace tesmar
