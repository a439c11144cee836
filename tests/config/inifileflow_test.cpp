#include "support/settingstestsupport.h"

#include <gtest/gtest.h>

namespace {

const std::string kFirstFile = "/home/eva/prvni.ini";

// A program that has already saved the factory settings to kFirstFile, so
// automatic loading is on with that file.
class IniFileFlow : public SettingsFlowTest {
protected:
    IniFileFlow()
    {
        flow.factorySettingsCommand();
        save(kFirstFile);
    }

    void expectAutoLoadStillOnFirstFile() const
    {
        EXPECT_EQ(flow.flags().iniFilePath, kFirstFile);
        EXPECT_EQ(ui.registryPath, kFirstFile);
        EXPECT_EQ(ui.autoLoadMenuText, "ON");
        EXPECT_EQ(ui.statusTexts.back(), "Data byla úspěšně nahrána.");
        EXPECT_EQ(ui.statusTexts.size(), 2u);
    }

    void expectAutoLoadMovedTo(const std::string &path) const
    {
        EXPECT_EQ(flow.flags().iniFilePath, path);
        EXPECT_EQ(ui.registryPath, path);
        EXPECT_EQ(ui.autoLoadMenuText, "ON");
    }
};

} // namespace

TEST_F(IniFileFlow, SavedFactorySettingsAreTheReferenceFileAndSwitchAutoLoadOn)
{
    EXPECT_EQ(ui.files[kFirstFile], testData("factory.ini"));
    expectAutoLoadStillOnFirstFile();
    EXPECT_TRUE(flow.flags().autoLoadEnabled);
    EXPECT_FALSE(flow.flags().forceAutoLoadOn);

    save("/media/usb/zavod.ini");
    EXPECT_EQ(ui.files["/media/usb/zavod.ini"], testData("factory.ini"));
    expectAutoLoadMovedTo("/media/usb/zavod.ini");
}

TEST_F(IniFileFlow, FailedWriteIsReportedAndLeavesAutoLoadAsItWas)
{
    ui.unwritablePaths.insert("/dev/full");
    save("/dev/full", expected::iniFileError);
    expectAutoLoadStillOnFirstFile();
}

TEST_F(IniFileFlow, ValueTheCodePageCannotHoldIsRefusedWithTheFileError)
{
    settings.racerName[2] = "Łukasz ✓";
    save("/home/eva/druhy.ini", expected::iniFileError);
    EXPECT_EQ(ui.files.count("/home/eva/druhy.ini"), 0u);
    expectAutoLoadStillOnFirstFile();
}

TEST_F(IniFileFlow, CancelledFileDialogsChangeNothing)
{
    save(std::nullopt);
    ui.expectFileToOpen(FileKind::Ini, std::nullopt);
    flow.loadIniFile();
    expectAutoLoadStillOnFirstFile();
    EXPECT_EQ(ui.files.size(), 1u);
}

// The second file is longer than 10000 bytes, with comment characters before its
// last key, and is still read whole.
TEST_F(IniFileFlow, LoadReplacesTheSettingsAndMovesAutoLoadToTheFile)
{
    load("/home/eva/dlouhy.ini", factoryIni("PocetKol=12", "PocetKol=30"));
    EXPECT_EQ(settings.lapsPerRide, "30");
    expectAutoLoadMovedTo("/home/eva/dlouhy.ini");

    load("/home/eva/komentare.ini",
         factoryIni("BarevneSchema=0", std::string(12000, ';') + "\r\nBarevneSchema=2"));
    EXPECT_EQ(settings.colourScheme, "2");
    expectAutoLoadMovedTo("/home/eva/komentare.ini");
}

// Like a file that cannot be opened at all, rather than cut short.
TEST_F(IniFileFlow, FileOverOneMebibyteIsRefusedWithTheOpenError)
{
    load("/home/eva/smazany.ini", std::nullopt, expected::iniFileError);
    expectAutoLoadStillOnFirstFile();
    load("/home/eva/obri.ini", testData("factory.ini") + std::string(1024 * 1024, ' '), expected::iniFileError);
    expectAutoLoadStillOnFirstFile();
}

TEST_F(IniFileFlow, MissingKeyIsNamedAndTheFileStillBecomesTheAutoLoadFile)
{
    std::string text = factoryIni("PocetKol=12\r\n", "");
    text.replace(text.find("Zavodnik1=Z"), 11, "Zavodnik1=R");
    load("/home/eva/vadny.ini", text, expected::missingKeyError("PocetKol"));
    EXPECT_EQ(settings.racerName[0], "Rávodník 1");
    expectAutoLoadMovedTo("/home/eva/vadny.ini");
}

TEST_F(IniFileFlow, IncompleteLoadKeepsTheMarksSoASaveAsksAgain)
{
    ui.expectConfirmedGroup(SettingGroup::Racers, OkButtonRole::Ok, [](RaceSettings &s) { s.racerName.fill(""); });
    flow.settingsCommand(SettingGroup::Racers);
    load("/home/eva/kratky.ini", factoryIni("BarevneSchema=0\r\n", ""), expected::missingKeyError("BarevneSchema"));
    EXPECT_EQ(settings.racerName[0], "Závodník 1");
    EXPECT_FALSE(settings.isGroupDone(SettingGroup::Racers));

    ui.expectIncompleteSettings(IncompleteSettingsChoice::Cancel, false);
    ui.expectMessage(expected::abortWarning);
    flow.saveIniFile();
}
