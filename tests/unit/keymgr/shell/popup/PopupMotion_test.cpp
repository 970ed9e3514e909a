#include "keymgr/shell/popup/PopupMotion.h"

#include <gtest/gtest.h>

#include <string>

namespace {

const int R = 1024, B = 738; // work area right and bottom

// Runs ticks of the running timer until it changes; returns the tick count.
int RunTimer(CPopupMotion &m, int timer, PopupAction *last)
{
    int ticks = 0;
    while (m.CurrentTimer() == timer && ticks < 1000) {
        *last = m.Tick(timer, R, B);
        ++ticks;
    }
    return ticks;
}

TEST(PopupMotion, FullCycleRisesHoldsSinksAndEnds)
{
    CPopupMotion m;
    PopupAction a = m.Start();
    EXPECT_EQ(POPUP_TIMER_RISE, a.startTimer);
    EXPECT_EQ(10u, a.periodMs);
    EXPECT_EQ(0, m.VisibleHeight());

    a = m.Tick(POPUP_TIMER_RISE, R, B);
    ASSERT_TRUE(a.move);
    EXPECT_TRUE(a.repaint);
    EXPECT_EQ(R - 181, a.rect.left);
    EXPECT_EQ(B - 2, a.rect.top);
    EXPECT_EQ(181, a.rect.width);
    EXPECT_EQ(116, a.rect.height); // full size while rising

    int ticks = RunTimer(m, POPUP_TIMER_RISE, &a);
    EXPECT_EQ(58, ticks); // 57 more steps to 116, then the switch to holding
    EXPECT_EQ(116, m.VisibleHeight());
    EXPECT_TRUE(a.stopTimer);
    EXPECT_EQ(POPUP_TIMER_HOLD, a.startTimer);
    EXPECT_EQ(5000u, a.periodMs);

    a = m.Tick(POPUP_TIMER_HOLD, R, B);
    EXPECT_TRUE(a.stopTimer);
    EXPECT_EQ(POPUP_TIMER_SINK, a.startTimer);
    EXPECT_EQ(10u, a.periodMs);

    a = m.Tick(POPUP_TIMER_SINK, R, B);
    EXPECT_TRUE(a.move);
    EXPECT_EQ(B - 114, a.rect.top);
    EXPECT_EQ(114, a.rect.height); // only the visible part while sinking
    ticks = RunTimer(m, POPUP_TIMER_SINK, &a);
    EXPECT_EQ(58, ticks);
    EXPECT_TRUE(a.destroy);
    EXPECT_TRUE(a.stopTimer);
    EXPECT_EQ(POPUP_TIMER_NONE, m.CurrentTimer());
}

TEST(PopupMotion, StaleTicksAreIgnored)
{
    CPopupMotion m;
    m.Start();
    PopupAction a = m.Tick(POPUP_TIMER_SINK, R, B);
    EXPECT_FALSE(a.move || a.destroy || a.stopTimer);
    a = m.Tick(POPUP_TIMER_HOLD, R, B);
    EXPECT_EQ(POPUP_TIMER_NONE, a.startTimer);
    EXPECT_EQ(POPUP_TIMER_RISE, m.CurrentTimer());
    EXPECT_EQ(0, m.VisibleHeight());
}

TEST(PopupMotion, HoverFreezesAndLeaveHoldsThreeSeconds)
{
    CPopupMotion m;
    m.Start();
    for (int i = 0; i < 10; ++i)
        m.Tick(POPUP_TIMER_RISE, R, B);
    PopupAction a = m.MouseMove();
    EXPECT_TRUE(a.stopTimer);
    EXPECT_EQ(POPUP_TIMER_NONE, a.startTimer);
    EXPECT_TRUE(m.Hovering());
    a = m.Tick(POPUP_TIMER_RISE, R, B); // a tick already queued
    EXPECT_FALSE(a.move);
    EXPECT_EQ(20, m.VisibleHeight());

    a = m.MouseMove(); // further moves keep it frozen
    EXPECT_FALSE(a.stopTimer);
    a = m.MouseLeave();
    EXPECT_EQ(POPUP_TIMER_HOLD, a.startTimer);
    EXPECT_EQ(3000u, a.periodMs);
    EXPECT_FALSE(m.Hovering());
    a = m.MouseLeave(); // a second leave without hovering does nothing
    EXPECT_EQ(POPUP_TIMER_NONE, a.startTimer);
    EXPECT_FALSE(a.stopTimer);

    m.Tick(POPUP_TIMER_HOLD, R, B);
    a = m.Tick(POPUP_TIMER_SINK, R, B); // sinks from where it froze
    EXPECT_EQ(18, a.rect.height);
}

TEST(PopupMotion, ClickAndRestart)
{
    CPopupMotion m;
    m.Start();
    m.Tick(POPUP_TIMER_RISE, R, B);
    m.Tick(POPUP_TIMER_RISE, R, B);
    PopupAction a = m.Click();
    EXPECT_TRUE(a.destroy);
    EXPECT_TRUE(a.stopTimer);
    EXPECT_EQ(POPUP_TIMER_NONE, m.CurrentTimer());

    m.Start();
    m.Tick(POPUP_TIMER_RISE, R, B);
    m.MouseMove();
    a = m.Start(); // a new text while hovering starts over
    EXPECT_EQ(0, m.VisibleHeight());
    EXPECT_FALSE(m.Hovering());
    EXPECT_EQ(POPUP_TIMER_RISE, a.startTimer);
}

TEST(PopupMotion, WorkAreaOffsetIsHonoured)
{
    // A work area that does not start at 0 (taskbar on the left or top).
    PopupRect r = PopupWindowRect(1024, 768, 50, 116);
    EXPECT_EQ(843, r.left);
    EXPECT_EQ(718, r.top);
}

TEST(PopupMotion, BodyLimitAndCentring)
{
    EXPECT_TRUE(PopupBodyFits(""));
    EXPECT_TRUE(PopupBodyFits(std::string(1023, 'a').c_str()));
    EXPECT_FALSE(PopupBodyFits(std::string(1024, 'a').c_str()));
    EXPECT_FALSE(PopupBodyFits(NULL));

    EXPECT_EQ(40 + (76 - 16) / 2, PopupCentredTop(40, 116, 16));
    EXPECT_EQ(40, PopupCentredTop(40, 116, 76));
    EXPECT_EQ(40, PopupCentredTop(40, 116, 300)); // too tall: start at the top
    EXPECT_EQ(40, PopupCentredTop(40, 20, 10));   // no room at all (sinking)
}

} // namespace
