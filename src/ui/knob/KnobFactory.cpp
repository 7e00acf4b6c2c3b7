#include "ui/knob/KnobFactory.h"

#include "ui/knob/KnobScales.h"
#include "ui/knob/TOscKnob.h"

namespace tesmar {

TOscKnob* CreatePageKnob(std::string_view knobName, QWidget* parent) {
    const auto scale = PageKnobScale(knobName);
    if (!scale)
        return nullptr;
    auto* knob = new TOscKnob(parent);
    knob->setObjectName(QString::fromUtf8(knobName.data(), static_cast<qsizetype>(knobName.size())));
    // The page knobs are larger than a bare knob, so that their scale labels have room.
    knob->setFixedSize(150, 104);
    knob->setX(75);
    knob->setY(56);
    knob->setRCirDown(25);
    knob->setRCirUp(16);
    knob->setRScaleIn(27);
    knob->setRScaleOut(34);
    knob->setRScaleOutSm(31);
    knob->setRCursorIn(16);
    knob->setHCursor(7);
    QFont font("Arial");
    font.setPointSize(11);
    knob->setScaleFont(font);
    knob->setScaleCode(scale->lines);
    knob->setIndexSelectData(scale->initialIndex);
    return knob;
}

} // namespace tesmar
