// The logic analyser page: the search group. A value on a bus or an edge of one line is looked
// for from marker 1 or the last hit; the hit moves marker 1 and the window onto it.

#include "app/pages/logic/LanChart.h"
#include "app/pages/logic/LanPage.h"
#include "app/pages/PageWidgets.h"
#include "app/options/OptionVariables.h"
#include "dsp/TextHelpers.h"
#include "text/MessageTable.h"
#include "logic/ChannelNames.h"
#include "logic/LogicSearch.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QToolButton>

#include <algorithm>
#include <cmath>

namespace tesmar {

QWidget* LanPage::buildSearchGroup()
{
    auto* group = new QGroupBox("Поиск логической комбинации / фронта", pnLANSetup);
    group->setObjectName("grboxLANFind");
    auto* grid = new QGridLayout(group);
    grid->setContentsMargins(4, 4, 4, 4);
    grid->setSpacing(2);
    auto radio = [group](const char* name, const QString& text) {
        auto* r = new QRadioButton(text, group);
        r->setObjectName(name);
        return r;
    };
    rbLANFindSourceBusA = radio("rbLANFindSourceBusA", "Шина А");
    rbLANFindSourceBusB = radio("rbLANFindSourceBusB", "Шина B");
    rbLANFindSourceEdgeRising = radio("rbLANFindSourceEdgeRising", "");
    rbLANFindSourceEdgeFailling = radio("rbLANFindSourceEdgeFailling", "");
    rbLANFindSourceEdgeFall = radio("rbLANFindSourceEdgeFall", "");
    auto* sources = new QButtonGroup(group);
    for (QRadioButton* r : {rbLANFindSourceBusA, rbLANFindSourceBusB, rbLANFindSourceEdgeRising,
                            rbLANFindSourceEdgeFailling, rbLANFindSourceEdgeFall})
        sources->addButton(r);
    rbLANFindSourceBusA->setChecked(true);
    // The edge pictures check their buttons when clicked.
    imLANFindSourceEdgeRising = MakePageLabel(group, "imLANFindSourceEdgeRising", "_|‾");
    imLANFindSourceEdgeFailling = MakePageLabel(group, "imLANFindSourceEdgeFailling", "‾|_");
    imLANFindSourceEdgeFall = MakePageLabel(group, "imLANFindSourceEdgeFall", "_|‾|_");
    for (QLabel* picture : {imLANFindSourceEdgeRising, imLANFindSourceEdgeFailling, imLANFindSourceEdgeFall})
        picture->installEventFilter(this);

    cbLANFindCh = new QComboBox(group);
    cbLANFindCh->setObjectName("cbLANFindCh");
    for (int c = 0; c < 16; ++c)
        cbLANFindCh->addItem(QString::fromStdString(channels_.names[c]), c);

    auto edit = [this, group](const char* name, const QString& text, int length) {
        auto* e = new QLineEdit(text, group);
        e->setObjectName(name);
        e->setMaxLength(length);
        e->installEventFilter(this);
        return e;
    };
    edLANFindBIN = edit("edLANFindBIN", "00000000", 8);
    edLANFindHEX = edit("edLANFindHEX", "00", 2);
    edLANFindDEC = edit("edLANFindDEC", "0", 3);

    spbtOpenLANFindBack = MakePageButton(group, "spbtOpenLANFindBack", "<<", "Поиск назад", false);
    spbtOpenLANFindForward = MakePageButton(group, "spbtOpenLANFindForward", ">>", "Поиск вперед", false);
    connect(spbtOpenLANFindForward, &QToolButton::clicked, this, &LanPage::spbtOpenLANFindForwardClick);
    connect(spbtOpenLANFindBack, &QToolButton::clicked, this, &LanPage::spbtOpenLANFindBackClick);

    grid->addWidget(rbLANFindSourceBusA, 0, 0, 1, 2);
    grid->addWidget(rbLANFindSourceBusB, 0, 2, 1, 2);
    grid->addWidget(rbLANFindSourceEdgeRising, 1, 0);
    grid->addWidget(imLANFindSourceEdgeRising, 1, 1);
    grid->addWidget(rbLANFindSourceEdgeFailling, 1, 2);
    grid->addWidget(imLANFindSourceEdgeFailling, 1, 3);
    grid->addWidget(rbLANFindSourceEdgeFall, 2, 0);
    grid->addWidget(imLANFindSourceEdgeFall, 2, 1);
    grid->addWidget(MakePageLabel(group, "", "Канал:"), 2, 2);
    grid->addWidget(cbLANFindCh, 2, 3);
    grid->addWidget(MakePageLabel(group, "", "BIN:"), 3, 0);
    grid->addWidget(edLANFindBIN, 3, 1, 1, 3);
    grid->addWidget(MakePageLabel(group, "", "HEX:"), 4, 0);
    grid->addWidget(edLANFindHEX, 4, 1);
    grid->addWidget(MakePageLabel(group, "", "DEC:"), 4, 2);
    grid->addWidget(edLANFindDEC, 4, 3);
    grid->addWidget(spbtOpenLANFindBack, 5, 0, 1, 2);
    grid->addWidget(spbtOpenLANFindForward, 5, 2, 1, 2);
    return group;
}

void LanPage::imLANFindSourceEdgeRisingClick()
{
    rbLANFindSourceEdgeRising->setChecked(true);
}

void LanPage::imLANFindSourceEdgeFaillingClick()
{
    rbLANFindSourceEdgeFailling->setChecked(true);
}

void LanPage::imLANFindSourceEdgeFallClick()
{
    rbLANFindSourceEdgeFall->setChecked(true);
}

// The key rules of the three value edits; false drops the key. Any key makes the edit the one
// typed into last; Enter applies it.
bool LanPage::findEditKey(QLineEdit* edit, const QKeyEvent& key)
{
    lastTypedFind_ = edit;
    if (key.key() == Qt::Key_Return || key.key() == Qt::Key_Enter) {
        applyFindValue();
        return false;
    }
    const QString text = key.text();
    if (text.isEmpty() || text[0].unicode() < 32 || text[0].unicode() == 127)
        return true; // control keys
    const QChar c = text[0];
    if (edit == edLANFindBIN)
        return c == '0' || c == '1';
    if (edit == edLANFindHEX)
        return c.isDigit() || (c.toUpper() >= 'A' && c.toUpper() <= 'F');
    return c >= '0' && c <= '9';
}

void LanPage::applyFindValue()
{
    int value = 0;
    if (lastTypedFind_) {
        const std::string text = lastTypedFind_->text().toStdString();
        if (lastTypedFind_ == edLANFindBIN)
            value = BinTextToInt(text);
        else if (lastTypedFind_ == edLANFindHEX)
            value = HexTextToInt(text);
        else
            value = lastTypedFind_->text().toInt();
    }
    lastTypedFind_ = nullptr;
    findValue_ = static_cast<std::uint8_t>(value & 0xFF);
    edLANFindBIN->setText(QString::fromStdString(ByteToBinText(findValue_, false)));
    edLANFindHEX->setText(QString("%1").arg(findValue_, 2, 16, QChar('0')).toUpper());
    edLANFindDEC->setText(QString::number(findValue_));
}

void LanPage::forgetSearchHit()
{
    findHit_.reset();
}

void LanPage::spbtOpenLANFindForwardClick()
{
    findNext(true);
}

void LanPage::spbtOpenLANFindBackClick()
{
    findNext(false);
}

void LanPage::findNext(bool forward)
{
    if (lastTypedFind_)
        applyFindValue();
    const bool byValue = rbLANFindSourceBusA->isChecked() || rbLANFindSourceBusB->isChecked();
    const int line = cbLANFindCh->currentData().toInt();
    const int busIndex = rbLANFindSourceBusB->isChecked() || (!byValue && line >= 8) ? 1 : 0;
    // In generator mode the chart's bus B is the generator data.
    const DrawnBus& bus = chLAN->bus(busIndex);
    if (bus.empty() || bus.samples.empty()) {
        if (ctx_.showWarning)
            ctx_.showWarning(msg(busIndex == 0 ? Msg::strNoFindDataBusA : Msg::strNoFindDataBusB));
        return;
    }
    LogicSearchRequest request;
    request.byValue = byValue;
    request.value = findValue_;
    request.lineMask = static_cast<std::uint8_t>(1u << (line & 7));
    request.edge = rbLANFindSourceEdgeRising->isChecked()     ? LogicEdge::Rising
                   : rbLANFindSourceEdgeFailling->isChecked() ? LogicEdge::Falling
                                                              : LogicEdge::Any;
    request.forward = forward;
    const LogicSearchStart start =
        SearchStartFrom(findHit_ ? std::optional<std::int64_t>(findHit_->index) : std::nullopt, chLAN->markerPosition(0),
                        bus.firstX, bus.step, forward, ctx_.options.f_lan_pass_group_find);
    request.start = start.index;
    request.skipGroup = start.skipGroup;
    const auto hit = FindInCapture(bus.samples, bus.summary, request);
    if (!hit) {
        if (!ctx_.showWarning)
            return;
        if (byValue) {
            QString text = msg(Msg::strNoFindMask);
            for (const QString& part : {edLANFindBIN->text(), edLANFindHEX->text()}) {
                const auto at = text.indexOf("%s");
                if (at >= 0)
                    text.replace(at, 2, part);
            }
            ctx_.showWarning(text);
        } else {
            ctx_.showWarning(msg(Msg::strNoFindEdge));
        }
        return;
    }
    showSearchHit({*hit, byValue, busIndex});
}

void LanPage::showSearchHit(const SearchHit& hit)
{
    const DrawnBus& bus = chLAN->bus(hit.bus);
    const double first = bus.firstX;
    const double last = first + static_cast<double>(bus.samples.size() - 1) * bus.step;
    double x = first + static_cast<double>(hit.index) * bus.step;
    const double w = chLAN->xAxis->range().upper - chLAN->xAxis->range().lower;
    if (w / 2 >= x - first)
        chLAN->setBottomRange(first, first + w);
    else if (last - w > x)
        chLAN->setBottomRange(x - w / 2, x + w / 2);
    else
        chLAN->setBottomRange(last - w, last);
    x = std::clamp(x, first, last);
    chLAN->replot();
    chLAN->setMarkerPosition(0, x);
    findHit_ = hit; // after the replot, whose scroll bar update must not forget it
    chLAN->replot();
    UpdateReadouts();
}

} // namespace tesmar
