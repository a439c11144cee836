// INI files that a person or another program could hand the load command:
// empty, binary, cut by a zero byte, with line ends of one character, with
// bytes of the Windows-1250 code page that no other encoding reads the same,
// and with bytes the code page leaves undefined. What the user sees, and
// that nothing is lost on the way back to a file.
#include "config/initext.h"
#include "config/settingsflow.h"
#include "config/settingstestsupport.h"

#include <gtest/gtest.h>

#include <array>
#include <optional>

namespace {

using Values = std::array<std::string, kSettingCount>;

Values valuesOf(const RaceSettings &settings)
{
    Values values;
    for (int i = 0; i < kSettingCount; ++i)
        values[static_cast<std::size_t>(i)] = settings.at(i);
    return values;
}

// The factory settings with the racers group not done, so a load that
// changes the marks shows it.
class IniBadInput : public ::testing::Test {
protected:
    IniBadInput()
    {
        flow.factorySettingsCommand();
        settings.markGroup(SettingGroup::Racers, false);
    }

    /// Loads \a bytes as the chosen file; \a message is to follow.
    void load(const std::string &bytes, std::optional<Message> message = std::nullopt)
    {
        ui.files[kPath] = bytes;
        ui.expectFileToOpen(FileKind::Ini, kPath);
        if (message)
            ui.expectMessage(*message);
        flow.loadIniFile();
    }

    void save(const std::string &path, std::optional<Message> message = std::nullopt)
    {
        ui.expectFileToSave(FileKind::Ini, path);
        if (message)
            ui.expectMessage(*message);
        flow.saveIniFile();
    }

    static std::string withLineEnds(const std::string &text, const std::string &lineEnd)
    {
        std::string changed;
        for (std::size_t at = 0; at < text.size(); ++at) {
            if (text.compare(at, 2, "\r\n") == 0) {
                changed += lineEnd;
                ++at;
            } else {
                changed += text[at];
            }
        }
        return changed;
    }

    const std::string kPath = "/home/eva/zavod.ini";
    RaceSettings settings;
    FakeSettingsUi ui;
    SettingsFlow flow{settings, ui};
};

} // namespace

TEST_F(IniBadInput, EmptyBinaryOrZeroLedFilesNameTheFirstKeyAndChangeNothing)
{
    std::string binary;
    for (int i = 0; i < 4096; ++i)
        binary += static_cast<char>((i * 131 + 7) % 256);
    const Values before = valuesOf(settings);
    const auto marksBefore = FakeSettingsUi::marksOf(settings);

    for (const std::string &file : {std::string(), binary, std::string(1, '\0') + testData("factory.ini")}) {
        load(file, expected::missingKeyError("Meritko"));
        EXPECT_EQ(valuesOf(settings), before);
        EXPECT_EQ(FakeSettingsUi::marksOf(settings), marksBefore);
    }
}

// The reader ends a value only at CR LF, as the format says: a file whose
// lines end in LF or CR alone has every key, but each value runs to the end
// of the file and so reads as empty. No message tells the user.
TEST_F(IniBadInput, LinesEndingInOneCharacterGiveEveryKeyAnEmptyValue)
{
    for (const std::string lineEnd : {"\n", "\r"}) {
        flow.factorySettingsCommand();
        load(withLineEnds(testData("factory.ini"), lineEnd));
        EXPECT_EQ(valuesOf(settings), Values{});
        EXPECT_TRUE(settings.settingsComplete());
    }
}

TEST_F(IniBadInput, CzechBytesNoOtherEncodingReadsAlikeAreLoadedAndSavedByteForByte)
{
    // Š š č ř ž ť ů in Windows-1250: none of them is valid UTF-8 on its own.
    std::string file = testData("factory.ini");
    file.replace(file.find("Zavodnik2=Z\xE1vodn\xEDk 2"), 20, "Zavodnik2=\x8A\x9A\xE8\xF8\x9E\x9D\xF9");
    load(file);
    EXPECT_EQ(settings.racerName[1], "Šščřžťů");

    save("/home/eva/kopie.ini");
    EXPECT_EQ(ui.files["/home/eva/kopie.ini"], file);
}

TEST_F(IniBadInput, ByteTheCodePageLeavesUndefinedIsReadAsReplacementAndNeverWrittenBack)
{
    std::string file = testData("factory.ini");
    file.replace(file.find("Zavodnik2=Z\xE1vodn\xEDk 2"), 20, "Zavodnik2=Jan\x81");
    load(file);
    EXPECT_EQ(settings.racerName[1], "Jan\xEF\xBF\xBD");

    save("/home/eva/kopie.ini", expected::iniFileError());
    EXPECT_EQ(ui.files.count("/home/eva/kopie.ini"), 0u);
    EXPECT_EQ(ui.registryPath, kPath) << "automatic loading stays with the file that was read";
}

// A line feed alone inside a value used to count as the start of a line, so a
// "key=" right after it was taken for that key's own line: a file the program
// had saved itself then loaded back with other values.
TEST_F(IniBadInput, KeyAfterALoneLineFeedInAValueIsNoLongerTakenForItsLine)
{
    std::string file = testData("factory.ini");
    file.replace(0, 10, "Meritko=32\nDelkaDrahy=99");
    load(file);
    EXPECT_EQ(settings.scale, "32\nDelkaDrahy=99");
    EXPECT_EQ(settings.trackLength, "20");

    const Values loaded = valuesOf(settings);
    save("/home/eva/kopie.ini");
    RaceSettings reloaded;
    EXPECT_EQ(readIniText(ui.files["/home/eva/kopie.ini"], reloaded), std::nullopt);
    EXPECT_EQ(valuesOf(reloaded), loaded);
}
