#include "tests/unit/keymgr/FakeTokenLibrary.h"

#include <string.h>

FakeTokenLibrary *FakeTokenLibrary::current = nullptr;

namespace {

FakeTokenLibrary &Lib()
{
    return *FakeTokenLibrary::current;
}

FakeToken *Find(const char *reader)
{
    if (!reader)
        return nullptr;
    auto it = Lib().tokens.find(reader);
    return it == Lib().tokens.end() ? nullptr : &it->second;
}

int ListReaders(char *buffer, uint32_t *size, uint32_t *count)
{
    Lib().calls.push_back("QKListReaders");
    std::string multi = Lib().MultiString();
    *count = static_cast<uint32_t>(Lib().readerOrder.size());
    if (!buffer) {
        *size = Lib().overrideListSize ? Lib().listSize : static_cast<uint32_t>(multi.size());
        return 0;
    }
    // Trusts the caller's size, as a library would.
    if (*size < multi.size())
        return 1;
    memcpy(buffer, multi.data(), multi.size());
    *size = Lib().overrideListSize ? Lib().listSize : static_cast<uint32_t>(multi.size());
    return 0;
}

int GetDevState(const char *reader, uint32_t *state)
{
    Lib().calls.push_back(std::string("QKGetDevState ") + reader);
    FakeToken *t = Find(reader);
    if (!t)
        return 0x88000001;
    *state = t->present ? 32 : 0;
    return t->stateResult;
}

int IsCheck(int *enabled)
{
    *enabled = Lib().pinCodeCheck ? 1 : 0;
    return 0;
}

int Compare(const char *reader, int *matches)
{
    Lib().calls.push_back(std::string("PCODE_Compare ") + reader);
    FakeToken *t = Find(reader);
    *matches = t && t->pinCodeMatches;
    return 0;
}

int GetHWApp(int, const char *reader, uint32_t *state)
{
    FakeToken *t = Find(reader);
    if (!t || t->appStateResult)
        return 0x88000002;
    *state = t->appState;
    return 0;
}

int ReadLabel(int, const char *reader, char *label, uint32_t *length)
{
    Lib().calls.push_back("OC_ReadLabel " + std::to_string(*length));
    FakeToken *t = Find(reader);
    if (!t || t->labelResult)
        return 0x88000003;
    strncpy(label, t->label.c_str(), *length);
    return 0;
}

int GetSerial(int, const char *reader, char *serial)
{
    FakeToken *t = Find(reader);
    if (!t || t->serialResult)
        return 0x88000004;
    memcpy(serial, t->serial.data(), t->serial.size() < 17 ? t->serial.size() : 17); // no terminator
    return 0;
}

int Retries(int, const char *reader, uint32_t *value)
{
    Lib().calls.push_back("OC_GetUserPinRetryNum");
    FakeToken *t = Find(reader);
    if (!t || t->retriesResult)
        return 1;
    *value = t->retries;
    return 0;
}

int FreeSize(int, const char *reader, uint32_t *value)
{
    FakeToken *t = Find(reader);
    if (!t || t->sizeResult)
        return 1;
    *value = t->freeSize;
    return 0;
}

int TotalSize(int, const char *reader, uint32_t *value)
{
    FakeToken *t = Find(reader);
    if (!t || t->sizeResult)
        return 1;
    *value = t->totalSize;
    return 0;
}

int DevType(int, const char *reader, uint32_t *value)
{
    FakeToken *t = Find(reader);
    if (!t || t->typeResult)
        return 1;
    *value = t->devType;
    return 0;
}

int PinModeEx(int *mode)
{
    *mode = Lib().pinModeEx;
    return 0;
}

int DefaultPin(char *buffer)
{
    strcpy(buffer, "123456");
    return 0;
}

int VerifyPin(int, const char *, const char *pin, uint8_t *)
{
    Lib().calls.push_back(std::string("OC_VerifyUserPin ") + pin);
    return Lib().verifyResult;
}

int Connect(const char *reader, TokHandle *handle)
{
    Lib().calls.push_back(std::string("QKConnectDev ") + reader);
    *handle = Find(reader);
    return *handle ? 0 : 1;
}

int Begin(TokHandle)
{
    Lib().calls.push_back("QKBeginTransaction");
    return 0;
}

int End(TokHandle)
{
    Lib().calls.push_back("QKEndTransaction");
    return 0;
}

int Disconnect(TokHandle)
{
    Lib().calls.push_back("QKDisconnectDev");
    return 0;
}

int ReadCid(TokHandle handle, uint8_t *buffer, uint32_t *length)
{
    Lib().calls.push_back("HWReadCID " + std::to_string(*length));
    const FakeToken *t = static_cast<const FakeToken *>(handle);
    // The library writes the identifier whole, terminated, into the
    // caller's 256-byte buffer.
    size_t n = t->customerId.size() < 255 ? t->customerId.size() : 255;
    memcpy(buffer, t->customerId.data(), n);
    buffer[n] = 0;
    return 0;
}

int WriteLabel(int, const char *reader, const char *pin, const char *label, uint8_t *tries)
{
    Lib().calls.push_back(std::string("OC_WriteLabel ") + reader + " " + pin + " " + label);
    FakeToken *t = Find(reader);
    if (!t || !t->present)
        return 0x88000030;
    *tries = t->writeLabelTries;
    if (t->writeLabelResult == 0)
        t->label = label;
    return t->writeLabelResult;
}

int ChangeUserPin(int, const char *reader, const char *oldPin, const char *newPin, uint8_t *tries)
{
    Lib().calls.push_back(std::string("OC_ChangeUserPin ") + reader + " " + oldPin + " " + newPin);
    FakeToken *t = Find(reader);
    if (!t || !t->present)
        return 0x88000030;
    *tries = t->writeLabelTries;
    return t->writeLabelResult;
}

int SetDevChgFunc(const char *reader, TokDevChgFunc inserted, TokDevChgFunc, void *context, int)
{
    Lib().calls.push_back(std::string(inserted ? "watch " : "unwatch ") + reader);
    if (inserted)
        Lib().contexts[reader] = context;
    FakeToken *t = Find(reader);
    if (!t || context != reader)
        return 0x88000031;
    return t->watchResult;
}

int RegCertInfoLen(uint32_t *length)
{
    *length = Lib().regCertInfoLen;
    return 0;
}

int LoadCertToIE(const char *reader, uint32_t *, uint32_t *, uint32_t *, char *info, uint32_t *infoLength)
{
    Lib().calls.push_back(std::string("CSPLoadCertToIE ") + reader);
    Lib().lastCertInfoLength = *infoLength;
    FakeToken *t = Find(reader);
    if (!t)
        return 0x88000031;
    // Cut to the length given, NUL included, as the library does; a failing
    // call may still have written its text.
    std::string text = t->certText.empty() ? std::string() : t->certText + reader;
    if (*infoLength) {
        size_t n = text.size() < *infoLength - 1 ? text.size() : *infoLength - 1;
        memcpy(info, text.data(), n);
        info[n] = '\0';
    }
    return t->loadCertResult;
}

int MsnType(int *type)
{
    *type = Lib().msnType;
    return 0;
}

int ContainerNum(int, const char *reader, uint32_t *count)
{
    Lib().calls.push_back(std::string("OC_GetContainerNum ") + reader);
    FakeToken *t = Find(reader);
    if (!t || t->containerResult)
        return t ? t->containerResult : 0x88000001;
    *count = t->containers;
    return 0;
}

int ReadFile(int, const char *reader, const char *, int, int, uint8_t *buffer, uint32_t *length, uint32_t *out)
{
    Lib().calls.push_back(std::string("OC_ReadFile ") + reader);
    FakeToken *t = Find(reader);
    if (!t || t->readTagResult)
        return t ? t->readTagResult : 0x88000001;
    if (*length)
        buffer[0] = t->pinTag;
    *out = 1;
    return 0;
}

int WriteFile(int, const char *reader, const char *, int, int, const uint8_t *, uint32_t, uint32_t *)
{
    Lib().calls.push_back(std::string("OC_WriteFile ") + reader);
    return Find(reader) ? 0 : 0x88000001;
}

int CreateFile(int, const char *reader, const char *, int, int, uint32_t size)
{
    Lib().calls.push_back(std::string("OC_CreateFile ") + reader + " " + std::to_string(size));
    FakeToken *t = Find(reader);
    return t ? t->createTagResult : 0x88000001;
}

int RefreshIECert(const char *)
{
    Lib().calls.push_back("CSPRefreshIECert");
    return 0;
}

int RefreshCachedPin(const char *)
{
    Lib().calls.push_back("ZVRefreshCachedPin");
    return 0;
}

int ClearCachedCSP()
{
    Lib().calls.push_back("ZVClearCachedCSP");
    return 0;
}

const char *LoadString(const char *section, const char *key)
{
    auto it = Lib().texts.find(std::string(section) + "/" + key);
    return it == Lib().texts.end() ? nullptr : it->second.c_str();
}

} // namespace

