#include "CalibrationFit.h"

#include <cmath>
#include <limits>

namespace tesmar {

namespace {

constexpr std::size_t kMaxRows = 18;
constexpr double kStepK = 1e-7;
constexpr double kStepZero = 0.001;
constexpr double kStartError = 1000000.0;

bool Finite(const CalibrationPair& pair)
{
    return std::isfinite(pair.zero) && std::isfinite(pair.voltsPerUnit);
}

CalibrationPair EndPointEstimate(const std::vector<double>& a, const std::vector<double>& ue)
{
    const std::size_t n = a.size();
    const double k = (ue[n - 1] - ue[0]) / (a[0] - a[n - 1]);
    return {ue[0] + a[0] * k, k};
}

CalibrationPair NeighbourEstimate(const std::vector<double>& a, const std::vector<double>& ue)
{
    double sumK = 0.0, sumZero = 0.0;
    for (std::size_t i = 1; i < a.size(); ++i) {
        const double k = (ue[i] - ue[i - 1]) / (a[i - 1] - a[i]);
        sumK += k;
        sumZero += a[i] * k + ue[i];
    }
    const double pairs = static_cast<double>(a.size() - 1);
    return {sumZero / pairs, sumK / pairs};
}

} // namespace

double RelativeErrorSum(const std::vector<double>& reference, const std::vector<double>& values)
{
    double sum = 0.0;
    for (std::size_t i = 0; i < reference.size() && i < values.size(); ++i)
        if (reference[i] != 0.0)
            sum += std::fabs(reference[i] - values[i]) / std::fabs(reference[i]);
    return sum;
}

CalibrationPair GridSearchPair(const std::vector<double>& codes, const std::vector<double>& reference,
                               const CalibrationPair& estimate)
{
    // Rows with a 0 V reference carry no relative error; the rest get their weight once.
    std::vector<double> a, ue, weight;
    for (std::size_t i = 0; i < codes.size() && i < reference.size(); ++i) {
        if (reference[i] == 0.0)
            continue;
        a.push_back(codes[i]);
        ue.push_back(reference[i]);
        weight.push_back(1.0 / std::fabs(reference[i]));
    }
    const double kFrom = estimate.voltsPerUnit - std::fabs(estimate.voltsPerUnit / 10);
    const double kTo = estimate.voltsPerUnit + std::fabs(estimate.voltsPerUnit / 10);
    const double zFrom = estimate.zero - std::fabs(estimate.zero / 10);
    const double zTo = estimate.zero + std::fabs(estimate.zero / 10);
    const long kSteps = static_cast<long>(std::ceil((kTo - kFrom) / kStepK));
    const long zSteps = static_cast<long>(std::ceil((zTo - zFrom) / kStepZero));

    CalibrationPair best = estimate;
    double bestError = kStartError;
    const std::size_t n = a.size();
    for (long ik = 0; ik < kSteps; ++ik) {
        const double k = kFrom + static_cast<double>(ik) * kStepK;
        if (k >= kTo)
            break;
        for (long iz = 0; iz < zSteps; ++iz) {
            const double zero = zFrom + static_cast<double>(iz) * kStepZero;
            if (zero >= zTo)
                break;
            double error = 0.0;
            for (std::size_t i = 0; i < n && error < bestError; ++i)
                error += std::fabs(ue[i] - (zero - k * a[i])) * weight[i];
            if (error < bestError) {
                bestError = error;
                best = {zero, k};
            }
        }
    }
    return best;
}

CalibrationFit FitCalibration(const std::vector<CalibrationRow>& rows, const CalibrationPair& oldPair,
                              bool byEndPoints)
{
    CalibrationFit fit;
    fit.pair = oldPair;
    if (oldPair.voltsPerUnit == 0.0 || !Finite(oldPair))
        throw CalibrationFitError("Коэффициент K не может быть нулевым.");
    std::vector<double> measured, reference;
    for (std::size_t i = 0; i < rows.size() && i < kMaxRows; ++i) {
        measured.push_back(rows[i].measured);
        reference.push_back(rows[i].reference);
        fit.codes.push_back((oldPair.zero - rows[i].measured) / oldPair.voltsPerUnit);
    }
    if (fit.codes.empty())
        return fit;
    if (fit.codes.size() < 2)
        throw CalibrationFitError("Для расчёта нужны хотя бы две строки с Uиз и Uэ.");

    fit.estimate = byEndPoints ? EndPointEstimate(fit.codes, reference) : NeighbourEstimate(fit.codes, reference);
    if (!Finite(fit.estimate))
        throw CalibrationFitError("Коэффициенты не определены: строки с одинаковыми Uиз.");
    fit.pair = GridSearchPair(fit.codes, reference, fit.estimate);

    for (double a : fit.codes)
        fit.corrected.push_back(fit.pair.zero - fit.pair.voltsPerUnit * a);
    fit.measuredError = RelativeErrorSum(reference, measured);
    fit.correctedError = RelativeErrorSum(reference, fit.corrected);
    return fit;
}

} // namespace tesmar
