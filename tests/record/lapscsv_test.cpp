// laps.csv: RFC 4180 quoting, and one row per counted lap in the order counted.
#include "record/lapscsv.h"
#include "record/reportlog.h"

#include <gtest/gtest.h>

TEST(LapsCsv, FieldsAreQuotedOnlyWhenTheyNeedIt)
{
    EXPECT_EQ(csvField("Bára"), "Bára");
    EXPECT_EQ(csvField(""), "");
    EXPECT_EQ(csvField("Novák, Jan"), "\"Novák, Jan\"");
    EXPECT_EQ(csvField("Jan \"Blesk\""), "\"Jan \"\"Blesk\"\"\"");
    EXPECT_EQ(csvField("dva\r\nřádky"), "\"dva\r\nřádky\"");
    // What a spreadsheet would run as a formula stays text.
    EXPECT_EQ(csvField("=1+2"), "'=1+2");
    EXPECT_EQ(csvField("@SUM(A1)"), "'@SUM(A1)");
    EXPECT_EQ(csvField("-1,5"), "\"'-1,5\"");
}

TEST(LapsCsv, OneRowPerCountedLapInTheOrderCounted)
{
    ReportLog race("2");
    race.racer(0, "Novák, Jan", 0xFFFF'FF00u).racer(2, "Eva", 100);
    race.lap(2, 5'100, 1).lap(0, 4'900, 2);
    race.event(EventKind::Disqualified, 2, 2);
    race.lap(2, 9'900, 0);
    race.log.laps.push_back(race.log.laps.front()); // repeated: not counted again

    EXPECT_EQ(lapsCsv(race.log),
              "\xEF\xBB\xBF"
              "číslo,závodník,kolo,čas kola [ms],čas kola,rychlost [km/h],pořadí,časová značka zařízení [ms]\r\n"
              "3,Eva,1,5000,0:05:000,460,1,5100\r\n"
              "1,\"Novák, Jan\",1,5156,0:05:156,446,2,4900\r\n"
              "3,Eva,2,4800,0:04:800,480,,9900\r\n");
}
