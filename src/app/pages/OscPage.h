#pragma once

#include "MeasurementPage.h"

class QToolButton;

namespace tesmar {

class OscPage : public MeasurementPage {
    Q_OBJECT
public:
    explicit OscPage(QWidget* parent = nullptr);
    PageHintKeys hintKeys() const override;

    QWidget* pnOscSetup = nullptr;        // the settings panel at the right
    QToolButton* lsbOscSetupHide = nullptr;
    QToolButton* lsbOscSetupShow = nullptr;

public slots:
    void lsbOscSetupHideClick();
    void lsbOscSetupShowClick();
};

} // namespace tesmar
