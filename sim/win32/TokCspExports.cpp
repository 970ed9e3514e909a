// tokcsp_sim.dll: stand-in for the CSP control library (configuration, PIN,
// file, certificate and container operations, PIN caching, browser
// certificate registration, language texts). Exported undecorated by the .def.
#include "sim/core/CspBlock.h"
#include "sim/core/PinGrade.h"
#include "sim/core/PinRules.h"
#include "sim/core/PinTagFile.h"
#include "sim/win32/SimEntry.h"
#include "sim/win32/SimStore.h"

#include <windows.h>

#include <string.h>

#include <algorithm>
#include <type_traits>

#define EXPORT extern "C"

namespace {

const char *Str(const char *s)
{
    return s ? s : "";
}

std::string Reader_(const char *reader)
{
    return reader ? std::string(reader, strnlen(reader, 1024)) : std::string();
}

// An entry on the token in the named reader.
uint32_t OnToken(const char *entry, const char *reader, CallLogLine &line,
                 const std::function<uint32_t(Reader &, SimState &, bool &)> &op)
{
    return RunEntry(entry, Reader_(reader), line, [&](SimState &s, bool &changed) -> uint32_t {
        uint32_t rc;
        Reader *r = TokenIn(s, reader, &rc);
        return r ? op(*r, s, changed) : rc;
    });
}

uint32_t OnHandle(const char *entry, TokHandle handle, CallLogLine &line,
                  const std::function<uint32_t(Reader &, SimState &, bool &)> &op)
{
    return RunEntry(entry, ReaderNameOfHandle(handle), line, [&](SimState &s, bool &changed) -> uint32_t {
        uint32_t rc;
        Reader *r = TokenOfHandle(s, handle, &rc);
        return r ? op(*r, s, changed) : rc;
    });
}

// A configuration query that needs no token.
uint32_t OnConfig(const char *entry, CallLogLine &line, const std::function<uint32_t(SimConfig &, bool &)> &op)
{
    return RunEntry(entry, std::string(), line,
                    [&](SimState &s, bool &changed) -> uint32_t { return op(s.config, changed); });
}

template <typename T> void Put(T *out, T value)
{
    if (out)
        *out = value;
}

// Texts handed to buffers without a length are cut to 64 bytes.
enum { UNSIZED_TEXT = 64 };

uint32_t GetNumber(const char *entry, uint32_t *out, uint32_t Reader::*field, const char *reader)
{
    CallLogLine line(entry);
    line.Number(0).Text(reader).Pointer(out, "out");
    return OnToken(entry, reader, line, [&](Reader &r, SimState &, bool &) -> uint32_t {
        Put(out, r.*field);
        return 0;
    });
}

template <typename T> int GetConfigValue(const char *entry, T *out, T SimConfig::*field)
{
    CallLogLine line(entry);
    line.Pointer(out, "out");
    return (int)OnConfig(entry, line, [&](SimConfig &c, bool &) -> uint32_t {
        Put(out, c.*field);
        return 0;
    });
}

int GetConfigText(const char *entry, char *buffer, std::string SimConfig::*field)
{
    CallLogLine line(entry);
    line.Pointer(buffer, "buf");
    return (int)OnConfig(entry, line, [&](SimConfig &c, bool &) -> uint32_t {
        PutText(buffer, UNSIZED_TEXT, c.*field);
        return 0;
    });
}

template <typename T> int SetConfigValue(const char *entry, T value, T SimConfig::*field)
{
    CallLogLine line(entry);
    line.Number((int64_t)value);
    return (int)OnConfig(entry, line, [&](SimConfig &c, bool &changed) -> uint32_t {
        c.*field = value;
        changed = true;
        return 0;
    });
}

uint32_t NoOp(const char *entry, CallLogLine &line)
{
    return RunEntry(entry, std::string(), line, [](SimState &, bool &) -> uint32_t { return 0; });
}

// The security officer PIN is the configured default administrator PIN; its
// tries are not counted.
uint32_t CheckSoPin(const SimConfig &c, const char *pin, uint8_t *triesLeft)
{
    if (pin && c.defaultAdmPin == pin)
        return 0;
    Put(triesLeft, (uint8_t)(c.admPinTryNum > 0 ? c.admPinTryNum : 1));
    return TOK_ERR_WRONG_PIN;
}

void ClearContainer(Container &c)
{
    c = Container();
}

const char kPcode[8] = {'Z', 'V', 'P', 'C', 'O', 'D', 'E', '1'};

uint32_t PutBytes(uint8_t *buffer, uint32_t *length, const void *data, uint32_t size)
{
    if (!length)
        return SIM_ERR_BAD_ARGUMENT;
    if (!buffer || *length < size) {
        *length = size;
        return buffer ? (uint32_t)SIM_ERR_BUFFER_TOO_SMALL : 0u;
    }
    memcpy(buffer, data, size);
    *length = size;
    return 0;
}

} // namespace

