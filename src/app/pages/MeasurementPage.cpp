#include "app/pages/MeasurementPage.h"

#include <QEvent>

#include "ui/knob/KnobFactory.h"
#include "ui/knob/TOscKnob.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

namespace tesmar {

MeasurementPage::MeasurementPage(const char* name, QWidget* parent) : QWidget(parent)
{
    setObjectName(name);
}

std::vector<TOscKnob*> MeasurementPage::buildKnobColumn(std::initializer_list<const char*> knobNames)
{
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    auto* area = new QWidget(this);
    area->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    layout->addWidget(area, 1);
    auto* column = new QVBoxLayout;
    std::vector<TOscKnob*> knobs;
    for (const char* name : knobNames) {
        TOscKnob* knob = CreatePageKnob(name, this);
        column->addWidget(knob, 0, Qt::AlignHCenter);
        knobs.push_back(knob);
    }
    column->addStretch(1);
    layout->addLayout(column);
    return knobs;
}

void MeasurementPage::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange)
        retranslate();
    QWidget::changeEvent(event);
}

} // namespace tesmar
