#include "text/Cp1251.h"
#include "settings/LanguageFile.h"

#include <gtest/gtest.h>

namespace tesmar {
namespace {

IniFile Parse(const std::string& utf8) {
    auto file = ParseLanguageFile(Utf8ToCp1251(utf8));
    EXPECT_TRUE(file.has_value());
    return file.value_or(IniFile{});
}

TEST(LanguageFile, MessageTableGoesThroughTheFileEscaped) {
    MessageTable table;
    table.setText(Msg::strNoDataToSave, "a\rb");
    IniFile file;
    WriteMessageTable(file, table);
    // The unit text's leading blank and the CR survive the INI reader only as markers.
    EXPECT_EQ(file.readString("string", "strDim_sek", ""), "$сек");
    EXPECT_EQ(file.readString("string", "strNoDataToSave", ""), "a$13$b");
    EXPECT_EQ(file.readString("string", "strReplaceFile", ""), "Файл %s уже существует.$13$Заменить?");
    // Every entry is written, the decoder and update texts included.
    EXPECT_EQ(file.keys("string").size(), static_cast<std::size_t>(kMessageCount));

    const IniFile reread = Parse(file.text());
    MessageTable loaded;
    LoadMessageTable(reread, loaded);
    EXPECT_EQ(loaded.text(Msg::strDim_sek), " сек");
    EXPECT_EQ(loaded.text(Msg::strNoDataToSave), "a\rb");
    EXPECT_EQ(loaded.text(Msg::strReplaceFile), MessageTable::builtInText(Msg::strReplaceFile));
}

TEST(LanguageFile, MissingOrAbsurdMessagesKeepTheirTexts) {
    MessageTable table;
    table.setText(Msg::strRun, "Cycle");
    const IniFile file = Parse("[string]\nstrNoDataToSave=No data to save.$10$Measure first.\nstrStop=" +
                               std::string(kMaxLanguageTextBytes + 1, 'x') + "\nstrUnknownKey=x\n");
    LoadMessageTable(file, table);
    EXPECT_EQ(table.text(Msg::strNoDataToSave), "No data to save.\nMeasure first.");
    EXPECT_EQ(table.text(Msg::strRun), "Cycle");
    EXPECT_EQ(table.text(Msg::strStop), MessageTable::builtInText(Msg::strStop));
}

TEST(LanguageFile, ListSectionHasAsManyLinesAsKeys) {
    const std::vector<std::string> current{"один", "два", "три", "четыре", "пять"};
    const IniFile file = Parse("[cbList]\n0=one\n2=three\nextra=x\n[empty]\n");
    // Three keys: lines 0 … 2; line 1 is missing and keeps its text.
    EXPECT_EQ(ReadListSection(file, "cbList", current), (std::vector<std::string>{"one", "два", "three"}));
    EXPECT_EQ(ReadListSection(file, "cbOther", current), std::nullopt);
    EXPECT_EQ(ReadListSection(file, "empty", current), std::nullopt);
    // Beyond the current list a missing line is empty.
    EXPECT_EQ(ReadListSection(Parse("[l]\n0=a\n1=b\n9=c\n"), "l", {"x"}),
              (std::vector<std::string>{"a", "b", ""}));

    std::string huge = "[big]\n";
    for (int i = 0; i <= kMaxListLines; ++i)
        huge += std::to_string(i) + "=x\n";
    EXPECT_EQ(ReadListSection(Parse(huge), "big", current), std::nullopt);
}

TEST(LanguageFile, ListsAreWrittenWhenWorthTranslating) {
    EXPECT_FALSE(ListNeedsTranslation({"A.0", "A.1", "UART"}));
    EXPECT_TRUE(ListNeedsTranslation({"A.0", "Нет"}));
    EXPECT_FALSE(ListNeedsTranslation({"Нет", "↑"})); // the arrow would come back as '?'
    EXPECT_TRUE(FitsLanguageFile("±5 В, 10 µs …"));
    EXPECT_FALSE(FitsLanguageFile("U₁²"));
    EXPECT_TRUE(IsNonLatin("10 µs"));
    EXPECT_FALSE(IsNonLatin("10 us"));
    IniFile file;
    WriteListSection(file, "cbMode", {"Нет", "Да"});
    EXPECT_EQ(file.keys("cbMode"), (std::vector<std::string>{"0", "1"}));
    EXPECT_EQ(file.readString("cbMode", "1", ""), "Да");
}

TEST(LanguageFile, TransliterationTable) {
    EXPECT_EQ(TransliterateCyrillic("АБВГДЕЖЗИЙКЛМНОПРСТУФХЦЧШЩЪЫЬЭЮЯ"), "ABVGDEZZIJKLMNOPRSTUFHC4SS'Y'EUY");
    EXPECT_EQ(TransliterateCyrillic("абвгдежзийклмнопрстуфхцчшщъыьэюя"), "abvgdezzijklmnoprstufhc4ss'y'euy");
    EXPECT_EQ(TransliterateCyrillic("Ёлка ёж, 5 мс ± µ"), "Ёlka ёz, 5 ms ± µ");
}

TEST(LanguageFile, EncodingIsRecognised) {
    // The format's own code page.
    EXPECT_EQ(ParseLanguageFile(Utf8ToCp1251("[fmMain]\nmiFile.Caption=&Файл\n"))->readString("fmMain", "miFile.Caption", ""),
              "&Файл");
    // A translation saved as UTF-8, with or without a byte-order mark.
    EXPECT_EQ(ParseLanguageFile("[a]\nk=Ärger µs\n")->readString("a", "k", ""), "Ärger µs");
    EXPECT_EQ(ParseLanguageFile("\xEF\xBB\xBF[a]\nk=Файл\n")->readString("a", "k", ""), "Файл");
    // A marked file with broken sequences still reads, with '?' for what cannot be shown.
    EXPECT_EQ(ParseLanguageFile("\xEF\xBB\xBF[a]\nk=\xD0\xA4\xFF\n")->readString("a", "k", ""), "Ф?");
    EXPECT_EQ(ParseLanguageFile(std::string(kMaxLanguageFileBytes + 1, 'x')), std::nullopt);
    EXPECT_EQ(LoadLanguageFile("/nonexistent/folder/English.ini"), std::nullopt);
}

TEST(LanguageFile, FileNamesMatchWithoutLetterCase) {
    const std::vector<std::string> files{"Deutsch.ini", "English.ini"};
    EXPECT_EQ(FindLanguageFile(files, "english.ini"), 2);
    EXPECT_EQ(FindLanguageFile(files, "ENGLISH.INI"), 2);
    EXPECT_EQ(FindLanguageFile(files, "French.ini"), 0);
    EXPECT_TRUE(IsBuiltInLanguage("russian.INI"));
    EXPECT_FALSE(IsBuiltInLanguage("Russian.ini.bak"));
}

} // namespace
} // namespace tesmar
