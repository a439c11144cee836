// The track length and scale dialog: two numbers, the lap length in metres
// and the N of the model scale 1:N, each in a digits-only edit with a spin
// button of its own beside it. Input outside a range is corrected in place
// while typing; empty stored values open as 20 m and 1:32.
#pragma once

#include "config/settingsui.h"

#include <QDialog>

class QLineEdit;

class TrackDialog : public QDialog {
    Q_OBJECT
public:
    struct Values {
        int trackLength = 0;
        int scale = 0;
    };

    explicit TrackDialog(OkButtonRole role, QWidget *parent = nullptr);

    /// Fills the edits and positions the spins; two zeros stand for "not set"
    /// and open as the defaults.
    void setValues(const Values &values);
    /// The numbers as the edits hold them.
    Values values() const;

private:
    class SpinButtons;

    // One edit with its spin, range and working value.
    struct Field {
        QLineEdit *edit = nullptr;
        SpinButtons *spin = nullptr;
        int low = 0;
        int high = 0;
        int value = 0;
    };

    void createField(Field &field, const char *editName, const char *spinName, int low, int high);
    void textChanged(Field &field);
    void spinClicked(Field &field, int value);
    void rewriteEdits();

    Field length_;
    Field scale_;
};
