// faultsweep: runs the token manager along the path start-up, insertion,
// management window, refresh and removal once without faults, then once
// with each token-library entry it called failing and once with it slow.
// Prints one line per case: entry, mode, outcome (UTF-8).
//   faultsweep PROGRAM [LANE LANES]
// Runs inside one prefix. Entries called before the main window exists get
// a fresh program per case; the others are swept in a running program,
// which is restarted whenever a case leaves it in a state that is not clean.
#include "sim/core/SimCommand.h"
#include "sim/win32/SimStore.h"

#include <windows.h>
#include <shellapi.h>

#include <stdio.h>

#include <set>
#include <string>
#include <vector>

namespace {

const char kFailCode[] = "0x88000001";
const char kDelayMs[] = "1500";
const DWORD kAnswerMs = 2000;      // the window thread must answer within this
const DWORD kGiveUpMs = 60000;     // longer than any delay chain of the path
const UINT kTokenIcon = 145;

bool Sim(const std::vector<std::string> &args)
{
    SimStore &store = SimStore::Instance();
    SimStore::Lock lock;
    SimState state = store.Current();
    SimCommandResult r = RunSimCommand(state, args, SimStore::Now());
    if (r.exitCode != 0)
        return false;
    if (r.action == SIM_ACT_SAVE || r.action == SIM_ACT_INIT) {
        if (!store.Save(state))
            return false;
    }
    if (r.action == SIM_ACT_INIT || r.action == SIM_ACT_CLEAR_LOG)
        store.ClearLog();
    return true;
}

std::string ReadLog()
{
    std::string text;
    HANDLE f = CreateFileA(SimStore::LogPath().c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL,
                           OPEN_EXISTING, 0, NULL);
    if (f == INVALID_HANDLE_VALUE)
        return text;
    char buf[65536];
    DWORD got;
    while (ReadFile(f, buf, sizeof buf, &got, NULL) && got > 0)
        text.append(buf, got);
    CloseHandle(f);
    return text;
}

// Entry names of the call log, in order of first call.
std::vector<std::string> CalledEntries(const std::string &log)
{
    std::vector<std::string> names;
    std::set<std::string> seen;
    size_t pos = 0;
    while (pos < log.size()) {
        size_t end = log.find('\n', pos);
        if (end == std::string::npos)
            end = log.size();
        std::string name = log.substr(pos, log.find('\t', pos) < end ? log.find('\t', pos) - pos : end - pos);
        if (!name.empty() && name != "QKDevChg" && seen.insert(name).second)
            names.push_back(name);
        pos = end + 1;
    }
    return names;
}

std::string Utf8(HWND h)
{
    wchar_t w[2048];
    int n = GetWindowTextW(h, w, 2048);
    char u[6144];
    int m = WideCharToMultiByte(CP_UTF8, 0, w, n, u, sizeof u - 1, NULL, NULL);
    std::string s(u, m > 0 ? m : 0);
    for (char &c : s)
        if (c == '\r' || c == '\n' || c == '\t')
            c = ' ';
    return s;
}

class Program {
public:
    explicit Program(const std::string &path) : m_path(path)
    {
        size_t slash = path.rfind('\\');
        m_folder = slash == std::string::npos ? "." : path.substr(0, slash);
    }
    ~Program() { Stop(); }

    bool Start()
    {
        Stop();
        STARTUPINFOA si = {};
        si.cb = sizeof si;
        std::string cmd = "\"" + m_path + "\"";
        if (!CreateProcessA(m_path.c_str(), &cmd[0], NULL, NULL, FALSE, 0, NULL, m_folder.c_str(), &si, &m_pi))
            return false;
        m_running = true;
        return true;
    }

    void Stop()
    {
        if (!m_running)
            return;
        TerminateProcess(m_pi.hProcess, 0);
        WaitForSingleObject(m_pi.hProcess, 10000);
        CloseHandle(m_pi.hProcess);
        CloseHandle(m_pi.hThread);
        m_running = false;
        m_frame = NULL;
    }

    bool Alive() const { return m_running && WaitForSingleObject(m_pi.hProcess, 0) == WAIT_TIMEOUT; }
    HWND Frame() const { return m_frame; }

    // The hidden main frame of this process.
    bool WaitFrame(DWORD ms)
    {
        DWORD start = GetTickCount();
        while (GetTickCount() - start < ms && Alive()) {
            EnumWindows(FindFrame, reinterpret_cast<LPARAM>(this));
            if (m_frame)
                return true;
            Sleep(100);
        }
        return false;
    }

    // Milliseconds until the window thread answers; -1 crash, -2 hang.
    long AnswerTime()
    {
        DWORD start = GetTickCount();
        for (;;) {
            DWORD_PTR r;
            if (SendMessageTimeoutA(m_frame, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, kAnswerMs, &r))
                return (long)(GetTickCount() - start);
            if (!Alive())
                return -1;
            if (GetTickCount() - start > kGiveUpMs)
                return -2;
        }
    }

