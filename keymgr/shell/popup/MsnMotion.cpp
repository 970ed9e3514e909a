#include "keymgr/shell/popup/MsnMotion.h"

#include <string.h>

namespace {

MsnAction NoAction()
{
    MsnAction a;
    memset(&a, 0, sizeof(a));
    return a;
}

} // namespace

MsnRect MsnWindowRect(int workRight, int workBottom, int visibleHeight, int windowHeight)
{
    MsnRect r;
    r.left = workRight - MSN_WIDTH;
    r.top = workBottom - visibleHeight;
    r.width = MSN_WIDTH;
    r.height = windowHeight;
    return r;
}

bool MsnBodyFits(const char *text)
{
    return text && strnlen(text, MSN_BODY_MAX + 1) <= MSN_BODY_MAX;
}

int MsnCentredTop(int top, int bottom, int textHeight)
{
    int space = bottom - top;
    if (textHeight >= space)
        return top;
    return top + (space - textHeight) / 2;
}

MsnAction CMsnMotion::StopAndStart(int timer, unsigned periodMs)
{
    MsnAction a = NoAction();
    a.stopTimer = m_timer != MSN_TIMER_NONE;
    a.startTimer = timer;
    a.periodMs = periodMs;
    m_timer = timer;
    return a;
}

MsnAction CMsnMotion::Start()
{
    m_visible = 0;
    m_hovering = false;
    return StopAndStart(MSN_TIMER_RISE, MSN_TICK_MS);
}

void CMsnMotion::Reset()
{
    m_visible = 0;
    m_hovering = false;
    m_timer = MSN_TIMER_NONE;
}

MsnAction CMsnMotion::Tick(int timerId, int workRight, int workBottom)
{
    if (timerId == MSN_TIMER_NONE || timerId != m_timer)
        return NoAction();
    switch (timerId) {
    case MSN_TIMER_RISE: {
        if (m_visible > MSN_HEIGHT - MSN_STEP)
            return StopAndStart(MSN_TIMER_HOLD, MSN_HOLD_MS);
        m_visible += MSN_STEP;
        MsnAction a = NoAction();
        a.move = true;
        a.rect = MsnWindowRect(workRight, workBottom, m_visible, MSN_HEIGHT);
        a.repaint = true;
        return a;
    }
    case MSN_TIMER_SINK: {
        if (m_visible < MSN_STEP) {
            MsnAction a = StopAndStart(MSN_TIMER_NONE, 0);
            a.destroy = true;
            m_visible = 0;
            return a;
        }
        m_visible -= MSN_STEP;
        MsnAction a = NoAction();
        a.move = true;
        a.rect = MsnWindowRect(workRight, workBottom, m_visible, m_visible);
        return a;
    }
    case MSN_TIMER_HOLD:
        return StopAndStart(MSN_TIMER_SINK, MSN_TICK_MS);
    }
    return NoAction();
}

MsnAction CMsnMotion::MouseMove()
{
    m_hovering = true;
    return StopAndStart(MSN_TIMER_NONE, 0);
}

MsnAction CMsnMotion::MouseLeave()
{
    if (!m_hovering)
        return NoAction();
    m_hovering = false;
    return StopAndStart(MSN_TIMER_HOLD, MSN_LEAVE_HOLD_MS);
}

MsnAction CMsnMotion::Click()
{
    MsnAction a = StopAndStart(MSN_TIMER_NONE, 0);
    a.destroy = true;
    m_hovering = false;
    return a;
}
