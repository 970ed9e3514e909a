// Entry points of the two outside token libraries, in binding order.
// One row per slot: X(row, name, library, return type, parameter list).
// Library: K = CSP control library ("Rel"), O = token command library ("QKC").
// Both the program and the test stand-ins include this file, so the argument
// order is written down exactly once.
#pragma once

#include <stdint.h>

#if defined(_WIN32)
#define TOKAPI __stdcall
#else
#define TOKAPI
#endif

typedef void *TokHandle;
typedef int(TOKAPI *TokDevChgFunc)(void *reader);

#define TOKEN_ENTRY_TABLE(X)                                                                              \
    X(1, OC_GetFreeSize, K, int, (int, const char *reader, uint32_t *freeBytes))                          \
    X(2, CSPDeleteContainer, K, int, (int, const char *reader, const char *container))                     \
    X(3, OC_GetContainerNum, K, int, (int, const char *reader, uint32_t *count))                          \
    X(4, OC_CSPImportP12CertSpec, K, int,                                                                  \
      (int, const char *reader, const char *pfxPath, const char *password, int keySpec))                   \
    X(5, OC_ReadCert, K, int,                                                                              \
      (int, const char *reader, const char *container, int keySpec, uint8_t *buffer, uint32_t *length))    \
    X(6, OC_ReadCSPCtrl, K, int, (int, const char *reader, uint8_t *buffer, uint32_t *length))            \
    X(7, OC_WriteFile, K, int,                                                                             \
      (int, const char *reader, const char *name, int, int, const uint8_t *data, uint32_t length,         \
       uint32_t *out))                                                                                     \
    X(8, OC_CreateFile, K, int, (int, const char *reader, const char *name, int, int, uint32_t size))     \
    X(9, OC_ReadFile, K, int,                                                                              \
      (int, const char *reader, const char *name, int, int, uint8_t *buffer, uint32_t *length,           \
       uint32_t *out))                                                                                     \
    X(10, OC_ChangeUserPin, K, int,                                                                        \
      (int, const char *reader, const char *oldPin, const char *newPin, uint8_t *retriesLeft))            \
    X(11, OC_ChangeSOPin, K, int,                                                                          \
      (int, const char *reader, const char *oldPin, const char *newPin, uint8_t *retriesLeft))            \
    X(12, OC_GetUserPinRetryNum, K, int, (int, const char *reader, uint32_t *retries))                    \
    X(13, OC_VerifyUserPinEx, K, int, (int, const char *reader, const char *pin, uint8_t *retriesLeft))   \
    X(14, OC_ReWriteUserPin, K, int,                                                                       \
      (int, const char *reader, const char *soPin, const char *newPin, uint8_t *retriesLeft))             \
    X(15, OC_ReadLabel, K, int, (int, const char *reader, char *label, uint32_t *length))                 \
    X(16, OC_WriteLabel, K, int,                                                                           \
      (int, const char *reader, const char *pin, const char *label, uint8_t *retriesLeft))                \
    X(17, OC_GetDevType, K, int, (int, const char *reader, uint32_t *type))                               \
    X(18, OC_GetTotalSize, K, int, (int, const char *reader, uint32_t *totalBytes))                       \
    X(19, OC_GetSerial, K, int, (int, const char *reader, char *serial17))                                \
    X(20, OC_VerifyUserPin, K, int, (int, const char *reader, const char *pin, uint8_t *out))             \
    X(21, OC_GetHWApp, K, int, (int, const char *reader, uint32_t *appState))                             \
    X(22, OC_ChangeSOPinEx, K, int,                                                                        \
      (int, const char *reader, const char *oldPin, const char *newPin, uint8_t *retriesLeft))            \
    X(23, OC_FormatHW, K, int, (int, const char *reader, const char *soPin, const char *label))           \
    X(24, OC_EraseHW, K, int, (int, const char *reader, const char *soPin))                               \
    X(25, ZRGetTwoRSAType, K, int, (int *flag))                                                            \
    X(26, ZRGetDefaultUserPin, K, int, (char *buffer))                                                     \
    X(27, ZRGetDefaultAdmPin, K, int, (char *buffer))                                                      \
    X(28, ZRGetPinMode, K, int, (int *mode))                                                               \
    X(29, ZRGetZWWXKeyPinMode, K, int, (int *mode))                                                        \
    X(30, ZRGetUserPinTryNum, K, int, (int *tries))                                                        \
    X(31, ZRGetAdmPinTryNum, K, int, (int *tries))                                                         \
    X(32, ZRGetDefaultHWLabel, K, int, (char *buffer))                                                     \
    X(33, ZRGetPinLen, K, int, (int *minLength, int *maxLength))                                          \
    X(34, ZRGetMsnTitle, K, int, (char *buffer64))                                                         \
    X(35, ZRGetHWName, K, int, (char *buffer64))                                                           \
    X(36, ZRGetUserTitle, K, int, (char *buffer64))                                                        \
    X(37, ZRGetAdmTitle, K, int, (char *buffer64))                                                         \
    X(38, ZRGetPinModeEx, K, int, (int *mode))                                                             \
    X(39, ZRGetRegCertInfoLen, K, int, (uint32_t *length))                                                 \
    X(40, ZRGetMsnType, K, int, (int *type))                                                               \
    X(41, ZRGetCertIssuerNameList, K, int, (char *buffer, uint32_t *length))                              \
    X(42, ZRGetShowTrayIcon, K, int, (int *show))                                                          \
    X(43, ZRSetShowTrayIcon, K, int, (int show))                                                           \
    X(44, ZRClearSSLStat, K, int, (void))                                                                  \
    X(45, ZRGetVerifyPINTime, K, int, (uint32_t *milliseconds))                                            \
    X(46, ZRSetVerifyPINTime, K, int, (uint32_t milliseconds))                                             \
    X(47, ZRGetSoftKeyBoardMode, K, int, (int *mode))                                                      \
    X(48, ZRGetCertExpiredDays, K, int, (int *days))                                                       \
    X(49, ZRIsInputNumber, K, int, (const char *text))                                                     \
    X(50, ZRGetPWSGrade, K, uint32_t, (const char *text, int scale))                                       \
    X(51, ZRSetSoftKeyBoardMode, K, int, (int mode))                                                       \
    X(52, ZVClearCachedCSP, K, int, (void))                                                                \
    X(53, CSPRefreshIECert, K, int, (const char *readerList))                                              \
    X(54, CSPUnAllIECert, K, int, (void))                                                                  \
    X(55, CSPLoadCertToIE, K, int,                                                                         \
      (const char *reader, uint32_t *out1, uint32_t *out2, uint32_t *out3, char *info, uint32_t *infoLength)) \
    X(56, ZVRefreshCachedPin, K, int, (const char *readerList))                                            \
    X(57, ZVCreateCachedCSP, K, int, (void))                                                               \
    X(58, ZVCreateCachedPin, K, int, (void))                                                               \
    X(59, ZVClearAllCachedPin, K, int, (void))                                                             \
    X(60, PCODE_Compare, K, int, (const char *reader, int *matches))                                       \
    X(61, PCODE_IsCheck, K, int, (int *enabled))                                                           \
    X(62, HWWritePCODE, K, int, (TokHandle, const uint8_t *data, uint32_t length))                         \
    X(63, HWWriteCID, K, int, (TokHandle, const uint8_t *data, uint32_t length))                           \
    X(64, HWReadPCODE, K, int, (TokHandle, uint8_t *buffer, uint32_t *length))                             \
    X(65, HWReadCID, K, int, (TokHandle, uint8_t *buffer, uint32_t *length))                               \
    X(66, HWDelMF, K, int, (TokHandle))                                                                    \
    X(67, HWSelMF, K, int, (TokHandle))                                                                    \
    X(68, HWSelDF, K, int, (TokHandle, uint32_t fileId))                                                   \
    X(69, HWCreateEF, K, int, (TokHandle, uint32_t fileId, uint32_t size))                                 \
    X(70, HWDelEF, K, int, (TokHandle, uint32_t fileId))                                                   \
    X(71, HWSelEF, K, int, (TokHandle, uint32_t fileId))                                                   \
    X(72, HWWriteEF, K, int, (TokHandle, uint32_t offset, const uint8_t *data, uint32_t length))           \
    X(73, HWReadEF, K, int, (TokHandle, uint32_t offset, uint8_t *buffer, uint32_t *length))               \
    X(74, HWGetHWType, K, int, (TokHandle, uint32_t *type))                                                \
    X(75, PinCode, K, int, (const char *reader, uint8_t *code, uint32_t *length))                          \
    X(76, HWVerifyPin, K, int, (TokHandle, const char *pin, uint8_t *retriesLeft))                         \
    X(77, HWGetCOSVer, K, int, (TokHandle, char *version, uint32_t *length))                               \
    X(78, HWSetPinCacheFlag, K, int, (int flag))                                                           \
    X(79, HWGetPinCacheFlag, K, int, (int *flag))                                                          \
    X(80, QKGetDevState, O, int, (const char *reader, uint32_t *state))                                    \
    X(81, QKSetDevChgFunc, O, int,                                                                         \
      (const char *reader, TokDevChgFunc onInserted, TokDevChgFunc onRemoved, void *context, int flags))   \
    X(82, QKListReaders, O, int, (char *buffer, uint32_t *size, uint32_t *count))                         \
    X(83, QKConnectDev, O, int, (const char *reader, TokHandle *handle))                                   \
    X(84, QKBeginTransaction, O, int, (TokHandle))                                                         \
    X(85, QKEndTransaction, O, int, (TokHandle))                                                           \
    X(86, QKDisconnectDev, O, int, (TokHandle))                                                            \
    X(87, QKTransmit, O, int,                                                                              \
      (TokHandle, const uint8_t *command, uint32_t commandLength, uint8_t *response, uint32_t *responseLength)) \
    X(88, LngLoadString, K, const char *, (const char *section, const char *key))                          \
    X(89, LngSetDefaultItem, K, int, (const char *item))                                                   \
    X(90, LngGetDefaultItem, K, const char *, (void))

