// The main window on a 1280 x 1024 screen: start-up state, the whole menu, the
// slide down and grow-back around the start, the menu lock, the start command
// with its refusals, exit and close during a race, help and the about box.
#include "shell/mainframe.h"
#include "shell/mainmenu.h"
#include "shell/raceapp.h"
#include "engine/raceengine.h"
#include "shell/datafiles.h"
#include "support/modalbot.h"
#include "support/screenconfig.h"

#include <QAction>
#include <QDialog>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QtTest>

#include <algorithm>
#include <string>

#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

namespace {

constexpr int kScreenWidth = 1280;
constexpr int kScreenHeight = 1024;

const QRect kFullScreen(0, 0, kScreenWidth, kScreenHeight);

// A pseudo-terminal standing in for the lap counter's serial port: the start
// command opens its device as it would open the real one.
class FakeSerialPort {
public:
    FakeSerialPort() : master_(posix_openpt(O_RDWR | O_NOCTTY))
    {
        if (master_ >= 0 && grantpt(master_) == 0 && unlockpt(master_) == 0)
            device_ = ptsname(master_);
    }
    ~FakeSerialPort()
    {
        if (master_ >= 0)
            ::close(master_);
    }
    FakeSerialPort(const FakeSerialPort &) = delete;
    FakeSerialPort &operator=(const FakeSerialPort &) = delete;

    const std::string &device() const { return device_; }

private:
    int master_;
    std::string device_;
};

// The periods of the window's running timers, sorted.
QList<int> runningTimerPeriods(const QObject *frame)
{
    QList<int> periods;
    for (const QTimer *timer : frame->findChildren<QTimer *>(Qt::FindDirectChildrenOnly)) {
        if (timer->isActive())
            periods << timer->interval();
    }
    std::sort(periods.begin(), periods.end());
    return periods;
}

// A menu as its user reads it: items in order, "-" for a separator, "[...]"
// around a pop-up's items; a shortcut bound to an item shows after "@".
QString menuText(const QList<QAction *> &actions)
{
    QStringList items;
    for (const QAction *action : actions) {
        QString item = action->isSeparator() ? QStringLiteral("-") : action->text();
        if (!action->shortcut().isEmpty())
            item += '@' + action->shortcut().toString();
        if (action->menu())
            item += '[' + menuText(action->menu()->actions()) + ']';
        items << item;
    }
    return items.join('|');
}

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

    // Texts, order and separators as the user reads them. The key hints after
    // a tab are text only: no item carries a shortcut, so Alt+D reaches the
    // settings item and the help item through their menus alone.
    void menuHoldsEveryItemInOrderWithKeyHintsButNoShortcuts()
    {
        QCOMPARE(menuText(frame->menuBar()->actions()),
                 QStringLiteral("So&ubor[Tová&rní nastavení\tAlt+R|-|&Uložit nastavení do souboru ...\tAlt+U|"
                                "Načís&t z INI souboru ...\tAlt+T]|"
                                "&Start závodu ...|"
                                "&Nastavení[&Délka a měřítko dráhy ...\tAlt+D|&Přepnutí zobrazení ...\tAlt+P|"
                                "&Funkce automatického počítání ...\tAlt+F|N&astavení závodníků ...\tAlt+A|"
                                "P&očet okruhů jedné jízdy ...\tAlt+O|-|"
                                "Na&stavení komunikačního kanálu ...\tAlt+S]|"
                                "&O aplikaci[Nápově&da\tAlt+D|-|O aplikaci ...]|"
                                "OFF|Konec"));
        const struct {
            int command;
            const char *text;
        } commands[] = {
            {kFactorySettingsCommand, "Tová&rní nastavení\tAlt+R"}, {kSaveIniCommand, "&Uložit nastavení do souboru ...\tAlt+U"},
            {kLoadIniCommand, "Načís&t z INI souboru ...\tAlt+T"},   {kStartRaceCommand, "&Start závodu ..."},
            {kHelpCommand, "Nápově&da\tAlt+D"},                       {kAboutCommand, "O aplikaci ..."},
            {kAutoLoadCommand, "OFF"},                                  {kExitCommand, "Konec"},
        };
        for (const auto &command : commands)
            QCOMPARE(frame->menu().action(command.command)->text(), QString::fromUtf8(command.text));
    }

