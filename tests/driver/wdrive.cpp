// wdrive: looks at and pokes real windows for the scenario scripts.
// Texts are printed as UTF-8 so the scripts can compare them directly.
//
//   wdrive windows                    top-level windows: hwnd pid visible class title
//   wdrive find TITLE                 hwnd visible foreground of the window titled TITLE
//   wdrive wait TITLE [MS]            like find, waiting up to MS (default 10000)
//   wdrive wait-gone TITLE [MS]       waits until no window has TITLE
//   wdrive wait-class CLASS [MS] [TITLE] [POLL]  first visible top-level window
//                                     of CLASS (and TITLE): hwnd and title
//   wdrive combo HWND ID              the items of a combo box, one a line
//   wdrive item ROOT ID               first descendant with control ID:
//                                     hwnd parent visible enabled class text
//   wdrive select HWND ID INDEX       selects a combo item as the user would
//   wdrive children HWND              child windows: hwnd id visible enabled class text
//   wdrive text HWND [ID]             text of the window or of its child ID
//   wdrive click HWND ID              BM_CLICK on child ID (posted)
//   wdrive command HWND ID            posts WM_COMMAND ID
//   wdrive post HWND MSG [WP] [LP]    posts a message
//   wdrive send HWND MSG [WP] [LP]    sends a message, prints the result
//   wdrive ping HWND MS               exit 0 when the window's thread answers
//                                     WM_NULL within MS
//   wdrive settext HWND ID TEXT       WM_SETTEXT on child ID
//   wdrive foreground                 hwnd and title of the foreground window
//   wdrive procs NAME                 number of running processes named NAME
//   wdrive rect HWND                  left top right bottom
//   wdrive workarea                   left top right bottom of the work area
//   wdrive shellopen FILE [PARAMS]    ShellExecuteA "open", prints its result
//   wdrive tray HWND ID               exit 0 when the window's tray icon ID exists
//   wdrive rects HWND MS STEP         samples the rectangle every STEP ms for MS ms
//                                     ("gone" once the window no longer exists)
#include <windows.h>
#include <shellapi.h>
#include <tlhelp32.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <string>

static std::string ToUtf8(const char *ansi)
{
    int wide = MultiByteToWideChar(CP_ACP, 0, ansi, -1, NULL, 0);
    if (wide <= 0)
        return std::string();
    std::wstring w(wide, L'\0');
    MultiByteToWideChar(CP_ACP, 0, ansi, -1, &w[0], wide);
    int bytes = WideCharToMultiByte(CP_UTF8, 0, w.c_str(), -1, NULL, 0, NULL, NULL);
    std::string out(bytes > 0 ? bytes : 1, '\0');
    WideCharToMultiByte(CP_UTF8, 0, w.c_str(), -1, &out[0], bytes, NULL, NULL);
    out.resize(strlen(out.c_str()));
    return out;
}

static void Out(const std::string &line)
{
    std::string s = line + "\n";
    DWORD written = 0;
    WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), s.data(), (DWORD)s.size(), &written, NULL);
}

static std::string Hex(HWND h)
{
    char b[32];
    snprintf(b, sizeof(b), "%08lx", (unsigned long)(ULONG_PTR)h);
    return b;
}

static HWND ParseHwnd(const char *s)
{
    return (HWND)(ULONG_PTR)strtoul(s, NULL, 16);
}

static std::string WindowText(HWND h)
{
    char buf[4096] = "";
    // WM_GETTEXT works across processes for any window class.
    SendMessageTimeoutA(h, WM_GETTEXT, sizeof(buf), (LPARAM)buf, SMTO_ABORTIFHUNG, 2000, NULL);
    buf[sizeof(buf) - 1] = '\0';
    return ToUtf8(buf);
}

static std::string ClassOf(HWND h)
{
    char cls[256] = "";
    GetClassNameA(h, cls, sizeof(cls));
    return cls;
}

struct FindByTitle {
    const char *title;
    HWND found;
};

