// The main window on a 1280 x 1024 screen: start-up state, the slide down and
// grow-back around the start, the menu lock, and the start command's refusals.
#include "config/mainframe.h"
#include "config/mainmenu.h"
#include "config/raceapp.h"
#include "engine/raceengine.h"
#include "support/modalbot.h"
#include "support/screenconfig.h"

#include <QAction>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QtTest>

namespace {

constexpr int kScreenWidth = 1280;
constexpr int kScreenHeight = 1024;

const QRect kFullScreen(0, 0, kScreenWidth, kScreenHeight);

} // namespace

class MainFrameTest : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        frame = std::make_unique<MainFrame>();
        frame->show();
        QVERIFY(QTest::qWaitForWindowExposed(frame.get()));
    }
    void cleanup() { frame.reset(); }

    void startUpShowsASmallCentredWindowWaitingForSettings()
    {
        QCOMPARE(frame->frameGeometry(), QRect(450, 382, 380, 260));
        QCOMPARE(frame->windowTitle(), QStringLiteral("..:: Základní program modelové autodráhy Tramelo ::.."));
        QVERIFY(frame->windowFlags() & Qt::WindowStaysOnTopHint);

        QLabel *status = frame->statusLine();
        QCOMPARE(status->text(), QStringLiteral("Nebyl nahrán žádný inicializační soubor."));
        const QWidget *client = frame->centralWidget();
        QCOMPARE(status->geometry(), QRect(0, client->height() - 16, client->width(), 16));

        for (SettingGroup group : kSettingGroups)
            QCOMPARE(frame->menu().action(int(group))->isChecked(), group == SettingGroup::AutoCounting);
        QCOMPARE(frame->menu().action(kAutoLoadCommand)->text(), QStringLiteral("OFF"));
        QCOMPARE(frame->settings().displayOrder, std::string("1"));
        QCOMPARE(frame->settings().scale, std::string());

        QVERIFY(frame->numberedTimerRunning(kLightsWindowTimer));
        QVERIFY(frame->numberedTimerRunning(kRaceClockTimer));
        for (int id : {kSlideTimer, kCountdownTimer, kLogoTimer, kRepaintTimer, kPollTimer, kRaceEndTimer})
            QVERIFY2(!frame->numberedTimerRunning(id), qPrintable(QString::number(id)));
        // Ticks of timers that do not exist are ignored.
        frame->timerTick(0);
        frame->timerTick(9);
    }

    void choosingASettingsItemTicksItOnlyThroughTheModel()
    {
        ModalBot bot;
        bot.handleDialog([](QWidget *dialog) { QTest::keyClick(dialog, Qt::Key_Escape); });
        frame->menu().action(int(SettingGroup::Laps))->trigger();
        QVERIFY(bot.allAnswered());
        QVERIFY(!frame->menu().action(int(SettingGroup::Laps))->isChecked());
    }

    void slideDownStopsNearTheBottomAndStartsTheCountdown()
    {
        int ticks = 0;
        for (; frame->engine().state().slidePhase == 0 && ticks < 1000; ++ticks)
            frame->timerTick(kSlideTimer);
        QCOMPARE(frame->engine().state().slidePhase, 1);
        // From bottom 642 in steps of 1024 / 300 = 3 px; the tick that finds
        // less than 70 px left (bottom 957 before its move) is the last.
        QCOMPARE(ticks, 106);
        QCOMPARE(frame->frameGeometry().bottom() + 1, 642 + 3 * 106);
        QCOMPARE(frame->frameGeometry().left(), 450);
        QVERIFY(frame->numberedTimerRunning(kCountdownTimer));
    }

    void startSignalLocksTheMenuAndRemovesTheStartScreen()
    {
        frame->engine().state().slidePhase = 2;
        frame->timerTick(kSlideTimer);

        QCOMPARE(frame->engine().state().slidePhase, 3);
        const QList<QAction *> bar = frame->menuBar()->actions();
        QCOMPARE(bar.at(0)->text(), QStringLiteral("So&ubor"));
        QVERIFY(!bar.at(0)->isEnabled());
        QCOMPARE(bar.at(1)->text(), QStringLiteral("&Nastavení"));
        QVERIFY(!bar.at(1)->isEnabled());
        QVERIFY(!bar.contains(frame->menu().action(kStartRaceCommand)));
        QVERIFY(frame->statusLine() == nullptr);
    }

    void growBackEndsOneTickAfterTheWindowFillsTheScreen()
    {
        frame->settings().lapsPerRide = "7";
        frame->engine().state().slidePhase = 3;
        for (int ticks = 0; frame->frameGeometry() != kFullScreen && ticks < 1000; ++ticks)
            frame->timerTick(kSlideTimer);
        QCOMPARE(frame->frameGeometry(), kFullScreen);
        QCOMPARE(frame->engine().state().slidePhase, 3);

        frame->timerTick(kSlideTimer);
        QCOMPARE(frame->engine().state().slidePhase, 4);
        QVERIFY(frame->engine().state().raceScreenReady);
        QCOMPARE(frame->windowTitle(),
                 QStringLiteral("..:: Základní program modelové autodráhy Tramelo ::.. VOLENá KOLA: 7"));
        QVERIFY(!frame->numberedTimerRunning(kSlideTimer));
        for (int id : {kRepaintTimer, kRaceEndTimer, kLogoTimer})
            QVERIFY2(frame->numberedTimerRunning(id), qPrintable(QString::number(id)));

        // The race screen stays on the whole screen.
        frame->move(100, 100);
        QTRY_COMPARE(frame->frameGeometry(), kFullScreen);
    }

    void startWithIncompleteSettingsAndCancelLeavesTheStartItemReady()
    {
        ModalBot bot;
        bot.handleDialog([](QWidget *dialog) {
            QCOMPARE(dialog->windowTitle(), QStringLiteral("Nekompletní nastavení ..."));
            QTest::keyClick(dialog, Qt::Key_Escape);
        });
        bot.answerMessage(QStringLiteral("Uživatel přerušil vykonávání právě probíhající akce."), QMessageBox::Ok);
        frame->handleCommand(kStartRaceCommand);

        QVERIFY2(bot.unexpected().isEmpty(), qPrintable(bot.unexpected().join('\n')));
        QVERIFY(bot.allAnswered());
        QCOMPARE(frame->menu().action(kStartRaceCommand)->text(), QStringLiteral("&Start závodu ..."));
        QVERIFY(!frame->numberedTimerRunning(kSlideTimer));
        QVERIFY(!frame->numberedTimerRunning(kPollTimer));
    }

    void startWithAMissingPortReportsItAndCanBeChosenAgain()
    {
        frame->handleCommand(kFactorySettingsCommand);
        QCOMPARE(frame->statusLine()->text(), QStringLiteral("Tovární nastavení bylo úspěšně nahráno."));
        for (SettingGroup group : kSettingGroups)
            QVERIFY(frame->menu().action(int(group))->isChecked());
        frame->settings().commPort = "/nonexistent/tramelo-port";

        ModalBot bot;
        bot.answerMessage(QStringLiteral("Komunikační port nelze otevřít!"), QMessageBox::Ok);
        frame->handleCommand(kStartRaceCommand);

        QVERIFY2(bot.unexpected().isEmpty(), qPrintable(bot.unexpected().join('\n')));
        QVERIFY(bot.allAnswered());
        QAction *start = frame->menu().action(kStartRaceCommand);
        QCOMPARE(start->text(), QStringLiteral("&Start závodu ..."));
        QVERIFY(start->isEnabled());
        QVERIFY(!frame->numberedTimerRunning(kSlideTimer));
    }

    void exitEndsTheProgramWithoutAQuestion()
    {
        ModalBot bot;
        frame->handleCommand(kExitCommand);
        QVERIFY(!frame->isVisible());
        QVERIFY(bot.seenMessages().isEmpty());
        QVERIFY(!frame->numberedTimerRunning(kRaceClockTimer));
    }

private:
    std::unique_ptr<MainFrame> frame;
};

int main(int argc, char **argv)
{
    useOffscreenScreen(kScreenWidth, kScreenHeight);
    RaceApp app(argc, argv);
    MainFrameTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "mainframe_test.moc"
