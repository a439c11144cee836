#include "display/racetablewidget.h"

#include "tablefixture.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace {

std::string describeBox(const QString &title, const QString &text, QMessageBox::Icon icon,
                        QMessageBox::StandardButtons buttons)
{
    return QStringLiteral("%1 | %2 | icon %3 | buttons %4").arg(title, text).arg(icon).arg(buttons).toStdString();
}

// Answers every message box after it has stood open a few ticks (so queued
// work runs meanwhile), noting what it showed and whether another box opened
// on top of it. It never blocks in its own tick, so a stacked box is seen too.
class MessageBoxAnswerer : public QObject {
public:
    /// \a whileOpen runs once while the first box is up.
    explicit MessageBoxAnswerer(std::function<void()> whileOpen) : whileOpen_(std::move(whileOpen)) { startTimer(5); }

    std::vector<std::string> seen;
    bool stacked = false;

protected:
    void timerEvent(QTimerEvent *) override
    {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (box && box != current_) {
            stacked = stacked || (current_ && current_->isVisible());
            current_ = box;
            ticksOpen_ = 0;
            seen.push_back(describeBox(box->windowTitle(), box->text(), box->icon(), box->standardButtons()));
            if (seen.size() == 1)
                whileOpen_();
        } else if (box && ++ticksOpen_ == 3) {
            box->button(QMessageBox::Ok)->click();
        }
    }

private:
    std::function<void()> whileOpen_;
    QPointer<QMessageBox> current_;
    int ticksOpen_ = 0;
};

class RaceTableWidgetTest : public ::testing::Test {
protected:
    void showTable(QSize size)
    {
        race_.state.slidePhase = 4;
        race_.state.raceScreenReady = true;
        widget_.resize(size);
        widget_.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&widget_));
    }

    QPushButton *button(int command)
    {
        return widget_.findChild<QPushButton *>(QStringLiteral("actionButton%1").arg(command));
    }

    RaceSettings settings_ = tableSettings({.racers = 3});
    Race race_{settings_};
    RaceTableWidget widget_{race_, settings_};
};

} // namespace

TEST_F(RaceTableWidgetTest, RowButtonsSendTheirSeatsCommands)
{
    showTable({1280, 1024});
    widget_.repaint();
    EXPECT_EQ(widget_.findChildren<QPushButton *>().size(), 6) << "two per seat in use, made once";

    QSignalSpy clicks(&widget_, &RaceTableWidget::racerButtonClicked);
    QPushButton *resume = button(3104);
    QPushButton *disqualify = button(3105);
    ASSERT_TRUE(resume && disqualify);
    // Seat 3's action cell: 51 x 121 px from y = 50 + 2 x 121.
    EXPECT_EQ(resume->geometry(), QRect(8, 50 + 2 * 121 + 30 - 17, 35, 34));
    EXPECT_EQ(disqualify->geometry(), QRect(8, 50 + 2 * 121 + 90 - 17, 35, 34));
    EXPECT_TRUE(resume->isVisible());
    EXPECT_FALSE(resume->icon().isNull()) << "the program's button pictures are built in";
    resume->click();
    disqualify->click();
    ASSERT_EQ(clicks.size(), 2);
    EXPECT_EQ(clicks[0][0].toInt(), 3104);
    EXPECT_EQ(clicks[1][0].toInt(), 3105);
    EXPECT_EQ(button(3106), nullptr) << "no buttons for a seat not in use";
}

TEST_F(RaceTableWidgetTest, FirstPaintBeingARowRepaintDoesNotLoseOtherRowsButtons)
{
    race_.state.repaintRow = 1;
    showTable({1280, 1024});
    ASSERT_EQ(race_.state.repaintRow, kNoRow) << "the row repaint ran";
    widget_.repaint();
    for (int command = 3100; command <= 3105; ++command)
        EXPECT_NE(button(command), nullptr) << command;
    EXPECT_EQ(widget_.findChildren<QPushButton *>().size(), 6);
}

// A repaint while the box is up must not open a second one on top of it.
TEST_F(RaceTableWidgetTest, TooSmallScreenIsReportedOnceAfterThePaintThenTheWindowCloses)
{
    QSignalSpy closes(&widget_, &RaceTableWidget::mainWindowMustClose);
    MessageBoxAnswerer answerer([this] { widget_.repaint(); });
    showTable({999, 400});
    widget_.repaint();
    ASSERT_TRUE(QTest::qWaitFor([&] { return closes.size() == 1; }, 10000));
    QTest::qWait(50);

    const std::string box = describeBox(QStringLiteral("Chyba"),
                                        QStringLiteral("Rozlišení je příliš malé, aby pokrylo nároky programu!"),
                                        QMessageBox::Critical, QMessageBox::Ok);
    EXPECT_EQ(answerer.seen, std::vector<std::string>{box});
    EXPECT_FALSE(answerer.stacked);
    EXPECT_EQ(closes.size(), 1);
}

TEST_F(RaceTableWidgetTest, TextThatCannotFitIsReportedWithoutStackingAndTheWindowStays)
{
    QSignalSpy closes(&widget_, &RaceTableWidget::mainWindowMustClose);
    MessageBoxAnswerer answerer([this] { widget_.repaint(); });
    race_.racers[0].nameText = std::string(400, 'W');
    showTable({1280, 1024});
    ASSERT_TRUE(QTest::qWaitFor([&] { return !answerer.seen.empty(); }, 10000));

    EXPECT_EQ(answerer.seen[0],
              describeBox(QStringLiteral("Chyba"),
                          QStringLiteral("Nastala chyba při výpisu dat. Pokuste se změnit rozlišení, nebo např. "
                                         "jména závodníků."),
                          QMessageBox::Critical, QMessageBox::Ok));
    EXPECT_FALSE(answerer.stacked);
    EXPECT_EQ(closes.size(), 0);
}

TEST_F(RaceTableWidgetTest, LogoTickAsksForTheNameColumn)
{
    showTable({1280, 1024});
    widget_.logoTick();
    EXPECT_EQ(race_.state.logoPhase, 1);
    ASSERT_TRUE(QTest::qWaitFor([&] { return race_.state.refreshColumn == kNoRow; }, 10000))
        << "the tick invalidated the table and the refresh ran";
}
