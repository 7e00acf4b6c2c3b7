#include "TfmTerminal.h"

#include "TerminalHexGrid.h"
#include "TfmTerminalStatus.h"
#include "app/FileDialogs.h"
#include "app/UserMessages.h"
#include "device/UsbSession.h"
#include "terminal/TerminalDataFile.h"
#include "terminal/acquisition/I2CTransfer.h"

#include <QCloseEvent>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace tesmar {

namespace {

const char* const kPages[] = {"UART", "SPI", "I2C", "1-Wire"};
constexpr int kI2CPage = 2;
const QString kAllFiles = "Все файлы (*.*)";

} // namespace

TfmTerminal::TfmTerminal(const TerminalContext& context, QWidget* parent)
    : QWidget(parent, Qt::Window), ctx_(context) {
    setObjectName("fmTerminal");
    setWindowTitle("Терминал");
    setWindowModality(Qt::ApplicationModal);
    pgcntrTerminal = new QTabWidget(this);
    pgcntrTerminal->setObjectName("pgcntrTerminal");
    for (int i = 0; i < 4; ++i) {
        QWidget* page = i == kI2CPage ? buildI2CPage() : new QWidget(pgcntrTerminal);
        pgcntrTerminal->addTab(page, kPages[i]);
    }
    pgcntrTerminal->setCurrentIndex(kI2CPage);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(pgcntrTerminal);

    fmTerminalStatus = new TfmTerminalStatus(this);
    transfer_ = new I2CTransfer(ctx_.session, this);
    connect(fmTerminalStatus, &TfmTerminalStatus::resetRequested, this, &TfmTerminal::statusReset);
    connect(transfer_, &I2CTransfer::completed, this, &TfmTerminal::transferDone);
    connect(sbI2CRead, &QPushButton::clicked, this, &TfmTerminal::sbI2CReadClick);
    connect(sbI2CWrite, &QPushButton::clicked, this, &TfmTerminal::sbI2CWriteClick);
    connect(sbI2CSaveFileRd, &QPushButton::clicked, this, &TfmTerminal::sbI2CSaveFileRdClick);
    connect(sbI2COpenFileWr, &QPushButton::clicked, this, &TfmTerminal::sbI2COpenFileWrClick);

    askPath = [this](const char* dialog, bool save) {
        const FileDialogKind kind{dialog, kAllFiles, QString()};
        return save ? AskSavePath(this, ctx_.folders, kind, ctx_.messages, ctx_.table)
                    : AskOpenPath(this, ctx_.folders, kind);
    };
    resize(820, 640);
}

TfmTerminal::~TfmTerminal() = default;

void TfmTerminal::showPage(const QString& interfaceName) {
    for (int i = 0; i < pgcntrTerminal->count(); ++i)
        if (pgcntrTerminal->tabText(i) == interfaceName)
            pgcntrTerminal->setCurrentIndex(i);
    show();
    raise();
    activateWindow();
}

void TfmTerminal::readSettings(const IniFile& ini) {
    TerminalSettings s{groupSettings(false), groupSettings(true)};
    ReadTerminalSettings(ini, s);
    applyGroupSettings(false, s.read);
    applyGroupSettings(true, s.write);
}

void TfmTerminal::writeSettings(IniFile& ini) const {
    WriteTerminalSettings(ini, {groupSettings(false), groupSettings(true)});
}

bool TfmTerminal::transferRunning() const {
    return transfer_->running();
}

void TfmTerminal::shutdown() {
    transfer_->shutdown();
    fmTerminalStatus->closeQuietly();
}

void TfmTerminal::FormClose() {
    // A transfer still waiting ends as with "Сброс"; the device is reset in any case.
    shutdown();
    pgcntrTerminal->setEnabled(true);
    ctx_.session.DeviceReset();
}

void TfmTerminal::closeEvent(QCloseEvent* event) {
    FormClose();
    QWidget::closeEvent(event);
}

void TfmTerminal::sbI2CSaveFileRdClick() {
    const std::optional<QString> path = askPath("sdSaveTerminalData", true);
    if (!path)
        return;
    if (!SaveTerminalData(path->toStdString(), receive_, udI2CCountRd->value()))
        ctx_.messages.error("Не удалось записать файл " + *path);
}

void TfmTerminal::sbI2COpenFileWrClick() {
    const std::optional<QString> path = askPath("odOpenTerminalData", false);
    if (!path)
        return;
    const auto bytes = LoadTerminalData(path->toStdString());
    if (!bytes) {
        ctx_.messages.error("Не удалось прочитать файл " + *path);
        return;
    }
    transmit_.fill(0);
    std::copy(bytes->begin(), bytes->end(), transmit_.begin());
    const int count = static_cast<int>(bytes->size());
    strgridI2CBufWr->setCount(count);
    const QSignalBlocker block(udI2CCountWr);
    udI2CCountWr->setValue(count); // an empty file leaves the up-down at its least, 1
}

} // namespace tesmar
