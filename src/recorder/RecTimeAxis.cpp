#include "RecTimeAxis.h"

#include "RecorderRecord.h"
#include "device/DeviceClock.h"
#include "dsp/TextHelpers.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace tesmar {

namespace {

constexpr std::array<const char*, kRecZoomItems> kZoomList{
    "1:500", "1:400", "1:300", "1:200", "1:150", "1:100", "1:50", "1:40", "1:30", "1:20", "1:10",
    "1:5",   "1:4",   "1:3",   "1:2",   "1:1",   "2:1",   "3:1",  "4:1",  "5:1",  "10:1", "20:1",
    "30:1",  "40:1",  "50:1",  "100:1", "150:1", "200:1", "300:1", "400:1", "500:1"};

constexpr int kFirstOptionEntry = 27; // option item 0 is knob entry 27 ("10 мс")

} // namespace

std::span<const char* const> RecZoomList()
{
    return kZoomList;
}

double RecZoomFactor(int item)
{
    item = std::clamp(item, 0, kRecZoomItems - 1);
    const char* text = kZoomList[item];
    const char* colon = std::strchr(text, ':');
    const double left = std::atof(text);
    const double right = std::atof(colon + 1);
    return left / right;
}

TimeWindow ClampWindow(TimeWindow w, double lastTime)
{
    const double width = w.to - w.from;
    if (w.from < 0)
        w = {0, width};
    else if (w.to > lastTime)
        w = {lastTime - width, lastTime};
    return w;
}

TimeWindow RecTimeWindow(const RecAxisInput& in)
{
    const double M = in.lastTime;
    const double Z = in.zoom > 0 ? in.zoom : 1;
    if (M <= 0) {
        const double F = 1000.0 * in.knobPeriod / kSecondsPerDay;
        TimeWindow w{F / 2 - F / (2 * Z), F / 2 + F / (2 * Z)};
        if (w.from < 0)
            w = {0, w.to - w.from};
        return w;
    }
    const double W = std::min(M, 1000.0 * in.scalePeriod / kSecondsPerDay / Z);
    TimeWindow w;
    switch (in.mode) {
    case RecAxisMode::User: {
        const double c = (in.scrollPosition + in.scrollPage / 2.0) * M / kRecScrollRange;
        w = {c - W / 2, c + W / 2};
        break;
    }
    case RecAxisMode::Follow: w = {M - W, M}; break;
    case RecAxisMode::Stay:
        w = in.saved;
        if (w.to == 0)
            w.to = W;
        break;
    }
    return ClampWindow(w, M);
}

RecScrollState RecScrollFor(const TimeWindow& axis, double M)
{
    RecScrollState s;
    if (M <= 0)
        return s;
    const double R = kRecScrollRange;
    const double page = std::max(1.0, std::min(R, (axis.to - axis.from) / M * R));
    s.page = static_cast<int>(page);
    s.position = static_cast<int>(std::clamp(std::round(axis.from / M * R), 0.0, R));
    s.largeStep = static_cast<int>(std::min(32767.0, std::round(std::max(1.0, page / 100))));
    s.smallStep = static_cast<int>(std::min(32767.0, std::round(std::max(1.0, page / 10000))));
    return s;
}

TimeWindow MarkerWindow(double D, double E, double t)
{
    if (D / 2 >= t)
        return {0, D};
    if (E > 0 && E - D <= t)
        return {E - D, E};
    return {t - D / 2, t + D / 2};
}

RecPeriodLimits ComputeRecPeriodLimits(std::span<const double> periods, int workingItem, int displayItem,
                                       bool both, double currentPeriod)
{
    RecPeriodLimits out;
    const int last = static_cast<int>(periods.size()) - 1;
    const int w = std::clamp(workingItem + kFirstOptionEntry, 0, last);
    const int d = std::clamp(displayItem + kFirstOptionEntry, 0, last);
    const double workingPeriod = QuantizePeriod(periods[w]);
    out.workingLimit = 1.0 / workingPeriod;
    out.displayLimit = 1.0 / periods[d];
    if (!both) {
        out.indexMaxEnable = w + 1;
    } else {
        int u = w;
        while (u > 1 && periods[u - 1] < 2 * workingPeriod * (1 - 1e-9))
            --u;
        out.indexMaxEnable = u;
    }
    const double e = both ? 2 : 1;
    out.liveDisplay = !(e * periods[d] > QuantizePeriod(currentPeriod) * (1 + 1e-9));
    return out;
}

std::string RecTimeText(double days, bool inMicroseconds)
{
    if (inMicroseconds)
        return TimeToTextUs(days);
    if (!std::isfinite(days) || days < 0)
        days = 0;
    long long ms = std::llround(days * kSecondsPerDay * 1000.0);
    const long long h = ms / 3'600'000;
    ms %= 3'600'000;
    char text[32];
    std::snprintf(text, sizeof text, "%02lld:%02lld:%02lld:%03lld", h, ms / 60'000, ms / 1000 % 60, ms % 1000);
    return text;
}

} // namespace tesmar
