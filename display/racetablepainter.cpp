#include "display/racetablepainter.h"

#include "display/colourscheme.h"
#include "display/qtgeometry.h"
#include "display/racerlogos.h"
#include "display/tablecells.h"
#include "display/tablelayout.h"
#include "display/tablepictures.h"

#include <QPainter>

namespace {

constexpr int kActionColumn = 0;
constexpr int kRankColumn = 1;
constexpr int kNameColumn = 2;
constexpr int kGapColumn = 8;
constexpr int kTankColumn = 9;
constexpr int kFlagColumn = 10;
constexpr int kRaceScreenPhase = 4;
constexpr int kLogoShownPhase = 2;
constexpr int kStripeGap = 10; // white lines between the last row and the lower stripes
// The places of the tank and flag pictures, centred on their cells.
constexpr QSize kTankPlace{52, 70};
constexpr QSize kFlagPlace{78, 60};

// A 1 px outline on the cell's outermost pixels, filled inside.
void drawCellBox(QPainter &painter, const Rect &cell, const QColor &border, const QColor &fill)
{
    painter.fillRect(toQRect(cell), border);
    painter.fillRect(QRect(cell.left + 1, cell.top + 1, cell.width() - 2, cell.height() - 2), fill);
}

// The band under the value where units and logo notes stand.
QRect lowerBand(const Rect &cell, int bandHeight)
{
    return {cell.left, cell.bottom - bandHeight, cell.width(), bandHeight};
}

} // namespace

// The values one paint works with.
struct RaceTablePainter::Pass {
    QPainter &painter;
    int width;
    int height;
    const ColourScheme &scheme;
    TableRows rows;
    int refreshColumn;
    int repaintRow;
    double scale;
    int unitBand;  ///< the unit band's height
    int stripeGap;
    PaintResult result;

    bool rowRepaint() const { return repaintRow != kNoRow; }
    bool columnRefresh() const { return refreshColumn != kNoRow; }
};

RaceTablePainter::RaceTablePainter(Race &race, const RaceSettings &settings, const RacerLogos &logos,
                                   TablePictures &pictures)
    : race_(race), settings_(settings), logos_(logos), pictures_(pictures), headerFont_(headerFont()),
      unitFont_(unitFont()), noteFont_(noteFont())
{
}

void RaceTablePainter::setSizeScale(double scale)
{
    if (scale == scale_)
        return;
    scale_ = scale;
    headerFont_ = headerFont(scale);
    unitFont_ = unitFont(scale);
    noteFont_ = noteFont(scale);
    fitter_.setScale(scale);
}

PaintResult RaceTablePainter::paint(QPainter &painter, QSize clientSize)
{
    RaceState &state = race_.state;
    // A paint that begins while a column refresh is unfinished (it stopped
    // early, or a message it raised is still open) repaints everything.
    if (columnRefreshPending_) {
        state.refreshColumn = kNoRow;
        columnRefreshPending_ = false;
    } else if (state.refreshColumn != kNoRow) {
        columnRefreshPending_ = true;
    }

    if (state.slidePhase != kRaceScreenPhase) {
        finishBookkeeping();
        return {};
    }
    if (clientSize.width() < kMinimumClientWidth || clientSize.height() < kMinimumClientHeight)
        return {PaintOutcome::ResolutionTooSmall, {}};

    const int active = settings_.activeRacerCount();
    Pass pass{painter,
              clientSize.width(),
              clientSize.height(),
              colourScheme(settingToInt(settings_.colourScheme)),
              tableRows(arrangementFromSetting(settingToInt(settings_.racerArrangement)), active, clientSize.height(),
                        scaledSize(kHeaderHeight, scale_)),
              state.refreshColumn,
              state.repaintRow,
              scale_,
              scaledSize(kUnitBandHeight, scale_),
              scaledSize(kStripeGap, scale_),
              {}};
    if (!paintTable(pass)) {
        // The requests stay as they are; the unfinished refresh makes the next paint a full one.
        pass.result.outcome = PaintOutcome::TextDoesNotFit;
        return pass.result;
    }
    race_.repaintDone();
    finishBookkeeping();
    return pass.result;
}

void RaceTablePainter::finishBookkeeping()
{
    race_.state.refreshColumn = kNoRow;
    columnRefreshPending_ = false;
}

