// The options dialog on the offscreen platform, alone and inside the main window.

#include "app/MainMenu.h"
#include "app/TfmMain.h"
#include "app/UserMessages.h"
#include "app/options/OptionVariables.h"
#include "app/options/TfmOptions.h"
#include "app/pages/logic/LanPage.h"
#include "app/pages/osc/OscPage.h"
#include "logic/GeneratorData.h"
#include "logic/LogicCapture.h"
#include "settings/IniFile.h"
#include "text/MessageTable.h"
#include "sim/VirtualInstrument.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QToolButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include "MainWindowHarness.h"

#include <fstream>
#include <functional>
#include <memory>

using namespace tesmar;

namespace {

using testing::RecordedMessages;

// A dialog on its own variables, shown as the user sees it.
struct DialogHarness {
    OptionVariables options;
    MessageTable messages;
    RecordedMessages boxes;
    TfmOptions dialog{options, messages, boxes};

    DialogHarness() { dialog.show(); }

    template <class T> T* control(const char* name) {
        T* found = dialog.findChild<T*>(name);
        if (!found)
            qFatal("no control %s", name);
        return found;
    }
    void click(const char* button) { QTest::mouseClick(control<QPushButton>(button), Qt::LeftButton); }
};

QString Utf8(const char* text) {
    return QString::fromUtf8(text);
}

QString LabelOf(QWidget* control) {
    auto* label = control->parentWidget()->findChild<QLabel*>("lb" + control->objectName().mid(2));
    return label ? label->text() : QString();
}

// Sets controls away from the defaults, by name, as a user would.
void ChangeEveryKind(DialogHarness& h) {
    h.control<QRadioButton>("rbOscSnapBSignal")->setChecked(true);
    h.control<QCheckBox>("cbOscViewIcon")->setChecked(false);
    h.control<QComboBox>("cbOscTdBufIndex")->setCurrentIndex(12);
    h.control<QSpinBox>("udOscBufPreTrigger")->stepBy(3);
    h.control<QComboBox>("cbOscPipeSize")->setCurrentIndex(5);
    h.control<QSpinBox>("udOscPipePreTrigger")->stepBy(-2);
    h.control<QCheckBox>("cbOscDisableAverage")->setChecked(false);
    h.control<QSpinBox>("udFFTCountKNIHam")->setValue(7);
    h.control<QComboBox>("cbFFTFdBufIndex")->setCurrentIndex(39);
    h.control<QComboBox>("cbFFTPipeSize")->setCurrentIndex(0);
    h.control<QComboBox>("cbRecIndexHide")->setCurrentIndex(3);
    h.control<QCheckBox>("cbRecTimeInUs")->setChecked(true);
    h.control<QComboBox>("cbLANPipeSize")->setCurrentIndex(16);
    h.control<QSpinBox>("udLANBufPreTrigger")->stepBy(1);
    h.control<QSpinBox>("udLANPipePreTrigger")->setValue(99);
    h.control<QCheckBox>("cbLANUseCh0")->setChecked(false);
    h.control<QCheckBox>("cbLANUseCh6")->setChecked(false);
    h.control<QComboBox>("cbLANChExtSmpl")->setCurrentIndex(7);
    h.control<QCheckBox>("cbLanBusAInverse")->setChecked(false);
}

using Harness = testing::MainWindowHarness;

// Runs `act` on the modal dialog once it is up; `open` is what brings it up.
void WithModalDialog(const std::function<void()>& open, const std::function<void(TfmOptions&)>& act) {
    bool acted = false;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<TfmOptions*>(QApplication::activeModalWidget());
        if (dialog) {
            act(*dialog);
            acted = true;
            if (dialog->isVisible())
                dialog->reject();
        }
    });
    open();
    QVERIFY2(acted, "the options dialog did not come up modally");
}

} // namespace

class OptionsDialogTest : public QObject {
    Q_OBJECT

