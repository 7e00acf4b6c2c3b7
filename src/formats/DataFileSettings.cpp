#include "formats/DataFileSettings.h"

#include "formats/DataFileBytes.h"

namespace tesmar {

namespace {

constexpr std::size_t kReservedTail = 1024;

void Header(DataFileByteWriter& w, DataFilePage page, int length, double sampling, std::uint16_t zoom)
{
    w.u8(static_cast<std::uint8_t>(page));
    w.i32(length);
    w.u8(kDataFileFormatMark);
    w.f64(sampling);
    w.u16(zoom);
}

void Limits(DataFileByteWriter& w, const AxisLimits& axis)
{
    w.f64(axis.max);
    w.f64(axis.min);
}

AxisLimits ReadLimits(const DataFileFieldReader& r, std::size_t offset) { return {r.f64(offset), r.f64(offset + 8)}; }

void Params(DataFileByteWriter& w, const StoredSignalParams& params)
{
    for (double value : params)
        w.f64(value);
}

StoredSignalParams ReadParams(const DataFileFieldReader& r, std::size_t offset)
{
    StoredSignalParams params{};
    for (std::size_t k = 0; k < params.size(); ++k)
        params[k] = r.f64(offset + 8 * k);
    return params;
}

} // namespace

void WriteSettingsChunk(const OscSettingsChunk& c, std::vector<std::uint8_t>& out)
{
    DataFileByteWriter w(out);
    Header(w, DataFilePage::Oscilloscope, kOscSettingsLength, c.samplePeriod, c.cbOscZoom);
    w.boolean(c.sbOscOnCh1);
    w.boolean(c.sbOscOnCh2);
    w.u16(c.knOscCh1);
    w.u16(c.knOscCh2);
    w.f64(c.triggerLevelA);
    w.f64(c.triggerLevelB);
    w.f64(c.firstTimeA);
    w.f64(c.firstTimeB);
    Limits(w, c.leftAxis);
    Limits(w, c.rightAxis);
    Limits(w, c.timeAxis);
    Params(w, c.paramsA);
    Params(w, c.paramsB);
    w.zeros(kReservedTail);
}

OscSettingsChunk ReadOscSettings(std::span<const std::uint8_t> chunk)
{
    const DataFileFieldReader r(chunk);
    OscSettingsChunk c;
    c.samplePeriod = r.f64(6);
    c.cbOscZoom = r.u16(14);
    c.sbOscOnCh1 = r.boolean(16);
    c.sbOscOnCh2 = r.boolean(17);
    c.knOscCh1 = r.u16(18);
    c.knOscCh2 = r.u16(20);
    c.triggerLevelA = r.f64(22);
    c.triggerLevelB = r.f64(30);
    c.firstTimeA = r.f64(38);
    c.firstTimeB = r.f64(46);
    c.leftAxis = ReadLimits(r, 54);
    c.rightAxis = ReadLimits(r, 70);
    c.timeAxis = ReadLimits(r, 86);
    c.paramsA = ReadParams(r, 102);
    c.paramsB = ReadParams(r, 142);
    return c;
}

void WriteSettingsChunk(const SpectrumSettingsChunk& c, std::vector<std::uint8_t>& out)
{
    DataFileByteWriter w(out);
    Header(w, DataFilePage::Spectrum, kSpectrumSettingsLength, c.sampleRate, c.cbFFTZoom);
    w.boolean(c.sbFFTOnCh1);
    w.boolean(c.sbFFTOnCh2);
    w.boolean(c.spbtFFTCh1dB);
    w.boolean(c.spbtFFTCh10dB);
    w.boolean(c.spbtFFTCh2dB);
    w.boolean(c.spbtFFTCh20dB);
    w.u16(c.knFFTCh1);
    w.u16(c.knFFTCh2);
    Limits(w, c.leftAxis);
    Limits(w, c.rightAxis);
    Limits(w, c.frequencyAxis);
    Params(w, c.paramsA);
    Params(w, c.paramsB);
    for (double value : c.summary)
        w.f64(value);
    w.boolean(c.cbFFTKNIMax);
    for (const std::string* text : {&c.edFFTKNIF, &c.lbFFTKNI1Ch1, &c.lbFFTKNI3Ch1, &c.lbFFTF1Ch1, &c.lbFFTKNI1Ch2,
                                    &c.lbFFTKNI3Ch2, &c.lbFFTF1Ch2})
        w.text(*text, 9);
    w.zeros(kReservedTail);
}

SpectrumSettingsChunk ReadSpectrumSettings(std::span<const std::uint8_t> chunk)
{
    const DataFileFieldReader r(chunk);
    SpectrumSettingsChunk c;
    c.sampleRate = r.f64(6);
    c.cbFFTZoom = r.u16(14);
    c.sbFFTOnCh1 = r.boolean(16);
    c.sbFFTOnCh2 = r.boolean(17);
    c.spbtFFTCh1dB = r.boolean(18);
    c.spbtFFTCh10dB = r.boolean(19);
    c.spbtFFTCh2dB = r.boolean(20);
    c.spbtFFTCh20dB = r.boolean(21);
    c.knFFTCh1 = r.u16(22);
    c.knFFTCh2 = r.u16(24);
    c.leftAxis = ReadLimits(r, 26);
    c.rightAxis = ReadLimits(r, 42);
    c.frequencyAxis = ReadLimits(r, 58);
    c.paramsA = ReadParams(r, 74);
    c.paramsB = ReadParams(r, 114);
    for (std::size_t k = 0; k < c.summary.size(); ++k)
        c.summary[k] = r.f64(154 + 8 * k);
    c.cbFFTKNIMax = r.boolean(202);
    std::string* texts[] = {&c.edFFTKNIF, &c.lbFFTKNI1Ch1, &c.lbFFTKNI3Ch1, &c.lbFFTF1Ch1,
                            &c.lbFFTKNI1Ch2, &c.lbFFTKNI3Ch2, &c.lbFFTF1Ch2};
    for (std::size_t k = 0; k < 7; ++k)
        *texts[k] = r.text(203 + 10 * k, 9);
    return c;
}

void WriteSettingsChunk(const RecorderSettingsChunk& c, std::vector<std::uint8_t>& out)
{
    DataFileByteWriter w(out);
    Header(w, DataFilePage::Recorder, kRecorderSettingsLength, c.samplePeriod, c.cbRecZoom);
    w.boolean(c.sbRecOnCh1);
    w.boolean(c.sbRecOnCh2);
    w.u16(c.knRecTimeDiv);
    w.u16(c.knRecCh1);
    w.u16(c.knRecCh2);
    Limits(w, c.leftAxis);
    Limits(w, c.rightAxis);
    Limits(w, c.timeAxis);
    w.text(c.lbRecRunTime, 12);
    for (const std::string* text : {&c.lbRecUmaxCh1, &c.lbRecUminCh1, &c.lbRecUsrCh1, &c.lbRecUmaxCh2,
                                    &c.lbRecUminCh2, &c.lbRecUsrCh2})
        w.text(*text, 9);
    for (const RecorderMarkerSlot& slot : c.markers) {
        if (!slot.exists) {
            w.zeros(142);
            continue;
        }
        w.boolean(true);
        w.text(slot.comment, 128);
        w.u32(slot.colour);
        w.f64(slot.position);
    }
    w.zeros(kReservedTail);
}

RecorderSettingsChunk ReadRecorderSettings(std::span<const std::uint8_t> chunk)
{
    const DataFileFieldReader r(chunk);
    RecorderSettingsChunk c;
    c.samplePeriod = r.f64(6);
    c.cbRecZoom = r.u16(14);
    c.sbRecOnCh1 = r.boolean(16);
    c.sbRecOnCh2 = r.boolean(17);
    c.knRecTimeDiv = r.u16(18);
    c.knRecCh1 = r.u16(20);
    c.knRecCh2 = r.u16(22);
    c.leftAxis = ReadLimits(r, 24);
    c.rightAxis = ReadLimits(r, 40);
    c.timeAxis = ReadLimits(r, 56);
    c.lbRecRunTime = r.text(72, 12);
    std::string* texts[] = {&c.lbRecUmaxCh1, &c.lbRecUminCh1, &c.lbRecUsrCh1,
                            &c.lbRecUmaxCh2, &c.lbRecUminCh2, &c.lbRecUsrCh2};
    for (std::size_t k = 0; k < 6; ++k)
        *texts[k] = r.text(85 + 10 * k, 9);
    for (std::size_t k = 0; k < c.markers.size(); ++k) {
        const std::size_t slot = 145 + 142 * k;
        RecorderMarkerSlot& marker = c.markers[k];
        marker.exists = r.u8(slot) == 1;
        if (!marker.exists)
            continue;
        marker.comment = r.text(slot + 1, 128);
        marker.colour = r.u32(slot + 130);
        marker.position = r.f64(slot + 134);
    }
    return c;
}

void WriteSettingsChunk(const LogicSettingsChunk& c, std::vector<std::uint8_t>& out)
{
    DataFileByteWriter w(out);
    Header(w, DataFilePage::Logic, kLogicSettingsLength, c.sampleRate, c.cbLANZoom);
    w.boolean(c.sbLANModeBusG);
    w.boolean(c.sbLANModeBusA);
    w.u8(c.modeByte);
    w.u8(c.displayMask);
    w.f64(c.timeUnitFactor);
    w.f64(c.firstSampleTime);
    Limits(w, c.timeAxis);
    w.zeros(kReservedTail);
}

LogicSettingsChunk ReadLogicSettings(std::span<const std::uint8_t> chunk)
{
    const DataFileFieldReader r(chunk);
    LogicSettingsChunk c;
    c.sampleRate = r.f64(6);
    c.cbLANZoom = r.u16(14);
    c.sbLANModeBusG = r.boolean(16);
    c.sbLANModeBusA = r.boolean(17);
    c.modeByte = r.u8(18);
    c.displayMask = r.u8(19);
    c.timeUnitFactor = r.f64(20);
    c.firstSampleTime = r.f64(28);
    c.timeAxis = ReadLimits(r, 36);
    return c;
}

} // namespace tesmar
