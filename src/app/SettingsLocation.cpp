#include "SettingsLocation.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace tesmar {

std::string SettingsFolder()
{
    QString folder = QCoreApplication::applicationDirPath();
    if (!QFileInfo(folder).isWritable()) {
        folder = QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
        QDir().mkpath(folder);
    }
    if (!folder.endsWith('/'))
        folder += '/';
    return folder.toStdString();
}

} // namespace tesmar
