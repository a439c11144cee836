// Geometry of the race table: the eleven columns with their titles, fills and
// shares of the client width, the settled column widths, and the header band
// and rows of the five vertical arrangements.
#pragma once

#include <array>
#include <string_view>

inline constexpr int kColumnCount = 11;
inline constexpr int kLastColumn = kColumnCount - 1;
inline constexpr int kHeaderHeight = 50;
inline constexpr int kMinimumClientWidth = 1000;
inline constexpr int kMinimumClientHeight = 400;

/// The screen height the table's fixed sizes (header band, texts, unit band,
/// pictures, buttons) are made for; on a taller screen they grow with it.
inline constexpr int kDesignScreenHeight = 1080;

/// How much the fixed sizes grow on a screen \a screenHeight logical pixels
/// tall: height / 1080 above 1080 lines, exactly 1 at 1080 and below.
double tableSizeScale(int screenHeight);
/// A fixed size of the table grown by \a scale; \a size itself at scale 1.
int scaledSize(int size, double scale);

enum class ColumnFill { White, FillA, FillB };

struct TableColumn {
    std::string_view header; ///< "\n" breaks a line
    ColumnFill fill;
    int minimumWidth; ///< 0: none
    int percentage;   ///< share of the client width; the eleven add up to 100
    int headerLines;
};

inline constexpr std::array<TableColumn, kColumnCount> kColumnTable = {{
    {"Akce:", ColumnFill::White, 0, 4, 1},
    {"Pořadí:", ColumnFill::FillA, 0, 4, 1},
    {"Jméno závodníka\n (logo):", ColumnFill::White, 150, 15, 2},
    {"Počet zajetých\n kol:", ColumnFill::FillA, 0, 8, 2},
    {"Čas posledního\n kola:", ColumnFill::FillB, 0, 8, 2},
    {"Rrůměrná\n rychlost\n posledního kola:", ColumnFill::FillA, 0, 9, 3},
    {"Čas nejrychlejšího\n kola:", ColumnFill::FillB, 0, 9, 2},
    {"Maximální rychlost\n nejrychlejšího\n kola:", ColumnFill::FillA, 0, 12, 3},
    {"Ztráty na vedoucího\n závodníka (počet kol [čas]):", ColumnFill::FillB, 0, 13, 2},
    {"Stav nádrže:", ColumnFill::White, 100, 10, 1},
    {"Prapory a\n ostatní značky:", ColumnFill::White, 80, 8, 2},
}};

/// The width of each column in a client area \a clientWidth pixels wide.
/// Columns whose minimum is more than their share keep the minimum and the
/// others share what is left; the last column reaches the right edge.
std::array<int, kColumnCount> columnWidths(int clientWidth);

/// The vertical arrangements of the rows (setting `racerArrangement`).
enum class Arrangement { AllSeats = 0, Centred = 1, Top = 2, Bottom = 3, StretchActive = 4 };

/// The arrangement a setting value selects; values other than 1 to 4 show all seats.
Arrangement arrangementFromSetting(int value);

/// The header band and the row slots of one paint. Slot r shows seat r.
struct TableRows {
    Arrangement arrangement = Arrangement::AllSeats;
    int activeRacerCount = 0;
    int clientHeight = 0;
    int rowSlots = 0;
    int rowHeight = 0;
    int tableTop = 0; ///< top of the header band
    int headerHeight = kHeaderHeight;

    /// Whether slot \a slot is painted at all.
    bool slotDrawn(int slot) const;
    int rowTop(int slot) const { return tableTop + headerHeight + slot * rowHeight; }
    /// The row's bottom edge; the last row of some arrangements reaches the bottom.
    int rowBottom(int slot) const;
    bool hasRows() const;
};

/// The rows of one paint; \a headerHeight is the header band's height, grown
/// on a tall screen.
TableRows tableRows(Arrangement arrangement, int activeRacerCount, int clientHeight,
                    int headerHeight = kHeaderHeight);
