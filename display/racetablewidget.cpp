#include "display/racetablewidget.h"

#include "display/qtgeometry.h"
#include "display/tablecells.h"
#include "display/tablelayout.h"
#include "qtplatform/messagebox.h"

#include <QIcon>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>

namespace {

constexpr int kRaceScreenPhase = 4;

Message paintFailureMessage(PaintOutcome outcome)
{
    const std::string text = outcome == PaintOutcome::ResolutionTooSmall
        ? "Rozlišení je příliš malé, aby pokrylo nároky programu!"
        : "Nastala chyba při výpisu dat. Pokuste se změnit rozlišení, nebo např. jména závodníků.";
    return {"Chyba", text, MessageButtons::Ok, MessageIcon::Error};
}

} // namespace

RaceTableWidget::RaceTableWidget(Race &race, const RaceSettings &settings, QWidget *parent)
    : QWidget(parent), race_(race), settings_(settings), painter_(race, settings, logos_, pictures_)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
}

double RaceTableWidget::screenSizeScale() const
{
    const QScreen *current = screen();
    return current ? tableSizeScale(current->geometry().height()) : 1.0;
}

void RaceTableWidget::logoTick()
{
    logos_.setSizeScale(screenSizeScale());
    logos_.logoTick(settings_, race_);
    update();
}

void RaceTableWidget::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    // Until the race screen is up the table draws nothing; the widget is
    // opaque, so it clears itself.
    if (race_.state.slidePhase != kRaceScreenPhase)
        painter.fillRect(rect(), palette().window());
    painter_.setSizeScale(screenSizeScale());
    const PaintResult result = painter_.paint(painter, size());
    painter.end();

    for (int seat = 0; seat < kSeatCount; ++seat)
        if (result.actionCells[seat] && !buttonsCreated_[seat])
            createActionButtons(seat, *result.actionCells[seat]);
    if (result.outcome != PaintOutcome::Completed)
        reportAfterPaint(result.outcome);
}

// Buttons are made once per seat, by the first paint that draws its action
// cell, even when that paint was a row repaint or stopped early.
void RaceTableWidget::createActionButtons(int seat, const Rect &cell)
{
    buttonsCreated_[seat] = true;
    const double scale = painter_.sizeScale();
    for (const ActionButton &action : actionButtons(seat, cell, scaledSize(kActionButtonSize, scale))) {
        auto *button = new QPushButton(this);
        button->setObjectName(QStringLiteral("actionButton%1").arg(action.command));
        button->setIcon(QIcon(QPixmap::fromImage(pictures_.picture(action.resource, scale * devicePixelRatioF()))));
        button->setIconSize(QSize(30, 30) * scale);
        button->setGeometry(toQRect(action.geometry));
        connect(button, &QPushButton::clicked, this, [this, command = action.command] {
            emit racerButtonClicked(command);
        });
        button->show();
    }
}

// A modal box cannot be opened inside a paint: it is shown once the paint has
// ended, and not again while one is waiting or open.
void RaceTableWidget::reportAfterPaint(PaintOutcome outcome)
{
    if (failureReported_)
        return;
    failureReported_ = true;
    QMetaObject::invokeMethod(this, [this, outcome] { showPaintFailure(outcome); }, Qt::QueuedConnection);
}

void RaceTableWidget::showPaintFailure(PaintOutcome outcome)
{
    showMessageBox(this, paintFailureMessage(outcome));
    if (outcome == PaintOutcome::ResolutionTooSmall) {
        // The window goes away; no further message is shown.
        emit mainWindowMustClose();
        return;
    }
    failureReported_ = false;
}
