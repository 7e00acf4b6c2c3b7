#pragma once
// What the main window needs of each of its four pages.

#include "text/MessageKeys.h"

#include <QWidget>

#include <initializer_list>
#include <optional>
#include <vector>

namespace tesmar {

class TOscKnob;

// Message-table keys of the File and Edit hints that name the page's data.
struct PageHintKeys {
    Msg open, saveData;
    std::optional<Msg> savePcm; // only pages whose samples can be saved as PCM
    Msg saveEmf, saveBmp, print, copyEmf, copyBmp, clear;
};

class MeasurementPage : public QWidget {
    Q_OBJECT
public:
    MeasurementPage(const char* name, QWidget* parent = nullptr);

    virtual PageHintKeys hintKeys() const = 0;
    // The chart that printing and picture export act on; none until the page has one.
    virtual QWidget* chart() const { return nullptr; }
    // Name of the data file last opened or saved on this page.
    const QString& dataFileName() const { return dataFileName_; }
    void setDataFileName(const QString& name) { dataFileName_ = name; }

protected:
    // A language was applied: the page sets again what it composes from the message table.
    virtual void retranslate() {}
    void changeEvent(QEvent* event) override;

    // A page whose tool is still to come: its area on the left and its knobs on the right.
    std::vector<TOscKnob*> buildKnobColumn(std::initializer_list<const char*> knobNames);

private:
    QString dataFileName_;
};

} // namespace tesmar
