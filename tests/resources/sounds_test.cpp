// The sound files the race names: each must be there, in the one format every
// player takes (16-bit PCM WAV, mono, 22050 or 44100 Hz), short enough not to
// cut into the next event, loud enough to hear and never clipped.
#include <QFile>
#include <QTest>
#include <QtEndian>

#include <algorithm>
#include <cstdlib>
#include <optional>

namespace {

struct Wave {
    int formatTag = 0;
    int channels = 0;
    int sampleRate = 0;
    int bitsPerSample = 0;
    QByteArray samples;
};

// Walks the RIFF chunks; a file without "fmt " or "data" gives nothing.
std::optional<Wave> readWave(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray bytes = file.readAll();
    if (bytes.size() < 12 || !bytes.startsWith("RIFF") || bytes.mid(8, 4) != "WAVE")
        return std::nullopt;

    Wave wave;
    bool haveFormat = false;
    bool haveData = false;
    for (qsizetype at = 12; at + 8 <= bytes.size();) {
        const QByteArray id = bytes.mid(at, 4);
        const quint32 size = qFromLittleEndian<quint32>(bytes.constData() + at + 4);
        const char *body = bytes.constData() + at + 8;
        if (size > quint32(bytes.size() - at - 8))
            return std::nullopt;
        if (id == "fmt " && size >= 16) {
            wave.formatTag = qFromLittleEndian<quint16>(body);
            wave.channels = qFromLittleEndian<quint16>(body + 2);
            wave.sampleRate = int(qFromLittleEndian<quint32>(body + 4));
            wave.bitsPerSample = qFromLittleEndian<quint16>(body + 14);
            haveFormat = true;
        } else if (id == "data") {
            wave.samples = bytes.mid(at + 8, size);
            haveData = true;
        }
        at += 8 + size + (size & 1);
    }
    if (!haveFormat || !haveData)
        return std::nullopt;
    return wave;
}

} // namespace

class SoundsTest : public QObject {
    Q_OBJECT

private slots:
    void everySoundIsAShortCleanMonoWave_data()
    {
        QTest::addColumn<QString>("name");
        for (const char *name : {"count1", "count2", "count3", "count4", "count5", "start", "nextRounds", "finish",
                                 "beep", "relais", "fuellow", "go"})
            QTest::newRow(name) << QStringLiteral("%1.wav").arg(QLatin1String(name));
    }

    void everySoundIsAShortCleanMonoWave()
    {
        QFETCH(QString, name);
        const auto wave = readWave(QStringLiteral(TRAMELO_SOUNDS_DIR "/") + name);
        QVERIFY2(wave, qPrintable(name + QStringLiteral(" is missing or not a WAV file")));
        QCOMPARE(wave->formatTag, 1); // PCM
        QCOMPARE(wave->channels, 1);
        QCOMPARE(wave->bitsPerSample, 16);
        QVERIFY(wave->sampleRate == 22050 || wave->sampleRate == 44100);

        const qsizetype count = wave->samples.size() / 2;
        const double seconds = double(count) / wave->sampleRate;
        QVERIFY2(seconds >= 0.05 && seconds <= 1.5, qPrintable(QString::number(seconds)));

        int peak = 0;
        for (qsizetype i = 0; i < count; ++i)
            peak = std::max(peak, std::abs(int(qFromLittleEndian<qint16>(wave->samples.constData() + 2 * i))));
        // Normalised: loud (above -6 dBFS) but with headroom left.
        QVERIFY2(peak > 16384 && peak < 32767, qPrintable(QStringLiteral("peak %1").arg(peak)));
    }
};

QTEST_GUILESS_MAIN(SoundsTest)
#include "sounds_test.moc"
