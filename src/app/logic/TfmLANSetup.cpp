#include "TfmLANSetup.h"
#include "app/language/WindowTexts.h"

#include <QColorDialog>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

namespace tesmar {

namespace {

// The preview trace: a line with four pulses in the chosen colour.
class LinePreview : public QWidget {
public:
    explicit LinePreview(QWidget* parent) : QWidget(parent) { setMinimumSize(130, 22); }
    QColor colour = Qt::red;

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        p.setPen(QPen(colour, 1));
        QPolygonF line{{5, 18}};
        for (auto [a, b] : {std::pair(10, 20), std::pair(60, 65), std::pair(70, 80), std::pair(100, 120)})
            line << QPointF(a, 18) << QPointF(a, 2) << QPointF(b, 2) << QPointF(b, 18);
        line << QPointF(125, 18);
        p.drawPolyline(line);
    }
};

const char* const kOther = "Другой...";

} // namespace

TfmLANSetup::TfmLANSetup(QWidget* parent) : QDialog(parent)
{
    setObjectName("fmLANSetup");
    setWindowTitle("Задание параметров канала");
    auto* column = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    edName = new QLineEdit(this);
    edName->setObjectName("edName");
    edName->setToolTip("Введите название канала");
    clboxColor = new QComboBox(this);
    clboxColor->setObjectName("clboxColor");
    clboxColor->setToolTip("Выберете цвет канала");
    for (const QString& name : QColor::colorNames()) {
        QPixmap swatch(12, 12);
        swatch.fill(QColor::fromString(name));
        clboxColor->addItem(QIcon(swatch), name, QColor::fromString(name));
    }
    clboxColor->addItem(kOther); // the one item without a colour
    clboxColor->setProperty(kKeepListProperty, true);
    form->addRow("Название канала:", edName);
    form->addRow("Цвет канала:", clboxColor);
    column->addLayout(form);
    auto* preview = new QGroupBox("Просмотр", this);
    auto* previewRow = new QHBoxLayout(preview);
    lbName = new QLabel(preview);
    lbName->setObjectName("lbName");
    auto* line = new LinePreview(preview);
    line->setObjectName("pnboxLine");
    pnboxLine = line;
    previewRow->addWidget(lbName);
    previewRow->addWidget(pnboxLine, 1);
    column->addWidget(preview);
    auto* buttons = new QHBoxLayout;
    btOK = new QPushButton("OK", this);
    btOK->setObjectName("btOK");
    btOK->setDefault(true);
    btOK->setToolTip("Сохранить все внесенные изменения и закрыть окно");
    btCancel = new QPushButton("Отмена", this);
    btCancel->setObjectName("btCancel");
    btCancel->setToolTip("Отменить все внесенные изменения и закрыть окно");
    buttons->addStretch(1);
    buttons->addWidget(btOK);
    buttons->addWidget(btCancel);
    column->addLayout(buttons);
    connect(btOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(btCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(edName, &QLineEdit::textChanged, this, &TfmLANSetup::FormShow);
    connect(clboxColor, &QComboBox::activated, this, [this] {
        if (!clboxColor->currentData().isValid())
            chooseOtherColour();
        FormShow();
    });
}

void TfmLANSetup::setChannel(const QString& name, const QColor& colour)
{
    edName->setText(name);
    int index = clboxColor->findData(colour);
    if (index < 0) {
        QPixmap swatch(12, 12);
        swatch.fill(colour);
        clboxColor->insertItem(0, QIcon(swatch), colour.name(), colour);
        index = 0;
    }
    clboxColor->setCurrentIndex(index);
    FormShow();
}

void TfmLANSetup::setOtherCaption(const QString& caption)
{
    clboxColor->setItemText(clboxColor->count() - 1, caption);
}

QString TfmLANSetup::name() const
{
    return edName->text();
}

QColor TfmLANSetup::colour() const
{
    return clboxColor->currentData().value<QColor>();
}

void TfmLANSetup::FormShow()
{
    lbName->setText(edName->text());
    lbName->setStyleSheet(QString("color: %1").arg(colour().name()));
    static_cast<LinePreview*>(pnboxLine)->colour = colour();
    pnboxLine->update();
}

void TfmLANSetup::chooseOtherColour()
{
    const QColor chosen = QColorDialog::getColor(colour(), this);
    setChannel(edName->text(), chosen.isValid() ? chosen : QColor(Qt::red));
}

} // namespace tesmar
