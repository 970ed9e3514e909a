// The current-token record: the token selected in the main view, read by
// the management pages. Written on the window thread, except the reader,
// which the insertion handler sets from a library thread: every access goes
// through the calls at the end of this file, which share one lock.
#pragma once

#include <stddef.h>
#include <stdint.h>

enum {
    READER_NAME_SIZE = 256,
    LABEL_BUFFER_SIZE = 36,
    LABEL_READ_LENGTH = 34,
    SERIAL_BUFFER_SIZE = 20,
    SERIAL_LENGTH = 17,
    STATE_TEXT_SIZE = 128,
};

// The state stored when the application state or the label cannot be read.
const uint32_t APP_STATE_UNREADABLE = 0x40000000u;
const uint32_t APP_STATE_USER_APP = 0x1u;
const uint32_t APP_STATE_PIN_MASK = 0x5u;

enum SheetPageIndex { PAGE_DEVICE_INFO = 0, PAGE_PIN = 1, PAGE_CERTIFICATES = 2 };

extern char SelReader[READER_NAME_SIZE];
extern uint32_t SelAppState;
extern uint32_t SelPrevAppState;
extern char SelLabel[LABEL_BUFFER_SIZE];
extern char SelSerial[SERIAL_BUFFER_SIZE];
extern uint32_t SelDevType;
extern uint32_t SelTotalSize;
extern uint32_t SelFreeSize;
extern uint32_t SelUserPinRetries;
extern uint32_t TokenCount;
extern int ActivePageIndex;

// Texts the view fetches once for the device-information page.
extern char StateTextContactFirst[STATE_TEXT_SIZE];
extern char StateTextOtherApp[STATE_TEXT_SIZE];
extern char StateTextRefresh[STATE_TEXT_SIZE];

// A copy of the whole record, taken under its lock.
struct CurrentTokenSnapshot {
    char reader[READER_NAME_SIZE];
    uint32_t appState, prevAppState;
    char label[LABEL_BUFFER_SIZE];
    char serial[SERIAL_BUFFER_SIZE];
    uint32_t devType, totalSize, freeSize, userPinRetries, tokenCount;
    int activePageIndex;
};

CurrentTokenSnapshot SnapshotCurrentToken();
// Replaces the token's properties (reader to device type); the token count
// and the active page keep their own setters.
void StoreCurrentToken(const CurrentTokenSnapshot &record);
void SetCurrentReader(const char *reader);
void CopyCurrentReader(char *out, size_t size);
void SetCurrentAppState(uint32_t state);
void SetCurrentLabel(const char *label);
void SetCurrentUserPinRetries(uint32_t retries);
void SetTokenCount(uint32_t count);
void SetActivePageIndex(int index);
