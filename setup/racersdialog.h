// The racers dialog: up to eight racers, each with a name and an optional
// logo bitmap of at most 150 x 100 pixels. Rows are filled from the top: a
// row can be ticked only when the row above it is. Clicking a row's status
// icon removes its logo. OK is refused while a ticked row has no name. Names
// and logo paths the settings file cannot hold are refused with a message.
#pragma once

#include "config/racesettings.h"
#include "config/settingsui.h"

#include <QDialog>

#include <array>
#include <string>

class DialogUnits;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QToolButton;

class RacersDialog : public QDialog {
    Q_OBJECT
public:
    struct Values {
        std::array<std::string, kRacerCount> racerName;
        std::array<std::string, kRacerCount> logoPath;
    };

    /// What a row's status icon shows.
    enum class LogoStatus {
        None,     ///< no logo set, or removed (orange)
        Loaded,   ///< loaded and small enough (green)
        TooLarge, ///< larger than 150 x 100 (red)
    };

    explicit RacersDialog(OkButtonRole role, QWidget *parent = nullptr);

    /// Fills the names and, for every named row, ticks it and checks its
    /// stored logo.
    void setValues(const Values &values);
    /// The names as the edits hold them and the logo paths.
    Values values() const;

    LogoStatus logoStatus(int row) const { return rows_[row].status; }

    void accept() override;

protected:
    /// Asks the user for a logo file: its full path, or empty when cancelled.
    virtual QString chooseLogoFile();

private:
    struct Row {
        QCheckBox *tick = nullptr;
        QLineEdit *name = nullptr;
        QToolButton *icon = nullptr;
        QPushButton *choose = nullptr;
        QLabel *label = nullptr;
        std::string logoPath;
        LogoStatus status = LogoStatus::None;
    };

    void createRow(int row, DialogUnits &units);
    void racerRowEnable(int row);
    void chooseLogo(int row);
    /// Checks the logo stored for \a row when the dialog opens.
    void loadStoredLogo(int row);
    /// Loads \a path as a bitmap; true when it is accepted for \a row.
    bool loadLogo(int row, const QString &path);
    void removeLogo(int row);
    void setStatus(int row, LogoStatus status);

    std::array<Row, kRacerCount> rows_;
};
