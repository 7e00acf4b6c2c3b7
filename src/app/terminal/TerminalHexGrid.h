#pragma once
// The terminal's hex table over one 1024-byte buffer: offsets, 16 bytes and their characters per
// row, bytes past the table's count greyed. The transmit table's byte cells can be edited with
// two hex digits; an edited byte past the count extends the count to it.

#include "terminal/TerminalHexView.h"

#include <QAbstractTableModel>
#include <QTableView>

namespace tesmar {

class TerminalHexModel final : public QAbstractTableModel {
    Q_OBJECT
  public:
    TerminalHexModel(TerminalBuffer& buffer, QObject* parent);

    int count() const { return count_; }
    void setCount(int count);
    void setEditable(bool editable) { editable_ = editable; }
    // The buffer changed behind the model.
    void refresh();

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

  signals:
    // A byte typed into the table moved the count.
    void countExtended(int count);

  private:
    TerminalBuffer& buffer_;
    int count_ = 0;
    bool editable_ = false;
};

class TerminalHexGrid final : public QTableView {
    Q_OBJECT
  public:
    TerminalHexGrid(const char* objectName, TerminalBuffer& buffer, bool editable, QWidget* parent);

    TerminalHexModel* hexModel() const { return model_; }
    int count() const { return model_->count(); }
    void setCount(int count) { model_->setCount(count); }
    // The text of a cell as shown (row and column of the table).
    QString cellText(int row, int column) const;

  private:
    TerminalHexModel* model_;
};

} // namespace tesmar
