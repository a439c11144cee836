#include "shell/mainframe.h"

#include "shell/mainmenu.h"
#include "shell/placedwindow.h"
#include "config/settingsflow.h"
#include "shell/windowracehost.h"
#include "shell/windowsettingsui.h"
#include "display/racetablewidget.h"
#include "display/startlightswindow.h"
#include "engine/raceengine.h"
#include "engine/resultsfile.h"
#include "engine/startsequence.h"
#include "shell/datafiles.h"
#include "shell/screensaverinhibitor.h"
#include "shell/soundplayer.h"
#include "shell/racearchive.h"
#include "record/reportfiles.h"
#include "setup/seriallink.h"
#include "setup/settingsdialogs.h"

#include <QAction>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QMenuBar>
#include <QScreen>
#include <QTimer>
#include <QUrl>

namespace {

constexpr int kWindowWidth = 380;
constexpr int kWindowHeight = 260;
constexpr int kStatusLineHeight = 16;
const QString kNoIniLoaded = QStringLiteral("Nebyl nahrán žádný inicializační soubor.");

} // namespace

MainFrame::MainFrame(QWidget *parent)
    : QMainWindow(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                              | Qt::WindowCloseButtonHint | Qt::WindowStaysOnTopHint),
      raceHost_(std::make_unique<WindowRaceHost>(*this)),
      settingsUi_(std::make_unique<WindowSettingsUi>(*this)),
      sounds_(std::make_unique<SoundPlayer>())
{
    hostClock_.start();
    for (int id = 1; id < int(timers_.size()); ++id) {
        timers_[id] = new QTimer(this);
        connect(timers_[id], &QTimer::timeout, this, [this, id] { timerTick(id); });
    }

    // The window: small, centred, always on top, not resizable.
    setWindowTitle(QString::fromUtf8(kWindowTitle.data(), qsizetype(kWindowTitle.size())));
    setWindowIcon(QIcon(QStringLiteral(":/resources/icon101.png")));
    // All six items must fit on the small window's bar, as on the system
    // the menu was laid out for: a narrower face and padding.
    menuBar()->setFont(QFont(QStringLiteral("Liberation Sans"), 9));
    menuBar()->setStyleSheet(QStringLiteral("QMenuBar::item { padding: 2px 4px; }"));
    menu_ = new MainMenu(menuBar());
    connect(menu_, &MainMenu::commandTriggered, this, &MainFrame::handleCommand);
    const Rect screen = screenRect();
    initialRect_ = {screen.width() / 2 - kWindowWidth / 2, screen.height() / 2 - kWindowHeight / 2,
                    screen.width() / 2 + kWindowWidth / 2, screen.height() / 2 + kWindowHeight / 2};
    setWindowRect(initialRect_);

    flow_ = std::make_unique<SettingsFlow>(settings_, *settingsUi_);

    auto *client = new QWidget(this);
    client->setAutoFillBackground(true);
    QPalette background = client->palette();
    background.setColor(QPalette::Window, background.color(QPalette::HighlightedText));
    client->setPalette(background);
    setCentralWidget(client);
    client->installEventFilter(this);
    splashPicture_ = new QLabel(client);
    splashPicture_->setPixmap(QPixmap(QStringLiteral(":/resources/bitmap102.png")));
    statusLine_ = new QLabel(kNoIniLoaded, client);
    statusLine_->setAlignment(Qt::AlignCenter);
    flow_->startUpAutoLoad();
    statusLine_->setFont(QFont(QStringLiteral("Tahoma"), 9));

    startNumberedTimer(kRaceClockTimer, kRaceClockPeriodMs);
    settings_.displayOrder = "1";
    engine_ = std::make_unique<RaceEngine>(settings_, *raceHost_);
    menu_->showGroupMarks(settings_);

    table_ = new RaceTableWidget(engine_->race(), settings_, client);
    connect(table_, &RaceTableWidget::racerButtonClicked, this, &MainFrame::handleCommand);
    connect(table_, &RaceTableWidget::mainWindowMustClose, this, &MainFrame::destroyWindow);
    table_->lower();
    layoutClientArea();

    serialLink_ = new SerialLink(this);
    connect(serialLink_, &SerialLink::blockReceived, this, [this](const QByteArray &block) {
        engine_->receiveBlock(std::string_view(block.constData(), block.size()));
        emit raceChanged();
    });
    archive_ = std::make_unique<RaceArchive>(*engine_, *raceHost_, *serialLink_, RaceArchive::defaultRacesDir());

    startNumberedTimer(kLightsWindowTimer, 100);
    inhibitor_ = std::make_unique<ScreenSaverInhibitor>();
}

