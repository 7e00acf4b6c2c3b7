#include "TfmCLBR.h"

#include "app/TextFit.h"

#include "app/FileDialogs.h"
#include "app/UserMessages.h"
#include "settings/IniFile.h"
#include "text/MessageFormat.h"
#include "text/MessageTable.h"
#include "service/CalibrationFit.h"
#include "service/CalibrationSheet.h"
#include "service/CalibrationTransfer.h"
#include "device/UsbSession.h"

#include <QApplication>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QToolButton>
#include <QVBoxLayout>

#include <qcustomplot.h>

#include <stdexcept>

namespace tesmar {

namespace {

const QString kGrave = QString(QChar(0x0060));
constexpr std::uint8_t kTypeNotSet = 255;

class UserError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

QString Decimal(double value, int decimals = -1)
{
    return decimals < 0 ? QLocale().toString(value, 'g', 15) : QLocale().toString(value, 'f', decimals);
}

// A whole number in [0, maximum] typed in a field named by its label.
unsigned WholeField(const QLineEdit* field, const QLabel* label, unsigned maximum, const MessageTable& table)
{
    bool ok = false;
    const unsigned value = field->text().trimmed().toUInt(&ok);
    if (!ok || value > maximum)
        throw UserError(FormatMessage(table.text(Msg::strClbrWholeNumber),
                                      {label->text().toStdString(), static_cast<unsigned long long>(maximum)}));
    return value;
}

} // namespace

TfmCLBR::TfmCLBR(CalibrationWindowEnvironment environment, QWidget* parent)
    : QDialog(parent), env_(std::move(environment))
{
    setObjectName("fmClbr");
    setWindowTitle("Калибровка");
    createControls();
    showComposedTexts();
    loadedOldPair_ = selectedPair();
}

QString TfmCLBR::msg(Msg key) const
{
    return QString::fromStdString(env_.table.text(key));
}

void TfmCLBR::showComposedTexts()
{
    const QString measured = msg(Msg::strClbrMeasured), reference = msg(Msg::strClbrReference);
    strgridData->setHorizontalHeaderLabels({msg(Msg::strNumber), measured, "A", reference, measured + kGrave});
    const QString names[] = {measured, reference, measured + "'"};
    for (int i = 0; i < 3; ++i)
        chCalibration->graph(i)->setName(names[i]);
    chCalibration->replot();
    if (!fitErrors_) {
        lbErrorMeasured->clear();
        lbErrorCorrected->clear();
        return;
    }
    lbErrorMeasured->setText("d" + measured + " = " + Decimal(fitErrors_->first, 5));
    lbErrorCorrected->setText("d" + measured + kGrave + " " +
                              msg(cbByEndPoint->isChecked() ? Msg::strClbrByEnds : Msg::strClbrByMean) + "= " +
                              Decimal(fitErrors_->second, 5));
}

void TfmCLBR::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange)
        showComposedTexts();
    QDialog::changeEvent(event);
}

void TfmCLBR::createControls()
{
    auto* layout = new QHBoxLayout(this);
    auto* left = new QVBoxLayout;
    layout->addLayout(left);
    left->addWidget(createPairPanel());

    strgridData = new QTableWidget(kRows, 5, this);
    strgridData->setObjectName("strgridData");
    strgridData->verticalHeader()->setVisible(false);
    for (int row = 0; row < kRows; ++row) {
        auto* number = new QTableWidgetItem(QString::number(row + 1));
        number->setFlags(Qt::ItemIsEnabled);
        strgridData->setItem(row, ColNumber, number);
    }
    strgridData->installEventFilter(this);
    strgridData->setCurrentCell(0, ColMeasured);
    left->addWidget(strgridData, 1);
    left->addWidget(createDevicePanel());

    auto* right = new QVBoxLayout;
    layout->addLayout(right, 1);
    createChart();
    right->addWidget(chCalibration, 1);
    lbErrorMeasured = new QLabel(this);
    lbErrorMeasured->setObjectName("lbErrorMeasured");
    lbErrorCorrected = new QLabel(this);
    lbErrorCorrected->setObjectName("lbErrorCorrected");
    right->addWidget(lbErrorMeasured);
    right->addWidget(lbErrorCorrected);
    right->addWidget(createButtonPanel());
    resize(900, 560);
}

