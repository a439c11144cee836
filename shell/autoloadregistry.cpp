#include "shell/autoloadregistry.h"

#include <QSettings>

namespace {

const QString kIniFilePathKey = QStringLiteral("Setting/iniFilePath");

// Named explicitly, so the value is found whatever names the application object carries.
QSettings applicationProfile()
{
    return QSettings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Korvanta"),
                     QStringLiteral("tramelo"));
}

} // namespace

std::string autoLoadPathFromRegistry()
{
    return applicationProfile().value(kIniFilePathKey).toString().toStdString();
}

void storeAutoLoadPathInRegistry(const std::string &path)
{
    QSettings profile = applicationProfile();
    profile.setValue(kIniFilePathKey, QString::fromStdString(path));
    profile.sync();
}

void removeAutoLoadPathFromRegistry()
{
    QSettings profile = applicationProfile();
    profile.remove(kIniFilePathKey);
    profile.sync();
}
