#include "RecPage.h"

namespace tesmar {

RecPage::RecPage(QWidget* parent) : MeasurementPage("tsRec", parent)
{
    const auto knobs = buildKnobColumn({"knRecTimeDiv", "knRecCh1", "knRecCh2"});
    knRecTimeDiv = knobs[0];
    knRecCh1 = knobs[1];
    knRecCh2 = knobs[2];
}

PageHintKeys RecPage::hintKeys() const
{
    return {Msg::strRecFileOpenHint,    Msg::strRecFileSaveDataHint, Msg::strRecFileSavePCMHint,
            Msg::strRecFileSaveEMFHint, Msg::strRecFileSaveBMPHint,  Msg::strRecFilePrintHint,
            Msg::strRecEditCopyEMFHint, Msg::strRecEditCopyBMPHint,  Msg::strRecEditClearHint};
}

} // namespace tesmar
