// The web-settings page in a property sheet, driven by its controls, with
// a real URLSet.ini behind it.
#include "keymgr/shell/websettings/WebSetPage.h"

#include "keymgr/library/TokenCalls.h"

#include "keymgr/shell/websettings/WebSetPageIds.h"
#include "keymgr/shell/websettings/WebSettings.h"

#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

namespace {

class TestPage : public CWebSetPage {
public:
    explicit TestPage(CWebSetFile &f) : CWebSetPage(f) {}
    HWND Page() const { return Hwnd(); }
    std::vector<std::string> messages;
    int hides = 0;

protected:
    int ShowMessage(const char *text, UINT type) override
    {
        messages.push_back(text ? text : "");
        EXPECT_EQ((UINT)MB_OK, type & 0xF);
        return IDOK;
    }
    void HideMainWindow() override { ++hides; }
};

// The language service: every text names its section and key.
const char *TOKAPI FakeLoadString(const char *section, const char *key)
{
    static std::string text;
    text = std::string(section) + "/" + key;
    return text.c_str();
}

int g_activations = 0;
void CountActivation()
{
    ++g_activations;
}

std::string TempIni()
{
    char dir[MAX_PATH], path[MAX_PATH];
    GetTempPathA(sizeof(dir), dir);
    GetTempFileNameA(dir, "web", 0, path);
    DeleteFileA(path);
    return path;
}

std::string ReadFileText(const std::string &path)
{
    std::string out;
    HANDLE f = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
    if (f == INVALID_HANDLE_VALUE)
        return out;
    char buf[4096];
    DWORD n;
    while (ReadFile(f, buf, sizeof(buf), &n, NULL) && n > 0)
        out.append(buf, n);
    CloseHandle(f);
    return out;
}

void Pump()
{
    MSG msg;
    while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

class WebSetPageTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        INITCOMMONCONTROLSEX cc = {sizeof(cc), ICC_WIN95_CLASSES};
        InitCommonControlsEx(&cc);
        path = TempIni();
        file.reset(new CWebSetFile(path.c_str()));
        savedLoadString = ProcessTokenTable().slots[TE_LngLoadString];
    }
    void TearDown() override
    {
        if (sheet)
            DestroyWindow(sheet);
        Pump();
        page.reset();
        DeleteFileA(path.c_str());
        ProcessTokenTable().slots[TE_LngLoadString] = savedLoadString;
    }
    void UseLanguageService() { ProcessTokenTable().slots[TE_LngLoadString] = (void *)&FakeLoadString; }
    std::string Text(int id)
    {
        char buf[256] = "";
        GetWindowTextA(Item(id), buf, sizeof(buf));
        return buf;
    }
    void Write(const char *section, const char *key, const char *value)
    {
        WritePrivateProfileStringA(section, key, value, path.c_str());
    }
    std::string Read(const char *section, const char *key)
    {
        char buf[1100];
        GetPrivateProfileStringA(section, key, "<absent>", buf, sizeof(buf), path.c_str());
        return buf;
    }
    // Opens a modeless sheet holding the page (added at run time, as the
    // management sheet does).
    void Open()
    {
        page.reset(new TestPage(*file));
        page->SetActivationHook(CountActivation);
        PROPSHEETHEADERA header = {};
        header.dwSize = sizeof(header);
        header.dwFlags = PSH_MODELESS | PSH_NOAPPLYNOW;
        header.hInstance = GetModuleHandleA(NULL);
        header.pszCaption = "sheet";
        header.nPages = 0;
        header.phpage = NULL;
        sheet = (HWND)PropertySheetA(&header);
        ASSERT_TRUE(sheet != NULL);
        HPROPSHEETPAGE hpage = page->CreatePageHandle();
        ASSERT_TRUE(hpage != NULL);
        ASSERT_TRUE(SendMessageA(sheet, PSM_ADDPAGE, 0, (LPARAM)hpage));
        SendMessageA(sheet, PSM_SETCURSEL, 0, 0);
        Pump();
        ASSERT_TRUE(page->Page() != NULL);
    }
    HWND Item(int id) { return GetDlgItem(page->Page(), id); }
    void Click(int id)
    {
        SendMessageA(Item(id), BM_CLICK, 0, 0);
        Pump();
    }
    std::vector<std::string> ListItems()
    {
        std::vector<std::string> items;
        int n = (int)SendMessageA(Item(IDC_WEBSET_LIST), LB_GETCOUNT, 0, 0);
        for (int i = 0; i < n; ++i) {
            char buf[1100] = "";
            SendMessageA(Item(IDC_WEBSET_LIST), LB_GETTEXT, i, (LPARAM)buf);
            items.push_back(buf);
        }
        return items;
    }