bool RaceTablePainter::paintTable(Pass &pass)
{
    QPainter &painter = pass.painter;
    if (!pass.rowRepaint() && !pass.columnRefresh())
        painter.fillRect(0, 0, pass.width, pass.height, Qt::white);
    painter.setPen(toQColor(pass.scheme.text));
    painter.setBackgroundMode(Qt::TransparentMode);

    if (!pass.rows.hasRows())
        tableBottom_ = pass.rows.tableTop + pass.rows.headerHeight; // the header alone closes the table
    if (!pass.rowRepaint())
        paintStripes(pass, 0, pass.rows.tableTop);

    const std::array<int, kColumnCount> widths = columnWidths(pass.width);
    int x = 0;
    for (int column = 0; column < kColumnCount; ++column) {
        const int width = widths[column];
        if (!pass.columnRefresh() || pass.refreshColumn == column) {
            if (!pass.rowRepaint())
                paintHeader(pass, column, x, width);
            for (int slot = 0; slot < pass.rows.rowSlots; ++slot) {
                if (!pass.rows.slotDrawn(slot))
                    continue;
                // Other rows of a row repaint: only places and gaps can have changed.
                if (pass.rowRepaint() && slot != pass.repaintRow && column != kRankColumn && column != kGapColumn)
                    continue;
                const Rect cell{x, pass.rows.rowTop(slot), x + width, pass.rows.rowBottom(slot)};
                if (!paintCell(pass, column, slot, cell))
                    return false;
            }
        }
        x += width;
    }

    if (!pass.rowRepaint() && tableBottom_ + pass.stripeGap < pass.height)
        paintStripes(pass, tableBottom_ + pass.stripeGap, pass.height);
    return true;
}

bool RaceTablePainter::paintCell(Pass &pass, int column, int slot, const Rect &cell)
{
    RacerState &racer = race_.racers[slot];
    bool drawAllowed = true;
    if (pass.rowRepaint() && slot != pass.repaintRow)
        drawAllowed = column == kRankColumn ? racer.rankText != lastDrawnRank_[slot]
                                            : racer.gapText != lastDrawnGap_[slot];
    if (column == kNameColumn && race_.state.logoPhase == 0)
        racer.logoRect = cell; // the logo loader fits the logo into it

    const QColor border = toQColor(pass.scheme.border);
    // A refresh leaves a cell with a logo note as it is, so the note stays.
    if (drawAllowed && !(pass.columnRefresh() && !racer.logoStatusText.empty()))
        drawCellBox(pass.painter, cell, border, toQColor(fillColour(pass.scheme, kColumnTable[column].fill)));
    tableBottom_ = cell.bottom;
    if (drawAllowed && unitBandHeight(column) > 0)
        pass.painter.fillRect(QRect(cell.left, cell.bottom - pass.unitBand - 1, cell.width(), 1), border);

    switch (column) {
    case kActionColumn:
        if (seatInUse(racer))
            pass.result.actionCells[slot] = cell;
        break;
    case kTankColumn:
        if (seatInUse(racer))
            paintPicture(pass, tankPictureResource(racer.tankText), cell, kTankPlace);
        break;
    case kFlagColumn:
        if (seatInUse(racer))
            paintPicture(pass, flagPictureResource(racer.flagCode), cell, kFlagPlace);
        break;
    default:
        if (!paintTextCell(pass, column, slot, cell, drawAllowed))
            return false;
    }

    if (column == kRankColumn)
        lastDrawnRank_[slot] = racer.rankText;
    else if (column == kGapColumn)
        lastDrawnGap_[slot] = racer.gapText;
    return true;
}

bool RaceTablePainter::paintTextCell(Pass &pass, int column, int slot, const Rect &cell, bool drawAllowed)
{
    if (column == kNameColumn && pass.refreshColumn == kNameColumn)
        return paintNameRefresh(pass, slot, cell);

    const bool nameUnderLogo = column == kNameColumn && pass.rowRepaint() && logoStands(slot);
    if (!paintValue(pass, column, slot, cell, drawAllowed && !nameUnderLogo))
        return false;

    if (column == kNameColumn) {
        paintNote(pass, slot, cell);
        // While shown, the logo stays above the name cell whatever is repainted.
        if (logoStands(slot))
            paintLogo(pass, slot);
        return true;
    }
    if (unitBandHeight(column) > 0 && drawAllowed && seatInUse(race_.racers[slot])) {
        const std::string_view label = unitLabel(column);
        pass.painter.setFont(unitFont_);
        pass.painter.drawText(lowerBand(cell, pass.unitBand), Qt::AlignCenter | Qt::TextSingleLine,
                              QString::fromUtf8(label.data(), static_cast<qsizetype>(label.size())));
    }
    return true;
}

bool RaceTablePainter::paintNameRefresh(Pass &pass, int slot, const Rect &cell)
{
    if (logoStands(slot)) {
        paintLogo(pass, slot);
        return true;
    }
    if (!race_.racers[slot].logoStatusText.empty()) {
        // Refreshes do not refill a cell with a note, so its note and name are
        // drawn by the first refresh only.
        if (logoNoteShown_[slot])
            return true;
        logoNoteShown_[slot] = true;
        paintNote(pass, slot, cell);
    }
    return paintValue(pass, kNameColumn, slot, cell, true);
}

