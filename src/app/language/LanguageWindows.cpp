#include "LanguageWindows.h"

#include <QApplication>
#include <QWidget>

namespace tesmar {

const QStringList& LanguageWindowNames()
{
    // Every window the program shows: one left out would stay Russian in any language.
    static const QStringList names{
        "fmMain",      "fmOptions", "fmFiltr",      "fmLANSetup", "fmOSC_Buzzer", "fmLANStat",
        "fmLAN_UART",  "fmLAN_SPI", "fmLAN_I2C",    "fmLAN_1Wire", "fmAbout",     "fmUpDateSoft",
        "fmRemark",    "fmInstall", "fmColor",      "fmTerminal", "fmTerminalStatus", "fmClbr",
    };
    return names;
}

QList<LanguageWindow> FindLanguageWindows(QWidget* mainWindow)
{
    QList<LanguageWindow> found;
    for (const QString& name : LanguageWindowNames()) {
        QWidget* window = mainWindow->objectName() == name ? mainWindow : mainWindow->findChild<QWidget*>(name);
        if (!window)
            for (QWidget* top : QApplication::topLevelWidgets())
                if (top->objectName() == name)
                    window = top;
        if (window)
            found.append({name, window});
    }
    return found;
}

} // namespace tesmar
