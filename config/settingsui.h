// What the settings flows (completeness check, wizard, INI load and save,
// automatic loading, the results file) need of the user interface and of the
// machine: dialogs, the status line, the menu, files and the registry value.
// MainFrame implements it with Qt; tests script it.
#pragma once

#include "config/racesettings.h"
#include "platform/message.h"

#include <optional>
#include <string>

/// The label of a settings dialog's OK button: "OK" alone, "Další ..." inside
/// the wizard, "Dokončit" on the wizard's last dialog.
enum class OkButtonRole { Ok, Next, Finish };

/// The answer of the incomplete-settings dialog.
enum class IncompleteSettingsChoice { Cancel = 0, Wizard = 1, LoadFile = 2 };

/// Which file dialog to show; each has its own filter.
enum class FileKind { Ini, Results };

/// Outcome of reading a whole file.
enum class ReadStatus { Ok, CannotOpen, TooLarge };
struct FileContents {
    ReadStatus status = ReadStatus::CannotOpen;
    std::string bytes;
};

class SettingsUi : public MessageSink {
public:
    virtual void setStatusText(const std::string &text) = 0;
    /// The text of the automatic-loading menu item: "ON" or "OFF".
    virtual void setAutoLoadMenuText(const std::string &text) = 0;
    /// The done marks changed; the menu's check marks must follow.
    virtual void groupMarksChanged(const RaceSettings &settings) = 0;

    /// The incomplete-settings dialog; Esc or its close box answers Cancel.
    virtual IncompleteSettingsChoice askIncompleteSettings(bool loadEnabled) = 0;
    /// Shows the dialog that edits \a group, filled from \a settings. On OK it
    /// returns \a settings with that group's fields as the user left them;
    /// on any other end, nothing.
    virtual std::optional<RaceSettings> editGroup(SettingGroup group, const RaceSettings &settings,
                                                  OkButtonRole okRole) = 0;

    /// The open (Ini only) or save file dialog; the chosen full path, or nothing.
    virtual std::optional<std::string> chooseFileToOpen(FileKind kind) = 0;
    virtual std::optional<std::string> chooseFileToSave(FileKind kind) = 0;
    /// Reads a whole file of at most \a maxBytes bytes.
    virtual FileContents readFile(const std::string &path, std::size_t maxBytes) = 0;
    /// Replaces the file only after a complete, flushed write; false on any error.
    virtual bool writeFile(const std::string &path, const std::string &bytes) = 0;

    /// The registry value holding the INI file loaded at start-up ("" when absent).
    virtual std::string readAutoLoadPath() = 0;
    virtual void writeAutoLoadPath(const std::string &path) = 0;
    virtual void removeAutoLoadPath() = 0;
};
