#include "setup/portsettings.h"

#include <gtest/gtest.h>

namespace {

// The factory settings (57600 baud, 8 data bits, no parity, one stop bit)
// with one stored text replaced.
PortSettings portSettingsWith(std::string RaceSettings::*field, const std::string &text)
{
    RaceSettings settings;
    applyFactorySettings(settings);
    settings.*field = text;
    return makePortSettings(settings);
}

} // namespace

// Each case replaces one text, so the whole result also shows that the other
// three settings stay as the factory gave them.
TEST(PortSettings, NamesMatchWholeAndCaseSensitivelyAndUnknownNamesFallBack)
{
    using P = Parity;
    using S = StopBits;
    const auto baud = &RaceSettings::baudRate;
    const auto parity = &RaceSettings::parity;
    const auto stop = &RaceSettings::stopBits;
    const auto data = &RaceSettings::dataBits;
    const struct {
        std::string RaceSettings::*field;
        const char *text;
        PortSettings expected;
    } cases[] = {
        {baud, "CBR_57600", {57600, 8, P::None, S::One}},
        {parity, "NOPARITY", {57600, 8, P::None, S::One}},
        {parity, "ODDPARITY", {57600, 8, P::Odd, S::One}},
        {parity, "EVENPARITY", {57600, 8, P::Even, S::One}},
        {parity, "MARKPARITY", {57600, 8, P::Mark, S::One}},
        {stop, "ONESTOPBIT", {57600, 8, P::None, S::One}},
        {stop, "ONE5STOPBITS", {57600, 8, P::None, S::OneAndHalf}},
        {stop, "TWOSTOPBITS", {57600, 8, P::None, S::Two}},
        // Data bits are read as decimal and cut to 8 bits, unchecked.
        {data, "7", {57600, 7, P::None, S::One}},
        {data, "x8", {57600, 0, P::None, S::One}},
        {data, "264", {57600, 8, P::None, S::One}},
        {data, "-1", {57600, 255, P::None, S::One}},
    };
    for (const auto &[field, text, expected] : cases)
        EXPECT_EQ(portSettingsWith(field, text), expected) << '"' << text << '"';

    // An unknown baud rate gives 0, which the driver refuses.
    for (const char *text : {"cbr_57600", "CBR_5760", "CBR_576000", " CBR_57600", "CBR_57600 ", "57600", ""})
        EXPECT_EQ(portSettingsWith(baud, text), (PortSettings{0, 8, P::None, S::One})) << '"' << text << '"';
    for (const char *text : {"SPACEPARITY", "oddparity", "ODDPARITY ", ""})
        EXPECT_EQ(portSettingsWith(parity, text).parity, P::None) << '"' << text << '"';
    for (const char *text : {"twostopbits", "2", ""})
        EXPECT_EQ(portSettingsWith(stop, text).stopBits, S::One) << '"' << text << '"';
}

TEST(PortSettings, EveryBaudRateNameGivesTheRateItSpells)
{
    for (const auto &row : baudRateTable) {
        const std::string name(row.name);
        EXPECT_EQ(portSettingsWith(&RaceSettings::baudRate, name).baudRate, std::stoul(name.substr(4))) << name;
    }
}

#ifndef _WIN32
TEST(SerialDevicePath, ComNamesInAnyLetterCaseMapToTheNumberedTtySDevice)
{
    EXPECT_EQ(serialDevicePath("COM1"), "/dev/ttyS0");
    EXPECT_EQ(serialDevicePath("COM10"), "/dev/ttyS9");
    EXPECT_EQ(serialDevicePath("COM32"), "/dev/ttyS31");
    // A hand-edited file may spell the name as the platform accepts it.
    EXPECT_EQ(serialDevicePath("com1"), "/dev/ttyS0");
    EXPECT_EQ(serialDevicePath("Com7"), "/dev/ttyS6");
    EXPECT_EQ(serialDevicePath("cOm12"), "/dev/ttyS11");
}
#endif

TEST(SerialDevicePath, OtherNamesAreUsedAsDevicePaths)
{
    for (const char *path : {"/dev/ttyUSB0", "/tmp/track", "COM0", "COM01", "COM", "COM1x", "com01", "co", "COM-1",
                             "COM+1", "COM99999999999999999999", " COM1", "/dev/com1", "CÓM1"})
        EXPECT_EQ(serialDevicePath(path), path);
}
