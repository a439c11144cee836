// Lays out a dialog from its template: positions and sizes in dialog units,
// converted to pixels of the dialog's font the way Windows does (a
// horizontal unit is a quarter of the average letter width, a vertical unit
// an eighth of the font height). Static texts must not be cut off, so when
// the font's letters are wider than the template assumed, the horizontal
// unit grows until every text fits, and the whole dialog widens evenly.
#pragma once

#include <QRect>
#include <QSize>

#include <vector>

class QFont;
class QWidget;

class DialogUnits {
public:
    explicit DialogUnits(const QFont &font);

    /// Records where \a widget goes; nothing moves until apply(). A widget
    /// that will show longer texts later claims their room as its minimum width.
    void place(QWidget *widget, int x, int y, int width, int height);
    /// As place(), keeping the widget's own height: a combo box template
    /// counts its dropped-down list in the height.
    void placeKeepingHeight(QWidget *widget, int x, int y, int width);

    /// Fits the unit to the recorded texts, sizes \a dialog to the template
    /// size and moves every recorded widget into place.
    void apply(QWidget *dialog, int width, int height);

    QRect toPixels(const QRect &units) const;

private:
    struct Placement {
        QWidget *widget;
        QRect units;
        bool keepHeight;
    };

    void widenToFitText(const Placement &placement);

    int averageWidth_;
    int height_;
    std::vector<Placement> placements_;
};
