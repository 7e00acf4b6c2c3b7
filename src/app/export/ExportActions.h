#pragma once
// The File and Edit commands that hand the active page's chart to the outside world: vector and
// bitmap pictures, the clipboard, print preview and print, and the PCM file of the analogue pages.

#include <QObject>

#include <functional>
#include <optional>
#include <span>
#include <utility>
#include <vector>

class QCustomPlot;

namespace tesmar {

class DialogFolders;
class MainMenu;
class MessageTable;
class UserMessages;

class ExportActions : public QObject {
    Q_OBJECT
public:
    // The active chart, none when the page has none; the analogue traces of the active page for
    // PCM, none on pages without them.
    using ChartSource = std::function<QCustomPlot*()>;
    using TraceSource = std::function<std::optional<std::pair<std::vector<double>, std::vector<double>>>()>;

    ExportActions(MainMenu& menu, DialogFolders& folders, const MessageTable& table, UserMessages& messages,
                  ChartSource chart, TraceSource traces, QWidget* window);

    // The work behind the commands, without their dialogs.
    QString saveVector(const QString& path);
    QString saveBitmap(const QString& path);
    QString savePcm(const QString& path);

public slots:
    void miFileSaveEMFClick();
    void miFileSaveBMPClick();
    void miFileSavePCMClick();
    void miFilePreViewClick();
    void miFilePrintClick();
    void miEditCopyEMFClick();
    void miEditCopyBMPClick();

private:
    void report(const QString& problem);

    DialogFolders& folders_;
    const MessageTable& table_;
    UserMessages& messages_;
    ChartSource chart_;
    TraceSource traces_;
    QWidget* window_;
};

} // namespace tesmar
