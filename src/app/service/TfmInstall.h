#pragma once
// The installation window `fmInstall`: desktop entries for the program and, with the user's
// consent and administrator rights, the udev rule that gives the user access to the instrument.

#include <QDialog>

#include <functional>
#include <string>
#include <vector>

class QCheckBox;
class QLabel;
class QLineEdit;
class QToolButton;

namespace tesmar {

class MessageTable;
class UserMessages;

struct InstallEnvironment {
    const MessageTable& table;
    UserMessages& messages;
    std::string programPath;        // the program file
    std::string desktopFolder;      // empty: no desktop shortcut can be made
    std::string applicationsFolder; // the user's menu entries (~/.local/share/applications)
    std::string readMePath;         // opened by the "ReadMe" entry
    std::string helpPath;           // opened by the "Help" entry
    std::vector<std::string> ruleFolders; // where an installed rule may already lie
    // Runs one shell line with administrator rights; returns its exit code, or -1 when no way to
    // gain the rights exists (no pkexec, no sudo).
    std::function<int(const std::string& shellLine)> runPrivileged;
};

class TfmInstall : public QDialog {
    Q_OBJECT
public:
    static constexpr int kResultNothingCopied = 1;
    static constexpr int kResultCopied = 4;

    explicit TfmInstall(InstallEnvironment environment, QWidget* parent = nullptr);

    // The usual environment: the user's folders, the system's rule folders, pkexec or sudo.
    static InstallEnvironment SystemEnvironment(const MessageTable& table, UserMessages& messages);

    QLabel* imInstall = nullptr;
    QLabel* lbInfo = nullptr;
    QCheckBox* cbCreateShortcut = nullptr;
    QCheckBox* cbCreateGroup = nullptr;
    QLabel* lbGroupNameCaption = nullptr;
    QLineEdit* edGroupName = nullptr;
    QToolButton* sbInstall = nullptr;
    QToolButton* sbCancel = nullptr;

public slots:
    void cbCreateGroupClick();
    void sbInstallClick();
    void sbCancelClick();

private:
    void note(std::vector<std::string>& report, const std::string& what, int outcome);
    bool installRule(std::vector<std::string>& report);

    InstallEnvironment env_;
};

} // namespace tesmar
