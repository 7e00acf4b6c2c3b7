#include "service/CalibrationFit.h"

#include <gtest/gtest.h>

#include <cmath>

namespace tesmar {
namespace {

const CalibrationPair kDefault = CalibrationSet{}.aNormal;

TEST(CalibrationFit, EndPointsOfTwoRowsScaleKAndGridSearchFitsThem)
{
    const CalibrationFit fit = FitCalibration({{1.0, 1.01}, {2.0, 2.03}}, kDefault, true);
    ASSERT_EQ(fit.codes.size(), 2u);
    EXPECT_NEAR(fit.codes[0], (kDefault.zero - 1.0) / kDefault.voltsPerUnit, 1e-9);
    EXPECT_NEAR(fit.estimate.voltsPerUnit, 1.02 * kDefault.voltsPerUnit, 1e-12);
    // The grid has steps of 1e-7 and 0.001: the best pair lies within one step of the estimate.
    EXPECT_NEAR(fit.pair.voltsPerUnit, fit.estimate.voltsPerUnit, 1e-7);
    EXPECT_NEAR(fit.pair.zero, fit.estimate.zero, 0.001);
    EXPECT_LT(fit.correctedError, 0.01);
    EXPECT_NEAR(fit.measuredError, 0.01 / 1.01 + 0.03 / 2.03, 1e-12);
    ASSERT_EQ(fit.corrected.size(), 2u);
    EXPECT_NEAR(fit.corrected[0], 1.01, 0.005);
    EXPECT_NEAR(fit.corrected[1], 2.03, 0.005);
}

TEST(CalibrationFit, NeighbourAverageMatchesEndPointsOnALine)
{
    // Readings off by a gain and an offset: both methods find the same straight line.
    std::vector<CalibrationRow> rows;
    for (double ue : {-2.0, -1.0, 0.5, 1.0, 2.0})
        rows.push_back({(ue - 0.02) / 1.05, ue});
    const CalibrationFit ends = FitCalibration(rows, kDefault, true);
    const CalibrationFit neighbours = FitCalibration(rows, kDefault, false);
    EXPECT_NEAR(ends.estimate.voltsPerUnit, neighbours.estimate.voltsPerUnit, 1e-12);
    EXPECT_NEAR(ends.estimate.zero, neighbours.estimate.zero, 1e-9);
    for (std::size_t i = 0; i < rows.size(); ++i)
        EXPECT_NEAR(neighbours.corrected[i], rows[i].reference, 0.003);
}

TEST(CalibrationFit, ZeroVoltReferenceRowIsLeftOutOfTheErrors)
{
    const CalibrationFit fit = FitCalibration({{0.01, 0.0}, {1.0, 1.01}, {2.0, 2.03}}, kDefault, true);
    EXPECT_TRUE(std::isfinite(fit.measuredError));
    EXPECT_TRUE(std::isfinite(fit.correctedError));
    EXPECT_NEAR(fit.measuredError, 0.01 / 1.01 + 0.03 / 2.03, 1e-12);
    EXPECT_EQ(RelativeErrorSum({0.0, 2.0}, {5.0, 1.0}), 0.5);
}

TEST(CalibrationFit, NoRowsLeavesTheOldPair)
{
    const CalibrationFit fit = FitCalibration({}, kDefault, true);
    EXPECT_EQ(fit.pair, kDefault);
    EXPECT_TRUE(fit.codes.empty());
}

TEST(CalibrationFit, UndefinedEstimatesAreRefused)
{
    EXPECT_THROW(FitCalibration({{1.0, 1.0}}, kDefault, true), CalibrationFitError);
    EXPECT_THROW(FitCalibration({{1.0, 1.0}, {1.0, 2.0}}, kDefault, true), CalibrationFitError);
    EXPECT_THROW(FitCalibration({{1.0, 1.0}, {1.0, 2.0}, {2.0, 3.0}}, kDefault, false), CalibrationFitError);
    EXPECT_THROW(FitCalibration({{1.0, 1.0}, {2.0, 2.0}}, {2.5, 0.0}, true), CalibrationFitError);
}

TEST(CalibrationFit, OnlyTheFirstEighteenRowsCount)
{
    std::vector<CalibrationRow> rows;
    for (int i = 0; i < 20; ++i)
        rows.push_back({0.1 * i, 0.1 * i});
    EXPECT_EQ(FitCalibration(rows, kDefault, true).codes.size(), 18u);
}

} // namespace
} // namespace tesmar
