// Language files on the main window: the submenu, the remembered choice, what a file replaces,
// and the shipped English translation.

#include "MainWindowHarness.h"
#include "app/MainMenu.h"
#include "app/TfmMain.h"
#include "app/language/LanguageMenu.h"
#include "app/language/LanguageWindows.h"
#include "app/language/WindowTexts.h"
#include "app/files/DataFileActions.h"
#include "app/logic/TfmLANStat.h"
#include "app/service/TfmCLBR.h"
#include "app/terminal/TfmTerminal.h"
#include "app/terminal/TfmTerminalStatus.h"
#include "app/pages/logic/LanChart.h"
#include "app/pages/logic/LanPage.h"
#include "text/Cp1251.h"
#include "formats/DataFile.h"
#include "formats/DataFileCapture.h"
#include "formats/DataFileLoad.h"
#include "settings/IniFile.h"
#include "settings/LanguageFile.h"
#include "ui/knob/TOscKnob.h"

#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QRegularExpression>
#include <QTabWidget>
#include <QTableWidget>
#include <QtTest>
#include <qcustomplot.h>

#include <fstream>

using namespace tesmar;

namespace {

using Harness = testing::MainWindowHarness;

const QString kShippedFolder = QStringLiteral(TESMAR_SOURCE_DIR "/packaging/lang/");

void WriteFile(const QString& path, const std::string& utf8)
{
    QDir().mkpath(QFileInfo(path).path());
    std::ofstream out(path.toStdString(), std::ios::binary);
    out << Utf8ToCp1251(utf8);
}

// A harness whose language folder is its own "lang/".
struct LanguageHarness : Harness {
    QString langFolder() const { return folder.path() + "/lang/"; }
    TfmMain& startWithLanguages(const std::vector<std::string>& arguments = {})
    {
        MainWindowEnvironment environment{instrument, messages, settingsFolder(), CommandLine::Parse(arguments),
                                          [this](int ms) { clock.sleepMs(ms); }, {}, &sounds, adjustInstall};
        environment.languageFolders = {langFolder().toStdString()};
        window = std::make_unique<TfmMain>(std::move(environment));
        window->FormShow();
        return *window;
    }
};

bool HasCyrillic(const QString& text)
{
    static const QRegularExpression cyrillic("[\\x{0400}-\\x{04FF}]");
    return text.contains(cyrillic);
}

QString PathOf(QObject* object)
{
    QStringList names;
    for (QObject* o = object; o; o = o->parent())
        names.prepend(o->objectName().isEmpty() ? QString(o->metaObject()->className()) : o->objectName());
    return names.join('/');
}

// Every text a user can see in `window` (captions, hints, lists, headers, axis titles, scales)
// that still has a Cyrillic letter.
QStringList CyrillicTexts(QWidget* window, bool writableOnly = false)
{
    QStringList found;
    auto check = [&](QObject* owner, const QString& what, QString text) {
        if (writableOnly && !FitsLanguageFile(text.toStdString()))
            return;
        if (writableOnly)
            text.remove(QChar(0x0451)).remove(QChar(0x0401));
        if (HasCyrillic(text))
            found << PathOf(owner) + " " + what + ": " + text;
    };
    QList<QObject*> objects{window};
    objects << window->findChildren<QObject*>();
    for (QObject* object : objects) {
        // Other windows of the list are checked on their own.
        for (QObject* o = object; o && o != window; o = o->parent())
            if (auto* w = qobject_cast<QWidget*>(o); w && w->isWindow() && !qobject_cast<QMenu*>(w)) {
                object = nullptr;
                break;
            }
        if (!object)
            continue;
        if (auto* w = qobject_cast<QWidget*>(object)) {
            check(w, "hint", w->toolTip());
            if (w->isWindow() && !qobject_cast<QMenu*>(w))
                check(w, "title", w->windowTitle());
        }
        if (auto* a = qobject_cast<QAction*>(object)) {
            check(a, "caption", a->text());
            check(a, "hint", a->statusTip());
        }
        if (auto* m = qobject_cast<QMenu*>(object))
            check(m, "title", m->title());
        if (auto* l = qobject_cast<QLabel*>(object))
            check(l, "caption", l->text());
        if (auto* b = qobject_cast<QAbstractButton*>(object))
            check(b, "caption", b->text());
        if (auto* g = qobject_cast<QGroupBox*>(object))
            check(g, "caption", g->title());
        if (auto* t = qobject_cast<QTabWidget*>(object))
            for (int i = 0; i < t->count(); ++i)
                check(t, "tab", t->tabText(i));
        if (auto* c = qobject_cast<QComboBox*>(object))
            for (int i = 0; i < c->count(); ++i)
                check(c, "item", c->itemText(i));
        if (auto* table = qobject_cast<QTableWidget*>(object)) {
            for (int i = 0; i < table->columnCount(); ++i)
                if (auto* item = table->horizontalHeaderItem(i))
                    check(table, "column", item->text());
        }
        if (auto* k = qobject_cast<TOscKnob*>(object))
            for (const QString& line : k->scaleCodeLines())
                check(k, "scale", line);
        if (auto* plot = qobject_cast<QCustomPlot*>(object)) {
            for (QCPAxis* axis : plot->axisRect() ? plot->axisRect()->axes() : QList<QCPAxis*>{})
                check(plot, "axis", axis->label());
            for (int i = 0; i < plot->plottableCount(); ++i)
                check(plot, "legend", plot->plottable(i)->name());
        }
    }
    return found;
}

QStringList CyrillicInWindows(TfmMain& w, bool writableOnly = false)
{
    // As the user sees them: the charts' queued redraws refresh their readouts.
    QCoreApplication::processEvents();
    QStringList found;
    for (const LanguageWindow& window : FindLanguageWindows(&w))
        found << CyrillicTexts(window.window, writableOnly);
    return found;
}

// The built-in texts as a language file.
IniFile Template(TfmMain& w)
{
    IniFile file;
    w.languageMenu->WriteLanguage(file);
    return file;
}

QAction* LanguageItem(TfmMain& w, const QString& caption)
{
    for (QAction* item : w.menu().miLang)
        if (item->isVisible() && item->text() == caption)
            return item;
    return nullptr;
}

// The shipped English file copied into the harness's language folder.
void CopyEnglish(const LanguageHarness& h)
{
    QDir().mkpath(h.langFolder());
    QFile::remove(h.langFolder() + "English.ini");
    QVERIFY(QFile::copy(kShippedFolder + "English.ini", h.langFolder() + "English.ini"));
}

} // namespace

