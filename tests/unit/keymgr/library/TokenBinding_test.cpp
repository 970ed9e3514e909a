#include "keymgr/library/TokenBinding.h"
#include "keymgr/library/TokenCalls.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <list>
#include <vector>

namespace {

// Records what the binding pass asks of the platform.
class FakeLoader : public ITokenModuleLoader {
public:
    std::set<std::string> loadable;
    std::map<std::string, std::set<std::string>> exports;
    std::vector<std::string> events;

    void *Load(const char *file) override
    {
        events.push_back(std::string("load ") + file);
        if (!loadable.count(file))
            return nullptr;
        modules.push_back(file);
        return &modules.back();
    }
    void *Resolve(void *module, const char *name) override
    {
        const std::string &file = *static_cast<std::string *>(module);
        events.push_back("resolve " + file + " " + name);
        if (!exports[file].count(name))
            return nullptr;
        return reinterpret_cast<void *>(&FakeEntry);
    }
    void Free(void *module) override { events.push_back("free " + *static_cast<std::string *>(module)); }

    static int FakeEntry() { return 0; }

private:
    std::list<std::string> modules;
};

std::vector<std::string> Loads(const FakeLoader &loader)
{
    std::vector<std::string> loads;
    for (const std::string &e : loader.events)
        if (e.compare(0, 5, "load ") == 0)
            loads.push_back(e);
    return loads;
}

void ExportEverything(FakeLoader &loader, const char *csp, const char *cmd)
{
    loader.loadable = {csp, cmd};
    for (const TokenEntryInfo &e : kTokenEntries)
        loader.exports[e.library == TOKLIB_COMMAND ? cmd : csp].insert(e.name);
}

} // namespace

TEST(TokenBinding, LoadsCommandLibraryFirstAndResolvesInTableOrder)
{
    FakeLoader loader;
    ExportEverything(loader, "csp.dll", "cmd.dll");
    TokenBinding binding;
    ASSERT_EQ(0, BindTokenTable(loader, "csp.dll", "cmd.dll", binding));
    ASSERT_GE(loader.events.size(), 2u + TE_COUNT);
    EXPECT_EQ("load cmd.dll", loader.events[0]);
    EXPECT_EQ("load csp.dll", loader.events[1]);
    for (int i = 0; i < TE_COUNT; ++i) {
        const char *lib = kTokenEntries[i].library == TOKLIB_COMMAND ? "cmd.dll" : "csp.dll";
        EXPECT_EQ(std::string("resolve ") + lib + " " + kTokenEntries[i].name, loader.events[2 + i]);
        EXPECT_NE(nullptr, binding.slots[i]);
    }
}

TEST(TokenBinding, MissingLibraryLeavesOnlyItsSlotsEmptyAndIsNamed)
{
    FakeLoader loader;
    ExportEverything(loader, "csp.dll", "cmd.dll");
    loader.loadable.erase("cmd.dll");
    TokenBinding binding;
    EXPECT_EQ(0, BindTokenTable(loader, "csp.dll", "cmd.dll", binding));
    for (int i = 0; i < TE_COUNT; ++i)
        EXPECT_EQ(kTokenEntries[i].library == TOKLIB_COMMAND, binding.slots[i] == nullptr) << kTokenEntries[i].name;

    char notice[600];
    ASSERT_GT(FormatMissingLibraryNotice(binding, notice, sizeof(notice)), 0u);
    EXPECT_NE(nullptr, strstr(notice, "cmd.dll"));
    EXPECT_EQ(nullptr, strstr(notice, "csp.dll"));
}

TEST(TokenBinding, UnexportedNameLeavesSlotEmpty)
{
    FakeLoader loader;
    ExportEverything(loader, "csp.dll", "cmd.dll");
    loader.exports["csp.dll"].erase("OC_GetSerial");
    TokenBinding binding;
    BindTokenTable(loader, "csp.dll", "cmd.dll", binding);
    EXPECT_EQ(nullptr, binding.slots[TE_OC_GetSerial]);
    EXPECT_NE(nullptr, binding.slots[TE_OC_GetTotalSize]);
    char notice[600];
    EXPECT_EQ(0u, FormatMissingLibraryNotice(binding, notice, sizeof(notice)));
    EXPECT_STREQ("", notice);
}

TEST(TokenBinding, OverlongFileNamesAreCutAndNoticeStaysBounded)
{
    FakeLoader loader;
    std::string huge(2000, 'R');
    TokenBinding binding;
    BindTokenTable(loader, huge.c_str(), "cmd.dll", binding);
    EXPECT_EQ(TOKLIB_PATH_SIZE - 1u, strlen(binding.cspFile));
    EXPECT_EQ(nullptr, binding.cspModule);

    char small[40];
    size_t n = FormatMissingLibraryNotice(binding, small, sizeof(small));
    EXPECT_LT(n, sizeof(small));
    EXPECT_EQ(n, strlen(small));
}

