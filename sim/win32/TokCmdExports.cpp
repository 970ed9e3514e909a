// tokcmd_sim.dll: stand-in for the token command library (readers, device
// state, device-change notification, raw access).
#include "sim/core/ReaderList.h"
#include "sim/win32/DevWatcher.h"
#include "sim/win32/SimEntry.h"
#include "sim/win32/SimStore.h"

#include <windows.h>

#include <string.h>

#include <type_traits>

#define EXPORT extern "C"

enum : uint32_t { DEV_STATE_ABSENT = 0 };

static std::string Name(const char *reader)
{
    return reader ? std::string(reader, strnlen(reader, 1024)) : std::string();
}

EXPORT int TOKAPI QKGetDevState(const char *reader, uint32_t *state)
{
    CallLogLine line("QKGetDevState");
    line.Text(reader).Pointer(state, "out");
    return (int)RunEntry("QKGetDevState", Name(reader), line, [&](SimState &s, bool &) -> uint32_t {
        int i = reader ? FindReader(s, reader) : -1;
        if (i < 0)
            return SIM_ERR_NO_READER;
        if (state)
            *state = s.readers[(size_t)i].present ? (uint32_t)TOK_DEV_PRESENT : DEV_STATE_ABSENT;
        return 0;
    });
}

EXPORT int TOKAPI QKSetDevChgFunc(const char *reader, TokDevChgFunc onInserted, TokDevChgFunc onRemoved,
                                  void *context, int flags)
{
    CallLogLine line("QKSetDevChgFunc");
    line.Text(reader).Pointer((const void *)onInserted, "cb").Pointer((const void *)onRemoved, "cb")
        .Pointer(context, "ptr").Number(flags);
    return (int)RunEntry("QKSetDevChgFunc", Name(reader), line, [&](SimState &s, bool &) -> uint32_t {
        int i = reader ? FindReader(s, reader) : -1;
        if (i < 0)
            return SIM_ERR_NO_READER;
        RegisterDevChg(reader, onInserted, onRemoved, context, s.readers[(size_t)i].present);
        return 0;
    });
}

EXPORT int TOKAPI QKListReaders(char *buffer, uint32_t *size, uint32_t *count)
{
    CallLogLine line("QKListReaders");
    line.Pointer(buffer, "buf").InValue(size).Pointer(count, "out");
    return (int)RunEntry("QKListReaders", std::string(), line,
                         [&](SimState &s, bool &) -> uint32_t {
                             uint32_t rc = ListReaders(s, buffer, size, count);
                             ApplyLengthHook(s, "QKListReaders", size);
                             return rc;
                         });
}

EXPORT int TOKAPI QKConnectDev(const char *reader, TokHandle *handle)
{
    CallLogLine line("QKConnectDev");
    line.Text(reader).Pointer(handle, "out");
    return (int)RunEntry("QKConnectDev", Name(reader), line, [&](SimState &s, bool &) -> uint32_t {
        uint32_t rc;
        Reader *r = TokenIn(s, reader, &rc);
        if (!r)
            return rc;
        if (!handle)
            return SIM_ERR_BAD_ARGUMENT;
        *handle = HandleForReader(FindReader(s, reader));
        return 0;
    });
}

static int OnHandle(const char *entry, TokHandle h, CallLogLine &line)
{
    return (int)RunEntry(entry, ReaderNameOfHandle(h), line, [&](SimState &s, bool &) -> uint32_t {
        uint32_t rc;
        TokenOfHandle(s, h, &rc);
        return rc;
    });
}

EXPORT int TOKAPI QKBeginTransaction(TokHandle h)
{
    CallLogLine line("QKBeginTransaction");
    line.Number((int64_t)(uintptr_t)h);
    return OnHandle("QKBeginTransaction", h, line);
}

EXPORT int TOKAPI QKEndTransaction(TokHandle h)
{
    CallLogLine line("QKEndTransaction");
    line.Number((int64_t)(uintptr_t)h);
    return OnHandle("QKEndTransaction", h, line);
}

// Disconnecting works also after the token has gone.
EXPORT int TOKAPI QKDisconnectDev(TokHandle h)
{
    CallLogLine line("QKDisconnectDev");
    line.Number((int64_t)(uintptr_t)h);
    return (int)RunEntry("QKDisconnectDev", ReaderNameOfHandle(h), line, [&](SimState &, bool &) -> uint32_t {
        return ReaderIndexOfHandle(h) >= 0 ? 0u : (uint32_t)SIM_ERR_BAD_HANDLE;
    });
}

// Every command is answered with the status word 90 00.
EXPORT int TOKAPI QKTransmit(TokHandle h, const uint8_t *command, uint32_t commandLength, uint8_t *response,
                             uint32_t *responseLength)
{
    CallLogLine line("QKTransmit");
    line.Number((int64_t)(uintptr_t)h).Data(command, commandLength).Number(commandLength).Pointer(response, "buf")
        .InValue(responseLength);
    return (int)RunEntry("QKTransmit", ReaderNameOfHandle(h), line, [&](SimState &s, bool &) -> uint32_t {
        uint32_t rc;
        if (!TokenOfHandle(s, h, &rc))
            return rc;
        if (!response || !responseLength)
            return SIM_ERR_BAD_ARGUMENT;
        if (*responseLength < 2) {
            *responseLength = 2;
            return SIM_ERR_BUFFER_TOO_SMALL;
        }
        response[0] = 0x90;
        response[1] = 0x00;
        *responseLength = 2;
        return 0;
    });
}

#define SIM_CHECK_O(name) static_assert(std::is_same<decltype(&name), PFN_TOK_##name>::value, #name);
#define SIM_CHECK_K(name)
#define SIM_CHECK(row, name, lib, ret, params) SIM_CHECK_##lib(name)
TOKEN_ENTRY_TABLE(SIM_CHECK)
#undef SIM_CHECK
#undef SIM_CHECK_O
#undef SIM_CHECK_K
