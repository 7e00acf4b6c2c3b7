#include "app/TextFit.h"

#include <QLineEdit>
#include <QLocale>
#include <QStyle>

namespace tesmar {

int FieldWidthFor(const QLineEdit& field, const QString& widest)
{
    const int frame = field.hasFrame() ? field.style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, &field) : 0;
    const QMargins margins = field.textMargins();
    // QLineEdit keeps 2 pixels each side of its text and one for the cursor.
    return field.fontMetrics().horizontalAdvance(widest) + 2 * frame + 4 + 1 + margins.left() + margins.right();
}

void FitFieldTo(QLineEdit* field, const QString& widest)
{
    const int width = FieldWidthFor(*field, widest);
    field->setMinimumWidth(width);
    if (field->maximumWidth() < width)
        field->setMaximumWidth(width);
}

QString WidestGeneralNumber()
{
    const QLocale locale;
    return locale.negativeSign() + "0" + locale.decimalPoint() + "000" + QString(15, '0');
}

} // namespace tesmar
