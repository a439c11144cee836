#include "display/startlightswindow.h"

#include "display/qtgeometry.h"
#include "display/tablelayout.h"
#include "engine/startsequence.h"

#include <QIcon>
#include <QPainter>
#include <QPalette>
#include <QScreen>
#include <QTimerEvent>

namespace {

constexpr int kLightsPollMs = 50;
constexpr int kLightOutlineWidth = 5;
const QColor kFrameColour(128, 128, 128);

} // namespace

StartLightsWindow::StartLightsWindow(RaceState &state)
    : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint), state_(state)
{
    setWindowTitle(QStringLiteral("Právě probíhá odpočet startu ..."));
    setWindowIcon(QIcon(QStringLiteral(":/resources/icon101.png")));
    setCursor(Qt::ArrowCursor);
    QPalette colours = palette();
    colours.setColor(QPalette::Window, colours.color(QPalette::HighlightedText));
    setPalette(colours);
    setAutoFillBackground(true);
    setGeometry(toQRect(lightsWindowGeometry(state_.lightsWindowRect)));

    state_.lightsChanged = false;
    lightsTimer_.start(kLightsPollMs, this);
    update();
}

void StartLightsWindow::timerEvent(QTimerEvent *event)
{
    if (event->timerId() != lightsTimer_.timerId()) {
        QWidget::timerEvent(event);
        return;
    }
    if (state_.lightsChanged)
        update();
}

// Qt repaints the whole window from its backing store, so every paint draws
// the whole picture: frame and panel once the panel is known, then the lights.
void StartLightsWindow::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    // The rectangles are in screen pixels; the window has no frame, so its
    // client area starts at its screen position.
    painter.translate(-geometry().topLeft());
    state_.lightsChanged = false;

    const bool panelKnown = state_.lightsPanelRect.left != 0;
    if (panelKnown) {
        painter.fillRect(toQRect(state_.lightsWindowRect), kFrameColour);
        painter.fillRect(toQRect(state_.lightsPanelRect), Qt::black);
    }

    painter.setRenderHint(QPainter::Antialiasing);
    // The lights grow with the screen; their outline grows with the table's
    // fixed sizes. Drawn as vectors, they are sharp at any pixel ratio.
    const double scale = screen() ? tableSizeScale(screen()->geometry().height()) : 1.0;
    painter.setPen(QPen(Qt::black, kLightOutlineWidth * scale));
    for (std::size_t i = 0; i < state_.lightRect.size(); ++i) {
        const Rect &light = state_.lightRect[i];
        if (light.width() <= 0)
            continue; // not placed yet
        painter.setBrush(toQColor(state_.lightBrush[i]));
        painter.drawEllipse(toQRect(light));
    }
}
