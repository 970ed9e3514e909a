#include "keymgr/shell/token/CurrentToken.h"

#include "common/BoundedCopy.h"

#include <string.h>

#include <mutex>

char SelReader[READER_NAME_SIZE];
uint32_t SelAppState;
uint32_t SelPrevAppState;
char SelLabel[LABEL_BUFFER_SIZE];
char SelSerial[SERIAL_BUFFER_SIZE];
uint32_t SelDevType = 4;
uint32_t SelTotalSize;
uint32_t SelFreeSize;
uint32_t SelUserPinRetries;
uint32_t TokenCount;
int ActivePageIndex;

char StateTextContactFirst[STATE_TEXT_SIZE];
char StateTextOtherApp[STATE_TEXT_SIZE];
char StateTextRefresh[STATE_TEXT_SIZE];

static std::mutex &RecordLock()
{
    static std::mutex lock;
    return lock;
}

CurrentTokenSnapshot SnapshotCurrentToken()
{
    CurrentTokenSnapshot r;
    std::lock_guard<std::mutex> hold(RecordLock());
    memcpy(r.reader, SelReader, sizeof(r.reader));
    r.reader[sizeof(r.reader) - 1] = '\0';
    r.appState = SelAppState;
    r.prevAppState = SelPrevAppState;
    memcpy(r.label, SelLabel, sizeof(r.label));
    memcpy(r.serial, SelSerial, sizeof(r.serial));
    r.devType = SelDevType;
    r.totalSize = SelTotalSize;
    r.freeSize = SelFreeSize;
    r.userPinRetries = SelUserPinRetries;
    r.tokenCount = TokenCount;
    r.activePageIndex = ActivePageIndex;
    return r;
}

void StoreCurrentToken(const CurrentTokenSnapshot &r)
{
    std::lock_guard<std::mutex> hold(RecordLock());
    CopyBoundedN(SelReader, sizeof(SelReader), r.reader, strnlen(r.reader, sizeof(r.reader)));
    SelAppState = r.appState;
    SelPrevAppState = r.prevAppState;
    memcpy(SelLabel, r.label, sizeof(SelLabel));
    memcpy(SelSerial, r.serial, sizeof(SelSerial));
    SelDevType = r.devType;
    SelTotalSize = r.totalSize;
    SelFreeSize = r.freeSize;
    SelUserPinRetries = r.userPinRetries;
}

void SetCurrentReader(const char *reader)
{
    std::lock_guard<std::mutex> hold(RecordLock());
    CopyBounded(SelReader, sizeof(SelReader), reader);
}

void CopyCurrentReader(char *out, size_t size)
{
    std::lock_guard<std::mutex> hold(RecordLock());
    CopyBoundedN(out, size, SelReader, strnlen(SelReader, sizeof(SelReader)));
}

void SetCurrentAppState(uint32_t state)
{
    std::lock_guard<std::mutex> hold(RecordLock());
    SelAppState = state;
}

void SetCurrentLabel(const char *label)
{
    std::lock_guard<std::mutex> hold(RecordLock());
    CopyBounded(SelLabel, sizeof(SelLabel), label);
}

void SetCurrentUserPinRetries(uint32_t retries)
{
    std::lock_guard<std::mutex> hold(RecordLock());
    SelUserPinRetries = retries;
}

void SetTokenCount(uint32_t count)
{
    std::lock_guard<std::mutex> hold(RecordLock());
    TokenCount = count;
}

void SetActivePageIndex(int index)
{
    std::lock_guard<std::mutex> hold(RecordLock());
    ActivePageIndex = index;
}
