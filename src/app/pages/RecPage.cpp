#include "RecPage.h"

namespace tesmar {

RecPage::RecPage(QWidget* parent) : MeasurementPage("tsRec", parent) {}

PageHintKeys RecPage::hintKeys() const
{
    return {Msg::strRecFileOpenHint,    Msg::strRecFileSaveDataHint, Msg::strRecFileSavePCMHint,
            Msg::strRecFileSaveEMFHint, Msg::strRecFileSaveBMPHint,  Msg::strRecFilePrintHint,
            Msg::strRecEditCopyEMFHint, Msg::strRecEditCopyBMPHint,  Msg::strRecEditClearHint};
}

} // namespace tesmar
