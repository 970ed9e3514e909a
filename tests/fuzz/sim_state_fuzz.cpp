// The stand-in's state.ini as a test, a crash or a hand edit may leave it.
#include "sim/core/StateFile.h"
#include "tests/fuzz/FuzzInput.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    std::string text(reinterpret_cast<const char *>(data), size);
    const int64_t now = 1796000000;
    SimState state = ParseStateText(text, now);
    // Whatever was read is written so that it reads back the same.
    std::string written = WriteStateText(state);
    std::string again = WriteStateText(ParseStateText(written, now));
    FUZZ_REQUIRE(again == written);
    FUZZ_REQUIRE(UnescapeValue(EscapeValue(text)) == text);
    return 0;
}