EXPORT int TOKAPI OC_GetFreeSize(int, const char *reader, uint32_t *freeBytes)
{
    return (int)GetNumber("OC_GetFreeSize", freeBytes, &Reader::freeSize, reader);
}

EXPORT int TOKAPI CSPDeleteContainer(int zero, const char *reader, const char *container)
{
    CallLogLine line("CSPDeleteContainer");
    line.Number(zero).Text(reader).Text(container);
    return (int)OnToken("CSPDeleteContainer", reader, line, [&](Reader &r, SimState &, bool &changed) -> uint32_t {
        for (Container &c : r.containers)
            if (c.inUse && container && c.name == container) {
                ClearContainer(c);
                changed = true;
                return 0;
            }
        return SIM_ERR_NO_CERT;
    });
}

EXPORT int TOKAPI OC_GetContainerNum(int zero, const char *reader, uint32_t *count)
{
    CallLogLine line("OC_GetContainerNum");
    line.Number(zero).Text(reader).Pointer(count, "out");
    return (int)OnToken("OC_GetContainerNum", reader, line, [&](Reader &r, SimState &, bool &) -> uint32_t {
        uint32_t n = 0;
        for (const Container &c : r.containers)
            n += c.inUse ? 1 : 0;
        Put(count, n);
        return 0;
    });
}

// Takes any readable file as the PFX: an empty password counts as wrong, the
// certificate lands in the first free container, named after the file.
EXPORT int TOKAPI OC_CSPImportP12CertSpec(int zero, const char *reader, const char *pfxPath, const char *password,
                                          int keySpec)
{
    CallLogLine line("OC_CSPImportP12CertSpec");
    line.Number(zero).Text(reader).Text(pfxPath).Text(password).Number(keySpec);
    return (int)OnToken("OC_CSPImportP12CertSpec", reader, line,
                        [&](Reader &r, SimState &, bool &changed) -> uint32_t {
                            std::string content;
                            if (!pfxPath || !ReadWholeFile(pfxPath, &content, 1 << 20) || content.empty())
                                return TOK_ERR_PFX_UNREADABLE;
                            if (!password || !*password)
                                return TOK_ERR_WRONG_PASSWORD;
                            for (int i = 0; i < SIM_CONTAINERS; ++i) {
                                Container &c = r.containers[i];
                                if (c.inUse)
                                    continue;
                                ClearContainer(c);
                                c.inUse = true;
                                c.name = "Imported-" + std::to_string(i);
                                CertSpec &cert = keySpec == 1 ? c.exchange : c.signature;
                                c.keyFlags = keySpec == 1 ? 1 : 2;
                                std::string base = pfxPath;
                                size_t cut = base.find_last_of("\\/");
                                cert.kind = CERT_BUILT;
                                cert.subjectCn = BoundText(cut == std::string::npos ? base : base.substr(cut + 1), SIM_MAX_CN);
                                cert.issuerCn = "岚川银行CA";
                                cert.serialHex = "C0DE0" + std::to_string(i);
                                cert.notBefore = SimStore::Now();
                                cert.notAfter = cert.notBefore + 365 * 86400;
                                changed = true;
                                return 0;
                            }
                            return TOK_ERR_IMPORT_FAILED;
                        });
}

EXPORT int TOKAPI OC_ReadCert(int zero, const char *reader, const char *container, int keySpec, uint8_t *buffer,
                              uint32_t *length)
{
    CallLogLine line("OC_ReadCert");
    line.Number(zero).Text(reader).Text(container).Number(keySpec).Pointer(buffer, "buf").InValue(length);
    return (int)OnToken("OC_ReadCert", reader, line, [&](Reader &r, SimState &, bool &) -> uint32_t {
        return ReadContainerCert(r, AnsiToUtf8, container, keySpec, buffer, length);
    });
}

EXPORT int TOKAPI OC_ReadCSPCtrl(int zero, const char *reader, uint8_t *buffer, uint32_t *length)
{
    CallLogLine line("OC_ReadCSPCtrl");
    line.Number(zero).Text(reader).Pointer(buffer, "buf").InValue(length);
    return (int)OnToken("OC_ReadCSPCtrl", reader, line, [&](Reader &r, SimState &s, bool &) -> uint32_t {
        uint32_t rc = BuildCspBlock(r, AnsiToUtf8, buffer, length);
        if (rc == 0)
            ApplyLengthHook(s, "OC_ReadCSPCtrl", length);
        return rc;
    });
}

