#include "LanguageMenu.h"

#include "LanguageWindows.h"
#include "WindowTexts.h"
#include "app/DialogFolders.h"
#include "app/FileDialogs.h"
#include "app/MainMenu.h"
#include "app/UserMessages.h"
#include "settings/LanguageFile.h"
#include "text/MessageFormat.h"

#include <QAction>
#include <QApplication>
#include <QBoxLayout>
#include <QCoreApplication>
#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QMenu>
#include <QPushButton>

namespace tesmar {

namespace {

QString WithSlash(QString folder)
{
    if (!folder.endsWith('/'))
        folder += '/';
    return folder;
}

std::vector<std::string> StdNames(const QStringList& names)
{
    std::vector<std::string> out;
    for (const QString& name : names)
        out.push_back(name.toStdString());
    return out;
}

} // namespace

std::vector<std::string> DefaultLanguageFolders(const std::string& settingsFolder)
{
    const QString program = QCoreApplication::applicationDirPath();
    std::vector<std::string> folders;
    for (const QString& folder : {QString::fromStdString(settingsFolder) + "lang", program + "/lang",
                                  program + "/../share/tesmar/lang"}) {
        const std::string clean = WithSlash(QDir::cleanPath(folder)).toStdString();
        if (std::find(folders.begin(), folders.end(), clean) == folders.end())
            folders.push_back(clean);
    }
    return folders;
}

LanguageMenu::LanguageMenu(LanguageEnvironment environment, QObject* parent)
    : QObject(parent), env_(std::move(environment))
{
    setObjectName("languageMenu");
    for (QAction* item : env_.menu.miLang)
        connect(item, &QAction::triggered, this, &LanguageMenu::miLang1Click);
}

LanguageMenu::~LanguageMenu() = default;

void LanguageMenu::BuildList()
{
    names_.clear();
    paths_.clear();
    for (const std::string& folder : env_.folders) {
        const QDir dir(QString::fromStdString(folder));
        for (const QString& name : dir.entryList({"*.ini"}, QDir::Files | QDir::Readable, QDir::Name)) {
            if (names_.size() >= kMaxItems)
                break;
            if (FindLanguageFile(StdNames(names_), name.toStdString()) > 0)
                continue; // an earlier folder has it
            names_ << name;
            paths_ << dir.absoluteFilePath(name);
        }
    }
    // The built-in texts stay choosable when no file stands for them.
    bool builtInListed = false;
    for (const QString& name : names_)
        builtInListed = builtInListed || IsBuiltInLanguage(name.toStdString());
    if (!builtInListed && !names_.isEmpty() && names_.size() < kMaxItems) {
        names_ << kBuiltInLanguageFile;
        paths_ << QString();
    }
    for (int i = 0; i < kMaxItems; ++i) {
        QAction* item = env_.menu.miLang[i];
        const bool used = i < names_.size();
        item->setVisible(used);
        item->setText(used ? QFileInfo(names_[i]).completeBaseName() : QString());
        item->setChecked(used && i + 1 == selected_);
    }
}

void LanguageMenu::ApplyStored(const std::string& fileName)
{
    if (IsBuiltInLanguage(fileName))
        return;
    const std::vector<std::string> known = StdNames(names_);
    const int number = FindLanguageFile(known, fileName);
    if (number > 0 && !IsBuiltInLanguage(known[number - 1]))
        choose(number);
}

std::string LanguageMenu::selectedFileName() const
{
    return selected_ > 0 ? names_[selected_ - 1].toStdString() : std::string(kBuiltInLanguageFile);
}

void LanguageMenu::miLang1Click()
{
    if (auto* item = qobject_cast<QAction*>(sender()))
        choose(item->data().toInt());
}

void LanguageMenu::choose(int number)
{
    if (number == selected_ || number < 1 || number > names_.size()) {
        // The group checks what was clicked; the selection stays where it was.
        for (int i = 0; i < kMaxItems; ++i)
            env_.menu.miLang[i]->setChecked(i + 1 == selected_);
        return;
    }
    if (!LoadLanguage(paths_[number - 1]))
        return choose(selected_);
    selected_ = number;
    env_.menu.miLang[number - 1]->setChecked(true);
}

bool LanguageMenu::LoadLanguage(const QString& path)
{
    std::optional<IniFile> file;
    if (!path.isEmpty()) {
        file = LoadLanguageFile(path.toStdString());
        if (!file) {
            env_.messages.error(QString::fromStdString(
                FormatMessage(env_.table.text(Msg::strLangFileError), {path.toStdString()})));
            return false;
        }
    }
    QApplication::setOverrideCursor(Qt::WaitCursor);
    if (!builtIn_) {
        builtIn_ = std::make_unique<IniFile>();
        WriteLanguage(*builtIn_);
    }
    QStringList refused;
    // The built-in language is the texts as built with its file's changes on top.
    if (path.isEmpty() || IsBuiltInLanguage(QFileInfo(path).fileName().toStdString()))
        applyFile(*builtIn_, refused);
    if (file)
        applyFile(*file, refused);
    // Every window refreshes what it composes from the message table.
    QEvent change(QEvent::LanguageChange);
    for (const LanguageWindow& window : FindLanguageWindows(&env_.mainWindow))
        if (window.window == &env_.mainWindow || !env_.mainWindow.isAncestorOf(window.window))
            QCoreApplication::sendEvent(window.window, &change);
    QApplication::restoreOverrideCursor();
    if (!refused.isEmpty())
        env_.messages.warning(QString::fromStdString(FormatMessage(
            env_.table.text(Msg::strLangListRefused),
            {QFileInfo(path).fileName().toStdString(), refused.join(", ").toStdString()})));
    return true;
}

void LanguageMenu::applyFile(const IniFile& file, QStringList& refusedLists)
{
    for (const LanguageWindow& window : FindLanguageWindows(&env_.mainWindow))
        refusedLists << ApplyWindowTexts(window.window, window.name, file).refusedLists;
    for (const FileDialogEntry& entry : FileDialogEntries())
        if (const auto filter =
                ReadLanguageText(file, entry.window, std::string(entry.kind.dialogName) + ".Filter"))
            env_.dialogs.setFilter(entry.kind.dialogName, *filter);
    LoadMessageTable(file, env_.table);
}

void LanguageMenu::WriteLanguage(IniFile& file) const
{
    for (const LanguageWindow& window : FindLanguageWindows(&env_.mainWindow)) {
        WriteWindowTexts(window.window, window.name, file);
        for (const FileDialogEntry& entry : FileDialogEntries()) {
            const std::string filter = env_.dialogs.filter(entry.kind.dialogName, entry.kind.filter.toStdString());
            if (window.name == entry.window && !filter.empty())
                file.writeString(entry.window, std::string(entry.kind.dialogName) + ".Filter", filter);
        }
    }
    WriteMessageTable(file, env_.table);
}

QString LanguageMenu::writeFolder() const
{
    return QString::fromStdString(env_.folders.empty() ? std::string("lang/") : env_.folders.front());
}

void LanguageMenu::AddDeveloperButtons(QWidget* panel)
{
    auto* row = qobject_cast<QBoxLayout*>(panel->layout());
    auto add = [&](const char* name, const char* caption) {
        auto* button = new QPushButton(caption, panel);
        button->setObjectName(name);
        if (row)
            row->insertWidget(row->count() - 1, button);
        return button;
    };
    connect(add("btBildLangFile", "Build Russian.ini"), &QPushButton::clicked, this,
            &LanguageMenu::btBildLangFileClick);
    connect(add("btRuToEn", "Ru -> En"), &QPushButton::clicked, this, &LanguageMenu::btRuToEnClick);
}

void LanguageMenu::btBildLangFileClick()
{
    QDir().mkpath(writeFolder());
    IniFile file((writeFolder() + kBuiltInLanguageFile).toStdString());
    WriteLanguage(file);
    if (!file.save()) {
        env_.messages.error(QString::fromStdString(FormatMessage(env_.table.text(Msg::strLangWriteError), {file.path()})));
        return;
    }
    QApplication::beep();
}

void LanguageMenu::btRuToEnClick()
{
    IniFile russian((writeFolder() + kBuiltInLanguageFile).toStdString());
    IniFile english;
    english.setText(TransliterateCyrillic(russian.text()));
    english.setPath((writeFolder() + "English.ini").toStdString());
    if (!english.save()) {
        env_.messages.error(QString::fromStdString(FormatMessage(env_.table.text(Msg::strLangWriteError), {english.path()})));
        return;
    }
    QApplication::beep();
}

} // namespace tesmar