FakeTokenLibrary::FakeTokenLibrary()
{
    current = this;
    TokenBinding &table = ProcessTokenTable();
    memset(&table, 0, sizeof(table));
    table.slots[TE_QKListReaders] = reinterpret_cast<void *>(&ListReaders);
    table.slots[TE_QKGetDevState] = reinterpret_cast<void *>(&GetDevState);
    table.slots[TE_PCODE_IsCheck] = reinterpret_cast<void *>(&IsCheck);
    table.slots[TE_PCODE_Compare] = reinterpret_cast<void *>(&Compare);
    table.slots[TE_OC_GetHWApp] = reinterpret_cast<void *>(&GetHWApp);
    table.slots[TE_OC_ReadLabel] = reinterpret_cast<void *>(&ReadLabel);
    table.slots[TE_OC_GetSerial] = reinterpret_cast<void *>(&GetSerial);
    table.slots[TE_OC_GetUserPinRetryNum] = reinterpret_cast<void *>(&Retries);
    table.slots[TE_OC_GetFreeSize] = reinterpret_cast<void *>(&FreeSize);
    table.slots[TE_OC_GetTotalSize] = reinterpret_cast<void *>(&TotalSize);
    table.slots[TE_OC_GetDevType] = reinterpret_cast<void *>(&DevType);
    table.slots[TE_ZRGetPinModeEx] = reinterpret_cast<void *>(&PinModeEx);
    table.slots[TE_ZRGetDefaultUserPin] = reinterpret_cast<void *>(&DefaultPin);
    table.slots[TE_OC_VerifyUserPin] = reinterpret_cast<void *>(&VerifyPin);
    table.slots[TE_QKConnectDev] = reinterpret_cast<void *>(&Connect);
    table.slots[TE_QKBeginTransaction] = reinterpret_cast<void *>(&Begin);
    table.slots[TE_QKEndTransaction] = reinterpret_cast<void *>(&End);
    table.slots[TE_QKDisconnectDev] = reinterpret_cast<void *>(&Disconnect);
    table.slots[TE_HWReadCID] = reinterpret_cast<void *>(&ReadCid);
    table.slots[TE_OC_WriteLabel] = reinterpret_cast<void *>(&WriteLabel);
    table.slots[TE_OC_ChangeUserPin] = reinterpret_cast<void *>(&ChangeUserPin);
    table.slots[TE_QKSetDevChgFunc] = reinterpret_cast<void *>(&SetDevChgFunc);
    table.slots[TE_ZRGetRegCertInfoLen] = reinterpret_cast<void *>(&RegCertInfoLen);
    table.slots[TE_CSPLoadCertToIE] = reinterpret_cast<void *>(&LoadCertToIE);
    table.slots[TE_ZRGetMsnType] = reinterpret_cast<void *>(&MsnType);
    table.slots[TE_OC_GetContainerNum] = reinterpret_cast<void *>(&ContainerNum);
    table.slots[TE_OC_ReadFile] = reinterpret_cast<void *>(&ReadFile);
    table.slots[TE_OC_CreateFile] = reinterpret_cast<void *>(&CreateFile);
    table.slots[TE_OC_WriteFile] = reinterpret_cast<void *>(&WriteFile);
    table.slots[TE_CSPRefreshIECert] = reinterpret_cast<void *>(&RefreshIECert);
    table.slots[TE_ZVRefreshCachedPin] = reinterpret_cast<void *>(&RefreshCachedPin);
    table.slots[TE_ZVClearCachedCSP] = reinterpret_cast<void *>(&ClearCachedCSP);
    table.slots[TE_LngLoadString] = reinterpret_cast<void *>(&LoadString);
}

FakeTokenLibrary::~FakeTokenLibrary()
{
    memset(&ProcessTokenTable(), 0, sizeof(TokenBinding));
    current = nullptr;
}

FakeToken &FakeTokenLibrary::Add(const std::string &reader)
{
    readerOrder.push_back(reader);
    return tokens[reader];
}

std::string FakeTokenLibrary::MultiString() const
{
    std::string multi;
    for (const std::string &r : readerOrder) {
        multi += r;
        multi.push_back('\0');
    }
    multi.push_back('\0');
    return multi;
}

int FakeTokenLibrary::Count(const std::string &call) const
{
    int n = 0;
    for (const std::string &c : calls)
        n += c == call;
    return n;
}