static BOOL CALLBACK FindTitleProc(HWND h, LPARAM lp)
{
    FindByTitle *f = (FindByTitle *)lp;
    char buf[1024] = "";
    GetWindowTextA(h, buf, sizeof(buf));
    if (strcmp(buf, f->title) == 0) {
        f->found = h;
        return FALSE;
    }
    return TRUE;
}

static HWND FindTitle(const char *title)
{
    FindByTitle f = {title, NULL};
    EnumWindows(FindTitleProc, (LPARAM)&f);
    return f.found;
}

static BOOL CALLBACK ListProc(HWND h, LPARAM)
{
    DWORD pid = 0;
    GetWindowThreadProcessId(h, &pid);
    char line[128];
    snprintf(line, sizeof(line), "\t%lu\t%d\t", (unsigned long)pid, IsWindowVisible(h) ? 1 : 0);
    Out(Hex(h) + line + ClassOf(h) + "\t" + WindowText(h));
    return TRUE;
}

static BOOL CALLBACK ChildProc(HWND h, LPARAM)
{
    char line[128];
    snprintf(line, sizeof(line), "\t%d\t%d\t%d\t", GetDlgCtrlID(h), IsWindowVisible(h) ? 1 : 0,
             IsWindowEnabled(h) ? 1 : 0);
    Out(Hex(h) + line + ClassOf(h) + "\t" + WindowText(h));
    return TRUE;
}

static void PrintFound(HWND h)
{
    Out(Hex(h) + "\t" + (IsWindowVisible(h) ? "1" : "0") + "\t" + (GetForegroundWindow() == h ? "1" : "0"));
}

struct FindByClass {
    const char *cls;
    const char *title;
    HWND found;
};

static BOOL CALLBACK FindClassProc(HWND h, LPARAM lp)
{
    FindByClass *f = (FindByClass *)lp;
    char text[1024] = "";
    if (f->title)
        GetWindowTextA(h, text, sizeof(text));
    if (IsWindowVisible(h) && ClassOf(h) == f->cls && (!f->title || strcmp(text, f->title) == 0)) {
        f->found = h;
        return FALSE;
    }
    return TRUE;
}

static int CountProcesses(const char *name)
{
    HANDLE snap = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snap == INVALID_HANDLE_VALUE)
        return -1;
    PROCESSENTRY32 entry = {};
    entry.dwSize = sizeof(entry);
    int count = 0;
    for (BOOL ok = Process32First(snap, &entry); ok; ok = Process32Next(snap, &entry)) {
        if (lstrcmpiA(entry.szExeFile, name) == 0)
            ++count;
    }
    CloseHandle(snap);
    return count;
}

static DWORD Number(const char *s)
{
    return (DWORD)strtoul(s, NULL, 0);
}

