// The pop-up's motion: rise, hold, sink, with hover freeze. The window class
// carries out the actions this returns; nothing here touches a window.
#pragma once

#include <stddef.h>

enum {
    POPUP_TIMER_NONE = 0,
    POPUP_TIMER_RISE = 10,
    POPUP_TIMER_SINK = 11,
    POPUP_TIMER_HOLD = 12,
    POPUP_WIDTH = 181,
    POPUP_HEIGHT = 116,
    POPUP_STEP = 2,
    POPUP_TICK_MS = 10,
    POPUP_HOLD_MS = 5000,
    POPUP_LEAVE_HOLD_MS = 3000,
    POPUP_BODY_MAX = 1023,
};

struct PopupRect {
    int left, top, width, height;
};

// What the window has to do after an event, in this order: stop the running
// timer, start a new one, move, repaint, destroy.
struct PopupAction {
    bool stopTimer;
    int startTimer; // POPUP_TIMER_NONE: none
    unsigned periodMs;
    bool move;
    PopupRect rect;
    bool repaint;
    bool destroy;
};

class CPopupMotion {
public:
    CPopupMotion() : m_visible(0), m_timer(POPUP_TIMER_NONE), m_hovering(false) {}

    // A new cycle: height 0, not hovering, rising.
    PopupAction Start();
    // workRight/workBottom: the work area's right and bottom edges.
    // A tick of a timer that is not the running one is stale and ignored.
    PopupAction Tick(int timerId, int workRight, int workBottom);
    PopupAction MouseMove();
    PopupAction MouseLeave();
    PopupAction Click();
    // The window went away by other means.
    void Reset();

    int VisibleHeight() const { return m_visible; }
    int CurrentTimer() const { return m_timer; }
    bool Hovering() const { return m_hovering; }

private:
    PopupAction StopAndStart(int timer, unsigned periodMs);

    int m_visible;
    int m_timer;
    bool m_hovering;
};

// Where the pop-up stands for a visible height: its top edge sits that far
// above the work area's bottom edge, its right edge on the work area's right.
PopupRect PopupWindowRect(int workRight, int workBottom, int visibleHeight, int windowHeight);

// Whether a body text is taken (at most POPUP_BODY_MAX bytes; NULL is not).
bool PopupBodyFits(const char *text);

// Top of a text block of textHeight centred between top and bottom; a block
// taller than the space starts at top so that its beginning stays readable.
int PopupCentredTop(int top, int bottom, int textHeight);
