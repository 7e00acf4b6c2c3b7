#include "ui/knob/TOscKnobLabel.h"

#include <QMouseEvent>

namespace tesmar {

TOscKnobLabel::TOscKnobLabel(QWidget* knob) : QLabel(knob) {
    setObjectName("OscKnobLabel");
    setAutoFillBackground(false);
    setAttribute(Qt::WA_TranslucentBackground);
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setContentsMargins(0, 0, 0, 0);
    setMargin(0);
    setIndent(0);
    QFont captionFont = font();
    captionFont.setPointSize(7);
    setFont(captionFont);
}

void TOscKnobLabel::mousePressEvent(QMouseEvent* event) {
    if (parentWidget())
        parentWidget()->setFocus(Qt::MouseFocusReason);
    event->accept();
}

} // namespace tesmar
