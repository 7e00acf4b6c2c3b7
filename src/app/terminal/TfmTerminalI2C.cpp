// The I2C page of the terminal: the receive and transmit groups and the rules of their edits.

#include "TerminalHexGrid.h"
#include "TfmTerminal.h"

#include "terminal/TerminalFields.h"

#include <algorithm>

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QSpinBox>
#include <QSplitter>
#include <QTabWidget>
#include <QVBoxLayout>

#include <vector>

namespace tesmar {

namespace {

constexpr int kGroupMinimumHeight = 82;

// An up-down with its edit (digits only); the edit's text counts on Enter or when it loses the
// focus, not at every key.
QSpinBox* UpDown(QWidget* parent, const QString& name, int lowest, int highest, int value, int digits,
                 QLineEdit*& edit) {
    auto* upDown = new QSpinBox(parent);
    upDown->setObjectName("ud" + name);
    upDown->setRange(lowest, highest);
    upDown->setValue(value);
    upDown->setKeyboardTracking(false);
    edit = upDown->findChild<QLineEdit*>();
    edit->setObjectName("ed" + name);
    edit->setMaxLength(digits);
    return upDown;
}

// Takes "0", "1" and control keys.
QLineEdit* AddressEdit(QWidget* parent, const QString& name, const QString& hint) {
    auto* edit = new QLineEdit(kTerminalDefaultAddress, parent);
    edit->setObjectName(name);
    edit->setToolTip(hint);
    edit->setMaxLength(kTerminalAddressDigits);
    edit->setValidator(new QRegularExpressionValidator(QRegularExpression("[01]*"), edit));
    return edit;
}

QPushButton* Button(QWidget* parent, const char* name, const QString& caption, const QString& hint,
                    bool enabled) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(name);
    button->setToolTip(hint);
    button->setEnabled(enabled);
    return button;
}

} // namespace

QWidget* TfmTerminal::buildI2CPage() {
    auto* page = new QWidget(pgcntrTerminal);
    page->setObjectName("tsI2C");
    auto* splitter = new QSplitter(Qt::Vertical, page);
    splitter->setObjectName("splitterI2C");
    splitter->setChildrenCollapsible(false);
    splitter->addWidget(buildGroup(false));
    splitter->addWidget(buildGroup(true));
    lbI2CResult = new QLabel(page);
    lbI2CResult->setObjectName("lbI2CResult");
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(splitter, 1);
    layout->addWidget(lbI2CResult);
    connectEdits();
    return page;
}

QWidget* TfmTerminal::buildGroup(bool write) {
    const QString d = write ? "Wr" : "Rd";
    auto* group = new QGroupBox(write ? "Буфер передатчика" : "Буфер приемника");
    group->setObjectName("grboxI2C" + d);
    QSpinBox*& count = write ? udI2CCountWr : udI2CCountRd;
    QSpinBox*& speed = write ? udI2CSpeedWr : udI2CSpeedRd;
    QRadioButton*& master = write ? rbI2CMasterWr : rbI2CMasterRd;
    QRadioButton*& slave = write ? rbI2CSlaveWr : rbI2CSlaveRd;
    QLineEdit*& masterAddress = write ? edI2CMasterAddWr : edI2CMasterAddRd;
    QLineEdit*& slaveAddress = write ? edI2CSlaveAddWr : edI2CSlaveAddRd;

    count = UpDown(group, "I2CCount" + d, kTerminalMinCount, kTerminalBufferSize, kTerminalDefaultCount,
                   kTerminalCountDigits, write ? edI2CCountWr : edI2CCountRd);
    speed = UpDown(group, "I2CSpeed" + d, kTerminalMinSpeed, kTerminalMaxSpeed, kTerminalDefaultSpeed,
                   kTerminalSpeedDigits, write ? edI2CSpeedWr : edI2CSpeedRd);
    master = new QRadioButton("Master", group);
    master->setObjectName("rbI2CMaster" + d);
    slave = new QRadioButton("Slave", group);
    slave->setObjectName("rbI2CSlave" + d);
    (write ? master : slave)->setChecked(true);
    masterAddress =
        AddressEdit(group, "edI2CMasterAdd" + d, "Адрес ведомого устройства (7 двоичных разрядов)");
    slaveAddress = AddressEdit(group, "edI2CSlaveAdd" + d,
                               "Собственный адрес прибора как ведомого (0000000 - отвечать на любой адрес)");

    auto* settings = new QGridLayout;
    auto* countCaption = new QLabel("Кол-во:", group);
    countCaption->setObjectName("lbI2CCount" + d);
    settings->addWidget(countCaption, 0, 0);
    settings->addWidget(count, 0, 1);
    settings->addWidget(master, 0, 2);
    settings->addWidget(masterAddress, 0, 3);
    settings->addWidget(new QLabel("Baud", group), 0, 4);
    settings->addWidget(speed, 0, 5);
    settings->addWidget(slave, 1, 2);
    settings->addWidget(slaveAddress, 1, 3);
    settings->setColumnStretch(6, 1);

    TerminalHexGrid* grid = nullptr;
    std::vector<QPushButton*> buttons;
    if (write) {
        grid = strgridI2CBufWr = new TerminalHexGrid("strgridI2CBufWr", transmit_, true, group);
        sbI2CWrite = Button(group, "sbI2CWrite", "Записать",
                            "Записать заданное количество байт во внешнее устройство", true);
        sbI2COpenFileWr =
            Button(group, "sbI2COpenFileWr", "Открыть...", "Открыть файл с данными для передачи", true);
        sbI2CWriteAndRead = Button(group, "sbI2CWriteAndRead", "Записать и прочитать", {}, false);
        sbI2CWriteAndPipeRead = Button(group, "sbI2CWriteAndPipeRead", "Записать и читать поток", {}, false);
        buttons = {sbI2CWrite, sbI2COpenFileWr, sbI2CWriteAndRead, sbI2CWriteAndPipeRead};
    } else {
        grid = strgridI2CBufRd = new TerminalHexGrid("strgridI2CBufRd", receive_, false, group);
        sbI2CRead = Button(group, "sbI2CRead", "Прочитать",
                           "Прочитать из внешнего устройства заданное количество байт", true);
        sbI2CSaveFileRd =
            Button(group, "sbI2CSaveFileRd", "Сохранить...", "Сохранить принятые данные в файл", true);
        sbI2CReadAndWrite = Button(group, "sbI2CReadAndWrite", "Прочитать и записать", {}, false);
        sbI2CPipeRead = Button(group, "sbI2CPipeRead", "Читать поток", {}, false);
        buttons = {sbI2CRead, sbI2CSaveFileRd, sbI2CReadAndWrite, sbI2CPipeRead};
    }
    grid->setCount(kTerminalDefaultCount);
    auto* column = new QVBoxLayout;
    for (QPushButton* b : buttons)
        column->addWidget(b);
    column->addStretch(1);
    auto* body = new QHBoxLayout;
    body->addWidget(grid, 1);
    body->addLayout(column);
    auto* layout = new QVBoxLayout(group);
    layout->addLayout(settings);
    layout->addLayout(body, 1);
    // Never lower than its settings, buttons and a few table rows need.
    group->setMinimumHeight(std::max(kGroupMinimumHeight, layout->totalMinimumSize().height()));
    return group;
}

