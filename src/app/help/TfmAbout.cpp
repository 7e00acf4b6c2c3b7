#include "TfmAbout.h"
#include "app/language/WindowTexts.h"

#include <QGridLayout>
#include <QIcon>
#include <QLabel>
#include <QPushButton>
#include <QtGlobal>

#ifndef TESMAR_VERSION
#define TESMAR_VERSION "2.0"
#endif

namespace tesmar {

QString ProgramVersionText()
{
    return QString("Tesmar ") + TESMAR_VERSION;
}

QString ProgramBuildText()
{
#if defined(__clang__)
    const QString compiler = QString("Clang %1.%2").arg(__clang_major__).arg(__clang_minor__);
#elif defined(__GNUC__)
    const QString compiler = QString("GCC %1.%2").arg(__GNUC__).arg(__GNUC_MINOR__);
#else
    const QString compiler = "C++";
#endif
    // Build data, shown the same in every language.
    return QString("Build %1, %2, Qt %3 (running on Qt %4)")
        .arg(QString(__DATE__).simplified(), compiler, QT_VERSION_STR, qVersion());
}

TfmAbout::TfmAbout(QWidget* parent) : QDialog(parent)
{
    setObjectName("fmAbout");
    setWindowTitle("О программе Tesmar");
    setModal(true);

    imLogo = new QLabel(this);
    imLogo->setObjectName("imLogo");
    imLogo->setPixmap(QIcon(":/tesmar.svg").pixmap(96, 96));
    lbName = new QLabel(ProgramVersionText(), this);
    lbName->setObjectName("lbName");
    QFont big = lbName->font();
    big.setPointSizeF(big.pointSizeF() * 1.6);
    big.setBold(true);
    lbName->setFont(big);
    lbVersion = new QLabel("Осциллограф, спектр анализатор, самописец и логический анализатор", this);
    lbVersion->setObjectName("lbVersion");
    lbBuild = new QLabel(ProgramBuildText(), this);
    lbBuild->setObjectName("lbBuild");
    lbBuild->setProperty(kKeepCaptionProperty, true);
    lbRights = new QLabel("Программа для USB прибора Tesmar под Linux: Qt 6, QCustomPlot, libusb.", this);
    lbRights->setObjectName("lbRights");
    lbInstrument = new QLabel(this);
    lbInstrument->setObjectName("lbInstrument");
    lbInstrument->setTextInteractionFlags(Qt::TextSelectableByMouse);
    btOK = new QPushButton("OK", this);
    btOK->setObjectName("btOK");
    btOK->setDefault(true);
    connect(btOK, &QPushButton::clicked, this, &QDialog::accept);

    auto* layout = new QGridLayout(this);
    layout->addWidget(imLogo, 0, 0, 5, 1, Qt::AlignTop);
    layout->addWidget(lbName, 0, 1);
    layout->addWidget(lbVersion, 1, 1);
    layout->addWidget(lbBuild, 2, 1);
    layout->addWidget(lbRights, 3, 1);
    layout->addWidget(lbInstrument, 4, 1);
    layout->addWidget(btOK, 5, 1, Qt::AlignRight);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void TfmAbout::setInstrumentText(const QString& text)
{
    lbInstrument->setText(text);
}

} // namespace tesmar
