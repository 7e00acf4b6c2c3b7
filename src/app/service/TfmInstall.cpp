#include "TfmInstall.h"
#include "text/MessageFormat.h"

#include "app/UserMessages.h"
#include "text/MessageTable.h"
#include "service/DeviceAccess.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QToolButton>

#include <filesystem>
#include <unistd.h>

namespace tesmar {

namespace {

const char* const kInfo =
    "Перед началом работы с прибором пользователю нужен доступ к нему. Разрешите программе установить "
    "правило udev (с правами администратора через pkexec или sudo), которое даёт доступ к прибору "
    "10C4:EA67 вошедшему в систему пользователю, и создать ярлыки программы.";
const char* const kRuleInstalled =
    "Правило доступа к прибору установлено.\rОтключите прибор от компьютера, снова подключите его и "
    "запустите программу.";

std::string FileUrl(const std::string& path)
{
    return "file://" + path;
}

} // namespace

TfmInstall::TfmInstall(InstallEnvironment environment, QWidget* parent) : QDialog(parent), env_(std::move(environment))
{
    setObjectName("fmInstall");
    setWindowTitle("Установка драйверов, создание ярлыков…");
    auto* grid = new QGridLayout(this);
    imInstall = new QLabel(this);
    imInstall->setObjectName("imInstall");
    imInstall->setPixmap(QIcon::fromTheme("drive-removable-media-usb").pixmap(48, 48));
    lbInfo = new QLabel(kInfo, this);
    lbInfo->setObjectName("lbInfo");
    lbInfo->setWordWrap(true);
    cbCreateShortcut = new QCheckBox("Создать ярлык на рабочем столе", this);
    cbCreateShortcut->setObjectName("cbCreateShortcut");
    cbCreateShortcut->setChecked(true);
    cbCreateGroup = new QCheckBox("Создать группу в меню \"Пуск\"", this);
    cbCreateGroup->setObjectName("cbCreateGroup");
    cbCreateGroup->setChecked(true);
    lbGroupNameCaption = new QLabel("Имя группы:", this);
    lbGroupNameCaption->setObjectName("lbGroupNameCaption");
    edGroupName = new QLineEdit("Tesmar", this);
    edGroupName->setObjectName("edGroupName");
    sbInstall = new QToolButton(this);
    sbInstall->setObjectName("sbInstall");
    sbInstall->setText("Установка");
    sbInstall->setAutoRaise(true);
    sbCancel = new QToolButton(this);
    sbCancel->setObjectName("sbCancel");
    sbCancel->setText("Отмена");
    sbCancel->setAutoRaise(true);
    grid->addWidget(imInstall, 0, 0, 2, 1, Qt::AlignTop);
    grid->addWidget(lbInfo, 0, 1, 1, 3);
    grid->addWidget(cbCreateShortcut, 1, 1, 1, 3);
    grid->addWidget(cbCreateGroup, 2, 1, 1, 3);
    grid->addWidget(lbGroupNameCaption, 3, 1);
    grid->addWidget(edGroupName, 3, 2, 1, 2);
    grid->addWidget(sbInstall, 4, 2);
    grid->addWidget(sbCancel, 4, 3);
    setFixedSize(480, 240);
    connect(cbCreateGroup, &QCheckBox::clicked, this, &TfmInstall::cbCreateGroupClick);
    connect(sbInstall, &QToolButton::clicked, this, &TfmInstall::sbInstallClick);
    connect(sbCancel, &QToolButton::clicked, this, &TfmInstall::sbCancelClick);
}

InstallEnvironment TfmInstall::SystemEnvironment(const MessageTable& table, UserMessages& messages)
{
    const QString program = QCoreApplication::applicationFilePath();
    const QString share = QDir(QCoreApplication::applicationDirPath()).absoluteFilePath("../share/doc/tesmar/");
    InstallEnvironment env{table, messages, program.toStdString(),
                           QStandardPaths::writableLocation(QStandardPaths::DesktopLocation).toStdString(),
                           QStandardPaths::writableLocation(QStandardPaths::ApplicationsLocation).toStdString(),
                           QDir::cleanPath(share + "README.md").toStdString(),
                           QDir::cleanPath(share + "manual.md").toStdString(),
                           {kUdevRuleFolder, "/lib/udev/rules.d/", "/usr/lib/udev/rules.d/"},
                           {}};
    env.runPrivileged = [](const std::string& line) {
        QStringList command;
        if (geteuid() == 0)
            command = {"sh", "-c", QString::fromStdString(line)};
        else if (!QStandardPaths::findExecutable("pkexec").isEmpty())
            command = {"pkexec", "sh", "-c", QString::fromStdString(line)};
        else if (!QStandardPaths::findExecutable("sudo").isEmpty())
            command = {"sudo", "-n", "sh", "-c", QString::fromStdString(line)};
        else
            return -1;
        return QProcess::execute(command.takeFirst(), command);
    };
    return env;
}

void TfmInstall::cbCreateGroupClick()
{
    lbGroupNameCaption->setEnabled(cbCreateGroup->isChecked());
    edGroupName->setEnabled(cbCreateGroup->isChecked());
}

void TfmInstall::sbCancelClick()
{
    done(kResultNothingCopied);
}

void TfmInstall::note(std::vector<std::string>& report, const std::string& what, int outcome)
{
    static const char* const kOutcome[] = {"создан", "уже есть", "не удалось создать"};
    report.push_back(what + ": " + kOutcome[outcome]);
}

void TfmInstall::sbInstallClick()
{
    sbInstall->setEnabled(false);
    sbCancel->setEnabled(false);
    std::vector<std::string> report;
    const DesktopEntry program{"Tesmar2", "Программа измерительного прибора Tesmar", "\"" + env_.programPath + "\"", {},
                               "tesmar"};
    if (cbCreateShortcut->isChecked()) {
        if (env_.desktopFolder.empty())
            report.push_back("Ярлык на рабочем столе: папка рабочего стола не найдена");
        else
            note(report, "Ярлык на рабочем столе",
                 int(WriteFileIfMissing(env_.desktopFolder + "/Tesmar2.desktop", DesktopEntryText(program))));
    }
    if (cbCreateGroup->isChecked()) {
        if (edGroupName->text().trimmed().isEmpty())
            edGroupName->setText("Tesmar");
        const std::string group = env_.applicationsFolder + "/" + edGroupName->text().trimmed().toStdString() + "/";
        note(report, "Меню: ReadMe",
             int(WriteFileIfMissing(group + "ReadMe.desktop",
                                    DesktopEntryText({"ReadMe", {}, {}, FileUrl(env_.readMePath), {}}))));
        note(report, "Меню: Help",
             int(WriteFileIfMissing(group + "Help.desktop",
                                    DesktopEntryText({"Help", {}, {}, FileUrl(env_.helpPath), {}}))));
        note(report, "Меню: Tesmar2", int(WriteFileIfMissing(group + "Tesmar2.desktop", DesktopEntryText(program))));
    }
    env_.messages.information(QString::fromStdString(env_.table.text(Msg::strInstallPlagDivice)));
    const bool copied = installRule(report);

    QString summary;
    for (const std::string& line : report)
        summary += QString::fromStdString(line) + "\r";
    summary += "\r" + (copied ? QString(kRuleInstalled) : QString::fromStdString(env_.table.text(Msg::strInstallOk)));
    env_.messages.information(summary);
    done(copied ? kResultCopied : kResultNothingCopied);
}

bool TfmInstall::installRule(std::vector<std::string>& report)
{
    for (const std::string& folder : env_.ruleFolders) {
        std::error_code error;
        if (std::filesystem::exists(folder + kUdevRuleName, error)) {
            report.push_back("Правило udev: уже установлено (" + folder + kUdevRuleName + ")");
            return false;
        }
    }
    QTemporaryDir staging;
    const std::string source = staging.path().toStdString() + "/" + kUdevRuleName;
    QString commands;
    for (const std::string& command : UdevInstallCommands(source))
        commands += "sudo " + QString::fromStdString(command) + "\r";
    if (!staging.isValid() || WriteFileIfMissing(source, UdevRuleText()) != WriteOutcome::Written) {
        report.push_back("Правило udev: не удалось подготовить файл правила");
        return false;
    }
    auto text = [this](Msg key, std::initializer_list<FormatArg> args = {}) {
        return QString::fromStdString(FormatMessage(env_.table.text(key), args));
    };
    if (!env_.messages.question(text(Msg::strInstallUdevAsk))) {
        const QString manual = commands.replace(QString::fromStdString(source), text(Msg::strInstallRuleFile));
        env_.messages.information(text(Msg::strInstallUdevManual, {manual.toStdString()}));
        report.push_back("Правило udev: не установлено по выбору пользователя");
        return false;
    }
    const int code = env_.runPrivileged ? env_.runPrivileged(UdevInstallShellLine(source)) : -1;
    if (code != 0) {
        QFile::copy(QString::fromStdString(source), QDir::temp().filePath(kUdevRuleName));
        const QString reason = code < 0 ? text(Msg::strInstallNoPrivilege) : text(Msg::strInstallCode, {static_cast<long long>(code)});
        const QString manual = commands.replace(QString::fromStdString(source), QDir::temp().filePath(kUdevRuleName));
        env_.messages.error(text(Msg::strInstallUdevFailed, {reason.toStdString(), manual.toStdString()}));
        report.push_back("Правило udev: не установлено");
        return false;
    }
    report.push_back("Правило udev: установлено, правила перезагружены");
    return true;
}

} // namespace tesmar
