// Plays the program's WAV files asynchronously, one at a time: a new sound
// stops the one still playing. Without an audio device it stays silent and
// never blocks.
#pragma once

#include <QObject>

#include <memory>
#include <string>

class QSoundEffect;

class SoundPlayer : public QObject {
    Q_OBJECT
public:
    explicit SoundPlayer(QObject *parent = nullptr);
    ~SoundPlayer() override;

    /// Plays \a file, a data file name such as "soubory/finish.wav".
    void play(const std::string &file);

private:
    std::unique_ptr<QSoundEffect> effect_;
};
