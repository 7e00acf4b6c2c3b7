#pragma once
// The recorder page `tsRec`: period and range knobs, channel buttons, the run button with the
// elapsed time and auto-stop, the chart drawn from the record's summary with zoom, scrolling and
// following, the measuring markers and the 99 user markers with their table.

#include "app/pages/MeasurementPage.h"
#include "app/pages/PageContext.h"
#include "device/AnalogBlockBuilders.h"
#include "formats/DataFile.h"
#include "recorder/RecMarkerSet.h"
#include "recorder/RecTimeAxis.h"
#include "recorder/RecorderStream.h"

#include <QElapsedTimer>

#include <array>
#include <functional>
#include <optional>
#include <string>

class QComboBox;
class QGroupBox;
class QLabel;
class QMenu;
class QScrollArea;
class QScrollBar;
class QTableWidget;
class QTimeEdit;
class QTimer;
class QToolButton;

namespace tesmar {

class DataFileSource;
class IniFile;
class RecAcquisition;
class RecChart;
class TOscKnob;
struct OptionVariables;

// The two questions of adding or editing a marker; tests answer them without a modal dialog.
struct RecMarkerQuestions {
    std::function<std::optional<std::string>(const std::string& current)> comment;
    std::function<std::optional<std::uint32_t>(std::uint32_t current)> colour;
};

class RecPage : public MeasurementPage {
    Q_OBJECT
public:
    // The record being made or last made; none before the first.
    const RecorderRecord* record() const;
    explicit RecPage(const PageContext& context, QWidget* parent = nullptr);
    ~RecPage() override;
    PageHintKeys hintKeys() const override;
    QWidget* chart() const override;

    // Section `main` keys of the page (knobs, axes, channel buttons).
    void readSettings(const IniFile& ini, char decimalSeparator);
    void writeSettings(IniFile& ini, char decimalSeparator) const;
    // Closing: ends a running recording and waits for its thread; the points stay.
    void shutdown();
    // Ends a running recording and keeps what it recorded, as its own end would.
    void finishRecording();
    bool running() const;
    RecAcquisition& acquisition() { return *acquisition_; }
    const RecMarkerSet& markers() const { return markers_; }
    // The measurement data file of the record shown; nullopt when there is nothing to save.
    std::optional<DataFile> saveDataFile() const;
    // The same with the values left in the record, written from its chunks.
    std::optional<DataFileView> saveDataFileView() const;
    bool hasDataToSave() const;
    // Shows a recorder data file that has been read completely; false (nothing touched) when
    // its values cannot be shown.
    bool openDataFile(const DataFile& file);
    // The same for a file that has been checked whole, its values read from `source` into the
    // new record before anything on the page changes.
    bool openDataFile(const DataFileScan& scan, DataFileSource& source);
    void clearPage() override;
    RecMarkerQuestions markerQuestions;