// The token has one data file, the PIN-tag file; name and the two numbers
// are not looked at.
EXPORT int TOKAPI OC_WriteFile(int zero, const char *reader, const char *name, int a, int b, const uint8_t *data,
                               uint32_t length, uint32_t *out)
{
    CallLogLine line("OC_WriteFile");
    line.Number(zero).Text(reader).Text(name).Number(a).Number(b).Data(data, length).Number(length).Pointer(out, "out");
    return (int)OnToken("OC_WriteFile", reader, line, [&](Reader &r, SimState &, bool &changed) -> uint32_t {
        uint32_t rc = WritePinTagFile(r, data, length);
        changed = rc == 0;
        Put(out, (uint32_t)0);
        return rc;
    });
}

EXPORT int TOKAPI OC_CreateFile(int zero, const char *reader, const char *name, int a, int b, uint32_t size)
{
    CallLogLine line("OC_CreateFile");
    line.Number(zero).Text(reader).Text(name).Number(a).Number(b).Number(size);
    return (int)OnToken("OC_CreateFile", reader, line, [&](Reader &r, SimState &, bool &changed) -> uint32_t {
        uint32_t rc = CreatePinTagFile(r, size);
        changed = rc == 0;
        return rc;
    });
}

EXPORT int TOKAPI OC_ReadFile(int zero, const char *reader, const char *name, int a, int b, uint8_t *buffer,
                              uint32_t *length, uint32_t *out)
{
    CallLogLine line("OC_ReadFile");
    line.Number(zero).Text(reader).Text(name).Number(a).Number(b).Pointer(buffer, "buf").InValue(length).Pointer(out, "out");
    return (int)OnToken("OC_ReadFile", reader, line, [&](Reader &r, SimState &, bool &) -> uint32_t {
        Put(out, (uint32_t)0);
        return ReadPinTagFile(r, buffer, length);
    });
}

static uint32_t PinEntry(const char *entry, const char *reader, CallLogLine &line,
                         const std::function<uint32_t(Reader &, SimConfig &)> &op)
{
    return OnToken(entry, reader, line, [&](Reader &r, SimState &s, bool &changed) -> uint32_t {
        uint32_t rc = op(r, s.config);
        changed = true; // retries, lock, PIN or label may have moved
        return rc;
    });
}

EXPORT int TOKAPI OC_ChangeUserPin(int zero, const char *reader, const char *oldPin, const char *newPin,
                                   uint8_t *retriesLeft)
{
    CallLogLine line("OC_ChangeUserPin");
    line.Number(zero).Text(reader).Text(oldPin).Text(newPin).Pointer(retriesLeft, "out");
    return (int)PinEntry("OC_ChangeUserPin", reader, line,
                         [&](Reader &r, SimConfig &) { return ChangeUserPin(r, oldPin, newPin, retriesLeft); });
}

EXPORT int TOKAPI OC_ChangeSOPin(int zero, const char *reader, const char *oldPin, const char *newPin,
                                 uint8_t *retriesLeft)
{
    CallLogLine line("OC_ChangeSOPin");
    line.Number(zero).Text(reader).Text(oldPin).Text(newPin).Pointer(retriesLeft, "out");
    return (int)OnToken("OC_ChangeSOPin", reader, line, [&](Reader &, SimState &s, bool &) -> uint32_t {
        return CheckSoPin(s.config, oldPin, retriesLeft);
    });
}

EXPORT int TOKAPI OC_GetUserPinRetryNum(int, const char *reader, uint32_t *retries)
{
    return (int)GetNumber("OC_GetUserPinRetryNum", retries, &Reader::retries, reader);
}

EXPORT int TOKAPI OC_VerifyUserPinEx(int zero, const char *reader, const char *pin, uint8_t *retriesLeft)
{
    CallLogLine line("OC_VerifyUserPinEx");
    line.Number(zero).Text(reader).Text(pin).Pointer(retriesLeft, "out");
    return (int)PinEntry("OC_VerifyUserPinEx", reader, line,
                         [&](Reader &r, SimConfig &) { return VerifyUserPin(r, pin, retriesLeft); });
}

EXPORT int TOKAPI OC_ReWriteUserPin(int zero, const char *reader, const char *soPin, const char *newPin,
                                    uint8_t *retriesLeft)
{
    CallLogLine line("OC_ReWriteUserPin");
    line.Number(zero).Text(reader).Text(soPin).Text(newPin).Pointer(retriesLeft, "out");
    return (int)PinEntry("OC_ReWriteUserPin", reader, line, [&](Reader &r, SimConfig &c) -> uint32_t {
        uint32_t rc = CheckSoPin(c, soPin, retriesLeft);
        if (rc)
            return rc;
        size_t n = newPin ? strnlen(newPin, SIM_MAX_PIN + 1) : 0;
        if (n == 0 || n > SIM_MAX_PIN)
            return SIM_ERR_BAD_ARGUMENT;
        r.userPin = newPin;
        r.locked = false;
        r.retries = r.maxRetries ? r.maxRetries : 1;
        return 0;
    });
}

