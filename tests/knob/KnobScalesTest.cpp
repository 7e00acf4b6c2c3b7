#include "ui/knob/KnobScales.h"
#include "ui/knob/ScaleLineParser.h"

#include <gtest/gtest.h>

namespace tesmar {
namespace {

struct Parsed {
    std::vector<ScaleLine> lines;
    int initial;
};

Parsed Parse(std::string_view name) {
    const auto scale = PageKnobScale(name);
    Parsed parsed{{}, -1};
    if (!scale)
        return parsed;
    for (const auto& line : scale->lines)
        parsed.lines.push_back(ParseScaleLine(line));
    parsed.initial = scale->initialIndex;
    return parsed;
}

std::vector<std::string> LabelTexts(const Parsed& p) {
    std::vector<std::string> texts;
    for (const auto& line : p.lines)
        if (!line.style.hideLabel)
            texts.push_back(ScaleEntryText(line.data, ','));
    return texts;
}

TEST(KnobScales, SizesAndInitialEntries) {
    struct Case {
        const char* name;
        std::size_t count;
        int initial;
    };
    const Case cases[] = {
        {"knOscTimeDiv", 39, 38}, {"knOscCh1", 29, 28}, {"knOscCh2", 29, 28},
        {"knFFTFrecDiv", 39, 38}, {"knFFTCh1", 29, 28}, {"knFFTCh2", 29, 28},
        {"knRecTimeDiv", 60, 36}, {"knRecCh1", 29, 28}, {"knRecCh2", 29, 28},
        {"knLANFrecDiv", 37, 31},
    };
    ASSERT_EQ(PageKnobNames().size(), std::size(cases));
    for (const auto& c : cases) {
        const auto p = Parse(c.name);
        EXPECT_EQ(p.lines.size(), c.count) << c.name;
        EXPECT_EQ(p.initial, c.initial) << c.name;
    }
    EXPECT_FALSE(PageKnobScale("knNothing"));
}

TEST(KnobScales, PhysicalValuesOfSelectedEntries) {
    struct Case {
        const char* name;
        int index;
        double valueReal;
        const char* text;
    };
    const Case cases[] = {
        {"knOscTimeDiv", 0, 10e-3, "10мс"},
        {"knOscTimeDiv", 8, 2.5e-3, "2,5мс"},
        {"knOscTimeDiv", 19, 0.25e-3, "0,25мс"},
        {"knOscTimeDiv", 38, 5e-6, "5мкс"},
        {"knOscCh1", 0, 0.1, "0,1В"},
        {"knOscCh1", 28, 20, "20В"},
        {"knFFTFrecDiv", 0, 100, "100Гц"},
        {"knFFTFrecDiv", 11, 2500, "2,5кГц"},
        {"knFFTFrecDiv", 38, 200e3, "200кГц"},
        {"knRecTimeDiv", 0, 10, "10с"},
        {"knRecTimeDiv", 36, 1e-3, "1мс"},
        {"knRecTimeDiv", 59, 5e-6, "5мкс"},
        {"knLANFrecDiv", 0, 1e3, "1кГц"},
        {"knLANFrecDiv", 31, 1e6, "1МГц"},
        {"knLANFrecDiv", 33, 2.667e6, "2,667МГц"},
        {"knLANFrecDiv", 36, 8e6, "8МГц"},
    };
    for (const auto& c : cases) {
        const auto p = Parse(c.name);
        const auto& data = p.lines.at(static_cast<std::size_t>(c.index)).data;
        EXPECT_NEAR(data.ValueReal, c.valueReal, c.valueReal * 1e-12) << c.name << " " << c.index;
        EXPECT_EQ(ScaleEntryText(data, ','), c.text) << c.name << " " << c.index;
    }
}

TEST(KnobScales, HintsAsThePagesShowThem) {
    struct Case {
        const char* name;
        int index;
        const char* hint;
    };
    const Case cases[] = {
        {"knOscTimeDiv", 0, "Задание периода дискретизации Tд = 10 мс (Fд = 100 Гц)"},
        {"knOscTimeDiv", 20, "Задание периода дискретизации Tд = 0,2 мс (Fд = 5 кГц)"},
        {"knOscTimeDiv", 38, "Задание периода дискретизации Tд = 5 мкс (Fд = 200 кГц)"},
        {"knOscCh1", 28, "Установить для канала A границы по напряжению ±20 В"},
        {"knOscCh2", 0, "Установить для канала B границы по напряжению ±0,1 В"},
        {"knFFTCh1", 28, "Установить для канала A границы по напряжению 0...20 В"},
        {"knFFTFrecDiv", 0, "Задание частоты дискретизации Fд = 100 Гц"},
        {"knFFTFrecDiv", 11, "Задание частоты дискретизации Fд = 2,5 кГц"},
        {"knRecTimeDiv", 0, "Задание периода дискретизации Tд = 10 с"},
        {"knRecTimeDiv", 36, "Задание периода дискретизации Tд = 1 мс (Fд = 1 кГц)"},
        {"knRecCh2", 9, "Установить для канала B границы по напряжению ±1 В"},
        {"knLANFrecDiv", 0, "Задание частоты дискретизации Fд = 1 кГц (Tд = 1 мс)"},
        {"knLANFrecDiv", 31, "Задание частоты дискретизации Fд = 1 МГц (Tд = 1 мкс)"},
        {"knLANFrecDiv", 32,
         "Задать Fд = 2 МГц (только режим 8-ми канального анализатора, буфер 1,2K, претриггер 8 "
         "байт, пропуск и внеш. тактирование)"},
        {"knLANFrecDiv", 33,
         "Задать Fд = 2,667 МГц (только режим 8-ми канального анализатора, буфер 1,2K, "
         "претриггер 8 байт, пропуск и внеш. тактирование)"},
        {"knLANFrecDiv", 36,
         "Задать Fд = 8 МГц (только режим 8-ми канального анализатора, буфер 128 байт без "
         "претриггера и пропуска импульсов)"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Parse(c.name).lines.at(static_cast<std::size_t>(c.index)).data.Hint, c.hint)
            << c.name << " " << c.index;
}

TEST(KnobScales, LabelledEntries) {
    EXPECT_EQ(LabelTexts(Parse("knOscTimeDiv")),
              (std::vector<std::string>{"10мс", "5мс", "1мс", "0,5мс", "0,1мс", "50мкс", "10мкс", "5мкс"}));
    EXPECT_EQ(LabelTexts(Parse("knOscCh1")),
              (std::vector<std::string>{"0,1В", "0,5В", "1В", "5В", "10В", "15В", "20В"}));
    for (auto name : PageKnobNames()) {
        const auto p = Parse(name);
        EXPECT_FALSE(p.lines.front().style.hideLabel) << name << ": both ends of every scale are labelled";
        EXPECT_FALSE(p.lines.back().style.hideLabel) << name;
    }
}

} // namespace
} // namespace tesmar
