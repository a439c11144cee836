// The entry points the main window uses for its dialogs: a settings group's
// dialog filled from the settings and written back on OK, the
// incomplete-settings question and the about box.
#pragma once

#include "config/racesettings.h"
#include "config/settingsui.h"

#include <optional>

class QWidget;

/// Shows the dialog of \a group filled from \a settings. On OK it returns
/// \a settings with that group's fields replaced (numbers as decimal text);
/// on Esc or the close box, nothing. Done marks are left alone.
std::optional<RaceSettings> execSettingsDialog(QWidget *parent, SettingGroup group, const RaceSettings &settings,
                                               OkButtonRole role);

/// Asks how to go on with incomplete settings; Esc and the close box cancel.
IncompleteSettingsChoice execIncompleteSettingsDialog(QWidget *parent, bool loadEnabled);

void execAboutDialog(QWidget *parent);
