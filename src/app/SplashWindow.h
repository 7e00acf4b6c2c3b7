#pragma once
// The start-up window: the program's picture without a frame, shaped by cutting out every pure
// white pixel, with a progress gauge along its bottom edge.

#include <QImage>
#include <QRegion>
#include <QWidget>

class QProgressBar;

namespace tesmar {

class SplashWindow : public QWidget {
    Q_OBJECT
public:
    explicit SplashWindow(QWidget* parent = nullptr);

    void setProgress(int percent);
    int progress() const;

    // The picture's area less its pure white (0xFFFFFF) pixels, found as runs along each row.
    static QRegion ShapeWithoutWhite(const QImage& image);
    static QImage Picture();

private:
    QProgressBar* gauge_ = nullptr;
};

} // namespace tesmar
