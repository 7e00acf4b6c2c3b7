#pragma once
// The knob's value caption: a transparent label on the knob showing the selected entry.

#include <QLabel>

namespace tesmar {

class TOscKnobLabel : public QLabel {
    Q_OBJECT
  public:
    explicit TOscKnobLabel(QWidget* knob);

  protected:
    // A click on the caption gives the knob the focus; it does not turn it.
    void mousePressEvent(QMouseEvent* event) override;
};

} // namespace tesmar
