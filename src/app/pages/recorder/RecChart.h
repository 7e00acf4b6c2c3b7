#pragma once
// The recorder chart `chRec`: time in days at the bottom, channel A on the left axis, B on the
// right, the two measuring markers and zero handles of the oscilloscope chart, and the user
// markers (coloured line with a head, dragged with the left button, a menu on the right). The
// curves are drawn from the record's min/max summary at the plot's resolution, so a replot
// costs the same for a second or a day of recording.

#include "app/pages/osc/OscChart.h"
#include "recorder/RecMarkerSet.h"
#include "recorder/RecorderEnvelope.h"

#include <array>
#include <map>

namespace tesmar {

class RecorderRecord;

class RecChart : public OscChart {
    Q_OBJECT
public:
    explicit RecChart(QWidget* parent = nullptr);

    QCPGraph* srRec_Ch1 = nullptr;
    QCPGraph* srRec_Ch2 = nullptr;

    // The record drawn (null: none); it must outlive its use here or be replaced first.
    void setRecord(const RecorderRecord* record);
    const RecorderRecord* record() const { return record_; }
    // Which channels are drawn (a channel switched off while idle is cleared).
    void setChannelShown(int channel, bool shown);
    // Times on the axis as minutes:seconds:milliseconds:microseconds.
    void setTimeInMicroseconds(bool on);
    // A sentence in the middle of the plot (why nothing is drawn); empty: none.
    void setNotice(const QString& text);
    QString notice() const;

    // User markers as the set holds them; drawn at the next replot.
    void setUserMarkers(const RecMarkerSet* markers);
    // The slot whose head is at a widget point, 0 for none.
    int userMarkerAt(const QPointF& point) const;
    // Whether the slot's head and line are shown (its time lies in the window).
    bool userMarkerVisible(int slot) const;
    // Pixel x of the plot area's left edge and of the head of a slot (for tests and hints).
    QPointF userMarkerHead(int slot) const;

signals:
    void userMarkerDragged(int slot, double time);
    void userMarkerReleased(int slot);
    void userMarkerMenuRequested(int slot, QPoint globalPosition);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    bool event(QEvent* event) override;

private:
    void refreshCurves();
    void layoutUserMarkers();

    const RecorderRecord* record_ = nullptr;
    std::array<bool, 2> shown_{true, true};
    const RecMarkerSet* markers_ = nullptr;
    struct MarkerItems {
        QCPItemStraightLine* line = nullptr;
        QCPItemText* head = nullptr;
    };
    std::map<int, MarkerItems> items_;
    int draggedSlot_ = 0;
    std::vector<ChartPoint> points_;
    QSharedPointer<QCPAxisTicker> ticker_;
    QCPItemText* notice_ = nullptr;
};

} // namespace tesmar