    void *savedLoadString = NULL;
    std::string path;
    std::unique_ptr<CWebSetFile> file;
    std::unique_ptr<TestPage> page;
    HWND sheet = NULL;
};

TEST_F(WebSetPageTest, InitialisesFromTheFile)
{
    Write("Setting", "SetEvent", "1");
    Write("Setting", "TotalNum", "3");
    Write("Setting", "URL0", "https://a.example/");
    Write("Setting", "URL2", "https://c.example/");
    Write("REQUEST_CERT", "REQUEST", "1");
    Write("REQUEST_CERT", "REQUEST_ADDR", "https://req.example/");
    g_activations = 0;
    UseLanguageService();
    Open();
    EXPECT_EQ("WebSetPage/IDS_HIDE", Text(IDOK)) << "the OK button reads as the hide text";
    EXPECT_EQ("WebSetPage/IDC_ADD_BTN", Text(IDC_WEBSET_ADD));
    EXPECT_EQ("WebSetPage/IDC_STATIC_NOTE", Text(IDC_WEBSET_NOTE));
    EXPECT_EQ("WebSetPage/IDC_CHECK_CERTREQ", Text(IDC_WEBSET_REQUEST));
    EXPECT_EQ("WebSetPage/IDC_STATIC_GRP_REQCERT", Text(IDC_WEBSET_GROUP_REQUEST));
    EXPECT_GE(g_activations, 1);
    std::vector<std::string> items = ListItems();
    ASSERT_EQ(2u, items.size());
    EXPECT_EQ("https://a.example/", items[0]);
    EXPECT_EQ("https://c.example/", items[1]);
    EXPECT_EQ(BST_CHECKED, IsDlgButtonChecked(page->Page(), IDC_WEBSET_OPEN_PAGES));
    EXPECT_EQ(BST_CHECKED, IsDlgButtonChecked(page->Page(), IDC_WEBSET_REQUEST));
    char buf[600];
    GetWindowTextA(Item(IDC_WEBSET_REQUEST_ADDR), buf, sizeof(buf));
    EXPECT_STREQ("https://req.example/", buf);
    EXPECT_FALSE(IsWindowEnabled(Item(IDC_WEBSET_SAVE_ADDR)));
}

TEST_F(WebSetPageTest, AddingAnEmptyOrUnopenableAddressWarnsAndChangesNothing)
{
    UseLanguageService();
    Open();
    Click(IDC_WEBSET_ADD);
    ASSERT_EQ(1u, page->messages.size());
    EXPECT_EQ("WebSetPage/WEBSET_URL_NULL", page->messages[0]);
    EXPECT_TRUE(ListItems().empty());

    SetWindowTextA(Item(IDC_WEBSET_NEW_URL), "about:blank");
    Click(IDC_WEBSET_ADD);
    ASSERT_EQ(2u, page->messages.size());
    EXPECT_EQ("WebSetPage/WEBSET_URL_INVALID", page->messages[1]);
    EXPECT_TRUE(ListItems().empty());
    EXPECT_EQ("about:blank", Text(IDC_WEBSET_NEW_URL)) << "left for the user to mend";

    SetWindowTextA(Item(IDC_WEBSET_NEW_URL), "https://new.example/");
    Click(IDC_WEBSET_ADD);
    SetWindowTextA(Item(IDC_WEBSET_NEW_URL), "www.bank.example");
    Click(IDC_WEBSET_ADD);
    EXPECT_EQ(2u, page->messages.size());
    EXPECT_EQ((std::vector<std::string>{"https://new.example/", "www.bank.example"}), ListItems());
    EXPECT_EQ(0, GetWindowTextLengthA(Item(IDC_WEBSET_NEW_URL)));
    EXPECT_EQ("<absent>", Read("Setting", "URL0")) << "adding alone writes nothing";
}

