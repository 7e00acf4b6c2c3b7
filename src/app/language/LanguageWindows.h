#pragma once
// The windows whose texts a language file holds, in the order they are processed. A window is
// found by its object name when it exists; a window the program does not (yet) have is passed by.

#include <QList>
#include <QString>

class QWidget;

namespace tesmar {

struct LanguageWindow {
    QString name;      // section of the language file
    QWidget* window;
};

// The names in processing order.
const QStringList& LanguageWindowNames();
// The existing windows among them: `mainWindow` itself and the windows below it or at the top.
QList<LanguageWindow> FindLanguageWindows(QWidget* mainWindow);

} // namespace tesmar
