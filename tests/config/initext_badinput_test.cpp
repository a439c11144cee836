// INI files that a person or another program could hand the load command:
// empty, binary, cut by a zero byte, with line ends of one character, with
// bytes of the Windows-1250 code page that no other encoding reads the same,
// and with bytes the code page leaves undefined. What the user sees, and
// that nothing is lost on the way back to a file.
#include "config/initext.h"
#include "support/settingstestsupport.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

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
        factoryValues_ = valuesOf(settings);
        settings.markGroup(SettingGroup::Racers, false);
    }

    SettingValues factoryValues_;
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

// Editors on other systems end lines with LF or CR alone. Such files used to
// load with every value empty and no message, and the next save wrote the
// empties. Every line end now ends a value, and a save writes CR LF again.
TEST_F(IniBadInput, LinesEndingInLfCrOrAMixLoadEveryValueAndSaveAsCrLf)
{
    const std::string factory = testData("factory.ini");
    const auto withLineEnds = [&factory](const std::vector<std::string> &lineEnds) {
        std::string file;
        std::size_t line = 0;
        for (std::size_t at = 0, end; (end = factory.find("\r\n", at)) != std::string::npos; at = end + 2)
            file += factory.substr(at, end - at) + lineEnds[line++ % lineEnds.size()];
        return file;
    };
    const std::pair<const char *, std::string> files[] = {
        {"LF", withLineEnds({"\n"})},
        {"CR", withLineEnds({"\r"})},
        {"mixed", withLineEnds({"\n", "\r\n", "\r"})},
    };
    for (const auto &[what, file] : files) {
        SCOPED_TRACE(what);
        settings = RaceSettings{};
        ui.files.erase(kCopy);
        load(kPath, file);
        EXPECT_EQ(settings.trackLength, "20");
        EXPECT_EQ(settings.colourScheme, "0");
        EXPECT_EQ(valuesOf(settings), factoryValues_);
        EXPECT_TRUE(settings.settingsComplete());

        save(kCopy);
        EXPECT_EQ(ui.files[kCopy], factory);
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

// A line feed alone inside a value used to count as the start of a line only
// for finding keys, so a file the program had saved itself loaded back with
// other values. A lone line feed now ends the line for keys and values alike,
// and a value holding a line break is never written.
TEST_F(IniBadInput, LoneLineFeedEndsTheLineAndNoValueWithALineBreakIsSaved)
{
    load(kPath, factoryIni("Meritko=32", "Meritko=32\nDelkaDrahy=99"));
    EXPECT_EQ(settings.scale, "32");
    EXPECT_EQ(settings.trackLength, "99");

    for (const char *lineBreak : {"\n", "\r"}) {
        settings.racerName[0] = std::string("Eva") + lineBreak + "DelkaDrahy=5";
        save(kCopy, expected::iniFileError);
        EXPECT_EQ(ui.files.count(kCopy), 0u);
    }
}
