#pragma once
// The program's file dialogs: the remembered folder of each dialog, the default extension and
// the question before an existing file is replaced.

#include <QString>
#include <QStringList>

#include <optional>
#include <string_view>
#include <vector>

class QWidget;

namespace tesmar {

class DialogFolders;
class MessageTable;
class UserMessages;

struct FileDialogKind {
    const char* dialogName; // key of the remembered folder, e.g. "odOpenFlt"
    QString filter;         // Qt filter text, e.g. "Текстовые файлы (*.txt);;Все файлы (*)"
    QString extension;      // ".txt"; saving appends it when missing
    QStringList alsoAccepted = {}; // other extensions a saved name may end in instead
};

// Every file dialog whose filter a language file may replace, with the window it belongs to.
struct FileDialogEntry {
    const char* window;
    FileDialogKind kind;
};
const std::vector<FileDialogEntry>& FileDialogEntries();
// The entry of `dialogName` (which must be one of them).
const FileDialogKind& FileDialog(std::string_view dialogName);

// The filter shown is the language file's when it gave one.
std::optional<QString> AskOpenPath(QWidget* parent, DialogFolders& folders, const FileDialogKind& kind);
// Asks before an existing file is replaced; No cancels.
std::optional<QString> AskSavePath(QWidget* parent, DialogFolders& folders, const FileDialogKind& kind,
                                   UserMessages& messages, const MessageTable& table);

} // namespace tesmar
