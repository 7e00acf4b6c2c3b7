#include "UserMessages.h"

#include <QApplication>
#include <QMessageBox>

namespace tesmar {

QString ToDisplayText(const QString& text)
{
    QString shown = text;
    shown.replace("\r\n", "\n");
    shown.replace('\r', '\n');
    return shown;
}

void MessageBoxes::error(const QString& text)
{
    QMessageBox::critical(parent_, QApplication::applicationName(), ToDisplayText(text));
}

void MessageBoxes::warning(const QString& text)
{
    QMessageBox::warning(parent_, QApplication::applicationName(), ToDisplayText(text));
}

void MessageBoxes::information(const QString& text)
{
    QMessageBox::information(parent_, QApplication::applicationName(), ToDisplayText(text));
}

bool MessageBoxes::question(const QString& text)
{
    return QMessageBox::question(parent_, QApplication::applicationName(), ToDisplayText(text),
                                 QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
}

UserMessages::SaveAnswer MessageBoxes::askToSave(const QString& text)
{
    switch (QMessageBox::question(parent_, QApplication::applicationName(), ToDisplayText(text),
                                  QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, QMessageBox::Save)) {
    case QMessageBox::Save:
        return SaveAnswer::Save;
    case QMessageBox::Discard:
        return SaveAnswer::Discard;
    default:
        return SaveAnswer::Cancel;
    }
}

} // namespace tesmar
