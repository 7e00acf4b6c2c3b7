#include "ui/knob/TOscKnob.h"

#include "ui/knob/KnobGeometry.h"
#include "ui/knob/TOscKnobLabel.h"

#include <algorithm>

#include <QComboBox>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QLocale>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

#include <cmath>

namespace tesmar {
namespace {

const std::vector<std::string> kDefaultScale = {
    "#v=0  #h=set 0  #y=-4 #x=-1", "#v=1  #h=set 1  #s #p",       "#v=2  #h=set 2  #y=+4 #x=-1",
    "#v=3  #h=set 3  #s #p",       "#v=4  #h=set 4  #y=+6 #x=-1", "#v=5  #h=set 5  #s #p",
    "#v=6  #h=set 6  #y=+6 #x=+2", "#v=7  #h=set 7  #s #p",       "#v=8  #h=set 8  #y=+4 #x=+3",
    "#v=9  #h=set 9  #s #p",       "#v=10 #h=set 10 #y=-4 #x=+3",
};

QPoint Rounded(double x, double y) {
    return {static_cast<int>(std::lround(x)), static_cast<int>(std::lround(y))};
}

} // namespace

TOscKnob::TOscKnob(QWidget* parent) : QWidget(parent), scaleCode_([this] { scaleCodeChanged(); }) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);
    setCursor(Qt::PointingHandCursor);

    const QPalette pal = palette();
    face_.color = pal.color(QPalette::Button);
    face_.color1CirDown = QColor(235, 235, 235);
    face_.color2CirDown = QColor(132, 132, 132);
    face_.color1CirUp = pal.color(QPalette::Button);
    face_.color2CirUp = pal.color(QPalette::Button);
    face_.colorScale = QColor(Qt::black);
    face_.colorScaleSm = pal.color(QPalette::Dark);
    face_.font = QFont("Arial");
    face_.font.setPointSize(12);

    caption_ = new TOscKnobLabel(this);
    // The caption sits on the knob's centre: a press there turns the knob like anywhere else.
    caption_->setAttribute(Qt::WA_TransparentForMouseEvents);
    resize(sizeHint());
    facePixmap_ = QPixmap(size());
    scaleCode_.assign(kDefaultScale);
}

TOscKnob::~TOscKnob() = default;

char TOscKnob::decimalSeparator() const {
    const QString point = locale().decimalPoint();
    return point.size() == 1 && point[0].unicode() < 128 ? static_cast<char>(point[0].unicode()) : '.';
}

std::vector<KnobFaceEntry> TOscKnob::faceEntries() const {
    std::vector<KnobFaceEntry> entries;
    entries.reserve(parsed_.size());
    const auto& data = selection_.entries();
    for (std::size_t i = 0; i < parsed_.size() && i < data.size(); ++i)
        entries.push_back({&data[i], &parsed_[i].style, selection_.isEntryEnabled(static_cast<int>(i))});
    return entries;
}

std::vector<KnobLabel> TOscKnob::scaleLabels(double scale) const {
    return KnobFaceRenderer::layoutLabels(face_, faceEntries(), scale);
}

void TOscKnob::rebuildFace() {
    ++faceRebuilds_;
    // Drawn at the display's own resolution, so that labels stay sharp on a scaled display.
    const qreal ratio = devicePixelRatioF();
    const QSize pixels = size() * ratio;
    if (facePixmap_.size() != pixels || facePixmap_.devicePixelRatio() != ratio) {
        facePixmap_ = QPixmap(pixels);
        facePixmap_.setDevicePixelRatio(ratio);
    }
    if (facePixmap_.isNull())
        return;
    face_.decimalSeparator = decimalSeparator();
    KnobFaceRenderer::render(facePixmap_, face_, faceEntries());
    fillComboBox();
}