EXPORT int TOKAPI OC_ReadLabel(int zero, const char *reader, char *label, uint32_t *length)
{
    CallLogLine line("OC_ReadLabel");
    line.Number(zero).Text(reader).Pointer(label, "buf").InValue(length);
    return (int)OnToken("OC_ReadLabel", reader, line, [&](Reader &r, SimState &, bool &) -> uint32_t {
        if (!label || !length)
            return SIM_ERR_BAD_ARGUMENT;
        uint32_t need = (uint32_t)r.label.size() + 1;
        if (*length < need) {
            *length = need;
            return SIM_ERR_BUFFER_TOO_SMALL;
        }
        memcpy(label, r.label.c_str(), need);
        *length = need - 1;
        return 0;
    });
}

EXPORT int TOKAPI OC_WriteLabel(int zero, const char *reader, const char *pin, const char *label, uint8_t *retriesLeft)
{
    CallLogLine line("OC_WriteLabel");
    line.Number(zero).Text(reader).Text(pin).Text(label).Pointer(retriesLeft, "out");
    return (int)PinEntry("OC_WriteLabel", reader, line,
                         [&](Reader &r, SimConfig &) { return WriteLabel(r, pin, label, retriesLeft); });
}

EXPORT int TOKAPI OC_GetDevType(int, const char *reader, uint32_t *type)
{
    return (int)GetNumber("OC_GetDevType", type, &Reader::devType, reader);
}

EXPORT int TOKAPI OC_GetTotalSize(int, const char *reader, uint32_t *totalBytes)
{
    return (int)GetNumber("OC_GetTotalSize", totalBytes, &Reader::totalSize, reader);
}

EXPORT int TOKAPI OC_GetSerial(int zero, const char *reader, char *serial17)
{
    CallLogLine line("OC_GetSerial");
    line.Number(zero).Text(reader).Pointer(serial17, "buf");
    return (int)OnToken("OC_GetSerial", reader, line, [&](Reader &r, SimState &, bool &) -> uint32_t {
        if (!serial17)
            return SIM_ERR_BAD_ARGUMENT;
        memset(serial17, 0, SIM_SERIAL_BYTES);
        memcpy(serial17, r.serial.data(), std::min(r.serial.size(), (size_t)SIM_SERIAL_BYTES));
        return 0;
    });
}

EXPORT int TOKAPI OC_VerifyUserPin(int zero, const char *reader, const char *pin, uint8_t *out)
{
    CallLogLine line("OC_VerifyUserPin");
    line.Number(zero).Text(reader).Text(pin).Pointer(out, "out");
    return (int)PinEntry("OC_VerifyUserPin", reader, line,
                         [&](Reader &r, SimConfig &) { return VerifyUserPin(r, pin, out); });
}

EXPORT int TOKAPI OC_GetHWApp(int, const char *reader, uint32_t *appState)
{
    return (int)GetNumber("OC_GetHWApp", appState, &Reader::appState, reader);
}

EXPORT int TOKAPI OC_ChangeSOPinEx(int zero, const char *reader, const char *oldPin, const char *newPin,
                                   uint8_t *retriesLeft)
{
    CallLogLine line("OC_ChangeSOPinEx");
    line.Number(zero).Text(reader).Text(oldPin).Text(newPin).Pointer(retriesLeft, "out");
    return (int)OnToken("OC_ChangeSOPinEx", reader, line, [&](Reader &, SimState &s, bool &) -> uint32_t {
        return CheckSoPin(s.config, oldPin, retriesLeft);
    });
}

// Formatting leaves a token with the given label, the default user PIN,
// no containers and no PIN-tag file.
EXPORT int TOKAPI OC_FormatHW(int zero, const char *reader, const char *soPin, const char *label)
{
    CallLogLine line("OC_FormatHW");
    line.Number(zero).Text(reader).Text(soPin).Text(label);
    return (int)PinEntry("OC_FormatHW", reader, line, [&](Reader &r, SimConfig &c) -> uint32_t {
        uint32_t rc = CheckSoPin(c, soPin, NULL);
        if (rc)
            return rc;
        r.label = BoundText(Str(label), SIM_MAX_LABEL);
        r.userPin = c.defaultUserPin;
        r.locked = false;
        r.retries = r.maxRetries ? r.maxRetries : 1;
        r.pinTagPresent = false;
        r.pinTag.clear();
        r.appState = 1;
        for (Container &k : r.containers)
            ClearContainer(k);
        return 0;
    });
}

