#pragma once
// The texts of one window's controls in a language file: captions, hints and lists under the
// controls' object names. Applying sets only what the file has; writing puts out the texts worth
// translating (those with a non-Latin character).

#include <QString>
#include <QStringList>
#include <Qt>

class QWidget;

namespace tesmar {

class IniFile;

// A label whose caption must never be replaced (the program's name, version, links, and the
// readouts the program composes) carries this dynamic property set to true.
inline constexpr const char* kKeepCaptionProperty = "languageKeepsCaption";
// A drop-down list whose items the program makes (and adds to) carries this property set to true:
// a language file does not replace its items.
inline constexpr const char* kKeepListProperty = "languageKeepsList";

// Items of a drop-down list that carry this role hold their line number in the list's section:
// a list the program adds items to (custom colours) keeps its own items and only those lines
// change their texts.
inline constexpr int kListLineRole = Qt::UserRole + 77;

struct WindowTextsResult {
    QStringList refusedLists; // list sections that were not applied
};

// `section` is the window's name; list sections are named after their owners.
WindowTextsResult ApplyWindowTexts(QWidget* window, const QString& section, const IniFile& file);
void WriteWindowTexts(QWidget* window, const QString& section, IniFile& file);

} // namespace tesmar
