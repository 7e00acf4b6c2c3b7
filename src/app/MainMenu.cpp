#include "MainMenu.h"

#include <QAction>
#include <QActionGroup>
#include <QMenu>
#include <QMenuBar>

namespace tesmar {

MainMenu::MainMenu(QMenuBar* bar, QObject* parent) : QObject(parent)
{
    setObjectName("menuMain");

    miFile = addMenu(bar, "miFile", "&Файл", "Работа с файлами, печать и выход");
    miFileOpen = addItem(miFile, "miFileOpen", "&Открыть...", "Ctrl+O", "Открыть файл с данными");
    miFileSaveData = addItem(miFile, "miFileSaveData", "&Сохранить данные...", "Ctrl+S", "Сохранить данные в файл");
    miFileSavePCM = addItem(miFile, "miFileSavePCM", "Сохранить как &PCM файл...", "Alt+Shift+S",
                            "Сохранить отсчеты как PCM файл");
    miFileSaveCSV = addItem(miFile, "miFileSaveCSV", "Сохранить как &CSV таблицу...", "Ctrl+Alt+T",
                            "Сохранить данные страницы как таблицу CSV");
    miFileSaveEMF = addItem(miFile, "miFileSaveEMF", "Сохранить как &векторный рисунок...", "Ctrl+Shift+S",
                            "Сохранить график как векторный рисунок");
    miFileSaveBMP = addItem(miFile, "miFileSaveBMP", "Сохранить как &растровый рисунок...", "Ctrl+Alt+S",
                            "Сохранить график как растровый рисунок");
    miFile->addSeparator();
    miFilePreView = addItem(miFile, "miFilePreView", "П&редварительный просмотр...", "Ctrl+Shift+P",
                            "Предварительный просмотр печати");
    miFilePrint = addItem(miFile, "miFilePrint", "&Печать...", "Ctrl+P", "Печать графика");
    miFile->addSeparator();
    miFileQuit = addItem(miFile, "miFileQuit", "В&ыход", "Ctrl+Q", "Завершить работу программы");

    miEdit = addMenu(bar, "miEdit", "&Правка", "Копирование и очистка");
    miEditCopyEMF = addItem(miEdit, "miEditCopyEMF", "Копировать как &векторный рисунок", "Ctrl+Shift+C",
                            "Копировать график в буфер обмена как векторный рисунок");
    miEditCopyBMP = addItem(miEdit, "miEditCopyBMP", "Копировать как &растровый рисунок", "Ctrl+Shift+X",
                            "Копировать график в буфер обмена как растровый рисунок");
    miEdit->addSeparator();
    miEditClear = addItem(miEdit, "miEditClear", "&Очистить", "Ctrl+N", "Очистить окно");
    miEdit->addSeparator();
    miEditRem = addItem(miEdit, "miEditRem", "&Комментарий…", "Ctrl+R", "Комментарий к измерению");

    miAnalog = addMenu(bar, "miAnalog", "&Аналоговые сигналы", "Обработка аналоговых сигналов");
    const char* levelSuffix[] = {"No", "Min", "Middle", "Max"};
    const char* levelCaption[] = {"&Нет", "&Минимальное", "&Среднее", "М&аксимальное"};
    const char* levelHint[] = {"Нет обработки сигнала", "Удаление незначительных шумов сигнала",
                               "Удаление большинство шумов и незначительное сглаживание пиков сигнала",
                               "Удаление всего шума и значительное сглаживание пиков сигнала"};
    for (int ch = 0; ch < 2; ++ch) {
        const QString name = ch == 0 ? "miEvenningCh1" : "miEvenningCh2";
        QMenu* sub = miAnalog->addMenu(ch == 0 ? "Сглаживание канала &A" : "Сглаживание канала &B");
        sub->setObjectName(name);
        sub->menuAction()->setObjectName(name + "Item");
        sub->menuAction()->setStatusTip(ch == 0
                                            ? "Выберете степень сглаживания сигнала по каналу А (только в режиме осциллографа)"
                                            : "Выберете степень сглаживания сигнала по каналу B (только в режиме осциллографа)");
        QActionGroup* levels = group();
        auto& items = ch == 0 ? evenningCh1 : evenningCh2;
        for (int level = 0; level < 4; ++level) {
            QAction* item = addItem(sub, (name + levelSuffix[level]).toLatin1().constData(), levelCaption[level], {},
                                    levelHint[level]);
            item->setCheckable(true);
            item->setActionGroup(levels);
            items[level] = item;
        }
        items[0]->setChecked(true);
        (ch == 0 ? miEvenningCh1 : miEvenningCh2) = sub;
    }

    miAnalogGetParam = miAnalog->addMenu("Расчет &параметров");
    miAnalogGetParam->setObjectName("miAnalogGetParam");
    miAnalogGetParam->menuAction()->setStatusTip("Когда рассчитывать общие параметры сигнала");
    QActionGroup* when = group();
    miAnalogGetParamBefore = addItem(miAnalogGetParam, "miAnalogGetParamBefore", "&До обработки", {},
                                     "Рассчитывать параметры до обработки сигнала");
    miAnalogGetParamAfter = addItem(miAnalogGetParam, "miAnalogGetParamAfter", "&После обработки", {},
                                    "Рассчитывать параметры после обработки сигнала");
    for (QAction* item : {miAnalogGetParamBefore, miAnalogGetParamAfter}) {
        item->setCheckable(true);
        item->setActionGroup(when);
    }
    miAnalogGetParamBefore->setChecked(true);

    miAnalogMath = miAnalog->addMenu("&Обработка");
    miAnalogMath->setObjectName("miAnalogMath");
    miAnalogMath->menuAction()->setStatusTip("Арифметика каналов");
    miAnalogMathInvA = addItem(miAnalogMath, "miAnalogMathInvA", "A=-A", {}, "Инвертировать канал A");
    miAnalogMathInvB = addItem(miAnalogMath, "miAnalogMathInvB", "B=-B", {}, "Инвертировать канал B");
    miAnalogMathInvA->setCheckable(true);
    miAnalogMathInvB->setCheckable(true);
    miAnalogMath->addSeparator();
    QActionGroup* math = group();
    const char* mathName[] = {"miAnalogMathNo", "miAnalogMathAplusB", "miAnalogMathAminusB", "miAnalogMathBplusA",
                              "miAnalogMathBminusA"};
    const char* mathCaption[] = {"Нет", "A=A+B", "A=A-B", "B=B+A", "B=B-A"};
    const char* mathHint[] = {"Без арифметики каналов", "Сложить каналы в канал A", "Вычесть канал B из канала A",
                              "Сложить каналы в канал B", "Вычесть канал A из канала B"};
    for (int i = 0; i < 5; ++i) {
        analogMath[i] = addItem(miAnalogMath, mathName[i], mathCaption[i], {}, mathHint[i]);
        analogMath[i]->setCheckable(true);
        analogMath[i]->setActionGroup(math);
    }
    analogMath[0]->setChecked(true);
    miAnalog->addSeparator();
    miAnalogSound = addItem(miAnalog, "miAnalogSound", "&Звуки...", "Ctrl+Z",
                            "Открыть окно задания звукового сопровождения измерений в режиме осциллографа и спектранализатора");
    // Present in the menu but never shown.
    QAction* hiddenSeparator1 = miAnalog->addSeparator();
    QAction* charge = addItem(miAnalog, "miAnalogCharge", "&Зарядка аккумуляторов...", {}, {});
    QAction* hiddenSeparator2 = miAnalog->addSeparator();
    for (QAction* hidden : {hiddenSeparator1, charge, hiddenSeparator2})
        hidden->setVisible(false);
    miClbr = addItem(miAnalog, "miClbr", "&Калибровка...", {}, "Калибровка аналоговых каналов");
    miClbr->setVisible(false);

    miLan = addMenu(bar, "miLan", "&Логический анализатор", "Логический анализатор и генератор");
    miLANPatch = addItem(miLan, "miLANPatch", "&Режим склейки", "Ctrl+G", "Включить / выключить режим склейки");
    miLANPatch->setCheckable(true);
    miLANKeepOUT = addItem(miLan, "miLANKeepOUT", "Удерживать состояние выходов", "Ctrl+K",
                           "Удерживать состояние выходов генератора после генерации");
    miLANKeepOUT->setCheckable(true);
    miLANKeepOUT->setChecked(true);
    miLANCG = addItem(miLan, "miLANCG", "Режим циклической генерации", {}, "Повторять последовательность генератора");
    miLANCG->setCheckable(true);
    miLan->addSeparator();
    miLANSelectByMarker = addItem(miLan, "miLANSelectByMarker", "&Выделить маркерами", "Ctrl+M",
                                  "Выделить участок между маркерами");
    miLan->addSeparator();
    miLANStat = addItem(miLan, "miLANStat", "&Статистика...", "Ctrl+T", "Статистика линий шины");
    miLANStatOnTop = addItem(miLan, "miLANStatOnTop", "&Поверх остальных окон", {},
                             "Окно статистики поверх остальных окон");
    miLANStatOnTop->setCheckable(true);
    miLan->addSeparator();
    miLAN_UART = addItem(miLan, "miLAN_UART", "&UART...", {}, "Декодер UART");
    miLAN_SPI = addItem(miLan, "miLAN_SPI", "&SPI...", {}, "Декодер SPI");
    miLAN_I2C = addItem(miLan, "miLAN_I2C", "&I2C...", {}, "Декодер I2C");
    miLAN_1Wire = addItem(miLan, "miLAN_1Wire", "&1-Wire...", {}, "Декодер 1-Wire");
    miLan->addSeparator();
    miLAN_Terminal = addItem(miLan, "miLAN_Terminal", "&Терминал...", {},
                             "Открытие окна аппаратной поддержки (ввода / вывода) интерфейсов UART, SPI, I2C и 1-Wire");

    miService = addMenu(bar, "miService", "&Сервис", "Настройки программы");
    miServiceSetup = addItem(miService, "miServiceSetup", "&Настройка…", {}, "Настройка программы");
    miServiceColor = addItem(miService, "miServiceColor", "&Цвет…", {}, "Цвета графиков");
    miService->addSeparator();
    miServiceOpenSeup = addItem(miService, "miServiceOpenSeup", "&Открыть настройки…", {},
                                "Загрузить настройки из файла");
    miServiceSaveSeup = addItem(miService, "miServiceSaveSeup", "&Сохранить настройки…", {},
                                "Сохранить настройки в файл");
    miServiceInstall = addItem(miService, "miServiceInstall", "&Доступ к прибору…", {},
                               "Правило доступа к прибору и ярлыки программы");
    miServiceVirtual = addItem(miService, "miServiceVirtual", "&Виртуальный прибор", {},
                               "Перезапустить программу на виртуальном приборе");
    miService->addSeparator();
    miServiceLang = miService->addMenu("&Language");
    miServiceLang->setObjectName("miServiceLang");
    miServiceLang->menuAction()->setStatusTip("Язык интерфейса");
    QActionGroup* languages = group();
    for (int i = 0; i < 20; ++i) {
        QAction* item = addItem(miServiceLang, QString("miLang%1").arg(i + 1).toLatin1().constData(), {}, {}, {});
        item->setCheckable(true);
        item->setActionGroup(languages);
        item->setData(i + 1); // the item's number
        item->setVisible(false);
        miLang[i] = item;
    }

    miUpDate = bar->addAction("&Обновление ПО");
    miUpDate->setObjectName("miUpDate");
    miUpDate->setStatusTip("Обновление программного обеспечения устройства");

    miInfo = addMenu(bar, "miInfo", "&Справка", "Справка и сведения о программе");
    miHelp = addItem(miInfo, "miHelp", "&Помощь", "F1", "Открыть справку");
    miInfo->addSeparator();
    miAbout = addItem(miInfo, "miAbout", "&О программе...", {}, "Сведения о программе");
}

QMenu* MainMenu::addMenu(QMenuBar* bar, const char* name, const QString& caption, const QString& hint)
{
    QMenu* menu = bar->addMenu(caption);
    menu->setObjectName(name);
    menu->menuAction()->setStatusTip(hint);
    return menu;
}

QAction* MainMenu::addItem(QMenu* menu, const char* name, const QString& caption, const QString& shortcut,
                           const QString& hint)
{
    QAction* item = menu->addAction(caption);
    item->setObjectName(name);
    if (!shortcut.isEmpty())
        item->setShortcut(QKeySequence(shortcut));
    item->setStatusTip(hint);
    return item;
}

QActionGroup* MainMenu::group()
{
    auto* g = new QActionGroup(this);
    g->setExclusive(true);
    return g;
}

int MainMenu::evenningLevel(int channel) const
{
    const auto& items = channel == 0 ? evenningCh1 : evenningCh2;
    for (int level = 0; level < 4; ++level)
        if (items[level]->isChecked())
            return level;
    return 0;
}

void MainMenu::setEvenningLevel(int channel, int level)
{
    // Any level outside 0 … 2 counts as maximal.
    const int index = level < 0 || level > 3 ? 3 : level;
    (channel == 0 ? evenningCh1 : evenningCh2)[index]->setChecked(true);
}

} // namespace tesmar