    // Controls under their names.
    RecChart* chRec = nullptr;
    TOscKnob* knRecTimeDiv = nullptr;
    TOscKnob* knRecCh1 = nullptr;
    TOscKnob* knRecCh2 = nullptr;
    QGroupBox* grboxRecCh1 = nullptr;
    QGroupBox* grboxRecCh2 = nullptr;
    QGroupBox* grboxRecTimeDiv = nullptr;
    QToolButton* sbRecOnCh1 = nullptr;
    QToolButton* sbRecOnCh2 = nullptr;
    QToolButton* sbRecRun = nullptr;
    QLabel* lbRecRunTime = nullptr;
    QToolButton* spRecStop = nullptr;
    QTimeEdit* dtRecStop = nullptr;
    QLabel* pnRecShowSignal = nullptr;
    QComboBox* cbRecZoom = nullptr;
    QToolButton* sbRecZoomIn = nullptr;
    QToolButton* sbRecZoomOut = nullptr;
    QToolButton* sbRecZoomUndo = nullptr;
    QScrollBar* scbrRec = nullptr;
    QTableWidget* sgRecMarker = nullptr;
    QMenu* pmRecMarker = nullptr;
    QAction* miRecMarkerAdd = nullptr;
    QAction* miRecMarkerDel = nullptr;
    QAction* miRecMarkerDelAll = nullptr;
    QAction* miRecMarkerRem = nullptr;
    QAction* miRecMarkerColor = nullptr;
    QMenu* pmMarker = nullptr;
    QAction* miMarkerDel = nullptr;
    QAction* miMarkerRem = nullptr;
    QAction* miMarkerColor = nullptr;
    QLabel* lbRecMarker1Time = nullptr;
    QLabel* lbRecMarker2Time = nullptr;
    QLabel* lbRecMarker2Sub1Time = nullptr;
    QLabel* lbRecMarker1VoltA = nullptr;
    QLabel* lbRecMarker1VoltB = nullptr;
    QLabel* lbRecMarker2VoltA = nullptr;
    QLabel* lbRecMarker2VoltB = nullptr;
    QLabel* lbRecMarker2Sub1VoltA = nullptr;
    QLabel* lbRecMarker2Sub1VoltB = nullptr;
    std::array<QLabel*, 2> lbRecUmax{}; // lbRecUmaxCh1, lbRecUmaxCh2
    std::array<QLabel*, 2> lbRecUmin{}; // lbRecUminCh1, lbRecUminCh2
    std::array<QLabel*, 2> lbRecUsr{};  // lbRecUsrCh1, lbRecUsrCh2
    QWidget* pnRecSetup = nullptr;
    QScrollArea* pnRecSetupScroll = nullptr;
    QToolButton* lsbRecSetupHide = nullptr;
    QToolButton* lsbRecSetupShow = nullptr;
    QTimer* timerRunRec = nullptr;
    QTimer* timerRecStallPos = nullptr;
    QTimer* timerRecShow = nullptr; // live display: takes the reader's published points

public slots:
    void sbRecRunClick();
    void timerRunRecTimer();
    void RecordingFinished();
    void knRecTimeDivChange();
    void knRecCh1Change();
    void knRecCh2Change();
    void sbRecOnCh1Click();
    void sbRecOnCh2Click();
    void sbRecZoomInClick();
    void sbRecZoomOutClick();
    void sbRecZoomUndoClick();
    void cbRecZoomChange();
    void scbrRecScroll(int position);
    void timerRecStallPosTimer();
    void chRecAfterDraw();
    void UpdateTimeAxis();
    void UpdateMarkerReadouts();
    void ZeroMenuClick(int channel, int tag);
    void lsbRecSetupHideClick();
    void lsbRecSetupShowClick();
    // User markers.
    void AddMarker(int slot);
    void PlaceMarker(int slot, std::uint32_t colour, const QString& comment, double time);
    void DeleteMarker(int slot);
    void DeleteAllMarkers();
    void EditComment(int slot);
    void EditColour(int slot);
    void GoToMarker(int slot);
    void sgRecMarkerClick(int row);
    void sgRecMarkerDblClick(int row);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void retranslate() override;

private:
    RecorderSettingsChunk settingsChunk() const;
    // Shows the settings of a recorder file and its record (null: the file has no values).
    void showDataFile(const RecorderSettingsChunk& s, std::unique_ptr<RecorderStream> stream);
    void buildControls();
    QWidget* buildChannelGroup(int channel);
    QWidget* buildPeriodGroup();
    QWidget* buildRunGroup();
    QWidget* buildMarkerTable();
    QWidget* buildReadouts();
    void buildMarkerMenus();
    void channelClick(int channel);
    void rangeKnobChange(int channel);
    void setControlsEnabled(bool enabled);
    void showRunningTime();
    void liveTick();
    void showSummary();
    void clearSummary();
    double lastShownTime() const;
    void setWindow(const TimeWindow& window);
    void applyZoomItem(int item);
    void writeMarkerRow(int slot);
    void paintMarkerRow(int slot);
    void selectRowQuietly(int row);
    void markerTableMenu(const QPoint& at);
    void showMarkerChange();
    std::string timeText(double days) const;
    RecorderBlockInput blockInput() const;

    const OptionVariables& options_;
    RecAcquisition* acquisition_ = nullptr;
    RecMarkerSet markers_;
    RecPeriodLimits limits_;
    double tcur_ = 1e-3;               // quantised knob period
    double recordPeriod_ = 1e-3;       // Tp of the record shown
    double zoom_ = 1;
    bool following_ = false;           // a live recording follows its newest point
    TimeWindow stayWindow_;
    int menuSlot_ = 0;                 // the marker right-clicked on the chart
    bool selectingRow_ = false;
    bool liveDisplay_ = true;
    long long shownSecond_ = -1;
    std::size_t shownCount_ = 0;
};

} // namespace tesmar
