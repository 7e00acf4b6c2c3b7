// Any bytes as a calibration file: at most the table's 18 rows, and what was read is written
// back and reads the same.

#include "service/CalibrationSheet.h"
#include "settings/IniFile.h"
#include "text/Cp1251.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace tesmar;
    IniFile ini;
    ini.setText(Cp1251ToUtf8(std::string_view(reinterpret_cast<const char*>(data), size)));
    CalibrationSheet sheet;
    ReadCalibrationSheet(ini, sheet);
    if (sheet.rows.size() > 18)
        std::abort();
    IniFile copy;
    WriteCalibrationSheet(copy, sheet);
    IniFile reread;
    reread.setText(copy.text());
    CalibrationSheet again;
    ReadCalibrationSheet(reread, again);
    if (again.rows.size() != sheet.rows.size() || again.u0 != sheet.u0 || again.k != sheet.k ||
        again.u0New != sheet.u0New || again.kNew != sheet.kNew)
        std::abort();
    for (std::size_t i = 0; i < sheet.rows.size(); ++i)
        if (again.rows[i].measured != sheet.rows[i].measured || again.rows[i].reference != sheet.rows[i].reference)
            std::abort();
    return 0;
}