// Erasing leaves an empty token (application state 0x80000000).
EXPORT int TOKAPI OC_EraseHW(int zero, const char *reader, const char *soPin)
{
    CallLogLine line("OC_EraseHW");
    line.Number(zero).Text(reader).Text(soPin);
    return (int)PinEntry("OC_EraseHW", reader, line, [&](Reader &r, SimConfig &c) -> uint32_t {
        uint32_t rc = CheckSoPin(c, soPin, NULL);
        if (rc)
            return rc;
        r.appState = 0x80000000u;
        r.label.clear();
        r.pinTagPresent = false;
        r.pinTag.clear();
        for (Container &k : r.containers)
            ClearContainer(k);
        return 0;
    });
}

EXPORT int TOKAPI ZRGetTwoRSAType(int *flag)
{
    return GetConfigValue("ZRGetTwoRSAType", flag, &SimConfig::twoRsaType);
}
EXPORT int TOKAPI ZRGetDefaultUserPin(char *buffer)
{
    return GetConfigText("ZRGetDefaultUserPin", buffer, &SimConfig::defaultUserPin);
}
EXPORT int TOKAPI ZRGetDefaultAdmPin(char *buffer)
{
    return GetConfigText("ZRGetDefaultAdmPin", buffer, &SimConfig::defaultAdmPin);
}
EXPORT int TOKAPI ZRGetPinMode(int *mode)
{
    return GetConfigValue("ZRGetPinMode", mode, &SimConfig::pinMode);
}
EXPORT int TOKAPI ZRGetZWWXKeyPinMode(int *mode)
{
    return GetConfigValue("ZRGetZWWXKeyPinMode", mode, &SimConfig::zwwxKeyPinMode);
}
EXPORT int TOKAPI ZRGetUserPinTryNum(int *tries)
{
    return GetConfigValue("ZRGetUserPinTryNum", tries, &SimConfig::userPinTryNum);
}
EXPORT int TOKAPI ZRGetAdmPinTryNum(int *tries)
{
    return GetConfigValue("ZRGetAdmPinTryNum", tries, &SimConfig::admPinTryNum);
}
EXPORT int TOKAPI ZRGetDefaultHWLabel(char *buffer)
{
    return GetConfigText("ZRGetDefaultHWLabel", buffer, &SimConfig::defaultHwLabel);
}

EXPORT int TOKAPI ZRGetPinLen(int *minLength, int *maxLength)
{
    CallLogLine line("ZRGetPinLen");
    line.Pointer(minLength, "out").Pointer(maxLength, "out");
    return (int)OnConfig("ZRGetPinLen", line, [&](SimConfig &c, bool &) -> uint32_t {
        Put(minLength, c.minPinLen);
        Put(maxLength, c.maxPinLen);
        return 0;
    });
}

EXPORT int TOKAPI ZRGetMsnTitle(char *buffer64)
{
    return GetConfigText("ZRGetMsnTitle", buffer64, &SimConfig::msnTitle);
}
EXPORT int TOKAPI ZRGetHWName(char *buffer64)
{
    return GetConfigText("ZRGetHWName", buffer64, &SimConfig::hwName);
}
EXPORT int TOKAPI ZRGetUserTitle(char *buffer64)
{
    return GetConfigText("ZRGetUserTitle", buffer64, &SimConfig::userTitle);
}
EXPORT int TOKAPI ZRGetAdmTitle(char *buffer64)
{
    return GetConfigText("ZRGetAdmTitle", buffer64, &SimConfig::admTitle);
}
EXPORT int TOKAPI ZRGetPinModeEx(int *mode)
{
    return GetConfigValue("ZRGetPinModeEx", mode, &SimConfig::pinModeEx);
}
EXPORT int TOKAPI ZRGetRegCertInfoLen(uint32_t *length)
{
    CallLogLine line("ZRGetRegCertInfoLen");
    line.Pointer(length, "out");
    return (int)RunEntry("ZRGetRegCertInfoLen", std::string(), line, [&](SimState &s, bool &) -> uint32_t {
        Put(length, s.config.regCertInfoLen);
        ApplyLengthHook(s, "ZRGetRegCertInfoLen", length);
        return 0;
    });
}
EXPORT int TOKAPI ZRGetMsnType(int *type)
{
    return GetConfigValue("ZRGetMsnType", type, &SimConfig::msnType);
}

EXPORT int TOKAPI ZRGetCertIssuerNameList(char *buffer, uint32_t *length)
{
    CallLogLine line("ZRGetCertIssuerNameList");
    line.Pointer(buffer, "buf").InValue(length);
    return (int)OnConfig("ZRGetCertIssuerNameList", line, [&](SimConfig &c, bool &) -> uint32_t {
        return PutBytes((uint8_t *)buffer, length, c.certIssuerNameList.c_str(),
                        (uint32_t)c.certIssuerNameList.size() + 1);
    });
}

