#pragma once
// The rotary knob used for every range and rate choice: a round face with a scale of discrete
// entries and a pointer, turned by dragging, the wheel or the keys. OnChange is raised after
// every selection the user or a selecting setter makes.

#include "ui/knob/KnobFaceRenderer.h"
#include "ui/knob/KnobSelection.h"
#include "ui/knob/ScaleLineParser.h"
#include "ui/knob/TOscKnobStrings.h"

#include <QColor>
#include <QComboBox>
#include <QFont>
#include <QPixmap>
#include <QPointer>
#include <QStringList>
#include <QWidget>

#include <vector>

namespace tesmar {

class TOscKnobLabel;

class TOscKnob : public QWidget {
    Q_OBJECT
    Q_PROPERTY(int X READ X WRITE setX)
    Q_PROPERTY(int Y READ Y WRITE setY)
    Q_PROPERTY(int RCirDown READ RCirDown WRITE setRCirDown)
    Q_PROPERTY(int RCirUp READ RCirUp WRITE setRCirUp)
    Q_PROPERTY(int RScaleIn READ RScaleIn WRITE setRScaleIn)
    Q_PROPERTY(int RScaleOut READ RScaleOut WRITE setRScaleOut)
    Q_PROPERTY(int RScaleOutSm READ RScaleOutSm WRITE setRScaleOutSm)
    Q_PROPERTY(int RCursorIn READ RCursorIn WRITE setRCursorIn)
    Q_PROPERTY(int HCursor READ HCursor WRITE setHCursor)
    Q_PROPERTY(int IndexMaxEnable READ IndexMaxEnable WRITE setIndexMaxEnable)
    Q_PROPERTY(QColor Color READ Color WRITE setColor)
    Q_PROPERTY(QColor ColorSelect READ ColorSelect WRITE setColorSelect)
    Q_PROPERTY(QColor Color1CirDown READ Color1CirDown WRITE setColor1CirDown)
    Q_PROPERTY(QColor Color2CirDown READ Color2CirDown WRITE setColor2CirDown)
    Q_PROPERTY(QColor Color1CirUp READ Color1CirUp WRITE setColor1CirUp)
    Q_PROPERTY(QColor Color2CirUp READ Color2CirUp WRITE setColor2CirUp)
    Q_PROPERTY(QColor ColorScale READ ColorScale WRITE setColorScale)
    Q_PROPERTY(QColor ColorScaleSm READ ColorScaleSm WRITE setColorScaleSm)
    Q_PROPERTY(QColor ColorCursor READ ColorCursor WRITE setColorCursor)
    Q_PROPERTY(QColor ColorCursorMove READ ColorCursorMove WRITE setColorCursorMove)
    Q_PROPERTY(double AngleStartScale READ AngleStartScale WRITE setAngleStartScale)
    Q_PROPERTY(double AngleStopScale READ AngleStopScale WRITE setAngleStopScale)
    Q_PROPERTY(double Angle READ Angle WRITE setAngle)
    Q_PROPERTY(double AngleCursor READ AngleCursor WRITE setAngleCursor)
    Q_PROPERTY(double AngleFillCirDown READ AngleFillCirDown WRITE setAngleFillCirDown)
    Q_PROPERTY(double AngleFillCirUp READ AngleFillCirUp WRITE setAngleFillCirUp)
    Q_PROPERTY(bool CaptionDimHide READ CaptionDimHide WRITE setCaptionDimHide)
    Q_PROPERTY(bool CaptionAvtoCenter READ CaptionAvtoCenter WRITE setCaptionAvtoCenter)
    Q_PROPERTY(bool HintAvtoSet READ HintAvtoSet WRITE setHintAvtoSet)
    Q_PROPERTY(QFont Font READ Font WRITE setScaleFont)
    Q_PROPERTY(QStringList ScaleCode READ scaleCodeLines WRITE setScaleCode)
    Q_PROPERTY(int IndexSelectData READ IndexSelectData WRITE setIndexSelectData)

  public:
    explicit TOscKnob(QWidget* parent = nullptr);
    ~TOscKnob() override;

    QSize sizeHint() const override { return {90, 60}; }

