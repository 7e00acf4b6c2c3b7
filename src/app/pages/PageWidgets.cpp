#include "app/pages/PageWidgets.h"

#include "app/language/WindowTexts.h"
#include "text/MessageTable.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
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
    // A named label without a caption is a readout: the page composes its text from the message
    // table, and a value caught in a language file would only stand in for the real one.
    if (text.isEmpty() && name && *name)
        label->setProperty(kKeepCaptionProperty, true);
    return label;
}

void ShowRunButtonsIdle(QToolButton* single, QToolButton* cycle, const MessageTable& messages)
{
    auto text = [&](Msg key) { return QString::fromStdString(messages.text(key)); };
    for (QToolButton* b : {single, cycle}) {
        b->setEnabled(true);
        b->setChecked(false);
        b->setStyleSheet("color: green");
    }
    single->setText(text(Msg::strRunSingle));
    single->setToolTip(text(Msg::strRunSingleHint));
    cycle->setText(text(Msg::strRun));
    cycle->setToolTip(text(Msg::strRunHint));
}

bool AcceptsPositiveNumberKey(const QKeyEvent& key, const QLineEdit& field, QChar separator)
{
    const QString text = key.text();
    if (text.isEmpty() || text.at(0).category() == QChar::Other_Control || text.at(0).isDigit())
        return true;
    return text.at(0) == separator && !field.text().isEmpty() && !field.text().contains(separator);
}

} // namespace tesmar
