#include "setup/incompletesettingsdialog.h"

#include "setup/dialogunits.h"

#include <QLabel>
#include <QPushButton>

IncompleteSettingsDialog::IncompleteSettingsDialog(bool loadEnabled, QWidget *parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Nekompletní nastavení ..."));
    DialogUnits units(font());

    units.place(new QLabel(QStringLiteral("Nastavení není kompletní. Jak má systém pokračovat?"), this), 7, 7,
                174, 8);
    // Created in tab order: load, wizard, cancel. None is the default
    // button, so Enter presses the button that has the focus.
    const auto addButton = [&](const QString &text, const char *name, IncompleteSettingsChoice choice) {
        auto *button = new QPushButton(text, this);
        button->setObjectName(QString::fromLatin1(name));
        connect(button, &QPushButton::clicked, this, [this, choice] { done(static_cast<int>(choice)); });
        return button;
    };
    QPushButton *load = addButton(QStringLiteral("Nahrát ze souboru ..."), "button2024",
                                  IncompleteSettingsChoice::LoadFile);
    load->setEnabled(loadEnabled);
    units.place(load, 43, 39, 102, 14);
    units.place(addButton(QStringLiteral("Spustit konfiguračního průvodce ..."), "button2025",
                          IncompleteSettingsChoice::Wizard),
                26, 21, 139, 14);
    units.place(addButton(QStringLiteral("Zrušit"), "button2026", IncompleteSettingsChoice::Cancel), 62, 56,
                63, 14);
    units.apply(this, 188, 78);
}

IncompleteSettingsChoice IncompleteSettingsDialog::choose()
{
    // Esc and the close box end with QDialog::Rejected: they cancel and must
    // never start a load.
    switch (exec()) {
    case static_cast<int>(IncompleteSettingsChoice::Wizard): return IncompleteSettingsChoice::Wizard;
    case static_cast<int>(IncompleteSettingsChoice::LoadFile): return IncompleteSettingsChoice::LoadFile;
    default: return IncompleteSettingsChoice::Cancel;
    }
}