TEST(TokenBinding, BareNamesLoadFromTheProgramFolderThenTheSystemFolderAndPathsAsWritten)
{
    FakeLoader loader;
    ExportEverything(loader, "C:\\Program Files\\ZV\\csp.dll", "D:\\libs\\cmd.dll");
    TokenBinding binding;
    BindTokenTable(loader, "csp.dll", "D:\\libs\\cmd.dll", binding, "C:\\Program Files\\ZV", "C:\\windows\\system32");
    EXPECT_EQ((std::vector<std::string>{"load D:\\libs\\cmd.dll", "load C:\\Program Files\\ZV\\csp.dll"}), Loads(loader));
    EXPECT_NE(nullptr, binding.cspModule);

    // Not beside the program: the system folder, by its full path.
    FakeLoader vendor;
    ExportEverything(vendor, "C:\\windows\\system32\\csp.dll", "C:\\windows\\system32\\cmd.dll");
    TokenBinding found;
    BindTokenTable(vendor, "csp.dll", "cmd.dll", found, "C:\\ZV\\", "C:\\windows\\system32");
    EXPECT_EQ((std::vector<std::string>{"load C:\\ZV\\cmd.dll", "load C:\\windows\\system32\\cmd.dll",
                                        "load C:\\ZV\\csp.dll", "load C:\\windows\\system32\\csp.dll"}),
              Loads(vendor));
    EXPECT_NE(nullptr, found.cspModule);
    EXPECT_NE(nullptr, found.commandModule);

    // In neither: never searched for by the bare name, a configured path
    // gets no second try, and the notice names the files as configured.
    FakeLoader bare;
    bare.loadable = {"csp.dll", "cmd.dll", "C:\\windows\\system32\\cmd.dll"};
    TokenBinding missing;
    BindTokenTable(bare, "csp.dll", "D:\\cmd.dll", missing, "C:\\ZV\\", "C:\\windows\\system32");
    EXPECT_EQ((std::vector<std::string>{"load D:\\cmd.dll", "load C:\\ZV\\csp.dll",
                                        "load C:\\windows\\system32\\csp.dll"}),
              Loads(bare));
    EXPECT_EQ(nullptr, missing.cspModule);
    EXPECT_EQ(nullptr, missing.commandModule);
    char notice[600];
    FormatMissingLibraryNotice(missing, notice, sizeof(notice));
    EXPECT_NE(nullptr, strstr(notice, " csp.dll"));
    EXPECT_EQ(nullptr, strstr(notice, "C:\\ZV"));
}

TEST(TokenBinding, ReleaseFreesCommandLibraryThenCspAndEmptiesSlots)
{
    FakeLoader loader;
    ExportEverything(loader, "csp.dll", "cmd.dll");
    TokenBinding binding;
    BindTokenTable(loader, "csp.dll", "cmd.dll", binding);
    loader.events.clear();
    ReleaseTokenTable(loader, binding);
    ASSERT_EQ(2u, loader.events.size());
    EXPECT_EQ("free cmd.dll", loader.events[0]);
    EXPECT_EQ("free csp.dll", loader.events[1]);
    for (void *slot : binding.slots)
        EXPECT_EQ(nullptr, slot);
    ReleaseTokenTable(loader, binding); // a second release frees nothing
    EXPECT_EQ(2u, loader.events.size());
}

namespace {
int g_serialCalls = 0;
int FakeGetSerial(int, const char *, char *serial)
{
    ++g_serialCalls;
    strcpy(serial, "SERIAL");
    return 0;
}
const char *FakeText(const char *, const char *)
{
    return "a text that is longer than the buffer";
}
} // namespace

TEST(TokenCalls, EmptySlotIsNeverCalledAndReportsUnavailable)
{
    TokenBinding &table = ProcessTokenTable();
    memset(&table, 0, sizeof(table));
    char serial[20] = "untouched";
    EXPECT_EQ((int)TOK_ERR_UNAVAILABLE, Tok::OC_GetSerial(0, "r", serial));
    EXPECT_STREQ("untouched", serial);
    EXPECT_EQ(nullptr, Tok::LngLoadString("MainFrm", "IDS_OPEN"));
    EXPECT_EQ(0u, Tok::ZRGetPWSGrade("1234", 2000));
    char text[8] = "x";
    EXPECT_EQ(0u, LoadText("MainFrm", "IDS_OPEN", text, sizeof(text)));
    EXPECT_STREQ("", text);
}

TEST(TokenCalls, BoundSlotIsCalledWithTheArguments)
{
    TokenBinding &table = ProcessTokenTable();
    memset(&table, 0, sizeof(table));
    table.slots[TE_OC_GetSerial] = reinterpret_cast<void *>(&FakeGetSerial);
    table.slots[TE_LngLoadString] = reinterpret_cast<void *>(&FakeText);
    char serial[20] = "";
    g_serialCalls = 0;
    EXPECT_EQ(0, Tok::OC_GetSerial(0, "r", serial));
    EXPECT_EQ(1, g_serialCalls);
    EXPECT_STREQ("SERIAL", serial);
    char text[8];
    EXPECT_EQ(7u, LoadText("s", "k", text, sizeof(text)));
    EXPECT_STREQ("a text ", text);
    memset(&table, 0, sizeof(table));
}
