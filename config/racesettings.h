// The race configuration: 28 text settings in file order, their factory
// values, the six setting groups with their done marks, and the decimal
// conversions every reader of a numeric setting goes through.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

inline constexpr int kSettingCount = 28;
inline constexpr int kRacerCount = 8;

/// Index of each setting in file order (racer k's name is 4 + 2k, logo 5 + 2k).
enum SettingIndex : int {
    kScaleIndex = 0,
    kTrackLengthIndex = 1,
    kDisplayOrderIndex = 2,
    kAutoOffTrackCountingIndex = 3,
    kFirstRacerNameIndex = 4,
    kLapsPerRideIndex = 20,
    kCommPortIndex = 21,
    kBaudRateIndex = 22,
    kParityIndex = 23,
    kDataBitsIndex = 24,
    kStopBitsIndex = 25,
    kRacerArrangementIndex = 26,
    kColourSchemeIndex = 27,
};

/// The settings groups, named by the command that edits each of them.
enum class SettingGroup : int {
    Track = 40002,
    Display = 40003,
    AutoCounting = 40004,
    Racers = 40005,
    Laps = 40006,
    Communication = 40007,
};
inline constexpr std::array<SettingGroup, 6> kSettingGroups = {
    SettingGroup::Track,  SettingGroup::Display, SettingGroup::AutoCounting,
    SettingGroup::Racers, SettingGroup::Laps,    SettingGroup::Communication,
};

/// The key of setting \a index in an INI file.
std::string_view settingKey(int index);

struct RaceSettings {
    std::string scale;
    std::string trackLength;
    std::string displayOrder;
    std::string autoOffTrackCounting;
    std::array<std::string, kRacerCount> racerName;
    std::array<std::string, kRacerCount> racerLogo;
    std::string lapsPerRide;
    std::string commPort;
    std::string baudRate;
    std::string parity;
    std::string dataBits;
    std::string stopBits;
    std::string racerArrangement;
    std::string colourScheme;

    /// Access in file order, 0 to 27, for the INI reader and writer.
    std::string &at(int index);
    const std::string &at(int index) const;

    bool isGroupDone(SettingGroup group) const { return groupDone[groupSlot(group)]; }
    void markGroup(SettingGroup group, bool done) { groupDone[groupSlot(group)] = done; }
    void markAllGroups() { groupDone.fill(true); }
    /// True when all six groups carry their done mark.
    bool settingsComplete() const;

    /// Racers taking part: those with a non-empty name.
    int activeRacerCount() const;

private:
    static int groupSlot(SettingGroup group) { return static_cast<int>(group) - 40002; }
    // Only the automatic counting group is done from the start.
    std::array<bool, 6> groupDone{false, false, true, false, false, false};
};

/// The status line text after the factory settings were applied.
inline constexpr std::string_view kFactorySettingsLoadedText = "Tovární nastavení bylo úspěšně nahráno.";

/// Replaces all 28 values by the factory values and marks all six groups done.
void applyFactorySettings(RaceSettings &settings);

/// The parts of a decimal text as "%d" reads it: leading white space skipped,
/// an optional sign, then the digits up to the first other character.
struct DecimalPrefix {
    bool negative = false;
    std::string_view digits;
};
DecimalPrefix decimalPrefix(std::string_view text);

/// Decimal reading as "%d" does: leading white space, an optional sign and the
/// digits up to the first other character; no digits give 0. Values beyond the
/// 32-bit range saturate instead of overflowing.
std::int32_t settingToInt(std::string_view text);

/// The decimal text of \a value, as "%d" writes it.
std::string intToSetting(std::int64_t value);