bool RaceTablePainter::paintValue(Pass &pass, int column, int slot, const Rect &cell, bool drawAllowed)
{
    const RacerState &racer = race_.racers[slot];
    const QString text = QString::fromStdString(shownValueText(racer, column));
    const int valueBottom = cell.bottom - unitBandHeight(column, pass.scale);
    const int size = fitter_.fitCellFont(text, cell.width(), valueBottom - cell.top, column);
    if (size == 0)
        return false;
    if (!drawAllowed || !seatInUse(racer))
        return true;

    const bool bold = isBoldColumn(column);
    const int top = cell.top + (valueBottom - cell.top) / 2 - fitter_.metrics(size, bold).height() / 2;
    pass.painter.setFont(fitter_.font(size, bold));
    pass.painter.drawText(QRect(cell.left, top, cell.width(), valueBottom - top), Qt::AlignHCenter | Qt::AlignTop,
                          text);
    return true;
}

void RaceTablePainter::paintHeader(Pass &pass, int column, int x, int width)
{
    const TableColumn &definition = kColumnTable[column];
    QPainter &painter = pass.painter;
    // The logo timer refreshes column 2 every second: text drawn again over
    // its own antialiased edges would thicken into a smear, so the title's
    // white band is laid fresh first.
    if (pass.columnRefresh())
        painter.fillRect(x, pass.rows.tableTop, width, pass.rows.headerHeight, Qt::white);
    painter.setFont(headerFont_);
    const int lineHeight = QFontMetrics(headerFont_, painter.device()).height();
    // The title is centred on the band's middle; its lines stand one font height apart.
    int top = pass.rows.tableTop + pass.rows.headerHeight / 2 - definition.headerLines * lineHeight / 2;
    const QStringList lines =
        QString::fromUtf8(definition.header.data(), static_cast<qsizetype>(definition.header.size())).split(u'\n');
    for (const QString &line : lines) {
        painter.drawText(QRect(x, top, width, lineHeight), Qt::AlignHCenter | Qt::AlignTop | Qt::TextSingleLine, line);
        top += lineHeight;
    }
}

void RaceTablePainter::paintStripes(Pass &pass, int fromLine, int toLine)
{
    for (int line = fromLine; line < toLine; ++line)
        pass.painter.fillRect(0, line, pass.width, 1, toQColor(stripeColour(pass.scheme, line)));
}

void RaceTablePainter::paintNote(Pass &pass, int slot, const Rect &cell)
{
    const RacerState &racer = race_.racers[slot];
    if (!seatInUse(racer))
        return;
    pass.painter.setFont(noteFont_);
    pass.painter.drawText(lowerBand(cell, pass.unitBand), Qt::AlignCenter | Qt::TextSingleLine,
                          QString::fromStdString(racer.logoStatusText));
}

void RaceTablePainter::paintLogo(Pass &pass, int slot)
{
    const Rect &area = race_.racers[slot].logoRect;
    const QImage &logo = logos_.logo(slot);
    if (area.width() == logo.width() && area.height() == logo.height()) {
        pass.painter.drawImage(QPoint(area.left, area.top), logo);
        return;
    }
    // On a tall screen the logo grows with the table, smoothly.
    pass.painter.save();
    pass.painter.setRenderHint(QPainter::SmoothPixmapTransform);
    pass.painter.drawImage(toQRect(area), logo);
    pass.painter.restore();
}

// Tank and flag pictures are painted with their cell on every paint that
// reaches it, rather than kept in child widgets: the cell's text picks the
// picture each time anyway. A picture of another size keeps its place's
// top-left corner: the glowing full tank reaches past the place's right edge.
void RaceTablePainter::paintPicture(Pass &pass, int resource, const Rect &cell, QSize place)
{
    if (resource == 0)
        return;
    const QImage &picture = pictures_.picture(resource, pass.scale * pass.painter.device()->devicePixelRatioF());
    if (picture.isNull())
        return;
    const int cx = cell.left + cell.width() / 2;
    const int cy = cell.top + cell.height() / 2;
    if (pass.scale == 1.0) {
        pass.painter.drawImage(QPoint(cx - place.width() / 2, cy - place.height() / 2), picture);
        return;
    }
    // Grown with the table: the place and the picture by the same factor,
    // the picture's own size in logical pixels whatever its resolution.
    const QSize shown = picture.deviceIndependentSize().toSize() * pass.scale;
    const QSize grownPlace = place * pass.scale;
    pass.painter.save();
    pass.painter.setRenderHint(QPainter::SmoothPixmapTransform);
    pass.painter.drawImage(QRect(QPoint(cx - grownPlace.width() / 2, cy - grownPlace.height() / 2), shown), picture);
    pass.painter.restore();
}

bool RaceTablePainter::logoStands(int slot) const
{
    const RacerState &racer = race_.racers[slot];
    return seatInUse(racer) && race_.state.logoPhase == kLogoShownPhase && racer.logoStatusText.empty()
        && !logos_.logo(slot).isNull();
}