    // Closes the process's message boxes, returning "[caption: text]" each.
    std::string CloseBoxes()
    {
        std::string seen;
        for (int round = 0; round < 10; ++round) {
            m_box = NULL;
            EnumWindows(FindBox, reinterpret_cast<LPARAM>(this));
            if (!m_box)
                break;
            std::string text;
            for (HWND c = GetWindow(m_box, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
                char cls[32];
                GetClassNameA(c, cls, sizeof cls);
                if (lstrcmpiA(cls, "Static") == 0 && GetWindowTextLengthW(c) > 0)
                    text += Utf8(c);
            }
            seen += "[" + Utf8(m_box) + ": " + text + "] ";
            static const int buttons[] = {IDOK, IDYES, IDCANCEL, IDNO};
            for (int id : buttons)
                if (GetDlgItem(m_box, id)) {
                    PostMessageA(m_box, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), (LPARAM)GetDlgItem(m_box, id));
                    break;
                }
            Sleep(300);
        }
        return seen;
    }

    bool HasTokenIcon() const
    {
        NOTIFYICONDATAA data = {};
        data.cbSize = NOTIFYICONDATAA_V2_SIZE;
        data.hWnd = m_frame;
        data.uID = kTokenIcon;
        return Shell_NotifyIconA(NIM_MODIFY, &data) != FALSE;
    }

    void Command(WORD id) { PostMessageA(m_frame, WM_COMMAND, id, 0); }

private:
    bool Owns(HWND h) const
    {
        DWORD pid = 0;
        GetWindowThreadProcessId(h, &pid);
        return pid == m_pi.dwProcessId;
    }
    static BOOL CALLBACK FindFrame(HWND h, LPARAM p)
    {
        Program *self = reinterpret_cast<Program *>(p);
        char cls[64];
        if (self->Owns(h) && GetClassNameA(h, cls, sizeof cls) && lstrcmpA(cls, "ZVAppMainFrame") == 0) {
            self->m_frame = h;
            return FALSE;
        }
        return TRUE;
    }
    static BOOL CALLBACK FindBox(HWND h, LPARAM p)
    {
        Program *self = reinterpret_cast<Program *>(p);
        char cls[16];
        if (self->Owns(h) && IsWindowVisible(h) && GetClassNameA(h, cls, sizeof cls) && lstrcmpA(cls, "#32770") == 0 &&
            GetDlgItem(h, 0xFFFF)) {
            self->m_box = h;
            return FALSE;
        }
        return TRUE;
    }

    std::string m_path, m_folder;
    PROCESS_INFORMATION m_pi = {};
    bool m_running = false;
    HWND m_frame = NULL;
    HWND m_box = NULL;
};

bool WaitLog(const char *needle, DWORD ms)
{
    DWORD start = GetTickCount();
    while (GetTickCount() - start < ms) {
        if (ReadLog().find(needle) != std::string::npos)
            return true;
        Sleep(100);
    }
    return false;
}

struct Outcome {
    bool ok = true;
    std::string text;
    long slowestMs = 0;
    bool clean = true;  // the program may carry on to the next case

