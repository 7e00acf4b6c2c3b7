#include "TfmTerminal.h"

#include "TerminalHexGrid.h"
#include "TfmTerminalStatus.h"
#include "app/FileDialogs.h"
#include "app/UserMessages.h"
#include "device/UsbSession.h"
#include "terminal/TerminalDataFile.h"
#include "terminal/acquisition/I2CTransfer.h"
#include "text/MessageFormat.h"
#include "text/MessageTable.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace tesmar {

TfmTerminal::TfmTerminal(const TerminalContext& context, QWidget* parent)
    : QWidget(parent, Qt::Window), ctx_(context) {
    setObjectName("fmTerminal");
    setWindowTitle("Терминал");
    pgcntrTerminal = new QTabWidget(this);
    pgcntrTerminal->setObjectName("pgcntrTerminal");
    // The instrument serves only I2C: pages for the other interfaces would stand empty.
    pgcntrTerminal->addTab(buildI2CPage(), "I2C");
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(pgcntrTerminal);

    fmTerminalStatus = new TfmTerminalStatus(ctx_.table, this);
    transfer_ = new I2CTransfer(ctx_.session, this);
    connect(fmTerminalStatus, &TfmTerminalStatus::resetRequested, this, &TfmTerminal::statusReset);
    connect(transfer_, &I2CTransfer::completed, this, &TfmTerminal::transferDone);
    connect(sbI2CRead, &QPushButton::clicked, this, &TfmTerminal::sbI2CReadClick);
    connect(sbI2CWrite, &QPushButton::clicked, this, &TfmTerminal::sbI2CWriteClick);
    connect(sbI2CSaveFileRd, &QPushButton::clicked, this, &TfmTerminal::sbI2CSaveFileRdClick);
    connect(sbI2COpenFileWr, &QPushButton::clicked, this, &TfmTerminal::sbI2COpenFileWrClick);

    askPath = [this](const char* dialog, bool save) {
        const FileDialogKind& kind = FileDialog(dialog);
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

void TfmTerminal::setOthersMeasuring(bool measuring) {
    othersMeasuring_ = measuring;
    sbI2CRead->setEnabled(!measuring);
    sbI2CWrite->setEnabled(!measuring);
}

void TfmTerminal::setLocked(bool locked) {
    if (locked == locked_)
        return;
    locked_ = locked;
    pgcntrTerminal->setEnabled(!locked);
    if (ctx_.lockOthers)
        ctx_.lockOthers(locked);
}

QString TfmTerminal::text(Msg key) const {
    return QString::fromStdString(ctx_.table.text(key));
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
    setLocked(false); // an ended wait brings no completion
}

void TfmTerminal::FormClose() {
    // A transfer still waiting ends as with "Сброс"; the device is reset in any case.
    shutdown();
    ctx_.session.DeviceReset();
}

void TfmTerminal::closeEvent(QCloseEvent* event) {
    FormClose();
    QWidget::closeEvent(event);
}

void TfmTerminal::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

void TfmTerminal::changeEvent(QEvent* event) {
    // A language was applied: the status lines are composed texts.
    if (event->type() == QEvent::LanguageChange && !transfer_->running())
        fmTerminalStatus->setStates(text(Msg::strTermUnused), text(Msg::strTermUnused));
    QWidget::changeEvent(event);
}

void TfmTerminal::sbI2CSaveFileRdClick() {
    const std::optional<QString> path = askPath("sdSaveTerminalData", true);
    if (!path)
        return;
    // The bytes the table shows as valid: after a short slave read fewer than the count box asks.
    if (!SaveTerminalData(path->toStdString(), receive_, strgridI2CBufRd->count()))
        ctx_.messages.error(QString::fromStdString(
            FormatMessage(ctx_.table.text(Msg::strWriteFileError), {path->toStdString()})));
}

void TfmTerminal::sbI2COpenFileWrClick() {
    const std::optional<QString> path = askPath("odOpenTerminalData", false);
    if (!path)
        return;
    const auto bytes = LoadTerminalData(path->toStdString());
    if (!bytes) {
        ctx_.messages.error(QString::fromStdString(
            FormatMessage(ctx_.table.text(Msg::strReadFileError), {path->toStdString()})));
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
