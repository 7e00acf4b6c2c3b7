#include "ui/knob/KnobFaceRenderer.h"

#include "ui/knob/KnobGeometry.h"

#include <QFontMetrics>
#include <QLinearGradient>
#include <QPainter>
#include <QTransform>

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

QColor EntryColour(const KnobFaceStyle& style, const KnobFaceEntry& entry) {
    return !entry.enabled ? kDisabledEntry : entry.style->smallTick ? style.colorScaleSm : style.colorScale;
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
    painter.setRenderHint(QPainter::Antialiasing, false); // ticks are crisp one-pixel lines
    for (const auto& entry : entries)
        drawTick(painter, style, entry);
    for (const KnobLabel& label : layoutLabels(style, entries)) {
        painter.save();
        painter.setFont(label.font);
        painter.setPen(EntryColour(style, entries[label.entry]));
        painter.translate(label.topLeft);
        if (label.rotation != 0)
            painter.rotate(-label.rotation); // counter-clockwise on screen
        painter.drawText(QRectF(0, 0, label.size.width() + 1, label.size.height()),
                         Qt::AlignLeft | Qt::AlignTop | Qt::TextDontClip, label.text);
        painter.restore();
    }
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

void KnobFaceRenderer::drawTick(QPainter& painter, const KnobFaceStyle& style, const KnobFaceEntry& entry) {
    const double a = entry.data->Angle;
    const int outer = entry.style->smallTick ? style.rScaleOutSm : style.rScaleOut;
    painter.setPen(QPen(EntryColour(style, entry), 1));
    painter.drawLine(At(style, style.rScaleIn, a), At(style, outer, a));
}

std::vector<KnobLabel> KnobFaceRenderer::layoutLabels(const KnobFaceStyle& style,
                                                      const std::vector<KnobFaceEntry>& entries, double scale) {
    std::vector<KnobLabel> labels;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const KnobFaceEntry& entry = entries[i];
        if (entry.style->hideLabel)
            continue;
        const double a = entry.data->Angle;
        const double outer = scale * (entry.style->smallTick ? style.rScaleOutSm : style.rScaleOut);
        KnobLabel label;
        label.entry = i;
        label.font = QFont(style.font.family());
        label.font.setPixelSize(std::max(
            1, static_cast<int>(std::lround(scale * entry.style->resolveFontSize(DefaultLabelSize(style.font))))));
        label.text = QString::fromStdString(ScaleEntryText(*entry.data, style.decimalSeparator));
        const QFontMetricsF metrics(label.font);
        const double w = std::ceil(metrics.horizontalAdvance(label.text));
        const double h = std::ceil(metrics.height());
        const double sinA = std::sin(a * kDegree);
        const double cosA = std::cos(a * kDegree);
        const double cx = scale * style.x, cy = scale * style.y;

        double left = 0;
        double top = 0;
        if (entry.style->rotated) {
            left = cx - (outer + h) * sinA - (w / 2) * cosA;
            top = cy - (outer + h) * cosA + (w / 2) * sinA;
            label.rotation = a;
        } else {
            // Upright labels hang off the tick's end on the side away from the knob.
            const KnobPoint anchor = PointOnKnob(cx, cy, outer - 2 * scale, a);
            left = a >= 0 ? anchor.x - w : anchor.x;
            top = std::fabs(a) < 90 ? anchor.y - h : anchor.y;
        }
        label.topLeft = QPoint(static_cast<int>(std::lround(left + scale * entry.style->offsetX)),
                               static_cast<int>(std::lround(top + scale * entry.style->offsetY)));
        label.size = QSizeF(w, h);
        label.box = QTransform()
                        .translate(label.topLeft.x(), label.topLeft.y())
                        .rotate(-label.rotation)
                        .mapRect(QRectF(0, 0, w, h));
        labels.push_back(std::move(label));
    }
    std::vector<std::size_t> order;
    if (!labels.empty())
        order.push_back(0);
    if (labels.size() > 1)
        order.push_back(labels.size() - 1);
    for (std::size_t i = 1; i + 1 < labels.size(); ++i)
        order.push_back(i);
    std::vector<bool> kept(labels.size(), false);
    for (std::size_t i : order) {
        const QRectF room = labels[i].box.adjusted(-1, -1, 1, 1);
        bool free = true;
        for (std::size_t j = 0; j < labels.size() && free; ++j)
            free = !kept[j] || !room.intersects(labels[j].box);
        kept[i] = free;
    }
    std::vector<KnobLabel> placed;
    for (std::size_t i = 0; i < labels.size(); ++i)
        if (kept[i])
            placed.push_back(std::move(labels[i]));
    return placed;
}

} // namespace tesmar
