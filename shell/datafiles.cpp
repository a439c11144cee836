#include "shell/datafiles.h"

#include <QCoreApplication>
#include <QFileInfo>

#ifndef TRAMELO_DATA_DIR
#define TRAMELO_DATA_DIR ""
#endif

QString locateDataFile(const QString &relativePath)
{
    const QStringList candidates = {
        relativePath,
        QCoreApplication::applicationDirPath() + QLatin1Char('/') + relativePath,
        QStringLiteral(TRAMELO_DATA_DIR) + QLatin1Char('/') + relativePath,
    };
    for (const QString &candidate : candidates) {
        if (QFileInfo::exists(candidate))
            return QFileInfo(candidate).absoluteFilePath();
    }
    return {};
}
