#include "app/pages/PageWidgets.h"

#include "app/language/WindowTexts.h"
#include "text/MessageTable.h"

#include <QKeyEvent>
#include <QLabel>
#include <QEvent>
#include <QLineEdit>
#include <QScrollArea>
#include <QScrollBar>
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

namespace {

// Keeps a scroll area as wide as its panel needs whenever the panel's layout changes.
class PanelWidthKeeper final : public QObject {
public:
    PanelWidthKeeper(QScrollArea* area, QWidget* panel) : QObject(area), area_(area), panel_(panel) { update(); }

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == panel_ && event->type() == QEvent::LayoutRequest)
            update();
        return false;
    }

private:
    void update()
    {
        const int frame = 2 * area_->frameWidth();
        area_->setMinimumWidth(panel_->minimumSizeHint().width() + area_->verticalScrollBar()->sizeHint().width() + frame);
    }

    QScrollArea* area_;
    QWidget* panel_;
};

} // namespace

QScrollArea* MakeSetupScroll(QWidget* page, QWidget* panel, const char* name)
{
    auto* area = new QScrollArea(page);
    area->setObjectName(name);
    area->setFrameShape(QFrame::NoFrame);
    area->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    area->setWidgetResizable(true);
    area->setWidget(panel);
    area->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Expanding);
    panel->installEventFilter(new PanelWidthKeeper(area, panel));
    return area;
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
