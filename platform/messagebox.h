// Shows a Message as a modal QMessageBox with its caption, text, buttons and
// icon, the first button being the default, as the program's boxes always are.
#pragma once

#include "platform/message.h"

class QWidget;

MessageAnswer showMessageBox(QWidget *parent, const Message &message);
