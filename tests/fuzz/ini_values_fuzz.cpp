// INI values as damaged files hold them: numbers in every base, truth
// values, data blocks, lists, points and rects, read through CIni into
// buffers of every small size.
#include "keymgr/INI/Ini.h"
#include "keymgr/INI/IniHex.h"
#include "keymgr/INI/IniList.h"
#include "keymgr/INI/IniNumber.h"
#include "keymgr/INI/store/IniName.h"
#include "keymgr/INI/store/MemoryIniStore.h"
#include "tests/fuzz/FuzzInput.h"

#include <vector>

static void CheckValueRules(const std::string &value, int base)
{
    int n = ParseIniInt(value, base);
    ParseIniUInt(value, base);
    ParseIniDouble(value);
    ParseIniBool(value);
    // What was written must read back as itself in every base.
    FUZZ_REQUIRE(ParseIniInt(FormatIniInt(n, IniBase(base)), IniBase(base)) == n);

    std::vector<uint8_t> bytes;
    if (DecodeIniHex(value, bytes))
        FUZZ_REQUIRE(EncodeIniHex(bytes.data(), bytes.size()).size() == value.size());

    std::vector<std::string> items = SplitIniList(value, NULL, true);
    for (const std::string &item : items)
        FUZZ_REQUIRE(!item.empty());
    char packed[64];
    size_t used = PackIniList(items, packed, sizeof packed);
    FUZZ_REQUIRE(used < sizeof packed);
    UnpackIniList(packed, used + 1);
    UnpackIniList(value.data(), value.size());
    IniTrim(value);
    IniNameEquals(value.c_str(), "Module");
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzInput in(data, size);
    int base = in.Byte();
    size_t bufferSize = in.Byte() % 40;
    size_t offset = in.Byte() % 40;
    std::string section = in.Text();
    std::string key = in.Text();
    std::string value = in.Text();
    std::string delimiter = in.Text();

    CheckValueRules(value, base);

    CMemoryIniStore store;
    CIni ini("C:\\fuzz.ini", store);
    ini.WriteString(section.c_str(), key.c_str(), value.c_str());

    std::vector<char> buffer(bufferSize + 1, 'x');
    size_t got = ini.GetString(section.c_str(), key.c_str(), buffer.data(), bufferSize, "def");
    if (bufferSize > 0) {
        FUZZ_REQUIRE(got < bufferSize);
        FUZZ_REQUIRE(buffer[got] == '\0');
    }
    FUZZ_REQUIRE(buffer[bufferSize] == 'x');

    ini.GetArray(section.c_str(), key.c_str(), buffer.data(), bufferSize, delimiter.c_str(), true);
    FUZZ_REQUIRE(buffer[bufferSize] == 'x');
    ini.GetDataBlock(section.c_str(), key.c_str(), buffer.data(), bufferSize, offset);
    FUZZ_REQUIRE(buffer[bufferSize] == 'x');
    ini.GetKeyNames(section.c_str(), buffer.data(), bufferSize);
    FUZZ_REQUIRE(buffer[bufferSize] == 'x');
    ini.GetSectionNames(buffer.data(), bufferSize);
    FUZZ_REQUIRE(buffer[bufferSize] == 'x');

    ini.GetInt(section.c_str(), key.c_str(), 7, base);
    ini.GetUInt(section.c_str(), key.c_str(), 7, base);
    ini.GetBool(section.c_str(), key.c_str(), true);
    ini.GetDouble(section.c_str(), key.c_str(), 1.5);
    ini.GetPoint(section.c_str(), key.c_str(), IniPoint{1, 2});
    ini.GetRect(section.c_str(), key.c_str(), IniRect{1, 2, 3, 4});
    std::vector<std::string> array;
    ini.GetArray(section.c_str(), key.c_str(), array, delimiter.c_str());
    ini.IncreaseInt(section.c_str(), key.c_str(), static_cast<int>(in.Word()), base);
    ini.IncreaseDouble(section.c_str(), key.c_str(), in.Double(), static_cast<int8_t>(in.Byte()));
    ini.FlipBool(section.c_str(), key.c_str());
    ini.AppendString(section.c_str(), key.c_str(), value.c_str());
    ini.AppendDataBlock(section.c_str(), key.c_str(), value.data(), value.size());
    ini.CopySection(section.c_str(), key.c_str(), false);
    ini.MoveKey(key.c_str(), section.c_str(), section.c_str(), value.c_str(), false);
    ini.GetString(section.c_str(), key.c_str(), "");
    return 0;
}