TEST_F(WebSetPageTest, SetRewritesTheSectionInListOrder)
{
    Write("Setting", "TotalNum", "5");
    Write("Setting", "URL0", "https://old0.example/");
    Write("Setting", "URL4", "https://old4.example/");
    Write("Setting", "Stray", "x");
    UseLanguageService();
    Open();
    ASSERT_EQ(2u, ListItems().size());
    // Delete the first, add two, tick the box, set.
    SendMessageA(Item(IDC_WEBSET_LIST), LB_SETCURSEL, 0, 0);
    Click(IDC_WEBSET_DELETE);
    SetWindowTextA(Item(IDC_WEBSET_NEW_URL), "https://b.example/");
    Click(IDC_WEBSET_ADD);
    SetWindowTextA(Item(IDC_WEBSET_NEW_URL), "https://c.example/");
    Click(IDC_WEBSET_ADD);
    Click(IDC_WEBSET_OPEN_PAGES);
    Click(IDC_WEBSET_SET);
    ASSERT_EQ(1u, page->messages.size());
    EXPECT_EQ("WebSetPage/SET_SUCCESS", page->messages[0]);

    EXPECT_EQ("1", Read("Setting", "SetEvent"));
    EXPECT_EQ("3", Read("Setting", "TotalNum"));
    EXPECT_EQ("https://old4.example/", Read("Setting", "URL0"));
    EXPECT_EQ("https://b.example/", Read("Setting", "URL1"));
    EXPECT_EQ("https://c.example/", Read("Setting", "URL2"));
    EXPECT_EQ("<absent>", Read("Setting", "URL4"));
    EXPECT_EQ("<absent>", Read("Setting", "Stray"));
}

TEST_F(WebSetPageTest, SetWithAnEmptyListLeavesSetEventAlone)
{
    Write("Setting", "SetEvent", "1");
    Write("Setting", "TotalNum", "1");
    Write("Setting", "URL0", "https://a.example/");
    Write("REQUEST_CERT", "REQUEST", "0");
    Open();
    SendMessageA(Item(IDC_WEBSET_LIST), LB_SETCURSEL, 0, 0);
    Click(IDC_WEBSET_DELETE);
    ASSERT_TRUE(ListItems().empty());
    Click(IDC_WEBSET_OPEN_PAGES); // untick
    Click(IDC_WEBSET_SET);
    EXPECT_EQ(1u, page->messages.size());
    EXPECT_EQ("0", Read("Setting", "SetEvent"));
    EXPECT_EQ("<absent>", Read("Setting", "TotalNum"));
    EXPECT_EQ("<absent>", Read("Setting", "URL0"));
    EXPECT_EQ("0", Read("REQUEST_CERT", "REQUEST")) << "other sections untouched";
    std::string text = ReadFileText(path);
    EXPECT_NE(std::string::npos, text.find("[Setting]"));
}

struct ReaderRun {
    std::string path;
    volatile LONG stop = 0;
    int reads = 0, partial = 0;
};

// What the insertion and removal handlers do meanwhile, on their own threads.
DWORD WINAPI ReadWhileSaving(void *arg)
{
    ReaderRun *run = static_cast<ReaderRun *>(arg);
    CWebSetFile file(run->path.c_str());
    while (!run->stop) {
        bool enabled = WebPagesEnabled(file);
        size_t count = ReadWebAddresses(file).size();
        ++run->reads;
        if (!enabled || count != 3)
            ++run->partial;
    }
    return 0;
}

