#include "config/settingsflow.h"

#include "config/settingstestsupport.h"

#include <gtest/gtest.h>

namespace {

const std::string kFirstFile = "/home/eva/prvni.ini";

// A program that has already saved the factory settings to kFirstFile, so
// automatic loading is on with that file.
class IniFileFlow : public ::testing::Test {
protected:
    IniFileFlow()
    {
        flow.factorySettingsCommand();
        ui.expectFileToSave(FileKind::Ini, kFirstFile);
        flow.saveIniFile();
    }

    void expectAutoLoadStillOnFirstFile() const
    {
        EXPECT_EQ(flow.flags().iniFilePath, kFirstFile);
        EXPECT_EQ(ui.registryPath, kFirstFile);
        EXPECT_EQ(ui.autoLoadMenuText, "ON");
        EXPECT_EQ(ui.statusTexts.back(), "Data byla úspěšně nahrána.");
        EXPECT_EQ(ui.statusTexts.size(), 2u);
    }

    RaceSettings settings;
    FakeSettingsUi ui;
    SettingsFlow flow{settings, ui};
};

} // namespace

TEST_F(IniFileFlow, SavedFactorySettingsAreTheReferenceFileAndSwitchAutoLoadOn)
{
    EXPECT_EQ(ui.files[kFirstFile], testData("factory.ini"));
    expectAutoLoadStillOnFirstFile();
    EXPECT_TRUE(flow.flags().autoLoadEnabled);
    EXPECT_FALSE(flow.flags().forceAutoLoadOn);
}

TEST_F(IniFileFlow, SavingToAnotherFileMovesAutoLoadToIt)
{
    ui.expectFileToSave(FileKind::Ini, "/media/usb/zavod.ini");
    flow.saveIniFile();
    EXPECT_EQ(ui.files["/media/usb/zavod.ini"], testData("factory.ini"));
    EXPECT_EQ(ui.registryPath, "/media/usb/zavod.ini");
    EXPECT_EQ(flow.flags().iniFilePath, "/media/usb/zavod.ini");
    EXPECT_EQ(ui.autoLoadMenuText, "ON");
}

TEST_F(IniFileFlow, FailedWriteIsReportedAndLeavesAutoLoadAsItWas)
{
    ui.unwritablePaths.insert("/dev/full");
    ui.expectFileToSave(FileKind::Ini, "/dev/full");
    ui.expectMessage(expected::iniFileError());
    flow.saveIniFile();
    expectAutoLoadStillOnFirstFile();
}

TEST_F(IniFileFlow, ValueTheCodePageCannotHoldIsRefusedWithTheFileError)
{
    settings.racerName[2] = "Łukasz ✓";
    ui.expectFileToSave(FileKind::Ini, "/home/eva/druhy.ini");
    ui.expectMessage(expected::iniFileError());
    flow.saveIniFile();
    EXPECT_EQ(ui.files.count("/home/eva/druhy.ini"), 0u);
    expectAutoLoadStillOnFirstFile();
}

TEST_F(IniFileFlow, CancelledFileDialogsChangeNothing)
{
    ui.expectFileToSave(FileKind::Ini, std::nullopt);
    flow.saveIniFile();
    ui.expectFileToOpen(FileKind::Ini, std::nullopt);
    flow.loadIniFile();
    expectAutoLoadStillOnFirstFile();
    EXPECT_EQ(ui.files.size(), 1u);
}

TEST_F(IniFileFlow, LoadReplacesTheSettingsAndMovesAutoLoadToTheFile)
{
    std::string text = testData("factory.ini");
    text.replace(text.find("PocetKol=12"), 11, "PocetKol=30");
    ui.files["/home/eva/dlouhy.ini"] = text;
    ui.expectFileToOpen(FileKind::Ini, "/home/eva/dlouhy.ini");
    flow.loadIniFile();
    EXPECT_EQ(settings.lapsPerRide, "30");
    EXPECT_EQ(ui.registryPath, "/home/eva/dlouhy.ini");
    EXPECT_EQ(ui.autoLoadMenuText, "ON");
}

TEST_F(IniFileFlow, FileThatCannotBeOpenedIsReportedAndLeavesAutoLoadAsItWas)
{
    ui.expectFileToOpen(FileKind::Ini, "/home/eva/smazany.ini");
    ui.expectMessage(expected::iniFileError());
    flow.loadIniFile();
    expectAutoLoadStillOnFirstFile();
}

TEST_F(IniFileFlow, FileOverOneMebibyteIsRefusedWithTheOpenError)
{
    ui.files["/home/eva/obri.ini"] = testData("factory.ini") + std::string(1024 * 1024, ' ');
    ui.expectFileToOpen(FileKind::Ini, "/home/eva/obri.ini");
    ui.expectMessage(expected::iniFileError());
    flow.loadIniFile();
    expectAutoLoadStillOnFirstFile();
}

TEST_F(IniFileFlow, FileLongerThanTenThousandBytesIsReadWhole)
{
    std::string text = testData("factory.ini");
    text.replace(text.find("BarevneSchema=0"), 15, std::string(12000, ';') + "\r\nBarevneSchema=2");
    ui.files["/home/eva/komentare.ini"] = text;
    ui.expectFileToOpen(FileKind::Ini, "/home/eva/komentare.ini");
    flow.loadIniFile();
    EXPECT_EQ(settings.colourScheme, "2");
}

TEST_F(IniFileFlow, MissingKeyIsNamedAndTheFileStillBecomesTheAutoLoadFile)
{
    std::string text = testData("factory.ini");
    text.replace(text.find("PocetKol=12\r\n"), 13, "");
    text.replace(text.find("Zavodnik1=Z"), 11, "Zavodnik1=R");
    ui.files["/home/eva/vadny.ini"] = text;
    ui.expectFileToOpen(FileKind::Ini, "/home/eva/vadny.ini");
    ui.expectMessage(expected::missingKeyError("PocetKol"));
    flow.loadIniFile();
    EXPECT_EQ(settings.racerName[0], "Rávodník 1");
    EXPECT_EQ(ui.registryPath, "/home/eva/vadny.ini");
}

TEST_F(IniFileFlow, IncompleteLoadKeepsTheMarksSoASaveAsksAgain)
{
    ui.expectConfirmedGroup(SettingGroup::Racers, OkButtonRole::Ok, [](RaceSettings &s) { s.racerName.fill(""); });
    flow.settingsCommand(SettingGroup::Racers);
    std::string text = testData("factory.ini");
    text.erase(text.find("BarevneSchema"));
    ui.files["/home/eva/kratky.ini"] = text;
    ui.expectFileToOpen(FileKind::Ini, "/home/eva/kratky.ini");
    ui.expectMessage(expected::missingKeyError("BarevneSchema"));
    flow.loadIniFile();
    EXPECT_EQ(settings.racerName[0], "Závodník 1");
    EXPECT_FALSE(settings.isGroupDone(SettingGroup::Racers));

    ui.expectIncompleteSettings(IncompleteSettingsChoice::Cancel, false);
    ui.expectMessage(expected::abortWarning());
    flow.saveIniFile();
}