MainFrame::~MainFrame()
{
    // The table and the serial link use the engine: they go before it does.
    stopAllTimers();
    delete table_;
    delete serialLink_;
}

Rect MainFrame::screenRect() const
{
    const QScreen *screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    const QRect area = screen ? screen->geometry() : QRect();
    return {area.left(), area.top(), area.right() + 1, area.bottom() + 1};
}

Rect MainFrame::availableScreenRect() const
{
    // The screen less the panels' struts, as the window manager announces it.
    const QScreen *screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    const QRect area = screen ? screen->availableGeometry() : QRect();
    return {area.left(), area.top(), area.right() + 1, area.bottom() + 1};
}

Rect MainFrame::windowRect() const
{
    return placedWindowRect(*this);
}

void MainFrame::setWindowRect(const Rect &rect)
{
    // The rectangle is the whole window, frame included, as the screen sees it.
    const QSize decoration = frameGeometry().size() - geometry().size();
    placingWindow_ = true;
    setFixedSize(rect.width() - decoration.width(), rect.height() - decoration.height());
    move(rect.left, rect.top);
    placeWindowRect(*this, rect);
    placingWindow_ = false;
}

bool MainFrame::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == centralWidget() && event->type() == QEvent::Resize)
        layoutClientArea();
    return QMainWindow::eventFilter(watched, event);
}

void MainFrame::layoutClientArea()
{
    const QSize client = centralWidget()->size();
    if (table_)
        table_->setGeometry(QRect(QPoint(0, 0), client));
    if (splashPicture_)
        splashPicture_->setGeometry(client.width() / 2 - 175, (client.height() - 15) / 2 - 85, 350, 170);
    if (statusLine_)
        statusLine_->setGeometry(0, client.height() - kStatusLineHeight, client.width(), kStatusLineHeight);
}

void MainFrame::startNumberedTimer(int id, int periodMs)
{
    if (id < kSlideTimer || id > kRaceEndTimer)
        return;
    if (id == kPollTimer)
        serialLink_->reopenIfLost();
    timers_[id]->start(periodMs);
}

void MainFrame::stopAllTimers()
{
    for (QTimer *timer : timers_) {
        if (timer)
            timer->stop();
    }
}

void MainFrame::stopNumberedTimer(int id)
{
    if (id >= kSlideTimer && id <= kRaceEndTimer)
        timers_[id]->stop();
}

bool MainFrame::numberedTimerRunning(int id) const
{
    return id >= kSlideTimer && id <= kRaceEndTimer && timers_[id]->isActive();
}

std::int32_t MainFrame::hostClockMs() const
{
    return static_cast<std::int32_t>(hostClock_.elapsed());
}

void MainFrame::playSound(const std::string &file)
{
    sounds_->play(file);
}

void MainFrame::setStatusText(const QString &text)
{
    if (statusLine_)
        statusLine_->setText(text);
}

void MainFrame::destroyWindow()
{
    close();
}

void MainFrame::closeEvent(QCloseEvent *event)
{
    // Closing never asks: a running race is simply abandoned, its record kept.
    stopAllTimers();
    lightsWindow_.reset();
    archive_->endRace(RaceEnd::Closed);
    event->accept();
}

void MainFrame::handleCommand(int command)
{
    if (command >= 3100 && command <= 3115) {
        engine_->racerButtonCommand(command);
        emit raceChanged();
        return;
    }
    if (command >= int(SettingGroup::Track) && command <= int(SettingGroup::Communication)) {
        flow_->settingsCommand(static_cast<SettingGroup>(command));
    } else {
        switch (command) {
        case kStartRaceCommand: startRaceCommand(); break;
        case kAboutCommand: execAboutDialog(this); break;
        case kExitCommand: destroyWindow(); return;
        case kFactorySettingsCommand: flow_->factorySettingsCommand(); break;
        case kLoadIniCommand: flow_->loadIniFile(); break;
        case kSaveIniCommand: flow_->saveIniFile(); break;
        case kAutoLoadCommand: flow_->toggleAutoLoad(); break;
        case kHelpCommand: openHelp(); break;
        default: break;
        }
    }
    // Choosing a checkable item ticks it; only the model's marks may show.
    menu_->showGroupMarks(settings_);
}