    void Fail(const std::string &what)
    {
        ok = false;
        clean = false;
        text = what + (text.empty() ? "" : " " + text);
    }
};

// One step's checks: boxes closed, then the window thread must answer.
bool Step(Program &p, Outcome &o, const char *where)
{
    o.text += p.CloseBoxes();
    long t = p.AnswerTime();
    if (t == -1) {
        o.Fail(std::string("crash ") + where);
        return false;
    }
    if (t == -2) {
        o.Fail(std::string("hang ") + where);
        return false;
    }
    o.text += p.CloseBoxes();
    if (t > o.slowestMs)
        o.slowestMs = t;
    return true;
}

// The path in a program that is already up (frame found).
void RunPath(Program &p, Outcome &o)
{
    Sim({"clear-log"});
    if (!Step(p, o, "before insertion"))
        return;
    Sim({"insert"});
    if (!WaitLog("QKDevChg\tinserted", 30000))
        o.text += "(insertion handler did not return) ";
    Sleep(800);
    if (!Step(p, o, "after insertion"))
        return;
    p.Command(32775);
    Sleep(800);
    if (!Step(p, o, "with the management window"))
        return;
    p.Command(32776);
    Sleep(800);
    if (!Step(p, o, "after refresh"))
        return;
    Sim({"remove"});
    if (!WaitLog("QKDevChg\tremoved", 30000)) {
        o.text += "(removal handler did not return) ";
        o.clean = false;
    }
    Sleep(800);
    if (!Step(p, o, "after removal"))
        return;
    if (p.HasTokenIcon())
        o.Fail("token icon left after removal");
}

std::string Describe(const Outcome &o)
{
    std::string s = o.ok ? "ok" : "";
    if (o.ok && o.slowestMs >= 1000) {
        char b[64];
        snprintf(b, sizeof b, " (window thread busy up to %.1f s)", o.slowestMs / 1000.0);
        s += b;
    }
    std::string rest = o.text;
    while (!rest.empty() && rest.back() == ' ')
        rest.pop_back();
    return rest.empty() ? s : s + (s.empty() ? "" : " ") + rest;
}

void Report(const std::string &entry, const char *mode, const Outcome &o)
{
    printf("%s\t%s\t%s\n", entry.c_str(), mode, Describe(o).c_str());
    fflush(stdout);
}

bool SetHook(const std::string &entry, const char *mode)
{
    std::string key = std::string(lstrcmpA(mode, "fail") == 0 ? "cfg.fail." : "cfg.delay.") + entry;
    return Sim({"set", key + "=" + (lstrcmpA(mode, "fail") == 0 ? kFailCode : kDelayMs)});
}

bool ClearHook(const std::string &entry, const char *mode)
{
    std::string key = std::string(lstrcmpA(mode, "fail") == 0 ? "cfg.fail." : "cfg.delay.") + entry;
    return Sim({"set", key + "="});
}

// A fresh program for the case: its start-up is part of the path.
Outcome FreshCase(Program &p)
{
    Outcome o;
    if (!p.Start()) {
        o.Fail("cannot start the program");
        return o;
    }
    if (!p.WaitFrame(40000)) {
        o.Fail(p.Alive() ? "no main window" : "crash at start-up");
        o.text += p.CloseBoxes();
        return o;
    }
    RunPath(p, o);
    return o;
}

}  // namespace

int main(int argc, char **argv)
{
    if (argc < 2) {
        fprintf(stderr, "usage: faultsweep PROGRAM [LANE LANES]\n");
        return 2;
    }
    int lane = argc >= 4 ? atoi(argv[2]) : 0, lanes = argc >= 4 ? atoi(argv[3]) : 1;
    if (lanes < 1 || lane < 0 || lane >= lanes)
        return 2;
    // A crash must end the program at once, with no debugger dialog.
    HKEY k;
    if (RegCreateKeyA(HKEY_CURRENT_USER, "Software\\Wine\\WineDbg", &k) == ERROR_SUCCESS) {
        DWORD zero = 0;
        RegSetValueExA(k, "ShowCrashDialog", 0, REG_DWORD, (const BYTE *)&zero, sizeof zero);
        RegCloseKey(k);
    }
    if (RegOpenKeyA(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows NT\\CurrentVersion\\AeDebug", &k) ==
        ERROR_SUCCESS) {
        RegDeleteValueA(k, "Debugger");
        RegCloseKey(k);
    }

    Program program(argv[1]);
    Sim({"clear-log"});
    Outcome base = FreshCase(program);
    std::string log = ReadLog();
    program.Stop();
    if (lane == 0)
        Report("none", "none", base);
    if (!base.ok)
        return 1;

    // What the start-up alone calls needs a fresh program per case.
    Sim({"clear-log"});
    std::set<std::string> atStart;
    if (program.Start() && program.WaitFrame(40000)) {
        program.AnswerTime();
        for (const std::string &e : CalledEntries(ReadLog()))
            atStart.insert(e);
    }
    program.Stop();

    std::vector<std::string> entries = CalledEntries(log);
    bool running = false;
    int index = 0;
    for (const std::string &entry : entries) {
        for (const char *mode : {"fail", "slow"}) {
            if (index++ % lanes != lane)
                continue;
            if (!SetHook(entry, mode)) {
                printf("%s\t%s\tcannot set the hook\n", entry.c_str(), mode);
                continue;
            }
            Outcome o;
            if (atStart.count(entry)) {
                o = FreshCase(program);
                program.Stop();
                running = false;
            } else {
                if (!running || !program.Alive()) {
                    ClearHook(entry, mode);
                    Outcome up = FreshCase(program);
                    SetHook(entry, mode);
                    running = up.ok;
                    if (!running) {
                        printf("%s\t%s\tprogram did not come up cleanly: %s\n", entry.c_str(), mode,
                               Describe(up).c_str());
                        program.Stop();
                        ClearHook(entry, mode);
                        continue;
                    }
                }
                RunPath(program, o);
                if (!o.clean || !program.Alive()) {
                    program.Stop();
                    running = false;
                }
            }
            ClearHook(entry, mode);
            // Between cases the token is out and the log starts afresh.
            Sim({"remove"});
            Report(entry, mode, o);
        }
    }
    program.Stop();
    return 0;
}