int main(int argc, char **argv)
{
    if (argc < 2) {
        fprintf(stderr, "usage: wdrive COMMAND ...\n");
        return 2;
    }
    std::string cmd = argv[1];
    if (cmd == "windows") {
        EnumWindows(ListProc, 0);
        return 0;
    }
    if ((cmd == "find" || cmd == "wait") && argc >= 3) {
        DWORD limit = cmd == "wait" ? (argc >= 4 ? Number(argv[3]) : 10000) : 0;
        DWORD start = GetTickCount();
        for (;;) {
            HWND h = FindTitle(argv[2]);
            if (h) {
                PrintFound(h);
                return 0;
            }
            if (GetTickCount() - start >= limit)
                return 1;
            Sleep(100);
        }
    }
    if (cmd == "wait-gone" && argc >= 3) {
        DWORD limit = argc >= 4 ? Number(argv[3]) : 10000;
        DWORD start = GetTickCount();
        while (FindTitle(argv[2])) {
            if (GetTickCount() - start >= limit)
                return 1;
            Sleep(100);
        }
        return 0;
    }
    if (cmd == "wait-class" && argc >= 3) {
        DWORD limit = argc >= 4 ? Number(argv[3]) : 10000;
        DWORD start = GetTickCount();
        for (;;) {
            FindByClass f = {argv[2], argc >= 5 ? argv[4] : NULL, NULL};
            EnumWindows(FindClassProc, (LPARAM)&f);
            if (f.found) {
                Out(Hex(f.found) + "\t" + WindowText(f.found));
                return 0;
            }
            if (GetTickCount() - start >= limit)
                return 1;
            Sleep(argc >= 6 ? Number(argv[5]) : 100);
        }
    }
    if (cmd == "children" && argc >= 3) {
        EnumChildWindows(ParseHwnd(argv[2]), ChildProc, 0);
        return 0;
    }
    if (cmd == "text" && argc >= 3) {
        HWND h = ParseHwnd(argv[2]);
        if (argc >= 4)
            h = GetDlgItem(h, (int)Number(argv[3]));
        if (!h)
            return 1;
        Out(WindowText(h));
        return 0;
    }
    if (cmd == "click" && argc >= 4) {
        HWND child = GetDlgItem(ParseHwnd(argv[2]), (int)Number(argv[3]));
        if (!child)
            return 1;
        PostMessageA(child, BM_CLICK, 0, 0);
        return 0;
    }
    if (cmd == "command" && argc >= 4) {
        return PostMessageA(ParseHwnd(argv[2]), WM_COMMAND, Number(argv[3]), 0) ? 0 : 1;
    }
    if ((cmd == "post" || cmd == "send") && argc >= 4) {
        HWND h = ParseHwnd(argv[2]);
        DWORD msg = Number(argv[3]);
        WPARAM wp = argc >= 5 ? Number(argv[4]) : 0;
        LPARAM lp = argc >= 6 ? (LPARAM)Number(argv[5]) : 0;
        if (cmd == "post")
            return PostMessageA(h, msg, wp, lp) ? 0 : 1;
        DWORD_PTR result = 0;
        if (!SendMessageTimeoutA(h, msg, wp, lp, SMTO_ABORTIFHUNG, 5000, &result))
            return 1;
        char b[32];
        snprintf(b, sizeof(b), "%ld", (long)result);
        Out(b);
        return 0;
    }
    if (cmd == "settext" && argc >= 5) {
        HWND child = GetDlgItem(ParseHwnd(argv[2]), (int)Number(argv[3]));
        if (!child)
            return 1;
        return SendMessageTimeoutA(child, WM_SETTEXT, 0, (LPARAM)argv[4], SMTO_ABORTIFHUNG, 5000, NULL) ? 0 : 1;
    }
    if (cmd == "foreground") {
        HWND h = GetForegroundWindow();
        Out(Hex(h) + "\t" + WindowText(h));
        return 0;
    }
    if (cmd == "ping" && argc >= 4) {
        DWORD_PTR result = 0;
        return SendMessageTimeoutA(ParseHwnd(argv[2]), WM_NULL, 0, 0, SMTO_ABORTIFHUNG, Number(argv[3]), &result)
                   ? 0
                   : 1;
    }
    if (cmd == "procs" && argc >= 3) {
        char b[32];
        snprintf(b, sizeof(b), "%d", CountProcesses(argv[2]));
        Out(b);
        return 0;
    }
    if (cmd == "rect" && argc >= 3) {
        RECT r;
        if (!GetWindowRect(ParseHwnd(argv[2]), &r))
            return 1;
        char b[96];
        snprintf(b, sizeof(b), "%ld %ld %ld %ld", r.left, r.top, r.right, r.bottom);
        Out(b);
        return 0;
    }
    if (cmd == "item" && argc >= 4) {
        struct Search {
            int id;
            HWND found;
            static BOOL CALLBACK Proc(HWND h, LPARAM lp)
            {
                Search *self = (Search *)lp;
                if (GetDlgCtrlID(h) == self->id) {
                    self->found = h;
                    return FALSE;
                }
                return TRUE;
            }
        } search = {(int)Number(argv[3]), NULL};
        EnumChildWindows(ParseHwnd(argv[2]), Search::Proc, (LPARAM)&search);
        if (!search.found)
            return 1;
        HWND h = search.found;
        Out(Hex(h) + "\t" + Hex(GetParent(h)) + "\t" + (IsWindowVisible(h) ? "1" : "0") + "\t" +
            (IsWindowEnabled(h) ? "1" : "0") + "\t" + ClassOf(h) + "\t" + WindowText(h));
        return 0;
    }
    if (cmd == "combo" && argc >= 4) {
        HWND combo = GetDlgItem(ParseHwnd(argv[2]), (int)Number(argv[3]));
        if (!combo)
            return 1;
        // The wide form: Wine passes item texts between processes as Unicode.
        LRESULT count = SendMessageW(combo, CB_GETCOUNT, 0, 0);
        for (LRESULT i = 0; i < count; ++i) {
            wchar_t item[1024] = L"";
            if (SendMessageW(combo, CB_GETLBTEXTLEN, i, 0) < (LRESULT)(sizeof(item) / sizeof(item[0])))
                SendMessageW(combo, CB_GETLBTEXT, i, (LPARAM)item);
            char utf8[4096] = "";
            WideCharToMultiByte(CP_UTF8, 0, item, -1, utf8, sizeof(utf8), NULL, NULL);
            Out(utf8);
        }
        return 0;
    }
    if (cmd == "select" && argc >= 5) {
        HWND parent = ParseHwnd(argv[2]);
        int id = (int)Number(argv[3]);
        HWND combo = GetDlgItem(parent, id);
        if (!combo)
            return 1;
        SendMessageA(combo, CB_SETCURSEL, Number(argv[4]), 0);
        return PostMessageA(parent, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), (LPARAM)combo) ? 0 : 1;
    }
    if (cmd == "workarea") {
        RECT r;
        if (!SystemParametersInfoA(SPI_GETWORKAREA, 0, &r, 0))
            return 1;
        char b[96];
        snprintf(b, sizeof(b), "%ld %ld %ld %ld", r.left, r.top, r.right, r.bottom);
        Out(b);
        return 0;
    }
    if (cmd == "shellopen" && argc >= 3) {
        HINSTANCE r = ShellExecuteA(NULL, "open", argv[2], argc >= 4 ? argv[3] : NULL, NULL, SW_SHOWNORMAL);
        char b[32];
        snprintf(b, sizeof(b), "%ld", (long)(INT_PTR)r);
        Out(b);
        return (INT_PTR)r > 32 ? 0 : 1;
    }
    if (cmd == "tray" && argc >= 4) {
        // Modifying an icon succeeds only when it is there.
        NOTIFYICONDATAA data = {};
        data.cbSize = NOTIFYICONDATAA_V2_SIZE;
        data.hWnd = ParseHwnd(argv[2]);
        data.uID = (UINT)Number(argv[3]);
        data.uFlags = 0;
        return Shell_NotifyIconA(NIM_MODIFY, &data) ? 0 : 1;
    }
    if (cmd == "rects" && argc >= 5) {
        HWND h = ParseHwnd(argv[2]);
        DWORD total = Number(argv[3]), step = Number(argv[4]);
        DWORD start = GetTickCount();
        while (GetTickCount() - start < total) {
            RECT r;
            char b[128];
            if (!IsWindow(h) || !GetWindowRect(h, &r)) {
                snprintf(b, sizeof(b), "%lu gone", (unsigned long)(GetTickCount() - start));
                Out(b);
                return 0;
            }
            snprintf(b, sizeof(b), "%lu %ld %ld %ld %ld", (unsigned long)(GetTickCount() - start), r.left, r.top,
                     r.right, r.bottom);
            Out(b);
            Sleep(step);
        }
        return 0;
    }
    fprintf(stderr, "wdrive: unknown command or missing arguments: %s\n", cmd.c_str());
    return 2;
}
