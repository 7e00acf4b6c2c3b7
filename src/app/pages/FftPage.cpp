#include "FftPage.h"

namespace tesmar {

FftPage::FftPage(QWidget* parent) : MeasurementPage("tsFFT", parent) {}

PageHintKeys FftPage::hintKeys() const
{
    return {Msg::strFftFileOpenHint,    Msg::strFftFileSaveDataHint, std::nullopt,
            Msg::strFftFileSaveEMFHint, Msg::strFftFileSaveBMPHint,  Msg::strFftFilePrintHint,
            Msg::strFftEditCopyEMFHint, Msg::strFftEditCopyBMPHint,  Msg::strFftEditClearHint};
}

} // namespace tesmar
