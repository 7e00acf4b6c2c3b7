#pragma once

#include "MeasurementPage.h"

namespace tesmar {

class LanPage : public MeasurementPage {
    Q_OBJECT
public:
    explicit LanPage(QWidget* parent = nullptr);
    PageHintKeys hintKeys() const override;

    TOscKnob* knLANFrecDiv = nullptr;
};

} // namespace tesmar
