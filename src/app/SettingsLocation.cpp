#include "SettingsLocation.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace tesmar {

ProgramFolders FindProgramFolders()
{
    FolderFacts facts;
    const QString program = QCoreApplication::applicationDirPath();
    facts.programFolder = program.toStdString();
    facts.portableMarker = QFileInfo::exists(program + "/portable");
    const QString buildTree = QDir::cleanPath(QStringLiteral(TESMAR_BUILD_TREE));
    const QString canonical = QFileInfo(program).canonicalFilePath();
    facts.inBuildTree = canonical == buildTree || canonical.startsWith(buildTree + '/');
    facts.configHome = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation).toStdString();
    facts.documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation).toStdString();
    ProgramFolders folders = ChooseProgramFolders(facts);
    QDir().mkpath(QString::fromStdString(folders.settings));
    return folders;
}

} // namespace tesmar
