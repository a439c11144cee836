// The report files on disk: written for a race found interrupted at start-up
// (every lap kept before the cut), rebuilt for a race folder, refused with a
// clear reason for a bad one, and written beside a saved results file
// without touching it.
#include "support/settingstestsupport.h"
#include "engine/resultsfile.h"
#include "platform/codec.h"
#include "record/journalreader.h"
#include "support/journaltestsupport.h"
#include "record/reportfiles.h"
#include "record/reportlog.h"
#include "record/startuprecovery.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace fs = std::filesystem;

namespace {

const fs::path kFixtures = fs::path(TRAMELO_TEST_DATA_DIR) / "report";

class ReportFiles : public TempFolder {
protected:
    fs::path copyOfFixture(const std::string &name)
    {
        const fs::path folder = dir / "races" / "2026-12-07_19-30-05";
        fs::create_directories(folder);
        fs::copy_file(kFixtures / name / kJournalFileName, folder / kJournalFileName);
        return folder;
    }
};

} // namespace

TEST_F(ReportFiles, ARaceFoundInterruptedAtStartUpGetsAReportOfEveryLapKept)
{
    // The journal of a killed program: 58 whole laps, then a line cut mid-way.
    const fs::path folder = copyOfFixture("interrupted");
    const std::vector<OpenRace> open = findOpenRaces(dir / "races");
    ASSERT_EQ(open.size(), 1u);
    EXPECT_TRUE(recoverRace(open.front()));

    const std::string html = readBytes(folder / kReportFileName);
    EXPECT_NE(html.find("<dd class=\"race-end\">přerušen"), std::string::npos);
    EXPECT_NE(html.find("Závod byl přerušen. Zpráva ukazuje všechna zachovaná kola (58)."), std::string::npos);
    EXPECT_EQ(lapRowsOf(html), 58u);
    // The last whole line: Adam's lap 11 of 0:04:858, leading.
    EXPECT_NE(html.find("<tr id=\"kolo-1-11\"><td>11</td><td>0:04:858</td><td>474</td><td>1</td></tr>"), std::string::npos);

    const std::string csv = readBytes(folder / kLapsFileName);
    EXPECT_EQ(std::count(csv.begin(), csv.end(), '\n'), 1 + 58);
    EXPECT_NE(csv.find("\r\n1,Adam Rychlý,11,4858,0:04:858,474,1,"), std::string::npos);
}

TEST_F(ReportFiles, ARaceFolderIsRebuiltAndABadOneGetsAClearReason)
{
    const fs::path folder = copyOfFixture("race");
    std::string error;
    ASSERT_TRUE(writeRaceFolderReports(folder, &error)) << error;
    const std::string html = readBytes(folder / kReportFileName);
    EXPECT_EQ(lapRowsOf(html), 87u);
    EXPECT_EQ(html.find("přerušen"), std::string::npos);

    EXPECT_FALSE(writeRaceFolderReports(dir / "nic", &error));
    EXPECT_EQ(error, "Složka závodu " + (dir / "nic").string() + " neexistuje.");

    writeBytes(folder / kJournalFileName, "PK\x03\x04 not a journal");
    EXPECT_FALSE(writeRaceFolderReports(folder, &error));
    EXPECT_EQ(error.rfind("Záznam závodu ve složce " + folder.string() + " nelze přečíst: ", 0), 0u) << error;
    EXPECT_EQ(readBytes(folder / kReportFileName), html) << "the old report stays";
}

TEST_F(ReportFiles, APathThatIsNoRegularFileIsLeftAlone)
{
    const fs::path folder = copyOfFixture("race");
    fs::create_directory(folder / kReportFileName);
    std::string error;
    EXPECT_FALSE(writeRaceFolderReports(folder, &error));
    EXPECT_EQ(error, "Soubor " + (folder / kReportFileName).string() + " nelze zapsat: na místě souboru je složka.");
    EXPECT_TRUE(fs::is_directory(folder / kReportFileName));
    EXPECT_FALSE(writeRaceReportTo(folder, dir / "chybí" / "zprava.html", &error));
    EXPECT_EQ(error, "Soubor " + (dir / "chybí" / "zprava.html").string()
                         + " nelze zapsat: soubor nebo složka neexistuje.");
    ASSERT_EQ(::mkfifo((dir / "roura.html").c_str(), 0600), 0);
    EXPECT_FALSE(writeRaceReportTo(folder, dir / "roura.html", &error));
    EXPECT_EQ(error, "Soubor " + (dir / "roura.html").string()
                         + " nelze zapsat: na jeho místě je zařízení nebo roura, ne obyčejný soubor.");
    EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 2)
        << "no temporary file left behind";
}

TEST(ReportBesideResults, TheReportGoesNextToTheResultsWhichStayAsTheyWere)
{
    RaceSettings settings;
    settings.racerName[0] = "Adam";
    Race race(settings);
    const std::string csv = *utf8ToCp1250(resultsText(race));
    const auto offer = [&](const std::string &path, std::optional<Message> warning = std::nullopt,
                           const std::string &unwritable = {}) {
        FakeSettingsUi ui;
        ui.unwritablePaths.insert(unwritable);
        ui.expectMessage(expected::question("Závod již skončil. Přejete si výsledky uložit"), MessageAnswer::Yes);
        ui.expectFileToSave(FileKind::Results, path);
        if (warning)
            ui.expectMessage(*warning);
        offerRaceResults(race, ui, [] { return std::optional<std::string>("<!DOCTYPE html>zpráva"); });
        return ui.files;
    };
    using Files = std::map<std::string, std::string>;
    EXPECT_EQ(offer("/závody/finále.csv"),
              (Files{{"/závody/finále.csv", csv}, {"/závody/finále.html", "<!DOCTYPE html>zpráva"}}));
    EXPECT_EQ(offer("/závody/výsledky.html"),
              (Files{{"/závody/výsledky.html", csv}, {"/závody/výsledky.html.html", "<!DOCTYPE html>zpráva"}}));
    const Message warning{"Varování",
                          "Výsledky jsou uloženy, ale zprávu o závodě nelze zapsat do souboru /plná/v.html.",
                          MessageButtons::Ok, MessageIcon::Warning};
    EXPECT_EQ(offer("/plná/v.csv", warning, "/plná/v.html"), (Files{{"/plná/v.csv", csv}}));

    EXPECT_EQ(reportPathBeside("/a.b/vysledky"), "/a.b/vysledky.html");
    EXPECT_EQ(reportPathBeside("/tmp/.csv"), "/tmp/.csv.html");
    EXPECT_EQ(reportPathBeside("finále.CSV"), "finále.html");
}
