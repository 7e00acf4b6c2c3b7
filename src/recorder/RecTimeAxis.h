#pragma once
// The recorder's time axis (days): the zoom list, the window shown in each mode (user, follow,
// stay), the scroll bar that mirrors it, the period knob's limits and the live-display rule.

#include <array>
#include <cstddef>
#include <optional>
#include <span>
#include <string>

namespace tesmar {

inline constexpr int kRecScrollRange = 2'000'000'000;
inline constexpr int kRecZoomHome = 15; // "1:1"
inline constexpr int kRecZoomItems = 31;

// "1:500" … "1:1" … "500:1".
std::span<const char* const> RecZoomList();
// Z of a zoom item: 1/k for "1:k", k for "k:1".
double RecZoomFactor(int item);

struct TimeWindow {
    double from = 0, to = 0;
    bool operator==(const TimeWindow&) const = default;
};

enum class RecAxisMode { User, Follow, Stay };

struct RecAxisInput {
    double lastTime = 0;          // M: x of the last shown point, days; 0 without data
    double scalePeriod = 1e-3;    // P, s: the knob's period with "Масштабирование разверткой", else Tp
    double knobPeriod = 1e-3;     // Tcur, s
    double zoom = 1;              // Z
    RecAxisMode mode = RecAxisMode::User;
    int scrollPosition = 0;       // user mode
    int scrollPage = kRecScrollRange;
    TimeWindow saved;             // stay mode
};
TimeWindow RecTimeWindow(const RecAxisInput& input);

// Moves a window to start at 0 when it starts below, else to end at M when it ends beyond.
TimeWindow ClampWindow(TimeWindow window, double lastTime);

struct RecScrollState {
    int page = kRecScrollRange;
    int position = 0;
    int largeStep = 1, smallStep = 1;
};
RecScrollState RecScrollFor(const TimeWindow& axis, double lastTime);

// The window of GoToMarker: visible width D, latest time E, marker time t.
TimeWindow MarkerWindow(double width, double latest, double markerTime);

// Period knob limits from the two options (items of the 33-item period list matching knob
// entries 27 … 59) and the knob's entry periods.
struct RecPeriodLimits {
    double workingLimit = 0;   // Hz
    double displayLimit = 0;   // Hz
    int indexMaxEnable = 0;    // usable knob entries
    bool liveDisplay = true;   // for the current period
};
RecPeriodLimits ComputeRecPeriodLimits(std::span<const double> knobPeriods, int workingItem, int displayItem,
                                       bool bothChannels, double currentPeriod);

// "hh:mm:ss:zzz" of a time in days, or TimeToTextUs's text with `inMicroseconds`.
std::string RecTimeText(double days, bool inMicroseconds);

} // namespace tesmar
