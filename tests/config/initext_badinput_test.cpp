// INI files that a person or another program could hand the load command:
// empty, binary, cut by a zero byte, with line ends of one character, with
// bytes of the Windows-1250 code page that no other encoding reads the same,
// and with bytes the code page leaves undefined. What the user sees, and
// that nothing is lost on the way back to a file.
#include "config/initext.h"
#include "config/settingstestsupport.h"

#include <gtest/gtest.h>

namespace {

const std::string kPath = "/home/eva/zavod.ini";
const std::string kCopy = "/home/eva/kopie.ini";

// The factory settings with the racers group not done, so a load that
// changes the marks shows it.
class IniBadInput : public SettingsFlowTest {
protected:
    IniBadInput()
    {
        flow.factorySettingsCommand();
        settings.markGroup(SettingGroup::Racers, false);
    }
};

} // namespace

TEST_F(IniBadInput, EmptyBinaryOrZeroLedFilesNameTheFirstKeyAndChangeNothing)
{
    std::string binary;
    for (int i = 0; i < 4096; ++i)
        binary += static_cast<char>((i * 131 + 7) % 256);
    const SettingValues before = valuesOf(settings);
    const auto marksBefore = FakeSettingsUi::marksOf(settings);

    for (const std::string &file : {std::string(), binary, factoryIni("", std::string(1, '\0'))}) {
        load(kPath, file, expected::missingKeyError("Meritko"));
        EXPECT_EQ(valuesOf(settings), before);
        EXPECT_EQ(FakeSettingsUi::marksOf(settings), marksBefore);
    }
}

// The reader ends a value only at CR LF, as the format says: a file whose
// lines end in LF or CR alone has every key, but each value runs to the end
// of the file and so reads as empty. No message tells the user.
TEST_F(IniBadInput, LinesEndingInOneCharacterGiveEveryKeyAnEmptyValue)
{
    for (const char *lineEnd : {"\n", "\r"}) {
        std::string file = testData("factory.ini");
        for (std::size_t at; (at = file.find("\r\n")) != std::string::npos;)
            file.replace(at, 2, lineEnd);
        flow.factorySettingsCommand();
        load(kPath, file);
        EXPECT_EQ(valuesOf(settings), SettingValues{});
        EXPECT_TRUE(settings.settingsComplete());
    }
}

TEST_F(IniBadInput, CzechBytesNoOtherEncodingReadsAlikeAreLoadedAndSavedByteForByte)
{
    // Š š č ř ž ť ů in Windows-1250: none of them is valid UTF-8 on its own.
    const std::string file = factoryIni("Zavodnik2=Z\xE1vodn\xEDk 2", "Zavodnik2=\x8A\x9A\xE8\xF8\x9E\x9D\xF9");
    load(kPath, file);
    EXPECT_EQ(settings.racerName[1], "Šščřžťů");

    save(kCopy);
    EXPECT_EQ(ui.files[kCopy], file);
}

TEST_F(IniBadInput, ByteTheCodePageLeavesUndefinedIsReadAsReplacementAndNeverWrittenBack)
{
    load(kPath, factoryIni("Zavodnik2=Z\xE1vodn\xEDk 2", "Zavodnik2=Jan\x81"));
    EXPECT_EQ(settings.racerName[1], "Jan\xEF\xBF\xBD");

    save(kCopy, expected::iniFileError);
    EXPECT_EQ(ui.files.count(kCopy), 0u);
    EXPECT_EQ(ui.registryPath, kPath) << "automatic loading stays with the file that was read";
}

// A line feed alone inside a value used to count as the start of a line, so a
// "key=" right after it was taken for that key's own line: a file the program
// had saved itself then loaded back with other values.
TEST_F(IniBadInput, KeyAfterALoneLineFeedInAValueIsNoLongerTakenForItsLine)
{
    load(kPath, factoryIni("Meritko=32", "Meritko=32\nDelkaDrahy=99"));
    EXPECT_EQ(settings.scale, "32\nDelkaDrahy=99");
    EXPECT_EQ(settings.trackLength, "20");

    const SettingValues loaded = valuesOf(settings);
    save(kCopy);
    RaceSettings reloaded;
    EXPECT_EQ(readIniText(ui.files[kCopy], reloaded), std::nullopt);
    EXPECT_EQ(valuesOf(reloaded), loaded);
}
