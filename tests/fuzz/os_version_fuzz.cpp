// The version record of any system, including ones that lie: every field
// and the service-pack text come from the input.
#include "assistant/engine/system/OsVersion.h"
#include "tests/fuzz/FuzzInput.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzInput in(data, size);
    OsVersionRecord record;
    uint8_t flags = in.Byte();
    record.valid = flags & 1;
    record.extended = flags & 2;
    record.serverR2 = flags & 4;
    record.platformId = in.Byte() % 4;
    record.major = in.Byte() % 12;
    record.minor = in.Byte() % 5;
    record.build = in.Word();
    record.suiteMask = static_cast<uint16_t>(in.Word());
    record.productType = in.Byte() % 5;
    record.architecture = static_cast<uint16_t>(in.Byte() % 12);
    record.productInfo = in.Byte() % 0x50;
    if (flags & 8) {
        record.major = in.Word();
        record.minor = in.Word();
    }
    record.servicePack = in.Text();
    std::string productOptions = in.Text();
    std::string browser = in.Text();

    int cls = ClassifyOsVersion(record);
    FUZZ_REQUIRE(cls >= kOsUnknown && cls <= kOsWin7);
    OSVersion os(record, productOptions);
    std::string name = ComposeOsName(record, os);
    std::string text = ComposeOsText(name, static_cast<int8_t>(in.Byte()), ComposeBrowserText(flags & 16, browser));
    FUZZ_REQUIRE(text.size() >= name.size());
    return 0;
}
