#pragma once
// The logic analyser's time axis: the unit (s, ms or µs) chosen for the span shown, the zoom list
// and the window kept inside the data, and the marker readouts.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace tesmar {

inline constexpr double kLogicScrollRange = 2'000'000'000.0;
inline constexpr int kLogicZoomUndoItem = 15; // "1:1"
inline constexpr int kLogicZoomItems = 31;    // "1:500" … "500:1"; wider steps follow them

struct LogicWindow {
    double min = 0.0, max = 0.0;
    bool operator==(const LogicWindow&) const = default;
};

// The zoom of a list item: "1:N" is 1/N, "N:1" is N.
double LogicZoomOfItem(const std::string& item);

// The zoom-out steps past "1:500" for a drawn span of `samples` sample periods: N of "1:N",
// doubling from 1000 while a screen of 128·N samples holds less than 2/3 of the span, then
// the one that holds the whole span. None when "1:500" already shows it all.
std::vector<std::int64_t> LogicWideZoomSteps(double samples);

// The multiplier (1, 1000 or 1 000 000) that keeps multiplier × samples × period / zoom between
// 10 and 10 000, starting from `current`.
double ChooseLogicMultiplier(double current, double samples, double period, double zoom);

struct LogicAxisData {
    double left = 0.0, right = 0.0; // first x (never above 0) and last x of everything drawn
    double period = 1e-6;           // of the capture (or of the settings for generator lines only)
    double multiplier = 1e6;
    double zoom = 1.0;
    bool startAtZero = false;
    std::optional<double> alignTo;  // the first patch point
    std::int64_t scrollPosition = 0, scrollPage = 0;
};
// The window over drawn data (step 5 with span ≠ 0).
LogicWindow LogicDataWindow(const LogicAxisData& data);

// The window of an empty chart: the expected capture around time 0.
LogicWindow LogicEmptyWindow(double period, double multiplier, double zoom, std::int64_t depth,
                             std::int64_t preTrigger);

struct LogicScroll {
    std::int64_t position = 0, page = static_cast<std::int64_t>(kLogicScrollRange);
};
LogicScroll LogicScrollFor(const LogicWindow& axis, double left, double right);
// The window after the scroll bar moved; none when it may not move.
std::optional<LogicWindow> LogicScrollTo(const LogicWindow& axis, const LogicScroll& scroll, std::int64_t position,
                                         double left, double right);

// "0000.0000" and "0x5A".
std::string BusBinaryText(std::uint8_t value);
std::string BusHexText(std::uint8_t value);
// The sample under axis x of a bus drawn from `firstX` with `step` per sample; 0 outside.
std::uint8_t BusValueAt(std::span<const std::uint8_t> samples, double firstX, double step, double x);

} // namespace tesmar
