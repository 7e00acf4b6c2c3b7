#include "FileDialogs.h"

#include "DialogFolders.h"
#include "UserMessages.h"
#include "files/MessageFormat.h"
#include "files/MessageTable.h"
#include "files/SavePath.h"

#include <QDir>

#include <algorithm>
#include <QFileDialog>
#include <QFileInfo>

namespace tesmar {

std::optional<QString> AskOpenPath(QWidget* parent, DialogFolders& folders, const FileDialogKind& kind)
{
    const QString folder = QString::fromStdString(folders.folder(kind.dialogName));
    QDir().mkpath(folder);
    const QString path = QFileDialog::getOpenFileName(parent, {}, folder, kind.filter);
    if (path.isEmpty())
        return std::nullopt;
    folders.rememberFile(kind.dialogName, path.toStdString());
    return path;
}

std::optional<QString> AskSavePath(QWidget* parent, DialogFolders& folders, const FileDialogKind& kind,
                                   UserMessages& messages, const MessageTable& table)
{
    const QString folder = QString::fromStdString(folders.folder(kind.dialogName));
    QDir().mkpath(folder);
    QString path = QFileDialog::getSaveFileName(parent, {}, folder, kind.filter, nullptr,
                                                QFileDialog::DontConfirmOverwrite);
    if (path.isEmpty())
        return std::nullopt;
    const bool own = std::any_of(kind.alsoAccepted.begin(), kind.alsoAccepted.end(),
                                 [&](const QString& e) { return path.endsWith(e, Qt::CaseInsensitive); });
    if (!own)
        path = QString::fromStdString(WithDefaultExtension(path.toStdString(), kind.extension.toStdString()));
    if (QFileInfo::exists(path)) {
        const std::string question = FormatMessage(table.text(Msg::strReplaceFile), {path.toStdString()});
        if (!messages.question(QString::fromStdString(question)))
            return std::nullopt;
    }
    folders.rememberFile(kind.dialogName, path.toStdString());
    return path;
}

} // namespace tesmar
