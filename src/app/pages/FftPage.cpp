#include "FftPage.h"

namespace tesmar {

FftPage::FftPage(QWidget* parent) : MeasurementPage("tsFFT", parent)
{
    const auto knobs = buildKnobColumn({"knFFTFrecDiv", "knFFTCh1", "knFFTCh2"});
    knFFTFrecDiv = knobs[0];
    knFFTCh1 = knobs[1];
    knFFTCh2 = knobs[2];
}

PageHintKeys FftPage::hintKeys() const
{
    return {Msg::strFftFileOpenHint,    Msg::strFftFileSaveDataHint, std::nullopt,
            Msg::strFftFileSaveEMFHint, Msg::strFftFileSaveBMPHint,  Msg::strFftFilePrintHint,
            Msg::strFftEditCopyEMFHint, Msg::strFftEditCopyBMPHint,  Msg::strFftEditClearHint};
}

} // namespace tesmar
