// The display dialog: the order of the racers (by track position, which is
// shown but cannot be chosen, or by start order), the arrangement of the
// table rows and the colour scheme. Each value is the index of the chosen
// item, or -1 when nothing is chosen.
#pragma once

#include "config/settingsui.h"

#include <QDialog>

class QButtonGroup;
class QComboBox;

class DisplayDialog : public QDialog {
    Q_OBJECT
public:
    struct Values {
        int order = -1;       ///< 0 by position on the track, 1 by order at the start
        int arrangement = -1; ///< 0 to 4, the row arrangements of the race table
        int colour = -1;      ///< 0 blue, 1 red, 2 green
    };

    explicit DisplayDialog(OkButtonRole role, QWidget *parent = nullptr);

    void setValues(const Values &values);
    Values values() const;

private:
    QButtonGroup *order_;
    QButtonGroup *arrangement_;
    QComboBox *colour_ = nullptr;
};
