#pragma once
// What the main window hands to its pages: shared state by reference and the few main-window
// services a page calls. No page reaches the main window otherwise.

#include "app/UserMessages.h"
#include "dsp/SignalParams.h"
#include "filter/FilterResponse.h"

#include <QString>

#include <array>
#include <functional>
#include <optional>

class QCheckBox;

namespace tesmar {

class MainMenu;
class MessageTable;
class UsbSession;
struct AcquisitionHistory;
struct OptionVariables;
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
    const OptionVariables& options;
    // One drawn response per channel, shared by the oscilloscope and the spectrum analyser.
    std::array<FilterResponse, 2>& filters;
    // Opens the filter designer on `channel`; `autoOnBox` is the page's box it may switch on.
    std::function<void(int channel, QCheckBox* autoOnBox)> openFilterDesigner;
    // After each parameter readout: the sounds of the conditions that have just become true.
    std::function<void(const std::array<std::optional<SignalParams>, 2>& params, std::array<double, 2> rangeVolts)>
        checkSounds;
    // True when an instrument is attached; otherwise says so (status line and message).
    std::function<bool()> requireDevice;
    // A warning box after a measurement.
    std::function<void(const QString&)> showWarning;
    // A file dialog with the remembered folder of `dialog` (saving appends `extension` and asks
    // before replacing a file); none when cancelled.
    std::function<std::optional<QString>(const char* dialog, const QString& filter, const QString& extension, bool save)>
        askFilePath;
    // Work would be lost: save it, let it go, or stay.
    std::function<UserMessages::SaveAnswer(const QString& text)> askToSave;
};

} // namespace tesmar
