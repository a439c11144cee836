// The laps per ride dialog: a slider from 1 to 100 whose position is shown
// only in the dialog's caption. A stored value of 0 (empty or not a number)
// opens at the default of 12 laps.
#pragma once

#include "config/settingsui.h"

#include <QDialog>

class QSlider;

class LapsDialog : public QDialog {
    Q_OBJECT
public:
    struct Values {
        int lapsPerRide = 0;
    };

    explicit LapsDialog(OkButtonRole role, QWidget *parent = nullptr);

    void setValues(const Values &values);
    Values values() const;

private:
    void updateCaption();

    QSlider *slider_;
};
