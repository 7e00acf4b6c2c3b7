#include "app/options/OptionVariables.h"
#include "app/options/OptionLists.h"
#include "settings/IniFile.h"

#include <gtest/gtest.h>

#include <string>

namespace tesmar {
namespace {

std::string Written(const OptionVariables& options) {
    IniFile ini;
    WriteOptions(ini, options);
    return ini.text();
}

OptionVariables ReadFrom(const std::string& text, const OptionVariables& start = {}) {
    IniFile ini;
    ini.setText(text);
    OptionVariables options = start;
    ReadOptions(ini, options);
    return options;
}

// Every value away from its default, so that a key that is not read or not written shows.
OptionVariables AllChanged() {
    OptionVariables o;
    o.count_osc_index_buf = 7;
    o.count_osc_sample_pipe = 32768;
    o.count_osc_pass_sample_buf = 48;
    o.count_osc_pass_sample_pipe = 520;
    o.f_snap_trigger_level_ch1 = true;
    o.f_snap_trigger_level_ch2 = true;
    o.osc_force_small_buf = true;
    o.osc_disable_average = false;
    o.osc_avto_on_flt = false;
    o.osc_avto_on_trigger = false;
    o.pnOscViewReadTypeVisible = false;
    o.count_fft_index_buf = 12;
    o.count_fft_sample_pipe = 2048;
    o.fft_disable_average = false;
    o.fft_avto_on_flt = false;
    o.fft_count_kni_ham = 9;
    o.pnFFTViewReadTypeVisible = false;
    o.count_rec_index_disable = 3;
    o.count_rec_index_hide = 30;
    o.rec_disable_average = true;
    o.rec_scale_by_Td = false;
    o.rec_ask_marker_color = false;
    o.rec_ask_marker_coment = false;
    o.rec_fast_calc = false;
    o.rec_draw_no_all_points = false;
    o.rec_hide_time = true;
    o.rec_dynamic_mem = false;
    o.rec_time_in_us = true;
    o.lan_index_buf = 5;
    o.lan_pre_trg_buf = 112;
    o.lan_mem_size_index = 16;
    o.lan_pre_trg_pipe_pr = 97;
    o.lan_ch_ext_smpl = 6;
    o.lan_use_ch_mask = 0xA5;
    o.LanBusAInverse = false;
    o.lan_avto_on_trigger = false;
    o.f_lan_pass_group_find = false;
    o.pnLANViewReadTypeVisible = false;
    return o;
}

TEST(OptionVariables, DefaultsAreWrittenAsTheFileExpectsThem) {
    IniFile ini;
    WriteOptions(ini, OptionVariables{});
    struct Key {
        const char* name;
        long long value;
    };
    const Key defaults[] = {
        {"count_osc_index_buf", 0},
        {"count_osc_sample_pipe", 8192},
        {"count_osc_pass_sample_buf", 100},
        {"count_osc_pass_sample_pipe", 100},
        {"f_snap_trigger_level_ch1", 0},
        {"f_snap_trigger_level_ch2", 0},
        {"osc_force_small_buf", 0},
        {"osc_disable_average", 1},
        {"osc_avto_on_flt", 1},
        {"osc_avto_on_trigger", 1},
        {"pnOscViewReadTypeVisible", 1},
        {"count_fft_index_buf", 0},
        {"count_fft_sample_pipe", 8192},
        {"fft_disable_average", 1},
        {"fft_avto_on_flt", 1},
        {"fft_count_kni_ham", 2},
        {"pnFFTViewReadTypeVisible", 1},
        {"count_rec_index_disable", 32},
        {"count_rec_index_hide", 18},
        {"rec_disable_average", 0},
        {"rec_scale_by_Td", 1},
        {"rec_ask_marker_color", 1},
        {"rec_ask_marker_coment", 1},
        {"rec_fast_calc", 1},
        {"rec_draw_no_all_points", 1},
        {"rec_hide_time", 0},
        {"rec_dynamic_mem", 1},
        {"rec_time_in_us", 0},
        {"lan_index_buf", 24},
        {"lan_pre_trg_buf", 32},
        {"lan_mem_size_index", 4},
        {"lan_pre_trg_pipe_pr", 10},
        {"lan_ch_ext_smpl", 0},
        {"lan_use_ch_mask", 255},
        {"LanBusAInverse", 1},
        {"lan_avto_on_trigger", 1},
        {"f_lan_pass_group_find", 1},
        {"pnLANViewReadTypeVisible", 1},
    };
    ASSERT_EQ(ini.keys("opt").size(), std::size(defaults)) << "a key too many or too few";
    for (const Key& key : defaults) {
        SCOPED_TRACE(key.name);
        ASSERT_TRUE(ini.hasKey("opt", key.name));
        EXPECT_EQ(ini.readString("opt", key.name, "?"), std::to_string(key.value));
    }
    EXPECT_EQ(ini.sections(), std::vector<std::string>{"opt"});
}

TEST(OptionVariables, EveryKeyTravelsThroughTheFile) {
    const OptionVariables changed = AllChanged();
    const std::string text = Written(changed);
    ASSERT_NE(text, Written(OptionVariables{})); // every member differs from its default
    const OptionVariables back = ReadFrom(text);
    EXPECT_EQ(Written(back), text);
    EXPECT_EQ(back.lan_use_ch_mask, 0xA5);
    EXPECT_EQ(back.count_osc_pass_sample_pipe, 520);
    EXPECT_TRUE(back.f_snap_trigger_level_ch2);
    EXPECT_FALSE(back.pnLANViewReadTypeVisible);

    // A rewrite of a file that holds other things leaves them alone.
    IniFile ini;
    ini.setText("; mine\r\n[opt]\r\nlan_index_buf=3\r\nmy_own=1\r\n[main]\r\nx=2\r\n");
    WriteOptions(ini, changed);
    EXPECT_EQ(ini.readInteger("opt", "lan_index_buf", 0), 5);
    EXPECT_EQ(ini.readInteger("opt", "my_own", 0), 1);
    EXPECT_EQ(ini.readInteger("main", "x", 0), 2);
    EXPECT_NE(ini.text().find("; mine"), std::string::npos);
}

TEST(OptionVariables, ValuesThatDoNotConvertOrFitKeepTheValueInForce) {
    // Read on top of the changed set: the value in force is kept, not the default.
    const OptionVariables start = AllChanged();
    const OptionVariables read = ReadFrom(
        "[opt]\r\ncount_osc_index_buf=abc\r\ncount_osc_sample_pipe=0\r\ncount_fft_sample_pipe=-8192\r\n"
        "count_osc_pass_sample_buf=70000\r\nlan_pre_trg_buf=12.5\r\nlan_use_ch_mask=256\r\n"
        "lan_mem_size_index=99999999999\r\nosc_force_small_buf=yes\r\nrec_time_in_us=\r\n"
        "fft_count_kni_ham= \r\n",
        start);
    EXPECT_EQ(Written(read), Written(start));

    // No file, no section: nothing changes.
    EXPECT_EQ(Written(ReadFrom("", start)), Written(start));
    EXPECT_EQ(Written(ReadFrom("[other]\r\nlan_index_buf=1\r\n", start)), Written(start));
}

TEST(OptionVariables, ValuesOutsideTheControlsRangesAreTakenAsTheyStand) {
    struct Case {
        const char* line;
        int OptionVariables::*member;
        int expected;
    };
    const Case cases[] = {
        {"count_osc_pass_sample_buf=3", &OptionVariables::count_osc_pass_sample_buf, 3},
        {"count_osc_pass_sample_pipe=-5", &OptionVariables::count_osc_pass_sample_pipe, -5},
        {"count_osc_sample_pipe=5000", &OptionVariables::count_osc_sample_pipe, 5000},
        {"count_osc_sample_pipe=65536", &OptionVariables::count_osc_sample_pipe, 65536},
        {"count_osc_index_buf=77", &OptionVariables::count_osc_index_buf, 77},
        {"lan_mem_size_index=-1", &OptionVariables::lan_mem_size_index, -1},
        {"fft_count_kni_ham=40", &OptionVariables::fft_count_kni_ham, 40},
        {"lan_ch_ext_smpl=0x9", &OptionVariables::lan_ch_ext_smpl, 9},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        const OptionVariables read = ReadFrom(std::string("[opt]\r\n") + c.line + "\r\n");
        EXPECT_EQ(read.*c.member, c.expected);
    }
    // A mask of no lines is a stored value like any other; the dialog deals with it.
    EXPECT_EQ(ReadFrom("[opt]\r\nlan_use_ch_mask=0\r\n").lan_use_ch_mask, 0);
    EXPECT_TRUE(ReadFrom("[opt]\r\nrec_hide_time=-3\r\n").rec_hide_time); // any non-zero is true
}

TEST(OptionLists, ItemsAndWhatTheyStandFor) {
    ASSERT_EQ(OscBufferPeriodList().size(), 40u);
    ASSERT_EQ(FftBufferRateList().size(), 40u);
    ASSERT_EQ(RecPeriodList().size(), 33u);
    ASSERT_EQ(LanBufferRateList().size(), 28u);
    ASSERT_EQ(LanMemorySizeList().size(), 17u);
    ASSERT_EQ(LanExternalClockList().size(), 8u);

    struct Case {
        std::span<const OptionListItem> list;
        int index;
        const char* text;
        double value; // 0: no limit
    };
    const Case cases[] = {
        {OscBufferPeriodList(), 0, "Все", 0},          {OscBufferPeriodList(), 1, "10 мс", 10e-3},
        {OscBufferPeriodList(), 15, "0,7 мc", 0.7e-3}, {OscBufferPeriodList(), 39, "5 мкс", 5e-6},
        {FftBufferRateList(), 1, "100 ", 100},         {FftBufferRateList(), 17, "7 К   ", 7000},
        {FftBufferRateList(), 39, "200 К", 200e3},     {RecPeriodList(), 0, "10 мс", 10e-3},
        {RecPeriodList(), 18, "0,1 мс", 0.1e-3},       {RecPeriodList(), 32, "5 мкс", 5e-6},
        {LanBufferRateList(), 1, "1 K", 1e3},          {LanBufferRateList(), 24, "250 K", 250e3},
        {LanBufferRateList(), 27, "500 K", 500e3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_STREQ(c.list[c.index].text, c.text);
        const auto value = OptionListValue(c.list, c.index);
        if (c.value == 0) {
            EXPECT_FALSE(value.has_value());
        } else {
            ASSERT_TRUE(value.has_value());
            EXPECT_DOUBLE_EQ(*value, c.value);
        }
    }
    EXPECT_FALSE(OptionListValue(RecPeriodList(), 33).has_value());
    EXPECT_FALSE(OptionListValue(RecPeriodList(), -1).has_value());

    // Periods fall and rates rise along the lists, so a boundary item compares as it reads.
    for (auto list : {OscBufferPeriodList(), RecPeriodList()})
        for (std::size_t i = 2; i < list.size(); ++i)
            EXPECT_LT(list[i].value, list[i - 1].value) << list[i].text;
    for (auto list : {FftBufferRateList(), LanBufferRateList()})
        for (std::size_t i = 2; i < list.size(); ++i)
            EXPECT_GT(list[i].value, list[i - 1].value) << list[i].text;
}

TEST(OptionLists, DepthsAndIndexes) {
    EXPECT_EQ(StreamDepthIndex(8192), 2);
    EXPECT_EQ(StreamDepthIndex(65536), 5);
    EXPECT_FALSE(StreamDepthIndex(5000).has_value());
    const std::pair<int, int> fallbacks[] = {
        {5000, 4096}, {1, 2048}, {65536, 65536}, {100000, 65536}, {2048, 2048}};
    for (const auto& [depth, listed] : fallbacks)
        EXPECT_EQ(StreamDepthInList(depth), listed) << depth;

    EXPECT_EQ(LanMemorySizeBytes(0), 4096);
    EXPECT_EQ(LanMemorySizeBytes(4), 65536);
    EXPECT_EQ(LanMemorySizeBytes(16), 256LL * 1024 * 1024);
    EXPECT_STREQ(LanMemorySizeList()[16], "256 M");
    EXPECT_FALSE(LanMemorySizeBytes(17).has_value());
    EXPECT_FALSE(LanMemorySizeBytes(-1).has_value());

    const std::tuple<int, int, int> clamps[] = {{-3, 8, 0}, {0, 8, 0}, {7, 8, 7}, {8, 8, 7}, {1000, 33, 32}};
    for (const auto& [index, count, expected] : clamps)
        EXPECT_EQ(ClampListIndex(index, count), expected);
}

} // namespace
} // namespace tesmar
