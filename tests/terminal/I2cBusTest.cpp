// The virtual instrument's I2C bus: the EEPROM at 0x50 and the simulated master.

#include "sim/I2cBus.h"

#include <gtest/gtest.h>

#include <string>

using namespace tesmar;

TEST(I2cBus, EepromStoresFromTheWordAddressWithinItsPage) {
    I2cBus bus;
    const std::uint8_t write[] = {0x1C, 1, 2, 3, 4, 5, 6}; // the page 0x10 … 0x1F ends after 4 bytes
    EXPECT_EQ(bus.masterWrite(0x50, write, sizeof write), sizeof write);
    EXPECT_EQ(bus.eeprom()[0x1C], 1);
    EXPECT_EQ(bus.eeprom()[0x1F], 4);
    EXPECT_EQ(bus.eeprom()[0x10], 5); // wrapped to the page's start
    EXPECT_EQ(bus.eeprom()[0x11], 6);
    EXPECT_EQ(bus.eeprom()[0x20], 0xFF);
    EXPECT_EQ(bus.eepromPointer(), 0x12);

    const std::uint8_t address[] = {0x1C};
    bus.masterWrite(0x50, address, 1);
    std::vector<std::uint8_t> read;
    EXPECT_EQ(bus.masterRead(0x50, 6, read), 6u);
    EXPECT_EQ(read, (std::vector<std::uint8_t>{1, 2, 3, 4, 0xFF, 0xFF}));

    // A read runs on over the end of the memory to its start.
    const std::uint8_t last[] = {0xFE};
    bus.masterWrite(0x50, last, 1);
    bus.masterRead(0x50, 3, read);
    EXPECT_EQ(read, (std::vector<std::uint8_t>{0xFF, 0xFF, 0xFF}));
    EXPECT_EQ(bus.eepromPointer(), 1);
}

TEST(I2cBus, OtherAddressesAreNotAcknowledged) {
    I2cBus bus;
    const std::uint8_t write[] = {0, 9};
    EXPECT_EQ(bus.masterWrite(0x51, write, 2), 0u);
    std::vector<std::uint8_t> read{1};
    EXPECT_EQ(bus.masterRead(0x00, 4, read), 0u);
    EXPECT_TRUE(read.empty());
    EXPECT_EQ(bus.eeprom()[0], 0xFF);
}

TEST(I2cBus, SimulatedMaster) {
    I2cBus bus;
    EXPECT_TRUE(I2cBus::addressedAsSlave(0));
    EXPECT_TRUE(I2cBus::addressedAsSlave(0x42));
    EXPECT_FALSE(I2cBus::addressedAsSlave(0x43));
    std::vector<std::uint8_t> got;
    const std::string first = "Message 1 from the I2C master\r\n";
    EXPECT_EQ(bus.slaveReceive(1024, got), first.size());
    EXPECT_EQ(std::string(got.begin(), got.end()), first);
    EXPECT_EQ(bus.slaveReceive(7, got), 7u);
    EXPECT_EQ(std::string(got.begin(), got.end()), "Message");

    std::vector<std::uint8_t> offered(100, 0x5A);
    EXPECT_EQ(bus.slaveTransmit(offered.data(), 10), 10u);
    EXPECT_EQ(bus.slaveTransmit(offered.data(), 100), I2cBus::kMasterReadLimit);
    EXPECT_EQ(bus.masterReceived().size(), I2cBus::kMasterReadLimit);
}
