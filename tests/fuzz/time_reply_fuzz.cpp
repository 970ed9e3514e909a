// What a time server (or something posing as one) sends back, and the
// test override of its address.
#include "keymgr/shell/expiry/TimeReply.h"
#include "tests/fuzz/FuzzInput.h"

#include <stdio.h>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    uint64_t fileTime = 0;
    bool decoded = DecodeTimeReply(data, size, &fileTime);
    FUZZ_REQUIRE(decoded == (size == TIME_REPLY_SIZE));
    if (decoded)
        FUZZ_REQUIRE(fileTime >= kTicks1601To1900);

    std::string text(reinterpret_cast<const char *>(data), size);
    uint32_t address = 0xDEADBEEF;
    uint16_t port = 0xBEEF;
    if (ParseTimeServer(text.c_str(), &address, &port)) {
        // A parsed override prints back to an address that parses the same.
        char again[32];
        snprintf(again, sizeof again, "%u.%u.%u.%u:%u", address >> 24, (address >> 16) & 255, (address >> 8) & 255,
                 address & 255, port);
        uint32_t a2 = 0;
        uint16_t p2 = 0;
        FUZZ_REQUIRE(ParseTimeServer(again, &a2, &p2) && a2 == address && p2 == port);
    } else {
        FUZZ_REQUIRE(address == 0xDEADBEEF && port == 0xBEEF);
    }
    return 0;
}
