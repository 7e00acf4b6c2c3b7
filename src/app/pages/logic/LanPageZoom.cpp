// The logic analyser page's zoom: the list's own steps, and wider steps past "1:500" up to the
// whole capture, listed after the list's own so that stored item numbers keep their meaning.

#include "app/pages/logic/LanPage.h"

#include <QComboBox>
#include <QSignalBlocker>
#include <QToolButton>

namespace tesmar {

void LanPage::updateWideZoomSteps(double samples)
{
    const std::vector<std::int64_t> steps = LogicWideZoomSteps(samples);
    QStringList captions;
    for (const std::int64_t n : steps)
        captions << QString("1:%1").arg(n);
    QStringList listed;
    for (int i = kLogicZoomItems; i < cbLANZoom->count(); ++i)
        listed << cbLANZoom->itemText(i);
    if (listed == captions)
        return;
    const int item = cbLANZoom->currentIndex();
    const bool whole = item >= kLogicZoomItems && item == cbLANZoom->count() - 1;
    {
        const QSignalBlocker quiet(cbLANZoom);
        while (cbLANZoom->count() > kLogicZoomItems)
            cbLANZoom->removeItem(cbLANZoom->count() - 1);
        cbLANZoom->addItems(captions);
        // A wide step stays where it was; the whole capture stays the whole capture.
        const int last = cbLANZoom->count() - 1;
        if (item >= kLogicZoomItems)
            cbLANZoom->setCurrentIndex(captions.isEmpty() ? 0 : whole ? last : std::min(item, last));
        else
            cbLANZoom->setCurrentIndex(item);
    }
    zoom_ = LogicZoomOfItem(cbLANZoom->currentText().toStdString());
    updateZoomButtons();
}

void LanPage::updateZoomButtons()
{
    const int item = cbLANZoom->currentIndex(), last = cbLANZoom->count() - 1;
    // Past "1:500" come the wide steps, when there are any.
    const int widest = last >= kLogicZoomItems ? last : 0;
    sbLANZoomIn->setEnabled(item != kLogicZoomItems - 1);
    sbLANZoomOut->setEnabled(item != widest);
    sbLANZoomUndo->setEnabled(item != kLogicZoomUndoItem);
}

void LanPage::cbLANZoomChange()
{
    updateZoomButtons();
    zoom_ = LogicZoomOfItem(cbLANZoom->currentText().toStdString());
    zooming_ = true;
    RecomputeTimeAxis();
    zooming_ = false;
}

void LanPage::sbLANZoomInClick()
{
    const int item = cbLANZoom->currentIndex();
    if (item == kLogicZoomItems)
        cbLANZoom->setCurrentIndex(0);
    else if (item > kLogicZoomItems)
        cbLANZoom->setCurrentIndex(item - 1);
    else
        cbLANZoom->setCurrentIndex(std::min(item + 1, kLogicZoomItems - 1));
}

void LanPage::sbLANZoomOutClick()
{
    const int item = cbLANZoom->currentIndex(), count = cbLANZoom->count();
    if (item == 0 && count > kLogicZoomItems)
        cbLANZoom->setCurrentIndex(kLogicZoomItems);
    else if (item >= kLogicZoomItems)
        cbLANZoom->setCurrentIndex(std::min(item + 1, count - 1));
    else
        cbLANZoom->setCurrentIndex(std::max(item - 1, 0));
}

void LanPage::sbLANZoomUndoClick()
{
    cbLANZoom->setCurrentIndex(kLogicZoomUndoItem);
}

} // namespace tesmar
