#include "TfmFiltr.h"

#include "app/TextFit.h"

#include "app/FileDialogs.h"
#include "app/UserMessages.h"
#include "app/options/OptionVariables.h"
#include "text/MessageFormat.h"
#include "text/MessageTable.h"
#include "filter/FilterFile.h"

#include <qcustomplot.h>

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QToolButton>
#include <QVBoxLayout>

#include <cmath>

namespace tesmar {

namespace {

constexpr int kPointGripPixels = 6;
constexpr int kSegmentGripPixels = 4;

const FileDialogKind& kFilterFiles = FileDialog("odOpenFlt");
const FileDialogKind& kFilterSaveFiles = FileDialog("sdSaveFlt");

QToolButton* Button(QWidget* parent, const char* name, const QString& caption, const QString& hint, bool checkable)
{
    auto* b = new QToolButton(parent);
    b->setObjectName(name);
    b->setText(caption);
    b->setToolTip(hint);
    b->setStatusTip(hint);
    b->setCheckable(checkable);
    return b;
}

double DistanceToSegment(const QPointF& p, const QPointF& a, const QPointF& b)
{
    const QPointF d = b - a;
    const double length2 = d.x() * d.x() + d.y() * d.y();
    double t = length2 > 0 ? ((p.x() - a.x()) * d.x() + (p.y() - a.y()) * d.y()) / length2 : 0.0;
    t = std::clamp(t, 0.0, 1.0);
    const QPointF nearest = a + t * d;
    return std::hypot(p.x() - nearest.x(), p.y() - nearest.y());
}

} // namespace

TfmFiltr::TfmFiltr(std::array<FilterResponse, 2>& responses, const OptionVariables& options, const MessageTable& table,
                   UserMessages& messages, DialogFolders& folders, QWidget* parent)
    : QDialog(parent), responses_(responses), options_(options), table_(table), messages_(messages), folders_(folders)
{
    setObjectName("fmFiltr");
    setWindowFlag(Qt::WindowStaysOnTopHint);
    setModal(false);
    resize(640, 420);
    auto* column = new QVBoxLayout(this);
    auto* tools = new QHBoxLayout;
    spbtNew = Button(this, "spbtNew", "Новый", "Задать новые параметры", false);
    spbtOpen = Button(this, "spbtOpen", "Открыть", "Открыть файл с параметрами", false);
    spbtSave = Button(this, "spbtSave", "Сохранить", "Сохранить параметры в файл", false);
    spbtFlog = Button(this, "spbtFlog", "Log", "Ось частоты линейная / логарифмическая", true);
    spbtKdB = Button(this, "spbtKdB", "дБ", "Коэффициент передачи в разах / дБ", true);
    spbtExit = Button(this, "spbtExit", "Готово", "Установить параметры фильтра и закрыть это окно", false);
    for (QToolButton* b : {spbtNew, spbtOpen, spbtSave, spbtFlog, spbtKdB})
        tools->addWidget(b);
    auto field = [this](const char* name, const QString& hint, const QString& widest) {
        auto* e = new QLineEdit(this);
        e->setObjectName(name);
        e->setToolTip(hint + " (после ввода числа нажмите Enter)");
        FitFieldTo(e, widest); // in the locale's digits and separators
        e->setMaximumWidth(e->minimumWidth());
        e->installEventFilter(this);
        return e;
    };
    // Gains to three decimals, the frequency up to 200 000 Hz.
    const QString widestGain = QLocale().toString(-999.999, 'f', 3);
    edKmax = field("edKmax", "Верхняя граница коэффициента передачи", widestGain);
    edKmin = field("edKmin", "Нижняя граница коэффициента передачи", widestGain);
    edFmax = field("edFmax", "Верхняя граница частоты", QLocale().toString(200000));
    lbKmaxUnit = new QLabel(this);
    lbKminUnit = new QLabel(this);
    tools->addWidget(new QLabel("Kmax=", this));
    tools->addWidget(edKmax);
    tools->addWidget(lbKmaxUnit);
    tools->addWidget(new QLabel("Kmin=", this));
    tools->addWidget(edKmin);
    tools->addWidget(lbKminUnit);
    tools->addWidget(new QLabel("Fmax=", this));
    tools->addWidget(edFmax);
    tools->addWidget(new QLabel("Гц", this));
    tools->addStretch(1);
    tools->addWidget(spbtExit);
    column->addLayout(tools);

    chFiltr = new QCustomPlot(this);
    chFiltr->setObjectName("chFiltr");
    chFiltr->setMinimumSize(300, 200);
    chFiltr->setToolTip(msg(Msg::strFltHint));
    chFiltr->xAxis->setLabel(msg(Msg::strFFTFrec_Hz));
    srFiltr = chFiltr->addGraph();
    srFiltr->setName("srFiltr");
    srFiltr->setPen(QPen(Qt::darkBlue, 2));
    srFiltr->setScatterStyle(QCPScatterStyle(QCPScatterStyle::ssCircle, 7));
    chFiltr->installEventFilter(this);
    column->addWidget(chFiltr, 1);
    stbarFiltr = new QLabel(this);
    stbarFiltr->setObjectName("stbarFiltr");
    column->addWidget(stbarFiltr);

    connect(spbtNew, &QToolButton::clicked, this, &TfmFiltr::spbtNewClick);
    connect(spbtOpen, &QToolButton::clicked, this, &TfmFiltr::spbtOpenClick);
    connect(spbtSave, &QToolButton::clicked, this, &TfmFiltr::spbtSaveClick);
    connect(spbtFlog, &QToolButton::clicked, this, &TfmFiltr::spbtFlogClick);
    connect(spbtKdB, &QToolButton::clicked, this, &TfmFiltr::spbtKdBClick);
    connect(spbtExit, &QToolButton::clicked, this, &TfmFiltr::spbtExitClick);
    connect(edKmax, &QLineEdit::returnPressed, this, &TfmFiltr::edKmaxKeyDown);
    connect(edKmin, &QLineEdit::returnPressed, this, &TfmFiltr::edKminKeyDown);
    connect(edFmax, &QLineEdit::returnPressed, this, &TfmFiltr::edFmaxKeyDown);
}

QString TfmFiltr::msg(Msg key) const
{
    return QString::fromStdString(table_.text(key));
}

char TfmFiltr::decimalSeparator() const
{
    return QLocale().decimalPoint().at(0).toLatin1();
}

void TfmFiltr::OpenDesigner(int channel, QCheckBox* autoOnBox, FilterOwnerPage page)
{
    if (!isVisible()) {
        channel_ = std::clamp(channel, 0, 1);
        autoOnBox_ = autoOnBox;
        ownerPage_ = page;
        setWindowTitle(msg(channel_ == 0 ? Msg::strSetFltParamChA : Msg::strSetFltParamChB));
    }
    show();
    raise();
    activateWindow();
}

void TfmFiltr::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    FormShow();
}

