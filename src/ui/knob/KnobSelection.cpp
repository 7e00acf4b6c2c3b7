#include "ui/knob/KnobSelection.h"

#include "ui/knob/KnobGeometry.h"

#include <algorithm>
#include <cmath>

namespace tesmar {

void KnobSelection::setEntries(std::vector<TROscKnobData> entries) {
    entries_ = std::move(entries);
    placeEntries();
}

void KnobSelection::setAngleRange(double start, double stop) {
    start_ = start;
    stop_ = stop;
    placeEntries();
}

void KnobSelection::placeEntries() {
    for (int i = 0; i < count(); ++i)
        entries_[i].Angle = EntryAngle(i, count(), start_, stop_);
}

const TROscKnobData& KnobSelection::selected() const {
    static const TROscKnobData kNone{};
    return index_ >= 0 && index_ < count() ? entries_[index_] : kNone;
}

bool KnobSelection::setAngle(double angle) {
    angle = std::min(start_, angle);
    angle = std::max(stop_, angle);
    return selectByAngle(angle);
}

bool KnobSelection::selectByAngle(double angle) {
    if (entries_.empty())
        return false;
    // The nearest entry; exactly halfway the lower index wins. (Scanning for the first entry
    // the angle has passed and then comparing it with the next one would skip the nearer
    // entry just before it.)
    int best = 0;
    for (int i = 1; i < count(); ++i)
        if (std::fabs(angle - entries_[i].Angle) < std::fabs(angle - entries_[best].Angle))
            best = i;
    if (indexMaxEnable_ != kAllEnabled && best >= indexMaxEnable_)
        best = indexMaxEnable_ - 1;
    if (best == index_ && angle == entries_[best].Angle)
        return false;
    index_ = best;
    angle_ = entries_[best].Angle;
    return true;
}

bool KnobSelection::setIndexSelectData(int index) {
    if (index < 0 || index >= count() || index == index_)
        return false;
    index_ = index;
    angle_ = entries_[index].Angle;
    return true;
}

KnobSelection::LimitResult KnobSelection::setIndexMaxEnable(int value) {
    if (value >= count() || value <= 0)
        value = kAllEnabled;
    if (value == indexMaxEnable_)
        return {};
    indexMaxEnable_ = value;
    return {true, selectByAngle(angle_)};
}

int KnobSelection::usableCount() const {
    return indexMaxEnable_ == kAllEnabled ? count() : indexMaxEnable_;
}

bool KnobSelection::selectIndexClamped(int index) {
    if (entries_.empty())
        return false;
    index = std::clamp(index, 0, usableCount() - 1);
    if (index == index_)
        return false;
    index_ = index;
    angle_ = entries_[index].Angle;
    return true;
}

bool KnobSelection::stepBy(int delta) {
    return selectIndexClamped(index_ + delta);
}

bool KnobSelection::wheel(int delta) {
    const int steps = static_cast<int>(std::lround(delta / 120.0));
    return steps != 0 && selectIndexClamped(index_ + steps);
}

bool KnobSelection::home() {
    return selectIndexClamped(0);
}

bool KnobSelection::end() {
    return selectIndexClamped(count() - 1);
}

bool KnobSelection::pointTo(double cx, double cy, double px, double py) {
    const auto angle = AngleFromPoint(cx, cy, px, py, start_, stop_);
    return angle && selectByAngle(*angle);
}

} // namespace tesmar
