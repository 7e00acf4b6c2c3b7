#include "settings/SystemSettings.h"
#include "settings/IniFile.h"

#include <gtest/gtest.h>

namespace tesmar {
namespace {

TEST(SystemSettings, MissingSectionKeepsDefaults) {
    IniFile ini;
    SystemSettings s;
    ReadSystemSettings(ini, s);
    EXPECT_EQ(s.usbWrTimeout, 50);
    EXPECT_EQ(s.usbRdTimeout, 50);
    EXPECT_EQ(s.usbResetTimeout, 50);
    EXPECT_EQ(s.waitResetTrigger, 300);
    EXPECT_FALSE(s.showExchangeError);
    EXPECT_FALSE(s.eightBit);
    EXPECT_FALSE(s.old);
}

TEST(SystemSettings, ReadsEveryKeyAndKeepsValuesForBadOnes) {
    IniFile ini;
    ini.setText("[System]\nusb_wr_timeout=0x64\nusb_rd_timeout=7x\nusb_reset_timeout=99999\n"
                "wait_reset_trigger=-5\nshow_exchange_error=2\n8bit=1\nOLD=1\n");
    SystemSettings s;
    s.usbRdTimeout = 77;
    ReadSystemSettings(ini, s);
    EXPECT_EQ(s.usbWrTimeout, 100);
    EXPECT_EQ(s.usbRdTimeout, 77); // unreadable: the value in force stays
    EXPECT_EQ(s.usbResetTimeout, 65535);
    EXPECT_EQ(s.waitResetTrigger, 0);
    EXPECT_TRUE(s.showExchangeError);
    EXPECT_TRUE(s.eightBit);
    EXPECT_TRUE(s.old);
}

TEST(SystemSettings, WriteLeavesReadOnlySwitchesAlone) {
    IniFile ini;
    ini.setText("[system]\n8bit=1\n");
    SystemSettings s;
    s.usbRdTimeout = 120;
    s.showExchangeError = true;
    s.eightBit = false;
    s.old = true;
    WriteSystemSettings(ini, s);
    EXPECT_EQ(ini.readString("system", "8bit", ""), "1");
    EXPECT_FALSE(ini.hasKey("system", "old"));
    EXPECT_EQ(ini.readString("system", "usb_rd_timeout", ""), "120");
    EXPECT_EQ(ini.readString("system", "show_exchange_error", ""), "1");
    SystemSettings back;
    ReadSystemSettings(ini, back);
    EXPECT_EQ(back.usbRdTimeout, 120);
    EXPECT_TRUE(back.showExchangeError);
}

} // namespace
} // namespace tesmar
