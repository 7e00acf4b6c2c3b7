#include "DecoderWindow.h"

#include "app/UserMessages.h"

#include <QEvent>
#include "app/pages/logic/LanPage.h"
#include "text/MessageTable.h"

#include <QComboBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QScreen>
#include <QScrollBar>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace tesmar {

DecoderWindow::DecoderWindow(const DecoderContext& context, const QString& caption, QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::WindowStaysOnTopHint), ctx_(context), interfaceName_(caption) {
    setWindowTitle(caption);
    setAttribute(Qt::WA_ShowWithoutActivating);
    connect(&ctx_.page, &LanPage::channelNamesChanged, this, &DecoderWindow::refreshChannelLists);
}

QComboBox* DecoderWindow::addChannelList(const char* objectName, const char* keyword) {
    auto* list = new QComboBox(this);
    list->setObjectName(objectName);
    for (const std::string& name : ctx_.page.channelSetup().names)
        list->addItem(QString::fromStdString(name));
    lists_.push_back({list, keyword});
    const std::size_t index = lists_.size() - 1;
    connect(list, &QComboBox::activated, this, [this, index] { lists_[index].chosen = true; });
    return list;
}

void DecoderWindow::refreshChannelLists() {
    const auto& names = ctx_.page.channelSetup().names;
    for (ChannelList& l : lists_) {
        const int index = l.list->currentIndex();
        const QSignalBlocker block(l.list);
        for (int i = 0; i < l.list->count() && i < int(names.size()); ++i)
            l.list->setItemText(i, QString::fromStdString(names[i]));
        l.list->setCurrentIndex(index);
    }
}

void DecoderWindow::showEvent(QShowEvent* event) {
    refreshChannelLists();
    for (ChannelList& l : lists_) {
        if (l.chosen)
            continue;
        for (int i = 0; i < l.list->count(); ++i)
            if (l.list->itemText(i).toUpper().contains(l.keyword)) {
                l.list->setCurrentIndex(i);
                break;
            }
    }
    QWidget::showEvent(event);
}

void DecoderWindow::showFitted() {
    if (!fitted_) {
        fitted_ = true;
        fitToGrid();
    }
    show();
    raise();
}

void DecoderWindow::fitToGrid() {
    ensurePolished();
    if (layout())
        layout()->activate();
    // Columns as wide as their headers, and a byte's eight binary digits always fit.
    const int digits = grid_->fontMetrics().horizontalAdvance("00000000") + 16;
    int columns = 0;
    for (int c = 0; c < grid_->columnCount(); ++c) {
        const int width = std::max(grid_->horizontalHeader()->sectionSizeHint(c), c == 0 ? 0 : digits);
        grid_->setColumnWidth(c, width);
        columns += width;
    }
    const QMargins margins = layout() ? layout()->contentsMargins() : QMargins();
    const int gridWidth = columns + 2 * grid_->frameWidth() + grid_->verticalScrollBar()->sizeHint().width();
    int width = std::max(sizeHint().width(), gridWidth + margins.left() + margins.right());
    int height = std::max(sizeHint().height(), 520);

    const QWidget* owner = parentWidget() ? parentWidget()->window() : nullptr;
    const QScreen* screen = owner && owner->screen() ? owner->screen() : QGuiApplication::primaryScreen();
    const QRect area = screen ? screen->availableGeometry() : QRect(0, 0, width, height);
    width = std::min(width, area.width());
    height = std::min(height, area.height());
    resize(width, height);
    // Over the middle of the main window, moved inside the screen where it would stick out.
    const QPoint centre = owner && owner->isVisible() ? owner->frameGeometry().center() : area.center();
    const int left = std::clamp(centre.x() - width / 2, area.left(), area.right() + 1 - width);
    const int top = std::clamp(centre.y() - height / 2, area.top(), area.bottom() + 1 - height);
    move(left, top);
}

void DecoderWindow::showGridHeaders() {
    const std::vector<std::string> headers = gridHeaders_();
    grid_->setColumnCount(int(headers.size()));
    QStringList labels;
    for (const std::string& h : headers)
        labels << QString::fromStdString(h);
    grid_->setHorizontalHeaderLabels(labels);
}

void DecoderWindow::changeEvent(QEvent* event) {
    if (event->type() == QEvent::LanguageChange && grid_)
        showGridHeaders();
    QWidget::changeEvent(event);
}

int DecoderWindow::channelOf(const QComboBox* list) const {
    return std::max(0, list->currentIndex());
}

QTableWidget* DecoderWindow::makeGrid(std::function<std::vector<std::string>()> headers) {
    auto* grid = new QTableWidget(this);
    grid->setObjectName("strgridResult");
    grid_ = grid;
    gridHeaders_ = std::move(headers);
    showGridHeaders();
    grid->verticalHeader()->hide();
    setGridRows(grid, kDecoderGridMinRows);
    return grid;
}