void TfmTerminal::connectEdits() {
    connect(udI2CCountRd, &QSpinBox::valueChanged, this, &TfmTerminal::udI2CCountRdChangingEx);
    connect(udI2CCountWr, &QSpinBox::valueChanged, this, &TfmTerminal::udI2CCountWrChangingEx);
    // Enter rewrites the count from its up-down and sets the table's count, also when unchanged.
    connect(edI2CCountRd, &QLineEdit::returnPressed, this,
            [this] { udI2CCountRdChangingEx(udI2CCountRd->value()); });
    connect(edI2CCountWr, &QLineEdit::returnPressed, this,
            [this] { udI2CCountWrChangingEx(udI2CCountWr->value()); });
    for (QLineEdit* address : {edI2CMasterAddRd, edI2CSlaveAddRd, edI2CMasterAddWr, edI2CSlaveAddWr})
        connect(address, &QLineEdit::editingFinished, this, [address] {
            address->setText(QString::fromStdString(NormaliseAddressText(address->text().toStdString())));
        });
    connect(strgridI2CBufWr->hexModel(), &TerminalHexModel::countExtended, this, [this](int count) {
        const QSignalBlocker block(udI2CCountWr);
        udI2CCountWr->setValue(count);
    });
}

void TfmTerminal::udI2CCountRdChangingEx(int value) {
    strgridI2CBufRd->setCount(ClampTerminalCount(value));
}

void TfmTerminal::udI2CCountWrChangingEx(int value) {
    strgridI2CBufWr->setCount(ClampTerminalCount(value));
}

TerminalGroupSettings TfmTerminal::groupSettings(bool write) const {
    TerminalGroupSettings s;
    s.count = (write ? udI2CCountWr : udI2CCountRd)->value();
    s.master = (write ? rbI2CMasterWr : rbI2CMasterRd)->isChecked();
    s.masterAddress =
        NormaliseAddressText((write ? edI2CMasterAddWr : edI2CMasterAddRd)->text().toStdString());
    s.slaveAddress = NormaliseAddressText((write ? edI2CSlaveAddWr : edI2CSlaveAddRd)->text().toStdString());
    s.speed = (write ? udI2CSpeedWr : udI2CSpeedRd)->value();
    return s;
}

void TfmTerminal::applyGroupSettings(bool write, const TerminalGroupSettings& s) {
    (write ? udI2CCountWr : udI2CCountRd)->setValue(s.count);
    (write ? rbI2CMasterWr : rbI2CMasterRd)->setChecked(s.master);
    (write ? rbI2CSlaveWr : rbI2CSlaveRd)->setChecked(!s.master);
    (write ? edI2CMasterAddWr : edI2CMasterAddRd)->setText(QString::fromStdString(s.masterAddress));
    (write ? edI2CSlaveAddWr : edI2CSlaveAddRd)->setText(QString::fromStdString(s.slaveAddress));
    (write ? udI2CSpeedWr : udI2CSpeedRd)->setValue(s.speed);
    (write ? strgridI2CBufWr : strgridI2CBufRd)->setCount(s.count);
}

} // namespace tesmar
