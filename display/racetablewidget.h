// The race table as the main window's central widget: paints the table into
// its persistent backing store (unpainted pixels keep their content, so row
// repaints and column refreshes touch only their own cells), creates the two
// action buttons of every row in use, runs the logo timer's work, and reports
// a paint that could not be done with a message after the paint has ended.
#pragma once

#include "config/racesettings.h"
#include "display/racerlogos.h"
#include "display/racetablepainter.h"
#include "display/tablepictures.h"
#include "engine/racestate.h"

#include <QWidget>

#include <array>

class RaceTableWidget : public QWidget {
    Q_OBJECT
public:
    RaceTableWidget(Race &race, const RaceSettings &settings, QWidget *parent = nullptr);

    /// One tick of the logo timer (timer 3): loads the logos on the first,
    /// then alternates names and logos and refreshes the name column.
    void logoTick();

signals:
    /// A row button was clicked: 3100 + 2 x seat ("GO") or 3101 + 2 x seat (disqualify).
    void racerButtonClicked(int command);
    /// The screen is too small for the table; the user has been told.
    void mainWindowMustClose();

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void createActionButtons(int seat, const Rect &cell);
    void reportAfterPaint(PaintOutcome outcome);
    void showPaintFailure(PaintOutcome outcome);
    /// The growth of the table's fixed sizes on this widget's screen.
    double screenSizeScale() const;

    Race &race_;
    const RaceSettings &settings_;
    RacerLogos logos_;
    TablePictures pictures_;
    RaceTablePainter painter_;
    std::array<bool, kSeatCount> buttonsCreated_{};
    bool failureReported_ = false; ///< a failure message is queued or open
};
