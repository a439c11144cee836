#include "setup/portsettings.h"

#include <gtest/gtest.h>

namespace {

RaceSettings factorySettings()
{
    RaceSettings settings;
    applyFactorySettings(settings);
    return settings;
}

PortSettings withBaudRate(const std::string &name)
{
    RaceSettings settings = factorySettings();
    settings.baudRate = name;
    return makePortSettings(settings);
}

PortSettings withDataBits(const std::string &text)
{
    RaceSettings settings = factorySettings();
    settings.dataBits = text;
    return makePortSettings(settings);
}

} // namespace

TEST(PortSettings, FactoryValuesGive57600EightDataBitsNoParityOneStopBit)
{
    EXPECT_EQ(makePortSettings(factorySettings()), (PortSettings{57600, 8, Parity::None, StopBits::One}));
}

TEST(PortSettings, BaudRateNamesMatchWholeAndCaseSensitively)
{
    EXPECT_EQ(withBaudRate("CBR_14400").baudRate, 14400u);
    EXPECT_EQ(withBaudRate("CBR_19200").baudRate, 19200u);
    EXPECT_EQ(withBaudRate("CBR_110").baudRate, 110u);
    EXPECT_EQ(withBaudRate("CBR_256000").baudRate, 256000u);
    for (const char *unknown : {"cbr_57600", "CBR_5760", "CBR_576000", " CBR_57600", "CBR_57600 ", "57600", ""})
        EXPECT_EQ(withBaudRate(unknown).baudRate, 0u) << '"' << unknown << '"';
}

TEST(PortSettings, BaudRateTableKeepsTheDialogOrder)
{
    const std::vector<std::uint32_t> expected = {110,   300,   600,   1200,  2400,   4800,   9600,  19200,
                                                 14400, 38400, 56000, 57600, 115200, 128000, 256000};
    std::vector<std::uint32_t> rates;
    for (const auto &row : baudRateTable) {
        EXPECT_EQ(row.name, "CBR_" + std::to_string(row.value));
        rates.push_back(row.value);
    }
    EXPECT_EQ(rates, expected);
}

TEST(PortSettings, ParityNamesMapToTheirCodesAndUnknownNamesToNone)
{
    RaceSettings settings = factorySettings();
    const std::pair<const char *, Parity> cases[] = {
        {"NOPARITY", Parity::None},  {"ODDPARITY", Parity::Odd},   {"EVENPARITY", Parity::Even},
        {"MARKPARITY", Parity::Mark}, {"", Parity::None},           {"SPACEPARITY", Parity::None},
        {"oddparity", Parity::None},  {"ODDPARITY ", Parity::None},
    };
    for (const auto &[name, parity] : cases) {
        settings.parity = name;
        EXPECT_EQ(makePortSettings(settings).parity, parity) << '"' << name << '"';
    }
}

TEST(PortSettings, StopBitNamesMapToTheirCodesAndUnknownNamesToOne)
{
    RaceSettings settings = factorySettings();
    const std::pair<const char *, StopBits> cases[] = {
        {"ONESTOPBIT", StopBits::One}, {"ONE5STOPBITS", StopBits::OneAndHalf}, {"TWOSTOPBITS", StopBits::Two},
        {"", StopBits::One},           {"twostopbits", StopBits::One},        {"2", StopBits::One},
    };
    for (const auto &[name, stopBits] : cases) {
        settings.stopBits = name;
        EXPECT_EQ(makePortSettings(settings).stopBits, stopBits) << '"' << name << '"';
    }
}

TEST(PortSettings, DataBitsAreReadAsDecimalAndCutToEightBits)
{
    EXPECT_EQ(withDataBits("8x").dataBits, 8);
    EXPECT_EQ(withDataBits("").dataBits, 0);
    EXPECT_EQ(withDataBits("  7").dataBits, 7);
    EXPECT_EQ(withDataBits("x8").dataBits, 0);
    EXPECT_EQ(withDataBits("264").dataBits, 8);
    EXPECT_EQ(withDataBits("-1").dataBits, 255);
}

TEST(PortSettings, UnknownNamesLeaveTheOtherSettingsAlone)
{
    RaceSettings settings = factorySettings();
    settings.baudRate = "fast";
    settings.parity = "odd";
    settings.stopBits = "one";
    settings.dataBits = "7";
    EXPECT_EQ(makePortSettings(settings), (PortSettings{0, 7, Parity::None, StopBits::One}));
}

#ifndef _WIN32
TEST(SerialDevicePath, ComNamesMapToTheNumberedTtySDevice)
{
    EXPECT_EQ(serialDevicePath("COM1"), "/dev/ttyS0");
    EXPECT_EQ(serialDevicePath("COM10"), "/dev/ttyS9");
    EXPECT_EQ(serialDevicePath("COM32"), "/dev/ttyS31");
}
#endif

TEST(SerialDevicePath, OtherNamesAreUsedAsDevicePaths)
{
    for (const char *path : {"/dev/ttyUSB0", "/tmp/track", "COM0", "COM01", "COM", "COM1x", "com1", "COM-1",
                             "COM+1", "COM99999999999999999999", " COM1"})
        EXPECT_EQ(serialDevicePath(path), path);
}
