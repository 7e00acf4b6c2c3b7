#pragma once
// Where the user manual is: the installed share folder, else the source tree of a build that
// was not installed.

#include <QString>
#include <QStringList>

namespace tesmar {

// Candidate paths of the manual's start page, in the order they are tried.
QStringList ManualCandidates();
// The first candidate that exists; empty when none does.
QString FindManual(const QStringList& candidates);

} // namespace tesmar
