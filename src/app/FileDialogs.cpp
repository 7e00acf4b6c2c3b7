#include "FileDialogs.h"

#include "DialogFolders.h"
#include "UserMessages.h"
#include "text/MessageFormat.h"
#include "text/MessageTable.h"
#include "settings/SavePath.h"

#include <QDir>

#include <algorithm>
#include <stdexcept>
#include <QFileDialog>
#include <QFileInfo>

namespace tesmar {

namespace {

constexpr const char* kTextFiles = "Текстовые файлы (*.txt *.TXT);;Все файлы (*)";

QString ShownFilter(const DialogFolders& folders, const FileDialogKind& kind)
{
    return QString::fromStdString(folders.filter(kind.dialogName, kind.filter.toStdString()));
}

} // namespace

const std::vector<FileDialogEntry>& FileDialogEntries()
{
    static const std::vector<FileDialogEntry> entries{
        {"fmMain", {"odOpenFileData", "Двоичные файлы (*.dat)", ".dat"}},
        {"fmMain", {"sdSaveFileData", "Двоичные файлы (*.dat)", ".dat"}},
        {"fmMain", {"sdSaveFilePCM", "Файл PCM (*.pcm)", ".pcm"}},
        {"fmMain", {"sdSaveFileEMF", "Векторные рисунки (*.svg);;PDF (*.pdf)", ".svg", {".pdf"}}},
        {"fmMain", {"sdSaveFileCSV", "Таблицы CSV (*.csv)", ".csv"}},
        {"fmMain", {"sdSaveFileBMP", "Растровые рисунки (*.bmp);;PNG (*.png)", ".bmp", {".png"}}},
        {"fmMain", {"odOpenLANSetup", kTextFiles, ".txt"}},
        {"fmMain", {"sdSaveLANSetup", kTextFiles, ".txt"}},
        {"fmMain", {"odOpenGeneratorData", "Двоичные файлы (*.dat);;Все файлы (*)", ".dat"}},
        {"fmMain", {"sdSaveGeneratorData", "Двоичные файлы (*.dat);;Все файлы (*)", ".dat"}},
        {"fmMain", {"odOpenSetup", "Файл настроек (*.ini *.INI);;Все файлы (*)", ".ini"}},
        {"fmMain", {"sdSaveSetup", "Файл настроек (*.ini *.INI);;Все файлы (*)", ".ini"}},
        {"fmFiltr", {"odOpenFlt", kTextFiles, ".txt"}},
        {"fmFiltr", {"sdSaveFlt", kTextFiles, ".txt"}},
        {"fmOSC_Buzzer", {"odOpenSound", "Аудио файлы (*.wav)", ".wav"}},
        {"fmRemark", {"odOpenRem", kTextFiles, ".txt"}},
        {"fmRemark", {"sdSaveRem", kTextFiles, ".txt"}},
        {"fmUpDateSoft", {"opdlgOpenUpDateFile", "Файлы прошивки (*.bin);;Все файлы (*)", ".bin"}},
        {"fmTerminal", {"odOpenTerminalData", "Все файлы (*.*)", ""}},
        {"fmTerminal", {"sdSaveTerminalData", "Все файлы (*.*)", ""}},
        {"fmClbr", {"odOpenClbr", "Текстовые файлы (*.txt);;Все файлы (*)", ".txt"}},
        {"fmClbr", {"sdSaveClbr", "Текстовые файлы (*.txt);;Все файлы (*)", ".txt"}},
    };
    return entries;
}

const FileDialogKind& FileDialog(std::string_view dialogName)
{
    for (const FileDialogEntry& entry : FileDialogEntries())
        if (dialogName == entry.kind.dialogName)
            return entry.kind;
    throw std::logic_error("unknown file dialog");
}

std::optional<QString> AskOpenPath(QWidget* parent, DialogFolders& folders, const FileDialogKind& kind)
{
    const QString folder = QString::fromStdString(folders.folder(kind.dialogName));
    QDir().mkpath(folder);
    const QString path = QFileDialog::getOpenFileName(parent, {}, folder, ShownFilter(folders, kind));
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
    QString path = QFileDialog::getSaveFileName(parent, {}, folder, ShownFilter(folders, kind), nullptr,
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
