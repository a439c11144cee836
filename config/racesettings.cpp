#include "config/racesettings.h"

#include <algorithm>
#include <cctype>
#include <limits>
#include <stdexcept>
#include <utility>

namespace {

constexpr std::array<std::string_view, kSettingCount> kKeys = {
    "Meritko",         "DelkaDrahy", "ZobrazeniZavodniku", "AutomatickePocitaniVyjetiZDrahy",
    "Zavodnik1",       "Logo1",      "Zavodnik2",          "Logo2",
    "Zavodnik3",       "Logo3",      "Zavodnik4",          "Logo4",
    "Zavodnik5",       "Logo5",      "Zavodnik6",          "Logo6",
    "Zavodnik7",       "Logo7",      "Zavodnik8",          "Logo8",
    "PocetKol",        "KomunikacniPort", "RychlostPrenosu", "Parita",
    "PocetBitu",       "StopBity",   "UsporadaniZavodniku", "BarevneSchema",
};

constexpr std::array<std::string_view, kSettingCount> kFactoryValues = {
    "32", "20", "1", "0",
    "Závodník 1", "", "Závodník 2", "",
    "", "", "", "",
    "", "", "", "",
    "", "", "", "",
    "12", "COM1", "CBR_57600", "NOPARITY",
    "8", "ONESTOPBIT", "0", "0",
};

} // namespace

std::string_view settingKey(int index)
{
    return kKeys.at(static_cast<std::size_t>(index));
}

std::string &RaceSettings::at(int index)
{
    return const_cast<std::string &>(std::as_const(*this).at(index));
}

const std::string &RaceSettings::at(int index) const
{
    if (index >= kFirstRacerNameIndex && index < kLapsPerRideIndex) {
        const auto racer = static_cast<std::size_t>((index - kFirstRacerNameIndex) / 2);
        return (index - kFirstRacerNameIndex) % 2 == 0 ? racerName[racer] : racerLogo[racer];
    }
    switch (index) {
    case kScaleIndex: return scale;
    case kTrackLengthIndex: return trackLength;
    case kDisplayOrderIndex: return displayOrder;
    case kAutoOffTrackCountingIndex: return autoOffTrackCounting;
    case kLapsPerRideIndex: return lapsPerRide;
    case kCommPortIndex: return commPort;
    case kBaudRateIndex: return baudRate;
    case kParityIndex: return parity;
    case kDataBitsIndex: return dataBits;
    case kStopBitsIndex: return stopBits;
    case kRacerArrangementIndex: return racerArrangement;
    case kColourSchemeIndex: return colourScheme;
    default: break;
    }
    throw std::out_of_range("setting index out of range");
}

bool RaceSettings::settingsComplete() const
{
    return std::all_of(groupDone.begin(), groupDone.end(), [](bool done) { return done; });
}

int RaceSettings::activeRacerCount() const
{
    return static_cast<int>(std::count_if(racerName.begin(), racerName.end(),
                                          [](const std::string &name) { return !name.empty(); }));
}

void applyFactorySettings(RaceSettings &settings)
{
    for (int i = 0; i < kSettingCount; ++i)
        settings.at(i) = kFactoryValues[static_cast<std::size_t>(i)];
    settings.markAllGroups();
}

DecimalPrefix decimalPrefix(std::string_view text)
{
    std::size_t i = 0;
    while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i])))
        ++i;
    DecimalPrefix prefix;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        prefix.negative = text[i] == '-';
        ++i;
    }
    std::size_t end = i;
    while (end < text.size() && std::isdigit(static_cast<unsigned char>(text[end])))
        ++end;
    prefix.digits = text.substr(i, end - i);
    return prefix;
}

std::int32_t settingToInt(std::string_view text)
{
    const DecimalPrefix prefix = decimalPrefix(text);
    constexpr std::int64_t limit = std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1;
    std::int64_t value = 0;
    for (const char digit : prefix.digits)
        value = std::min(limit, value * 10 + (digit - '0'));
    if (prefix.negative)
        return static_cast<std::int32_t>(-value);
    return static_cast<std::int32_t>(std::min(value, limit - 1));
}

std::string intToSetting(std::int64_t value)
{
    return std::to_string(value);
}
