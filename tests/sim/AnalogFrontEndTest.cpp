#include "sim/AnalogFrontEnd.h"
#include "sim/SignalSource.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace tesmar {
namespace {

TEST(SignalSource, WaveformsAtKnownInstants)
{
    struct Case {
        SignalSource source;
        double seconds;
        double volts;
    } cases[] = {
        {SignalSource::Sine(2.0, 1000.0), 0.00025, 2.0},
        {SignalSource::Sine(2.0, 1000.0, 0.5), 0.00075, -1.5},
        {SignalSource::Sine(1.0, 100.0).withPhase(90.0), 0.0, 1.0},
        {SignalSource::Square(1.0, 500.0), 0.0009, 1.0},
        {SignalSource::Square(1.0, 500.0), 0.0011, -1.0},
        {SignalSource::Square(2.5, 500.0, 2.5), 0.0015, 0.0},
        {SignalSource::Triangle(3.0, 1000.0), 0.0, 0.0},
        {SignalSource::Triangle(3.0, 1000.0), 0.000125, 1.5},
        {SignalSource::Triangle(3.0, 1000.0), 0.00075, -3.0},
        {SignalSource::Dc(-1.25), 123.0, -1.25},
    };
    for (const Case& c : cases)
        EXPECT_NEAR(c.source.valueAt(c.seconds), c.volts, 1e-9) << "at " << c.seconds;
}

TEST(SignalSource, NoiseIsRepeatableAndHasItsDeviation)
{
    const SignalSource noise = SignalSource::Noise(0.1, 1.0, 42);
    const SignalSource other = SignalSource::Noise(0.1, 1.0, 43);
    double sum = 0, squares = 0;
    int sameAsOtherSeed = 0;
    const int n = 20000;
    for (int i = 0; i < n; ++i) {
        const double t = i * 1e-5;
        const double v = noise.valueAt(t);
        ASSERT_EQ(v, noise.valueAt(t));
        sameAsOtherSeed += v == other.valueAt(t);
        sum += v;
        squares += (v - 1.0) * (v - 1.0);
    }
    EXPECT_NEAR(sum / n, 1.0, 0.005);
    EXPECT_NEAR(std::sqrt(squares / n), 0.1, 0.005);
    EXPECT_LT(sameAsOtherSeed, 10);
}

TEST(SignalSource, ParsedFromTextWithHarmonics)
{
    const auto s = SignalSource::Parse("sine:2:1000,h3=0.1");
    ASSERT_TRUE(s);
    EXPECT_EQ(s->waveform(), Waveform::Sine);
    // At a twelfth of the period the fundamental is at half its peak, the third harmonic at its peak.
    EXPECT_NEAR(s->valueAt(1.0 / 12'000), 2 * 0.5 + 0.2, 1e-9);
    const auto dc = SignalSource::Parse("dc:1.5,noise=0.01");
    ASSERT_TRUE(dc);
    EXPECT_NEAR(dc->valueAt(0.001), 1.5, 0.1);
    std::string why;
    for (const char* bad : {"sine:2", "sine:2:0", "saw:1:10", "sine:2:1000,h1=0.5", "sine:2:1000,h3", "dc:x", ""}) {
        EXPECT_FALSE(SignalSource::Parse(bad, &why)) << bad;
        EXPECT_FALSE(why.empty());
    }
}

TEST(AnalogFrontEnd, ConverterInvertsTheHostsConversionAndSaturates)
{
    const CalibrationSet pairs;
    for (const CalibrationPair& pair : {pairs.aNormal, pairs.aAttenuated}) {
        for (int raw = 0; raw < 1024; ++raw)
            ASSERT_EQ(AnalogFrontEnd::VoltsToRaw(RawToVolts(raw, pair), pair), raw);
        EXPECT_EQ(AnalogFrontEnd::VoltsToRaw(100.0, pair), 0);
        EXPECT_EQ(AnalogFrontEnd::VoltsToRaw(-100.0, pair), 1023);
    }
    EXPECT_EQ(AnalogFrontEnd::VoltsToRaw(std::numeric_limits<double>::quiet_NaN(), pairs.aNormal), 0);
}

TEST(AnalogFrontEnd, SelectorCodesPickChannelAndRange)
{
    AnalogScene scene;
    scene.channelA = SignalSource::Dc(1.0);
    scene.channelB = SignalSource::Dc(-1.5);
    const CalibrationSet d;
    struct Case {
        std::uint8_t code;
        bool oldInputs;
        double volts;
        CalibrationPair pair;
    } cases[] = {
        {8, false, 1.0, d.aNormal},     {9, false, -1.5, d.bNormal},   {11, false, 1.0, d.aAttenuated},
        {10, false, -1.5, d.bAttenuated}, {8, true, -1.5, d.bNormal},  {9, true, 1.0, d.aNormal},
        {11, true, 1.0, d.aAttenuated},
    };
    CalibrationRecord record;
    record.bytes.fill(0xFF);
    for (const Case& c : cases) {
        scene.oldInputs = c.oldInputs;
        const AnalogFrontEnd frontEnd(scene, record);
        EXPECT_EQ(frontEnd.sample(c.code, 0.0), AnalogFrontEnd::VoltsToRaw(c.volts, c.pair))
            << "code " << int(c.code) << (c.oldInputs ? " old" : "");
    }
    EXPECT_EQ(AnalogFrontEnd(scene, record).sample(0, 0.0), 512); // nothing behind an unknown code
}

TEST(AnalogFrontEnd, CalibrationRecordPairsAreUsedWhenUsable)
{
    const AnalogScene scene;
    CalibrationRecord blank;
    blank.bytes.fill(0xFF);
    EXPECT_EQ(AnalogFrontEnd(scene, blank).pairs(), CalibrationSet{});

    CalibrationSet own;
    own.aNormal = {2.4, 7.5e-5};
    own.bAttenuated = {23.0, 0.0007};
    own.bNormal = {std::numeric_limits<double>::infinity(), 7e-5}; // damaged
    own.aAttenuated = {22.0, 0.0};                                 // would divide by zero
    CalibrationRecord record;
    record.setPairs(own);
    const CalibrationSet used = AnalogFrontEnd(scene, record).pairs();
    EXPECT_EQ(used.aNormal, own.aNormal);
    EXPECT_EQ(used.bAttenuated, own.bAttenuated);
    EXPECT_EQ(used.bNormal, CalibrationSet{}.bNormal);
    EXPECT_EQ(used.aAttenuated, CalibrationSet{}.aAttenuated);
}

} // namespace
} // namespace tesmar