void TOscKnob::scaleCodeChanged() {
    parsed_.clear();
    std::vector<TROscKnobData> entries;
    for (const auto& line : scaleCode_.lines()) {
        parsed_.push_back(ParseScaleLine(line));
        entries.push_back(parsed_.back().data);
    }
    selection_.setEntries(std::move(entries));
    rebuildFace();
    // The index follows the pointer: a list of the same length keeps its selection quietly.
    selected(selection_.setAngle(selection_.angle()));
    updateCaption();
    update();
}

QStringList TOscKnob::scaleCodeLines() const {
    QStringList lines;
    for (const auto& line : scaleCode_.lines())
        lines << QString::fromStdString(line);
    return lines;
}

void TOscKnob::setScaleCode(const QStringList& lines) {
    std::vector<std::string> copy;
    for (const auto& line : lines)
        copy.push_back(line.toStdString());
    setScaleCode(std::move(copy));
}

void TOscKnob::setScaleCode(std::vector<std::string> lines) {
    scaleCode_.assign(std::move(lines));
}

// ---- face setters: store, rebuild, repaint ----

void TOscKnob::setFaceValue(int& field, int value) {
    field = value;
    rebuildFace();
    updateCaption();
    update();
}

void TOscKnob::setFaceColour(QColor& field, const QColor& value) {
    field = value;
    rebuildFace();
    update();
}

void TOscKnob::setFaceAngle(double& field, double value) {
    field = value;
    rebuildFace();
    update();
}

void TOscKnob::setX(int value) {
    setFaceValue(face_.x, value);
}
void TOscKnob::setY(int value) {
    setFaceValue(face_.y, value);
}
void TOscKnob::setRCirDown(int value) {
    setFaceValue(face_.rCirDown, value);
}
void TOscKnob::setRCirUp(int value) {
    setFaceValue(face_.rCirUp, value);
}
void TOscKnob::setRScaleIn(int value) {
    setFaceValue(face_.rScaleIn, value);
}
void TOscKnob::setRScaleOut(int value) {
    setFaceValue(face_.rScaleOut, value);
}
void TOscKnob::setRScaleOutSm(int value) {
    setFaceValue(face_.rScaleOutSm, value);
}
void TOscKnob::setRCursorIn(int value) {
    setFaceValue(rCursorIn_, value);
}
void TOscKnob::setColor(const QColor& value) {
    setFaceColour(face_.color, value);
}
void TOscKnob::setColor1CirDown(const QColor& value) {
    setFaceColour(face_.color1CirDown, value);
}
void TOscKnob::setColor2CirDown(const QColor& value) {
    setFaceColour(face_.color2CirDown, value);
}
void TOscKnob::setColor1CirUp(const QColor& value) {
    setFaceColour(face_.color1CirUp, value);
}
void TOscKnob::setColor2CirUp(const QColor& value) {
    setFaceColour(face_.color2CirUp, value);
}
void TOscKnob::setColorScale(const QColor& value) {
    setFaceColour(face_.colorScale, value);
}
void TOscKnob::setColorScaleSm(const QColor& value) {
    setFaceColour(face_.colorScaleSm, value);
}
void TOscKnob::setAngleFillCirDown(double value) {
    setFaceAngle(face_.angleFillCirDown, value);
}
void TOscKnob::setAngleFillCirUp(double value) {
    setFaceAngle(face_.angleFillCirUp, value);
}

void TOscKnob::setScaleFont(const QFont& value) {
    face_.font = value;
    rebuildFace();
    update();
}

void TOscKnob::setAngleStartScale(double value) {
    selection_.setAngleRange(value, selection_.angleStopScale());
    rebuildFace();
}

void TOscKnob::setAngleStopScale(double value) {
    selection_.setAngleRange(selection_.angleStartScale(), value);
    rebuildFace();
}

// ---- repaint-only setters ----

void TOscKnob::setHCursor(int value) {
    hCursor_ = value;
    update();
}

void TOscKnob::setAngleCursor(double value) {
    angleCursor_ = value;
    update();
}

void TOscKnob::setColorCursor(const QColor& value) {
    colorCursor_ = value;
    update();
}

void TOscKnob::setColorCursorMove(const QColor& value) {
    colorCursorMove_ = value;
    update();
}

