#include "setup/settingstextinput.h"

#include "config/initext.h"
#include "qtplatform/messagebox.h"

#include <QTimer>
#include <QWidget>

void reportUnsavableText(QWidget *parent, const QString &text)
{
    const QString message = QStringLiteral("„%1“ nelze uložit do souboru nastavení: obsahuje znak, který kódování "
                                           "Windows-1250 nemá.")
                                .arg(text);
    showMessageBox(parent, {"Chyba", message.toStdString(), MessageButtons::Ok, MessageIcon::Error});
}

SettingsTextValidator::SettingsTextValidator(QWidget *reportParent, QObject *owner)
    : QValidator(owner), reportParent_(reportParent)
{
}

QValidator::State SettingsTextValidator::validate(QString &input, int &) const
{
    if (fitsIniValue(input.toStdString()))
        return Acceptable;
    if (!reporting_) {
        reporting_ = true;
        // Shown once the edit is over: a modal box inside the line edit's own
        // change handling would run a nested loop in the middle of it.
        QTimer::singleShot(0, this, [this, text = input] {
            reportUnsavableText(reportParent_, text);
            reporting_ = false;
        });
    }
    return Invalid;
}
