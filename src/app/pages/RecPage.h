#pragma once

#include "MeasurementPage.h"

namespace tesmar {

class RecPage : public MeasurementPage {
    Q_OBJECT
public:
    explicit RecPage(QWidget* parent = nullptr);
    PageHintKeys hintKeys() const override;

    TOscKnob* knRecTimeDiv = nullptr;
    TOscKnob* knRecCh1 = nullptr;
    TOscKnob* knRecCh2 = nullptr;
};

} // namespace tesmar
