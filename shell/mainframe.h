// The main window. It owns the settings, the race engine, the serial link,
// the race table and the eight numbered timers; it wires menus, timers and
// buttons to the engine and the settings flows, which make every decision.
#pragma once

#include "config/racesettings.h"
#include "engine/geometry.h"
#include "engine/startsequence.h"
#include "engine/windowpin.h"

#include <QElapsedTimer>
#include <QMainWindow>

#include <array>
#include <memory>
#include <optional>

class MainMenu;
class RaceArchive;
class QLabel;
class QTimer;
class RaceEngine;
class RaceTableWidget;
class ScreenSaverInhibitor;
class SerialLink;
class SettingsFlow;
class SoundPlayer;
class StartLightsWindow;
class WindowRaceHost;
class WindowSettingsUi;

class MainFrame : public QMainWindow {
    Q_OBJECT
public:
    explicit MainFrame(QWidget *parent = nullptr);
    ~MainFrame() override;

    RaceSettings &settings() { return settings_; }
    RaceEngine &engine() { return *engine_; }
    SettingsFlow &settingsFlow() { return *flow_; }
    MainMenu &menu() { return *menu_; }
    RaceTableWidget *raceTable() const { return table_; }
    QLabel *statusLine() const { return statusLine_; }
    StartLightsWindow *startLightsWindow() const { return lightsWindow_.get(); }
    RaceArchive &raceArchive() { return *archive_; }

    void startNumberedTimer(int id, int periodMs);
    void stopNumberedTimer(int id);
    bool numberedTimerRunning(int id) const;
    std::int32_t hostClockMs() const;
    void playSound(const std::string &file);
    void setStatusText(const QString &text);
    /// Ends the program at once: no question, nothing saved.
    void destroyWindow();

    /// Carries out a menu or row-button command.
    void handleCommand(int command);
    void startRaceCommand();
    /// One tick of numbered timer \a id.
    void timerTick(int id);

signals:
    /// What the race table or the title shows may have changed: a block of
    /// the hardware's data or a row button was handled, the race clock or
    /// the countdown ticked. Every change of a cell comes from one of them.
    void raceChanged();

protected:
    void showEvent(QShowEvent *event) override;
    void moveEvent(QMoveEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void slideTick(const Rect &window);
    void lightsWindowTick();
    void raceEndTick();
    void pinMainWindow();
    void openHelp();
    void layoutClientArea();
    void stopAllTimers();
    Rect windowRect() const;
    void setWindowRect(const Rect &rect);
    Rect screenRect() const;
    Rect availableScreenRect() const;

    RaceSettings settings_;
    QElapsedTimer hostClock_;
    std::unique_ptr<WindowRaceHost> raceHost_;
    std::unique_ptr<WindowSettingsUi> settingsUi_;
    std::unique_ptr<SettingsFlow> flow_;
    std::unique_ptr<RaceEngine> engine_;
    std::unique_ptr<SoundPlayer> sounds_;
    std::unique_ptr<ScreenSaverInhibitor> inhibitor_;
    std::unique_ptr<StartLightsWindow> lightsWindow_;
    // After the engine: it detaches itself from the engine when it goes.
    std::unique_ptr<RaceArchive> archive_;
    std::array<QTimer *, 9> timers_{};
    MainMenu *menu_ = nullptr;
    SerialLink *serialLink_ = nullptr;
    RaceTableWidget *table_ = nullptr;
    QLabel *splashPicture_ = nullptr;
    QLabel *statusLine_ = nullptr;
    Rect initialRect_;
    std::optional<GrowBack> growBack_;
    std::optional<WindowPin> racePin_;
    bool placingWindow_ = false; ///< inside setWindowRect: its own move is no reason to pin
    bool shownOnce_ = false;
};