    // Geometry and colours of the face: each setter rebuilds the face.
    int X() const { return face_.x; }
    void setX(int value);
    int Y() const { return face_.y; }
    void setY(int value);
    int RCirDown() const { return face_.rCirDown; }
    void setRCirDown(int value);
    int RCirUp() const { return face_.rCirUp; }
    void setRCirUp(int value);
    int RScaleIn() const { return face_.rScaleIn; }
    void setRScaleIn(int value);
    int RScaleOut() const { return face_.rScaleOut; }
    void setRScaleOut(int value);
    int RScaleOutSm() const { return face_.rScaleOutSm; }
    void setRScaleOutSm(int value);
    int RCursorIn() const { return rCursorIn_; }
    void setRCursorIn(int value);
    QColor Color() const { return face_.color; }
    void setColor(const QColor& value);
    QColor Color1CirDown() const { return face_.color1CirDown; }
    void setColor1CirDown(const QColor& value);
    QColor Color2CirDown() const { return face_.color2CirDown; }
    void setColor2CirDown(const QColor& value);
    QColor Color1CirUp() const { return face_.color1CirUp; }
    void setColor1CirUp(const QColor& value);
    QColor Color2CirUp() const { return face_.color2CirUp; }
    void setColor2CirUp(const QColor& value);
    QColor ColorScale() const { return face_.colorScale; }
    void setColorScale(const QColor& value);
    QColor ColorScaleSm() const { return face_.colorScaleSm; }
    void setColorScaleSm(const QColor& value);
    double AngleFillCirDown() const { return face_.angleFillCirDown; }
    void setAngleFillCirDown(double value);
    double AngleFillCirUp() const { return face_.angleFillCirUp; }
    void setAngleFillCirUp(double value);
    QFont Font() const { return face_.font; }
    void setScaleFont(const QFont& value); // the scale label font (not the widget font)
    // Move the entries without re-deriving the selection; rebuild without repainting.
    double AngleStartScale() const { return selection_.angleStartScale(); }
    void setAngleStartScale(double value);
    double AngleStopScale() const { return selection_.angleStopScale(); }
    void setAngleStopScale(double value);

    // Pointer, outline and caption settings: store and repaint only.
    int HCursor() const { return hCursor_; }
    void setHCursor(int value);
    double AngleCursor() const { return angleCursor_; }
    void setAngleCursor(double value);
    QColor ColorCursor() const { return colorCursor_; }
    void setColorCursor(const QColor& value);
    QColor ColorCursorMove() const { return colorCursorMove_; }
    void setColorCursorMove(const QColor& value);
    QColor ColorSelect() const { return colorSelect_; }
    void setColorSelect(const QColor& value);
    bool CaptionDimHide() const { return captionDimHide_; }
    void setCaptionDimHide(bool value);
    bool CaptionAvtoCenter() const { return captionAvtoCenter_; }
    void setCaptionAvtoCenter(bool value);
    bool HintAvtoSet() const { return hintAvtoSet_; }
    void setHintAvtoSet(bool value);

    // Selecting setters.
    double Angle() const { return selection_.angle(); }
    void setAngle(double value);
    int IndexSelectData() const { return selection_.indexSelectData(); }
    void setIndexSelectData(int value);
    int IndexMaxEnable() const { return selection_.indexMaxEnable(); }
    void setIndexMaxEnable(int value);

    // The scale list. Replacing it (or any bulk update of ScaleCode()) re-parses it and keeps
    // the pointer where it was.
    TOscKnobStrings& ScaleCode() { return scaleCode_; }
    const TOscKnobStrings& ScaleCode() const { return scaleCode_; }
    QStringList scaleCodeLines() const;
    void setScaleCode(const QStringList& lines);
    void setScaleCode(std::vector<std::string> lines);

    TOscKnobLabel* Caption() const { return caption_; }
    QComboBox* ComboBoxSelect() const { return comboBoxSelect_; }
    void setComboBoxSelect(QComboBox* combo);

    const TOscKnobData& OscKnobData() const { return selection_.entries(); }
    double CurValueReal() const { return selection_.selected().ValueReal; }
    double CurAngle() const { return selection_.selected().Angle; }
    double CurValue() const { return selection_.selected().Value; }
    double CurExp() const { return selection_.selected().Exp; }
    QString CurDimension() const { return QString::fromStdString(selection_.selected().Dimension); }
    QString CurHint() const { return QString::fromStdString(selection_.selected().Hint); }

    bool isDragging() const { return dragging_; }
    bool isHovered() const { return hover_; }
    // Redraws the pre-rendered face; called by the setters that change what it shows.
    void rebuildFace();
    int faceRebuildCount() const { return faceRebuilds_; }
    // The scale labels as the face draws them, every length multiplied by `scale`.
    std::vector<KnobLabel> scaleLabels(double scale = 1.0) const;

  signals:
    void OnChange(tesmar::TOscKnob* sender);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

  private:
    void scaleCodeChanged();
    std::vector<KnobFaceEntry> faceEntries() const;
    void setFaceValue(int& field, int value);
    void setFaceColour(QColor& field, const QColor& value);
    void setFaceAngle(double& field, double value);
    void selected(bool changed);
    void applyPoint(const QPointF& point);
    void updateCaption();
    void fillComboBox();
    void comboPicked(int index);
    char decimalSeparator() const;

    KnobFaceStyle face_;
    KnobSelection selection_;
    TOscKnobStrings scaleCode_;
    std::vector<ScaleLine> parsed_;
    QPixmap facePixmap_;
    int faceRebuilds_ = 0;

    int rCursorIn_ = 13;
    int hCursor_ = 4;
    double angleCursor_ = 10.0;
    QColor colorSelect_{232, 232, 232};
    QColor colorCursor_{255, 0, 0};
    QColor colorCursorMove_{255, 0, 0};
    bool captionDimHide_ = false;
    bool captionAvtoCenter_ = true;
    bool hintAvtoSet_ = true;

    TOscKnobLabel* caption_ = nullptr;
    QPointer<QComboBox> comboBoxSelect_;
    bool dragging_ = false;
    bool hover_ = false;
};

} // namespace tesmar
