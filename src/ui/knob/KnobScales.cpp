#include "ui/knob/KnobScales.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <set>

namespace tesmar {
namespace {

struct Step {
    double value;
    int exp;
    const char* unit;
};

std::string Number(double value, int significant = 4) {
    char buffer[64];
    const auto r =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, significant);
    std::string text(buffer, r.ptr);
    std::replace(text.begin(), text.end(), '.', ',');
    return text;
}

// Rounded to a few significant digits, so that 1 / 1e-3 is 1000 and not 999.99…
double Tidy(double value) {
    if (value == 0)
        return 0;
    const double scale = std::pow(10.0, 6 - std::ceil(std::log10(std::fabs(value))));
    return std::round(value * scale) / scale;
}

std::string Rate(double hertz) {
    hertz = Tidy(hertz);
    if (hertz >= 1e6)
        return Number(hertz / 1e6) + " МГц";
    if (hertz >= 1e3)
        return Number(hertz / 1e3) + " кГц";
    return Number(hertz) + " Гц";
}

std::string Period(double seconds) {
    seconds = Tidy(seconds);
    if (seconds >= 1)
        return Number(seconds) + " с";
    if (seconds >= 1e-3)
        return Number(seconds * 1e3) + " мс";
    if (seconds >= 1e-6)
        return Number(seconds * 1e6) + " мкс";
    return Number(seconds * 1e9) + " нс";
}

double Real(const Step& s) {
    return s.value * std::pow(10.0, s.exp);
}

std::string ValueWithUnit(const Step& s) {
    return Number(s.value) + " " + s.unit;
}

// One scale line; entries without a label are drawn as short ticks.
std::string Line(const Step& s, const std::string& hint, bool labelled) {
    std::string line =
        "#v=" + Number(s.value) + " #e=" + std::to_string(s.exp) + " #d=" + s.unit + " #h=" + hint;
    if (!labelled)
        line += " #s #p";
    return line;
}

std::vector<Step> Series(std::initializer_list<double> values, int exp, const char* unit) {
    std::vector<Step> steps;
    for (double v : values)
        steps.push_back({v, exp, unit});
    return steps;
}

std::vector<Step> Join(std::initializer_list<std::vector<Step>> parts) {
    std::vector<Step> all;
    for (const auto& part : parts)
        all.insert(all.end(), part.begin(), part.end());
    return all;
}

std::vector<Step> RangeSteps() {
    return Join({Series({0.1, 0.2, 0.3, 0.4, 0.5, 0.6, 0.7, 0.8, 0.9}, 0, "В"),
                 Series({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20}, 0, "В")});
}

const std::set<int> kRangeLabels = {0, 4, 9, 13, 18, 23, 28}; // 0,1 0,5 1 5 10 15 20

KnobScale RangeKnob(const char* channel, bool symmetric) {
    KnobScale scale;
    const auto steps = RangeSteps();
    for (int i = 0; i < static_cast<int>(steps.size()); ++i) {
        const auto& s = steps[i];
        const std::string limits = symmetric ? "±" + Number(s.value) : "0..." + Number(s.value);
        const std::string hint =
            std::string("Установить для ") + channel + " границы по напряжению " + limits + " В";
        scale.lines.push_back(Line(s, hint, kRangeLabels.contains(i)));
    }
    scale.initialIndex = 28;
    return scale;
}

KnobScale OscTimeDiv() {
    const auto steps = Join({Series({10, 9, 8, 7, 6, 5, 4, 3, 2.5, 2, 1.5, 1}, -3, "мс"),
                             Series({0.9, 0.8, 0.7, 0.6, 0.5, 0.4, 0.3, 0.25, 0.2, 0.15, 0.1}, -3, "мс"),
                             Series({90, 80, 70, 60, 50, 40, 30, 25, 20, 15, 10, 9, 8, 7, 6, 5}, -6, "мкс")});
    const std::set<int> labels = {0, 5, 11, 16, 22, 27, 33, 38}; // 10, 5, 1, 0,5, 0,1 ms; 50, 10, 5 µs
    KnobScale scale;
    for (int i = 0; i < static_cast<int>(steps.size()); ++i) {
        const auto& s = steps[i];
        const std::string hint =
            "Задание периода дискретизации Tд = " + ValueWithUnit(s) + " (Fд = " + Rate(1.0 / Real(s)) + ")";
        scale.lines.push_back(Line(s, hint, labels.contains(i)));
    }
    scale.initialIndex = 38;
    return scale;
}

KnobScale FftFrecDiv() {
    const auto steps =
        Join({Series({100, 200, 250, 300, 400, 500, 700, 800, 900}, 0, "Гц"),
              Series({1, 2, 2.5, 3, 4, 5, 6, 7, 8, 9, 10, 20, 25, 30, 40, 50, 70, 80, 90}, 3, "кГц"),
              Series({100, 110, 120, 130, 140, 150, 160, 170, 180, 190, 200}, 3, "кГц")});
    const std::set<int> labels = {0, 9, 14, 19, 24, 28, 38}; // 100 Hz; 1, 5, 10, 50, 100, 200 kHz
    KnobScale scale;
    for (int i = 0; i < static_cast<int>(steps.size()); ++i) {
        const auto& s = steps[i];
        scale.lines.push_back(
            Line(s, "Задание частоты дискретизации Fд = " + ValueWithUnit(s), labels.contains(i)));
    }
    scale.initialIndex = 38;
    return scale;
}

KnobScale RecTimeDiv() {
    const auto steps =
        Join({Series({10, 9, 8, 7, 6, 5, 4, 3, 2, 1}, 0, "с"),
              Series({0.9, 0.8, 0.7, 0.6, 0.5, 0.4, 0.3, 0.2, 0.1}, 0, "с"),
              Series({90, 80, 70, 60, 50, 40, 30, 20, 10}, -3, "мс"),
              Series({9, 8, 7, 6, 5, 4, 3, 2, 1}, -3, "мс"),
              Series({0.9, 0.8, 0.7, 0.6, 0.5, 0.4, 0.3, 0.2, 0.1}, -3, "мс"),
              Series({90, 80, 70, 60, 50, 40, 30, 20, 10}, -6, "мкс"), Series({9, 8, 7, 6, 5}, -6, "мкс")});
    const std::set<int> labels = {0, 9, 18, 27, 36, 45, 54, 59}; // 10, 1, 0,1 s; 10, 1, 0,1 ms; 10, 5 µs
    KnobScale scale;
    for (int i = 0; i < static_cast<int>(steps.size()); ++i) {
        const auto& s = steps[i];
        std::string hint = "Задание периода дискретизации Tд = " + ValueWithUnit(s);
        if (i >= 10) // whole seconds show the period alone
            hint += " (Fд = " + Rate(1.0 / Real(s)) + ")";
        scale.lines.push_back(Line(s, hint, labels.contains(i)));
    }
    scale.initialIndex = 36;
    return scale;
}

KnobScale LanFrecDiv() {
    const auto steps =
        Join({Series({1,  2,  2.5, 3,  4,   5,   6,   7,   8,   9,   10,  20,  25,  30,  40, 50,
                      60, 70, 80,  90, 100, 150, 200, 250, 300, 400, 500, 600, 700, 800, 900},
                     3, "кГц"),
              Series({1, 2, 2.667, 4, 6, 8}, 6, "МГц")});
    const std::set<int> labels = {0, 10, 20, 26, 31, 36}; // 1, 10, 100, 500 kHz; 1, 8 MHz
    KnobScale scale;
    for (int i = 0; i < static_cast<int>(steps.size()); ++i) {
        const auto& s = steps[i];
        std::string hint;
        if (i <= 31) {
            hint = "Задание частоты дискретизации Fд = " + ValueWithUnit(s) +
                   " (Tд = " + Period(1.0 / Real(s)) + ")";
        } else if (i <= 33) {
            hint =
                "Задать Fд = " + ValueWithUnit(s) +
                " (только режим 8-ми канального анализатора, буфер 1,2K, претриггер 8 байт, пропуск и внеш. "
                "тактирование)";
        } else {
            hint = "Задать Fд = " + ValueWithUnit(s) +
                   " (только режим 8-ми канального анализатора, буфер 128 байт без претриггера и пропуска "
                   "импульсов)";
        }
        scale.lines.push_back(Line(s, hint, labels.contains(i)));
    }
    scale.initialIndex = 31;
    return scale;
}

} // namespace

const std::vector<std::string_view>& PageKnobNames() {
    static const std::vector<std::string_view> names = {
        "knOscTimeDiv", "knOscCh1",     "knOscCh2", "knFFTFrecDiv", "knFFTCh1",
        "knFFTCh2",     "knRecTimeDiv", "knRecCh1", "knRecCh2",     "knLANFrecDiv"};
    return names;
}

std::optional<KnobScale> PageKnobScale(std::string_view name) {
    if (name == "knOscTimeDiv")
        return OscTimeDiv();
    if (name == "knOscCh1" || name == "knRecCh1")
        return RangeKnob("канала A", true);
    if (name == "knOscCh2" || name == "knRecCh2")
        return RangeKnob("канала B", true);
    if (name == "knFFTFrecDiv")
        return FftFrecDiv();
    if (name == "knFFTCh1")
        return RangeKnob("канала A", false);
    if (name == "knFFTCh2")
        return RangeKnob("канала B", false);
    if (name == "knRecTimeDiv")
        return RecTimeDiv();
    if (name == "knLANFrecDiv")
        return LanFrecDiv();
    return std::nullopt;
}

} // namespace tesmar