class LanguageTest : public QObject {
    Q_OBJECT

private slots:
    // Writes the built-in texts where TESMAR_LANGUAGE_TEMPLATE says: the key list for translators.
    void writeTemplateWhenAsked()
    {
        const QByteArray target = qgetenv("TESMAR_LANGUAGE_TEMPLATE");
        if (target.isEmpty())
            QSKIP("TESMAR_LANGUAGE_TEMPLATE not set");
        Harness h;
        TfmMain& w = h.start();
        IniFile file(target.toStdString());
        w.languageMenu->WriteLanguage(file);
        QVERIFY(file.save());
    }

    // Every Cyrillic text of the windows is reachable: with the built-in texts written out,
    // transliterated and loaded again, no Cyrillic letter is left.
    void everyTextIsReachable()
    {
        LanguageHarness h;
        {
            TfmMain& w = h.startWithLanguages();
            IniFile latin;
            latin.setText(TransliterateCyrillic(Template(w).text()));
            latin.setPath((h.langFolder() + "Latin.ini").toStdString());
            QDir().mkpath(h.langFolder());
            QVERIFY(latin.save());
        }
        TfmMain& w = h.startWithLanguages();
        QVERIFY(w.languageMenu->LoadLanguage(h.langFolder() + "Latin.ini"));
        const QStringList left = CyrillicInWindows(w, true);
        if (!left.isEmpty())
            qWarning().noquote() << left.join('\n');
        QCOMPARE(left.size(), 0);
    }

