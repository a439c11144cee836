// The main window's menu bar: every item with its text, mnemonic and initial
// state, addressed by command id (check, rename, grey) or by position on the
// bar (the lock at the start signal).
#pragma once

#include "config/racesettings.h"

#include <QObject>

#include <map>

class QAction;
class QMenuBar;

/// Command ids of the menu.
enum MenuCommand : int {
    kStartRaceCommand = 40001,
    kAboutCommand = 40008,
    kExitCommand = 40009,
    kFactorySettingsCommand = 40010,
    kLoadIniCommand = 40011,
    kSaveIniCommand = 40012,
    kAutoLoadCommand = 40013,
    kHelpCommand = 40014,
};

class MainMenu : public QObject {
    Q_OBJECT
public:
    /// Fills \a bar with the program's menu.
    explicit MainMenu(QMenuBar *bar);

    QAction *action(int command) const;
    /// The check marks of the six settings groups follow the model's done marks.
    void showGroupMarks(const RaceSettings &settings);
    /// The start signal: "&Nastavení" and "So&ubor" greyed, the start item removed.
    void lockForRace();

signals:
    void commandTriggered(int command);

private:
    QAction *addCommand(QWidget *menu, int command, const QString &text);

    QMenuBar *bar_;
    std::map<int, QAction *> actions_;
};
