// engine-run CMD ARGS [VENDOR]: runs one worker command against the real
// system and prints every result as "code<TAB>second" (GBK), one per line.
// The log goes next to this program under its own name with "log" in place
// of "exe", as the assistant's does.
#include "assistant/engine/EngineServices.h"
#include "assistant/host/LogFile.h"
#include "assistant/host/ScriptMessages.h"
#include "common/Window.h"

#include <fcntl.h>
#include <io.h>
#include <stdio.h>
#include <stdlib.h>

namespace {

class CEngineRunWindow : public CWindow, public IWorkerHost {
public:
    bool Create()
    {
        WNDCLASSEXA wc = {};
        wc.hInstance = GetModuleHandleA(NULL);
        wc.lpszClassName = "EngineRunResults";
        if (!RegisterWindowClass(wc))
            return false;
        if (!CreateEx(0, wc.lpszClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE, NULL))
            return false;
        m_channel.SetWindow(m_hWnd);
        return true;
    }

    CommandState &State() override { return m_state; }
    IResultChannel &Results() override { return m_channel; }
    ILog &Log() override { return m_log; }
    WorkerServices Services() override { return m_engine.Services(NULL); }
    CLogFile &LogFile() { return m_log; }

protected:
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override
    {
        switch (msg) {
        case WM_RUV_CALLSCRIPT:
            PrintResult();
            return 0;
        default:
            return CWindow::HandleMessage(msg, wParam, lParam);
        }
    }

private:
    void PrintResult()
    {
        const std::vector<std::string> &args = m_state.ScriptArgs;
        std::string line = (args.size() > 0 ? args[0] : "") + "\t" + (args.size() > 1 ? args[1] : "") + "\n";
        fwrite(line.data(), 1, line.size(), stdout);
        fflush(stdout);
    }

    CommandState m_state;
    CMessageResultChannel m_channel;
    CLogFile m_log;
    CEngineServices m_engine;
};

void PumpUntilEnded(HANDLE thread)
{
    for (;;) {
        DWORD wait = MsgWaitForMultipleObjects(1, &thread, FALSE, INFINITE, QS_ALLINPUT);
        if (wait != WAIT_OBJECT_0 + 1)
            return;
        MSG msg;
        while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
}

}  // namespace

int main(int argc, char **argv)
{
    if (argc < 3) {
        fprintf(stderr, "usage: engine-run CMD ARGS [VENDOR]\n");
        return 2;
    }
    int command = atoi(argv[1]);
    int vendor = argc > 3 ? atoi(argv[3]) : 1;
    if (command == kCmdClientCheck || command == kCmdOnlineUpdate || command == kCmdRepair) {
        fprintf(stderr, "engine-run: command %d needs the client, update and repair sequences, "
                        "which this build does not have\n", command);
        return 3;
    }
    if (command == kCmdFullCheck)
        fprintf(stderr, "engine-run: no client sequences in this build: the full check runs its system half only\n");

    _setmode(_fileno(stdout), _O_BINARY);
    CEngineRunWindow host;
    if (!host.Create()) {
        fprintf(stderr, "engine-run: cannot create the result window\n");
        return 1;
    }
    host.LogFile().Open(ProgramLogPath());

    CommandState &state = host.State();
    state.Command = command;
    state.Vendor = vendor;
    state.NotFirstRun = 0;
    state.WorkerStarted = 1;
    state.Busy = 1;
    HANDLE thread = StartCheckWorkerThread(&host);
    if (!thread) {
        fprintf(stderr, "engine-run: cannot start the worker\n");
        return 1;
    }
    PumpUntilEnded(thread);
    CloseHandle(thread);
    host.Destroy();
    return 0;
}
