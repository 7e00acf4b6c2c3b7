#include "WindowTexts.h"

#include "settings/LanguageFile.h"
#include "ui/knob/ScaleTranslation.h"
#include "ui/knob/TOscKnob.h"

#include <QAbstractButton>
#include <QAbstractSpinBox>
#include <QAction>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QSignalBlocker>
#include <QTabWidget>

#include <functional>
#include <map>
#include <vector>

namespace tesmar {
namespace {

enum class WriteRule {
    NonLatin, // written only when it has a non-Latin character
    NonEmpty, // written whenever it is not empty
    MenuText, // non-empty, not a separator, non-Latin
};

struct TextSlot {
    QString key;
    QString text;
    WriteRule rule;
    std::function<void(const QString&)> set;
};

struct ListSlot {
    QString section;
    QStringList lines;
    // Applies the new lines; false when they do not fit.
    std::function<bool(const QStringList&)> set;
};

struct Slots {
    std::vector<TextSlot> texts;
    std::vector<ListSlot> lists;

    void add(const QString& name, const char* suffix, const QString& text, WriteRule rule,
             std::function<void(const QString&)> set)
    {
        texts.push_back({name + suffix, text, rule, std::move(set)});
    }
};

std::vector<std::string> ToStd(const QStringList& lines)
{
    std::vector<std::string> out;
    out.reserve(lines.size());
    for (const QString& line : lines)
        out.push_back(line.toStdString());
    return out;
}

QStringList FromStd(const std::vector<std::string>& lines)
{
    QStringList out;
    for (const auto& line : lines)
        out << QString::fromStdString(line);
    return out;
}

void AddHint(Slots& s, const QString& name, QWidget* w)
{
    s.add(name, ".Hint", w->toolTip(), WriteRule::NonLatin, [w](const QString& t) { w->setToolTip(t); });
}

void AddMenu(Slots& s, QMenu* menu)
{
    const QString name = menu->objectName();
    QAction* item = menu->menuAction();
    s.add(name, ".Caption", menu->title(), WriteRule::MenuText, [menu](const QString& t) { menu->setTitle(t); });
    s.add(name, ".Hint", item->statusTip(), WriteRule::MenuText, [item](const QString& t) { item->setStatusTip(t); });
}

void AddAction(Slots& s, QAction* item)
{
    // Separators have no text; a submenu's item belongs to its menu.
    if (item->isSeparator() || item->menu())
        return;
    const QString name = item->objectName();
    s.add(name, ".Caption", item->text(), WriteRule::MenuText, [item](const QString& t) { item->setText(t); });
    s.add(name, ".Hint", item->statusTip(), WriteRule::MenuText, [item](const QString& t) { item->setStatusTip(t); });
}

void AddCombo(Slots& s, QComboBox* combo)
{
    AddHint(s, combo->objectName(), combo);
    if (combo->property(kKeepListProperty).toBool())
        return;
    std::map<int, int> numbered; // line → item
    for (int i = 0; i < combo->count(); ++i)
        if (const QVariant line = combo->itemData(i, kListLineRole); line.isValid())
            numbered[line.toInt()] = i;
    if (!numbered.empty()) {
        QStringList items;
        for (const auto& [line, item] : numbered)
            items << combo->itemText(item);
        s.lists.push_back({combo->objectName(), items, [combo, numbered](const QStringList& lines) {
                               for (const auto& [line, item] : numbered)
                                   if (line < lines.size())
                                       combo->setItemText(item, lines[line]);
                               return true;
                           }});
        return;
    }
    QStringList items;
    for (int i = 0; i < combo->count(); ++i)
        items << combo->itemText(i);
    s.lists.push_back({combo->objectName(), items, [combo](const QStringList& lines) {
                           // As a program's own change of the list: no change handler runs. Items
                           // that stay keep their data and icons (the colour list's colours).
                           const QSignalBlocker block(combo);
                           const int previous = combo->currentIndex();
                           while (combo->count() > lines.size())
                               combo->removeItem(combo->count() - 1);
                           for (int i = 0; i < lines.size(); ++i) {
                               if (i < combo->count())
                                   combo->setItemText(i, lines[i]);
                               else
                                   combo->addItem(lines[i]);
                           }
                           combo->setCurrentIndex(previous >= 0 && previous < lines.size() ? previous : 0);
                           return true;
                       }});
}

void AddKnob(Slots& s, TOscKnob* knob)
{
    s.lists.push_back({knob->objectName(), knob->scaleCodeLines(), [knob](const QStringList& lines) {
                           if (!ScaleTranslationFits(ToStd(knob->scaleCodeLines()), ToStd(lines)))
                               return false;
                           knob->setScaleCode(lines);
                           return true;
                       }});
}

bool HasCaption(QWidget* w)
{
    return qobject_cast<QLabel*>(w) || qobject_cast<QGroupBox*>(w) || qobject_cast<QAbstractButton*>(w);
}

void AddWidget(Slots& s, QWidget* w, const QString& name)
{
    auto caption = [&](const QString& text, WriteRule rule, std::function<void(const QString&)> set) {
        s.add(name, ".Caption", text, rule, std::move(set));
    };
    if (auto* tabs = qobject_cast<QTabWidget*>(w)) {
        for (int i = 0; i < tabs->count(); ++i) {
            QWidget* page = tabs->widget(i);
            if (!page->objectName().isEmpty())
                s.add(page->objectName(), ".Caption", tabs->tabText(i), WriteRule::NonEmpty,
                      [tabs, page](const QString& t) { tabs->setTabText(tabs->indexOf(page), t); });
        }
    }
    if (name.isEmpty())
        return;
    if (w->objectName().isEmpty() && !HasCaption(w))
        return;
    if (auto* knob = qobject_cast<TOscKnob*>(w))
        return AddKnob(s, knob); // its hint follows the selected entry
    if (auto* combo = qobject_cast<QComboBox*>(w))
        return AddCombo(s, combo);
    if (auto* group = qobject_cast<QGroupBox*>(w))
        caption(group->title(), WriteRule::NonEmpty, [group](const QString& t) { group->setTitle(t); });
    else if (auto* button = qobject_cast<QAbstractButton*>(w))
        caption(button->text(), WriteRule::NonLatin, [button](const QString& t) { button->setText(t); });
    else if (auto* label = qobject_cast<QLabel*>(w); label && !label->property(kKeepCaptionProperty).toBool())
        caption(label->text(), WriteRule::NonLatin, [label](const QString& t) { label->setText(t); });
    AddHint(s, name, w);
}

// Controls whose children are their own parts, not controls of the window.
bool IsLeaf(QObject* object)
{
    return qobject_cast<TOscKnob*>(object) || qobject_cast<QComboBox*>(object) ||
           qobject_cast<QAbstractSpinBox*>(object);
}

// A caption without a control name of its own (a form's row label, a heading) is keyed by the
// nearest named control above it and its place among such captions there.
struct Scope {
    QString name;
    int unnamed = 0;
};

void Collect(QObject* parent, Slots& s, Scope& scope)
{
    for (QObject* child : parent->children()) {
        auto* widget = qobject_cast<QWidget*>(child);
        auto* menu = qobject_cast<QMenu*>(child);
        // Other windows are processed under their own names (or not at all).
        if (widget && widget->isWindow() && !menu)
            continue;
        if (menu && !menu->objectName().isEmpty())
            AddMenu(s, menu);
        else if (auto* action = qobject_cast<QAction*>(child); action && !action->objectName().isEmpty())
            AddAction(s, action);
        QString name = child->objectName();
        if (widget && name.isEmpty() && HasCaption(widget) && !scope.name.isEmpty())
            name = scope.name + "_" + QString::number(++scope.unnamed);
        if (widget && !menu)
            AddWidget(s, widget, name);
        if (IsLeaf(child))
            continue;
        // Qt's own parts (a scroll area's viewport, a tab widget's stack) are not controls:
        // the captions under them keep the scope of the control above.
        if (child->objectName().isEmpty() || child->objectName().startsWith("qt_")) {
            Collect(child, s, scope);
        } else {
            Scope inner{child->objectName()};
            Collect(child, s, inner);
        }
    }
}

Slots CollectWindow(QWidget* window)
{
    Slots s;
    s.add(window->objectName(), ".Caption", window->windowTitle(), WriteRule::NonLatin,
          [window](const QString& t) { window->setWindowTitle(t); });
    Scope scope{window->objectName()};
    Collect(window, s, scope);
    return s;
}

bool WorthWriting(const QString& text, WriteRule rule)
{
    // What the file cannot hold would come back damaged: such a text keeps its built-in form.
    if (text.isEmpty() || !FitsLanguageFile(text.toStdString()))
        return false;
    switch (rule) {
    case WriteRule::NonEmpty:
        return true;
    case WriteRule::MenuText:
        return text != "-" && IsNonLatin(text.toStdString());
    case WriteRule::NonLatin:
        return IsNonLatin(text.toStdString());
    }
    return false;
}

} // namespace

WindowTextsResult ApplyWindowTexts(QWidget* window, const QString& section, const IniFile& file)
{
    WindowTextsResult result;
    Slots s = CollectWindow(window);
    const std::string sectionName = section.toStdString();
    for (const TextSlot& slot : s.texts)
        if (const auto text = ReadLanguageText(file, sectionName, slot.key.toStdString()))
            slot.set(QString::fromStdString(*text));
    for (const ListSlot& list : s.lists) {
        const auto lines = ReadListSection(file, list.section.toStdString(), ToStd(list.lines));
        if (lines && !list.set(FromStd(*lines)))
            result.refusedLists << list.section;
    }
    return result;
}

void WriteWindowTexts(QWidget* window, const QString& section, IniFile& file)
{
    const Slots s = CollectWindow(window);
    const std::string sectionName = section.toStdString();
    // The window's own caption first, then its controls from the last to the first.
    if (WorthWriting(s.texts.front().text, s.texts.front().rule))
        file.writeString(sectionName, s.texts.front().key.toStdString(), s.texts.front().text.toStdString());
    for (auto slot = s.texts.rbegin(); slot != s.texts.rend() - 1; ++slot)
        if (WorthWriting(slot->text, slot->rule))
            file.writeString(sectionName, slot->key.toStdString(), slot->text.toStdString());
    for (auto list = s.lists.rbegin(); list != s.lists.rend(); ++list) {
        const auto lines = ToStd(list->lines);
        if (ListNeedsTranslation(lines))
            WriteListSection(file, list->section.toStdString(), lines);
    }
}

} // namespace tesmar
