// The start-lights window of the countdown: a frameless window on top of all
// others, placed over the lights' frame with a 10 px margin, showing the grey
// frame, the black panel and the five lights in the colours the countdown
// sets. It polls the race state every 50 ms and repaints when the lights
// changed. The main window creates and destroys it.
#pragma once

#include "engine/racestate.h"

#include <QBasicTimer>
#include <QWidget>

class StartLightsWindow : public QWidget {
    Q_OBJECT
public:
    explicit StartLightsWindow(RaceState &state);

protected:
    void paintEvent(QPaintEvent *event) override;
    void timerEvent(QTimerEvent *event) override;

private:
    RaceState &state_;
    QBasicTimer lightsTimer_;
};
