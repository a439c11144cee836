// The OK button every settings dialog has: the dialog's default button,
// labelled by its role in the configuration wizard, accepting the dialog.
#pragma once

#include "config/settingsui.h"

#include <QString>

class QDialog;
class QPushButton;

/// "OK", "Další ..." or "Dokončit".
QString okButtonText(OkButtonRole role);

/// Creates the default OK button of \a dialog; clicking it runs the dialog's
/// accept(), so a dialog that validates its input overrides accept().
QPushButton *createOkButton(QDialog *dialog, OkButtonRole role);