EXPORT int TOKAPI ZRGetShowTrayIcon(int *show)
{
    return GetConfigValue("ZRGetShowTrayIcon", show, &SimConfig::showTrayIcon);
}
EXPORT int TOKAPI ZRSetShowTrayIcon(int show)
{
    return SetConfigValue("ZRSetShowTrayIcon", show, &SimConfig::showTrayIcon);
}
EXPORT int TOKAPI ZRClearSSLStat(void)
{
    CallLogLine line("ZRClearSSLStat");
    return (int)NoOp("ZRClearSSLStat", line);
}
EXPORT int TOKAPI ZRGetVerifyPINTime(uint32_t *milliseconds)
{
    return GetConfigValue("ZRGetVerifyPINTime", milliseconds, &SimConfig::verifyPinTime);
}
EXPORT int TOKAPI ZRSetVerifyPINTime(uint32_t milliseconds)
{
    return SetConfigValue("ZRSetVerifyPINTime", milliseconds, &SimConfig::verifyPinTime);
}
EXPORT int TOKAPI ZRGetSoftKeyBoardMode(int *mode)
{
    return GetConfigValue("ZRGetSoftKeyBoardMode", mode, &SimConfig::softKeyBoardMode);
}
EXPORT int TOKAPI ZRGetCertExpiredDays(int *days)
{
    return GetConfigValue("ZRGetCertExpiredDays", days, &SimConfig::certExpiredDays);
}

// The result is the value itself; fail.<entry> overrides it like a code.
static uint32_t Computed(const char *entry, CallLogLine &line, const std::function<uint32_t()> &value)
{
    return RunEntry(entry, std::string(), line, [&](SimState &, bool &) -> uint32_t { return value(); });
}

EXPORT int TOKAPI ZRIsInputNumber(const char *text)
{
    CallLogLine line("ZRIsInputNumber");
    line.Text(text);
    return (int)Computed("ZRIsInputNumber", line, [&] { return (uint32_t)TextHasDigit(text); });
}

// scale is taken as the longest text that can be graded.
EXPORT uint32_t TOKAPI ZRGetPWSGrade(const char *text, int scale)
{
    CallLogLine line("ZRGetPWSGrade");
    line.Text(text).Number(scale);
    return Computed("ZRGetPWSGrade", line, [&] { return PasswordGrade(text, scale); });
}

EXPORT int TOKAPI ZRSetSoftKeyBoardMode(int mode)
{
    return SetConfigValue("ZRSetSoftKeyBoardMode", mode, &SimConfig::softKeyBoardMode);
}

