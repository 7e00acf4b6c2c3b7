#include "ui/knob/KnobFaceRenderer.h"

#include "ui/knob/KnobGeometry.h"

#include <QFontMetrics>
#include <QLinearGradient>
#include <QPainter>

#include <cmath>
#include <numbers>

namespace tesmar {
namespace {

const QColor kDisabledEntry(160, 160, 164);
constexpr double kDegree = std::numbers::pi / 180.0;

QPointF At(const KnobFaceStyle& s, double radius, double angle) {
    const auto p = PointOnKnob(s.x, s.y, radius, angle);
    return {p.x, p.y};
}

int DefaultLabelSize(const QFont& font) {
    if (font.pointSize() > 0)
        return font.pointSize();
    return font.pixelSize() > 0 ? font.pixelSize() : 12;
}

} // namespace

void KnobFaceRenderer::render(QPixmap& face, const KnobFaceStyle& style,
                              const std::vector<KnobFaceEntry>& entries) {
    face.fill(style.color);
    QPainter painter(&face);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    drawDisc(painter, style, style.rCirDown, style.color1CirDown, style.color2CirDown,
             style.angleFillCirDown);
    drawDisc(painter, style, style.rCirUp, style.color1CirUp, style.color2CirUp, style.angleFillCirUp);
    for (const auto& entry : entries)
        drawEntry(painter, style, entry);
}

void KnobFaceRenderer::drawDisc(QPainter& painter, const KnobFaceStyle& style, int radius, const QColor& c1,
                                const QColor& c2, double fillAngle) {
    const QRectF disc(style.x - radius, style.y - radius, 2.0 * radius + 1, 2.0 * radius + 1);
    painter.setPen(Qt::NoPen);
    if (c1 == c2) {
        painter.setBrush(c1);
    } else {
        // Lit from the rim point at the fill angle towards the opposite rim point.
        const QPointF centre = disc.center();
        const QPointF from(centre.x() - radius * std::sin(fillAngle * kDegree),
                           centre.y() - radius * std::cos(fillAngle * kDegree));
        const QPointF to(2 * centre.x() - from.x(), 2 * centre.y() - from.y());
        QLinearGradient gradient(from, to);
        gradient.setColorAt(0, c1);
        gradient.setColorAt(1, c2);
        painter.setBrush(gradient);
    }
    painter.drawEllipse(disc);
}

void KnobFaceRenderer::drawEntry(QPainter& painter, const KnobFaceStyle& style, const KnobFaceEntry& entry) {
    const double a = entry.data->Angle;
    const bool small = entry.style->smallTick;
    const int outer = small ? style.rScaleOutSm : style.rScaleOut;
    const QColor colour = !entry.enabled ? kDisabledEntry : small ? style.colorScaleSm : style.colorScale;

    painter.setPen(QPen(colour, 1));
    painter.drawLine(At(style, style.rScaleIn, a), At(style, outer, a));
    if (entry.style->hideLabel)
        return;

    QFont font(style.font.family());
    font.setPixelSize(std::max(1, entry.style->resolveFontSize(DefaultLabelSize(style.font))));
    const QString text = QString::fromStdString(ScaleEntryText(*entry.data, style.decimalSeparator));
    const QFontMetrics metrics(font);
    const double w = metrics.horizontalAdvance(text);
    const double h = metrics.height();
    const double sinA = std::sin(a * kDegree);
    const double cosA = std::cos(a * kDegree);

    double left = 0;
    double top = 0;
    if (entry.style->rotated) {
        left = style.x - (outer + h) * sinA - (w / 2) * cosA;
        top = style.y - (outer + h) * cosA + (w / 2) * sinA;
    } else {
        // Upright labels hang off the tick's end on the side away from the knob.
        const QPointF anchor = At(style, outer - 2, a);
        left = a >= 0 ? anchor.x() - w : anchor.x();
        top = std::fabs(a) < 90 ? anchor.y() - h : anchor.y();
    }
    const int x = static_cast<int>(std::lround(left)) + entry.style->offsetX;
    const int y = static_cast<int>(std::lround(top)) + entry.style->offsetY;

    painter.save();
    painter.setFont(font);
    painter.setPen(colour);
    painter.translate(x, y);
    if (entry.style->rotated)
        painter.rotate(-a); // counter-clockwise on screen
    painter.drawText(QRectF(0, 0, w + 1, h), Qt::AlignLeft | Qt::AlignTop | Qt::TextDontClip, text);
    painter.restore();
}

} // namespace tesmar
