#pragma once
// Fields the pages share when they save and open measurement data files.

#include "dsp/SignalParams.h"
#include "formats/DataFileSettings.h"

#include <qcustomplot.h>

#include <cmath>
#include <optional>

namespace tesmar {

// An axis as stored: its maximum and minimum, in the axis unit times `scale`.
inline AxisLimits LimitsOf(const QCPAxis* axis, double scale = 1.0)
{
    return {axis->range().upper * scale, axis->range().lower * scale};
}

// Stored limits a page can show: finite and in order.
inline bool Usable(const AxisLimits& limits)
{
    return std::isfinite(limits.min) && std::isfinite(limits.max) && limits.max > limits.min;
}

inline StoredSignalParams Stored(const std::optional<SignalParams>& p)
{
    return p ? StoredSignalParams{p->Uconst, p->Uvaria, p->Umax, p->Umin, p->F} : StoredSignalParams{};
}

} // namespace tesmar
