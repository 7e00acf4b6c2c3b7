#pragma once
// A drop-down colour picker: the standard and extended colours by name, with a swatch each, and
// "Другой…" for any other colour through the system colour dialog.

#include <QColor>
#include <QComboBox>

#include <functional>

namespace tesmar {

class ColourPicker : public QComboBox {
    Q_OBJECT
public:
    explicit ColourPicker(QWidget* parent = nullptr);

    QColor colour() const;
    // A colour that is not in the list is added under its hexadecimal name.
    void setColour(const QColor& colour);

    // Asks for a custom colour; tests answer without the modal dialog.
    std::function<QColor(const QColor& current)> askCustom;

signals:
    void colourChanged();

private:
    void chosen(int index);
    int customIndex() const { return count() - 1; }

    int lastIndex_ = 0;
};

} // namespace tesmar