void TOscKnob::setColorSelect(const QColor& value) {
    colorSelect_ = value;
    update();
}

void TOscKnob::setCaptionDimHide(bool value) {
    captionDimHide_ = value;
    updateCaption();
    update();
}

void TOscKnob::setCaptionAvtoCenter(bool value) {
    captionAvtoCenter_ = value;
    updateCaption();
    update();
}

void TOscKnob::setHintAvtoSet(bool value) {
    hintAvtoSet_ = value;
    updateCaption();
    update();
}

// ---- selection ----

void TOscKnob::selected(bool changed) {
    if (!changed)
        return;
    updateCaption();
    update();
    emit OnChange(this);
}

void TOscKnob::setAngle(double value) {
    selected(selection_.setAngle(value));
}

void TOscKnob::setIndexSelectData(int value) {
    selected(selection_.setIndexSelectData(value));
}

void TOscKnob::setIndexMaxEnable(int value) {
    const auto result = selection_.setIndexMaxEnable(value);
    if (!result.stored)
        return;
    rebuildFace();
    update();
    selected(result.selectionChanged);
}

void TOscKnob::updateCaption() {
    const auto& entry = selection_.selected();
    const QString text = QString::fromStdString(ScaleEntryText(entry, decimalSeparator(), !captionDimHide_));
    caption_->setText(text);
    // Measured as the label measures itself on its screen, so that no pixel row of the text is cut.
    const QFontMetrics metrics = caption_->fontMetrics();
    const int width = std::max(metrics.horizontalAdvance(text) + 1, caption_->sizeHint().width());
    const int height = std::max(metrics.height(), caption_->sizeHint().height());
    if (captionAvtoCenter_)
        caption_->setGeometry(face_.x - width / 2 + 1, face_.y - height / 2, width, height);
    else
        caption_->resize(width, height);
    if (hintAvtoSet_) {
        const QString hint = QString::fromStdString(entry.Hint);
        setToolTip(hint);
        caption_->setToolTip(hint);
        if (comboBoxSelect_)
            comboBoxSelect_->setToolTip(hint);
    }
    if (comboBoxSelect_)
        comboBoxSelect_->setCurrentIndex(selection_.indexSelectData());
}

// ---- coupled drop-down ----

void TOscKnob::setComboBoxSelect(QComboBox* combo) {
    if (combo == comboBoxSelect_)
        return;
    if (comboBoxSelect_)
        disconnect(comboBoxSelect_, nullptr, this, nullptr);
    comboBoxSelect_ = combo;
    if (!combo)
        return;
    combo->setEditable(false);
    fillComboBox();
    combo->setEnabled(isEnabled());
    combo->setVisible(!isHidden());
    connect(combo, &QComboBox::activated, this, &TOscKnob::comboPicked);
    updateCaption();
}

void TOscKnob::fillComboBox() {
    if (!comboBoxSelect_)
        return;
    const QSignalBlocker quiet(comboBoxSelect_);
    comboBoxSelect_->clear();
    for (const auto& entry : selection_.entries())
        comboBoxSelect_->addItem(QString::fromStdString(ScaleEntryText(entry, decimalSeparator())));
    comboBoxSelect_->setCurrentIndex(selection_.indexSelectData());
}

void TOscKnob::comboPicked(int index) {
    if (index == selection_.indexSelectData())
        return;
    if (selection_.indexMaxEnable() != KnobSelection::kAllEnabled)
        index = std::min(index, selection_.indexMaxEnable() - 1);
    if (!selection_.setIndexSelectData(index)) {
        updateCaption(); // the pick was limited back to the current entry: show it again
        return;
    }
    selected(true);
}

// ---- painting ----

