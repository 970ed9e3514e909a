// The window message that carries one worker result to the page.
#pragma once

#include "assistant/engine/run/ResultChannel.h"

#include <windows.h>

#include <atomic>

// Sent (never posted) to the main dialog; lParam is the PageResult.
const UINT WM_RUV_CALLSCRIPT = 3002;

// Delivers each result by a synchronous send, so the worker waits until the
// page function has run and results keep their order.
class CMessageResultChannel : public IResultChannel {
public:
    explicit CMessageResultChannel(HWND window = NULL) : m_window(window), m_inFlight(nullptr) {}
    void SetWindow(HWND window) { m_window = window; }
    void Deliver(const PageResult &result) override
    {
        m_inFlight = &result;
        SendMessageA(m_window, WM_RUV_CALLSCRIPT, 0, reinterpret_cast<LPARAM>(&result));
        m_inFlight = nullptr;
    }
    // The result a WM_RUV_CALLSCRIPT carries, or null when the message is
    // not this channel's send (anyone may send the number).
    const PageResult *Received(LPARAM lParam) const
    {
        const PageResult *sent = m_inFlight;
        return sent && reinterpret_cast<LPARAM>(sent) == lParam ? sent : nullptr;
    }

private:
    HWND m_window;
    std::atomic<const PageResult *> m_inFlight;
};
