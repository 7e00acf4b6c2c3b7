#pragma once
// Draws the still part of a knob (background, the two discs, ticks and scale labels) into an
// image once; repaints then only copy it.

#include "ui/knob/ScaleLineParser.h"
#include "ui/knob/TROscKnobData.h"

#include <QColor>
#include <QFont>
#include <QPixmap>
#include <QRectF>
#include <QString>

#include <vector>

namespace tesmar {

struct KnobFaceStyle {
    int x = 45, y = 35;
    int rCirDown = 20, rCirUp = 12;
    int rScaleIn = 20, rScaleOut = 26, rScaleOutSm = 24;
    QColor color, color1CirDown, color2CirDown, color1CirUp, color2CirUp, colorScale, colorScaleSm;
    double angleFillCirDown = 45.0, angleFillCirUp = 225.0;
    QFont font; // face name and default label size
    char decimalSeparator = ',';
};

struct KnobFaceEntry {
    const TROscKnobData* data;
    const ScaleLabelStyle* style;
    bool enabled;
};

// One scale label as it is drawn.
struct KnobLabel {
    std::size_t entry = 0; // index into the entries
    QString text;
    QFont font;
    QPoint topLeft;        // where the text starts, before any rotation
    double rotation = 0;   // degrees counter-clockwise (#r); 0 for upright labels
    QSizeF size;           // of the text
    QRectF box;            // the area the text covers on the face
};

class KnobFaceRenderer {
  public:
    static void render(QPixmap& face, const KnobFaceStyle& style, const std::vector<KnobFaceEntry>& entries);
    // The labels where the scale's geometry puts them, measured in their fonts, with every
    // length multiplied by `scale` (2 for a display at 200 %). A label that would touch or
    // overlap one already placed is left out: the scale's two ends are placed first, then the
    // other entries in order, so crowded entries are thinned and the scale keeps its ends.
    static std::vector<KnobLabel> layoutLabels(const KnobFaceStyle& style, const std::vector<KnobFaceEntry>& entries,
                                               double scale = 1.0);

  private:
    static void drawDisc(QPainter& painter, const KnobFaceStyle& style, int radius, const QColor& c1,
                         const QColor& c2, double fillAngle);
    static void drawTick(QPainter& painter, const KnobFaceStyle& style, const KnobFaceEntry& entry);
};

} // namespace tesmar
