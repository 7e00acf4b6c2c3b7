#include "TfmTerminalStatus.h"

#include "text/MessageTable.h"

#include <QCloseEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace tesmar {

namespace {

QGroupBox* StateGroup(QWidget* parent, const char* caption, const QString& name, const QString& unused,
                      QLabel*& label) {
    auto* group = new QGroupBox(QString::fromUtf8(caption), parent);
    group->setObjectName("grbox" + name);
    auto* row = new QHBoxLayout(group);
    auto* heading = new QLabel("Состояние: ", group);
    heading->setObjectName("lb" + name + "Caption");
    row->addWidget(heading);
    label = new QLabel(unused, group);
    const QString labelName = "lb" + name + "State";
    label->setObjectName(labelName);
    row->addWidget(label, 1);
    return group;
}

} // namespace

TfmTerminalStatus::TfmTerminalStatus(const MessageTable& table, QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::WindowStaysOnTopHint) {
    setObjectName("fmTerminalStatus");
    setWindowTitle("Статус");
    setAttribute(Qt::WA_ShowWithoutActivating);
    auto* layout = new QVBoxLayout(this);
    const QString unused = QString::fromStdString(table.text(Msg::strTermUnused));
    layout->addWidget(StateGroup(this, "Состояние передачи", "Transmit", unused, lbTransmitState));
    layout->addWidget(StateGroup(this, "Состояние приема", "Receive", unused, lbReceiveState));
    btReset = new QPushButton("Сброс", this);
    btReset->setObjectName("btReset");
    layout->addWidget(btReset, 0, Qt::AlignHCenter);
    connect(btReset, &QPushButton::clicked, this, &TfmTerminalStatus::btResetClick);
    setMinimumWidth(300);
}

void TfmTerminalStatus::setStates(const QString& transmit, const QString& receive) {
    lbTransmitState->setText(transmit);
    lbReceiveState->setText(receive);
}

void TfmTerminalStatus::btResetClick() {
    close();
}

void TfmTerminalStatus::closeQuietly() {
    quiet_ = true;
    close();
    quiet_ = false;
}

void TfmTerminalStatus::FormShow() {
    // Centred on the terminal.
    if (QWidget* owner = parentWidget())
        move(owner->geometry().center() - rect().center());
}

void TfmTerminalStatus::showEvent(QShowEvent* event) {
    FormShow();
    QWidget::showEvent(event);
}

void TfmTerminalStatus::closeEvent(QCloseEvent* event) {
    QWidget::closeEvent(event);
    if (!quiet_)
        emit resetRequested();
}

} // namespace tesmar
