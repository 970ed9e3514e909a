// The CSP control block as a token may return it: any size, any bytes.
#include "keymgr/library/CspControlBlock.h"
#include "tests/fuzz/FuzzInput.h"

#include <string.h>

#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    // Small inputs are spread over a whole block so that the later records
    // and the names at their ends are reached too; the last input byte cuts
    // the block short. The block ends where its buffer ends, so a read past
    // its length is caught.
    static std::vector<uint8_t> buffer(CSP_CTRL_SIZE);
    const uint8_t *block = data;
    size_t length = size;
    if (size > 0 && size < 4096) {
        length = CSP_CTRL_SIZE - data[size - 1] * 1024u;
        uint8_t *start = buffer.data() + (CSP_CTRL_SIZE - length);
        memset(start, 0, length);
        for (int r = 0; r < CSP_RECORD_COUNT; ++r)
            for (size_t i = 0; i < size; ++i) {
                size_t at = r * CSP_RECORD_STRIDE + i;
                if (at < length)
                    start[at] = data[(i + r) % size];
            }
        block = start;
    }
    for (int index = -1; index <= CSP_RECORD_COUNT; ++index) {
        CspContainerRecord record;
        if (!DecodeCspRecord(block, length, index, &record)) {
            FUZZ_REQUIRE(index < 0 || index >= CSP_RECORD_COUNT ||
                         (index + 1) * static_cast<size_t>(CSP_RECORD_STRIDE) > length);
            continue;
        }
        FUZZ_REQUIRE(index >= 0 && index < CSP_RECORD_COUNT);
        FUZZ_REQUIRE((index + 1) * static_cast<size_t>(CSP_RECORD_STRIDE) <= length);
        FUZZ_REQUIRE(record.nameTerminated || record.name.empty());
        FUZZ_REQUIRE(record.name.size() < CSP_RECORD_STRIDE - CSP_OFF_NAME);
        int key = ExpiryKeySpec(record);
        FUZZ_REQUIRE(key == CSP_KEY_EXCHANGE || key == CSP_KEY_SIGNATURE);
    }
    return 0;
}
