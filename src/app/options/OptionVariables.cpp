#include "app/options/OptionVariables.h"

#include "settings/IniFile.h"

#include <cstdint>
#include <limits>

namespace tesmar {
namespace {

constexpr const char* kSection = "opt";

// What an integer key may hold; a stored value outside it is treated like one that does not
// convert.
struct IntRange {
    long long lowest;
    long long highest;
};

constexpr IntRange kInt32{std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()};
constexpr IntRange kInt16{std::numeric_limits<std::int16_t>::min(), std::numeric_limits<std::int16_t>::max()};
// A stream depth sizes the page's record arrays: no depth below one point or beyond the
// largest the list offers, for which the readers are built.
constexpr IntRange kStreamDepth{1, 65536};

// Every key of the section, in the order of the file, with its member.
template <class Options, class Visitor> void VisitOptions(Options& o, Visitor&& visit) {
    visit("count_osc_index_buf", o.count_osc_index_buf, kInt32);
    visit("count_osc_sample_pipe", o.count_osc_sample_pipe, kStreamDepth);
    visit("count_osc_pass_sample_buf", o.count_osc_pass_sample_buf, kInt16);
    visit("count_osc_pass_sample_pipe", o.count_osc_pass_sample_pipe, kInt16);
    visit("f_snap_trigger_level_ch1", o.f_snap_trigger_level_ch1);
    visit("f_snap_trigger_level_ch2", o.f_snap_trigger_level_ch2);
    visit("osc_force_small_buf", o.osc_force_small_buf);
    visit("osc_disable_average", o.osc_disable_average);
    visit("osc_avto_on_flt", o.osc_avto_on_flt);
    visit("osc_avto_on_trigger", o.osc_avto_on_trigger);
    visit("pnOscViewReadTypeVisible", o.pnOscViewReadTypeVisible);

    visit("count_fft_index_buf", o.count_fft_index_buf, kInt32);
    visit("count_fft_sample_pipe", o.count_fft_sample_pipe, kStreamDepth);
    visit("fft_disable_average", o.fft_disable_average);
    visit("fft_avto_on_flt", o.fft_avto_on_flt);
    visit("fft_count_kni_ham", o.fft_count_kni_ham, kInt32);
    visit("pnFFTViewReadTypeVisible", o.pnFFTViewReadTypeVisible);

    visit("count_rec_index_disable", o.count_rec_index_disable, kInt32);
    visit("count_rec_index_hide", o.count_rec_index_hide, kInt32);
    visit("rec_disable_average", o.rec_disable_average);
    visit("rec_scale_by_Td", o.rec_scale_by_Td);
    visit("rec_ask_marker_color", o.rec_ask_marker_color);
    visit("rec_ask_marker_coment", o.rec_ask_marker_coment);
    visit("rec_fast_calc", o.rec_fast_calc);
    visit("rec_draw_no_all_points", o.rec_draw_no_all_points);
    visit("rec_hide_time", o.rec_hide_time);
    visit("rec_dynamic_mem", o.rec_dynamic_mem);
    visit("rec_time_in_us", o.rec_time_in_us);

    visit("lan_index_buf", o.lan_index_buf, kInt32);
    visit("lan_pre_trg_buf", o.lan_pre_trg_buf, kInt16);
    visit("lan_mem_size_index", o.lan_mem_size_index, kInt32);
    visit("lan_pre_trg_pipe_pr", o.lan_pre_trg_pipe_pr, kInt16);
    visit("lan_ch_ext_smpl", o.lan_ch_ext_smpl, kInt32);
    visit("lan_use_ch_mask", o.lan_use_ch_mask);
    visit("LanBusAInverse", o.LanBusAInverse);
    visit("lan_avto_on_trigger", o.lan_avto_on_trigger);
    visit("f_lan_pass_group_find", o.f_lan_pass_group_find);
    visit("pnLANViewReadTypeVisible", o.pnLANViewReadTypeVisible);
}

struct KeyReader {
    const IniFile& ini;

    void operator()(const char* key, int& value, IntRange range) const {
        const long long read = ini.readInteger(kSection, key, value);
        if (read >= range.lowest && read <= range.highest)
            value = static_cast<int>(read);
    }
    void operator()(const char* key, bool& value) const { value = ini.readBool(kSection, key, value); }
    void operator()(const char* key, std::uint8_t& mask) const {
        const long long read = ini.readInteger(kSection, key, mask);
        if (read >= 0 && read <= 0xFF)
            mask = static_cast<std::uint8_t>(read);
    }
};

struct KeyWriter {
    IniFile& ini;

    void operator()(const char* key, int value, IntRange) const { ini.writeInteger(kSection, key, value); }
    void operator()(const char* key, bool value) const { ini.writeBool(kSection, key, value); }
    void operator()(const char* key, std::uint8_t mask) const { ini.writeInteger(kSection, key, mask); }
};

} // namespace

void ReadOptions(const IniFile& ini, OptionVariables& options) {
    VisitOptions(options, KeyReader{ini});
}

void WriteOptions(IniFile& ini, const OptionVariables& options) {
    VisitOptions(options, KeyWriter{ini});
}

} // namespace tesmar
