// Shows a Message as a modal QMessageBox with its caption, text, buttons and
// icon, the first button being the default, as the program's boxes always are.
// A Yes/No question is left only by its buttons: Esc and the close box do
// nothing there, while an OK box closes with them.
#pragma once

#include "platform/message.h"

class QWidget;

MessageAnswer showMessageBox(QWidget *parent, const Message &message);
