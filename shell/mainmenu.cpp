#include "shell/mainmenu.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

MainMenu::MainMenu(QMenuBar *bar) : QObject(bar), bar_(bar)
{
    QMenu *file = bar->addMenu(QStringLiteral("So&ubor"));
    addCommand(file, kFactorySettingsCommand, QStringLiteral("Tová&rní nastavení\tAlt+R"));
    file->addSeparator();
    addCommand(file, kSaveIniCommand, QStringLiteral("&Uložit nastavení do souboru ...\tAlt+U"));
    addCommand(file, kLoadIniCommand, QStringLiteral("Načís&t z INI souboru ...\tAlt+T"));

    addCommand(bar, kStartRaceCommand, QStringLiteral("&Start závodu ..."));

    QMenu *settings = bar->addMenu(QStringLiteral("&Nastavení"));
    addCommand(settings, int(SettingGroup::Track), QStringLiteral("&Délka a měřítko dráhy ...\tAlt+D"));
    addCommand(settings, int(SettingGroup::Display), QStringLiteral("&Přepnutí zobrazení ...\tAlt+P"));
    addCommand(settings, int(SettingGroup::AutoCounting), QStringLiteral("&Funkce automatického počítání ...\tAlt+F"));
    addCommand(settings, int(SettingGroup::Racers), QStringLiteral("N&astavení závodníků ...\tAlt+A"));
    addCommand(settings, int(SettingGroup::Laps), QStringLiteral("P&očet okruhů jedné jízdy ...\tAlt+O"));
    settings->addSeparator();
    addCommand(settings, int(SettingGroup::Communication), QStringLiteral("Na&stavení komunikačního kanálu ...\tAlt+S"));
    for (SettingGroup group : kSettingGroups)
        action(int(group))->setCheckable(true);

    QMenu *about = bar->addMenu(QStringLiteral("&O aplikaci"));
    addCommand(about, kHelpCommand, QStringLiteral("Nápově&da\tAlt+D"));
    about->addSeparator();
    addCommand(about, kAboutCommand, QStringLiteral("O aplikaci ..."));

    addCommand(bar, kAutoLoadCommand, QStringLiteral("OFF"))
        ->setStatusTip(QStringLiteral("Aktivuje automatické nahrávání INI souboru"));
    addCommand(bar, kExitCommand, QStringLiteral("Konec"));

    showGroupMarks(RaceSettings{});
}

QAction *MainMenu::addCommand(QWidget *menu, int command, const QString &text)
{
    auto *item = new QAction(text, menu);
    menu->addAction(item);
    actions_[command] = item;
    connect(item, &QAction::triggered, this, [this, command] { emit commandTriggered(command); });
    return item;
}

QAction *MainMenu::action(int command) const
{
    const auto found = actions_.find(command);
    return found == actions_.end() ? nullptr : found->second;
}

void MainMenu::showGroupMarks(const RaceSettings &settings)
{
    for (SettingGroup group : kSettingGroups)
        action(int(group))->setChecked(settings.isGroupDone(group));
}

void MainMenu::lockForRace()
{
    const QList<QAction *> items = bar_->actions();
    items.at(2)->setEnabled(false);
    bar_->removeAction(items.at(1));
    items.at(0)->setEnabled(false);
}
