#pragma once
// Widths of edit fields taken from their font, so that the numbers they show fit whole at any
// font size and scale factor instead of at one fixed pixel width.

#include <QString>

class QLineEdit;

namespace tesmar {

// The width at which `field` shows `widest` without cutting it.
int FieldWidthFor(const QLineEdit& field, const QString& widest);

// `field` is never narrower than `widest` needs.
void FitFieldTo(QLineEdit* field, const QString& widest);

// The widest text of a number shown with 15 significant digits in the locale in force (sign,
// leading zeros, decimal separator), e.g. "-0,000123456789012345".
QString WidestGeneralNumber();

} // namespace tesmar
