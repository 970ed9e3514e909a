#include "keymgr/shell/CurrentToken.h"

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