    // Every text the program would write as a translation template (every caption and hint with
    // a Russian letter, every list, every message) has its key in the shipped English file.
    void englishHasEveryKey()
    {
        Harness h;
        const IniFile built = Template(h.start());
        const auto english = LoadLanguageFile((kShippedFolder + "English.ini").toStdString());
        QVERIFY(english.has_value());
        QStringList missing;
        for (const std::string& section : built.sections())
            for (const std::string& key : built.keys(section))
                if (HasCyrillic(QString::fromStdString(built.readString(section, key, ""))) &&
                    !english->hasKey(section, key))
                    missing << QString::fromStdString(section + "/" + key);
        for (int i = 0; i < kMessageCount; ++i) {
            const std::string name(MessageTable::keyName(static_cast<Msg>(i)));
            if (!english->hasKey(kMessageSection, name))
                missing << QString::fromStdString(name);
        }
        if (!missing.isEmpty())
            qWarning().noquote() << missing.join(' ');
        QCOMPARE(missing.size(), 0);
    }

    // Choosing English from the menu leaves no Russian letter in any window of the list, the
    // composed texts included, and is remembered at exit.
    void englishLeavesNoCyrillic()
    {
        LanguageHarness h;
        CopyEnglish(h);
        TfmMain& w = h.startWithLanguages();
        QVERIFY(w.menu().miServiceLang->menuAction()->isEnabled());
        QAction* english = LanguageItem(w, "English");
        QVERIFY(english);
        QVERIFY(LanguageItem(w, "Russian")); // the built-in texts stay choosable
        english->trigger();
        QVERIFY(english->isChecked());
        const QStringList left = CyrillicInWindows(w);
        if (!left.isEmpty())
            qWarning().noquote() << left.join('\n');
        QCOMPARE(left.size(), 0);
        QCOMPARE(w.menu().miFile->title(), QString("&File"));
        QCOMPARE(QString::fromStdString(w.messageTable().text(Msg::strDim_ms)), QString(" ms"));
        QVERIFY(h.messages.warnings.isEmpty());
        w.FormClose();
        QCOMPARE(IniFile(h.settingsPath()).readString("misc", "lang", ""), std::string("English.ini"));

        // And back to the built-in texts.
        LanguageItem(w, "Russian")->trigger();
        QCOMPARE(w.menu().miFile->title(), QString("&Файл"));
        QCOMPARE(w.messageTable().text(Msg::strDim_ms), MessageTable::builtInText(Msg::strDim_ms));
    }

    void storedLanguageIsAppliedAtStart()
    {
        LanguageHarness h;
        CopyEnglish(h);
        h.writeSettings("[misc]\r\nlang=english.ini\r\n");
        TfmMain& w = h.startWithLanguages();
        QCOMPARE(w.languageMenu->selectedNumber(), 1);
        QVERIFY(LanguageItem(w, "English")->isChecked());
        QCOMPARE(w.pages()->tabText(0), QString("Oscilloscope"));

        LanguageHarness builtIn;
        CopyEnglish(builtIn);
        builtIn.writeSettings("[misc]\r\nlang=russian.ini\r\n");
        TfmMain& r = builtIn.startWithLanguages();
        QCOMPARE(r.languageMenu->selectedNumber(), 0);
        QCOMPARE(r.pages()->tabText(0), QString("Осциллограф"));
    }

