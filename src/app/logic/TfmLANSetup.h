#pragma once
// "Задание параметров канала": the name and colour of one logic line, with a preview.

#include <QDialog>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace tesmar {

class TfmLANSetup : public QDialog {
    Q_OBJECT
public:
    explicit TfmLANSetup(QWidget* parent = nullptr);

    // Fills the dialog for one line before it is shown.
    void setChannel(const QString& name, const QColor& colour);
    QString name() const;
    // The caption of the list's last item, which asks for any other colour.
    void setOtherCaption(const QString& caption);
    QColor colour() const;

    QLineEdit* edName = nullptr;
    QComboBox* clboxColor = nullptr;
    QLabel* lbName = nullptr;
    QWidget* pnboxLine = nullptr;
    QPushButton* btOK = nullptr;
    QPushButton* btCancel = nullptr;

public slots:
    void FormShow();

private:
    void chooseOtherColour();
};

} // namespace tesmar
