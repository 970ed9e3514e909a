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
//   wdrive settext HWND ID TEXT       WM_SETTEXT on child ID
//   wdrive foreground                 hwnd and title of the foreground window
//   wdrive focus HWND                 focus and caret windows of HWND's thread (0 for none)
//   wdrive procs NAME                 number of running processes named NAME
//   wdrive rect HWND                  left top right bottom
//   wdrive client HWND                the client area, in screen coordinates
//   wdrive workarea                   left top right bottom of the work area
//   wdrive shellopen FILE [PARAMS]    ShellExecuteA "open", prints its result
//   wdrive tray HWND ID               exit 0 when the window's tray icon ID exists
//   wdrive rects HWND MS STEP         samples the rectangle every STEP ms for MS ms
//                                     ("gone" once the window no longer exists)
//   wdrive keyrec FILE MS             a foreground window titled "wdrive key recorder"
//                                     that appends "down|up VK" (hex) of every key
//                                     message it gets to FILE, for MS ms
//   wdrive textbox MODE MS            a foreground window titled "wdrive text box" with one
//                                     edit (id 100) to type into, until closed or MS ms.
//                                     MODE: unicode (W window and edit, a dialog's loop
//                                     of W calls), ansi (A window and edit, A calls),
//                                     ansi-plain (A, no IsDialogMessageA), ansi-wloop (A
//                                     window, W calls), unicode-aloop (W window, A calls).
//                                     Then prints the edit's text as UTF-8, read as Unicode
//   wdrive tree ROOT ID               the nodes of the tree view with control ID:
//                                     depth item-data(hex) text, in display order
//   wdrive tree-select ROOT ID N      selects the N-th node (display order, from 0)
//   wdrive appear CLASS TITLE MS [HWND ID]  waits (1 ms polls) for a visible window
//                                     of CLASS and TITLE; prints the Unix time in ms
//                                     when it was seen and the ms waited. With HWND
//                                     ID, first posts BM_CLICK to that child and
//                                     counts from the click.
//   wdrive clipped ROOT FACE POINTS   every visible control below ROOT that is not
//                                     wholly visible (cut by an ancestor), or whose
//                                     text does not fit it in that font: id class why
#include <windows.h>
#include <shellapi.h>
#include <tlhelp32.h>
#include <commctrl.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <string>
#include <utility>
#include <vector>

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
    SendMessageTimeoutA(h, WM_GETTEXT, sizeof(buf), (LPARAM)buf, SMTO_ABORTIFHUNG, 10000, NULL);
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

static HWND FindDescendant(HWND root, int id)
{
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
    } search = {id, NULL};
    EnumChildWindows(root, Search::Proc, (LPARAM)&search);
    return search.found;
}

static HANDLE g_keyLog = INVALID_HANDLE_VALUE;

static LRESULT CALLBACK KeyRecorderProc(HWND h, UINT msg, WPARAM wp, LPARAM lp)
{
    if (msg == WM_KEYDOWN || msg == WM_KEYUP || msg == WM_SYSKEYDOWN || msg == WM_SYSKEYUP) {
        char line[32];
        int n = snprintf(line, sizeof(line), "%s %02X\n", (msg == WM_KEYDOWN || msg == WM_SYSKEYDOWN) ? "down" : "up",
                         (unsigned)(wp & 0xFF));
        DWORD written = 0;
        WriteFile(g_keyLog, line, (DWORD)n, &written, NULL);
        return 0;
    }
    if (msg == WM_SYSCHAR || (msg == WM_SYSCOMMAND && (wp & 0xFFF0) == SC_KEYMENU))
        return 0; // an Alt press must not open a menu loop
    return DefWindowProcA(h, msg, wp, lp);
}

