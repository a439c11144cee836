// The serial line settings of the lap-counting hardware's port: the three
// name tables that turn the symbolic settings ("CBR_57600", "NOPARITY",
// "ONESTOPBIT") into numbers, the line settings made from RaceSettings, and
// the device a stored port name ("COM3", "/dev/ttyUSB0") stands for.
#pragma once

#include "config/racesettings.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

enum class Parity : std::uint8_t { None = 0, Odd = 1, Even = 2, Mark = 3 };
enum class StopBits : std::uint8_t { One = 0, OneAndHalf = 1, Two = 2 };

template <typename Value>
struct NamedValue {
    std::string_view name;
    Value value;
};

/// In the order the communication dialog lists them (CBR_19200 before CBR_14400).
inline constexpr std::array<NamedValue<std::uint32_t>, 15> baudRateTable = {{
    {"CBR_110", 110},       {"CBR_300", 300},         {"CBR_600", 600},
    {"CBR_1200", 1200},     {"CBR_2400", 2400},       {"CBR_4800", 4800},
    {"CBR_9600", 9600},     {"CBR_19200", 19200},     {"CBR_14400", 14400},
    {"CBR_38400", 38400},   {"CBR_56000", 56000},     {"CBR_57600", 57600},
    {"CBR_115200", 115200}, {"CBR_128000", 128000},   {"CBR_256000", 256000},
}};

/// Space parity is not offered.
inline constexpr std::array<NamedValue<Parity>, 4> parityTable = {{
    {"NOPARITY", Parity::None},
    {"EVENPARITY", Parity::Even},
    {"MARKPARITY", Parity::Mark},
    {"ODDPARITY", Parity::Odd},
}};

inline constexpr std::array<NamedValue<StopBits>, 3> stopBitsTable = {{
    {"ONESTOPBIT", StopBits::One},
    {"ONE5STOPBITS", StopBits::OneAndHalf},
    {"TWOSTOPBITS", StopBits::Two},
}};

/// The line settings handed to the serial driver. Flow control is always
/// off and the DTR and RTS lines are never raised, so they have no fields.
struct PortSettings {
    /// 0 when the stored name matched no row; the driver refuses it.
    std::uint32_t baudRate = 0;
    /// The stored count cut to 8 bits, unchecked: the driver judges it.
    std::uint8_t dataBits = 0;
    Parity parity = Parity::None;
    StopBits stopBits = StopBits::One;

    bool operator==(const PortSettings &) const = default;
};

/// Reads the four line settings of \a settings. Names are compared whole and
/// case-sensitively; an unknown baud rate gives 0, an unknown parity none and
/// an unknown stop-bit name one stop bit.
PortSettings makePortSettings(const RaceSettings &settings);

/// The device to open for the stored port name: "COMn" in any letter case (n
/// from 1, no leading zero) is the n-th serial port of this platform (COMn on Windows,
/// /dev/ttyS(n-1) elsewhere); any other text is already a device path.
std::string serialDevicePath(std::string_view commPort);
