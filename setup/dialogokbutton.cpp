#include "setup/dialogokbutton.h"

#include <QDialog>
#include <QPushButton>

QString okButtonText(OkButtonRole role)
{
    switch (role) {
    case OkButtonRole::Next: return QStringLiteral("Další ...");
    case OkButtonRole::Finish: return QStringLiteral("Dokončit");
    case OkButtonRole::Ok: break;
    }
    return QStringLiteral("OK");
}

QPushButton *createOkButton(QDialog *dialog, OkButtonRole role)
{
    auto *button = new QPushButton(okButtonText(role), dialog);
    button->setObjectName(QStringLiteral("ok"));
    button->setDefault(true);
    QObject::connect(button, &QPushButton::clicked, dialog, &QDialog::accept);
    return button;
}
