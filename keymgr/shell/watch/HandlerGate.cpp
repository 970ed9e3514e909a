#include "keymgr/shell/watch/HandlerGate.h"

#include <chrono>

bool HandlerGate::Enter()
{
    std::lock_guard<std::mutex> hold(m_lock);
    if (m_closed)
        return false;
    ++m_inside;
    return true;
}

void HandlerGate::Leave()
{
    std::lock_guard<std::mutex> hold(m_lock);
    if (m_inside > 0)
        --m_inside;
    if (m_inside == 0)
        m_left.notify_all();
}

bool HandlerGate::CloseAndWait(unsigned timeoutMs)
{
    std::unique_lock<std::mutex> hold(m_lock);
    m_closed = true;
    return m_left.wait_for(hold, std::chrono::milliseconds(timeoutMs), [this] { return m_inside == 0; });
}

void HandlerGate::Reopen()
{
    std::lock_guard<std::mutex> hold(m_lock);
    m_closed = false;
}

HandlerGate &LibraryGate()
{
    static HandlerGate gate;
    return gate;
}
