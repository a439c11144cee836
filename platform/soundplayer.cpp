#include "platform/soundplayer.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QSoundEffect>
#include <QUrl>

#ifndef TRAMELO_DATA_DIR
#define TRAMELO_DATA_DIR ""
#endif

SoundPlayer::SoundPlayer(QObject *parent) : QObject(parent) {}

SoundPlayer::~SoundPlayer() = default;

QString SoundPlayer::locate(const QString &file)
{
    if (QFileInfo::exists(file))
        return QFileInfo(file).absoluteFilePath();
    const QStringList candidates = {
        QCoreApplication::applicationDirPath() + QLatin1Char('/') + file,
        QStringLiteral(TRAMELO_DATA_DIR) + QLatin1Char('/') + file,
    };
    for (const QString &candidate : candidates) {
        if (QFileInfo::exists(candidate))
            return QFileInfo(candidate).absoluteFilePath();
    }
    return {};
}

void SoundPlayer::play(const std::string &file)
{
    const QString path = locate(QString::fromStdString(file));
    if (path.isEmpty())
        return;
    // A fresh effect per sound: stopping the old one and loading a new source
    // is how one sound replaces the other.
    effect_ = std::make_unique<QSoundEffect>();
    effect_->setSource(QUrl::fromLocalFile(path));
    effect_->play();
}
