#include "keymgr/shell/popup/PopupMotion.h"

#include <string.h>

namespace {

PopupAction NoAction()
{
    PopupAction a;
    memset(&a, 0, sizeof(a));
    return a;
}

} // namespace

PopupRect PopupWindowRect(int workRight, int workBottom, int visibleHeight, int windowHeight)
{
    PopupRect r;
    r.left = workRight - POPUP_WIDTH;
    r.top = workBottom - visibleHeight;
    r.width = POPUP_WIDTH;
    r.height = windowHeight;
    return r;
}

bool PopupBodyFits(const char *text)
{
    return text && strnlen(text, POPUP_BODY_MAX + 1) <= POPUP_BODY_MAX;
}

int PopupCentredTop(int top, int bottom, int textHeight)
{
    int space = bottom - top;
    if (textHeight >= space)
        return top;
    return top + (space - textHeight) / 2;
}

PopupAction CPopupMotion::StopAndStart(int timer, unsigned periodMs)
{
    PopupAction a = NoAction();
    a.stopTimer = m_timer != POPUP_TIMER_NONE;
    a.startTimer = timer;
    a.periodMs = periodMs;
    m_timer = timer;
    return a;
}

PopupAction CPopupMotion::Start()
{
    m_visible = 0;
    m_hovering = false;
    return StopAndStart(POPUP_TIMER_RISE, POPUP_TICK_MS);
}

void CPopupMotion::Reset()
{
    m_visible = 0;
    m_hovering = false;
    m_timer = POPUP_TIMER_NONE;
}

PopupAction CPopupMotion::Tick(int timerId, int workRight, int workBottom)
{
    if (timerId == POPUP_TIMER_NONE || timerId != m_timer)
        return NoAction();
    switch (timerId) {
    case POPUP_TIMER_RISE: {
        if (m_visible > POPUP_HEIGHT - POPUP_STEP)
            return StopAndStart(POPUP_TIMER_HOLD, POPUP_HOLD_MS);
        m_visible += POPUP_STEP;
        PopupAction a = NoAction();
        a.move = true;
        a.rect = PopupWindowRect(workRight, workBottom, m_visible, POPUP_HEIGHT);
        a.repaint = true;
        return a;
    }
    case POPUP_TIMER_SINK: {
        if (m_visible < POPUP_STEP) {
            PopupAction a = StopAndStart(POPUP_TIMER_NONE, 0);
            a.destroy = true;
            m_visible = 0;
            return a;
        }
        m_visible -= POPUP_STEP;
        PopupAction a = NoAction();
        a.move = true;
        a.rect = PopupWindowRect(workRight, workBottom, m_visible, m_visible);
        return a;
    }
    case POPUP_TIMER_HOLD:
        return StopAndStart(POPUP_TIMER_SINK, POPUP_TICK_MS);
    }
    return NoAction();
}

PopupAction CPopupMotion::MouseMove()
{
    m_hovering = true;
    return StopAndStart(POPUP_TIMER_NONE, 0);
}

PopupAction CPopupMotion::MouseLeave()
{
    if (!m_hovering)
        return NoAction();
    m_hovering = false;
    return StopAndStart(POPUP_TIMER_HOLD, POPUP_LEAVE_HOLD_MS);
}

PopupAction CPopupMotion::Click()
{
    PopupAction a = StopAndStart(POPUP_TIMER_NONE, 0);
    a.destroy = true;
    m_hovering = false;
    return a;
}