QWidget* TfmCLBR::createPairPanel()
{
    auto* box = new QGroupBox(this);
    auto* grid = new QGridLayout(box);
    auto radio = [box](const char* name, const char* caption) {
        auto* button = new QRadioButton(caption, box);
        button->setObjectName(name);
        return button;
    };
    rbCh1K = radio("rbCh1K", "Канал A, K=1/20");
    rbCh1Kx10 = radio("rbCh1Kx10", "Канал A, K=1/2");
    rbCh2K = radio("rbCh2K", "Канал B, K=1/20");
    rbCh2Kx10 = radio("rbCh2Kx10", "Канал B, K=1/2");
    rbCh1K->setChecked(true);
    grid->addWidget(rbCh1K, 0, 0);
    grid->addWidget(rbCh1Kx10, 1, 0);
    grid->addWidget(rbCh2K, 2, 0);
    grid->addWidget(rbCh2Kx10, 3, 0);
    for (QRadioButton* button : {rbCh1K, rbCh1Kx10, rbCh2K, rbCh2Kx10})
        connect(button, &QRadioButton::clicked, this, &TfmCLBR::rbCh1KClick);

    auto edit = [box](const char* name) {
        auto* field = new QLineEdit(box);
        field->setObjectName(name);
        return field;
    };
    edU0 = edit("edU0");
    edK = edit("edK");
    edU0_ = edit("edU0_");
    edK_ = edit("edK_");
    // The pair is shown with 15 significant digits and the locale's separators.
    for (QLineEdit* field : {edU0, edK, edU0_, edK_})
        FitFieldTo(field, WidestGeneralNumber());
    auto* oldCaption = new QLabel("Старые", box);
    oldCaption->setObjectName("lbOld");
    auto* newCaption = new QLabel("Новые", box);
    newCaption->setObjectName("lbNew");
    grid->addWidget(oldCaption, 0, 2);
    grid->addWidget(newCaption, 0, 3);
    grid->addWidget(new QLabel("Uo=", box), 1, 1);
    grid->addWidget(new QLabel("K =", box), 2, 1);
    grid->addWidget(edU0, 1, 2);
    grid->addWidget(edK, 2, 2);
    grid->addWidget(edU0_, 1, 3);
    grid->addWidget(edK_, 2, 3);
    cbByEndPoint = new QCheckBox("По крайним точкам", box);
    cbByEndPoint->setObjectName("cbByEndPoint");
    cbByEndPoint->setChecked(true);
    grid->addWidget(cbByEndPoint, 3, 1, 1, 3);
    return box;
}

QWidget* TfmCLBR::createDevicePanel()
{
    auto* panel = new QWidget(this);
    auto* row = new QHBoxLayout(panel);
    row->setContentsMargins(0, 0, 0, 0);
    lbDeviceType = new QLabel("Тип прибора", panel);
    lbDeviceType->setObjectName("lbDeviceType");
    lbDeviceNum = new QLabel("Номер прибора", panel);
    lbDeviceNum->setObjectName("lbDeviceNum");
    edDeviceType = new QLineEdit(panel);
    edDeviceType->setObjectName("edDeviceType");
    edDeviceNum = new QLineEdit(panel);
    edDeviceNum->setObjectName("edDeviceNum");
    row->addWidget(lbDeviceType);
    row->addWidget(edDeviceType);
    row->addWidget(lbDeviceNum);
    row->addWidget(edDeviceNum);
    return panel;
}

