#pragma once
// "Данные генератора": the table of the 1544 generator samples with the range operations, the
// clipboard, moves and the generator file. Every change reports the samples it touched.

#include "logic/GeneratorData.h"
#include "logic/GeneratorEditing.h"

#include <QGroupBox>

#include <vector>

class QLabel;
class QLineEdit;
class QTableWidget;
class QToolButton;

namespace tesmar {

class MessageTable;

class LanGeneratorPanel : public QGroupBox {
    Q_OBJECT
public:
    LanGeneratorPanel(GeneratorData& data, const MessageTable& table, QWidget* parent = nullptr);

    // The selected samples (rows − 1); none in edit mode or without a selection.
    std::optional<GeneratorSelection> selection() const;
    void selectSamples(GeneratorSelection s);
    // After the data changed elsewhere (decoders, chart, file).
    void refreshTable(int first, int last);
    bool openFile(const QString& path, QString* problem = nullptr);
    bool saveFile(const QString& path);
    // Every sample 0.
    void clearData();

    QTableWidget* strgridLANGenerator = nullptr;
    QLabel* lbLANGeneratorSelectCell = nullptr;
    QToolButton* spbtLANGeneratorSelectEdit = nullptr;
    QToolButton* spbtLANGeneratorAll0 = nullptr;
    QToolButton* spbtLANGeneratorAll1 = nullptr;
    QToolButton* spbtLANGeneratorAllInv = nullptr;
    QToolButton* spbtLANGeneratorCh0 = nullptr;
    QToolButton* spbtLANGeneratorCh1 = nullptr;
    QToolButton* spbtLANGeneratorChInv = nullptr;
    QToolButton* spbtLANGeneratorINC = nullptr;
    QToolButton* spbtLANGeneratorDEC = nullptr;
    QToolButton* spbtLANGeneratorAllMulti = nullptr;
    QToolButton* spbtLANGeneratorChMulti = nullptr;
    QLineEdit* edLANGeneratorCh0 = nullptr;
    QLineEdit* edLANGeneratorCh1 = nullptr;
    QLineEdit* edLANGeneratorChInv = nullptr;
    QLineEdit* edLANGeneratorChMulti = nullptr;
    QLineEdit* spbtLANGeneratorStep = nullptr;
    QToolButton* spbtNewGeneratorData = nullptr;
    QToolButton* spbtOpenGeneratorData = nullptr;
    QToolButton* spbtSaveGeneratorData = nullptr;
    QToolButton* spbtCutGeneratorData = nullptr;
    QToolButton* spbtCopyGeneratorData = nullptr;
    QToolButton* spbtPasteGeneratorData = nullptr;
    QToolButton* spbtUpGeneratorData = nullptr;
    QToolButton* spbtDownGeneratorData = nullptr;

signals:
    void samplesChanged(int first, int last);
    void openRequested();
    void newRequested();
    void saveRequested();

public slots:
    void spbtLANGeneratorSelectEditClick();

public:
    // The selection label from the message table (also after a language change).
    void updateSelectionLabel();

private:
    QToolButton* button(const char* name, const QString& caption, const QString& hint);
    QLineEdit* digitEdit(const char* name, const QString& text, const QString& hint);
    int lineOf(QLineEdit* edit, const char* fallback) const;
    void changed(int first, int last);
    void commitCell(int row, int column);
    void setOperationsEnabled(bool enabled);

    GeneratorData& data_;
    const MessageTable& table_;
    std::vector<std::uint8_t> clipboard_;
    bool filling_ = false;
};

} // namespace tesmar
