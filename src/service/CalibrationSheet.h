#pragma once
// The calibration file: the measured and reference texts of the table rows and the texts of the
// old and new pair fields, in section `main` of an INI-format text file.

#include <string>
#include <vector>

namespace tesmar {

class IniFile;

struct CalibrationSheet {
    struct Row {
        std::string measured;  // "Uиз"
        std::string reference; // "Uэ"
    };
    std::vector<Row> rows;
    std::string u0, k, u0New, kNew;
};

// Writes the rows, the four fields and `count`.
void WriteCalibrationSheet(IniFile& file, const CalibrationSheet& sheet);
// Reads into `sheet`: the rows are replaced by `count` rows (0 when missing); a missing field key
// keeps the field's text.
void ReadCalibrationSheet(const IniFile& file, CalibrationSheet& sheet);

} // namespace tesmar
