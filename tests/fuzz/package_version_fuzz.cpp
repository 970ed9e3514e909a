// A downloaded package's bytes, as any server or attacker may send them:
// the version resource is looked for within them only.
#include "assistant/engine/version/PackageVersion.h"
#include "assistant/engine/version/VersionRules.h"
#include "tests/fuzz/FuzzInput.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    uint16_t version[4] = {0, 0, 0, 0};
    if (ReadPackageFileVersion(data, size, version))
        FUZZ_REQUIRE(PackageVersionForm(version).size() == 8);
    return 0;
}
