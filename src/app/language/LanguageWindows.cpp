#include "LanguageWindows.h"

#include <QApplication>
#include <QWidget>

namespace tesmar {

const QStringList& LanguageWindowNames()
{
    // One line per window; the calibration and terminal windows keep their texts.
    static const QStringList names{
        "fmMain",     "fmOptions", "fmFiltr",  "fmLANSetup",   "fmOSC_Buzzer", "fmLANStat", "fmLAN_UART", "fmLAN_SPI",
        "fmLAN_I2C", "fmLAN_1Wire", "fmAbout", "fmUpDateSoft", "fmRemark",     "fmInstall", "fmColor",
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
