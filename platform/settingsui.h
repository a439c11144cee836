// What the settings flows (completeness check, wizard, INI load and save,
// automatic loading, results file) need of the user interface.
#pragma once

/// The label of a settings dialog's OK button: "OK" alone, "Další ..." inside
/// the wizard, "Dokončit" on the wizard's last dialog.
enum class OkButtonRole { Ok, Next, Finish };

/// The answer of the incomplete-settings dialog.
enum class IncompleteSettingsChoice { Cancel = 0, Wizard = 1, LoadFile = 2 };
