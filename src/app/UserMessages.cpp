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

} // namespace tesmar
