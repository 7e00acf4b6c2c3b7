#pragma once
// The colour window `fmColor`: nine colour pickers and the line width of the main charts with a
// live preview. OK applies them to the charts; Cancel (or closing the window) takes them back
// from the oscilloscope chart, which always shows the colours in force.

#include "ChartColours.h"

#include <QDialog>

#include <functional>

class QCPGraph;
class QCustomPlot;
class QPushButton;
class QSpinBox;
class QTimer;

namespace tesmar {

class ColourPicker;

class TfmColor : public QDialog {
    Q_OBJECT
public:
    struct Charts {
        std::function<void(const ChartColours&)> apply; // to every main chart
        std::function<ChartColours()> inForce;          // as the oscilloscope chart shows them
    };
    explicit TfmColor(Charts charts, QWidget* parent = nullptr);

    // The pickers and the width as a record, and back.
    ChartColours pickers() const;
    void setPickers(const ChartColours& colours);
    // The settings file: the `color` keys into the pickers, then the preview and the charts.
    void applyStored(const ChartColours& colours);

    ColourPicker* cbFon = nullptr;
    ColourPicker* cbChA = nullptr;
    ColourPicker* cbScaleChA = nullptr;
    ColourPicker* cbChB = nullptr;
    ColourPicker* cbScaleChB = nullptr;
    ColourPicker* cbGrid = nullptr;
    ColourPicker* cbOutLineGrid = nullptr;
    ColourPicker* cbX = nullptr;
    ColourPicker* cbScaleX = nullptr;
    QSpinBox* udWidth = nullptr;
    QCustomPlot* chColor = nullptr;
    QCPGraph* seriesA = nullptr;
    QCPGraph* seriesB = nullptr;
    QPushButton* btOK = nullptr;
    QPushButton* btCancel = nullptr;
    QTimer* timerChangeWidth = nullptr;

public slots:
    void cbFonChange();
    void btOKClick();
    void btCancelClick();
    void timerChangeWidthTimer();

protected:
    void showEvent(QShowEvent* event) override;
    void done(int result) override;

private:
    void buildPreview();

    Charts charts_;
    bool answered_ = false;
    bool previewFilled_ = false;
};

} // namespace tesmar