    // The logic page's marker readouts show where the markers stand, in the language's unit,
    // after a switch, at a start in that language and after a file is opened.
    void logicMarkerReadoutsFollowTheMarkersInEveryLanguage()
    {
        LanguageHarness h;
        CopyEnglish(h);
        TfmMain& w = h.startWithLanguages();
        LanPage& p = *w.lanPage();
        w.pages()->setCurrentIndex(3);
        p.chLAN->setMarkerPosition(0, 1607);
        p.chLAN->setMarkerPosition(1, 1628);
        p.UpdateReadouts();
        const QString m1 = p.lbLANMarker1Time->text(), m2 = p.lbLANMarker2Time->text();
        QVERIFY(m1.contains("1607") && m1.endsWith(" мкс"));
        QVERIFY(m2.contains("1628") && m2.endsWith(" мкс"));

        LanguageItem(w, "English")->trigger();
        QCOMPARE(p.lbLANMarker1Time->text(), QString(m1).replace(" мкс", " µs"));
        QCOMPARE(p.lbLANMarker2Time->text(), QString(m2).replace(" мкс", " µs"));
        QVERIFY(p.lbLANMarker2Sub1Time->text().contains("21"));

        // A file opened in English mode.
        const QString path = h.folder.path() + "/lan.dat";
        const std::vector<std::uint8_t> file =
            WriteDataFile(LogicDataFile({std::vector<std::uint8_t>(1544, 0x55), {}, 1e-6, 0.0}));
        QVERIFY(WriteWholeFile(path.toStdString(), file.data(), file.size()));
        QCOMPARE(w.dataFileActions->openData(path), QString());
        for (QLabel* label : {p.lbLANMarker1Time, p.lbLANMarker2Time, p.lbLANMarker2Sub1Time})
            QVERIFY2(!HasCyrillic(label->text()), qPrintable(label->text()));
        w.FormClose();

        // A start in English: marker 2 at the right end of the empty 1544 µs window.
        LanguageHarness again;
        CopyEnglish(again);
        again.writeSettings("[misc]\r\nlang=English.ini\r\n");
        TfmMain& e = again.startWithLanguages();
        LanPage& q = *e.lanPage();
        const double m2Position = q.chLAN->markerPosition(1);
        QCOMPARE(m2Position, q.chLAN->xAxis->range().upper);
        QVERIFY2(q.lbLANMarker2Time->text().contains(QString::number(m2Position, 'f', 0)), qPrintable(q.lbLANMarker2Time->text()));
        QVERIFY(q.lbLANMarker2Time->text().endsWith(" µs"));
    }