TEST_F(WebSetPageTest, ReadersNeverSeeAHalfWrittenFile)
{
    // A folder of its own: nothing may be left beside the file.
    std::string folder = path + ".d";
    ASSERT_TRUE(CreateDirectoryA(folder.c_str(), NULL));
    std::string own = folder + "\\URLSet.ini";
    file.reset(new CWebSetFile(own.c_str()));
    WritePrivateProfileStringA("Setting", "SetEvent", "1", own.c_str());
    WritePrivateProfileStringA("Setting", "TotalNum", "3", own.c_str());
    WritePrivateProfileStringA("Setting", "URL0", "https://a.example/", own.c_str());
    WritePrivateProfileStringA("Setting", "URL1", "https://b.example/", own.c_str());
    WritePrivateProfileStringA("Setting", "URL2", "https://c.example/", own.c_str());
    WritePrivateProfileStringA("REQUEST_CERT", "REQUEST_ADDR", "https://req.example/", own.c_str());
    UseLanguageService();
    Open();
    ReaderRun run;
    run.path = own;
    HANDLE reader = CreateThread(NULL, 0, ReadWhileSaving, &run, 0, NULL);
    ASSERT_TRUE(reader != NULL);
    for (int i = 0; i < 40; ++i)
        Click(IDC_WEBSET_SET);
    InterlockedExchange(&run.stop, 1);
    WaitForSingleObject(reader, INFINITE);
    CloseHandle(reader);
    EXPECT_GT(run.reads, 0);
    EXPECT_EQ(0, run.partial) << "of " << run.reads << " reads";
    ASSERT_EQ(40u, page->messages.size());
    EXPECT_EQ("WebSetPage/SET_SUCCESS", page->messages.back());
    char value[64] = "";
    GetPrivateProfileStringA("REQUEST_CERT", "REQUEST_ADDR", "", value, sizeof(value), own.c_str());
    EXPECT_STREQ("https://req.example/", value) << "the rest of the file is kept";

    WIN32_FIND_DATAA found;
    HANDLE walk = FindFirstFileA((folder + "\\*").c_str(), &found);
    std::vector<std::string> names;
    if (walk != INVALID_HANDLE_VALUE) {
        do {
            if (found.cFileName[0] != '.')
                names.push_back(found.cFileName);
        } while (FindNextFileA(walk, &found));
        FindClose(walk);
    }
    EXPECT_EQ(std::vector<std::string>{"URLSet.ini"}, names) << "no temporary file is left";
    page.reset();
    DeleteFileA(own.c_str());
    RemoveDirectoryA(folder.c_str());
}

TEST_F(WebSetPageTest, AFileThatCannotBeWrittenIsReported)
{
    std::string missing = path + ".missing\\URLSet.ini";
    file.reset(new CWebSetFile(missing.c_str()));
    UseLanguageService();
    Open();
    Click(IDC_WEBSET_SET);
    ASSERT_EQ(1u, page->messages.size());
    EXPECT_EQ("WebSetPage/SET_FAIL", page->messages[0]);

    Click(IDC_WEBSET_REQUEST);
    ASSERT_EQ(2u, page->messages.size());
    EXPECT_EQ("WebSetPage/SET_FAIL", page->messages[1]);
    EXPECT_EQ(BST_UNCHECKED, IsDlgButtonChecked(page->Page(), IDC_WEBSET_REQUEST)) << "the box shows the file";

    SetWindowTextA(Item(IDC_WEBSET_REQUEST_ADDR), "https://new.example/");
    Pump();
    Click(IDC_WEBSET_SAVE_ADDR);
    ASSERT_EQ(3u, page->messages.size());
    EXPECT_EQ("WebSetPage/SET_FAIL", page->messages[2]);
    EXPECT_TRUE(IsWindowEnabled(Item(IDC_WEBSET_SAVE_ADDR))) << "the address is still unsaved";
}