void MainFrame::startRaceCommand()
{
    if (!flow_->ensureCompleteSettings())
        return;
    if (!serialLink_->openSerialPort(settings_, *raceHost_))
        return;
    archive_->beginRace();
    QAction *start = menu_->action(kStartRaceCommand);
    start->setText(QStringLiteral("Odpočet ..."));
    start->setEnabled(false);
    startNumberedTimer(kSlideTimer, 10);
    startNumberedTimer(kPollTimer, engine_->state().pollPeriodMs);
}

void MainFrame::timerTick(int id)
{
    switch (id) {
    // Only the slide uses the window's rectangle; reading it asks the X server.
    case kSlideTimer: slideTick(windowRect()); break;
    case kCountdownTimer: {
        const Rect screen = screenRect();
        engine_->countdownTick(screen.width(), screen.height());
        emit raceChanged();
        break;
    }
    case kLogoTimer: table_->logoTick(); break;
    case kLightsWindowTimer: lightsWindowTick(); break;
    case kRepaintTimer:
        // The next crossing of the block once the row of the one before is painted.
        if (engine_->state().repaintRow == kNoRow && engine_->scanCrossings())
            emit raceChanged();
        if (engine_->state().repaintRow != kNoRow)
            table_->update();
        break;
    case kPollTimer: serialLink_->poll(); break;
    case kRaceClockTimer:
        engine_->raceClockTick();
        emit raceChanged();
        break;
    case kRaceEndTimer: raceEndTick(); break;
    default: break;
    }
}

void MainFrame::slideTick(const Rect &window)
{
    RaceState &state = engine_->state();
    const Rect screen = screenRect();
    switch (state.slidePhase) {
    case 0: {
        const SlideStep step = slideDownStep(window, screen.width(), screen.height());
        setWindowRect(step.window);
        if (step.finished) {
            state.slidePhase = 1;
            startNumberedTimer(kCountdownTimer, kCountdownPeriodMs);
        }
        break;
    }
    case 2:
        menu_->lockForRace();
        delete splashPicture_;
        splashPicture_ = nullptr;
        state.slidePhase = 3;
        delete statusLine_;
        statusLine_ = nullptr;
        break;
    case 3: {
        if (!growBack_)
            growBack_.emplace(screen, availableScreenRect());
        // The test uses the rectangle read before this tick's move.
        const GrowBack::Step step = growBack_->tick(window);
        setWindowRect(step.window);
        if (step.finished) {
            racePin_.emplace(step.window);
            engine_->enterRaceScreen();
            table_->update();
        }
        break;
    }
    default: break;
    }
}

void MainFrame::lightsWindowTick()
{
    RaceState &state = engine_->state();
    if (state.lightsWindowCommand == 1) {
        lightsWindow_ = std::make_unique<StartLightsWindow>(state);
        lightsWindow_->show();
        lightsWindow_->repaint();
    } else if (state.lightsWindowCommand == 2) {
        lightsWindow_.reset();
        state.startSignalGiven = true;
    }
    state.lightsWindowCommand = 0;
}

void MainFrame::raceEndTick()
{
    if (!engine_->raceIsOver())
        return;
    stopNumberedTimer(kRaceEndTimer);
    // Before the question: answering No still leaves the whole race kept.
    archive_->endRace(RaceEnd::Finished);
    offerRaceResults(engine_->race(), *settingsUi_,
                     [archive = archive_.get()] { return archive->lastRaceReport(); });
}

void MainFrame::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    // The frame's size is known only once the window exists on the screen.
    if (!shownOnce_) {
        shownOnce_ = true;
        setWindowRect(initialRect_);
    }
}

void MainFrame::moveEvent(QMoveEvent *event)
{
    QMainWindow::moveEvent(event);
    if (!placingWindow_)
        pinMainWindow();
}

void MainFrame::pinMainWindow()
{
    // The race screen stays where the grow-back left it: the whole screen,
    // or its available area where the window manager keeps panels free.
    if (!engine_ || engine_->state().slidePhase != 4 || !racePin_)
        return;
    if (racePin_->shouldPin(windowRect(), hostClockMs()))
        setWindowRect(racePin_->home());
    table_->update();
}

void MainFrame::openHelp()
{
    // Beside the program first, then in the installed data directory; a
    // missing document gives no message.
    const QString path = locateDataFile(QStringLiteral("soubory/Napoveda.htm"));
    if (!path.isEmpty())
        QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}
