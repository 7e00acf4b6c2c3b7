// The main window's Help menu: the user manual and the About window.

#include "MainMenu.h"
#include "TfmMain.h"
#include "UserMessages.h"
#include "device/Commands.h"
#include "help/HelpManual.h"
#include "help/TfmAbout.h"

#include <QAction>
#include <QDesktopServices>
#include <QUrl>

namespace tesmar {

void TfmMain::miHelpClick()
{
    const QStringList candidates = env_.manualCandidates.isEmpty() ? ManualCandidates() : env_.manualCandidates;
    const QString manual = FindManual(candidates);
    if (manual.isEmpty()) {
        env_.messages.error(msg(Msg::strNoFindHelpFile) + candidates.value(0));
        return;
    }
    const bool opened = env_.openDocument ? env_.openDocument(manual)
                                          : QDesktopServices::openUrl(QUrl::fromLocalFile(manual));
    if (!opened)
        env_.messages.error("Не удалось открыть справку: " + manual);
}

QString TfmMain::instrumentSummary()
{
    if (!session_.isAttached())
        return "Прибор не подключен.";
    QStringList lines{deviceLine() + (logicOnly_ ? " (логический анализатор без аналоговых каналов)" : "")};
    // The instrument is asked only while no measurement uses it.
    if (menu_->miFileOpen->isEnabled()) {
        const auto v = QueryDevice(session_, CmdGetVersion, 10, 5);
        if (v.size() == 5)
            lines << QString::asprintf("Версия ПО прибора: %d.%d от %02d.%02d.%02d", v[0], v[1], v[2], v[3], v[4]);
    }
    lines << (calibration_ == CalibrationSet{} ? "Калибровка: встроенная" : "Калибровка: из прибора");
    return lines.join('\n');
}

void TfmMain::miAboutClick()
{
    fmAbout->setInstrumentText(instrumentSummary());
    fmAbout->exec();
}

} // namespace tesmar
