#include "LanPage.h"

namespace tesmar {

LanPage::LanPage(QWidget* parent) : MeasurementPage("tsLAN", parent)
{
    const auto knobs = buildKnobColumn({"knLANFrecDiv"});
    knLANFrecDiv = knobs[0];
}

PageHintKeys LanPage::hintKeys() const
{
    return {Msg::strLanFileOpenHint,    Msg::strLanFileSaveDataHint, std::nullopt,
            Msg::strLanFileSaveEMFHint, Msg::strLanFileSaveBMPHint,  Msg::strLanFilePrintHint,
            Msg::strLanEditCopyEMFHint, Msg::strLanEditCopyBMPHint,  Msg::strLanEditClearHint};
}

} // namespace tesmar
