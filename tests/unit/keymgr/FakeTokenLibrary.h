// An in-memory token library for the native tests: its functions are put
// into the process-wide entry table, so the code under test calls them
// through the same guarded calls as in the program.
#pragma once

#include "keymgr/library/TokenBinding.h"
#include "keymgr/shell/token/ReaderList.h"

#include <map>
#include <string>
#include <vector>

struct FakeToken {
    bool present = true;
    int stateResult = 0; // QKGetDevState's result
    uint32_t appState = 1;
    int appStateResult = 0;
    std::string label = "LABEL";
    int labelResult = 0;
    std::string serial = "1234567890ABCDEFG";
    int serialResult = 0;
    uint32_t retries = 6, freeSize = 1000, totalSize = 4000, devType = 1;
    int sizeResult = 0, typeResult = 0, retriesResult = 0;
    bool pinCodeMatches = true;
    std::string customerId;
    int writeLabelResult = 0;
    uint8_t writeLabelTries = 0;
    int watchResult = 0; // QKSetDevChgFunc's result
    std::string certText = "CERTS OF ";
    int loadCertResult = 0;
    uint32_t containers = 1;
    int containerResult = 0;
    uint8_t pinTag = '1'; // the PIN-tag file's first byte
    int readTagResult = 0, createTagResult = 0;
};

struct FakeTokenLibrary {
    std::vector<std::string> readerOrder;
    std::map<std::string, FakeToken> tokens;
    bool pinCodeCheck = false;
    int pinModeEx = 0;
    int verifyResult = 0;
    // What QKListReaders reports as the size, when set (a damaged library).
    bool overrideListSize = false;
    uint32_t listSize = 0;
    uint32_t regCertInfoLen = 1024;
    uint32_t lastCertInfoLength = 0; // what CSPLoadCertToIE was given
    int msnType = 0;                 // the pop-up type
    // Language texts by "section/key"; a missing one is the library's NULL.
    std::map<std::string, std::string> texts;
    std::vector<std::string> calls;
    std::map<std::string, const void *> contexts; // the last one each reader was watched with

    FakeTokenLibrary();
    ~FakeTokenLibrary();
    FakeToken &Add(const std::string &reader);
    // The multi-string the library would list.
    std::string MultiString() const;
    int Count(const std::string &call) const;

    static FakeTokenLibrary *current;
};

// The reader list the program would read from this library's readers.
inline ReaderList ListOf(FakeTokenLibrary &lib)
{
    std::string multi = lib.MultiString();
    ReaderList list;
    list.Assign(multi.data(), multi.size(), static_cast<uint32_t>(lib.readerOrder.size()));
    return list;
}
