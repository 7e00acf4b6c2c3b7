#pragma once

#include "MeasurementPage.h"

namespace tesmar {

class FftPage : public MeasurementPage {
    Q_OBJECT
public:
    explicit FftPage(QWidget* parent = nullptr);
    PageHintKeys hintKeys() const override;

    TOscKnob* knFFTFrecDiv = nullptr;
    TOscKnob* knFFTCh1 = nullptr;
    TOscKnob* knFFTCh2 = nullptr;
};

} // namespace tesmar
