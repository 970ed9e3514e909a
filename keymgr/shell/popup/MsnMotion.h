// The pop-up's motion: rise, hold, sink, with hover freeze. The window class
// carries out the actions this returns; nothing here touches a window.
#pragma once

#include <stddef.h>

enum {
    MSN_TIMER_NONE = 0,
    MSN_TIMER_RISE = 10,
    MSN_TIMER_SINK = 11,
    MSN_TIMER_HOLD = 12,
    MSN_WIDTH = 181,
    MSN_HEIGHT = 116,
    MSN_STEP = 2,
    MSN_TICK_MS = 10,
    MSN_HOLD_MS = 5000,
    MSN_LEAVE_HOLD_MS = 3000,
    MSN_BODY_MAX = 1023,
};

struct MsnRect {
    int left, top, width, height;
};

// What the window has to do after an event, in this order: stop the running
// timer, start a new one, move, repaint, destroy.
struct MsnAction {
    bool stopTimer;
    int startTimer; // MSN_TIMER_NONE: none
    unsigned periodMs;
    bool move;
    MsnRect rect;
    bool repaint;
    bool destroy;
};

class CMsnMotion {
public:
    CMsnMotion() : m_visible(0), m_timer(MSN_TIMER_NONE), m_hovering(false) {}

    // A new cycle: height 0, not hovering, rising.
    MsnAction Start();
    // workRight/workBottom: the work area's right and bottom edges.
    // A tick of a timer that is not the running one is stale and ignored.
    MsnAction Tick(int timerId, int workRight, int workBottom);
    MsnAction MouseMove();
    MsnAction MouseLeave();
    MsnAction Click();
    // The window went away by other means.
    void Reset();

    int VisibleHeight() const { return m_visible; }
    int CurrentTimer() const { return m_timer; }
    bool Hovering() const { return m_hovering; }

private:
    MsnAction StopAndStart(int timer, unsigned periodMs);

    int m_visible;
    int m_timer;
    bool m_hovering;
};

// Where the pop-up stands for a visible height: its top edge sits that far
// above the work area's bottom edge, its right edge on the work area's right.
MsnRect MsnWindowRect(int workRight, int workBottom, int visibleHeight, int windowHeight);

// Whether a body text is taken (at most MSN_BODY_MAX bytes; NULL is not).
bool MsnBodyFits(const char *text);

// Top of a text block of textHeight centred between top and bottom; a block
// taller than the space starts at top so that its beginning stays readable.
int MsnCentredTop(int top, int bottom, int textHeight);
