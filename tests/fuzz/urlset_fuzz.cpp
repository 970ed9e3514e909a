// URLSet.ini as a user's machine may hold it: any keys and values in its
// three sections, read as the frame and the page read them, then rewritten
// and read back.
#include "keymgr/INI/Ini.h"
#include "keymgr/INI/store/MemoryIniStore.h"
#include "keymgr/shell/websettings/WebSettings.h"
#include "tests/fuzz/FuzzInput.h"

namespace {

const char kFile[] = "C:\\URLSet.ini";

std::string OneLine(std::string text)
{
    for (char &c : text)
        if (c == '\r' || c == '\n')
            c = ' ';
    return text;
}

const char *const kSections[] = {WEBSET_SECTION_SETTING, WEBSET_SECTION_REQUEST, WEBSET_SECTION_PROMPT};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzInput in(data, size);
    CMemoryIniStore store;
    CIni profile(kFile, store);
    size_t pageBuffer = in.Byte() * 4u;
    for (int entries = 0; !in.Empty() && entries < 64; ++entries) {
        const char *section = kSections[in.Byte() % 3];
        // A line of the file holds no line break.
        std::string key = OneLine(in.Text());
        std::string value = OneLine(in.Text());
        profile.WriteString(section, key.c_str(), value.c_str());
    }

    WebPagesEnabled(profile);
    std::vector<std::string> addresses = ReadWebAddresses(profile);
    for (const std::string &a : addresses)
        FUZZ_REQUIRE(!a.empty() && a.size() < WEBSET_VALUE_SIZE);
    CertRequestEnabled(profile);
    std::string request = ReadCertRequestAddress(profile, pageBuffer);
    FUZZ_REQUIRE(pageBuffer == 0 || request.size() < pageBuffer);
    ClosedPromptEnabled(profile);

    // What the page writes back is what the frame then reads, unless an
    // address is itself quoted or starts or ends with a blank (read from
    // inside quotes): the profile calls strip one pair of quotes and trim
    // blanks.
    WriteWebPageSettings(profile, true, addresses);
    std::vector<std::string> again = ReadWebAddresses(profile);
    bool platformChanged = false;
    for (const std::string &a : addresses) {
        size_t first = a.find_first_not_of(" \t"), last = a.find_last_not_of(" \t");
        std::string t = first == std::string::npos ? std::string() : a.substr(first, last - first + 1);
        platformChanged |= t != a || (t.size() >= 2 && (t[0] == '"' || t[0] == '\'') && t[t.size() - 1] == t[0]);
    }
    FUZZ_REQUIRE(platformChanged || again == addresses);
    FUZZ_REQUIRE(WebPagesEnabled(profile));
    return 0;
}
