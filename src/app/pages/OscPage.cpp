#include "OscPage.h"

#include <QHBoxLayout>
#include <QToolButton>
#include <QVBoxLayout>

namespace tesmar {

OscPage::OscPage(QWidget* parent) : MeasurementPage("tsOsc", parent)
{
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);

    auto* chartArea = new QWidget(this);
    chartArea->setObjectName("pnOscChart");
    chartArea->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    layout->addWidget(chartArea, 1);

    lsbOscSetupShow = new QToolButton(this);
    lsbOscSetupShow->setObjectName("lsbOscSetupShow");
    lsbOscSetupShow->setText("«");
    lsbOscSetupShow->setToolTip("Показать панель настроек");
    lsbOscSetupShow->setVisible(false);
    layout->addWidget(lsbOscSetupShow, 0, Qt::AlignTop);

    pnOscSetup = new QWidget(this);
    pnOscSetup->setObjectName("pnOscSetup");
    auto* panel = new QVBoxLayout(pnOscSetup);
    panel->setContentsMargins(0, 0, 0, 0);
    lsbOscSetupHide = new QToolButton(pnOscSetup);
    lsbOscSetupHide->setObjectName("lsbOscSetupHide");
    lsbOscSetupHide->setText("»");
    lsbOscSetupHide->setToolTip("Скрыть панель настроек");
    panel->addWidget(lsbOscSetupHide, 0, Qt::AlignRight);
    panel->addStretch(1);
    layout->addWidget(pnOscSetup);

    connect(lsbOscSetupHide, &QToolButton::clicked, this, &OscPage::lsbOscSetupHideClick);
    connect(lsbOscSetupShow, &QToolButton::clicked, this, &OscPage::lsbOscSetupShowClick);
}

PageHintKeys OscPage::hintKeys() const
{
    return {Msg::strOscFileOpenHint,    Msg::strOscFileSaveDataHint, Msg::strOscFileSavePCMHint,
            Msg::strOscFileSaveEMFHint, Msg::strOscFileSaveBMPHint,  Msg::strOscFilePrintHint,
            Msg::strOscEditCopyEMFHint, Msg::strOscEditCopyBMPHint,  Msg::strOscEditClearHint};
}

void OscPage::lsbOscSetupHideClick()
{
    pnOscSetup->setVisible(false);
    lsbOscSetupShow->setVisible(true);
}

void OscPage::lsbOscSetupShowClick()
{
    lsbOscSetupShow->setVisible(false);
    pnOscSetup->setVisible(true);
}

} // namespace tesmar
