// The current-token record: the token selected in the main view, read by
// the management pages. Written on the window thread, except SelReader,
// which the insertion handler sets under the device lock.
#pragma once

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
