// The main window on the offscreen platform against the virtual instrument.

#include "MainWindowHarness.h"
#include "app/MainMenu.h"
#include "app/TfmMain.h"
#include "app/help/TfmAbout.h"
#include "app/UserMessages.h"
#include "app/pages/MeasurementPage.h"
#include "app/pages/osc/OscChart.h"
#include "app/pages/osc/OscPage.h"
#include "device/Commands.h"
#include "settings/IniFile.h"
#include "sim/VirtualInstrument.h"
#include "ui/knob/KnobScales.h"
#include "ui/knob/TOscKnob.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QStatusTipEvent>
#include <QTabBar>
#include <QLabel>
#include <QScrollArea>
#include <QScrollBar>
#include <QTabWidget>
#include <QToolButton>
#include <QTemporaryDir>
#include <QtTest>

#include <fstream>
#include <memory>

using namespace tesmar;

namespace {

using Harness = testing::MainWindowHarness;

QString Message(TfmMain& w, Msg key)
{
    return QString::fromStdString(w.messageTable().text(key));
}

} // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

private slots:
    void pagesAndMenuAsBuilt()
    {
        Harness h;
        TfmMain& w = h.start();
        QCOMPARE(w.windowTitle(), QString("Tesmar 2"));
        QCOMPARE(w.pages()->count(), 4);
        const QStringList captions{"Осциллограф", "Спектр анализатор", "Самописец", "Логический анализатор"};
        const QStringList names{"tsOsc", "tsFFT", "tsRec", "tsLAN"};
        for (int i = 0; i < 4; ++i) {
            QCOMPARE(w.pages()->tabText(i), captions[i]);
            QCOMPARE(w.pages()->widget(i)->objectName(), names[i]);
        }
        const QStringList menus{"&Файл", "&Правка", "&Аналоговые сигналы", "&Логический анализатор", "&Сервис",
                                "&Обновление ПО", "&Справка"};
        const auto bar = w.menuBar()->actions();
        QCOMPARE(bar.size(), menus.size());
        for (int i = 0; i < menus.size(); ++i)
            QCOMPARE(bar[i]->text(), menus[i]);

        struct Item { const char* name; const char* caption; const char* shortcut; };
        const Item items[] = {{"miFileOpen", "&Открыть...", "Ctrl+O"},
                              {"miFileSavePCM", "Сохранить как &PCM файл...", "Alt+Shift+S"},
                              {"miFileSaveBMP", "Сохранить как &растровый рисунок...", "Ctrl+Alt+S"},
                              {"miEditCopyBMP", "Копировать как &растровый рисунок", "Ctrl+Shift+X"},
                              {"miAnalogSound", "&Звуки...", "Ctrl+Z"},
                              {"miLANKeepOUT", "Удерживать состояние выходов", "Ctrl+K"},
                              {"miLAN_1Wire", "&1-Wire...", ""},
                              {"miHelp", "&Помощь", "F1"}};
        for (const Item& item : items) {
            auto* action = w.findChild<QAction*>(item.name);
            QVERIFY2(action, item.name);
            QCOMPARE(action->text(), QString(item.caption));
            QCOMPARE(action->shortcut(), QKeySequence(item.shortcut));
            QVERIFY2(!action->statusTip().isEmpty(), item.name);
        }
        QVERIFY(w.menu().miLANKeepOUT->isChecked());
        QVERIFY(w.menu().evenningCh1[0]->isChecked());
        QVERIFY(w.menu().miAnalogGetParamBefore->isChecked());
        QVERIFY(!w.menu().miClbr->isVisible());
        QVERIFY(!w.menu().miLang[0]->isVisible());
        QVERIFY(!w.pnService->isVisibleTo(&w));

        // the ten knobs sit on their pages with their initial entries
        for (std::string_view name : PageKnobNames()) {
            auto* knob = w.findChild<TOscKnob*>(QString::fromUtf8(name.data(), qsizetype(name.size())));
            QVERIFY2(knob, name.data());
            QCOMPARE(knob->IndexSelectData(), PageKnobScale(name)->initialIndex);
        }
        QVERIFY(w.findChild<QWidget*>("tsLAN")->isAncestorOf(w.findChild<TOscKnob*>("knLANFrecDiv")));
        QVERIFY(w.findChild<QWidget*>("tsFFT")->isAncestorOf(w.findChild<TOscKnob*>("knFFTFrecDiv")));
    }

    void pageChangeSetsHintsPcmItemAndTitle()
    {
        Harness h;
        TfmMain& w = h.start();
        w.pages()->setCurrentIndex(1);
        QVERIFY(!w.menu().miFileSavePCM->isVisible());
        QCOMPARE(w.menu().miFileOpen->statusTip(), Message(w, Msg::strFftFileOpenHint));
        w.pages()->setCurrentIndex(2);
        QVERIFY(w.menu().miFileSavePCM->isVisible());
        QCOMPARE(w.menu().miFileSavePCM->statusTip(), Message(w, Msg::strRecFileSavePCMHint));
        w.pages()->setCurrentIndex(0);
        QCOMPARE(w.menu().miEditClear->statusTip(), QString("Очистить окно осциллографа"));
        w.page(0)->setDataFileName("signal.dat");
        w.pgcntrMainChange(0);
        QCOMPARE(w.windowTitle(), QString("Tesmar 2 - signal.dat"));
    }

    void statusLineShowsHintElseStatusText()
    {
        Harness h;
        TfmMain& w = h.start();
        w.setStatusText("Ожидание");
        QCOMPARE(w.statusLine(), QString("Ожидание"));
        QStatusTipEvent tip("Подсказка");
        QApplication::sendEvent(&w, &tip);
        QCOMPARE(w.statusLine(), QString("Подсказка"));
        QStatusTipEvent none("");
        QApplication::sendEvent(&w, &none);
        QCOMPARE(w.statusLine(), QString("Ожидание"));
    }

    void lockPagesDisablesOthersAndFileItems()
    {
        Harness h;
        TfmMain& w = h.start();
        w.setPatchAllowed(false);
        w.LockPages(2);
        QVERIFY(!w.page(0)->isEnabled());
        QVERIFY(!w.pages()->isTabEnabled(0)); // the tab cannot be chosen either
        QVERIFY(w.page(2)->isEnabled());
        QVERIFY(!w.menu().miFileOpen->isEnabled());
        QVERIFY(!w.menu().miFileQuit->isEnabled());
        QVERIFY(!w.menu().miLAN_Terminal->isEnabled());
        QVERIFY(w.menu().miLAN_SPI->isEnabled()); // not in the lock list
        QVERIFY(w.menu().miAnalogSound->isEnabled());
        w.UnlockPages();
        QVERIFY(w.page(0)->isEnabled());
        QVERIFY(w.menu().miFileOpen->isEnabled());
        QVERIFY(!w.menu().miLANPatch->isEnabled()); // follows the analyser's own state
    }

    void startWithoutInstrument()
    {
        Harness h;
        h.instrument.unplug();
        QElapsedTimer timer;
        timer.start();
        TfmMain& w = h.start();
        QVERIFY(timer.elapsed() >= 900);
        QCOMPARE(h.messages.errors, QStringList{Message(w, Msg::strInitError)});
        QVERIFY(h.messages.errors[0].startsWith("Не удалось проинициализировать устройство."));
        w.btLedOnClick(); // does nothing, and quietly
        QVERIFY(!h.instrument.state().ledOn);
        QCOMPARE(h.messages.errors.size(), 1);
    }

    void withoutInstrumentTheVirtualOneIsOffered()
    {
        Harness h;
        h.instrument.unplug();
        QStringList started;
        h.startProgram = [&started](const QStringList& arguments) {
            started = arguments;
            return true;
        };
        TfmMain& w = h.start();
        QVERIFY(w.menu().miServiceVirtual->isVisible());
        w.show();
        w.menu().miServiceVirtual->trigger();
        QVERIFY(started.contains("-SIM"));
        QVERIFY(!w.isVisible());

        // An instrument, or the virtual one already: nothing to offer.
        Harness attached;
        QVERIFY(!attached.start().menu().miServiceVirtual->isVisible());
        Harness simulated;
        simulated.instrument.unplug();
        QVERIFY(!simulated.start({"-SIM"}).menu().miServiceVirtual->isVisible());
    }

    void instrumentPluggedInLaterIsTakenUpAsAtStart()
    {
        Harness h(200.0, true);
        h.instrument.unplug();
        CalibrationSet own;
        own.aNormal = {2.45, 7.5e-5};
        h.instrument.state().calibration.setPairs(own);
        TfmMain& w = h.start({"-SIM"});
        QCOMPARE(h.messages.errors, QStringList{Message(w, Msg::strInitError)});
        QCOMPARE(w.deviceLine(), QString("Прибор не подключен"));
        OscPage& osc = *w.oscPage();

        // Without an instrument the run buttons say so, and stay as they were.
        QTest::mouseClick(osc.sbOscRunSingle, Qt::LeftButton);
        QCOMPARE(osc.sbOscRunSingle->text(), QString("Однокр."));
        QVERIFY(!osc.sbOscRunSingle->isChecked());
        QVERIFY(osc.sbOscRun->isEnabled());
        QVERIFY(!osc.acquisition().running());
        QCOMPARE(h.messages.errors.size(), 2);
        QCOMPARE(h.messages.errors[1], Message(w, Msg::strInitError));
        QCOMPARE(w.statusLine(), QString("Не удалось проинициализировать устройство."));
        QTest::mouseClick(osc.sbOscRun, Qt::LeftButton);
        QCOMPARE(osc.sbOscRun->text(), QString("Цикл."));
        QCOMPARE(h.messages.errors.size(), 3);
        QVERIFY(w.page(1)->isEnabled()); // nothing was locked

        // Plugged in: identity, calibration and reset as at start, and the next run uses it.
        const int resets = h.instrument.resetCount();
        h.instrument.plug();
        QTRY_VERIFY_WITH_TIMEOUT(w.calibration() == own, 5000);
        QTRY_COMPARE_WITH_TIMEOUT(h.instrument.resetCount(), resets + 1, 5000);
        QCOMPARE(w.deviceLine(), QString("Виртуальный прибор"));
        QCOMPARE(w.statusLine(), QString());
        osc.knOscTimeDiv->setIndexSelectData(30); // 25 µs, buffer mode
        QTest::mouseClick(osc.sbOscRunSingle, Qt::LeftButton);
        QCOMPARE(osc.sbOscRunSingle->text(), QString("Сброс"));
        QTRY_VERIFY_WITH_TIMEOUT(osc.sbOscRunSingle->text() == "Однокр.", 10000);
        QCOMPARE(osc.chOsc->srOsc_Ch1->dataCount(), 1126);
        QCOMPARE(h.messages.errors.size(), 3);

        // Unplugged and another instrument plugged in: taken up again.
        h.instrument.unplug();
        QTRY_COMPARE_WITH_TIMEOUT(w.deviceLine(), QString("Прибор не подключен"), 5000);
        CalibrationSet other;
        other.bNormal = {1.0, 1e-4};
        h.instrument.state().calibration.setPairs(other);
        h.instrument.state().calibration.setInstrumentType(0); // logic analyser only
        h.instrument.plug();
        QTRY_VERIFY_WITH_TIMEOUT(w.calibration() == other, 5000);
        QTRY_VERIFY_WITH_TIMEOUT(w.logicOnly(), 5000);
        QCOMPARE(w.pages()->currentIndex(), 3);
    }

    void minimumSizeKeepsEveryControlWholeAndThePanelScrolls()
    {
        Harness h;
        TfmMain& w = h.start();
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QVERIFY(w.minimumWidth() >= 700 && w.minimumHeight() >= 500);
        w.resize(300, 200); // cannot go below the minimum
        QTest::qWait(20);
        QCOMPARE(w.size(), w.minimumSize());
        OscPage& p = *w.oscPage();
        auto whole = [](QWidget* c) {
            // A knob places its own caption by its geometry; everything else is laid out.
            const bool laidOut = !qobject_cast<TOscKnob*>(c->parentWidget());
            if (laidOut && (c->width() < c->minimumSizeHint().width() || c->height() < c->minimumSizeHint().height()))
                return false;
            QString text;
            if (auto* b = qobject_cast<QAbstractButton*>(c))
                text = b->text();
            else if (auto* l = qobject_cast<QLabel*>(c))
                text = l->text();
            return c->fontMetrics().horizontalAdvance(text) <= c->contentsRect().width();
        };
        for (QWidget* c : p.findChildren<QWidget*>()) {
            if (c->isVisibleTo(&p) && !c->objectName().isEmpty() && !c->objectName().startsWith("qt_"))
                QVERIFY2(whole(c), qPrintable(c->objectName()));
        }
        QVERIFY(p.grboxOscTrigger->height() >= p.grboxOscTrigger->sizeHint().height()); // not squashed
        QVERIFY(p.pnOscSetup->height() >= p.pnOscSetup->minimumSizeHint().height());
        // Lower than the panel: the panel scrolls, and every control can be scrolled into view.
        QScrollBar* scroll = p.pnOscSetupScroll->verticalScrollBar();
        QVERIFY(scroll->maximum() > 0);
        p.pnOscSetupScroll->ensureWidgetVisible(p.sbOscRun);
        QVERIFY(p.pnOscSetupScroll->viewport()->rect().contains(
            p.sbOscRun->mapTo(p.pnOscSetupScroll->viewport(), p.sbOscRun->rect().bottomRight())));
        // Hiding the panel hides the whole scrolling column.
        QTest::mouseClick(p.lsbOscSetupHide, Qt::LeftButton);
        QVERIFY(!p.pnOscSetupScroll->isVisible());
        QTest::mouseClick(p.lsbOscSetupShow, Qt::LeftButton);
        QVERIFY(p.pnOscSetup->isVisible());
    }

    void instrumentInBootLoader()
    {
        Harness h;
        h.instrument.state().bootLoader = true;
        TfmMain& w = h.start();
        QCOMPARE(h.messages.errors, QStringList{Message(w, Msg::strErrorBL)});
        QVERIFY(h.messages.errors[0].startsWith("Устройство находится в режиме обновления."));
        QVERIFY(w.isEnabled());
        QCOMPARE(h.instrument.resetCount(), 0); // the take-up stopped before the reset
    }

    void calibrationFromTheInstrumentUnlessBlank()
    {
        {
            Harness h;
            CalibrationSet own;
            own.aNormal = {2.45, 7.5e-5};
            h.instrument.state().calibration.setPairs(own);
            TfmMain& w = h.start();
            QVERIFY(h.messages.errors.isEmpty());
            QVERIFY(w.calibration() == own);
            QCOMPARE(h.instrument.resetCount(), 1);
        }
        {
            Harness h;
            h.instrument.state().calibration.bytes.fill(0xFF);
            TfmMain& w = h.start();
            QVERIFY(w.calibration() == CalibrationSet{});
        }
        {
            Harness h; // a record cut short must not be taken as pairs of zeros
            h.instrument.shortenNextRead(100, 1); // the identity read passes, the record's is cut
            CalibrationSet own;
            own.bNormal = {1.0, 1e-4};
            h.instrument.state().calibration.setPairs(own);
            TfmMain& w = h.start();
            QVERIFY(w.calibration() == CalibrationSet{});
            QCOMPARE(h.instrument.resetCount(), 1);
        }
    }

    void logicOnlyInstrument()
    {
        {
            Harness h;
            h.instrument.state().calibration.setInstrumentType(0);
            TfmMain& w = h.start();
            QVERIFY(w.logicOnly());
            QCOMPARE(w.pages()->currentIndex(), 3);
            for (int i = 0; i < 3; ++i)
                QVERIFY(!w.pages()->isTabVisible(i));
            QVERIFY(!w.menu().miAnalog->menuAction()->isVisible());
        }
        {
            Harness h;
            h.instrument.state().calibration.setInstrumentType(0);
            TfmMain& w = h.start({"-CLBR"});
            QVERIFY(!w.logicOnly());
            QVERIFY(w.pages()->isTabVisible(0));
            QVERIFY(w.menu().miClbr->isVisible());
        }
        {
            Harness h; // a blank record never makes the logic-only view
            h.instrument.state().calibration.bytes.fill(0xFF);
            h.instrument.state().calibration.setInstrumentType(0);
            TfmMain& w = h.start();
            QVERIFY(!w.logicOnly());
        }
    }

    void storedPageIsClamped()
    {
        const std::pair<const char*, int> cases[] = {{"7", 3}, {"9", 3}, {"-1", 0}, {"2", 2}, {"junk", 0}};
        for (const auto& [stored, expected] : cases) {
            Harness h;
            h.writeSettings(std::string("[misc]\r\nActivePageIndex=") + stored + "\r\n");
            TfmMain& w = h.start();
            QCOMPARE(w.pages()->currentIndex(), expected);
        }
    }

    void settingsAreReadAndWrittenBack()
    {
        Harness h;
        h.writeSettings("; user notes\r\n[system]\r\nusb_rd_timeout=0x20\r\nshow_exchange_error=junk\r\n8bit=1\r\n"
                        "[menu]\r\nEvenningCh1=7\r\nEvenningCh2=2\r\nmiAnalogGetParamBefore=0\r\n"
                        "[other]\r\nkeep=me\r\n");
        TfmMain& w = h.start();
        QCOMPARE(w.session().settings().readTimeoutMs, 32);
        QCOMPARE(w.session().settings().showExchangeError, false);
        QVERIFY(w.systemSettings().eightBit);
        QCOMPARE(w.menu().evenningLevel(0), 3);
        QCOMPARE(w.menu().evenningLevel(1), 2);
        QVERIFY(w.menu().miAnalogGetParamAfter->isChecked());
        w.pages()->setCurrentIndex(2);
        w.close();

        IniFile ini(h.settingsPath());
        QCOMPARE(ini.readInteger("system", "usb_rd_timeout", 0), 32LL);
        QVERIFY(!ini.hasKey("system", "old"));
        QCOMPARE(ini.readInteger("system", "8bit", 5), 1LL); // kept as the user wrote it, never rewritten
        QCOMPARE(ini.readInteger("menu", "EvenningCh1", 0), 3LL);
        QCOMPARE(ini.readInteger("misc", "ActivePageIndex", 0), 2LL);
        QCOMPARE(QString::fromStdString(ini.readString("misc", "lang", "")), QString("Russian.ini"));
        QCOMPARE(QString::fromStdString(ini.readString("misc", "strLangPreView", "")), QString("RU"));
        QCOMPARE(QString::fromStdString(ini.readString("other", "keep", "")), QString("me"));
        QVERIFY(ini.text().find("; user notes") != std::string::npos);
        QVERIFY(QString::fromStdString(ini.readString("dir", "sdSaveFileData", "")).endsWith("/data/"));
        QVERIFY(ini.hasKey("pos", "fmMainWidth"));
    }

    void noSettingsFileIsCreatedAtClose()
    {
        Harness h;
        TfmMain& w = h.start();
        w.close();
        IniFile ini(h.settingsPath());
        for (const char* section : {"system", "dir", "pos", "menu", "misc"})
            QVERIFY2(ini.hasSection(section), section);
        QCOMPARE(ini.readInteger("system", "usb_wr_timeout", 0), 50LL);
    }

    void serviceButtonsWithDebug()
    {
        Harness h;
        TfmMain& w = h.start({"-debug"});
        QVERIFY(w.pnService->isVisibleTo(&w));
        QTest::mouseClick(w.btLedOn, Qt::LeftButton);
        QVERIFY(h.instrument.state().ledOn);
        QTest::mouseClick(w.btLedOff, Qt::LeftButton);
        QVERIFY(!h.instrument.state().ledOn);
        QTest::mouseClick(w.btGetID, Qt::LeftButton);
        QCOMPARE(w.windowTitle(), QString("In main application (ID=0xaa)"));
        QTest::mouseClick(w.btMnToBl, Qt::LeftButton);
        QTest::mouseClick(w.btGetID, Qt::LeftButton);
        QCOMPARE(w.windowTitle(), QString("In boot loader (ID=0x55)"));
        const int resets = h.instrument.resetCount();
        QTest::mouseClick(w.btReset, Qt::LeftButton);
        QCOMPARE(h.instrument.resetCount(), resets + 1);
    }

    void exchangeErrorIsShownOnTheInterfaceThread()
    {
        Harness h;
        h.writeSettings("[system]\r\nshow_exchange_error=1\r\n");
        TfmMain& w = h.start();
        QVERIFY(h.messages.errors.isEmpty());
        std::thread reader([&] {
            std::uint8_t byte = 0;
            w.session().ReadDataPipe(&byte, 1); // nothing to read: time-out
        });
        reader.join();
        QVERIFY(h.messages.errors.isEmpty()); // not shown on the reader's thread
        QTRY_COMPARE(h.messages.errors.size(), 1);
        QVERIFY(h.messages.errors[0].contains("Код ошибки: 20000015"));
        QVERIFY(h.messages.errors[0].contains("Описание: TimeOut expired"));
    }

    void helpOpensTheManualOrSaysWhereItIsMissing()
    {
        Harness h;
        QStringList opened;
        const QString manual = h.folder.path() + "/manual/index.html";
        QDir().mkpath(h.folder.path() + "/manual");
        h.manualCandidates = {h.folder.path() + "/missing/index.html", manual};
        h.openDocument = [&](const QString& path) {
            opened << path;
            return true;
        };
        TfmMain& w = h.start();
        w.menu().miHelp->trigger();
        QCOMPARE(h.messages.errors.size(), 1);
        QCOMPARE(h.messages.errors.first(), "Не найден файл помощи:\r" + h.folder.path() + "/missing/index.html");
        QFile page(manual);
        QVERIFY(page.open(QIODevice::WriteOnly));
        page.close();
        w.menu().miHelp->trigger();
        QCOMPARE(opened, QStringList{manual});
        QCOMPARE(h.messages.errors.size(), 1);
    }

    void aboutTellsTheVersionAndTheInstrument()
    {
        Harness h;
        TfmMain& w = h.start({"-SIM"});
        QTimer::singleShot(0, w.fmAbout, [&w] {
            QVERIFY(w.fmAbout->lbName->text().startsWith("Tesmar 2"));
            QVERIFY(w.fmAbout->lbInstrument->text().contains("Виртуальный прибор"));
            QVERIFY(w.fmAbout->lbInstrument->text().contains("Версия ПО прибора"));
            w.fmAbout->btOK->click();
        });
        w.menu().miAbout->trigger();
        QVERIFY(!w.fmAbout->isVisible());
    }
};

QTEST_MAIN(MainWindowTest)
#include "MainWindowTest.moc"
