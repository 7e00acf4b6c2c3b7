#pragma once
// The options of the options dialog that the oscilloscope page reads (section `opt`).

namespace tesmar {

struct OscOptions {
    int count_osc_index_buf = 0;          // buffer boundary: 0 "Все", e ≥ 1 the time-base entry e − 1
    int count_osc_sample_pipe = 8192;     // stream record length per channel
    int count_osc_pass_sample_buf = 100;  // pre-trigger points, buffer reading
    int count_osc_pass_sample_pipe = 100; // pre-trigger points, stream reading
    bool f_snap_trigger_level_ch1 = false; // trigger marker A follows the signal (true) or the screen
    bool f_snap_trigger_level_ch2 = false;
    bool osc_force_small_buf = false;      // 1024/512 instead of 1126/563 points
    bool osc_disable_average = true;       // no higher converter rate with averaging
    bool osc_avto_on_flt = true;           // switch a channel's filter on once it is set
    bool osc_avto_on_trigger = true;       // any trigger button switches the trigger on
    bool pnOscViewReadTypeVisible = true;  // show the Buf/Pipe panel
};

} // namespace tesmar
