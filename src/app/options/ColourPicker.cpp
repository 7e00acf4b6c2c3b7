#include "ColourPicker.h"

#include "app/language/WindowTexts.h"

#include <QColorDialog>
#include <QPixmap>

namespace tesmar {

namespace {

struct NamedColour {
    const char* name;
    QRgb rgb;
};

constexpr NamedColour kColours[] = {
    {"Чёрный", 0x000000},      {"Бордовый", 0x800000},     {"Зелёный", 0x008000},   {"Оливковый", 0x808000},
    {"Тёмно-синий", 0x000080}, {"Фиолетовый", 0x800080},   {"Сине-зелёный", 0x008080}, {"Серый", 0x808080},
    {"Серебристый", 0xC0C0C0}, {"Красный", 0xFF0000},      {"Салатовый", 0x00FF00}, {"Жёлтый", 0xFFFF00},
    {"Синий", 0x0000FF},       {"Пурпурный", 0xFF00FF},    {"Голубой", 0x00FFFF},   {"Белый", 0xFFFFFF},
    {"Светло-серый", 0xC8C8C8}, {"Тёмно-серый", 0x404040}, {"Оранжевый", 0xFF8000}, {"Небесный", 0xA6CAF0},
    {"Кремовый", 0xFFFBF0},    {"Мятный", 0xC0DCC0},
};

QIcon Swatch(const QColor& colour)
{
    QPixmap pixmap(16, 12);
    pixmap.fill(colour);
    return QIcon(pixmap);
}

} // namespace

ColourPicker::ColourPicker(QWidget* parent) : QComboBox(parent)
{
    for (const NamedColour& c : kColours)
        addItem(Swatch(QColor(c.rgb)), c.name, QColor(c.rgb));
    addItem("Другой…");
    for (int i = 0; i < count(); ++i)
        setItemData(i, i, kListLineRole); // custom colours, inserted later, are not translated
    askCustom = [this](const QColor& current) { return QColorDialog::getColor(current, this); };
    connect(this, &QComboBox::activated, this, &ColourPicker::chosen);
    connect(this, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (index != customIndex())
            lastIndex_ = index;
    });
}

QColor ColourPicker::colour() const
{
    return itemData(lastIndex_).value<QColor>();
}

void ColourPicker::setColour(const QColor& colour)
{
    for (int i = 0; i < customIndex(); ++i)
        if (itemData(i).value<QColor>().rgb() == colour.rgb()) {
            setCurrentIndex(i);
            return;
        }
    insertItem(customIndex(), Swatch(colour), colour.name(QColor::HexRgb).toUpper(), colour);
    setCurrentIndex(customIndex() - 1);
}

void ColourPicker::chosen(int index)
{
    if (index == customIndex()) {
        const QColor picked = askCustom ? askCustom(colour()) : QColor();
        if (!picked.isValid()) {
            setCurrentIndex(lastIndex_);
            return;
        }
        setColour(picked);
    }
    emit colourChanged();
}

} // namespace tesmar
