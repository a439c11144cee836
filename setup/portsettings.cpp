#include "setup/portsettings.h"

#include <algorithm>
#include <charconv>

namespace {

template <typename Value, std::size_t N>
Value lookup(const std::array<NamedValue<Value>, N> &table, std::string_view name, Value fallback)
{
    for (const NamedValue<Value> &row : table) {
        if (row.name == name)
            return row.value;
    }
    return fallback;
}

// ASCII letters only, whatever the locale: port names are plain ASCII.
bool startsWithIgnoringCase(std::string_view text, std::string_view upperCasePrefix)
{
    const auto upper = [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; };
    return text.size() >= upperCasePrefix.size() &&
           std::equal(upperCasePrefix.begin(), upperCasePrefix.end(), text.begin(),
                      [&upper](char wanted, char given) { return wanted == upper(given); });
}

} // namespace

PortSettings makePortSettings(const RaceSettings &settings)
{
    PortSettings port;
    port.baudRate = lookup(baudRateTable, settings.baudRate, std::uint32_t{0});
    port.dataBits = static_cast<std::uint8_t>(settingToInt(settings.dataBits) & 0xFF);
    port.stopBits = lookup(stopBitsTable, settings.stopBits, StopBits::One);
    port.parity = lookup(parityTable, settings.parity, Parity::None);
    return port;
}

std::string serialDevicePath(std::string_view commPort)
{
    // The platform's port names ignore letter case: "com1" is "COM1".
    constexpr std::string_view prefix = "COM";
    if (!startsWithIgnoringCase(commPort, prefix))
        return std::string(commPort);
    const std::string_view digits = commPort.substr(prefix.size());
    unsigned number = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), number);
    if (error != std::errc() || end != digits.data() + digits.size() || number == 0 || digits.front() == '0')
        return std::string(commPort);
#ifdef _WIN32
    return std::string(commPort);
#else
    return "/dev/ttyS" + std::to_string(number - 1);
#endif
}