  private slots:
    void virtualInstrumentWiresTheGeneratorToBusA()
    {
        testing::MainWindowHarness h(50.0, true);
        TfmMain& w = h.start();
        w.pages()->setCurrentIndex(3);
        LanPage& p = *w.lanPage();
        QVERIFY(p.generatorMode());
        for (int i = 0; i < GeneratorData::kSampleCount; ++i)
            w.generatorData().setSample(i, static_cast<std::uint8_t>(i * 7));
        p.generatorEdited(0, GeneratorData::kSampleCount - 1);

        WithModalDialog([&] { w.menu().miServiceSetup->trigger(); },
                        [&](TfmOptions& d) {
                            QVERIFY(d.grboxLANSimulator->isVisibleTo(&d));
                            QVERIFY(!d.cbLANSimLoopBack->isChecked());
                            d.cbLANSimLoopBack->setChecked(true);
                            QTest::mouseClick(d.btOK, Qt::LeftButton);
                        });
        QTest::mouseClick(p.sbLANRun, Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(p.sbLANRun->text() == "Запуск", 10000);
        const LogicCapture& c = w.logicCapture();
        QCOMPARE(int(c.busA.size()), GeneratorData::kSampleCount);
        for (int i : {0, 1, 100, 1000, 1543})
            QCOMPARE(int(c.busA[i]), int(w.generatorData().sample(i)));

        // Without the virtual instrument there is nothing to wire: the choice is not shown.
        testing::MainWindowHarness plain;
        TfmMain& other = plain.start();
        QVERIFY(!other.fmOptions->grboxLANSimulator->isVisibleTo(other.fmOptions));
    }

    void pagesControlsCaptionsAndRanges() {
        DialogHarness h;
        QCOMPARE(h.dialog.objectName(), QString("fmOptions"));
        QCOMPARE(h.dialog.windowTitle(), Utf8("Параметры"));
        QTabWidget* pages = h.control<QTabWidget>("pgcntrOptions");
        const char* names[] = {"tsOsc", "tsFFT", "tsRec", "tsLAN"};
        const char* captions[] = {"Осциллограф", "Спектр анализатор", "Самописец", "Логический анализатор"};
        QCOMPARE(pages->count(), 4);
        for (int i = 0; i < 4; ++i) {
            QCOMPARE(pages->widget(i)->objectName(), QString(names[i]));
            QCOMPARE(pages->tabText(i), Utf8(captions[i]));
        }
        QCOMPARE(h.control<QPushButton>("btOK")->text(), QString("OK"));
        QVERIFY(h.control<QPushButton>("btOK")->isDefault());
        QCOMPARE(h.control<QPushButton>("btOK")->toolTip(),
                 Utf8("Сохранить все внесенные изменения и закрыть окно"));
        QCOMPARE(h.control<QPushButton>("btCancel")->text(), Utf8("Отмена"));
        QCOMPARE(h.control<QPushButton>("btCancel")->toolTip(),
                 Utf8("Отменить все внесенные изменения и закрыть окно"));

        struct Check {
            const char* name;
            const char* caption;
            const char* page;
        };
        const Check checks[] = {
            {"cbOscViewIcon", "Вывести информацию о режиме чтения (буфер/поток)", "tsOsc"},
            {"cbOscForceSmallBuf", "Буфер на 1024/512", "tsOsc"},
            {"cbOscDisableAverage", "Запрет усреднение", "tsOsc"},
            {"cbOscAvtoOnTrigger", "Авто включение синхронизации", "tsOsc"},
            {"cbFFTAvtoOnFlt", "Авто включение фильтра", "tsFFT"},
            {"cbRecDisableAverage", "Запрет усреднение (Тд<10мс)", "tsRec"},
            {"cbRecFastCalc", "Ускоренная прорисовка результатов измерения ", "tsRec"},
            {"cbRecTimeInUs", "Время в мкс", "tsRec"},
            {"cbLanBusAInverse", "Инверсия шины A (для новых устройств)", "tsLAN"},
            {"cbLanPassGroupFind", "Пропуск группы одинаковых байт при поиске", "tsLAN"},
            {"cbLANViewIcon", "Вывести информацию о режиме чтения (буфер/поток)", "tsLAN"},
        };
        for (const Check& c : checks) {
            auto* box = h.control<QCheckBox>(c.name);
            QCOMPARE(box->text(), Utf8(c.caption));
            QVERIFY2(h.control<QWidget>(c.page)->isAncestorOf(box), c.name);
        }

        struct List {
            const char* name;
            const char* label;
            int count;
            const char* first;
            const char* last;
        };
        const List lists[] = {
            {"cbOscTdBufIndex", "Tд грн. буфера", 40, "Все", "5 мкс"},
            {"cbOscPipeSize", "Глубина памяти", 6, "2048", "65536"},
            {"cbFFTFdBufIndex", "Fд грн. буфера", 40, "Все", "200 К"},
            {"cbFFTPipeSize", "Глубина памяти", 6, "2048", "65536"},
            {"cbRecIndexDisable", "Tд мин рабочее", 33, "10 мс", "5 мкс"},
            {"cbRecIndexHide", "Tд мин отображения", 33, "10 мс", "5 мкс"},
            {"cbLANFdBufIndex", "Fд грн. буфера", 28, "Все", "500 K"},
            {"cbLANPipeSize", "Глубина памяти", 17, "4 K", "256 M"},
            {"cbLANChExtSmpl", "Канал для внешнего тактирования (шина B)", 8, "B.0", "B.7"},
        };
        for (const List& l : lists) {
            auto* list = h.control<QComboBox>(l.name);
            QVERIFY2(!list->isEditable(), l.name);
            QCOMPARE(list->maxVisibleItems(), 10);
            QCOMPARE(list->count(), l.count);
            QCOMPARE(list->itemText(0), Utf8(l.first));
            QCOMPARE(list->itemText(l.count - 1), Utf8(l.last));
            QCOMPARE(LabelOf(list), Utf8(l.label));
        }
        QCOMPARE(h.control<QComboBox>("cbOscTdBufIndex")->toolTip(),
                 Utf8("Задайте граничное значение периода дискретизации меньше, которого будет чтение через "
                      "буфер"));
        QCOMPARE(
            h.control<QComboBox>("cbLANFdBufIndex")->toolTip(),
            Utf8(
                "Задайте граничное значение частоты дискретизации больше, которой будет чтение через буфер"));
        QVERIFY(h.control<QCheckBox>("cbLANUseCh3")->toolTip().startsWith(Utf8("Вкл/выкл отображение")));

        struct UpDown {
            const char* name;
            const char* edit;
            int lowest, highest, step, initial;
        };
        const UpDown upDowns[] = {
            {"udOscBufPreTrigger", "edOscBufPreTrigger", 8, 200, 4, 100},
            {"udOscPipePreTrigger", "edOscPipePreTrigger", 10, 1000, 10, 100},
            {"udFFTCountKNIHam", "edFFTCountKNIHam", 2, 10, 1, 2},
            {"udLANBufPreTrigger", "edLANBufPreTrigger", 8, 120, 8, 32},
            {"udLANPipePreTrigger", "edLANPipePreTrigger", 1, 99, 1, 10},
        };
        for (const UpDown& u : upDowns) {
            auto* upDown = h.control<QSpinBox>(u.name);
            QCOMPARE(upDown->minimum(), u.lowest);
            QCOMPARE(upDown->maximum(), u.highest);
            QCOMPARE(upDown->singleStep(), u.step);
            QCOMPARE(upDown->value(), u.initial);
            auto* edit = h.control<QLineEdit>(u.edit);
            QVERIFY2(edit->isReadOnly(), u.edit);
            QCOMPARE(edit->text(), QString::number(u.initial));
            // typing does nothing, the arrows step
            QTest::keyClicks(edit, "5");
            QCOMPARE(upDown->value(), u.initial);
            QTest::keyClick(upDown, Qt::Key_Up);
            QCOMPARE(upDown->value(), std::min(u.initial + u.step, u.highest));
        }
        QCOMPARE(LabelOf(h.control<QSpinBox>("udLANPipePreTrigger")), Utf8("Пре триггер"));
        QCOMPARE(h.control<QLabel>("lbLANPipePreTriggerUnit")->text(), QString("%"));
        QCOMPARE(h.control<QGroupBox>("grboxOscSnapA")->title(), Utf8("Привязка маркера A"));
        QCOMPARE(h.control<QRadioButton>("rbOscSnapBSignal")->text(), Utf8("Привязка к сигналу"));
    }

    void initialStateIsTheDefaults() {
        DialogHarness h;
        QVERIFY(h.control<QRadioButton>("rbOscSnapAScreen")->isChecked());
        QVERIFY(h.control<QRadioButton>("rbOscSnapBScreen")->isChecked());
        QCOMPARE(h.control<QComboBox>("cbOscTdBufIndex")->currentText(), Utf8("Все"));
        QCOMPARE(h.control<QComboBox>("cbOscPipeSize")->currentText(), QString("8192"));
        QCOMPARE(h.control<QComboBox>("cbFFTPipeSize")->currentText(), QString("8192"));
        QCOMPARE(h.control<QComboBox>("cbRecIndexDisable")->currentText(), Utf8("5 мкс"));
        QCOMPARE(h.control<QComboBox>("cbRecIndexHide")->currentText(), Utf8("0,1 мс"));
        QCOMPARE(h.control<QComboBox>("cbLANFdBufIndex")->currentText(), Utf8("250 K"));
        QCOMPARE(h.control<QComboBox>("cbLANPipeSize")->currentText(), Utf8("64 K"));
        QCOMPARE(h.control<QComboBox>("cbLANChExtSmpl")->currentText(), Utf8("B.0"));
        for (int k = 0; k < 8; ++k)
            QVERIFY(h.dialog.cbLANUseCh[k]->isChecked());
        QVERIFY(h.control<QCheckBox>("cbOscDisableAverage")->isChecked());
        QVERIFY(!h.control<QCheckBox>("cbRecHideTime")->isChecked());
        QVERIFY(h.control<QCheckBox>("cbRecDynamicMem")->isChecked());
    }

    void okCopiesEveryControlIntoItsOption() {
        DialogHarness h;
        ChangeEveryKind(h);
        h.click("btOK");
        QVERIFY(!h.dialog.isVisible());
        QCOMPARE(h.dialog.result(), int(QDialog::Accepted));
        const OptionVariables& o = h.options;
        QVERIFY(!o.f_snap_trigger_level_ch1);
        QVERIFY(o.f_snap_trigger_level_ch2);
        QVERIFY(!o.pnOscViewReadTypeVisible);
        QCOMPARE(o.count_osc_index_buf, 12);
        QCOMPARE(o.count_osc_pass_sample_buf, 112);
        QCOMPARE(o.count_osc_sample_pipe, 65536); // the number shown, not the item
        QCOMPARE(o.count_osc_pass_sample_pipe, 80);
        QVERIFY(!o.osc_disable_average);
        QCOMPARE(o.fft_count_kni_ham, 7);
        QCOMPARE(o.count_fft_index_buf, 39);
        QCOMPARE(o.count_fft_sample_pipe, 2048);
        QCOMPARE(o.count_rec_index_hide, 3);
        QCOMPARE(o.count_rec_index_disable, 32);
        QVERIFY(o.rec_time_in_us);
        QCOMPARE(o.lan_mem_size_index, 16); // the item
        QCOMPARE(o.lan_pre_trg_buf, 40);
        QCOMPARE(o.lan_pre_trg_pipe_pr, 99);
        QCOMPARE(int(o.lan_use_ch_mask), 0xBE);
        QCOMPARE(o.lan_ch_ext_smpl, 7);
        QVERIFY(!o.LanBusAInverse);
        QVERIFY(o.lan_avto_on_trigger);
        QVERIFY(h.boxes.warnings.isEmpty());
    }

    void cancelAndTheCloseBoxChangeNothing() {
        for (const char* how : {"cancel", "close box", "escape"}) {
            DialogHarness h;
            const std::string before = [&] {
                IniFile ini;
                WriteOptions(ini, h.options);
                return ini.text();
            }();
            ChangeEveryKind(h);
            if (std::string(how) == "cancel")
                h.click("btCancel");
            else if (std::string(how) == "close box")
                h.dialog.close();
            else
                QTest::keyClick(&h.dialog, Qt::Key_Escape);
            QVERIFY2(!h.dialog.isVisible(), how);
            IniFile after;
            WriteOptions(after, h.options);
            QCOMPARE(after.text(), before);
            // and the controls show the values in force again
            QCOMPARE(h.control<QComboBox>("cbOscPipeSize")->currentText(), QString("8192"));
            QCOMPARE(h.control<QSpinBox>("udOscBufPreTrigger")->value(), 100);
            QVERIFY(h.control<QRadioButton>("rbOscSnapBScreen")->isChecked());
            QVERIFY(h.control<QCheckBox>("cbLANUseCh0")->isChecked());
            QCOMPARE(h.control<QComboBox>("cbLANChExtSmpl")->currentIndex(), 0);
        }
    }

    void okWithNoLineRefusesTheMaskAndStaysOpen() {
        DialogHarness h;
        h.options.lan_use_ch_mask = 0x12;
        h.dialog.load(h.options);
        h.dialog.showPage(TfmOptions::PageOsc);
        for (QCheckBox* box : h.dialog.cbLANUseCh)
            box->setChecked(false);
        h.control<QCheckBox>("cbRecHideTime")->setChecked(true);
        h.click("btOK");
        QCOMPARE(h.boxes.warnings,
                 QStringList{QString::fromStdString(h.messages.text(Msg::strDisableAllCh))});
        QVERIFY(h.dialog.isVisible());
        QCOMPARE(h.control<QTabWidget>("pgcntrOptions")->currentWidget(), h.dialog.tsLAN);
        QCOMPARE(int(h.options.lan_use_ch_mask), 0x12);
        QVERIFY(h.options.rec_hide_time); // the rest is in force already

        // The close box now acts as Cancel: the boxes come back from the mask and the dialog closes.
        h.dialog.close();
        QVERIFY(!h.dialog.isVisible());
        QVERIFY(h.dialog.cbLANUseCh[1]->isChecked());
        QVERIFY(h.dialog.cbLANUseCh[4]->isChecked());
        QVERIFY(!h.dialog.cbLANUseCh[0]->isChecked());
    }

    void aStoredMaskOfNoLineNeedsALineAndOk() {
        DialogHarness h;
        h.options.lan_use_ch_mask = 0;
        h.dialog.load(h.options);
        h.click("btCancel");
        QVERIFY(h.dialog.isVisible());
        h.dialog.close();
        QVERIFY(h.dialog.isVisible());
        h.dialog.cbLANUseCh[5]->setChecked(true);
        h.click("btOK");
        QVERIFY(!h.dialog.isVisible());
        QCOMPARE(int(h.options.lan_use_ch_mask), 0x20);
    }

    void loadKeepsListsSafeFromStoredValues() {
        DialogHarness h;
        OptionVariables stored;
        stored.count_osc_index_buf = 55; // beyond the list
        stored.lan_mem_size_index = -4;
        stored.lan_ch_ext_smpl = 8;
        stored.count_osc_sample_pipe = 5000; // not a list value
        stored.count_fft_sample_pipe = 16384;
        stored.count_osc_pass_sample_buf = 500;
        stored.f_snap_trigger_level_ch1 = true;
        stored.lan_use_ch_mask = 0x81;
        h.options = stored;
        h.dialog.load(stored);
        QCOMPARE(h.control<QComboBox>("cbOscTdBufIndex")->currentIndex(), 39);
        QCOMPARE(h.control<QComboBox>("cbLANPipeSize")->currentIndex(), 0);
        QCOMPARE(h.control<QComboBox>("cbLANChExtSmpl")->currentIndex(), 7);
        QCOMPARE(h.control<QComboBox>("cbOscPipeSize")->currentIndex(), -1);
        QCOMPARE(h.control<QComboBox>("cbFFTPipeSize")->currentText(), QString("16384"));
        QCOMPARE(h.control<QSpinBox>("udOscBufPreTrigger")->value(), 200);
        QVERIFY(h.control<QRadioButton>("rbOscSnapASignal")->isChecked());
        for (int k = 0; k < 8; ++k)
            QCOMPARE(h.dialog.cbLANUseCh[k]->isChecked(), k == 0 || k == 7);

        h.click("btOK"); // only list values reach the depth option
        QCOMPARE(h.options.count_osc_sample_pipe, 4096);
        QCOMPARE(h.options.count_fft_sample_pipe, 16384);
    }

    void pagesShownAndHidden() {
        DialogHarness h;
        auto* pages = h.control<QTabWidget>("pgcntrOptions");
        const std::pair<int, QWidget*> cases[] = {{TfmOptions::PageRec, h.dialog.tsRec},
                                                  {TfmOptions::PageOsc, h.dialog.tsOsc},
                                                  {TfmOptions::PageFft, h.dialog.tsFFT},
                                                  {TfmOptions::PageLan, h.dialog.tsLAN},
                                                  {-1, h.dialog.tsLAN}};
        for (const auto& [page, expected] : cases) {
            h.dialog.showPage(page);
            QCOMPARE(pages->currentWidget(), expected);
        }
        h.dialog.showPage(TfmOptions::PageOsc);
        h.dialog.hideAnalogPages();
        for (int i = 0; i < 3; ++i)
            QVERIFY(!pages->isTabVisible(i));
        QVERIFY(pages->isTabVisible(3));
        QCOMPARE(pages->currentWidget(), h.dialog.tsLAN);
    }

    void mainWindowReadsOptionsAtStartAndWritesThemAtClose() {
        Harness h;
        h.writeSettings("[opt]\r\ncount_osc_sample_pipe=16384\r\nlan_use_ch_mask=0x0F\r\nrec_time_in_us=1\r\n"
                        "count_rec_index_hide=junk\r\npnOscViewReadTypeVisible=0\r\nmy_note=keep\r\n");
        TfmMain& w = h.start();
        QVERIFY(h.messages.errors.size() <= 1); // at most a device message, no step failed
        for (const QString& error : h.messages.errors)
            QVERIFY2(!error.contains(Utf8("Ошибка инициализации")), qPrintable(error));
        QCOMPARE(w.options().count_osc_sample_pipe, 16384);
        QCOMPARE(w.oscOptions().count_osc_sample_pipe, 16384); // the page reads the same record
        QCOMPARE(int(w.options().lan_use_ch_mask), 0x0F);
        QVERIFY(w.options().rec_time_in_us);
        QCOMPARE(w.options().count_rec_index_hide, 18);
        // the dialog shows what was read (step 14)
        QCOMPARE(w.fmOptions->cbOscPipeSize->currentText(), QString("16384"));
        QVERIFY(w.fmOptions->cbLANUseCh[3]->isChecked());
        QVERIFY(!w.fmOptions->cbLANUseCh[4]->isChecked());
        QVERIFY(w.fmOptions->cbRecTimeInUs->isChecked());
        QVERIFY(!w.fmOptions->cbOscViewIcon->isChecked());
        QVERIFY(!w.findChild<QLabel*>("pnOscViewReadType")->isVisibleTo(w.oscPage()));

        w.options().lan_pre_trg_buf = 64;
        w.close();
        IniFile ini(h.settingsPath());
        QCOMPARE(ini.readInteger("opt", "count_osc_sample_pipe", 0), 16384LL);
        QCOMPARE(ini.readInteger("opt", "lan_use_ch_mask", 0), 15LL);
        QCOMPARE(ini.readInteger("opt", "lan_pre_trg_buf", 0), 64LL);
        QCOMPARE(ini.readInteger("opt", "count_rec_index_hide", 0), 18LL);
        QCOMPARE(ini.readInteger("opt", "osc_disable_average", 0), 1LL);
        QCOMPARE(QString::fromStdString(ini.readString("opt", "my_note", "")), QString("keep"));
    }

    void serviceSetupOpensOnTheActivePageAndOkTakesEffect() {
        Harness h;
        TfmMain& w = h.start();
        const std::pair<int, const char*> cases[] = {{2, "tsRec"}, {3, "tsLAN"}, {1, "tsFFT"}};
        for (const auto& [page, tab] : cases) {
            w.pages()->setCurrentIndex(page);
            QString shown;
            WithModalDialog([&] { w.menu().miServiceSetup->trigger(); },
                            [&](TfmOptions& d) { shown = d.pgcntrOptions->currentWidget()->objectName(); });
            QCOMPARE(shown, QString(tab));
        }

        // From the oscilloscope: hide its read mode panel and move the buffer boundary.
        w.pages()->setCurrentIndex(0);
        auto* panel = w.findChild<QLabel*>("pnOscViewReadType");
        QVERIFY(panel->isVisibleTo(w.oscPage()));
        WithModalDialog([&] { w.menu().miServiceSetup->trigger(); },
                        [&](TfmOptions& d) {
                            QCOMPARE(d.pgcntrOptions->currentWidget(), d.tsOsc);
                            d.cbOscViewIcon->setChecked(false);
                            d.cbOscTdBufIndex->setCurrentIndex(1);
                            QTest::mouseClick(d.btOK, Qt::LeftButton);
                        });
        QCOMPARE(w.options().count_osc_index_buf, 1);
        QVERIFY(!w.options().pnOscViewReadTypeVisible);
        QVERIFY(!panel->isVisibleTo(w.oscPage())); // applied by the time-base handler at once

        // Cancel after a change leaves the option alone.
        WithModalDialog([&] { w.menu().miServiceSetup->trigger(); },
                        [&](TfmOptions& d) {
                            d.cbOscViewIcon->setChecked(true);
                            QTest::mouseClick(d.btCancel, Qt::LeftButton);
                        });
        QVERIFY(!w.options().pnOscViewReadTypeVisible);
        QVERIFY(!w.fmOptions->cbOscViewIcon->isChecked());

        // The oscilloscope's mode panel opens it on the oscilloscope tab from any tab left before.
        w.pages()->setCurrentIndex(0);
        w.fmOptions->showPage(TfmOptions::PageLan);
        panel->setVisible(true);
        QString shown;
        WithModalDialog([&] { QTest::mouseDClick(panel, Qt::LeftButton); },
                        [&](TfmOptions& d) { shown = d.pgcntrOptions->currentWidget()->objectName(); });
        QCOMPARE(shown, QString("tsOsc"));
    }

    void logicOnlyInstrumentHidesTheAnalogueTabs() {
        Harness h;
        h.instrument.state().calibration.setInstrumentType(0);
        TfmMain& w = h.start();
        QVERIFY(w.logicOnly());
        for (int i = 0; i < 3; ++i)
            QVERIFY(!w.fmOptions->pgcntrOptions->isTabVisible(i));
        QVERIFY(w.fmOptions->pgcntrOptions->isTabVisible(3));
    }
};

QTEST_MAIN(OptionsDialogTest)
#include "OptionsDialogTest.moc"
