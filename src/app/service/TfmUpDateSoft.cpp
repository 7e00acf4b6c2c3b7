#include "TfmUpDateSoft.h"
#include "text/MessageFormat.h"

#include "app/FileDialogs.h"
#include "app/UserMessages.h"
#include "text/MessageTable.h"
#include "service/FirmwareUpdate.h"
#include "service/acquisition/FirmwareUpdateThread.h"

#include <QApplication>
#include <QFileInfo>
#include <QLabel>
#include <QProgressBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace tesmar {

namespace {
const FileDialogKind& kFirmwareFiles = FileDialog("opdlgOpenUpDateFile");
const char* const kDownloadPage = "https://tesmar.example.org/firmware";
} // namespace

TfmUpDateSoft::TfmUpDateSoft(UsbSession& session, const MessageTable& table, UserMessages& messages,
                             DialogFolders& folders, QWidget* parent)
    : QDialog(parent), session_(session), table_(table), messages_(messages), folders_(folders)
{
    setObjectName("fmUpDateSoft");
    setWindowTitle("Обновление ПО устройства");
    setModal(true);
    auto* layout = new QVBoxLayout(this);
    auto label = [this, layout](const char* name, const QString& text = {}) {
        auto* l = new QLabel(text, this);
        if (name)
            l->setObjectName(name);
        l->setWordWrap(true);
        layout->addWidget(l);
        return l;
    };
    label(nullptr, "<b>Предупреждение.</b>");
    label(nullptr, "Ни в коем случая не прошиваете ПО не относящиеся к данному устройству, так как это приведет к "
                   "полной утрате работоспособности Вашего устройства.");
    auto* link = label(nullptr, QString("<a href=\"%1\">%1</a>").arg(kDownloadPage));
    link->setOpenExternalLinks(true);
    lbCurFileVer = label("lbCurFileVer");
    lbUpDateFileName = label("lbUpDateFileName");
    lbUpDateFileSize = label("lbUpDateFileSize");
    lbUpDateFileVer = label("lbUpDateFileVer");

    auto* buttons = new QHBoxLayout;
    spOpenFileUpData = new QToolButton(this);
    spOpenFileUpData->setObjectName("spOpenFileUpData");
    spOpenFileUpData->setText("Открыть  ");
    spStartUpData = new QToolButton(this);
    spStartUpData->setObjectName("spStartUpData");
    spStartUpData->setText("Обновить");
    buttons->addWidget(spOpenFileUpData);
    buttons->addWidget(spStartUpData);
    buttons->addStretch(1);
    layout->addLayout(buttons);
    progbarUpDate = new QProgressBar(this);
    progbarUpDate->setObjectName("progbarUpDate");
    layout->addWidget(progbarUpDate);
    stpnSatusUpDate = label("stpnSatusUpDate");
    stpnSatusUpDate->setFrameShape(QFrame::StyledPanel);

    connect(spOpenFileUpData, &QToolButton::clicked, this, &TfmUpDateSoft::spOpenFileUpDataClick);
    connect(spStartUpData, &QToolButton::clicked, this, &TfmUpDateSoft::spStartUpDataClick);
    resize(520, 320);
}

TfmUpDateSoft::~TfmUpDateSoft()
{
    if (thread_)
        thread_->wait(); // the update is never cut; the thread uses the session to its end
}

QString TfmUpDateSoft::msg(Msg key) const
{
    return QString::fromStdString(table_.text(key));
}

void TfmUpDateSoft::setStatus(Msg key)
{
    stpnSatusUpDate->setText(msg(key));
    stpnSatusUpDate->repaint();
}

void TfmUpDateSoft::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    FormShow();
}

void TfmUpDateSoft::FormShow()
{
    setStatus(Msg::strUpDateShPn);
    lbUpDateFileName->setText(msg(Msg::strUpDateShFN));
    lbUpDateFileSize->setText(msg(Msg::strUpDateShFS));
    lbUpDateFileVer->setText(msg(Msg::strUpDateShVer));
    spStartUpData->setEnabled(false);
    progbarUpDate->setValue(0);
    const auto version = InstalledFirmwareVersion(session_);
    installed_ = version;
    lbCurFileVer->setText(msg(Msg::strUpDateShCurVer) +
                          (version ? QString::fromStdString(FormatFirmwareVersion(*version)) : msg(Msg::strUpDateNoVer)));
}

