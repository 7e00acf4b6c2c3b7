#pragma once
// The "&Language" submenu: the language files found in the language folders, choosing one
// (its texts go at once to every window of the list and to the message table), the choice
// remembered as a file name, and the developer commands that write language files.

#include <QObject>
#include <QStringList>

#include <memory>
#include <string>
#include <vector>

class QWidget;

namespace tesmar {

class DialogFolders;
class IniFile;
class MainMenu;
class MessageTable;
class UserMessages;

struct LanguageEnvironment {
    QWidget& mainWindow;
    MainMenu& menu;
    MessageTable& table;
    DialogFolders& dialogs;
    UserMessages& messages;
    // Searched in this order; a name found twice is listed once. The first one is where the
    // developer commands write.
    std::vector<std::string> folders;
};

// The program's folders of language files: "lang/" beside the settings, beside the program, and
// in the installed share folder.
std::vector<std::string> DefaultLanguageFolders(const std::string& settingsFolder);

class LanguageMenu : public QObject {
    Q_OBJECT
public:
    static constexpr int kMaxItems = 20;

    LanguageMenu(LanguageEnvironment environment, QObject* parent);
    ~LanguageMenu() override;

    // Fills the menu from the folders (at start-up).
    void BuildList();
    // The setting `lang` at start-up: the file of that name is chosen unless it is the built-in one.
    void ApplyStored(const std::string& fileName);
    // The setting `lang` at exit.
    std::string selectedFileName() const;
    int selectedNumber() const { return selected_; }
    const QStringList& fileNames() const { return names_; }

    // Applies a language file to every window and the message table; false when it cannot be read.
    bool LoadLanguage(const QString& path);
    // The current texts of every window, every list and the message table.
    void WriteLanguage(IniFile& file) const;
    // The two developer buttons, on the service panel shown in the debug mode.
    void AddDeveloperButtons(QWidget* panel);

public slots:
    void miLang1Click();
    // Developer commands: "Russian.ini" from the texts shown, and its transliterated copy.
    void btBildLangFileClick();
    void btRuToEnClick();

private:
    void choose(int number);
    void applyFile(const IniFile& file, QStringList& refusedLists);
    QString writeFolder() const;

    LanguageEnvironment env_;
    QStringList names_; // file names, shown without ".ini"
    QStringList paths_; // empty for the built-in texts when no file stands for them
    int selected_ = 0;
    // The texts as built, taken before the first language is applied, so that the built-in
    // language can be chosen again.
    std::unique_ptr<IniFile> builtIn_;
};

} // namespace tesmar
