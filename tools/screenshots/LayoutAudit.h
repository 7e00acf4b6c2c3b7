#pragma once
// Geometry checks of a shown window: every visible named control lies inside what the user can
// see (or reach by scrolling), is not smaller than its content needs and does not overlap
// another named control. Pixels are not looked at.

#include <QRect>
#include <QStringList>

class QWidget;

namespace tesmar {

// The problems found in `window` (a top-level widget that is shown), one line each.
QStringList AuditLayout(QWidget& window);

// The problems of `window` on `screen` (its logical available area): too large to fit, or a
// minimum size that cannot fit.
QStringList AuditFitsScreen(QWidget& window, const QRect& screen);

} // namespace tesmar