    // A start with English chosen: every window the program can open, with the texts it composes
    // while in use (terminal lines, calibration readouts, statistics units, marker readouts and
    // messages), shows no Russian letter.
    void englishStartLeavesNoCyrillicInAnyWindow()
    {
        LanguageHarness h;
        CopyEnglish(h);
        h.writeSettings("[misc]\r\nlang=English.ini\r\n");
        TfmMain& w = h.startWithLanguages({"-CLBR"});
        QVERIFY(LanguageItem(w, "English")->isChecked());
        for (const char* name : {"fmTerminal", "fmTerminalStatus", "fmClbr", "fmLANStat", "fmLAN_UART", "fmLAN_SPI",
                                 "fmLAN_I2C", "fmLAN_1Wire", "fmOptions", "fmFiltr", "fmOSC_Buzzer", "fmLANSetup"}) {
            bool found = false;
            for (const LanguageWindow& window : FindLanguageWindows(&w))
                found = found || window.name == name;
            QVERIFY2(found, name);
        }

        // The terminal: a read from an absent slave says so in the status and result lines.
        w.menu().miLAN_Terminal->trigger();
        TfmTerminal& t = *w.fmTerminal;
        QVERIFY(t.isVisible());
        QTest::mouseClick(t.rbI2CMasterRd, Qt::LeftButton);
        t.edI2CMasterAddRd->setText("1010001");
        QTest::mouseClick(t.sbI2CRead, Qt::LeftButton);
        QVERIFY(t.fmTerminalStatus->isVisible());
        QStringList left = CyrillicTexts(t.fmTerminalStatus);
        QTRY_VERIFY_WITH_TIMEOUT(t.pgcntrTerminal->isEnabled(), 20000);
        QCOMPARE(t.lbI2CResult->text(), QString("Read 0 bytes of 16"));

        // Calibration: a fit fills the readouts below the chart.
        TfmCLBR& c = *w.fmClbr;
        c.show();
        const char* cells[][2] = {{"1.000", "1.010"}, {"2.000", "2.030"}};
        for (int row = 0; row < 2; ++row) {
            c.strgridData->setItem(row, TfmCLBR::ColMeasured, new QTableWidgetItem(cells[row][0]));
            c.strgridData->setItem(row, TfmCLBR::ColReference, new QTableWidgetItem(cells[row][1]));
        }
        QTest::mouseClick(c.btCalibration, Qt::LeftButton);
        QVERIFY(c.lbErrorCorrected->text().startsWith("dUmeas"));
        c.edDeviceType->setText("x");
        QTest::mouseClick(c.btWrClbr, Qt::LeftButton);

        // Statistics with units, of a capture opened from a file.
        const QString path = h.folder.path() + "/lan.dat";
        std::vector<std::uint8_t> samples(1544);
        for (std::size_t i = 0; i < samples.size(); ++i)
            samples[i] = std::uint8_t((i / 3) & 1 ? 0xFF : 0x00);
        const std::vector<std::uint8_t> file = WriteDataFile(LogicDataFile({samples, {}, 1e-6, 0.0}));
        QVERIFY(WriteWholeFile(path.toStdString(), file.data(), file.size()));
        w.pages()->setCurrentIndex(3);
        QCOMPARE(w.dataFileActions->openData(path), QString());
        w.lanPage()->miLANStatClick();
        TfmLANStat& stat = *w.lanPage()->fmLANStat;
        QVERIFY(stat.values[0][TfmLANStat::PulseMean]->text().endsWith(" µs"));
        QVERIFY(stat.values[0][TfmLANStat::Frequency]->text().endsWith(" kHz"));

        left << CyrillicInWindows(w);
        const LanPage& p = *w.lanPage();
        for (QLabel* label : {p.lbLANMarker1Time, p.lbLANMarker2Time, p.lbLANMarker2Sub1Time})
            if (HasCyrillic(label->text()))
                left << label->objectName() + ": " + label->text();
        for (const QString& message : h.messages.errors + h.messages.warnings + h.messages.informations)
            if (HasCyrillic(message))
                left << "message: " + message;
        QCOMPARE(h.messages.errors.size(), 2); // the exchange error and the device type
        if (!left.isEmpty())
            qWarning().noquote() << left.join('\n');
        QCOMPARE(left.size(), 0);
    }

    void choosingTheSelectedLanguageAgainDoesNothing()
    {
        LanguageHarness h;
        CopyEnglish(h);
        TfmMain& w = h.startWithLanguages();
        QAction* english = LanguageItem(w, "English");
        english->trigger();
        w.pages()->setTabText(0, "changed since");
        english->trigger();
        QCOMPARE(w.pages()->tabText(0), QString("changed since"));
        QVERIFY(english->isChecked());
    }

    // A knob's scale of as many lines with the same values replaces its texts and keeps the
    // pointer; one that would change what the entries mean is refused with a warning.
    void knobScaleIsReplacedKeepingThePointer()
    {
        LanguageHarness h;
        TfmMain& w = h.startWithLanguages();
        auto* knob = w.findChild<TOscKnob*>("knOscTimeDiv");
        knob->setIndexSelectData(20);
        const double value = knob->CurValueReal();
        std::string file = "[knOscTimeDiv]\n";
        const QStringList lines = knob->scaleCodeLines();
        QCOMPARE(lines.size(), 39);
        for (int i = 0; i < lines.size(); ++i)
            file += std::to_string(i) + "=" + QString(lines[i]).replace("мкс", "us").replace("мс", "ms").toStdString() + "\n";
        WriteFile(h.langFolder() + "Scales.ini", file + "[knOscCh1]\n0=#v=1 #e=0 #d=V\n");
        QVERIFY(w.languageMenu->LoadLanguage(h.langFolder() + "Scales.ini"));
        QCOMPARE(knob->IndexSelectData(), 20);
        QCOMPARE(knob->CurValueReal(), value);
        QVERIFY(knob->scaleCodeLines()[20].contains("#d=ms"));
        QCOMPARE(w.findChild<TOscKnob*>("knOscCh1")->scaleCodeLines().size(), 29);
        QCOMPARE(h.messages.warnings.size(), 1);
        QVERIFY(h.messages.warnings[0].contains("knOscCh1"));
    }