#define SIM_NOOP(name)                                                                                          \
    EXPORT int TOKAPI name(void)                                                                                \
    {                                                                                                           \
        CallLogLine line(#name);                                                                                \
        return (int)NoOp(#name, line);                                                                          \
    }
SIM_NOOP(ZVClearCachedCSP)
SIM_NOOP(CSPUnAllIECert)
SIM_NOOP(ZVCreateCachedCSP)
SIM_NOOP(ZVCreateCachedPin)
SIM_NOOP(ZVClearAllCachedPin)
#undef SIM_NOOP

EXPORT int TOKAPI CSPRefreshIECert(const char *readerList)
{
    CallLogLine line("CSPRefreshIECert");
    line.Text(readerList);
    return (int)NoOp("CSPRefreshIECert", line);
}

EXPORT int TOKAPI ZVRefreshCachedPin(const char *readerList)
{
    CallLogLine line("ZVRefreshCachedPin");
    line.Text(readerList);
    return (int)NoOp("ZVRefreshCachedPin", line);
}

// out1 = certificates registered, out2 and out3 = 0. The text is cut to
// *infoLength bytes (NUL included); *infoLength itself is left as it is.
EXPORT int TOKAPI CSPLoadCertToIE(const char *reader, uint32_t *out1, uint32_t *out2, uint32_t *out3, char *info,
                                  uint32_t *infoLength)
{
    CallLogLine line("CSPLoadCertToIE");
    line.Text(reader).Pointer(out1, "out").Pointer(out2, "out").Pointer(out3, "out").Pointer(info, "buf").InValue(infoLength);
    if (info && infoLength && *infoLength)
        info[0] = '\0';
    return (int)OnToken("CSPLoadCertToIE", reader, line, [&](Reader &r, SimState &, bool &) -> uint32_t {
        int n = 0;
        std::string text = RegisteredCertText(r, &n);
        Put(out1, (uint32_t)n);
        Put(out2, (uint32_t)0);
        Put(out3, (uint32_t)0);
        if (info && infoLength)
            PutText(info, *infoLength, text);
        return 0;
    });
}

EXPORT int TOKAPI PCODE_Compare(const char *reader, int *matches)
{
    CallLogLine line("PCODE_Compare");
    line.Text(reader).Pointer(matches, "out");
    return (int)OnToken("PCODE_Compare", reader, line, [&](Reader &r, SimState &, bool &) -> uint32_t {
        Put(matches, r.pcodeMatches ? 1 : 0);
        return 0;
    });
}

EXPORT int TOKAPI PCODE_IsCheck(int *enabled)
{
    CallLogLine line("PCODE_IsCheck");
    line.Pointer(enabled, "out");
    return (int)OnConfig("PCODE_IsCheck", line, [&](SimConfig &c, bool &) -> uint32_t {
        Put(enabled, c.pcodeCheck ? 1 : 0);
        return 0;
    });
}

EXPORT int TOKAPI HWWritePCODE(TokHandle h, const uint8_t *data, uint32_t length)
{
    CallLogLine line("HWWritePCODE");
    line.Number((int64_t)(uintptr_t)h).Data(data, length).Number(length);
    return (int)OnHandle("HWWritePCODE", h, line, [&](Reader &, SimState &, bool &) -> uint32_t { return 0; });
}

EXPORT int TOKAPI HWWriteCID(TokHandle h, const uint8_t *data, uint32_t length)
{
    CallLogLine line("HWWriteCID");
    line.Number((int64_t)(uintptr_t)h).Data(data, length).Number(length);
    return (int)OnHandle("HWWriteCID", h, line, [&](Reader &r, SimState &, bool &changed) -> uint32_t {
        if (!data)
            return SIM_ERR_BAD_ARGUMENT;
        r.customerId = BoundText(std::string((const char *)data, length), SIM_MAX_CID);
        changed = true;
        return 0;
    });
}

EXPORT int TOKAPI HWReadPCODE(TokHandle h, uint8_t *buffer, uint32_t *length)
{
    CallLogLine line("HWReadPCODE");
    line.Number((int64_t)(uintptr_t)h).Pointer(buffer, "buf").InValue(length);
    return (int)OnHandle("HWReadPCODE", h, line, [&](Reader &, SimState &, bool &) -> uint32_t {
        return PutBytes(buffer, length, kPcode, sizeof kPcode);
    });
}

// *length on entry (the program passes 4) is taken as a record selector and
// not as the buffer size: the buffer must hold 256 bytes. Gives the customer
// identifier text, at most 255 bytes and a NUL; *length = its length.
EXPORT int TOKAPI HWReadCID(TokHandle h, uint8_t *buffer, uint32_t *length)
{
    CallLogLine line("HWReadCID");
    line.Number((int64_t)(uintptr_t)h).Pointer(buffer, "buf").InValue(length);
    return (int)OnHandle("HWReadCID", h, line, [&](Reader &r, SimState &, bool &) -> uint32_t {
        if (!buffer)
            return SIM_ERR_BAD_ARGUMENT;
        std::string id = BoundText(r.customerId, SIM_MAX_CID);
        memcpy(buffer, id.c_str(), id.size() + 1);
        Put(length, (uint32_t)id.size());
        return 0;
    });
}

#define SIM_HANDLE_OP(name, params, logArgs)                                                                    \
    EXPORT int TOKAPI name params                                                                               \
    {                                                                                                           \
        CallLogLine line(#name);                                                                                \
        line.Number((int64_t)(uintptr_t)h) logArgs;                                                             \
        return (int)OnHandle(#name, h, line, [&](Reader &, SimState &, bool &) -> uint32_t { return 0; });      \
    }
SIM_HANDLE_OP(HWDelMF, (TokHandle h), )
SIM_HANDLE_OP(HWSelMF, (TokHandle h), )
SIM_HANDLE_OP(HWSelDF, (TokHandle h, uint32_t fileId), .Number(fileId))
SIM_HANDLE_OP(HWCreateEF, (TokHandle h, uint32_t fileId, uint32_t size), .Number(fileId).Number(size))
SIM_HANDLE_OP(HWDelEF, (TokHandle h, uint32_t fileId), .Number(fileId))
SIM_HANDLE_OP(HWSelEF, (TokHandle h, uint32_t fileId), .Number(fileId))
SIM_HANDLE_OP(HWWriteEF, (TokHandle h, uint32_t offset, const uint8_t *data, uint32_t length),
              .Number(offset).Data(data, length).Number(length))
#undef SIM_HANDLE_OP

// Elementary files read as zeros, at most 4,096 bytes.
EXPORT int TOKAPI HWReadEF(TokHandle h, uint32_t offset, uint8_t *buffer, uint32_t *length)
{
    CallLogLine line("HWReadEF");
    line.Number((int64_t)(uintptr_t)h).Number(offset).Pointer(buffer, "buf").InValue(length);
    return (int)OnHandle("HWReadEF", h, line, [&](Reader &, SimState &, bool &) -> uint32_t {
        if (!buffer || !length)
            return SIM_ERR_BAD_ARGUMENT;
        if (*length > 4096)
            *length = 4096;
        memset(buffer, 0, *length);
        return 0;
    });
}

EXPORT int TOKAPI HWGetHWType(TokHandle h, uint32_t *type)
{
    CallLogLine line("HWGetHWType");
    line.Number((int64_t)(uintptr_t)h).Pointer(type, "out");
    return (int)OnHandle("HWGetHWType", h, line, [&](Reader &r, SimState &, bool &) -> uint32_t {
        Put(type, r.devType);
        return 0;
    });
}

EXPORT int TOKAPI PinCode(const char *reader, uint8_t *code, uint32_t *length)
{
    CallLogLine line("PinCode");
    line.Text(reader).Pointer(code, "buf").InValue(length);
    return (int)OnToken("PinCode", reader, line, [&](Reader &, SimState &, bool &) -> uint32_t {
        return PutBytes(code, length, kPcode, sizeof kPcode);
    });
}

EXPORT int TOKAPI HWVerifyPin(TokHandle h, const char *pin, uint8_t *retriesLeft)
{
    CallLogLine line("HWVerifyPin");
    line.Number((int64_t)(uintptr_t)h).Text(pin).Pointer(retriesLeft, "out");
    return (int)OnHandle("HWVerifyPin", h, line, [&](Reader &r, SimState &, bool &changed) -> uint32_t {
        changed = true;
        return VerifyUserPin(r, pin, retriesLeft);
    });
}

EXPORT int TOKAPI HWGetCOSVer(TokHandle h, char *version, uint32_t *length)
{
    CallLogLine line("HWGetCOSVer");
    line.Number((int64_t)(uintptr_t)h).Pointer(version, "buf").InValue(length);
    static const char kVersion[] = "ZVCOS 2.1";
    return (int)OnHandle("HWGetCOSVer", h, line, [&](Reader &, SimState &, bool &) -> uint32_t {
        return PutBytes((uint8_t *)version, length, kVersion, sizeof kVersion);
    });
}

EXPORT int TOKAPI HWSetPinCacheFlag(int flag)
{
    return SetConfigValue("HWSetPinCacheFlag", flag, &SimConfig::pinCacheFlag);
}
EXPORT int TOKAPI HWGetPinCacheFlag(int *flag)
{
    return GetConfigValue("HWGetPinCacheFlag", flag, &SimConfig::pinCacheFlag);
}

// Texts are handed out in a ring of per-thread slots, so that a few texts
// fetched one after another stay valid together; each is the whole text.
static const char *Slot(const std::string &text)
{
    static thread_local std::string slots[16];
    static thread_local unsigned next = 0;
    std::string &s = slots[next++ % 16];
    s = text;
    return s.c_str();
}

EXPORT const char *TOKAPI LngLoadString(const char *section, const char *key)
{
    CallLogLine line("LngLoadString");
    line.Text(section).Text(key);
    std::string text;
    bool ran = false, found = false;
    uint32_t rc = RunEntry("LngLoadString", std::string(), line, [&](SimState &, bool &) -> uint32_t {
        ran = true;
        found = SimStore::Instance().LangLookup(section, key, &text);
        return found ? 0 : 1;
    });
    if (!ran && rc) // fail.LngLoadString: the service gives nothing
        return NULL;
    return Slot(found ? text : std::string());
}

EXPORT int TOKAPI LngSetDefaultItem(const char *item)
{
    CallLogLine line("LngSetDefaultItem");
    line.Text(item);
    return (int)OnConfig("LngSetDefaultItem", line, [&](SimConfig &c, bool &changed) -> uint32_t {
        if (!item)
            return SIM_ERR_BAD_ARGUMENT;
        c.language = BoundText(item, 15);
        changed = true;
        return 0;
    });
}

EXPORT const char *TOKAPI LngGetDefaultItem(void)
{
    CallLogLine line("LngGetDefaultItem");
    std::string item;
    uint32_t rc = OnConfig("LngGetDefaultItem", line, [&](SimConfig &c, bool &) -> uint32_t {
        item = c.language;
        return 0;
    });
    return rc ? NULL : Slot(item);
}

// Every entry point of the CSP control library exists here with the type the
// program calls it through.
#define SIM_CHECK_K(name) static_assert(std::is_same<decltype(&name), PFN_TOK_##name>::value, #name);
#define SIM_CHECK_O(name)
#define SIM_CHECK(row, name, lib, ret, params) SIM_CHECK_##lib(name)
TOKEN_ENTRY_TABLE(SIM_CHECK)
#undef SIM_CHECK
#undef SIM_CHECK_O
#undef SIM_CHECK_K
