#include "CalibrationSheet.h"

#include "settings/IniFile.h"

#include <algorithm>

namespace tesmar {

namespace {
const char* const kSection = "main";
// The table has 18 rows; a larger count in a file is taken as far as the table goes.
constexpr long long kMaxRows = 18;
} // namespace

void WriteCalibrationSheet(IniFile& file, const CalibrationSheet& sheet)
{
    for (std::size_t i = 0; i < sheet.rows.size(); ++i) {
        const std::string number = std::to_string(i + 1);
        file.writeString(kSection, "uiz" + number, sheet.rows[i].measured);
        file.writeString(kSection, "ue" + number, sheet.rows[i].reference);
    }
    file.writeString(kSection, "u0", sheet.u0);
    file.writeString(kSection, "k", sheet.k);
    file.writeString(kSection, "u0_", sheet.u0New);
    file.writeString(kSection, "k_", sheet.kNew);
    file.writeInteger(kSection, "count", static_cast<long long>(sheet.rows.size()));
}

void ReadCalibrationSheet(const IniFile& file, CalibrationSheet& sheet)
{
    const long long count = std::clamp(file.readInteger(kSection, "count", 0), 0LL, kMaxRows);
    sheet.rows.clear();
    for (long long i = 1; i <= count; ++i) {
        const std::string number = std::to_string(i);
        sheet.rows.push_back({file.readString(kSection, "uiz" + number, {}), file.readString(kSection, "ue" + number, {})});
    }
    sheet.u0 = file.readString(kSection, "u0", sheet.u0);
    sheet.u0New = file.readString(kSection, "u0_", sheet.u0New);
    sheet.k = file.readString(kSection, "k", sheet.k);
    sheet.kNew = file.readString(kSection, "k_", sheet.kNew);
}

} // namespace tesmar
