#include "HelpManual.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace tesmar {

QStringList ManualCandidates()
{
    QStringList paths;
    const QString program = QCoreApplication::applicationDirPath();
    // Installed: <prefix>/bin/tesmar and <prefix>/share/doc/tesmar/manual.
    paths << QDir::cleanPath(program + "/../share/doc/tesmar/manual/index.html");
#ifdef TESMAR_MANUAL_DIR
    paths << QString(TESMAR_MANUAL_DIR) + "/index.html";
#endif
    return paths;
}

QString FindManual(const QStringList& candidates)
{
    for (const QString& path : candidates)
        if (QFileInfo(path).isFile())
            return path;
    return {};
}

} // namespace tesmar
