#include "DataFileActions.h"

#include "app/FileDialogs.h"
#include "app/MainMenu.h"
#include "app/UserMessages.h"
#include "TfmRemark.h"
#include "app/pages/MeasurementPage.h"
#include "formats/AnalogCsv.h"
#include "formats/CsvFile.h"
#include "formats/DataFileCapture.h"
#include "formats/DataFileLoad.h"
#include "formats/DataFileSource.h"
#include "text/MessageFormat.h"
#include "text/MessageTable.h"

#include <QAction>
#include <QApplication>
#include <QFileInfo>
#include <QTabWidget>

namespace tesmar {

namespace {
const FileDialogKind& kSaveData = FileDialog("sdSaveFileData");
const FileDialogKind& kOpenData = FileDialog("odOpenFileData");
const FileDialogKind& kSaveCsv = FileDialog("sdSaveFileCSV");

int PageIndexOf(DataFilePage page)
{
    switch (page) {
    case DataFilePage::Oscilloscope: return 0;
    case DataFilePage::Spectrum: return 1;
    case DataFilePage::Recorder: return 2;
    case DataFilePage::Logic: return 3;
    }
    return -1;
}

// The hourglass for the time of the work.
struct WaitCursor {
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};
} // namespace

DataFileActions::DataFileActions(MainMenu& menu, DialogFolders& folders, const MessageTable& table,
                                 UserMessages& messages, QTabWidget& tabs, std::array<DataFilePageIo, 4> pages,
                                 std::function<void()> pageChanged, TfmRemark& remarks, QWidget* window)
    : QObject(window), folders_(folders), table_(table), messages_(messages), tabs_(tabs), pages_(std::move(pages)),
      pageChanged_(std::move(pageChanged)), remarks_(remarks), window_(window)
{
    connect(menu.miFileSaveData, &QAction::triggered, this, &DataFileActions::miFileSaveDataClick);
    connect(menu.miFileOpen, &QAction::triggered, this, &DataFileActions::miFileOpenClick);
    connect(menu.miFileSaveCSV, &QAction::triggered, this, &DataFileActions::miFileSaveCSVClick);
}

const DataFilePageIo* DataFileActions::activePage() const
{
    const int index = tabs_.currentIndex();
    if (index < 0 || index >= static_cast<int>(pages_.size()) || !pages_[index].save)
        return nullptr;
    return &pages_[index];
}

std::optional<DataFile> DataFileActions::activeMeasurement() const
{
    const DataFilePageIo* page = activePage();
    return page ? page->save() : std::nullopt;
}

bool DataFileActions::activeHasData() const
{
    const DataFilePageIo* page = activePage();
    if (!page)
        return false;
    return page->hasData ? page->hasData() : page->save().has_value();
}

QString DataFileActions::fail(const QString& text)
{
    messages_.error(text);
    return text;
}

QString DataFileActions::saveData(const QString& path)
{
    const int index = tabs_.currentIndex();
    const DataFilePageIo* page = activePage();
    std::optional<DataFileView> view = page && page->saveView ? page->saveView() : std::nullopt;
    std::optional<DataFile> file = view ? std::nullopt : activeMeasurement();
    if (!view && !file)
        return fail(QString::fromStdString(table_.text(Msg::strNoDataToSave)));
    (view ? view->head : *file).remarkLines = remarks_.remark(index);
    {
        const WaitCursor wait;
        // A failed write leaves an older file of that name and the page's document name as they were.
        const std::string refusal = view ? SaveDataFile(path.toStdString(), *view) : SaveDataFile(path.toStdString(), *file);
        if (!refusal.empty())
            return fail(QString::fromStdString(FormatMessage(table_.text(Msg::strWriteFileError), {path.toStdString()})) +
                        "\r" + QString::fromStdString(refusal));
        pages_[index].page->setDataFileName(QFileInfo(path).fileName());
    }
    if (pageChanged_)
        pageChanged_();
    return {};
}

QString DataFileActions::openData(const QString& path)
{
    const QString unknown = QString::fromStdString(FormatMessage(table_.text(Msg::strErrDataToLoad), {path.toStdString()}));
    std::string problem;
    // The file is checked whole by its chunk headers; values are read only once it passed.
    const auto source = FileDataSource::Open(path.toStdString(), problem);
    if (!source)
        return fail(unknown);
    auto scanned = ScanDataFile(*source);
    if (const auto* error = std::get_if<DataFileReadError>(&scanned))
        return fail(QString::fromStdString(DataFileErrorText(*error, path.toStdString(), table_)));
    const DataFileScan& scan = std::get<DataFileScan>(scanned);
    const int index = PageIndexOf(scan.head.page());
    const DataFilePageIo& page = pages_[index < 0 ? 0 : index];
    if (index < 0 || !(page.open || page.openScanned) || !tabs_.isTabVisible(index))
        return fail(unknown);

    {
        const WaitCursor wait;
        if (page.openScanned) {
            if (!page.openScanned(scan, *source))
                return fail(unknown);
        } else {
            auto read = ReadDataFile(*source);
            if (const auto* error = std::get_if<DataFileReadError>(&read))
                return fail(QString::fromStdString(DataFileErrorText(*error, path.toStdString(), table_)));
            if (!page.open(std::get<DataFile>(read)))
                return fail(unknown);
        }
        remarks_.setRemark(index, scan.head.remarkLines);
        page.page->setDataFileName(QFileInfo(path).fileName());
    }
    tabs_.setCurrentIndex(index);
    if (pageChanged_)
        pageChanged_();
    return {};
}

void DataFileActions::miFileSaveDataClick()
{
    if (!activeHasData()) {
        messages_.error(QString::fromStdString(table_.text(Msg::strNoDataToSave)));
        return;
    }
    if (const auto path = AskSavePath(window_, folders_, kSaveData, messages_, table_))
        saveData(*path);
}

void DataFileActions::miFileOpenClick()
{
    if (const auto path = AskOpenPath(window_, folders_, kOpenData))
        openData(*path);
}

QString DataFileActions::saveCsv(const QString& path)
{
    const std::optional<DataFile> file = activeMeasurement();
    if (!file)
        return fail(QString::fromStdString(table_.text(Msg::strNoDataToSave)));
    const WaitCursor wait;
    bool written = false;
    if (const auto analogue = AnalogDataFileToCsv(*file))
        written = WriteWholeFile(path.toStdString(), analogue->data(), analogue->size());
    else if (const auto capture = CaptureFromDataFile(*file)) {
        const DataFilePageIo* page = activePage();
        const CaptureLineNames names = page && page->lineNames ? page->lineNames() : CaptureLineNames{};
        written = WriteFileWith(path.toStdString(), [&](std::ostream& out) { WriteCaptureCsv(*capture, out, names); });
    }
    if (!written)
        return fail(QString::fromStdString(FormatMessage(table_.text(Msg::strWriteFileError), {path.toStdString()})));
    return {};
}

void DataFileActions::miFileSaveCSVClick()
{
    if (!activeHasData()) {
        messages_.error(QString::fromStdString(table_.text(Msg::strNoDataToSave)));
        return;
    }
    if (const auto path = AskSavePath(window_, folders_, kSaveCsv, messages_, table_))
        saveCsv(*path);
}

} // namespace tesmar