void TOscKnob::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.drawPixmap(0, 0, facePixmap_);
    painter.setRenderHint(QPainter::Antialiasing);

    const QColor pointer = dragging_ ? colorCursorMove_ : isEnabled() ? colorCursor_ : face_.color;
    const double a = selection_.angle();
    const auto p1 = PointOnKnob(face_.x, face_.y, rCursorIn_, a + angleCursor_);
    const auto p2 = PointOnKnob(face_.x, face_.y, rCursorIn_ + hCursor_, a);
    const auto p3 = PointOnKnob(face_.x, face_.y, rCursorIn_, a - angleCursor_);
    const QPoint triangle[3] = {Rounded(p1.x, p1.y), Rounded(p2.x, p2.y), Rounded(p3.x, p3.y)};
    painter.setPen(pointer);
    painter.setBrush(pointer);
    painter.drawPolygon(triangle, 3);

    const bool highlighted = hover_ || dragging_ || hasFocus();
    painter.setPen(highlighted ? colorSelect_ : face_.color);
    painter.setBrush(Qt::NoBrush);
    const int r = face_.rCirDown;
    painter.drawEllipse(QRect(face_.x - r, face_.y - r, 2 * r, 2 * r));
}

void TOscKnob::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (facePixmap_.deviceIndependentSize().toSize() == size())
        return; // the first showing delivers the size the face was already drawn for
    rebuildFace();
    update();
}

// ---- input ----

void TOscKnob::applyPoint(const QPointF& point) {
    selected(selection_.pointTo(face_.x, face_.y, point.x(), point.y()));
}

void TOscKnob::mousePressEvent(QMouseEvent* event) {
    if (!dragging_)
        setFocus(Qt::MouseFocusReason);
    dragging_ = true;
    applyPoint(event->position());
    update();
}

void TOscKnob::mouseMoveEvent(QMouseEvent* event) {
    if (dragging_)
        applyPoint(event->position());
}

void TOscKnob::mouseReleaseEvent(QMouseEvent* event) {
    if (!dragging_)
        return;
    dragging_ = false;
    if (!rect().contains(event->position().toPoint()))
        hover_ = false;
    applyPoint(event->position());
    update();
}

void TOscKnob::wheelEvent(QWheelEvent* event) {
    selected(selection_.wheel(event->angleDelta().y()));
    event->accept();
}

void TOscKnob::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_PageUp:
    case Qt::Key_Up:
    case Qt::Key_Right:
        selected(selection_.stepBy(1));
        break;
    case Qt::Key_PageDown:
    case Qt::Key_Down:
    case Qt::Key_Left:
        selected(selection_.stepBy(-1));
        break;
    case Qt::Key_Home:
        selected(selection_.home());
        break;
    case Qt::Key_End:
        selected(selection_.end());
        break;
    default:
        QWidget::keyPressEvent(event);
        return;
    }
    event->accept();
}

void TOscKnob::enterEvent(QEnterEvent* event) {
    hover_ = true;
    update();
    QWidget::enterEvent(event);
}

void TOscKnob::leaveEvent(QEvent* event) {
    if (!dragging_) {
        hover_ = false;
        update();
    }
    QWidget::leaveEvent(event);
}

void TOscKnob::focusInEvent(QFocusEvent* event) {
    update();
    QWidget::focusInEvent(event);
}

void TOscKnob::focusOutEvent(QFocusEvent* event) {
    update();
    QWidget::focusOutEvent(event);
}

void TOscKnob::changeEvent(QEvent* event) {
    if (event->type() == QEvent::EnabledChange) {
        caption_->setEnabled(isEnabled());
        if (comboBoxSelect_)
            comboBoxSelect_->setEnabled(isEnabled());
        update();
    } else if (event->type() == QEvent::LocaleChange) {
        rebuildFace();
        updateCaption();
        update();
    }
    QWidget::changeEvent(event);
}

void TOscKnob::showEvent(QShowEvent* event) {
    if (comboBoxSelect_ && !event->spontaneous())
        comboBoxSelect_->setVisible(true);
    QWidget::showEvent(event);
}

void TOscKnob::hideEvent(QHideEvent* event) {
    if (comboBoxSelect_ && !event->spontaneous() && isHidden())
        comboBoxSelect_->setVisible(false);
    QWidget::hideEvent(event);
}

} // namespace tesmar
