#pragma once
// Typing into a decoder grid: each editable column accepts only its characters and length, an
// empty cell may open pre-filled, and Enter reports the cell so the window can rewrite it.

#include <QStyledItemDelegate>

#include <functional>
#include <map>

class QCheckBox;
class QTableWidget;

namespace tesmar {

struct CellRule {
    QString pattern; // the whole text the cell may hold, e.g. "[01]{0,8}"
    QString prefill; // an empty cell's text when auto-fill is on
};

class DecoderGridEditing : public QStyledItemDelegate {
    Q_OBJECT
public:
    // Columns without a rule cannot be edited. `autoFill` may be null.
    DecoderGridEditing(QTableWidget* grid, std::map<int, CellRule> rules, const QCheckBox* autoFill);

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;

signals:
    // Enter committed cell (row, column) of the grid (0-based table indexes).
    void enterPressed(int row, int column);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QTableWidget* grid_;
    std::map<int, CellRule> rules_;
    const QCheckBox* autoFill_;
};

// Enter's rewrite of a BIN/HEX byte pair in columns (bin, bin + 1), then the cursor one row down.
void NormaliseBytePair(QTableWidget* grid, int row, int column, int binColumn);
void MoveDown(QTableWidget* grid, int row, int column);

} // namespace tesmar
