#pragma once
// The filter designer: one channel's frequency response drawn as breakpoints on a chart, edited
// with the mouse and three fields, kept in a filter file. Every edit writes the channel's shared
// response directly; the pages read it at their next measurement.

#include "text/MessageKeys.h"
#include "filter/FilterResponse.h"

#include <QDialog>

#include <array>

class QCheckBox;
class QCPGraph;
class QCustomPlot;
class QLabel;
class QLineEdit;
class QToolButton;

namespace tesmar {

class DialogFolders;
class MessageTable;
class UserMessages;
struct OptionVariables;

enum class FilterOwnerPage { Oscilloscope, Spectrum };

class TfmFiltr : public QDialog {
    Q_OBJECT
public:
    TfmFiltr(std::array<FilterResponse, 2>& responses, const OptionVariables& options, const MessageTable& table,
             UserMessages& messages, DialogFolders& folders, QWidget* parent = nullptr);

    // The "..." buttons: unless open already, edit `channel`'s response and remember the page's
    // box to switch on when the window closes; then show it.
    void OpenDesigner(int channel, QCheckBox* autoOnBox, FilterOwnerPage page);

    int channel() const { return channel_; }
    const FilterResponse& response() const { return responses_[channel_]; }
    // The file work behind the open and save buttons, without their dialogs.
    bool openFile(const QString& path);
    bool saveFile(const QString& path);

    QCustomPlot* chFiltr = nullptr;
    QCPGraph* srFiltr = nullptr;
    QLabel* stbarFiltr = nullptr;
    QToolButton* spbtNew = nullptr;
    QToolButton* spbtOpen = nullptr;
    QToolButton* spbtSave = nullptr;
    QToolButton* spbtFlog = nullptr;
    QToolButton* spbtKdB = nullptr;
    QToolButton* spbtExit = nullptr;
    QLineEdit* edKmax = nullptr;
    QLineEdit* edKmin = nullptr;
    QLineEdit* edFmax = nullptr;
    QLabel* lbKmaxUnit = nullptr;
    QLabel* lbKminUnit = nullptr;

public slots:
    void FormShow();
    void spbtNewClick();
    void spbtOpenClick();
    void spbtSaveClick();
    void spbtFlogClick();
    void spbtKdBClick();
    void spbtExitClick();
    void edKmaxKeyDown();
    void edKminKeyDown();
    void edFmaxKeyDown();

protected:
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    FilterResponse& edited() { return responses_[channel_]; }
    QString msg(Msg key) const;
    char decimalSeparator() const;
    std::optional<double> parseField(QLineEdit* field);
    void loadIntoControls();
    void drawCurve();
    void showNumber(QLineEdit* field, double value);
    void chFiltrMouseDown(QMouseEvent* event);
    void chFiltrMouseMove(QMouseEvent* event);
    void chFiltrMouseUp();
    int pointAt(const QPointF& pixel) const;
    int segmentAt(const QPointF& pixel) const;
    double gainAt(double y) const;
    void showDraggedPoint();

    std::array<FilterResponse, 2>& responses_;
    const OptionVariables& options_;
    const MessageTable& table_;
    UserMessages& messages_;
    DialogFolders& folders_;
    int channel_ = 0;
    QCheckBox* autoOnBox_ = nullptr;
    FilterOwnerPage ownerPage_ = FilterOwnerPage::Oscilloscope;
    int dragged_ = -1;
    double pressX_ = 0.0;
};

} // namespace tesmar
