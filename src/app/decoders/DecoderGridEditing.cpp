#include "DecoderGridEditing.h"

#include "decoders/DecoderText.h"

#include <QCheckBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QRegularExpressionValidator>
#include <QTableWidget>

namespace tesmar {

DecoderGridEditing::DecoderGridEditing(QTableWidget* grid, std::map<int, CellRule> rules,
                                       const QCheckBox* autoFill)
    : QStyledItemDelegate(grid), grid_(grid), rules_(std::move(rules)), autoFill_(autoFill) {
    grid->setItemDelegate(this);
}

QWidget* DecoderGridEditing::createEditor(QWidget* parent, const QStyleOptionViewItem&,
                                          const QModelIndex& index) const {
    const auto rule = rules_.find(index.column());
    if (rule == rules_.end())
        return nullptr;
    auto* editor = new QLineEdit(parent);
    editor->setValidator(new QRegularExpressionValidator(QRegularExpression(rule->second.pattern), editor));
    editor->setProperty("row", index.row());
    editor->setProperty("column", index.column());
    return editor;
}

void DecoderGridEditing::setEditorData(QWidget* editor, const QModelIndex& index) const {
    auto* line = static_cast<QLineEdit*>(editor);
    QString text = index.data().toString();
    if (text.trimmed().isEmpty() && autoFill_ && autoFill_->isChecked())
        text = rules_.at(index.column()).prefill;
    line->setText(text);
}

bool DecoderGridEditing::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            auto* editor = qobject_cast<QWidget*>(watched);
            const int row = editor->property("row").toInt(), column = editor->property("column").toInt();
            emit commitData(editor);
            emit closeEditor(editor);
            emit enterPressed(row, column);
            return true;
        }
    }
    return QStyledItemDelegate::eventFilter(watched, event);
}

void MoveDown(QTableWidget* grid, int row, int column) {
    if (row + 1 < grid->rowCount())
        grid->setCurrentCell(row + 1, column);
}

void NormaliseBytePair(QTableWidget* grid, int row, int column, int binColumn) {
    const QTableWidgetItem* item = grid->item(row, column);
    const std::string text = item ? item->text().toStdString() : std::string();
    const unsigned value = (column == binColumn ? ParseBinaryCell(text) : ParseHexCell(text)) & 0xFF;
    const QString bin = QString::fromStdString(BinaryDigits(value, 8));
    const QString hex = QString::fromStdString(HexByte(static_cast<std::uint8_t>(value)));
    for (const auto& [c, t] : {std::pair{binColumn, bin}, std::pair{binColumn + 1, hex}}) {
        if (QTableWidgetItem* cell = grid->item(row, c))
            cell->setText(t);
        else
            grid->setItem(row, c, new QTableWidgetItem(t));
    }
    MoveDown(grid, row, column);
}

} // namespace tesmar
