#include "PageWidgets.h"

#include <QLabel>
#include <QToolButton>

namespace tesmar {

QToolButton* MakePageButton(QWidget* parent, const char* name, const QString& caption, const QString& hint,
                            bool checkable)
{
    auto* button = new QToolButton(parent);
    button->setObjectName(name);
    button->setText(caption);
    button->setToolTip(hint);
    button->setStatusTip(hint);
    button->setCheckable(checkable);
    button->setToolButtonStyle(Qt::ToolButtonTextOnly);
    return button;
}

QLabel* MakePageLabel(QWidget* parent, const char* name, const QString& text)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    return label;
}

} // namespace tesmar
