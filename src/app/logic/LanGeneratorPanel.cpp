#include "LanGeneratorPanel.h"
#include "text/MessageFormat.h"
#include "text/MessageTable.h"

#include "dsp/TextHelpers.h"

#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpressionValidator>
#include <QTableWidget>
#include <QToolButton>
#include <QVBoxLayout>

namespace tesmar {

namespace {
constexpr int kLast = GeneratorData::kSampleCount - 1;
}

LanGeneratorPanel::LanGeneratorPanel(GeneratorData& data, const MessageTable& table, QWidget* parent)
    : QGroupBox("Данные генератора", parent), data_(data), table_(table)
{
    setObjectName("grboxLANGenerator");
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(2, 2, 2, 2);
    strgridLANGenerator = new QTableWidget(GeneratorData::kSampleCount, 2, this);
    strgridLANGenerator->setObjectName("strgridLANGenerator");
    strgridLANGenerator->setHorizontalHeaderLabels({"    BIN", "HEX"});
    strgridLANGenerator->setSelectionBehavior(QAbstractItemView::SelectRows);
    strgridLANGenerator->setSelectionMode(QAbstractItemView::ContiguousSelection);
    strgridLANGenerator->setEditTriggers(QAbstractItemView::NoEditTriggers);
    strgridLANGenerator->verticalHeader()->setDefaultSectionSize(18);
    strgridLANGenerator->setColumnWidth(0, 80);
    strgridLANGenerator->setColumnWidth(1, 40);
    strgridLANGenerator->setMinimumHeight(120);
    strgridLANGenerator->setToolTip(
        "Выделите участок данных для редактирования (можно выбрать начало диапазона, а потом конец диапазона, нажав Shift)");
    column->addWidget(strgridLANGenerator, 1);
    lbLANGeneratorSelectCell = new QLabel(QString::fromStdString(table_.text(Msg::strNoSelect)), this);
    lbLANGeneratorSelectCell->setObjectName("lbLANGeneratorSelectCell");
    column->addWidget(lbLANGeneratorSelectCell);

    auto* grid = new QGridLayout;
    spbtLANGeneratorSelectEdit = button("spbtLANGeneratorSelectEdit", "Ред.",
                                        "Режим непосредственного редактирования данных в таблице (двойной щелчок по "
                                        "таблице) / режим выделения (Ctrl+D)");
    spbtLANGeneratorSelectEdit->setCheckable(true);
    spbtLANGeneratorAll0 = button("spbtLANGeneratorAll0", "Все 0", "Обнулить выделенные отсчеты");
    spbtLANGeneratorAll1 = button("spbtLANGeneratorAll1", "Все 1", "Установить выделенные отсчеты");
    spbtLANGeneratorAllInv = button("spbtLANGeneratorAllInv", "Все ~", "Инвертировать выделенные отсчеты");
    spbtLANGeneratorCh0 = button("spbtLANGeneratorCh0", "Кн. 0", "Обнулить канал в выделенных отсчетах");
    spbtLANGeneratorCh1 = button("spbtLANGeneratorCh1", "Кн. 1", "Установить канал в выделенных отсчетах");
    spbtLANGeneratorChInv = button("spbtLANGeneratorChInv", "Кн. ~", "Инвертировать канал в выделенных отсчетах");
    spbtLANGeneratorINC = button("spbtLANGeneratorINC", "INC", "Увеличивать каждый следующий отсчет на шаг");
    spbtLANGeneratorDEC = button("spbtLANGeneratorDEC", "DEC", "Уменьшать каждый следующий отсчет на шаг");
    spbtLANGeneratorAllMulti = button("spbtLANGeneratorAllMulti", "×", "Размножить выделенный участок до конца");
    spbtLANGeneratorChMulti = button("spbtLANGeneratorChMulti", "Кн. ×", "Размножить канал выделенного участка");
    edLANGeneratorCh0 = digitEdit("edLANGeneratorCh0", "0", "Выберете канал");
    edLANGeneratorCh1 = digitEdit("edLANGeneratorCh1", "0", "Выберете канал");
    edLANGeneratorChInv = digitEdit("edLANGeneratorChInv", "0", "Выберете канал");
    edLANGeneratorChMulti = digitEdit("edLANGeneratorChMulti", "0", "Выберете канал");
    spbtLANGeneratorStep = new QLineEdit("1", this);
    spbtLANGeneratorStep->setObjectName("spbtLANGeneratorStep");
    spbtLANGeneratorStep->setMaxLength(1);
    spbtLANGeneratorStep->setValidator(new QRegularExpressionValidator(QRegularExpression("[1-9]?"), this));
    spbtLANGeneratorStep->setToolTip("Выберете шаг увеличения / уменьшения");
    spbtLANGeneratorStep->setMaximumWidth(spbtLANGeneratorStep->minimumSizeHint().width());
    spbtNewGeneratorData = button("spbtNewGeneratorData", "Новый", "Очистить данные генератора");
    spbtOpenGeneratorData = button("spbtOpenGeneratorData", "Откр.", "Открыть файл с данными генератора");
    spbtSaveGeneratorData = button("spbtSaveGeneratorData", "Сохр.", "Сохранить в файл данные генератора");
    spbtCutGeneratorData = button("spbtCutGeneratorData", "Выр.", "Вырезать выделенные отсчеты");
    spbtCopyGeneratorData = button("spbtCopyGeneratorData", "Копир.", "Копировать выделенные отсчеты");
    spbtPasteGeneratorData = button("spbtPasteGeneratorData", "Вст.", "Вставить отсчеты");
    spbtPasteGeneratorData->setEnabled(false);
    spbtUpGeneratorData = button("spbtUpGeneratorData", "↑", "Сдвинуть выделенные отсчеты вверх");
    spbtDownGeneratorData = button("spbtDownGeneratorData", "↓", "Сдвинуть выделенные отсчеты вниз");
    QWidget* cells[5][5] = {
        {spbtLANGeneratorAll0, spbtLANGeneratorCh0, edLANGeneratorCh0, spbtLANGeneratorINC, spbtLANGeneratorStep},
        {spbtLANGeneratorAll1, spbtLANGeneratorCh1, edLANGeneratorCh1, spbtLANGeneratorDEC, spbtLANGeneratorSelectEdit},
        {spbtLANGeneratorAllInv, spbtLANGeneratorChInv, edLANGeneratorChInv, spbtUpGeneratorData, spbtDownGeneratorData},
        {spbtLANGeneratorAllMulti, spbtLANGeneratorChMulti, edLANGeneratorChMulti, spbtCutGeneratorData,
         spbtCopyGeneratorData},
        {spbtNewGeneratorData, spbtOpenGeneratorData, spbtSaveGeneratorData, spbtPasteGeneratorData, nullptr}};
    for (int r = 0; r < 5; ++r)
        for (int c = 0; c < 5; ++c)
            if (cells[r][c])
                grid->addWidget(cells[r][c], r, c);
    column->addLayout(grid);

    auto onSelection = [this](auto op) {
        return [this, op] {
            if (const auto s = selection()) {
                op(*s);
                changed(s->first, s->last);
            }
        };
    };
    connect(spbtLANGeneratorAll0, &QToolButton::clicked, this, onSelection([this](GeneratorSelection s) { FillSamples(data_, s, 0x00); }));
    connect(spbtLANGeneratorAll1, &QToolButton::clicked, this, onSelection([this](GeneratorSelection s) { FillSamples(data_, s, 0xFF); }));
    connect(spbtLANGeneratorAllInv, &QToolButton::clicked, this, onSelection([this](GeneratorSelection s) { InvertSamples(data_, s); }));
    connect(spbtLANGeneratorCh0, &QToolButton::clicked, this, onSelection([this](GeneratorSelection s) {
                SetLineIn(data_, s, lineOf(edLANGeneratorCh0, "0"), false);
            }));
    connect(spbtLANGeneratorCh1, &QToolButton::clicked, this, onSelection([this](GeneratorSelection s) {
                SetLineIn(data_, s, lineOf(edLANGeneratorCh1, "0"), true);
            }));
    connect(spbtLANGeneratorChInv, &QToolButton::clicked, this, onSelection([this](GeneratorSelection s) {
                InvertLineIn(data_, s, lineOf(edLANGeneratorChInv, "0"));
            }));
    for (QToolButton* b : {spbtLANGeneratorINC, spbtLANGeneratorDEC}) {
        const bool down = b == spbtLANGeneratorDEC;
        connect(b, &QToolButton::clicked, this, onSelection([this, down](GeneratorSelection s) {
                    if (spbtLANGeneratorStep->text().isEmpty())
                        spbtLANGeneratorStep->setText("1");
                    CountIn(data_, s, spbtLANGeneratorStep->text().toInt(), down);
                }));
    }
    connect(spbtLANGeneratorAllMulti, &QToolButton::clicked, this, [this] {
        if (const auto s = selection()) {
            RepeatBlock(data_, *s);
            changed(s->first, kLast);
        }
    });
    connect(spbtLANGeneratorChMulti, &QToolButton::clicked, this, [this] {
        if (const auto s = selection()) {
            RepeatBlock(data_, *s, lineOf(edLANGeneratorChMulti, "0"));
            changed(s->first, kLast);
        }
    });
    connect(spbtCopyGeneratorData, &QToolButton::clicked, this, [this] {
        if (const auto s = selection()) {
            clipboard_ = CopySamples(data_, *s);
            spbtPasteGeneratorData->setEnabled(true);
        }
    });
    connect(spbtCutGeneratorData, &QToolButton::clicked, this, [this] {
        if (const auto s = selection()) {
            clipboard_ = CopySamples(data_, *s);
            spbtPasteGeneratorData->setEnabled(true);
            FillSamples(data_, *s, 0);
            changed(s->first, s->last);
        }
    });
    connect(spbtPasteGeneratorData, &QToolButton::clicked, this, [this] {
        const auto s = selection();
        if (!s || clipboard_.empty())
            return;
        const int last = PasteSamples(data_, s->first, clipboard_);
        changed(s->first, last);
        if (last < kLast)
            selectSamples({last + 1, last + 1});
    });
    connect(spbtUpGeneratorData, &QToolButton::clicked, this, [this] {
        if (const auto s = selection()) {
            const GeneratorSelection moved = MoveUp(data_, *s);
            changed(std::max(s->first - 1, 0), s->last);
            selectSamples(moved);
        }
    });
    connect(spbtDownGeneratorData, &QToolButton::clicked, this, [this] {
        if (const auto s = selection()) {
            const GeneratorSelection moved = MoveDown(data_, *s);
            changed(s->first, std::min(s->last + 1, kLast));
            selectSamples(moved);
        }
    });
    connect(spbtNewGeneratorData, &QToolButton::clicked, this, &LanGeneratorPanel::newRequested);
    connect(spbtOpenGeneratorData, &QToolButton::clicked, this, &LanGeneratorPanel::openRequested);
    connect(spbtSaveGeneratorData, &QToolButton::clicked, this, &LanGeneratorPanel::saveRequested);
    connect(spbtLANGeneratorSelectEdit, &QToolButton::clicked, this, &LanGeneratorPanel::spbtLANGeneratorSelectEditClick);
    connect(strgridLANGenerator, &QTableWidget::itemSelectionChanged, this, &LanGeneratorPanel::updateSelectionLabel);
    connect(strgridLANGenerator, &QTableWidget::cellChanged, this, &LanGeneratorPanel::commitCell);
    connect(strgridLANGenerator, &QTableWidget::cellDoubleClicked, this, [this] {
        if (!spbtLANGeneratorSelectEdit->isChecked()) {
            spbtLANGeneratorSelectEdit->setChecked(true);
            spbtLANGeneratorSelectEditClick();
        }
    });
    refreshTable(0, kLast);
}

QToolButton* LanGeneratorPanel::button(const char* name, const QString& caption, const QString& hint)
{
    auto* b = new QToolButton(this);
    b->setObjectName(name);
    b->setText(caption);
    b->setToolTip(hint);
    return b;
}

QLineEdit* LanGeneratorPanel::digitEdit(const char* name, const QString& text, const QString& hint)
{
    auto* e = new QLineEdit(text, this);
    e->setObjectName(name);
    e->setMaxLength(1);
    e->setMaximumWidth(e->minimumSizeHint().width()); // one digit: as narrow as the font allows
    e->setValidator(new QRegularExpressionValidator(QRegularExpression("[0-7]?"), e));
    e->setToolTip(hint);
    return e;
}

int LanGeneratorPanel::lineOf(QLineEdit* edit, const char* fallback) const
{
    if (edit->text().isEmpty())
        edit->setText(fallback); // an empty edit takes its default again
    return edit->text().toInt();
}

std::optional<GeneratorSelection> LanGeneratorPanel::selection() const
{
    // In edit mode too: the rows of the selected cells, so that the operations still serve
    // after a cell was typed into.
    const auto ranges = strgridLANGenerator->selectedRanges();
    if (ranges.isEmpty())
        return std::nullopt;
    GeneratorSelection s{ranges.first().topRow(), ranges.first().bottomRow()};
    for (const auto& r : ranges) {
        s.first = std::min(s.first, r.topRow());
        s.last = std::max(s.last, r.bottomRow());
    }
    return s;
}

void LanGeneratorPanel::selectSamples(GeneratorSelection s)
{
    strgridLANGenerator->clearSelection();
    strgridLANGenerator->setRangeSelected(QTableWidgetSelectionRange(s.first, 0, s.last, 1), true);
    updateSelectionLabel();
}

void LanGeneratorPanel::updateSelectionLabel()
{
    const auto s = selection();
    lbLANGeneratorSelectCell->setText(QString::fromStdString(
        s ? FormatMessage(table_.text(Msg::strSelectBy), {static_cast<long long>(s->first + 1), static_cast<long long>(s->last + 1)})
          : table_.text(Msg::strNoSelect)));
}

void LanGeneratorPanel::refreshTable(int first, int last)
{
    filling_ = true;
    first = std::clamp(first, 0, kLast);
    last = std::clamp(last, first, kLast);
    for (int i = first; i <= last; ++i) {
        const std::uint8_t v = data_.sample(i);
        auto* bin = new QTableWidgetItem(QString::fromStdString(ByteToBinText(v, false)));
        auto* hex = new QTableWidgetItem(QString("%1").arg(v, 2, 16, QChar('0')).toUpper());
        strgridLANGenerator->setItem(i, 0, bin);
        strgridLANGenerator->setItem(i, 1, hex);
    }
    filling_ = false;
}

void LanGeneratorPanel::changed(int first, int last)
{
    refreshTable(first, last);
    emit samplesChanged(first, last);
}

void LanGeneratorPanel::commitCell(int row, int column)
{
    if (filling_)
        return;
    const std::string text = strgridLANGenerator->item(row, column)->text().toStdString();
    const std::int32_t value = column == 0 ? BinTextToInt(text) : HexTextToInt(text);
    data_.setSample(row, static_cast<std::uint8_t>(value & 0xFF));
    changed(row, row);
}

void LanGeneratorPanel::setOperationsEnabled(bool enabled)
{
    for (QToolButton* b : {spbtLANGeneratorAll0, spbtLANGeneratorAll1, spbtLANGeneratorAllInv, spbtLANGeneratorCh0,
                           spbtLANGeneratorCh1, spbtLANGeneratorChInv, spbtLANGeneratorINC, spbtLANGeneratorDEC,
                           spbtLANGeneratorAllMulti, spbtLANGeneratorChMulti, spbtCutGeneratorData,
                           spbtCopyGeneratorData, spbtUpGeneratorData, spbtDownGeneratorData})
        b->setEnabled(enabled);
    spbtPasteGeneratorData->setEnabled(enabled && !clipboard_.empty());
}

void LanGeneratorPanel::spbtLANGeneratorSelectEditClick()
{
    const bool edit = spbtLANGeneratorSelectEdit->isChecked();
    strgridLANGenerator->setEditTriggers(edit ? QAbstractItemView::AllEditTriggers : QAbstractItemView::NoEditTriggers);
    strgridLANGenerator->setSelectionBehavior(edit ? QAbstractItemView::SelectItems : QAbstractItemView::SelectRows);
    strgridLANGenerator->setToolTip(
        edit ? "Введите значение шины в двоичном или шестнадцатеричном формате (Ctrl + D - переход в режим выделения)"
             : "Выделите участок данных для редактирования (можно выбрать начало диапазона, а потом конец "
               "диапазона, нажав Shift)");
    // The operations stay at hand in edit mode: they act on the rows of the selected cells.
    setOperationsEnabled(true);
    updateSelectionLabel();
}

bool LanGeneratorPanel::openFile(const QString& path, QString* problem)
{
    if (auto why = ReadGeneratorFile(path.toStdString(), data_)) {
        if (problem)
            *problem = QString::fromStdString(*why);
        return false;
    }
    changed(0, kLast);
    return true;
}

bool LanGeneratorPanel::saveFile(const QString& path)
{
    return WriteGeneratorFile(path.toStdString(), data_);
}

void LanGeneratorPanel::clearData()
{
    data_.clear();
    changed(0, kLast);
}

} // namespace tesmar
