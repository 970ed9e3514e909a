#include "sim/win32/DevWatcher.h"

#include "sim/core/CallLogLine.h"
#include "sim/win32/SimEntry.h"
#include "sim/win32/SimStore.h"

#include <windows.h>

#include <mutex>
#include <string>
#include <vector>

namespace {

struct Registration {
    std::string reader;
    TokDevChgFunc onInserted;
    TokDevChgFunc onRemoved;
    void *context;
    bool present;
};

struct Event {
    TokDevChgFunc callback;
    void *context;
    std::string reader;
    bool inserted;
};

std::mutex g_lock;
std::vector<Registration> g_regs;
bool g_running = false;

// Every writer replaces state.ini in one step inside its folder, so a
// change notice on the folder wakes the watch; without a notice the watch
// looks every PollMs anyway (a lost notice, a folder made later), and polls
// as before where notices cannot be had. An idle watch costs no wake-up
// every 50 ms in the program it runs in.
const DWORD PollMs = 1000;
const DWORD FallbackPollMs = 50;

void WaitForStateChange(HANDLE &notice, std::string &watched)
{
    std::string folder = SimStore::Folder();
    if (notice != INVALID_HANDLE_VALUE && folder != watched) {
        FindCloseChangeNotification(notice);
        notice = INVALID_HANDLE_VALUE;
    }
    if (notice == INVALID_HANDLE_VALUE) {
        notice = FindFirstChangeNotificationA(folder.c_str(), FALSE,
                                              FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_LAST_WRITE |
                                                  FILE_NOTIFY_CHANGE_SIZE);
        watched = folder;
        if (notice == INVALID_HANDLE_VALUE) {
            Sleep(FallbackPollMs);
            return;
        }
    }
    if (WaitForSingleObject(notice, PollMs) == WAIT_OBJECT_0 && !FindNextChangeNotification(notice)) {
        FindCloseChangeNotification(notice);
        notice = INVALID_HANDLE_VALUE;
    }
}

DWORD WINAPI WatchThread(void *self)
{
    FileStamp seen;
    HANDLE notice = INVALID_HANDLE_VALUE;
    std::string watched;
    for (;;) {
        // Re-armed before the state is read: a write after the read wakes
        // the next wait.
        WaitForStateChange(notice, watched);
        FileStamp now = SimStore::Stamp(SimStore::StatePath());
        std::vector<Registration> regs;
        {
            std::lock_guard<std::mutex> hold(g_lock);
            if (g_regs.empty()) {
                g_running = false;
                break;
            }
            if (now == seen)
                continue;
            regs = g_regs;
        }
        seen = now;
        std::vector<std::pair<std::string, bool>> presence;
        {
            SimStore::Lock lock;
            SimState &s = SimStore::Instance().Current();
            for (const Registration &r : regs) {
                int i = FindReader(s, r.reader);
                presence.push_back({r.reader, i >= 0 && s.readers[(size_t)i].present});
            }
        }
        std::vector<Event> events;
        {
            std::lock_guard<std::mutex> hold(g_lock);
            for (const auto &p : presence)
                for (Registration &r : g_regs)
                    if (r.reader == p.first && r.present != p.second) {
                        r.present = p.second;
                        TokDevChgFunc cb = p.second ? r.onInserted : r.onRemoved;
                        if (cb)
                            events.push_back({cb, r.context, r.reader, p.second});
                    }
        }
        for (const Event &e : events) {
            int rc = e.callback(e.context);
            CallLogLine line("QKDevChg");
            line.Word(e.inserted ? "inserted" : "removed").Text(e.reader.c_str());
            LogEvent(line.Finish((uint32_t)rc));
        }
    }
    if (notice != INVALID_HANDLE_VALUE)
        FindCloseChangeNotification(notice);
    FreeLibraryAndExitThread((HMODULE)self, 0);
    return 0;
}

} // namespace

void RegisterDevChg(const char *reader, TokDevChgFunc onInserted, TokDevChgFunc onRemoved, void *context,
                    bool present)
{
    std::lock_guard<std::mutex> hold(g_lock);
    std::string name = reader;
    bool found = false;
    for (size_t i = 0; i < g_regs.size(); ++i)
        if (g_regs[i].reader == name) {
            found = true;
            if (!onInserted && !onRemoved) {
                g_regs.erase(g_regs.begin() + (long)i);
            } else {
                g_regs[i].onInserted = onInserted;
                g_regs[i].onRemoved = onRemoved;
                g_regs[i].context = context;
            }
            break;
        }
    if (!found && (onInserted || onRemoved))
        g_regs.push_back({name, onInserted, onRemoved, context, present});
    if (g_regs.empty() || g_running)
        return;
    HMODULE self = NULL;
    if (!GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS, (LPCSTR)&WatchThread, &self))
        return;
    HANDLE t = CreateThread(NULL, 0, WatchThread, self, 0, NULL);
    if (!t) {
        FreeLibrary(self);
        return;
    }
    CloseHandle(t);
    g_running = true;
}

size_t DevChgRegistrations()
{
    std::lock_guard<std::mutex> hold(g_lock);
    return g_regs.size();
}