// Result codes the programs tell apart.
enum : uint32_t {
    TOK_OK = 0,
    TOK_ERR_TOO_MANY_TOKENS = 0x88000008u, // more than 10 tokens listed
    TOK_ERR_NO_FILE = 0x88000037u,
    TOK_ERR_WRONG_PIN = 0x8800003Du,
    TOK_ERR_PIN_LOCKED = 0x8800003Eu,
    TOK_ERR_IMPORT_FAILED = 0x88000053u,
    TOK_ERR_PFX_UNREADABLE = 0x88000064u,
    TOK_ERR_WRONG_PASSWORD = 0x88000065u,
    // Our own: the entry point is not bound (library missing or name not exported).
    TOK_ERR_UNAVAILABLE = 0x880000FFu,
    // Our own: the library reported a length beyond any sane bound.
    TOK_ERR_BAD_LENGTH = 0x880000FEu,
    // Our own: the token a dialog was opened for is no longer in its reader.
    TOK_ERR_TOKEN_CHANGED = 0x880000FDu,
};

enum { TOK_DEV_PRESENT = 32 };

// Slot numbers: TE_<name> == row - 1.
enum TokenEntry {
#define TOKEN_ENTRY_ENUM(row, name, lib, ret, params) TE_##name = (row)-1,
    TOKEN_ENTRY_TABLE(TOKEN_ENTRY_ENUM)
#undef TOKEN_ENTRY_ENUM
        TE_COUNT
};

// Function pointer types: PFN_TOK_<name>.
#define TOKEN_ENTRY_PFN(row, name, lib, ret, params) typedef ret(TOKAPI *PFN_TOK_##name) params;
TOKEN_ENTRY_TABLE(TOKEN_ENTRY_PFN)
#undef TOKEN_ENTRY_PFN
