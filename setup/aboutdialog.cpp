#include "setup/aboutdialog.h"

#include "config/settingsui.h"
#include "setup/dialogokbutton.h"
#include "setup/dialogunits.h"

#include <QIcon>
#include <QLabel>
#include <QPushButton>

AboutDialog::AboutDialog(QWidget *parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("O aplikaci"));
    DialogUnits units(font());

    auto *icon = new QLabel(this);
    icon->setObjectName(QStringLiteral("icon"));
    units.place(icon, 7, 17, 20, 20);
    // A missing icon resource leaves the place empty.
    icon->setPixmap(QIcon(QStringLiteral(":/resources/icon101.png")).pixmap(32, 32));

    const auto addLine = [&](const QString &text, int x, int y, int width) {
        units.place(new QLabel(text, this), x, y, width, 8);
    };
    addLine(QStringLiteral("Základní program pro českou digitální autodráhu Tramelo."), 43, 13, 191);
    addLine(QStringLiteral("Vývoj: tým Tramelo"), 82, 23, 116);
    addLine(QStringLiteral("Verze %1").arg(QStringLiteral(TRAMELO_VERSION)), 69, 33, 148);
    units.place(createOkButton(this, OkButtonRole::Ok), 112, 47, 50, 14);
    units.apply(this, 262, 68);
}
