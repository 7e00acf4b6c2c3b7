#pragma once
// What the main window hands to its pages: shared state by reference and the few main-window
// services a page calls. No page reaches the main window otherwise.

#include <QString>

#include <functional>

namespace tesmar {

class MainMenu;
class MessageTable;
class UsbSession;
struct AcquisitionHistory;
struct CalibrationSet;
struct OscOptions;
struct SystemSettings;

struct PageContext {
    UsbSession& session;
    const MessageTable& messages;
    const CalibrationSet& calibration;
    const SystemSettings& system;
    const OscOptions& oscOptions;
    AcquisitionHistory& history;
    MainMenu& menu;
    std::function<void(int page)> lockPages;
    std::function<void()> unlockPages;
    std::function<void(const QString&)> setStatusText;
    std::function<bool()> measurementRuns; // the quit item is disabled while one runs
};

} // namespace tesmar
