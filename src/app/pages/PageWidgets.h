#pragma once
// Small builders of the named controls the pages share.

#include <QString>

class QKeyEvent;
class QLabel;
class QLineEdit;
class QScrollArea;
class QToolButton;

namespace tesmar {
class MessageTable;
}
class QWidget;

namespace tesmar {

// A text-only tool button under its control name, with its hint as tooltip and status tip.
QToolButton* MakePageButton(QWidget* parent, const char* name, const QString& caption, const QString& hint,
                            bool checkable = true);
QLabel* MakePageLabel(QWidget* parent, const char* name, const QString& text = {});

// The page's setup panel in a vertical scroll area named `name`: a window lower than the panel
// scrolls it instead of squashing its groups, and the area keeps the panel's whole width (also
// when texts in it change).
QScrollArea* MakeSetupScroll(QWidget* page, QWidget* panel, const char* name);

// The single and cyclic run buttons at rest: both enabled and released, green, with their
// captions and hints.
void ShowRunButtonsIdle(QToolButton* single, QToolButton* cycle, const MessageTable& messages);

// The key filter of positive number fields: digits, control keys and one decimal separator that
// is not the first character. False: the key is dropped.
bool AcceptsPositiveNumberKey(const QKeyEvent& key, const QLineEdit& field, QChar separator);

} // namespace tesmar
