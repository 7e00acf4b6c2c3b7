#include "settings/IniFile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

namespace tesmar {
namespace {

std::string Crlf(std::string_view lf) {
    std::string out;
    for (char c : lf) {
        if (c == '\n')
            out += '\r';
        out += c;
    }
    return out;
}

class TempDir {
  public:
    TempDir() {
        path_ = std::filesystem::temp_directory_path() /
                ("tesmar_ini_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "_" +
                 ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(path_);
        std::filesystem::create_directories(path_);
    }
    ~TempDir() { std::filesystem::remove_all(path_); }
    std::filesystem::path file(const char* name) const { return path_ / name; }

  private:
    std::filesystem::path path_;
};

std::string ReadBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

TEST(IniFile, ReadsValuesWithDefaults) {
    IniFile ini;
    ini.setText("; settings\r\n[Main]\r\n  Key1 =  some value  \r\nkey2=\r\nnoequals\r\n;key3=x\r\n"
                "[other]\r\nkey1=other\r\n");
    struct Case {
        const char* section;
        const char* key;
        const char* expected;
    };
    const Case cases[] = {
        {"main", "KEY1", "some value"},                          // names match in any case, value trimmed
        {"MAIN", "key2", ""},                                    // present but empty: not the default
        {"main", "noequals", "def"},    {"main", "key3", "def"}, // commented out
        {"other", "key1", "other"},     {"missing", "key1", "def"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ini.readString(c.section, c.key, "def"), c.expected) << c.section << "/" << c.key;
    EXPECT_EQ(ini.sections(), (std::vector<std::string>{"Main", "other"}));
    EXPECT_EQ(ini.keys("main"), (std::vector<std::string>{"Key1", "key2"}));
    EXPECT_TRUE(ini.hasKey("Main", "KEY2"));
    EXPECT_FALSE(ini.hasKey("Main", "noequals"));
}

TEST(IniFile, IntegersAndBooleans) {
    struct Case {
        const char* value;
        long long expected;
    };
    const Case cases[] = {
        {"42", 42},
        {"-17", -17},
        {"+5", 5},
        {"0x1F", 31},
        {"0XfF", 255},
        {"0xFFFFFF", 16777215},
        {"12abc", -1},
        {"0x", -1},
        {"0x1G", -1},
        {"", -1},
        {"1.5", -1},
        {"abc", -1},
        {"99999999999999999999", -1},
        {"- 3", -1},
    };
    for (const auto& c : cases) {
        IniFile ini;
        ini.setText(std::string("[s]\nk=") + c.value + "\n");
        EXPECT_EQ(ini.readInteger("s", "k", -1), c.expected) << c.value;
    }
    IniFile ini;
    ini.setText("[s]\nyes=2\nno=0\nbad=x\n");
    EXPECT_TRUE(ini.readBool("s", "yes", false));
    EXPECT_FALSE(ini.readBool("s", "no", true));
    EXPECT_TRUE(ini.readBool("s", "bad", true));
    ini.writeBool("s", "no", true);
    ini.writeBool("s", "yes", false);
    EXPECT_EQ(ini.readString("s", "no", ""), "1");
    EXPECT_EQ(ini.readString("s", "yes", ""), "0");
}

TEST(IniFile, FloatsUseTheGivenSeparatorOnly) {
    struct Case {
        const char* value;
        char separator;
        double expected;
    };
    const Case cases[] = {
        {"2.5", '.', 2.5}, {"2,5", ',', 2.5},    {"2,5", '.', -99},    {"2.5", ',', -99},
        {"-20", '.', -20}, {"1e-3", '.', 0.001}, {"1E+20", ',', 1e20}, {"nan", '.', -99},
        {"inf", '.', -99}, {"", '.', -99},       {"1.5x", '.', -99},
    };
    for (const auto& c : cases) {
        IniFile ini;
        ini.setText(std::string("[s]\nf=") + c.value + "\n");
        EXPECT_EQ(ini.readFloat("s", "f", -99, c.separator), c.expected)
            << c.value << " with " << c.separator;
    }
}

TEST(IniFile, FloatsAreWrittenShortestAndReadBackExactly) {
    struct Case {
        double value;
        char separator;
        const char* text;
    };
    const Case cases[] = {
        {2.0, '.', "2"},
        {-20, ',', "-20"},
        {0.1, ',', "0,1"},
        {2.5, '.', "2.5"},
        {1.0 / 3, '.', "0.3333333333333333"},
        {1e20, '.', "1e+20"},
        {0.0001, '.', "0.0001"},
        {-1.5e-7, ',', "-1,5e-07"},
        {123456.75, ',', "123456,75"},
    };
    for (const auto& c : cases) {
        IniFile ini;
        ini.writeFloat("s", "f", c.value, c.separator);
        EXPECT_EQ(ini.readString("s", "f", ""), c.text);
        EXPECT_EQ(ini.readFloat("s", "f", -99, c.separator), c.value);
    }
    // Written under a comma, read under a point: the default, never a misread number.
    IniFile ini;
    ini.writeFloat("main", "trigger_level_ch1", 1.25, ',');
    EXPECT_EQ(ini.readFloat("main", "trigger_level_ch1", 2.0, '.'), 2.0);
}

TEST(IniFile, WritingReplacesInPlaceAndLeavesOtherLinesAlone) {
    IniFile ini;
    ini.setText("; header comment\n"
                "[Main]\n"
                "Alpha = 1\n"
                "; about beta\n"
                "beta=2\n"
                "unknown=keep me\n"
                "\n"
                "; next section\n"
                "[misc]\n"
                "lang=Russian.ini\n");
    ini.writeString("main", "ALPHA", "10");
    ini.writeString("MAIN", "beta", "20");
    ini.writeString("main", "gamma", "3");
    ini.writeString("misc", "ActivePageIndex", "2");
    ini.writeString("new", "k", "v");
    EXPECT_EQ(ini.text(), Crlf("; header comment\n"
                               "[Main]\n"
                               "Alpha = 10\n"
                               "; about beta\n"
                               "beta=20\n"
                               "unknown=keep me\n"
                               "gamma=3\n"
                               "\n"
                               "; next section\n"
                               "[misc]\n"
                               "lang=Russian.ini\n"
                               "ActivePageIndex=2\n"
                               "\n"
                               "[new]\n"
                               "k=v\n"));
}

TEST(IniFile, SectionsAreFoundAfterEveryChangeOfTheLines) {
    IniFile ini;
    ini.setText("[a]\nx=1\n[B]\ny=2\n[a]\nx=9\n");
    // The first of two sections of one name is the one read and written.
    EXPECT_EQ(ini.readString("A", "x", ""), "1");
    ini.writeString("a", "z", "3"); // the lines after it move down
    ini.writeString("b", "w", "4");
    ini.writeString("c", "v", "5"); // a new section at the end
    EXPECT_EQ(ini.readString("b", "y", ""), "2");
    EXPECT_EQ(ini.readString("B", "w", ""), "4");
    EXPECT_EQ(ini.readString("C", "v", ""), "5");
    EXPECT_EQ(ini.keys("a"), (std::vector<std::string>{"x", "z"}));
    EXPECT_EQ(ini.text(), Crlf("[a]\nx=1\nz=3\n[B]\ny=2\nw=4\n[a]\nx=9\n\n[c]\nv=5\n"));
    ini.setText("[b]\nq=1\n");
    EXPECT_FALSE(ini.hasSection("a"));
    EXPECT_EQ(ini.readString("b", "q", ""), "1");
}

TEST(IniFile, KeyGoesRightAfterAnEmptySectionHeader) {
    IniFile ini;
    ini.setText("[a]\n\n[b]\nx=1\n");
    ini.writeInteger("a", "k", -7);
    EXPECT_EQ(ini.text(), Crlf("[a]\nk=-7\n\n[b]\nx=1\n"));
}

TEST(IniFile, ValueCannotBreakIntoNewLines) {
    IniFile ini;
    ini.writeString("s", "name", "a\r\n[evil]\nx=1");
    EXPECT_FALSE(ini.hasSection("evil"));
    EXPECT_EQ(ini.keys("s"), std::vector<std::string>{"name"});
}

// Found by fuzzing the settings reader: a name with a lone CR was read with it and written back
// with a blank, so the next start showed another name.
TEST(IniFile, ALoneCarriageReturnEndsALine) {
    IniFile ini;
    ini.setText("[ch]\nname_a0=CLK\r0=255\r\nname_a1=DATA\r");
    EXPECT_EQ(ini.readString("ch", "name_a0", ""), "CLK");
    EXPECT_EQ(ini.readString("ch", "0", ""), "255");
    EXPECT_EQ(ini.readString("ch", "name_a1", ""), "DATA");
    ini.writeString("ch", "name_a0", ini.readString("ch", "name_a0", ""));
    IniFile again;
    again.setText(ini.text());
    EXPECT_EQ(again.readString("ch", "name_a0", ""), "CLK");
}

TEST(IniFile, CyrillicRoundTripsThroughCp1251OnDisk) {
    TempDir dir;
    const auto path = dir.file("tesmar.ini");
    {
        IniFile ini(path.string());
        ini.writeString("ch", "name_a0", "Тактовый сигнал №1");
        ini.writeString("fmMain", "fmMain.Caption", "Осциллограф ёЁ");
        ASSERT_TRUE(ini.save());
    }
    const std::string bytes = ReadBytes(path);
    EXPECT_NE(bytes.find("name_a0=\xD2\xE0\xEA\xF2\xEE\xE2\xFB\xE9 \xF1\xE8\xE3\xED\xE0\xEB \xB9"
                         "1\r\n"),
              std::string::npos);
    EXPECT_EQ(bytes.find('\xD0'), std::string::npos) << "no UTF-8 lead bytes on disk";
    EXPECT_EQ(bytes.substr(0, 6), "[ch]\r\n");

    IniFile back(path.string());
    EXPECT_EQ(back.readString("CH", "NAME_A0", ""), "Тактовый сигнал №1");
    EXPECT_EQ(back.readString("fmmain", "fmMain.Caption", ""), "Осциллограф ёЁ");
}

TEST(IniFile, ReadsLfOnlyFilesAndKeepsOtherSectionsOnSave) {
    TempDir dir;
    const auto path = dir.file("setup.ini");
    {
        std::ofstream out(path, std::ios::binary);
        out << "[foreign]\nopt=\xC4\xE0\n[main]\nsbOscOnCh1=0\n";
    }
    IniFile ini(path.string());
    EXPECT_EQ(ini.readString("foreign", "opt", ""), "Да");
    ini.writeBool("main", "sbOscOnCh1", true);
    ASSERT_TRUE(ini.save());
    EXPECT_EQ(ReadBytes(path), "[foreign]\r\nopt=\xC4\xE0\r\n[main]\r\nsbOscOnCh1=1\r\n");
}

TEST(IniFile, MissingFileLoadsEmptyAndFailedSaveKeepsOldFile) {
    TempDir dir;
    IniFile missing(dir.file("none.ini").string());
    EXPECT_FALSE(missing.load());
    EXPECT_EQ(missing.readInteger("s", "k", 5), 5);

    // A folder where the file should be: the write cannot succeed and must say so.
    IniFile blocked(dir.file("nodir/x.ini").string());
    blocked.writeString("s", "k", "v");
    EXPECT_FALSE(blocked.save());

    const auto path = dir.file("keep.ini");
    {
        std::ofstream out(path, std::ios::binary);
        out << "[s]\r\nk=old\r\n";
    }
    std::filesystem::create_directory(dir.file("keep.ini.tmp")); // the temporary cannot be created
    IniFile ini(path.string());
    ini.writeString("s", "k", "new");
    EXPECT_FALSE(ini.save());
    EXPECT_EQ(ReadBytes(path), "[s]\r\nk=old\r\n");
}

} // namespace
} // namespace tesmar
