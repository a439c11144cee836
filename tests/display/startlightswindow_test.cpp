#include "display/startlightswindow.h"

#include "engine/raceengine.h"
#include "fakes/fakeracehost.h"
#include "tablefixture.h"

#include <QPalette>
#include <QTest>

#include <gtest/gtest.h>

namespace {

// The countdown on a 1280 x 1024 screen, with the lights window made as the
// main window's lights timer makes it.
class StartLightsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        engine_.countdownTick(kScreenWidth, kScreenHeight);
        ASSERT_EQ(engine_.state().lightsWindowCommand, 1);
        window_ = std::make_unique<StartLightsWindow>(engine_.state());
        engine_.state().lightsWindowCommand = 0;
    }

    void countTo(int ticks)
    {
        while (engine_.state().countdownTicks <= ticks)
            engine_.countdownTick(kScreenWidth, kScreenHeight);
    }

    // Centre of light \a index in window pixels: lights are 205 px wide every
    // 247 px from x = 42, y = 254 on the screen; the window starts at (11, 223).
    static QPoint lightCentre(int index) { return {42 + 247 * index + 102 - 11, 254 + 102 - 223}; }

    static constexpr int kScreenWidth = 1280;
    static constexpr int kScreenHeight = 1024;
    RaceSettings settings_ = tableSettings({.racers = 2});
    FakeRaceHost host_;
    RaceEngine engine_{settings_, host_};
    std::unique_ptr<StartLightsWindow> window_;
};

} // namespace

TEST_F(StartLightsTest, WindowCoversTheFrameWithATenPixelMargin)
{
    EXPECT_EQ(window_->geometry(), QRect(QPoint(11, 223), QPoint(1265, 489)));
    EXPECT_TRUE(window_->windowFlags() & Qt::FramelessWindowHint);
    EXPECT_TRUE(window_->windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_EQ(window_->windowTitle(), QStringLiteral("Právě probíhá odpočet startu ..."));
}

TEST_F(StartLightsTest, ThreeLeftLightsAreLitAtTick30)
{
    countTo(30);
    const QImage image = window_->grab().toImage();
    ASSERT_EQ(image.size(), QSize(1255, 267));

    for (int light = 0; light < 5; ++light) {
        const QPoint centre = lightCentre(light);
        EXPECT_EQ(rgbAt(image, centre.x(), centre.y()), light < 3 ? kLightOn : kLightOff) << light;
    }
    const QColor margin = window_->palette().color(QPalette::HighlightedText);
    EXPECT_EQ(image.pixelColor(3, 3).rgb(), margin.rgb()) << "margin";
    EXPECT_EQ(rgbAt(image, 13, 13), (Rgb{128, 128, 128})) << "frame";
    EXPECT_EQ(rgbAt(image, 20, 20), (Rgb{0, 0, 0})) << "panel";
    // The outline: 5 px of black pen on the light's bounding circle.
    const QPoint first = lightCentre(0);
    EXPECT_EQ(rgbAt(image, first.x(), 254 - 223), (Rgb{0, 0, 0}));
    EXPECT_EQ(rgbAt(image, first.x(), 254 - 223 + 4), kLightOn);
}

TEST_F(StartLightsTest, ShownWindowRepaintsWhenTheLightsChange)
{
    countTo(30);
    window_->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window_.get()));
    countTo(40);
    ASSERT_TRUE(engine_.state().lightsChanged);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !engine_.state().lightsChanged; }, 10000));
    const QPoint fourth = lightCentre(3);
    EXPECT_EQ(rgbAt(window_->grab().toImage(), fourth.x(), fourth.y()), kLightOn);
}
