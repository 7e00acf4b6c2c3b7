// The main window's settings groups shared by the settings file and the setup files, and the
// Service menu's two setup file commands.

#include "text/MessageFormat.h"
#include "FileDialogs.h"
#include "MainMenu.h"
#include "TfmMain.h"
#include "UserMessages.h"
#include "app/options/ChartColouring.h"
#include "app/options/TfmColor.h"
#include "app/options/TfmOptions.h"
#include "app/pages/spectrum/FftChart.h"
#include "app/pages/spectrum/FftPage.h"
#include "app/pages/logic/LanChart.h"
#include "app/pages/logic/LanPage.h"
#include "app/pages/osc/OscChart.h"
#include "app/pages/osc/OscPage.h"
#include "app/pages/recorder/RecChart.h"
#include "app/pages/recorder/RecPage.h"
#include "app/BgrColour.h"

#include <QAction>
#include <QFileInfo>
#include <QTabWidget>

#include <algorithm>

namespace tesmar {

namespace {
const FileDialogKind& kSaveSetup = FileDialog("sdSaveSetup");
const FileDialogKind& kOpenSetup = FileDialog("odOpenSetup");
} // namespace

void TfmMain::readMenuStates(const IniFile& ini)
{
    menu_->setEvenningLevel(0, static_cast<int>(ini.readInteger("menu", "EvenningCh1", 0)));
    menu_->setEvenningLevel(1, static_cast<int>(ini.readInteger("menu", "EvenningCh2", 0)));
    const bool before = ini.readBool("menu", "miAnalogGetParamBefore", true);
    (before ? menu_->miAnalogGetParamBefore : menu_->miAnalogGetParamAfter)->setChecked(true);
    menu_->miLANPatch->setChecked(ini.readBool("menu", "miLANPatch", false));
    menu_->miLANKeepOUT->setChecked(ini.readBool("menu", "miLANKeepOUT", true));
    menu_->miLANStatOnTop->setChecked(ini.readBool("menu", "miLANStat", false));
}

void TfmMain::writeMenuStates(IniFile& ini)
{
    ini.writeInteger("menu", "EvenningCh1", menu_->evenningLevel(0));
    ini.writeInteger("menu", "EvenningCh2", menu_->evenningLevel(1));
    ini.writeBool("menu", "miAnalogGetParamBefore", menu_->miAnalogGetParamBefore->isChecked());
    ini.writeBool("menu", "miLANPatch", menu_->miLANPatch->isChecked());
    ini.writeBool("menu", "miLANKeepOUT", menu_->miLANKeepOUT->isChecked());
    ini.writeBool("menu", "miLANStat", menu_->miLANStatOnTop->isChecked());
}

void TfmMain::selectStoredPage(const IniFile& ini)
{
    const long long stored = ini.readInteger("misc", "ActivePageIndex", 0);
    int index = static_cast<int>(std::clamp<long long>(stored, 0, kPageCount - 1));
    if (logicOnly_)
        index = 3;
    const QSignalBlocker block(pgcntrMain);
    pgcntrMain->setCurrentIndex(index);
    pgcntrMainChange(index);
}

void TfmMain::applyChartColours(const ChartColours& colours)
{
    ApplyChartColours(*oscPage_->chOsc, oscPage_->chOsc->srOsc_Ch1, oscPage_->chOsc->srOsc_Ch2, colours);
    ApplyChartColours(*fftPage_->chFFT, fftPage_->chFFT->srFFT_Ch1, fftPage_->chFFT->srFFT_Ch2, colours);
    ApplyChartColours(*recPage_->chRec, recPage_->chRec->srRec_Ch1, recPage_->chRec->srRec_Ch2, colours);
    // The logic traces keep the colours of their lines.
    ApplyFrameColours(*lanPage_->chLAN, colours);
    lanPage_->chLAN->setBaseLineColour(ColourFromBgr(colours.cbGrid));
    lanPage_->chLAN->replot();
}

ChartColours TfmMain::chartColoursInForce() const
{
    return ChartColoursOf(*oscPage_->chOsc, oscPage_->chOsc->srOsc_Ch1, oscPage_->chOsc->srOsc_Ch2);
}

void TfmMain::readSetupSections(const IniFile& ini)
{
    guarded(10, [&] { readMenuStates(ini); });
    guarded(13, [&] { ReadOptions(ini, options_); });
    guarded(14, [&] { fmOptions->load(options_); });
    guarded(15, [&] {
        oscPage_->readSettings(ini, decimalSeparator());
        fftPage_->readSettings(ini);
        lanPage_->readSettings(ini);
        recPage_->readSettings(ini, decimalSeparator());
    });
    guarded(18, [&] { oscPage_->applyChannelStates(); });
    guarded(20, [&] { fftPage_->applyStoredStates(); });
    guarded(32, [&] { selectStoredPage(ini); });
    guarded(41, [&] { fmColor->applyStored(ReadChartColours(ini, fmColor->pickers())); });
}

void TfmMain::writeSetupSections(IniFile& ini)
{
    writeMenuStates(ini);
    WriteOptions(ini, options_);
    oscPage_->writeSettings(ini, decimalSeparator());
    fftPage_->writeSettings(ini);
    lanPage_->writeSettings(ini);
    recPage_->writeSettings(ini, decimalSeparator());
    ini.writeInteger("misc", "ActivePageIndex", pgcntrMain->currentIndex());
    WriteChartColours(ini, fmColor->pickers());
}

QString TfmMain::saveSetup(const QString& path)
{
    // An existing file is updated key by key: sections of its own stay in it.
    IniFile ini(path.toStdString());
    writeSetupSections(ini);
    ini.writeString("misc", "GeneratorData", lanPage_->generatorFileName().toStdString());
    if (!ini.save()) {
        const QString text = QString::fromStdString(FormatMessage(messages_.text(Msg::strWriteFileError), {path.toStdString()}));
        env_.messages.error(text);
        return text;
    }
    return {};
}

QString TfmMain::openSetup(const QString& path)
{
    if (!QFileInfo(path).isFile()) {
        const QString text = QString::fromStdString(FormatMessage(messages_.text(Msg::strSetupOpenError), {path.toStdString()}));
        env_.messages.error(text);
        return text;
    }
    const IniFile ini(path.toStdString());
    readSetupSections(ini);
    QString problem;
    guarded(34, [&] {
        const QString generator = QString::fromStdString(ini.readString("misc", "GeneratorData", ""));
        if (!generator.isEmpty() && QFileInfo(generator).isFile() && !lanPage_->openGeneratorFile(generator, &problem))
            problem = QString::fromStdString(FormatMessage(messages_.text(Msg::strOpenFileError), {generator.toStdString()})) + "\r" + problem;
    });
    if (!problem.isEmpty()) {
        env_.messages.warning(problem);
        return problem;
    }
    return {};
}

void TfmMain::miServiceSaveSeupClick()
{
    if (const auto path = AskSavePath(this, folders_, kSaveSetup, env_.messages, messages_))
        saveSetup(*path);
}

void TfmMain::miServiceOpenSeupClick()
{
    if (const auto path = AskOpenPath(this, folders_, kOpenSetup))
        openSetup(*path);
}

} // namespace tesmar
