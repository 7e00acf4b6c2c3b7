#include "TerminalHexGrid.h"

#include <QApplication>
#include <QFontDatabase>
#include <QHeaderView>
#include <QLineEdit>
#include <QPainter>
#include <QRegularExpressionValidator>
#include <QScrollBar>
#include <QStyledItemDelegate>

namespace tesmar {

namespace {

QColor FromBgr(unsigned bgr) {
    return QColor(bgr & 0xFF, (bgr >> 8) & 0xFF, (bgr >> 16) & 0xFF);
}

// Draws the cells as the terminal wants them: white, text 2 pixels in from the left and top, the
// selected row bold on the tooltip colour; edits a byte with at most two hex digits.
class HexDelegate final : public QStyledItemDelegate {
  public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        const auto* view = qobject_cast<const QTableView*>(parent());
        const bool selectedRow =
            view && view->currentIndex().isValid() && view->currentIndex().row() == index.row();
        const QPalette palette = QApplication::palette();
        painter->save();
        painter->fillRect(option.rect,
                          selectedRow ? palette.color(QPalette::ToolTipBase) : QColor(Qt::white));
        QFont font = option.font;
        font.setBold(selectedRow);
        painter->setFont(font);
        painter->setPen(index.data(Qt::ForegroundRole).value<QColor>());
        painter->drawText(option.rect.adjusted(2, 2, 0, 0), Qt::AlignLeft | Qt::AlignTop,
                          index.data(Qt::DisplayRole).toString());
        painter->restore();
    }

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem&, const QModelIndex&) const override {
        auto* editor = new QLineEdit(parent);
        editor->setObjectName("edI2CHexByte");
        editor->setMaxLength(2);
        editor->setValidator(new QRegularExpressionValidator(QRegularExpression("[0-9A-Fa-f]{0,2}"), editor));
        return editor;
    }
};

} // namespace

TerminalHexModel::TerminalHexModel(TerminalBuffer& buffer, QObject* parent)
    : QAbstractTableModel(parent), buffer_(buffer) {}

void TerminalHexModel::setCount(int count) {
    count_ = count;
    refresh();
}

void TerminalHexModel::refresh() {
    emit dataChanged(index(0, 0), index(kHexViewRows - 1, kHexViewColumns - 1));
}

int TerminalHexModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kHexViewRows;
}

int TerminalHexModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kHexViewColumns;
}

QVariant TerminalHexModel::data(const QModelIndex& index, int role) const {
    const int row = index.row(), column = index.column();
    if (role == Qt::DisplayRole || role == Qt::EditRole)
        return QString::fromStdString(HexCellText(buffer_, row, column));
    if (role == Qt::ForegroundRole) {
        if (column == 0)
            return FromBgr(0x000080); // colours are 0x00BBGGRR: maroon
        if (column == kHexCharsColumn)
            return FromBgr(0x800080); // purple
        return HexCellValid(row, column, count_) ? FromBgr(0x008000)
                                                 : QApplication::palette().color(QPalette::Button);
    }
    return {};
}

bool TerminalHexModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    const auto at = HexByteIndex(index.row(), index.column());
    const auto byte = ParseHexByteText(value.toString().toStdString());
    if (role != Qt::EditRole || !at || !byte)
        return false;
    buffer_[*at] = *byte;
    if (*at >= count_) {
        count_ = *at + 1;
        emit countExtended(count_);
    }
    refresh();
    return true;
}

Qt::ItemFlags TerminalHexModel::flags(const QModelIndex& index) const {
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (editable_ && HexByteIndex(index.row(), index.column()))
        f |= Qt::ItemIsEditable;
    return f;
}

TerminalHexGrid::TerminalHexGrid(const char* objectName, TerminalBuffer& buffer, bool editable,
                                 QWidget* parent)
    : QTableView(parent), model_(new TerminalHexModel(buffer, this)) {
    setObjectName(objectName);
    model_->setEditable(editable);
    setModel(model_);
    setItemDelegate(new HexDelegate(this));
    horizontalHeader()->hide();
    verticalHeader()->hide();
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(editable ? QAbstractItemView::DoubleClicked | QAbstractItemView::AnyKeyPressed |
                                   QAbstractItemView::EditKeyPressed
                             : QAbstractItemView::NoEditTriggers);
    // A fixed-pitch font keeps the columns of hex digits and characters aligned and narrow.
    setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    const QFontMetrics metrics(font());
    setColumnWidth(0, metrics.horizontalAdvance("0000") + 8);
    for (int c = 1; c <= kHexBytesPerRow; ++c)
        setColumnWidth(c, metrics.horizontalAdvance("00") + 8);
    setColumnWidth(kHexCharsColumn, metrics.horizontalAdvance(QString(kHexBytesPerRow, '0')) + 8);
    verticalHeader()->setDefaultSectionSize(metrics.height() + 4);
    // Wide enough for all 18 columns: the table only ever scrolls down.
    int width = 2 * frameWidth() + verticalScrollBar()->sizeHint().width();
    for (int c = 0; c < kHexViewColumns; ++c)
        width += columnWidth(c);
    setMinimumWidth(width);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // The selected row is drawn bold: it must be repainted when the current cell moves.
    connect(selectionModel(), &QItemSelectionModel::currentRowChanged, viewport(),
            qOverload<>(&QWidget::update));
}

QString TerminalHexGrid::cellText(int row, int column) const {
    return model_->index(row, column).data().toString();
}

} // namespace tesmar
