// Text typed or picked in the settings dialogs ends up in a Windows-1250 INI
// file. What that file cannot hold (a Cyrillic letter, an emoji, a line
// break) is refused where it enters, with a message naming the text, so no
// later save fails on it.
#pragma once

#include <QValidator>

#include <functional>

class QWidget;

/// Tells the user that \a text cannot be stored in the settings file.
void reportUnsavableText(QWidget *parent, const QString &text);

/// Refuses every edit that would leave text the settings file cannot hold.
/// The first refusal is reported after the keystroke that caused it, naming
/// the text as it would have read; refusals while that message is open are
/// not reported again.
class SettingsTextValidator : public QValidator {
public:
    /// \a reportParent, the dialog, owns the message box; \a owner is the edit
    /// checked, one of its children.
    SettingsTextValidator(QWidget *reportParent, QObject *owner);

    State validate(QString &input, int &position) const override;

private:
    QWidget *reportParent_;
    mutable bool reporting_ = false;
};
