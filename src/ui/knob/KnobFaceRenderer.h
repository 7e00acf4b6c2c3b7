#pragma once
// Draws the still part of a knob (background, the two discs, ticks and scale labels) into an
// image once; repaints then only copy it.

#include "ui/knob/ScaleLineParser.h"
#include "ui/knob/TROscKnobData.h"

#include <QColor>
#include <QFont>
#include <QPixmap>

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

class KnobFaceRenderer {
  public:
    static void render(QPixmap& face, const KnobFaceStyle& style, const std::vector<KnobFaceEntry>& entries);

  private:
    static void drawDisc(QPainter& painter, const KnobFaceStyle& style, int radius, const QColor& c1,
                         const QColor& c2, double fillAngle);
    static void drawEntry(QPainter& painter, const KnobFaceStyle& style, const KnobFaceEntry& entry);
};

} // namespace tesmar
