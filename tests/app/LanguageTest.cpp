// Language files on the main window: the submenu, the remembered choice, what a file replaces,
// and the shipped English translation.

#include "MainWindowHarness.h"
#include "app/MainMenu.h"
#include "app/TfmMain.h"
#include "app/language/LanguageMenu.h"
#include "app/language/LanguageWindows.h"
#include "app/language/WindowTexts.h"
#include "files/Cp1251.h"
#include "files/IniFile.h"
#include "files/LanguageFile.h"
#include "ui/knob/TOscKnob.h"

#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QDir>
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
        window = std::make_unique<TfmMain>(MainWindowEnvironment{instrument, messages, settingsFolder(),
                                                                 CommandLine::Parse(arguments),
                                                                 [this](int ms) { clock.sleepMs(ms); }, {}, &sounds,
                                                                 adjustInstall, {langFolder().toStdString()}});
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
        // Other windows of the list are checked on their own; the calibration window keeps its texts.
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
        if (auto* plot = qobject_cast<QCustomPlot*>(object))
            for (QCPAxis* axis : plot->axisRect() ? plot->axisRect()->axes() : QList<QCPAxis*>{})
                check(plot, "axis", axis->label());
    }
    return found;
}

QStringList CyrillicInWindows(TfmMain& w, bool writableOnly = false)
{
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
};

QTEST_MAIN(LanguageTest)
#include "LanguageTest.moc"