void TfmFiltr::FormShow()
{
    if (!edited().designed())
        edited() = DefaultFilterResponse();
    loadIntoControls();
}

void TfmFiltr::showNumber(QLineEdit* field, double value)
{
    field->setText(QLocale().toString(value, 'g', 15));
}

void TfmFiltr::loadIntoControls()
{
    const FilterResponse& r = edited();
    showNumber(edKmax, r.Kmax);
    showNumber(edKmin, r.Kmin);
    showNumber(edFmax, r.Fmax);
    spbtKdB->setChecked(r.KdB);
    spbtFlog->setChecked(r.Flog);
    chFiltr->yAxis->setLabel(msg(r.KdB ? Msg::strKpdB : Msg::strKpUnit));
    lbKmaxUnit->setText(msg(r.KdB ? Msg::strDimdB : Msg::strDimUnit));
    lbKminUnit->setText(lbKmaxUnit->text());
    chFiltr->yAxis->setRange(r.Kmin, r.Kmax);
    chFiltr->xAxis->setScaleType(r.Flog ? QCPAxis::stLogarithmic : QCPAxis::stLinear);
    chFiltr->xAxis->setRange(r.Flog ? 1.0 : 0.0, r.Fmax);
    drawCurve();
}

void TfmFiltr::drawCurve()
{
    QVector<double> x, y;
    for (const FilterPoint& p : edited().points) {
        x << p.frequency;
        y << (edited().KdB ? ToDb(p.gain) : p.gain);
    }
    srFiltr->setData(x, y, true);
    chFiltr->replot();
}