TEST_F(WebSetPageTest, RequestBoxWritesAtOnceAndAddressOnlyByItsButton)
{
    Write("REQUEST_CERT", "REQUEST_ADDR", "https://old.example/");
    Open();
    Click(IDC_WEBSET_REQUEST);
    EXPECT_EQ("1", Read("REQUEST_CERT", "REQUEST"));
    Click(IDC_WEBSET_REQUEST);
    EXPECT_EQ("0", Read("REQUEST_CERT", "REQUEST"));

    SetWindowTextA(Item(IDC_WEBSET_REQUEST_ADDR), "https://new.example/");
    Pump();
    EXPECT_TRUE(IsWindowEnabled(Item(IDC_WEBSET_SAVE_ADDR)));
    EXPECT_EQ("https://old.example/", Read("REQUEST_CERT", "REQUEST_ADDR"));
    Click(IDC_WEBSET_SAVE_ADDR);
    EXPECT_EQ("https://new.example/", Read("REQUEST_CERT", "REQUEST_ADDR"));
    EXPECT_FALSE(IsWindowEnabled(Item(IDC_WEBSET_SAVE_ADDR)));
    EXPECT_TRUE(page->messages.empty());

    // An address never to be opened is refused and stays unsaved.
    SetWindowTextA(Item(IDC_WEBSET_REQUEST_ADDR), "javascript:alert(1)");
    Pump();
    Click(IDC_WEBSET_SAVE_ADDR);
    EXPECT_EQ(1u, page->messages.size());
    EXPECT_EQ("https://new.example/", Read("REQUEST_CERT", "REQUEST_ADDR"));
    EXPECT_TRUE(IsWindowEnabled(Item(IDC_WEBSET_SAVE_ADDR)));
    // None at all is how the user clears it.
    SetWindowTextA(Item(IDC_WEBSET_REQUEST_ADDR), "");
    Pump();
    Click(IDC_WEBSET_SAVE_ADDR);
    EXPECT_EQ(1u, page->messages.size());
    EXPECT_EQ("", Read("REQUEST_CERT", "REQUEST_ADDR"));
}

TEST_F(WebSetPageTest, OkHidesAndDeleteWithoutSelectionDoesNothing)
{
    Write("Setting", "TotalNum", "1");
    Write("Setting", "URL0", "https://a.example/");
    Open();
    EXPECT_EQ("隐藏", Text(IDOK)) << "without the language service the template's text stays";
    SendMessageA(Item(IDC_WEBSET_LIST), LB_SETCURSEL, (WPARAM)-1, 0);
    Click(IDC_WEBSET_DELETE);
    EXPECT_EQ(1u, ListItems().size());
    Click(IDOK);
    EXPECT_EQ(1, page->hides);
    EXPECT_TRUE(IsWindow(page->Page())) << "the page is not ended by its OK button";
}

TEST_F(WebSetPageTest, HugeTotalDoesNotHang)
{
    Write("Setting", "TotalNum", "2000000000");
    Write("Setting", "URL0", "https://a.example/");
    Write("Setting", "URL7", "https://h.example/");
    DWORD start = GetTickCount();
    std::vector<std::string> a = ReadWebAddresses(*file);
    EXPECT_LT(GetTickCount() - start, 2000u);
    ASSERT_EQ(2u, a.size());
    EXPECT_EQ("https://h.example/", a[1]);
}

TEST_F(WebSetPageTest, FileReadsAndDefaults)
{
    EXPECT_FALSE(WebPagesEnabled(*file));
    EXPECT_FALSE(ClosedPromptEnabled(*file));
    Write("IECLOSED_PROMPT", "Prompt", "1");
    Write("Setting", "SetEvent", "1");
    EXPECT_TRUE(ClosedPromptEnabled(*file));
    EXPECT_TRUE(WebPagesEnabled(*file));
    char program[260];
    ASSERT_TRUE(CWebSetFile::ProgramFilePath(program, sizeof(program)));
    std::string p(program);
    EXPECT_EQ("\\URLSet.ini", p.substr(p.size() - 11));
    char tiny[8];
    EXPECT_FALSE(CWebSetFile::ProgramFilePath(tiny, sizeof(tiny)));
    EXPECT_STREQ("", tiny);
}

} // namespace
