#include "SplashWindow.h"

#include <QApplication>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QProgressBar>
#include <QScreen>

#include <cmath>

namespace tesmar {

QImage SplashWindow::Picture()
{
    // Drawn here rather than shipped: a rounded plate on white, the white falls away as the shape.
    QImage image(420, 220, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, false);
    QPainterPath plate;
    plate.addRoundedRect(QRectF(0, 0, 420, 220), 28, 28);
    QLinearGradient fill(0, 0, 0, 220);
    fill.setColorAt(0, QColor(0x1d, 0x3b, 0x5a));
    fill.setColorAt(1, QColor(0x07, 0x12, 0x20));
    p.fillPath(plate, fill);
    p.setPen(QPen(QColor(0x3c, 0xd0, 0x70), 3));
    QPainterPath wave;
    for (int x = 20; x <= 400; ++x) {
        const double y = 120 + 40 * std::sin((x - 20) / 30.0);
        x == 20 ? wave.moveTo(x, y) : wave.lineTo(x, y);
    }
    p.drawPath(wave);
    QFont font("DejaVu Sans", 36, QFont::Bold);
    p.setFont(font);
    p.setPen(QColor(0xee, 0xf4, 0xfa));
    p.drawText(QRect(0, 20, 420, 70), Qt::AlignCenter, "Tesmar 2");
    return image;
}

QRegion SplashWindow::ShapeWithoutWhite(const QImage& source)
{
    const QImage image = source.convertToFormat(QImage::Format_RGB32);
    QRegion region(0, 0, image.width(), image.height());
    for (int y = 0; y < image.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        int x = 0;
        while (x < image.width()) {
            if ((row[x] & 0xFFFFFF) != 0xFFFFFF) {
                ++x;
                continue;
            }
            const int start = x;
            while (x < image.width() && (row[x] & 0xFFFFFF) == 0xFFFFFF)
                ++x;
            region -= QRegion(start, y, x - start, 1);
        }
    }
    return region;
}

SplashWindow::SplashWindow(QWidget* parent) : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint)
{
    setObjectName("fmLogo");
    const QImage picture = Picture();
    setFixedSize(picture.size());
    auto* label = new QLabel(this);
    label->setPixmap(QPixmap::fromImage(picture));
    label->setGeometry(rect());
    gauge_ = new QProgressBar(this);
    gauge_->setObjectName("pbLogo");
    gauge_->setRange(0, 100);
    gauge_->setTextVisible(false);
    gauge_->setGeometry(24, height() - 22, width() - 48, 10);
    setMask(ShapeWithoutWhite(picture));
    if (const QScreen* screen = QApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        move(area.center() - rect().center());
    }
}

void SplashWindow::setProgress(int percent)
{
    gauge_->setValue(percent);
    gauge_->repaint();
}

int SplashWindow::progress() const
{
    return gauge_->value();
}

} // namespace tesmar
