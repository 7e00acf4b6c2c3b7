#pragma once
// The File menu's "save data" and "open" commands: the measurement shown on the active page to a
// data file and back. A file is checked completely, and its values read into a new record, before
// any page is touched, so a damaged or foreign file leaves the screen as it was.

#include "formats/DataFile.h"
#include "formats/DataFileCapture.h"

#include <QObject>
#include <QString>

#include <array>
#include <functional>
#include <optional>

class QTabWidget;

namespace tesmar {

class DialogFolders;
class MainMenu;
class MeasurementPage;
class MessageTable;
class TfmRemark;
class UserMessages;

// What one page contributes: its measurement as a data file (nullopt when there is nothing to
// save) and the showing of a file of its own kind (false, the page untouched, when the file's
// values cannot be shown). Empty functions: the page has no data files.
struct DataFilePageIo {
    MeasurementPage* page = nullptr;
    std::function<std::optional<DataFile>()> save;
    std::function<bool(const DataFile&)> open;
    // Whether there is anything to save, asked before the dialog; without it `save` is asked.
    std::function<bool()> hasData = {};
    // The names its capture's lines are written under (the logic analyser's channel names).
    std::function<CaptureLineNames()> lineNames = {};
    // Pages with large records: the data file written from the record's own memory, and a
    // checked file shown with its values read straight into the page's record. Without them
    // `save` and `open` serve.
    std::function<std::optional<DataFileView>()> saveView = {};
    std::function<bool(const DataFileScan&, DataFileSource&)> openScanned = {};
};

class DataFileActions : public QObject {
    Q_OBJECT
public:
    // Pages in tab order: oscilloscope, spectrum analyser, recorder, logic analyser.
    // `pageChanged` runs the window's page-change handling (the title shows the file name);
    // `remarks` holds the page's remark that travels with its file.
    DataFileActions(MainMenu& menu, DialogFolders& folders, const MessageTable& table, UserMessages& messages,
                    QTabWidget& tabs, std::array<DataFilePageIo, 4> pages, std::function<void()> pageChanged,
                    TfmRemark& remarks, QWidget* window);

    // The work behind the commands, without their dialogs: an empty string on success, else the
    // message that was shown.
    QString saveData(const QString& path);
    QString openData(const QString& path);
    // The active page's measurement as a CSV table, in the columns of tesmar-cli.
    QString saveCsv(const QString& path);

public slots:
    void miFileSaveDataClick();
    void miFileOpenClick();
    void miFileSaveCSVClick();

private:
    QString fail(const QString& text);
    // The active page when it saves data files; its measurement; whether it has one.
    const DataFilePageIo* activePage() const;
    std::optional<DataFile> activeMeasurement() const;
    bool activeHasData() const;

    DialogFolders& folders_;
    const MessageTable& table_;
    UserMessages& messages_;
    QTabWidget& tabs_;
    std::array<DataFilePageIo, 4> pages_;
    std::function<void()> pageChanged_;
    TfmRemark& remarks_;
    QWidget* window_;
};

} // namespace tesmar
