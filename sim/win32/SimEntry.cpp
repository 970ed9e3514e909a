#include "sim/win32/SimEntry.h"

#include "common/BoundedCopy.h"
#include "sim/win32/SimStore.h"

#include <stdio.h>
#include <stdlib.h>

enum { HANDLE_BASE = 0x5100 };

static bool Hook(const HookMap &readerHooks, const HookMap &globalHooks, const char *entry, uint32_t *value)
{
    auto it = readerHooks.find(entry);
    if (it == readerHooks.end()) {
        it = globalHooks.find(entry);
        if (it == globalHooks.end())
            return false;
    }
    *value = (uint32_t)strtoul(it->second.c_str(), NULL, 0);
    return true;
}

// The line as logged: with the caller's thread id when the state asks for it
// (the watcher's handlers and the window thread interleave in the log).
static std::string Logged(const SimState &state, std::string line)
{
    if (state.config.logThreads && !line.empty() && line.back() == '\n') {
        char id[24];
        snprintf(id, sizeof id, "\t@%lu", (unsigned long)GetCurrentThreadId());
        line.insert(line.size() - 1, id);
    }
    return line;
}

uint32_t RunEntry(const char *entry, const std::string &reader, CallLogLine &line, const SimOp &op)
{
    SimStore &store = SimStore::Instance();
    uint32_t delay = 0, forced = 0;
    bool hasDelay, hasFail;
    {
        SimStore::Lock lock;
        SimState &s = store.Current();
        int i = reader.empty() ? -1 : FindReader(s, reader);
        static const HookMap none;
        const Reader *r = i >= 0 ? &s.readers[(size_t)i] : NULL;
        hasDelay = Hook(r ? r->delay : none, s.config.delay, entry, &delay);
        hasFail = Hook(r ? r->fail : none, s.config.fail, entry, &forced);
    }
    if (hasDelay && delay)
        Sleep(delay > 600000 ? 600000 : delay);
    uint32_t result = forced;
    SimStore::Lock lock;
    if (!hasFail) {
        SimState copy = store.Current();
        bool changed = false;
        result = op(copy, changed);
        if (changed)
            store.Save(copy);
    }
    store.AppendLog(Logged(store.Current(), line.Finish(result)));
    return result;
}

void ApplyLengthHook(const SimState &state, const char *entry, uint32_t *length)
{
    static const HookMap none;
    uint32_t value = 0;
    if (length && Hook(none, state.config.len, entry, &value))
        *length = value;
}

void LogEvent(const std::string &line)
{
    SimStore::Lock lock;
    SimStore::Instance().AppendLog(Logged(SimStore::Instance().Current(), line));
}

Reader *TokenIn(SimState &state, const char *reader, uint32_t *rc)
{
    int i = reader ? FindReader(state, reader) : -1;
    if (i < 0) {
        *rc = SIM_ERR_NO_READER;
        return NULL;
    }
    Reader &r = state.readers[(size_t)i];
    if (!r.present) {
        *rc = SIM_ERR_NO_TOKEN;
        return NULL;
    }
    *rc = 0;
    return &r;
}

TokHandle HandleForReader(int index)
{
    return (TokHandle)(uintptr_t)(HANDLE_BASE + index);
}

int ReaderIndexOfHandle(TokHandle handle)
{
    uintptr_t v = (uintptr_t)handle;
    if (v < HANDLE_BASE || v >= HANDLE_BASE + SIM_MAX_READERS)
        return -1;
    return (int)(v - HANDLE_BASE);
}

std::string ReaderNameOfHandle(TokHandle handle)
{
    int i = ReaderIndexOfHandle(handle);
    if (i < 0)
        return std::string();
    SimStore::Lock lock;
    SimState &s = SimStore::Instance().Current();
    return (size_t)i < s.readers.size() ? s.readers[(size_t)i].name : std::string();
}

Reader *TokenOfHandle(SimState &state, TokHandle handle, uint32_t *rc)
{
    int i = ReaderIndexOfHandle(handle);
    if (i < 0 || (size_t)i >= state.readers.size()) {
        *rc = SIM_ERR_BAD_HANDLE;
        return NULL;
    }
    Reader &r = state.readers[(size_t)i];
    if (!r.present) {
        *rc = SIM_ERR_NO_TOKEN;
        return NULL;
    }
    *rc = 0;
    return &r;
}

void PutText(char *buffer, size_t size, const std::string &text)
{
    if (buffer && size)
        CopyBoundedN(buffer, size, text.data(), text.size());
}
