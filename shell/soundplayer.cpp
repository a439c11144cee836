#include "shell/soundplayer.h"

#include "shell/datafiles.h"

#include <QAudioDevice>
#include <QMediaDevices>
#include <QSoundEffect>
#include <QUrl>

SoundPlayer::SoundPlayer(QObject *parent) : QObject(parent) {}

SoundPlayer::~SoundPlayer() = default;

void SoundPlayer::play(const std::string &file)
{
    // Without an output device a sound effect only complains on every play.
    if (QMediaDevices::defaultAudioOutput().isNull())
        return;
    const QString path = locateDataFile(QString::fromStdString(file));
    if (path.isEmpty())
        return;
    // A fresh effect per sound: destroying the old one stops it.
    effect_ = std::make_unique<QSoundEffect>();
    effect_->setSource(QUrl::fromLocalFile(path));
    effect_->play();
}
