#pragma once
// What the main window needs of each of its four pages, and what the pages share: the context
// the main window hands them, message texts, the decimal separator and the run buttons.

#include "app/pages/PageContext.h"
#include "text/MessageKeys.h"

#include <QWidget>

#include <optional>

class QToolButton;

namespace tesmar {

// Message-table keys of the File and Edit hints that name the page's data.
struct PageHintKeys {
    Msg open, saveData;
    std::optional<Msg> savePcm; // only pages whose samples can be saved as PCM
    Msg saveEmf, saveBmp, print, copyEmf, copyBmp, clear;
};

class MeasurementPage : public QWidget {
    Q_OBJECT
public:
    MeasurementPage(const char* name, const PageContext& context, QWidget* parent = nullptr);

    virtual PageHintKeys hintKeys() const = 0;
    // The chart that printing and picture export act on; none until the page has one.
    virtual QWidget* chart() const { return nullptr; }
    // Name of the data file last opened or saved on this page; naming one means the page's
    // record is in that file.
    const QString& dataFileName() const { return dataFileName_; }
    void setDataFileName(const QString& name)
    {
        dataFileName_ = name;
        unsavedRecord_ = false;
    }
    // A record was measured since the last file was opened or saved, and is not in any file.
    bool hasUnsavedRecord() const { return unsavedRecord_; }
    // Edit → "Очистить": the page's record and curves emptied, readouts blank, the rate knob's
    // handler run again. Nothing runs while it is called (the menu is locked during a run).
    virtual void clearPage() = 0;

signals:
    // The mode panel was double-clicked while nothing runs: open the options on this page.
    void optionsRequested();

protected:
    // A language was applied: the page sets again what it composes from the message table.
    virtual void retranslate() {}
    void changeEvent(QEvent* event) override;

    QString msg(Msg key) const;
    char decimalSeparator() const;

    // A run button was pressed: false (and the button released) when no instrument is there.
    bool deviceReady(QToolButton* pressed);
    // The pressed run button becomes the red "Сброс", the other one (if any) is disabled and the
    // other pages are locked while this one (`pageIndex`) measures.
    void showRunning(QToolButton* pressed, QToolButton* other, int pageIndex);
    // The single and cyclic run buttons back at rest, the status line cleared, the pages unlocked.
    void restoreRunButtons(QToolButton* single, QToolButton* cycle);
    void setUnsavedRecord(bool unsaved) { unsavedRecord_ = unsaved; }

    PageContext ctx_;

private:
    QString dataFileName_;
    bool unsavedRecord_ = false;
};

} // namespace tesmar
