// The main window's Help menu: the user manual and the About window.

#include "text/MessageFormat.h"
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
        env_.messages.error(QString::fromStdString(FormatMessage(messages_.text(Msg::strHelpOpenError), {manual.toStdString()})));
}

QString TfmMain::instrumentSummary()
{
    if (!session_.isAttached())
        return msg(Msg::strDeviceAbsent);
    QStringList lines{deviceLine() + (logicOnly_ ? " " + msg(Msg::strAboutLogicOnly) : QString())};
    // The instrument is asked only while no measurement uses it.
    if (menu_->miFileOpen->isEnabled()) {
        const auto v = QueryDevice(session_, CmdGetVersion, 10, 5);
        if (v.size() == 5)
            lines << QString::fromStdString(FormatMessage(messages_.text(Msg::strAboutFirmware),
                                            {static_cast<long long>(v[0]), static_cast<long long>(v[1]), static_cast<long long>(v[2]),
                                             static_cast<long long>(v[3]), static_cast<long long>(v[4])}));
    }
    lines << msg(calibration_ == CalibrationSet{} ? Msg::strAboutCalibrationBuiltIn : Msg::strAboutCalibrationDevice);
    return lines.join('\n');
}

void TfmMain::miAboutClick()
{
    fmAbout->setInstrumentText(instrumentSummary());
    fmAbout->exec();
}

} // namespace tesmar
