// The window message that carries one worker result to the page.
#pragma once

#include "assistant/engine/worker/CheckRun.h"

#include <windows.h>

// Sent (never posted) to the main dialog with both parameters 0.
const UINT WM_RUV_CALLSCRIPT = 3002;

// Delivers ScriptArgs by a synchronous send, so the worker waits until the
// page function has run and results keep their order.
class CMessageResultChannel : public IResultChannel {
public:
    explicit CMessageResultChannel(HWND window = NULL) : m_window(window) {}
    void SetWindow(HWND window) { m_window = window; }
    void DeliverScriptArgs() override { SendMessageA(m_window, WM_RUV_CALLSCRIPT, 0, 0); }

private:
    HWND m_window;
};
