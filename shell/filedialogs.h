// The open and save file dialogs of the settings and results flows. Their
// filters are kept in the Windows form "text|pattern|" and converted here to
// Qt's "text (pattern)".
#pragma once

#include "config/settingsui.h"

#include <QFileDialog>
#include <QStringList>

#include <optional>
#include <string>

/// Qt name filters for a Windows filter string such as
/// "Konfigurační soubory (*.ini)|*.ini|".
QStringList qtNameFilters(const QString &windowsFilter);

/// Sets up \a dialog for \a kind: its filter, no initial name, no default
/// extension; opening accepts existing files only, saving replaces an
/// existing file without asking.
void setUpFileDialog(QFileDialog &dialog, FileKind kind, QFileDialog::AcceptMode mode);

/// Runs the open or save dialog; the chosen full path, or nothing.
std::optional<std::string> execOpenFileDialog(QWidget *parent, FileKind kind);
std::optional<std::string> execSaveFileDialog(QWidget *parent, FileKind kind);
