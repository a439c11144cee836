// The automatic counting dialog: one check box that switches the automatic
// counting of cars leaving the track on or off.
#pragma once

#include "config/settingsui.h"

#include <QDialog>

class QCheckBox;

class AutoCountingDialog : public QDialog {
    Q_OBJECT
public:
    struct Values {
        int autoOffTrackCounting = 0; ///< 0 off, 1 on
    };

    explicit AutoCountingDialog(OkButtonRole role, QWidget *parent = nullptr);

    void setValues(const Values &values);
    Values values() const;

private:
    QCheckBox *checkBox_;
};