void DecoderWindow::setGridRows(QTableWidget* grid, int rows) {
    grid->setRowCount(std::max(0, rows - 1));
    for (int r = 0; r < grid->rowCount(); ++r) {
        auto* item = new QTableWidgetItem(QString::number(r + 1));
        item->setFlags(item->flags() & ~Qt::ItemIsEditable);
        grid->setItem(r, 0, item);
    }
}

void DecoderWindow::fillGrid(QTableWidget* grid, const DecoderTable& table, bool keepTyped) {
    keepTyped = keepTyped && grid == grid_ && typedColumn_ > 0;
    const auto isTyped = [&](int c) { return keepTyped && (c == typedColumn_ || c == typedColumn_ + 1); };
    // The last row that holds a typed byte.
    int typedRows = 0;
    for (int r = 1; keepTyped && r <= grid->rowCount(); ++r)
        if (!cellText(grid, r, typedColumn_).isEmpty() || !cellText(grid, r, typedColumn_ + 1).isEmpty())
            typedRows = r;
    filling_ = true;
    for (int r = 0; r < grid->rowCount(); ++r)
        for (int c = 1; c < grid->columnCount(); ++c)
            if (!isTyped(c))
                setCellText(grid, r + 1, c, {});
    setGridRows(grid, std::max({kDecoderGridMinRows, int(table.rows.size()) + 1, typedRows + 1}));
    for (std::size_t r = 0; r < table.rows.size(); ++r)
        for (int c = 1; c < grid->columnCount() && c < int(table.rows[r].size()); ++c)
            if (!isTyped(c))
                setCellText(grid, int(r) + 1, c, QString::fromStdString(table.rows[r][c]));
    filling_ = false;
    if (grid == grid_ && !keepTyped)
        typed_ = false;
}

void DecoderWindow::keepTypedBytes(int binColumn, const QString& lineName) {
    typedColumn_ = binColumn;
    typedLine_ = lineName;
    connect(grid_, &QTableWidget::itemChanged, this, [this](QTableWidgetItem* item) {
        if (!filling_ && (item->column() == typedColumn_ || item->column() == typedColumn_ + 1))
            typed_ = true;
    });
}

bool DecoderWindow::mayReplaceTyped() {
    if (!typed_)
        return true;
    bool anyByte = false;
    for (int row = 1; row <= grid_->rowCount() && !anyByte; ++row)
        anyByte = !cellText(grid_, row, typedColumn_).trimmed().isEmpty() ||
                  !cellText(grid_, row, typedColumn_ + 1).trimmed().isEmpty();
    return !anyByte || ctx_.messages.question(text({Msg::strLanReplaceTyped, {typedLine_.toStdString()}}));
}

QString DecoderWindow::cellText(const QTableWidget* grid, int row, int column) {
    const QTableWidgetItem* item = grid->item(row - 1, column);
    return item ? item->text() : QString();
}

void DecoderWindow::setCellText(QTableWidget* grid, int row, int column, const QString& text) {
    if (QTableWidgetItem* item = grid->item(row - 1, column))
        item->setText(text);
    else if (!text.isEmpty())
        grid->setItem(row - 1, column, new QTableWidgetItem(text));
}

QString DecoderWindow::text(const DecoderMessage& message) const {
    return QString::fromStdString(FormatDecoderMessage(message, ctx_.table));
}

void DecoderWindow::showError(const DecoderMessage& message) const {
    ctx_.messages.error(text(message));
}

void DecoderWindow::showErrors(const std::vector<DecoderMessage>& messages) const {
    if (messages.empty())
        return;
    QStringList texts;
    for (const DecoderMessage& m : messages)
        texts << text(m);
    ctx_.messages.error(texts.join("\r\n"));
}

GeneratorTarget DecoderWindow::generatorTarget() const {
    return {ctx_.page.generatorMode() ? &ctx_.generator : nullptr, ctx_.page.generatorPeriod()};
}

QPushButton* DecoderWindow::addButton(const char* objectName, const QString& caption, const QString& hint) {
    auto* button = new QPushButton(caption, this);
    button->setObjectName(objectName);
    button->setToolTip(hint);
    return button;
}

void DecoderWindow::layOut(QWidget* settings, std::initializer_list<QPushButton*> buttons,
                           QTableWidget* grid) {
    auto* row = new QHBoxLayout;
    for (QPushButton* b : buttons)
        row->addWidget(b);
    sbHard = addButton("sbHard", "Терминал...", "Открыть окно аппаратной поддержки исследуемого интерфейса");
    connect(sbHard, &QPushButton::clicked, this, &DecoderWindow::sbHardClick);
    row->addWidget(sbHard);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(settings);
    layout->addLayout(row);
    layout->addWidget(grid, 1);
}

void DecoderWindow::sbHardClick() {
    if (ctx_.openTerminal && ctx_.openTerminal(interfaceName_))
        close();
}

} // namespace tesmar