    void successfulStartGreysTheItemAndRunsTheSlideAndPollTimers()
    {
        const QList<int> before = runningTimerPeriods(frame.get());
        startRace();
        QAction *start = frame->menu().action(kStartRaceCommand);
        QCOMPARE(start->text(), QStringLiteral("Odpočet ..."));
        QVERIFY(!start->isEnabled());
        QVERIFY(frame->numberedTimerRunning(kSlideTimer));
        QVERIFY(frame->numberedTimerRunning(kPollTimer));
        QList<int> added = runningTimerPeriods(frame.get());
        for (int period : before)
            added.removeOne(period);
        QCOMPARE(added, (QList<int>{10, 350}));
    }

    // Exit and the close box work during a race as at any time: at once,
    // without a question, the countdown's lights window with the window.
    void exitOrCloseDuringARaceEndsAtOnceWithoutAQuestion_data()
    {
        QTest::addColumn<bool>("viaMenu");
        QTest::newRow("Konec") << true;
        QTest::newRow("close box") << false;
    }
    void exitOrCloseDuringARaceEndsAtOnceWithoutAQuestion()
    {
        QFETCH(bool, viaMenu);
        startRace();
        for (int ticks = 0; frame->engine().state().slidePhase == 0 && ticks < 1000; ++ticks)
            frame->timerTick(kSlideTimer);
        frame->timerTick(kCountdownTimer);
        frame->timerTick(kLightsWindowTimer);
        QVERIFY(frame->startLightsWindow() != nullptr);

        ModalBot bot;
        if (viaMenu)
            frame->handleCommand(kExitCommand);
        else
            QVERIFY(frame->close());
        QVERIFY(!frame->isVisible());
        QVERIFY(frame->startLightsWindow() == nullptr);
        for (int id = kSlideTimer; id <= kRaceEndTimer; ++id)
            QVERIFY2(!frame->numberedTimerRunning(id), qPrintable(QString::number(id)));
        QTest::qWait(50);
        QVERIFY2(bot.seenMessages().isEmpty(), qPrintable(bot.seenMessages().join('\n')));
        QVERIFY(bot.unexpected().isEmpty());
    }

    void helpWithTheDocumentMissingShowsNothingAndTheProgramGoesOn()
    {
        if (!locateDataFile(QStringLiteral("soubory/Napoveda.htm")).isEmpty())
            QSKIP("the help document is installed here; opening it would start a browser");
        ModalBot bot;
        frame->handleCommand(kHelpCommand);
        QTest::qWait(50);
        QVERIFY(bot.seenMessages().isEmpty());
        QVERIFY(bot.unexpected().isEmpty());
        QVERIFY(frame->isVisible());
        QVERIFY(frame->numberedTimerRunning(kRaceClockTimer));
        QVERIFY(frame->menu().action(kStartRaceCommand)->isEnabled());
    }

    void aboutBoxShowsItsCaptionTextsAndIconAndOkClosesIt()
    {
        ModalBot bot;
        QStringList seen;
        bot.handleDialog([&seen](QWidget *dialog) {
            seen << dialog->windowTitle();
            for (const QLabel *label : dialog->findChildren<QLabel *>()) {
                if (label->objectName() == QStringLiteral("icon"))
                    seen << (label->pixmap().isNull() ? "no icon" : "icon");
                else
                    seen << label->text();
            }
            dialog->findChild<QPushButton *>()->click();
        });
        frame->handleCommand(kAboutCommand);
        QVERIFY(bot.allAnswered());
        QVERIFY(bot.unexpected().isEmpty());
        QCOMPARE(seen, (QStringList{"O aplikaci", "icon", "Základní program pro českou digitální autodráhu Tramelo.",
                                    "Vývoj: tým Tramelo", "Verze " + QCoreApplication::applicationVersion()}));
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
    // Complete settings and a port that opens: the start command succeeds.
    void startRace()
    {
        QVERIFY(!port.device().empty());
        frame->handleCommand(kFactorySettingsCommand);
        frame->settings().commPort = port.device();
        ModalBot bot;
        frame->handleCommand(kStartRaceCommand);
        QVERIFY2(bot.unexpected().isEmpty(), qPrintable(bot.unexpected().join('\n')));
    }

    std::unique_ptr<MainFrame> frame;
    FakeSerialPort port;
};

int main(int argc, char **argv)
{
    useOffscreenScreen(kScreenWidth, kScreenHeight);
    RaceApp app(argc, argv);
    MainFrameTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "mainframe_test.moc"