static int KeyRecorder(const char *file, DWORD ms)
{
    g_keyLog = CreateFileA(file, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL, OPEN_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, NULL);
    if (g_keyLog == INVALID_HANDLE_VALUE)
        return 1;
    WNDCLASSA wc = {};
    wc.lpfnWndProc = KeyRecorderProc;
    wc.hInstance = GetModuleHandleA(NULL);
    wc.lpszClassName = "WdriveKeyRecorder";
    wc.hbrBackground = (HBRUSH)(COLOR_WINDOW + 1);
    RegisterClassA(&wc);
    HWND h = CreateWindowExA(0, wc.lpszClassName, "wdrive key recorder", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 40,
                             300, 120, NULL, NULL, wc.hInstance, NULL);
    if (!h)
        return 1;
    SetForegroundWindow(h);
    SetFocus(h);
    DWORD start = GetTickCount();
    SetTimer(h, 1, 100, NULL);
    MSG msg;
    while (GetTickCount() - start < ms && GetMessageA(&msg, NULL, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    CloseHandle(g_keyLog);
    return 0;
}

// Closing ends the loop; the text is read before the window goes.
static LRESULT CALLBACK TextBoxProcW(HWND h, UINT msg, WPARAM wp, LPARAM lp)
{
    if (msg == WM_CLOSE) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(h, msg, wp, lp);
}

static LRESULT CALLBACK TextBoxProcA(HWND h, UINT msg, WPARAM wp, LPARAM lp)
{
    if (msg == WM_CLOSE) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(h, msg, wp, lp);
}

// Where typed text can be lost on its way in: the window's character set and
// the dialog's keyboard handling.
static int TextBox(const std::string &mode, DWORD ms)
{
    bool wide = mode == "unicode" || mode == "unicode-aloop";
    bool wideLoop = mode == "unicode" || mode == "ansi-wloop";
    bool dialogLoop = mode != "ansi-plain";
    if (!wide && mode != "ansi" && mode != "ansi-plain" && mode != "ansi-wloop")
        return 2;
    HINSTANCE instance = GetModuleHandleA(NULL);
    DWORD style = WS_OVERLAPPEDWINDOW | WS_VISIBLE;
    HWND h, edit;
    if (wide) {
        WNDCLASSW wc = {};
        wc.lpfnWndProc = TextBoxProcW;
        wc.hInstance = instance;
        wc.lpszClassName = L"WdriveTextBoxW";
        wc.hbrBackground = (HBRUSH)(COLOR_BTNFACE + 1);
        RegisterClassW(&wc);
        h = CreateWindowExW(0, wc.lpszClassName, L"wdrive text box", style, 60, 60, 360, 120, NULL, NULL, instance, NULL);
        edit = h ? CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL,
                                   10, 10, 320, 26, h, (HMENU)100, instance, NULL)
                 : NULL;
    } else {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = TextBoxProcA;
        wc.hInstance = instance;
        wc.lpszClassName = "WdriveTextBoxA";
        wc.hbrBackground = (HBRUSH)(COLOR_BTNFACE + 1);
        RegisterClassA(&wc);
        h = CreateWindowExA(0, wc.lpszClassName, "wdrive text box", style, 60, 60, 360, 120, NULL, NULL, instance, NULL);
        edit = h ? CreateWindowExA(WS_EX_CLIENTEDGE, "EDIT", "", WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL, 10,
                                   10, 320, 26, h, (HMENU)100, instance, NULL)
                 : NULL;
    }
    if (!edit)
        return 1;
    SendMessageA(edit, WM_SETFONT, (WPARAM)GetStockObject(DEFAULT_GUI_FONT), TRUE);
    SetForegroundWindow(h);
    SetFocus(edit);
    DWORD start = GetTickCount();
    SetTimer(h, 1, 100, NULL);
    MSG msg;
    while (GetTickCount() - start < ms && (wideLoop ? GetMessageW(&msg, NULL, 0, 0) : GetMessageA(&msg, NULL, 0, 0)) > 0) {
        if (dialogLoop && (wideLoop ? IsDialogMessageW(h, &msg) : IsDialogMessageA(h, &msg)))
            continue;
        TranslateMessage(&msg);
        if (wideLoop)
            DispatchMessageW(&msg);
        else
            DispatchMessageA(&msg);
    }
    WCHAR text[256] = L"";
    GetWindowTextW(edit, text, 256);
    char utf8[1024] = "";
    WideCharToMultiByte(CP_UTF8, 0, text, -1, utf8, sizeof(utf8), NULL, NULL);
    Out(utf8);
    return 0;
}

// Reads a tree item of another process through memory of that process.
static bool RemoteTreeItem(HWND tree, HTREEITEM item, std::string *text, LPARAM *data)
{
    DWORD pid = 0;
    GetWindowThreadProcessId(tree, &pid);
    HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
    if (!process)
        return false;
    const int chars = 512;
    SIZE_T size = sizeof(TVITEMW) + chars * sizeof(WCHAR);
    BYTE *remote = (BYTE *)VirtualAllocEx(process, NULL, size, MEM_COMMIT, PAGE_READWRITE);
    bool ok = false;
    if (remote) {
        TVITEMW tv = {};
        tv.mask = TVIF_TEXT | TVIF_PARAM;
        tv.hItem = item;
        tv.pszText = (LPWSTR)(remote + sizeof(TVITEMW));
        tv.cchTextMax = chars;
        WCHAR buffer[chars] = {};
        if (WriteProcessMemory(process, remote, &tv, sizeof(tv), NULL) &&
            SendMessageW(tree, TVM_GETITEMW, 0, (LPARAM)remote) &&
            ReadProcessMemory(process, remote, &tv, sizeof(tv), NULL) &&
            ReadProcessMemory(process, remote + sizeof(TVITEMW), buffer, sizeof(buffer), NULL)) {
            buffer[chars - 1] = 0;
            int bytes = WideCharToMultiByte(CP_UTF8, 0, buffer, -1, NULL, 0, NULL, NULL);
            std::string out(bytes > 0 ? bytes : 1, '\0');
            WideCharToMultiByte(CP_UTF8, 0, buffer, -1, &out[0], bytes, NULL, NULL);
            out.resize(strlen(out.c_str()));
            *text = out;
            *data = tv.lParam;
            ok = true;
        }
        VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    }
    CloseHandle(process);
    return ok;
}

// Display order: each node, then its children.
static void TreeNodes(HWND tree, HTREEITEM first, int depth, std::vector<std::pair<HTREEITEM, int>> *out)
{
    for (HTREEITEM item = first; item; item = (HTREEITEM)SendMessageA(tree, TVM_GETNEXTITEM, TVGN_NEXT, (LPARAM)item)) {
        out->push_back(std::make_pair(item, depth));
        TreeNodes(tree, (HTREEITEM)SendMessageA(tree, TVM_GETNEXTITEM, TVGN_CHILD, (LPARAM)item), depth + 1, out);
    }
}

// What of a control its ancestors let show, in screen coordinates.
static RECT VisiblePart(HWND h)
{
    RECT visible;
    GetWindowRect(h, &visible);
    for (HWND up = GetParent(h); up; up = GetParent(up)) {
        RECT client;
        GetClientRect(up, &client);
        MapWindowPoints(up, NULL, (POINT *)&client, 2);
        IntersectRect(&visible, &visible, &client);
        if (!(GetWindowLongA(up, GWL_STYLE) & WS_CHILD))
            break;
    }
    return visible;
}

// Whether the control's text fits its client area: buttons and plain
// statics, measured in the dialog's font (another process's font handle
// cannot be selected here).
static bool TextFits(HWND h, HFONT font)
{
    char text[1024] = "";
    SendMessageTimeoutA(h, WM_GETTEXT, sizeof(text), (LPARAM)text, SMTO_ABORTIFHUNG, 10000, NULL);
    text[sizeof(text) - 1] = '\0';
    if (!text[0])
        return true;
    LONG style = GetWindowLongA(h, GWL_STYLE);
    std::string cls = ClassOf(h);
    RECT room;
    GetClientRect(h, &room);
    bool wrap = false;
    UINT flags = DT_CALCRECT;
    if (_stricmp(cls.c_str(), "Button") == 0) {
        LONG type = style & BS_TYPEMASK;
        if (type == BS_GROUPBOX) {
            room.right -= 16; // the frame's corners on both sides of the title
            room.bottom = room.top + 16;
        } else if (type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON) {
            room.right -= 6;
        } else if (type == BS_CHECKBOX || type == BS_AUTOCHECKBOX || type == BS_RADIOBUTTON ||
                   type == BS_AUTORADIOBUTTON || type == BS_3STATE || type == BS_AUTO3STATE) {
            room.right -= GetSystemMetrics(SM_CXMENUCHECK) + 4;
        } else {
            return true;
        }
        wrap = (style & BS_MULTILINE) != 0;
    } else if (_stricmp(cls.c_str(), "Static") == 0) {
        LONG type = style & SS_TYPEMASK;
        if (type != SS_LEFT && type != SS_CENTER && type != SS_RIGHT && type != SS_SIMPLE && type != SS_LEFTNOWORDWRAP)
            return true;
        wrap = type == SS_LEFT || type == SS_CENTER || type == SS_RIGHT;
        if (style & SS_NOPREFIX)
            flags |= DT_NOPREFIX;
    } else {
        return true;
    }
    HDC dc = GetDC(NULL);
    HGDIOBJ old = SelectObject(dc, font);
    RECT need = {0, 0, room.right - room.left, 0};
    DrawTextA(dc, text, -1, &need, flags | (wrap ? DT_WORDBREAK : DT_SINGLELINE));
    SelectObject(dc, old);
    ReleaseDC(NULL, dc);
    return need.right - need.left <= room.right - room.left && need.bottom - need.top <= room.bottom - room.top;
}

struct ClipCheck {
    HFONT font;
    static BOOL CALLBACK Proc(HWND h, LPARAM lp)
    {
        if (!IsWindowVisible(h))
            return TRUE;
        ClipCheck *self = (ClipCheck *)lp;
        RECT whole, visible = VisiblePart(h);
        GetWindowRect(h, &whole);
        char id[32];
        snprintf(id, sizeof(id), "%d\t", GetDlgCtrlID(h));
        if (!EqualRect(&whole, &visible))
            Out(id + ClassOf(h) + "\toutside");
        else if (!TextFits(h, self->font))
            Out(id + ClassOf(h) + "\ttext");
        return TRUE;
    }
};

static long long UnixMilliseconds()
{
    FILETIME ft;
    GetSystemTimeAsFileTime(&ft);
    ULARGE_INTEGER t;
    t.LowPart = ft.dwLowDateTime;
    t.HighPart = ft.dwHighDateTime;
    return (long long)(t.QuadPart / 10000ULL) - 11644473600000LL;
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
    if (cmd == "clipped" && argc >= 5) {
        HDC screen = GetDC(NULL);
        int height = -MulDiv((int)Number(argv[4]), GetDeviceCaps(screen, LOGPIXELSY), 72);
        ReleaseDC(NULL, screen);
        ClipCheck check = {CreateFontA(height, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, argv[3])};
        EnumChildWindows(ParseHwnd(argv[2]), ClipCheck::Proc, (LPARAM)&check);
        DeleteObject(check.font);
        return 0;
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
    if (cmd == "focus" && argc >= 3) {
        GUITHREADINFO info = {};
        info.cbSize = sizeof(info);
        if (!GetGUIThreadInfo(GetWindowThreadProcessId(ParseHwnd(argv[2]), NULL), &info))
            return 1;
        Out(Hex(info.hwndFocus) + "\t" + Hex(info.hwndCaret));
        return 0;
    }
    if (cmd == "foreground") {
        HWND h = GetForegroundWindow();
        Out(Hex(h) + "\t" + WindowText(h));
        return 0;
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
    if (cmd == "client" && argc >= 3) {
        RECT r;
        HWND h = ParseHwnd(argv[2]);
        if (!GetClientRect(h, &r))
            return 1;
        POINT corner = {0, 0};
        ClientToScreen(h, &corner);
        char b[96];
        snprintf(b, sizeof(b), "%ld %ld %ld %ld", corner.x, corner.y, corner.x + r.right, corner.y + r.bottom);
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
    if (cmd == "keyrec" && argc >= 4)
        return KeyRecorder(argv[2], Number(argv[3]));
    if (cmd == "textbox" && argc >= 4)
        return TextBox(argv[2], Number(argv[3]));
    if ((cmd == "tree" && argc >= 4) || (cmd == "tree-select" && argc >= 5)) {
        HWND tree = FindDescendant(ParseHwnd(argv[2]), (int)Number(argv[3]));
        if (!tree)
            return 1;
        std::vector<std::pair<HTREEITEM, int>> nodes;
        TreeNodes(tree, (HTREEITEM)SendMessageA(tree, TVM_GETNEXTITEM, TVGN_ROOT, 0), 0, &nodes);
        if (cmd == "tree-select") {
            size_t n = Number(argv[4]);
            if (n >= nodes.size())
                return 1;
            return SendMessageA(tree, TVM_SELECTITEM, TVGN_CARET, (LPARAM)nodes[n].first) ? 0 : 1;
        }
        for (size_t i = 0; i < nodes.size(); ++i) {
            std::string text;
            LPARAM data = 0;
            if (!RemoteTreeItem(tree, nodes[i].first, &text, &data))
                return 1;
            char head[64];
            snprintf(head, sizeof(head), "%d\t%lx\t", nodes[i].second, (unsigned long)data);
            Out(head + text);
        }
        return 0;
    }
    if (cmd == "appear" && argc >= 5) {
        FindByClass f = {argv[2], argv[3], NULL};
        DWORD limit = Number(argv[4]);
        LARGE_INTEGER frequency, start, now;
        QueryPerformanceFrequency(&frequency);
        if (argc >= 7) {
            HWND button = FindDescendant(ParseHwnd(argv[5]), (int)Number(argv[6]));
            if (!button)
                return 1;
            QueryPerformanceCounter(&start);
            PostMessageA(button, BM_CLICK, 0, 0);
        } else {
            QueryPerformanceCounter(&start);
        }
        for (;;) {
            f.found = NULL;
            EnumWindows(FindClassProc, (LPARAM)&f);
            QueryPerformanceCounter(&now);
            double waited = (double)(now.QuadPart - start.QuadPart) * 1000.0 / (double)frequency.QuadPart;
            if (f.found) {
                char line[64];
                snprintf(line, sizeof(line), "%lld\t%.0f", UnixMilliseconds(), waited);
                Out(line);
                return 0;
            }
            if (waited >= limit)
                return 1;
            Sleep(1);
        }
    }
    fprintf(stderr, "wdrive: unknown command or missing arguments: %s\n", cmd.c_str());
    return 2;
}