std::optional<double> TfmFiltr::parseField(QLineEdit* field)
{
    bool ok = false;
    const double v = QLocale().toDouble(field->text().trimmed(), &ok);
    if (!ok || !std::isfinite(v)) {
        messages_.error(QString::fromStdString(FormatMessage(table_.text(Msg::strBadNumber), {field->text().toStdString()})));
        return std::nullopt;
    }
    return v;
}

void TfmFiltr::edKmaxKeyDown()
{
    if (auto v = parseField(edKmax)) {
        if (ApplyKmax(edited(), *v) == FilterEntryError::KmaxNotAboveKmin)
            messages_.error(msg(Msg::strKmaxMoreKmin));
    }
    loadIntoControls();
}

void TfmFiltr::edKminKeyDown()
{
    if (auto v = parseField(edKmin)) {
        if (ApplyKmin(edited(), *v) == FilterEntryError::KminNotBelowKmax)
            messages_.error(msg(Msg::strKminLessKmax));
    }
    loadIntoControls();
}

void TfmFiltr::edFmaxKeyDown()
{
    if (auto v = parseField(edFmax))
        ApplyFmax(edited(), *v);
    loadIntoControls();
}

void TfmFiltr::spbtKdBClick()
{
    SetGainInDb(edited(), spbtKdB->isChecked());
    loadIntoControls();
}

void TfmFiltr::spbtFlogClick()
{
    edited().Flog = spbtFlog->isChecked();
    loadIntoControls();
}

void TfmFiltr::spbtNewClick()
{
    edited() = DefaultFilterResponse();
    loadIntoControls();
}

bool TfmFiltr::openFile(const QString& path)
{
    auto read = ReadFilterFile(path.toStdString(), edited(), decimalSeparator());
    if (auto* problem = std::get_if<std::string>(&read)) {
        messages_.error(QString::fromStdString(
            FormatMessage(table_.text(Msg::strFilterOpenError), {path.toStdString(), *problem})));
        return false;
    }
    edited() = std::get<FilterResponse>(read);
    if (!edited().designed())
        edited() = DefaultFilterResponse();
    loadIntoControls();
    return true;
}

bool TfmFiltr::saveFile(const QString& path)
{
    if (!WriteFilterFile(path.toStdString(), edited(), decimalSeparator())) {
        messages_.error(QString("Не удалось записать файл:\n%1").arg(path));
        return false;
    }
    return true;
}

void TfmFiltr::spbtOpenClick()
{
    if (auto path = AskOpenPath(this, folders_, kFilterFiles))
        openFile(*path);
}

void TfmFiltr::spbtSaveClick()
{
    if (auto path = AskSavePath(this, folders_, kFilterSaveFiles, messages_, table_))
        saveFile(*path);
}

void TfmFiltr::spbtExitClick()
{
    const bool autoOn = ownerPage_ == FilterOwnerPage::Oscilloscope ? options_.osc_avto_on_flt : options_.fft_avto_on_flt;
    if (autoOn && autoOnBox_)
        autoOnBox_->setChecked(true);
    close();
}

int TfmFiltr::pointAt(const QPointF& p) const
{
    const auto& points = responses_[channel_].points;
    for (int i = 0; i < static_cast<int>(points.size()); ++i) {
        const double y = responses_[channel_].KdB ? ToDb(points[i].gain) : points[i].gain;
        const QPointF at(chFiltr->xAxis->coordToPixel(points[i].frequency), chFiltr->yAxis->coordToPixel(y));
        if (std::hypot(at.x() - p.x(), at.y() - p.y()) <= kPointGripPixels)
            return i;
    }
    return -1;
}

int TfmFiltr::segmentAt(const QPointF& p) const
{
    const auto& points = responses_[channel_].points;
    auto pixel = [&](const FilterPoint& fp) {
        const double y = responses_[channel_].KdB ? ToDb(fp.gain) : fp.gain;
        return QPointF(chFiltr->xAxis->coordToPixel(fp.frequency), chFiltr->yAxis->coordToPixel(y));
    };
    for (int i = 0; i + 1 < static_cast<int>(points.size()); ++i)
        if (DistanceToSegment(p, pixel(points[i]), pixel(points[i + 1])) <= kSegmentGripPixels)
            return i;
    return -1;
}

