// The dialog shown when an action needs complete settings and some setting
// group is not done yet: run the configuration wizard, load a settings file,
// or cancel. Esc and the close box cancel.
#pragma once

#include "config/settingsui.h"

#include <QDialog>

class IncompleteSettingsDialog : public QDialog {
    Q_OBJECT
public:
    /// \a loadEnabled false greys the load choice (a save is asking).
    explicit IncompleteSettingsDialog(bool loadEnabled, QWidget *parent = nullptr);

    /// Shows the dialog modally and returns the choice made.
    IncompleteSettingsChoice choose();
};
