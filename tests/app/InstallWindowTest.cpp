// The installation window: desktop entries, the udev rule through a privileged runner, and -SETUP.

#include "MainWindowHarness.h"
#include "app/MainMenu.h"
#include "app/service/TfmInstall.h"
#include "text/MessageTable.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>
#include <QToolButton>
#include <QtTest>

using namespace tesmar;
using namespace tesmar::testing;

namespace {

struct InstallHarness {
    QTemporaryDir home;
    RecordedMessages messages;
    MessageTable table;
    std::vector<std::string> ran;
    int runResult = 0;

    QString path(const QString& relative) const { return home.path() + "/" + relative; }

    InstallEnvironment environment()
    {
        const std::string base = home.path().toStdString();
        return {table,          messages,         "/usr/bin/tesmar", base + "/Desktop", base + "/applications",
                "/doc/README.md", "/doc/manual.md", {base + "/rules/"},
                [this](const std::string& line) {
                    ran.push_back(line);
                    return runResult;
                }};
    }
};

} // namespace

class InstallWindowTest : public QObject {
    Q_OBJECT
private slots:
    void installsEntriesAndTheRule()
    {
        InstallHarness h;
        TfmInstall w(h.environment());
        w.edGroupName->setText("  ");
        QTest::mouseClick(w.sbInstall, Qt::LeftButton);
        QCOMPARE(w.result(), TfmInstall::kResultCopied);
        QVERIFY(!w.sbInstall->isEnabled());
        QVERIFY(QFile::exists(h.path("Desktop/Tesmar2.desktop")));
        for (const char* entry : {"ReadMe", "Help", "Tesmar2"})
            QVERIFY(QFile::exists(h.path(QString("applications/Tesmar/%1.desktop").arg(entry))));
        QCOMPARE(w.edGroupName->text(), QString("Tesmar"));
        QCOMPARE(int(h.ran.size()), 1);
        QVERIFY(h.ran[0].find("udevadm control --reload-rules") != std::string::npos);
        QCOMPARE(h.messages.informations.value(0), QString::fromStdString(h.table.text(Msg::strInstallPlagDivice)));
        QVERIFY(h.messages.informations.value(1).contains("Правило udev: установлено"));
    }

    void existingRuleAndFilesAreLeftAlone()
    {
        InstallHarness h;
        QDir().mkpath(h.path("rules"));
        QFile rule(h.path("rules/60-tesmar.rules"));
        QVERIFY(rule.open(QIODevice::WriteOnly));
        rule.close();
        QDir().mkpath(h.path("Desktop"));
        QFile mine(h.path("Desktop/Tesmar2.desktop"));
        QVERIFY(mine.open(QIODevice::WriteOnly));
        mine.write("mine");
        mine.close();
        TfmInstall w(h.environment());
        QTest::mouseClick(w.cbCreateGroup, Qt::LeftButton);
        QVERIFY(!w.edGroupName->isEnabled());
        QVERIFY(!w.lbGroupNameCaption->isEnabled());
        QTest::mouseClick(w.sbInstall, Qt::LeftButton);
        QCOMPARE(w.result(), TfmInstall::kResultNothingCopied);
        QVERIFY(h.ran.empty());
        QVERIFY(!QDir(h.path("applications")).exists());
        QVERIFY(mine.open(QIODevice::ReadOnly));
        QCOMPARE(mine.readAll(), QByteArray("mine"));
        QVERIFY(h.messages.informations.last().contains(QString::fromStdString(h.table.text(Msg::strInstallOk))));
    }

    void failedElevationGivesTheCommands()
    {
        InstallHarness h;
        h.runResult = 126;
        TfmInstall w(h.environment());
        QTest::mouseClick(w.sbInstall, Qt::LeftButton);
        QCOMPARE(w.result(), TfmInstall::kResultNothingCopied);
        QCOMPARE(h.messages.errors.size(), 1);
        QVERIFY(h.messages.errors[0].contains("sudo install -m 0644"));
        QVERIFY(h.messages.errors[0].contains("sudo udevadm control --reload-rules"));
    }

    void setupSwitchOpensTheWindowAndCancelGoesOn()
    {
        MainWindowHarness m;
        InstallHarness h;
        m.adjustInstall = [&h](InstallEnvironment& env) {
            InstallEnvironment mine = h.environment();
            env.desktopFolder = mine.desktopFolder;
            env.applicationsFolder = mine.applicationsFolder;
            env.ruleFolders = mine.ruleFolders;
            env.runPrivileged = mine.runPrivileged;
        };
        bool opened = false;
        QTimer::singleShot(0, [&] {
            auto* dialog = qobject_cast<TfmInstall*>(QApplication::activeModalWidget());
            opened = dialog != nullptr;
            if (dialog)
                QTest::mouseClick(dialog->sbCancel, Qt::LeftButton);
        });
        TfmMain& window = m.start({"-setup"});
        QVERIFY(opened);
        QVERIFY(window.session().isAttached()); // cancelled: the start goes on
        QVERIFY(window.menu().miServiceInstall != nullptr);
    }

    void setupThatInstalledTheRuleEndsTheStart()
    {
        MainWindowHarness m;
        InstallHarness h;
        m.adjustInstall = [&h](InstallEnvironment& env) {
            InstallEnvironment mine = h.environment();
            env.desktopFolder = mine.desktopFolder;
            env.applicationsFolder = mine.applicationsFolder;
            env.ruleFolders = mine.ruleFolders;
            env.runPrivileged = mine.runPrivileged;
        };
        QTimer::singleShot(0, [] {
            if (auto* dialog = qobject_cast<TfmInstall*>(QApplication::activeModalWidget()))
                QTest::mouseClick(dialog->sbInstall, Qt::LeftButton);
        });
        TfmMain& window = m.start({"-SETUP"});
        QVERIFY(!window.session().isOpen());
    }
};

QTEST_MAIN(InstallWindowTest)
#include "InstallWindowTest.moc"