double TfmFiltr::gainAt(double y) const
{
    const double value = chFiltr->yAxis->pixelToCoord(y);
    return responses_[channel_].KdB ? FromDb(value) : value;
}

void TfmFiltr::chFiltrMouseDown(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    const QPointF p = event->position();
    int point = pointAt(p);
    if (point < 0) {
        const int segment = segmentAt(p);
        if (segment < 0)
            return;
        const FilterPoint inserted{chFiltr->xAxis->pixelToCoord(p.x()), gainAt(p.y())};
        if (!InsertPoint(edited(), segment, inserted))
            return;
        point = segment + 1;
        drawCurve();
    } else if (event->modifiers() & Qt::ControlModifier) {
        if (DeletePoint(edited(), point))
            drawCurve();
        return;
    }
    dragged_ = point;
    pressX_ = p.x();
    chFiltr->setToolTip({});
}

void TfmFiltr::chFiltrMouseMove(QMouseEvent* event)
{
    if (dragged_ < 0)
        return;
    const QRect plot = chFiltr->axisRect()->rect();
    const double x = std::clamp(event->position().x(), double(plot.left()), double(plot.right()));
    const double y = std::clamp(event->position().y(), double(plot.top()), double(plot.bottom()));
    FilterPoint& p = edited().points[dragged_];
    p.gain = gainAt(y);
    p.frequency = DraggedFrequency(edited(), dragged_, chFiltr->xAxis->pixelToCoord(x), x < pressX_);
    drawCurve();
    showDraggedPoint();
}

void TfmFiltr::showDraggedPoint()
{
    const FilterPoint& p = edited().points[dragged_];
    const bool dB = edited().KdB;
    const std::string text = FormatMessage(table_.text(dB ? Msg::strPointPosdB : Msg::strPointPosUnit),
                                           {dB ? ToDb(p.gain) : p.gain, p.frequency});
    stbarFiltr->setText(QString::fromStdString(text));
}

void TfmFiltr::chFiltrMouseUp()
{
    if (dragged_ < 0)
        return;
    dragged_ = -1;
    chFiltr->setToolTip(msg(Msg::strFltHint));
    stbarFiltr->clear();
}

bool TfmFiltr::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == chFiltr) {
        switch (event->type()) {
        case QEvent::MouseButtonPress:
            chFiltrMouseDown(static_cast<QMouseEvent*>(event));
            return true;
        case QEvent::MouseMove:
            chFiltrMouseMove(static_cast<QMouseEvent*>(event));
            return dragged_ >= 0;
        case QEvent::MouseButtonRelease:
            chFiltrMouseUp();
            return true;
        default:
            break;
        }
    }
    if ((watched == edKmax || watched == edKmin || watched == edFmax) && event->type() == QEvent::KeyPress) {
        // Numbers only: digits, one separator, a minus for the gains, control keys.
        const QString text = static_cast<QKeyEvent*>(event)->text();
        if (text.isEmpty() || text.at(0).category() == QChar::Other_Control || text.at(0).isDigit())
            return false;
        auto* field = static_cast<QLineEdit*>(watched);
        const QChar c = text.at(0);
        if (c == QChar(decimalSeparator()) && !field->text().contains(c))
            return false;
        if (c == '-' && watched != edFmax && !field->text().contains('-'))
            return false;
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void TfmFiltr::changeEvent(QEvent* event)
{
    // A language was applied: the titles and units that follow the dB button come from the table.
    if (event->type() == QEvent::LanguageChange) {
        chFiltr->xAxis->setLabel(msg(Msg::strFFTFrec_Hz));
        chFiltr->yAxis->setLabel(msg(spbtKdB->isChecked() ? Msg::strKpdB : Msg::strKpUnit));
        lbKmaxUnit->setText(msg(spbtKdB->isChecked() ? Msg::strDimdB : Msg::strDimUnit));
        lbKminUnit->setText(lbKmaxUnit->text());
        chFiltr->setToolTip(msg(Msg::strFltHint));
        chFiltr->replot(QCustomPlot::rpQueuedReplot);
    }
    QDialog::changeEvent(event);
}

} // namespace tesmar
