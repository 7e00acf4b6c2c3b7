// The recorder page: user markers on the chart and in the marker table.

#include "app/BgrColour.h"
#include "app/pages/recorder/RecChart.h"
#include "app/pages/recorder/RecPage.h"
#include "app/options/OptionVariables.h"

#include <QHeaderView>
#include <QMenu>
#include <QTableWidget>

namespace tesmar {

namespace {

constexpr int kTableRows = kRecMarkerSlots + 1; // row 0 is the header

} // namespace

QWidget* RecPage::buildMarkerTable()
{
    sgRecMarker = new QTableWidget(kTableRows, 2, pnRecSetup);
    sgRecMarker->setObjectName("sgRecMarker");
    sgRecMarker->setToolTip("Щелчок - перейти к маркеру, 2-й щелчок/Insert - добавить маркер, Delete - удалить "
                            "маркер, щелчок правой кнопкой - меню");
    sgRecMarker->horizontalHeader()->setVisible(false);
    sgRecMarker->verticalHeader()->setVisible(false);
    sgRecMarker->setSelectionBehavior(QAbstractItemView::SelectRows);
    sgRecMarker->setSelectionMode(QAbstractItemView::SingleSelection);
    sgRecMarker->setEditTriggers(QAbstractItemView::NoEditTriggers);
    sgRecMarker->horizontalHeader()->setStretchLastSection(true);
    sgRecMarker->verticalHeader()->setDefaultSectionSize(18);
    sgRecMarker->setColumnWidth(0, 30);
    sgRecMarker->setMinimumHeight(120);
    for (int row = 0; row < kTableRows; ++row) {
        sgRecMarker->setItem(row, 0, new QTableWidgetItem(row == 0 ? msg(Msg::strNumber) : QString::number(row)));
        sgRecMarker->setItem(row, 1, new QTableWidgetItem(row == 0 ? msg(Msg::strMarkerTime) : QString()));
        paintMarkerRow(row);
    }
    sgRecMarker->viewport()->installEventFilter(this);
    sgRecMarker->installEventFilter(this);
    connect(sgRecMarker, &QTableWidget::cellClicked, this, [this](int row, int) { sgRecMarkerClick(row); });
    connect(sgRecMarker, &QTableWidget::cellDoubleClicked, this, [this](int row, int) { sgRecMarkerDblClick(row); });
    return sgRecMarker;
}

void RecPage::buildMarkerMenus()
{
    pmRecMarker = new QMenu(this);
    pmRecMarker->setObjectName("pmRecMarker");
    miRecMarkerAdd = pmRecMarker->addAction("&Добавить маркер");
    miRecMarkerDel = pmRecMarker->addAction("&Удалить маркер");
    miRecMarkerDelAll = pmRecMarker->addAction("Удалить &все");
    miRecMarkerRem = pmRecMarker->addAction("&Комментарий");
    miRecMarkerColor = pmRecMarker->addAction("&Цвет");
    miRecMarkerAdd->setObjectName("miRecMarkerAdd");
    miRecMarkerDel->setObjectName("miRecMarkerDel");
    miRecMarkerDelAll->setObjectName("miRecMarkerDelAll");
    miRecMarkerRem->setObjectName("miRecMarkerRem");
    miRecMarkerColor->setObjectName("miRecMarkerColor");
    const auto row = [this] { return sgRecMarker->currentRow(); };
    connect(miRecMarkerAdd, &QAction::triggered, this, [this, row] { AddMarker(row()); });
    connect(miRecMarkerDel, &QAction::triggered, this, [this, row] { DeleteMarker(row()); });
    connect(miRecMarkerDelAll, &QAction::triggered, this, &RecPage::DeleteAllMarkers);
    connect(miRecMarkerRem, &QAction::triggered, this, [this, row] { EditComment(row()); });
    connect(miRecMarkerColor, &QAction::triggered, this, [this, row] { EditColour(row()); });

    pmMarker = new QMenu(this);
    pmMarker->setObjectName("pmMarker");
    miMarkerDel = pmMarker->addAction("&Удалить маркер");
    miMarkerRem = pmMarker->addAction("&Комментарий");
    miMarkerColor = pmMarker->addAction("&Цвет");
    miMarkerDel->setObjectName("miMarkerDel");
    miMarkerRem->setObjectName("miMarkerRem");
    miMarkerColor->setObjectName("miMarkerColor");
    connect(miMarkerDel, &QAction::triggered, this, [this] { DeleteMarker(menuSlot_); });
    connect(miMarkerRem, &QAction::triggered, this, [this] { EditComment(menuSlot_); });
    connect(miMarkerColor, &QAction::triggered, this, [this] { EditColour(menuSlot_); });
}

void RecPage::markerTableMenu(const QPoint& at)
{
    const int row = sgRecMarker->rowAt(at.y());
    const bool hit = row >= 1;
    if (hit)
        selectRowQuietly(row);
    const bool used = hit && markers_.used(row);
    miRecMarkerAdd->setEnabled(hit && !used);
    miRecMarkerDel->setEnabled(used);
    miRecMarkerRem->setEnabled(used);
    miRecMarkerColor->setEnabled(used);
    miRecMarkerDelAll->setEnabled(hit);
    pmRecMarker->popup(sgRecMarker->viewport()->mapToGlobal(at));
}

void RecPage::AddMarker(int slot)
{
    if (!RecMarkerSet::validSlot(slot) || markers_.used(slot))
        return;
    std::string comment;
    if (options_.rec_ask_marker_coment && markerQuestions.comment) {
        const auto typed = markerQuestions.comment({});
        if (typed)
            comment = *typed;
    }
    std::uint32_t colour = kRecMarkerDefaultColour;
    if (options_.rec_ask_marker_color && markerQuestions.colour)
        colour = markerQuestions.colour(kRecMarkerDefaultColour).value_or(kRecMarkerDefaultColour);
    const QCPRange r = chRec->xAxis->range();
    PlaceMarker(slot, colour, QString::fromStdString(comment), (r.lower + r.upper) / 2);
}

void RecPage::PlaceMarker(int slot, std::uint32_t colour, const QString& comment, double time)
{
    if (!RecMarkerSet::validSlot(slot))
        return;
    markers_.place(slot, colour, comment.toStdString(), time);
    writeMarkerRow(slot);
    showMarkerChange();
}

void RecPage::DeleteMarker(int slot)
{
    if (!markers_.remove(slot))
        return;
    writeMarkerRow(slot);
    showMarkerChange();
}

void RecPage::DeleteAllMarkers()
{
    markers_.removeAll();
    for (int slot = 1; slot <= kRecMarkerSlots; ++slot)
        writeMarkerRow(slot);
    showMarkerChange();
}

void RecPage::EditComment(int slot)
{
    const RecMarker* m = markers_.marker(slot);
    if (!m || !markerQuestions.comment)
        return;
    if (const auto typed = markerQuestions.comment(m->comment)) {
        markers_.setComment(slot, *typed);
        writeMarkerRow(slot);
    }
}

void RecPage::EditColour(int slot)
{
    const RecMarker* m = markers_.marker(slot);
    if (!m || !markerQuestions.colour)
        return;
    if (const auto chosen = markerQuestions.colour(m->colour)) {
        markers_.setColour(slot, *chosen);
        paintMarkerRow(slot);
        showMarkerChange();
    }
}

void RecPage::GoToMarker(int slot)
{
    const RecMarker* m = markers_.marker(slot);
    if (!m)
        return;
    const QCPRange r = chRec->xAxis->range();
    const TimeWindow w = MarkerWindow(r.upper - r.lower, lastShownTime(), m->time);
    setWindow(w);
}

void RecPage::sgRecMarkerClick(int row)
{
    if (!selectingRow_ && markers_.used(row))
        GoToMarker(row);
}

void RecPage::sgRecMarkerDblClick(int row)
{
    AddMarker(row);
}

void RecPage::selectRowQuietly(int row)
{
    selectingRow_ = true;
    sgRecMarker->setCurrentCell(row, 0);
    selectingRow_ = false;
}

void RecPage::writeMarkerRow(int slot)
{
    if (!RecMarkerSet::validSlot(slot))
        return;
    const RecMarker* m = markers_.marker(slot);
    // The comment follows the time, so that a reopened record says what each mark was for.
    QString text, comment;
    if (m) {
        comment = QString::fromStdString(m->comment);
        text = QString::fromStdString(timeText(m->time));
        if (!comment.isEmpty())
            text += "  " + comment;
    }
    for (int column = 0; column < 2; ++column)
        sgRecMarker->item(slot, column)->setToolTip(comment);
    sgRecMarker->item(slot, 1)->setText(text);
    paintMarkerRow(slot);
}

void RecPage::paintMarkerRow(int row)
{
    const RecMarker* m = markers_.marker(row);
    for (int column = 0; column < 2; ++column) {
        QTableWidgetItem* item = sgRecMarker->item(row, column);
        if (!item)
            continue;
        if (row == 0) {
            item->setBackground(palette().button());
            item->setForeground(palette().buttonText());
        } else if (m) {
            item->setBackground(ColourFromBgr(m->colour));
            item->setForeground(WhiteTextOn(m->colour) ? Qt::white : Qt::black);
        } else {
            item->setBackground(sgRecMarker->palette().base());
            item->setForeground(sgRecMarker->palette().text());
        }
    }
}

void RecPage::showMarkerChange()
{
    chRec->replot();
}

} // namespace tesmar
