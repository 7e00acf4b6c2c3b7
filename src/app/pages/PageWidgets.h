#pragma once
// Small builders of the named controls the pages share.

#include <QString>

class QLabel;
class QToolButton;
class QWidget;

namespace tesmar {

// A text-only tool button under its control name, with its hint as tooltip and status tip.
QToolButton* MakePageButton(QWidget* parent, const char* name, const QString& caption, const QString& hint,
                            bool checkable = true);
QLabel* MakePageLabel(QWidget* parent, const char* name, const QString& text = {});

} // namespace tesmar
