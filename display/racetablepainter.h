// Paints the race table from the race state onto any QPainter of a given
// size: a full paint, the refresh of one column or the repaint of one row,
// each touching only its own pixels, so a surface that keeps its content
// between paints shows the whole table. Keeps the few records that the
// partial paints rely on (the last drawn place and gap texts, the bottom of
// the table, the unfinished column refresh).
#pragma once

#include "config/racesettings.h"
#include "display/tablefonts.h"
#include "engine/geometry.h"
#include "engine/racestate.h"

#include <QSize>

#include <array>
#include <optional>
#include <string>

class QPainter;
class RacerLogos;
class TablePictures;

enum class PaintOutcome {
    Completed,          ///< painted, or before the race screen only the bookkeeping done
    ResolutionTooSmall, ///< the client area is below 1000 x 400 px; nothing was painted
    TextDoesNotFit,     ///< a value fits its cell at no size; the paint stopped there
};

struct PaintResult {
    PaintOutcome outcome = PaintOutcome::Completed;
    /// The action cells painted for seats in use: where their buttons belong.
    std::array<std::optional<Rect>, kSeatCount> actionCells;
};

class RaceTablePainter {
public:
    RaceTablePainter(Race &race, const RaceSettings &settings, const RacerLogos &logos, TablePictures &pictures);

    /// Paints what the race state asks for: the whole table when neither
    /// `refreshColumn` nor `repaintRow` is set, else only that column or that
    /// row (plus changed place and gap cells). A completed paint moves the
    /// queued repaint row up and clears the column request.
    PaintResult paint(QPainter &painter, QSize clientSize);

    int tableBottom() const { return tableBottom_; }

    /// The growth of the fixed sizes (`tableSizeScale` of the screen's
    /// height); 1 unless the screen is taller than 1080 lines.
    void setSizeScale(double scale);
    double sizeScale() const { return scale_; }

private:
    struct Pass;

    bool paintTable(Pass &pass);
    bool paintCell(Pass &pass, int column, int slot, const Rect &cell);
    bool paintTextCell(Pass &pass, int column, int slot, const Rect &cell, bool drawAllowed);
    bool paintNameRefresh(Pass &pass, int slot, const Rect &cell);
    bool paintValue(Pass &pass, int column, int slot, const Rect &cell, bool drawAllowed);
    void paintHeader(Pass &pass, int column, int x, int width);
    void paintStripes(Pass &pass, int fromLine, int toLine);
    void paintNote(Pass &pass, int slot, const Rect &cell);
    void paintLogo(Pass &pass, int slot);
    void paintPicture(Pass &pass, int resource, const Rect &cell, QSize place);
    bool logoStands(int slot) const;
    void finishBookkeeping();

    Race &race_;
    const RaceSettings &settings_;
    const RacerLogos &logos_;
    TablePictures &pictures_;
    CellFontFitter fitter_;
    double scale_ = 1.0;
    QFont headerFont_;
    QFont unitFont_;
    QFont noteFont_;

    int tableBottom_ = 0;
    bool columnRefreshPending_ = false;
    std::array<std::string, kSeatCount> lastDrawnRank_;
    std::array<std::string, kSeatCount> lastDrawnGap_;
    std::array<bool, kSeatCount> logoNoteShown_{};
};
