// An installed version from the registry and a published one from the
// version file, both as any text a damaged machine or server may hold.
#include "assistant/engine/version/VersionRules.h"
#include "tests/fuzz/FuzzInput.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzInput in(data, size);
    std::string installed = in.Text();
    std::string published = in.Rest();

    std::string normalised = NormaliseInstalledVersion(installed);
    FUZZ_REQUIRE(normalised.size() >= 8);
    int current = InstalledIsCurrent(installed, published);
    FUZZ_REQUIRE(current == 0 || current == 1);
    // An installed version is always current against its own published form.
    FUZZ_REQUIRE(InstalledIsCurrent(installed, normalised) == 1);

    // A text whose first 8 characters are no published version decodes as
    // version 0, which is why the engine refuses it rather than comparing.
    uint8_t bytes[4] = {1, 2, 3, 4};
    DecodeVersionBytes(published, bytes);
    bool zero = !bytes[0] && !bytes[1] && !bytes[2] && !bytes[3];
    FUZZ_REQUIRE(IsPublishedVersion(published.substr(0, 8)) || zero);
    FUZZ_REQUIRE(!IsPublishedVersion(published) || published.size() == 8);
    return 0;
}
