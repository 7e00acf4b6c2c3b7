#pragma once
// The program-wide options of the four pages, each under the name of its settings key in
// section `opt` and starting at its default. The oscilloscope's share is the record its page
// reads; the other pages read the rest by name.

#include "osc/OscOptions.h"

#include <cstdint>

namespace tesmar {

class IniFile;

struct OptionVariables : OscOptions {
    // Spectrum analyser
    int count_fft_index_buf = 0;      // buffer boundary: 0 "Все", e ≥ 1 the rate knob entry e − 1
    int count_fft_sample_pipe = 8192; // stream record length per channel
    bool fft_disable_average = true;  // no higher converter rate with averaging
    bool fft_avto_on_flt = true;      // switch a channel's filter on once it is set
    int fft_count_kni_ham = 2;        // harmonics summed into the distortion factor
    bool pnFFTViewReadTypeVisible = true;

    // Recorder
    int count_rec_index_disable = 32; // item of the period list: shortest period allowed ("5 мкс")
    int count_rec_index_hide = 18;    // item of the period list: shortest period drawn live ("0,1 мс")
    bool rec_disable_average = false;
    bool rec_scale_by_Td = true;
    bool rec_ask_marker_color = true;
    bool rec_ask_marker_coment = true;
    bool rec_fast_calc = true;
    bool rec_draw_no_all_points = true;
    bool rec_hide_time = false;
    bool rec_dynamic_mem = true;
    bool rec_time_in_us = false;

    // Logic analyser
    int lan_index_buf = 24;              // buffer boundary item ("250 K")
    int lan_pre_trg_buf = 32;            // pre-trigger bytes, buffer reading
    int lan_mem_size_index = 4;          // stream depth item ("64 K")
    int lan_pre_trg_pipe_pr = 10;        // pre-trigger share of the stream depth, percent
    int lan_ch_ext_smpl = 0;             // external clock line B.0 … B.7
    std::uint8_t lan_use_ch_mask = 0xFF; // bit k: line A.k of a stream capture is drawn
    bool LanBusAInverse = true;
    bool lan_avto_on_trigger = true;
    bool f_lan_pass_group_find = true;
    bool pnLANViewReadTypeVisible = true;
};

// Reads section `opt`. A missing key, or a value that does not convert or does not fit its
// type, keeps the value in force; other values are taken as they stand, even outside the
// range of their control.
void ReadOptions(const IniFile& ini, OptionVariables& options);
// Writes every key of section `opt`.
void WriteOptions(IniFile& ini, const OptionVariables& options);

} // namespace tesmar
