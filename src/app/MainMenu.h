#pragma once
// The main window's menu bar: every item under its own name, with caption, shortcut, kind and
// hint. What an item does is wired by the window or page that owns the action.

#include <QObject>

#include <array>

class QAction;
class QActionGroup;
class QMenu;
class QMenuBar;

namespace tesmar {

class MainMenu : public QObject {
    Q_OBJECT
public:
    MainMenu(QMenuBar* bar, QObject* parent);

    QMenu* miFile = nullptr;
    QAction* miFileOpen = nullptr;
    QAction* miFileSaveData = nullptr;
    QAction* miFileSavePCM = nullptr;
    QAction* miFileSaveCSV = nullptr;
    QAction* miFileSaveEMF = nullptr;
    QAction* miFileSaveBMP = nullptr;
    QAction* miFilePreView = nullptr;
    QAction* miFilePrint = nullptr;
    QAction* miFileQuit = nullptr;

    QMenu* miEdit = nullptr;
    QAction* miEditCopyEMF = nullptr;
    QAction* miEditCopyBMP = nullptr;
    QAction* miEditClear = nullptr;
    QAction* miEditRem = nullptr;

    QMenu* miAnalog = nullptr;
    QMenu* miEvenningCh1 = nullptr;
    std::array<QAction*, 4> evenningCh1{}; // No, Min, Middle, Max
    QMenu* miEvenningCh2 = nullptr;
    std::array<QAction*, 4> evenningCh2{};
    QMenu* miAnalogGetParam = nullptr;
    QAction* miAnalogGetParamBefore = nullptr;
    QAction* miAnalogGetParamAfter = nullptr;
    QMenu* miAnalogMath = nullptr;
    QAction* miAnalogMathInvA = nullptr;
    QAction* miAnalogMathInvB = nullptr;
    std::array<QAction*, 5> analogMath{}; // Нет, A=A+B, A=A-B, B=B+A, B=B-A
    QAction* miAnalogSound = nullptr;
    QAction* miClbr = nullptr;

    QMenu* miLan = nullptr;
    QAction* miLANPatch = nullptr;
    QAction* miLANKeepOUT = nullptr;
    QAction* miLANCG = nullptr;
    QAction* miLANSelectByMarker = nullptr;
    QAction* miLANStat = nullptr;
    QAction* miLANStatOnTop = nullptr;
    QAction* miLAN_UART = nullptr;
    QAction* miLAN_SPI = nullptr;
    QAction* miLAN_I2C = nullptr;
    QAction* miLAN_1Wire = nullptr;
    QAction* miLAN_Terminal = nullptr;

    QMenu* miService = nullptr;
    QAction* miServiceSetup = nullptr;
    QAction* miServiceColor = nullptr;
    QAction* miServiceOpenSeup = nullptr;
    QAction* miServiceSaveSeup = nullptr;
    QAction* miServiceInstall = nullptr;
    QAction* miServiceVirtual = nullptr; // shown only while no instrument is attached
    QMenu* miServiceLang = nullptr;
    std::array<QAction*, 20> miLang{}; // miLang1 … miLang20

    QAction* miUpDate = nullptr;

    QMenu* miInfo = nullptr;
    QAction* miHelp = nullptr;
    QAction* miAbout = nullptr;

    // Smoothing level 0 … 3 of a channel as the checked radio item says.
    int evenningLevel(int channel) const;
    void setEvenningLevel(int channel, int level);

private:
    QMenu* addMenu(QMenuBar* bar, const char* name, const QString& caption, const QString& hint);
    QAction* addItem(QMenu* menu, const char* name, const QString& caption, const QString& shortcut,
                     const QString& hint);
    QActionGroup* group();
};

} // namespace tesmar