QWidget* TfmCLBR::createButtonPanel()
{
    auto* panel = new QWidget(this);
    auto* grid = new QGridLayout(panel);
    grid->setContentsMargins(0, 0, 0, 0);
    auto button = [panel](const char* name, const char* caption) {
        auto* b = new QPushButton(caption, panel);
        b->setObjectName(name);
        return b;
    };
    auto tool = [panel](const char* name, const char* caption) {
        auto* b = new QToolButton(panel);
        b->setObjectName(name);
        b->setText(caption);
        return b;
    };
    spbtGetUmet = tool("spbtGetUmet", "Uconst -> [Uиз]");
    btCalibration = button("btCalibration", ">>");
    btSetClbr = button("btSetClbr", "<<");
    btSet = button("btSet", "SET");
    btWrClbr = button("btWrClbr", "Write K");
    btRdClbr = button("btRdClbr", "Read K");
    btDefK = button("btDefK", "Default K");
    btSetKToNext = button("btSetKToNext", "\\/");
    btGetKFromNext = button("btGetKFromNext", "/\\");
    spbtClearAll = tool("spbtClearAll", "Clr all");
    spbtClearCur = tool("spbtClearCur", "Clr cur");
    spbtClearCur->setToolTip("Очистить текущий столбец");
    spbtOpen = tool("spbtOpen", "Открыть");
    spbtSave = tool("spbtSave", "Сохранить");
    const QList<QWidget*> order{spbtGetUmet, btCalibration, btSetClbr, btSet,   btWrClbr,     btRdClbr, btDefK,
                                btSetKToNext, btGetKFromNext, spbtClearAll, spbtClearCur, spbtOpen, spbtSave};
    for (int i = 0; i < order.size(); ++i)
        grid->addWidget(order[i], i / 5, i % 5);

    connect(spbtGetUmet, &QToolButton::clicked, this, &TfmCLBR::spbtGetUmetClick);
    connect(btCalibration, &QPushButton::clicked, this, &TfmCLBR::btCalibrationClick);
    connect(btSetClbr, &QPushButton::clicked, this, &TfmCLBR::btSetClbrClick);
    connect(btSet, &QPushButton::clicked, this, &TfmCLBR::btSetClick);
    connect(btWrClbr, &QPushButton::clicked, this, &TfmCLBR::btWrClbrClick);
    connect(btRdClbr, &QPushButton::clicked, this, &TfmCLBR::btRdClbrClick);
    connect(btDefK, &QPushButton::clicked, this, &TfmCLBR::btDefKClick);
    connect(btSetKToNext, &QPushButton::clicked, this, &TfmCLBR::btSetKToNextClick);
    connect(btGetKFromNext, &QPushButton::clicked, this, &TfmCLBR::btGetKFromNextClick);
    connect(spbtClearAll, &QToolButton::clicked, this, &TfmCLBR::spbtClearAllClick);
    connect(spbtClearCur, &QToolButton::clicked, this, &TfmCLBR::spbtClearCurClick);
    connect(spbtOpen, &QToolButton::clicked, this, &TfmCLBR::spbtOpenClick);
    connect(spbtSave, &QToolButton::clicked, this, &TfmCLBR::spbtSaveClick);
    return panel;
}

void TfmCLBR::createChart()
{
    chCalibration = new QCustomPlot(this);
    chCalibration->setObjectName("chCalibration");
    chCalibration->setMinimumSize(300, 200);
    // Measured, reference and corrected; named by the language's texts.
    for (const QColor colour : {QColor(Qt::red), QColor(Qt::darkGreen), QColor(Qt::blue)}) {
        QCPGraph* graph = chCalibration->addGraph();
        graph->setPen(QPen(colour, 2));
        graph->setScatterStyle(QCPScatterStyle::ssCircle);
    }
    chCalibration->legend->setVisible(true);
}

void TfmCLBR::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    FormShow();
}

void TfmCLBR::run(const std::function<void()>& action)
{
    try {
        action();
    } catch (const std::exception& error) {
        env_.messages.error(QString::fromStdString(error.what()));
    }
}

double TfmCLBR::number(const QString& text) const
{
    bool ok = false;
    const double value = QLocale().toDouble(text.trimmed(), &ok);
    if (!ok || !std::isfinite(value))
        throw UserError(FormatMessage(env_.table.text(Msg::strClbrNotNumber), {text.toStdString()}));
    return value;
}

int TfmCLBR::selectedChannel() const
{
    return rbCh2K->isChecked() || rbCh2Kx10->isChecked() ? 1 : 0;
}

AnalogRange TfmCLBR::selectedRange() const
{
    return rbCh1K->isChecked() || rbCh2K->isChecked() ? AnalogRange::Attenuated : AnalogRange::Normal;
}

CalibrationPair& TfmCLBR::selectedPair()
{
    CalibrationSet& set = env_.pairs;
    if (selectedChannel() == 0)
        return selectedRange() == AnalogRange::Attenuated ? set.aAttenuated : set.aNormal;
    return selectedRange() == AnalogRange::Attenuated ? set.bAttenuated : set.bNormal;
}

CalibrationPair& TfmCLBR::otherChannelPair()
{
    CalibrationSet& set = env_.pairs;
    if (selectedChannel() == 1)
        return selectedRange() == AnalogRange::Attenuated ? set.aAttenuated : set.aNormal;
    return selectedRange() == AnalogRange::Attenuated ? set.bAttenuated : set.bNormal;
}

void TfmCLBR::showPair(const CalibrationPair& pair, QLineEdit* zero, QLineEdit* k)
{
    zero->setText(Decimal(pair.zero));
    k->setText(Decimal(pair.voltsPerUnit));
}

CalibrationPair TfmCLBR::typedPair(QLineEdit* zero, QLineEdit* k) const
{
    return {number(zero->text()), number(k->text())};
}

void TfmCLBR::FormShow()
{
    rbCh1KClick();
    showDevice();
}

