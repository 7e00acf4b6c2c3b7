#pragma once
// The selection rules of the knob: entry angles, the pointer angle, the selected index, the
// usable-entry limit and the steps of wheel and keys. Each operation that selects returns true
// when the knob must raise its change event.

#include "ui/knob/TROscKnobData.h"

#include <vector>

namespace tesmar {

class KnobSelection {
  public:
    static constexpr int kAllEnabled = -1;

    // Takes the entries in list order and places them on the current angle range. The
    // selection is not re-derived: the caller re-applies the pointer angle.
    void setEntries(std::vector<TROscKnobData> entries);
    // Moves the entries onto a new angle range; the selection and the pointer stay.
    void setAngleRange(double start, double stop);

    const std::vector<TROscKnobData>& entries() const { return entries_; }
    int count() const { return static_cast<int>(entries_.size()); }
    double angleStartScale() const { return start_; }
    double angleStopScale() const { return stop_; }
    double angle() const { return angle_; }
    int indexSelectData() const { return index_; }
    int indexMaxEnable() const { return indexMaxEnable_; }
    bool isEntryEnabled(int index) const { return indexMaxEnable_ == kAllEnabled || index < indexMaxEnable_; }
    // The selected entry, or an empty one for a knob without entries.
    const TROscKnobData& selected() const;

    // The angle is limited to the scale, then the nearest usable entry is selected.
    bool setAngle(double angle);
    // Any existing entry, regardless of the usable limit; ignored when out of range or unchanged.
    bool setIndexSelectData(int index);

    struct LimitResult {
        bool stored = false;           // the limit changed (the face must be rebuilt)
        bool selectionChanged = false; // the change event must be raised
    };
    // A value of 0 or less, or of at least the entry count, means every entry is usable.
    LimitResult setIndexMaxEnable(int value);

    bool stepBy(int delta); // keys: ±1
    bool wheel(int delta);  // wheel delta in eighths of a degree, 120 per notch
    bool home();
    bool end();
    // Mouse point in control coordinates with the knob centre (cx, cy).
    bool pointTo(double cx, double cy, double px, double py);

  private:
    bool selectByAngle(double angle);
    bool selectIndexClamped(int index);
    int usableCount() const;
    void placeEntries();

    std::vector<TROscKnobData> entries_;
    double start_ = 130.0;
    double stop_ = -130.0;
    double angle_ = 130.0;
    int index_ = 0;
    int indexMaxEnable_ = kAllEnabled;
};

} // namespace tesmar
