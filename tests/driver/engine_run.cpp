// engine-run CMD ARGS [VENDOR [ANSWER]]: runs one worker command against the
// real system and prints every result as "code<TAB>second" (GBK), one per line.
// ANSWER ("yes" or "no"), else the variable ENGINE_RUN_CONFIRM, answers the
// repair's confirmation; with neither the real message box is shown.
// The log goes next to this program under its own name with "log" in place
// of "exe", as the assistant's does.
// ENGINE_RUN_TAMPER=1: just before each installer or package starts, this
// harness does what another program could try on the file (write it,
// delete it, rename it away and put another in its place) and prints
// "tamper<TAB>name<TAB>write=… delete=… rename=…" (done or refused).
#include "assistant/engine/win32/EngineServices.h"
#include "assistant/host/bridge/ScriptMessages.h"
#include "assistant/host/log/LogFile.h"
#include "common/win32/window/Window.h"

#include <fcntl.h>
#include <io.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

namespace {

// The harness's answer to the repair's question, or the real box.
class CHarnessPrompt : public IYesNoPrompt {
public:
    explicit CHarnessPrompt(const char *answer) : m_answer(answer ? answer : "") {}
    bool AskYesNo(const char *text, const char *caption) override
    {
        if (m_answer == "yes")
            return true;
        if (m_answer == "no")
            return false;
        return m_box.AskYesNo(text, caption);
    }

private:
    std::string m_answer;
    CMessageBoxPrompt m_box;
};

class CEngineRunWindow : public CWindow, public IWorkerHost {
public:
    explicit CEngineRunWindow(IYesNoPrompt &prompt) : m_engine(prompt) {}

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
    WorkerServices Services() override { return m_engine.Services(); }
    CLogFile &LogFile() { return m_log; }
    CInstallerPlatform &Platform() { return m_engine.Platform(); }

protected:
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override
    {
        switch (msg) {
        case WM_RUV_CALLSCRIPT:
            if (const PageResult *result = m_channel.Received(lParam))
                PrintResult(*result);
            return 0;
        default:
            return CWindow::HandleMessage(msg, wParam, lParam);
        }
    }

private:
    void PrintResult(const PageResult &result)
    {
        std::string line = result.code + "\t" + result.second + "\n";
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

const char *Outcome(bool done)
{
    return done ? "done" : "refused";
}

void TryToTamper(const std::string &path)
{
    static const char planted[] = "planted, not the checked installer";
    DWORD n = 0;
    bool wrote = false;
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, NULL,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file != INVALID_HANDLE_VALUE) {
        wrote = WriteFile(file, planted, sizeof(planted), &n, NULL) && SetEndOfFile(file);
        CloseHandle(file);
    }
    std::string aside = path + ".aside";
    bool renamed = MoveFileA(path.c_str(), aside.c_str()) != FALSE;
    if (renamed) {
        HANDLE other = CreateFileA(path.c_str(), GENERIC_WRITE, 0, NULL, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, NULL);
        if (other != INVALID_HANDLE_VALUE) {
            WriteFile(other, planted, sizeof(planted), &n, NULL);
            CloseHandle(other);
        }
        DeleteFileA(aside.c_str());
    }
    bool deleted = !renamed && DeleteFileA(path.c_str());
    size_t slash = path.rfind('\\');
    std::string line = "tamper\t" + path.substr(slash == std::string::npos ? 0 : slash + 1) + "\twrite=" +
                       Outcome(wrote) + " delete=" + Outcome(deleted) + " rename=" + Outcome(renamed) + "\n";
    fwrite(line.data(), 1, line.size(), stdout);
    fflush(stdout);
}

}  // namespace

int main(int argc, char **argv)
{
    if (argc < 3) {
        fprintf(stderr, "usage: engine-run CMD ARGS [VENDOR [yes|no]]\n");
        return 2;
    }
    int command = atoi(argv[1]);
    int vendor = argc > 3 ? atoi(argv[3]) : 1;
    const char *answer = argc > 4 ? argv[4] : getenv("ENGINE_RUN_CONFIRM");

    _setmode(_fileno(stdout), _O_BINARY);
    CHarnessPrompt prompt(answer);
    CEngineRunWindow host(prompt);
    const char *tamper = getenv("ENGINE_RUN_TAMPER");
    if (tamper && strcmp(tamper, "1") == 0)
        host.Platform().SetStartSeam(TryToTamper);
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
    state.WorkerRunning = 1;
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
