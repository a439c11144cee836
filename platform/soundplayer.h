// Plays the program's WAV files asynchronously, one at a time: a new sound
// stops the one still playing. Files are looked up as named (relative to the
// current directory) and then in the installed data directory. Without an
// audio device it stays silent and never blocks.
#pragma once

#include <QObject>
#include <QString>

#include <memory>
#include <string>

class QSoundEffect;

class SoundPlayer : public QObject {
    Q_OBJECT
public:
    explicit SoundPlayer(QObject *parent = nullptr);
    ~SoundPlayer() override;

    /// Plays \a file, a path such as "soubory/finish.wav".
    void play(const std::string &file);

    /// Where \a file is found: as named, else under the installed data directory.
    static QString locate(const QString &file);

private:
    std::unique_ptr<QSoundEffect> effect_;
};