    // Lists take as many lines as the section has keys; the index survives when it still exists.
    // Texts whose keys the file lacks stay as they were.
    void listsAndMissingKeys()
    {
        QWidget window;
        window.setObjectName("fmTest");
        auto* shrinking = new QComboBox(&window);
        shrinking->setObjectName("cbShrinking");
        auto* kept = new QComboBox(&window);
        kept->setObjectName("cbKept");
        for (QComboBox* list : {shrinking, kept})
            for (int i = 0; i < 5; ++i)
                list->addItem(QStringList{"один", "два", "три", "четыре", "пять"}[i], i * 10);
        shrinking->setCurrentIndex(4);
        kept->setCurrentIndex(1);
        auto* label = new QLabel("Метка", &window);
        label->setObjectName("lbTest");
        label->setToolTip("Подсказка");
        auto* named = new QLabel("Имя", &window);
        named->setObjectName("lbName");
        named->setProperty(kKeepCaptionProperty, true);
        const auto file = ParseLanguageFile(Utf8ToCp1251(
            "[fmTest]\nlbTest.Hint=Hint\nlbName.Caption=Name\n"
            "[cbShrinking]\n0=one\n1=two\n2=three\n[cbKept]\n0=one\n1=two\n2=three\n"));
        ApplyWindowTexts(&window, "fmTest", *file);
        QCOMPARE(shrinking->count(), 3);
        QCOMPARE(shrinking->currentIndex(), 0);
        QCOMPARE(kept->currentIndex(), 1);
        QCOMPARE(kept->currentText(), QString("two"));
        QCOMPARE(kept->currentData().toInt(), 10); // the item keeps what it stands for
        QCOMPARE(label->toolTip(), QString("Hint"));
        QCOMPARE(label->text(), QString("Метка"));
        QCOMPARE(named->text(), QString("Имя"));
    }

    // A file the program cannot read is reported and changes nothing; the developer commands
    // write the template and its transliteration.
    void unreadableFileAndDeveloperCommands()
    {
        LanguageHarness h;
        TfmMain& w = h.startWithLanguages({"-DEBUG"});
        QVERIFY(!w.languageMenu->LoadLanguage(h.langFolder() + "Missing.ini"));
        QCOMPARE(h.messages.errors.size(), 1);
        QCOMPARE(w.pages()->tabText(0), QString("Осциллограф"));

        auto* build = w.findChild<QPushButton*>("btBildLangFile");
        QVERIFY(build && build->isVisibleTo(&w));
        build->click();
        w.findChild<QPushButton*>("btRuToEn")->click();
        const IniFile russian((h.langFolder() + "Russian.ini").toStdString());
        QCOMPARE(russian.readString("fmMain", "tsOsc.Caption", ""), std::string("Осциллограф"));
        QCOMPARE(russian.readString("string", "strDim_sek", ""), std::string("$сек"));
        const IniFile latin((h.langFolder() + "English.ini").toStdString());
        QCOMPARE(latin.readString("fmMain", "tsOsc.Caption", ""), std::string("Oscillograf"));
    }
};

QTEST_MAIN(LanguageTest)
#include "LanguageTest.moc"