void TfmCLBR::showDevice()
{
    const std::uint8_t type = env_.record ? env_.record->instrumentType() : kTypeNotSet;
    edDeviceType->setText(env_.record ? QString::number(type) : QString());
    edDeviceNum->setText(env_.record ? QString::number(env_.record->instrumentNumber()) : QString());
    const bool notSet = type == kTypeNotSet;
    for (QLabel* caption : {lbDeviceType, lbDeviceNum}) {
        QFont font = caption->font();
        font.setBold(notSet);
        caption->setFont(font);
        caption->setStyleSheet(notSet ? "color: red" : "color: black");
    }
    if (notSet) {
        edDeviceType->setFocus();
        QApplication::beep();
    }
}

void TfmCLBR::rbCh1KClick()
{
    loadedOldPair_ = selectedPair();
    showPair(loadedOldPair_, edU0, edK);
    showPair(loadedOldPair_, edU0_, edK_);
}

QString TfmCLBR::cellText(int row, int column) const
{
    const QTableWidgetItem* item = strgridData->item(row, column);
    return item ? item->text().trimmed() : QString();
}

void TfmCLBR::setCell(int row, int column, const QString& text)
{
    if (QTableWidgetItem* item = strgridData->item(row, column))
        item->setText(text);
    else
        strgridData->setItem(row, column, new QTableWidgetItem(text));
}

bool TfmCLBR::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == strgridData && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            strgridDataKeyPress();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TfmCLBR::strgridDataKeyPress()
{
    const int row = strgridData->currentRow();
    if (strgridData->currentColumn() == ColMeasured)
        strgridData->setCurrentCell(row, ColReference);
    else
        strgridData->setCurrentCell(std::min(row + 1, kRows - 1), ColMeasured);
}

void TfmCLBR::spbtGetUmetClick()
{
    const int channel = selectedChannel();
    const std::optional<SignalParams> params = env_.oscParams ? env_.oscParams(channel) : std::nullopt;
    if (!params) {
        env_.messages.error(QString::fromStdString(
            FormatMessage(env_.table.text(Msg::strClbrNoSignal), {std::string(channel ? "B" : "A")})));
        return;
    }
    const int row = std::max(strgridData->currentRow(), 0);
    setCell(row, ColMeasured, Decimal(params->Uconst, 4));
    strgridData->setCurrentCell(std::min(row + 1, kRows - 1), strgridData->currentColumn());
}

void TfmCLBR::btCalibrationClick()
{
    run([this] {
        const CalibrationPair old = typedPair(edU0, edK);
        loadedOldPair_ = old;
        std::vector<CalibrationRow> rows;
        std::vector<double> measured, reference;
        for (int row = 0; row < kRows && !cellText(row, ColMeasured).isEmpty() && !cellText(row, ColReference).isEmpty();
             ++row) {
            rows.push_back({number(cellText(row, ColMeasured)), number(cellText(row, ColReference))});
            measured.push_back(rows.back().measured);
            reference.push_back(rows.back().reference);
        }
        if (rows.empty())
            return;
        const CalibrationFit fit = FitCalibration(rows, old, cbByEndPoint->isChecked());
        showFit(measured, reference, fit);
        showPair(fit.pair, edU0_, edK_);
        QApplication::beep();
    });
}

void TfmCLBR::showFit(const std::vector<double>& measured, const std::vector<double>& reference,
                      const CalibrationFit& fit)
{
    QVector<double> x, ue, uiz, corrected;
    for (std::size_t i = 0; i < fit.codes.size(); ++i) {
        setCell(static_cast<int>(i), ColCode, Decimal(fit.codes[i], 3));
        setCell(static_cast<int>(i), ColCorrected, Decimal(fit.corrected[i], 3));
        x << static_cast<double>(i + 1);
        ue << reference[i];
        uiz << measured[i];
        corrected << fit.corrected[i];
    }
    chCalibration->graph(0)->setData(x, uiz);
    chCalibration->graph(1)->setData(x, ue);
    chCalibration->graph(2)->setData(x, corrected);
    chCalibration->rescaleAxes();
    chCalibration->replot();
    fitErrors_ = std::make_pair(fit.measuredError, fit.correctedError);
    showComposedTexts();
}

void TfmCLBR::btSetClbrClick()
{
    run([this] {
        const CalibrationPair pair = typedPair(edU0_, edK_);
        selectedPair() = pair;
        loadedOldPair_ = pair;
        showPair(pair, edU0, edK);
    });
}

void TfmCLBR::btSetClick()
{
    run([this] {
        const CalibrationPair pair = typedPair(edU0, edK);
        selectedPair() = pair;
        loadedOldPair_ = pair;
        showPair(pair, edU0_, edK_);
    });
}

