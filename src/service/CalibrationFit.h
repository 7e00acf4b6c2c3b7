#pragma once
// A new calibration pair from measured and reference voltages: a first estimate (by the end
// points or averaged over neighbouring rows), refined by a grid search around it, and the
// relative errors before and after.

#include "device/Calibration.h"

#include <stdexcept>
#include <vector>

namespace tesmar {

struct CalibrationRow {
    double measured = 0.0;  // "Uиз"
    double reference = 0.0; // "Uэ"
};

struct CalibrationFit {
    std::vector<double> codes;     // A_i = (U0 − Uiz_i) / K with the old pair
    CalibrationPair estimate;      // before the grid search
    CalibrationPair pair;          // the new pair
    std::vector<double> corrected; // U0 − K × A_i with the new pair
    double measuredError = 0.0;    // Σ |Ue − Uiz| / |Ue|
    double correctedError = 0.0;   // Σ |Ue − Uiz'| / |Ue|
};

// The estimate cannot be formed (fewer than two rows, equal codes, a pair that is not finite).
class CalibrationFitError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Sum of relative errors; rows whose reference is 0 V have no relative error and are left out.
double RelativeErrorSum(const std::vector<double>& reference, const std::vector<double>& values);

// The grid around `estimate`: K in steps of 1e-7 and U0 in steps of 0.001, each ±1/10 of the
// estimate; the first pair with the smallest error wins. Returns `estimate` when no grid point
// beats 1 000 000.
CalibrationPair GridSearchPair(const std::vector<double>& codes, const std::vector<double>& reference,
                               const CalibrationPair& estimate);

// `rows` in table order (at most 18 are used); `oldPair.voltsPerUnit` must not be 0.
CalibrationFit FitCalibration(const std::vector<CalibrationRow>& rows, const CalibrationPair& oldPair,
                              bool byEndPoints);

} // namespace tesmar