void TfmUpDateSoft::spOpenFileUpDataClick()
{
    if (const auto path = AskOpenPath(this, folders_, kFirmwareFiles))
        openFile(*path);
}

bool TfmUpDateSoft::openFile(const QString& path)
{
    switch (image_.loadFile(path.toStdString())) {
    case FirmwareImage::LoadResult::Loaded: break;
    case FirmwareImage::LoadResult::TooLarge: messages_.error(msg(Msg::strUpDateErrOF)); return false;
    case FirmwareImage::LoadResult::Empty: messages_.error(QString::fromStdString(FormatMessage(table_.text(Msg::strFirmwareEmpty), {path.toStdString()}))); return false;
    case FirmwareImage::LoadResult::Unreadable: messages_.error(QString::fromStdString(FormatMessage(table_.text(Msg::strReadFileError), {path.toStdString()}))); return false;
    }
    setStatus(Msg::strUpDateOpPn);
    imageName_ = QFileInfo(path).fileName();
    lbUpDateFileName->setText(msg(Msg::strUpDateOpFN) + imageName_);
    lbUpDateFileSize->setText(msg(Msg::strUpDateShFS) + QString::number(image_.size()));
    lbUpDateFileVer->setText(msg(Msg::strUpDateShVer) +
                             QString("%1.%2").arg(image_.versionMajor()).arg(image_.versionMinor()));
    spStartUpData->setEnabled(true);
    return true;
}

void TfmUpDateSoft::spStartUpDataClick()
{
    if (!image_.isLoaded() || thread_)
        return;
    // Erasing the instrument's program for a file that is none would leave it without one.
    const std::string name = imageName_.toStdString();
    const std::string fileVersion = std::to_string(image_.versionMajor()) + "." + std::to_string(image_.versionMinor());
    switch (image_.doubt(installed_ ? std::optional<std::uint8_t>((*installed_)[0]) : std::nullopt)) {
    case FirmwareImage::Doubt::None: break;
    case FirmwareImage::Doubt::OneRepeatedByte:
        if (!messages_.question(QString::fromStdString(FormatMessage(table_.text(Msg::strFirmwareOneByte), {name}))))
            return;
        break;
    case FirmwareImage::Doubt::OtherMajorVersion:
        if (!messages_.question(QString::fromStdString(
                FormatMessage(table_.text(Msg::strFirmwareOtherVersion),
                              {name, fileVersion, std::to_string((*installed_)[0]) + "." + std::to_string((*installed_)[1])}))))
            return;
        break;
    }
    spStartUpData->setEnabled(false);
    spOpenFileUpData->setEnabled(false);
    thread_ = new FirmwareUpdateThread(session_, image_, this);
    connect(thread_, &FirmwareUpdateThread::stageReached, this, [this](int stage) {
        setStatus(static_cast<FirmwareStage>(stage) == FirmwareStage::EnteringBootLoader ? Msg::strUpDateOpBL
                                                                                           : Msg::strUpDateDlFW);
    });
    connect(thread_, &FirmwareUpdateThread::progressed, this, [this](int value, int maximum) {
        progbarUpDate->setMaximum(maximum);
        progbarUpDate->setValue(value);
    });
    connect(thread_, &QThread::finished, this, &TfmUpDateSoft::updateFinished, Qt::QueuedConnection);
    thread_->start();
}

void TfmUpDateSoft::reject()
{
    if (!thread_)
        QDialog::reject();
}

void TfmUpDateSoft::updateFinished()
{
    if (!thread_)
        return;
    thread_->wait(); // `finished` comes just before the thread's very end
    const FirmwareUpdateResult result = thread_->result();
    delete thread_;
    thread_ = nullptr;
    spOpenFileUpData->setEnabled(true);
    spStartUpData->setEnabled(true);
    switch (result) {
    case FirmwareUpdateResult::NoBootLoader:
        messages_.error(msg(Msg::strUpDateErrOpBL));
        return;
    case FirmwareUpdateResult::Cancelled: return; // the window asks for no stop: not reached
    case FirmwareUpdateResult::BlockFailed:
    case FirmwareUpdateResult::Interrupted:
        setStatus(Msg::strUpDateOpPn);
        progbarUpDate->setValue(0);
        messages_.error(msg(Msg::strUpDateErrDlFW));
        return;
    case FirmwareUpdateResult::Done: break;
    }
    QApplication::beep();
    setStatus(Msg::strUpDateOkDlFW);
    messages_.information(msg(Msg::strUpDateOkDlFW));
    accept();
}

} // namespace tesmar