void TfmCLBR::btWrClbrClick()
{
    run([this] {
        if (!env_.session.isAttached())
            throw UserError(env_.table.text(Msg::strInitError));
        const CalibrationPair pair = typedPair(edU0_, edK_);
        const auto type = static_cast<std::uint8_t>(WholeField(edDeviceType, lbDeviceType, 255, env_.table));
        const auto serial = static_cast<std::uint16_t>(WholeField(edDeviceNum, lbDeviceNum, 65535, env_.table));
        selectedPair() = pair;
        loadedOldPair_ = pair;
        showPair(pair, edU0, edK);
        // Without a record read from the instrument the uninterpreted bytes are those of erased memory.
        CalibrationRecord record;
        if (env_.record)
            record = *env_.record;
        else
            record.bytes.fill(0xFF);
        record.setPairs(env_.pairs);
        record.setInstrumentType(type);
        record.setInstrumentNumber(serial);
        if (!WriteAndVerifyCalibrationRecord(env_.session, record))
            throw UserError(env_.table.text(Msg::strClbrWriteError));
        env_.record = record;
    });
}

void TfmCLBR::btRdClbrClick()
{
    const std::optional<CalibrationRecord> record = ReadCalibrationRecord(env_.session);
    if (!record) {
        env_.messages.error(msg(Msg::strClbrReadError));
        return;
    }
    env_.record = record;
    if (!record->isBlank())
        env_.pairs = record->pairs();
    showDevice();
    rbCh1KClick();
}

void TfmCLBR::btDefKClick()
{
    env_.pairs = CalibrationSet{};
    rbCh1KClick();
}

void TfmCLBR::btSetKToNextClick()
{
    otherChannelPair() = loadedOldPair_;
}

void TfmCLBR::btGetKFromNextClick()
{
    const CalibrationPair pair = otherChannelPair();
    showPair(pair, edU0, edK);
    showPair(pair, edU0_, edK_);
}

void TfmCLBR::spbtClearAllClick()
{
    for (int row = 0; row < kRows; ++row)
        for (int column = ColMeasured; column <= ColCorrected; ++column)
            setCell(row, column, {});
}

void TfmCLBR::spbtClearCurClick()
{
    const int column = strgridData->currentColumn();
    if (column < ColMeasured || column > ColCorrected)
        return;
    for (int row = 0; row < kRows; ++row)
        setCell(row, column, {});
}

CalibrationSheet TfmCLBR::sheet() const
{
    CalibrationSheet result;
    for (int row = 0; row < kRows && !cellText(row, ColMeasured).isEmpty() && !cellText(row, ColReference).isEmpty();
         ++row)
        result.rows.push_back({cellText(row, ColMeasured).toStdString(), cellText(row, ColReference).toStdString()});
    result.u0 = edU0->text().toStdString();
    result.k = edK->text().toStdString();
    result.u0New = edU0_->text().toStdString();
    result.kNew = edK_->text().toStdString();
    return result;
}

bool TfmCLBR::saveFile(const QString& path)
{
    IniFile file;
    file.setPath(path.toStdString());
    WriteCalibrationSheet(file, sheet());
    if (!file.save()) {
        env_.messages.error(QString::fromStdString(FormatMessage(env_.table.text(Msg::strWriteFileError), {path.toStdString()})));
        return false;
    }
    return true;
}

bool TfmCLBR::openFile(const QString& path)
{
    IniFile file(path.toStdString());
    if (!file.load()) {
        env_.messages.error(QString::fromStdString(FormatMessage(env_.table.text(Msg::strReadFileError), {path.toStdString()})));
        return false;
    }
    spbtClearAllClick();
    CalibrationSheet read = sheet();
    ReadCalibrationSheet(file, read);
    for (std::size_t row = 0; row < read.rows.size(); ++row) {
        setCell(static_cast<int>(row), ColMeasured, QString::fromStdString(read.rows[row].measured));
        setCell(static_cast<int>(row), ColReference, QString::fromStdString(read.rows[row].reference));
    }
    edU0->setText(QString::fromStdString(read.u0));
    edK->setText(QString::fromStdString(read.k));
    edU0_->setText(QString::fromStdString(read.u0New));
    edK_->setText(QString::fromStdString(read.kNew));
    return true;
}

void TfmCLBR::spbtOpenClick()
{
    if (const auto path = AskOpenPath(this, env_.folders, FileDialog("odOpenClbr")))
        openFile(*path);
}

void TfmCLBR::spbtSaveClick()
{
    if (const auto path = AskSavePath(this, env_.folders, FileDialog("sdSaveClbr"), env_.messages, env_.table))
        saveFile(*path);
}

} // namespace tesmar
