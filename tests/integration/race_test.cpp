// A whole race through the real main window: the track simulator on a
// pseudo-terminal plays two cars over three laps, the program runs the start
// command, the countdown, the race and the results file, with its questions
// answered as a race director would.
#include "shell/mainframe.h"
#include "shell/mainmenu.h"
#include "shell/raceapp.h"
#include "engine/raceengine.h"
#include "platform/codec.h"
#include "support/modalbot.h"
#include "support/screenconfig.h"

#include <QFileDialog>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// Simulator clock in ms. The program needs about ten seconds from the start
// command to the start signal; the start crossings come well after it.
constexpr const char *kScenario = R"(# time channel tank event
14000 1 9 0
14300 2 9 0
16000 1 9 0
16800 2 9 0
18000 1 8 0
19300 2 8 0
20000 1 8 0
21800 2 1 0
)";

QStringList csvFields(const QString &line)
{
    QString inner = line.mid(1, line.size() - 2);
    return inner.split(QStringLiteral("\",\""));
}

} // namespace

class RaceTest : public QObject {
    Q_OBJECT

private slots:
    void twoCarsOverThreeLapsEndInAResultsFile()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString scenario = dir.filePath(QStringLiteral("race.txt"));
        {
            QFile file(scenario);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(kScenario);
        }
        const QString link = dir.filePath(QStringLiteral("track"));
        QProcess simulator;
        simulator.start(QStringLiteral(TRACK_SIMULATOR), {QStringLiteral("--scenario"), scenario,
                                                          QStringLiteral("--link"), link});
        QVERIFY(simulator.waitForStarted());
        QTRY_VERIFY(QFileInfo::exists(link));

        MainFrame frame;
        frame.show();
        frame.handleCommand(kFactorySettingsCommand);
        frame.settings().lapsPerRide = "3";
        frame.settings().commPort = link.toStdString();

        const QString results = dir.filePath(QStringLiteral("vysledky.csv"));
        ModalBot bot;
        bot.answerMessage(QStringLiteral("Závod již skončil. Přejete si výsledky uložit"), QMessageBox::Yes);
        bot.handleDialog([results](QWidget *window) {
            auto *dialog = qobject_cast<QFileDialog *>(window);
            QVERIFY(dialog);
            dialog->selectFile(results);
            QMetaObject::invokeMethod(dialog, "accept");
        });
        frame.handleCommand(kStartRaceCommand);
        QCOMPARE(frame.menu().action(kStartRaceCommand)->text(), QStringLiteral("Odpočet ..."));

        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(results), 60000);
        QVERIFY2(bot.unexpected().isEmpty(), qPrintable(bot.unexpected().join('\n')));

        const Race &race = frame.engine().race();
        QCOMPARE(race.racers[0].rankText, std::string("1"));
        QCOMPARE(race.racers[1].rankText, std::string("2"));
        QCOMPARE(race.racers[0].lapsText, std::string("3"));
        QCOMPARE(race.racers[1].lapsText, std::string("3"));
        QCOMPARE(race.racers[0].flagCode, std::string("2"));
        QCOMPARE(race.racers[1].flagCode, std::string("2"));
        QCOMPARE(race.racers[1].tankText, std::string("2"));

        QFile file(results);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QString text = QString::fromStdString(cp1250ToUtf8(file.readAll().toStdString()));
        const QStringList lines = text.split(QStringLiteral("\r\n"));
        QCOMPARE(lines.size(), 3);
        QCOMPARE(lines[0], QStringLiteral("\"Jméno závodníka:\",\"Celkové pořadí:\",\"Ztráty na vedoucího "
                                          "závodníka/celkoví čas:\",\"Čas nejrychlejšího kola:\",\"Maximální rychlost:\""));
        // Car 1: laps of 2000 ms; 0.64 km in 2000 ms is 1152 km/h.
        const QStringList winner = csvFields(lines[1]);
        QCOMPARE(winner.size(), 5);
        QCOMPARE(winner[0], QStringLiteral("Závodník 1"));
        QCOMPARE(winner[1], QStringLiteral("1"));
        QVERIFY(winner[2].endsWith(QStringLiteral(" (vítězný celkoví čas)")));
        QCOMPARE(winner[3], QStringLiteral("0:02:000 [m:s:ms]"));
        QCOMPARE(winner[4], QStringLiteral("1152 [km/h]"));
        // Car 2: laps of 2500 ms, 921.6 km/h truncated; it finished behind.
        const QStringList second = csvFields(lines[2]);
        QCOMPARE(second[0], QStringLiteral("Závodník 2"));
        QCOMPARE(second[1], QStringLiteral("2"));
        QVERIFY(second[2].endsWith(QStringLiteral(" (ztráty)")));
        QCOMPARE(second[3], QStringLiteral("0:02:500 [m:s:ms]"));
        QCOMPARE(second[4], QStringLiteral("921 [km/h]"));

        frame.close();
        simulator.terminate();
        QVERIFY(simulator.waitForFinished());
    }
};

int main(int argc, char **argv)
{
    useOffscreenScreen(1024, 768);
    RaceApp app(argc, argv);
    RaceTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "race_test.moc"
