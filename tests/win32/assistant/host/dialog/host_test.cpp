// The log file and the document-host answers of the browser site.
#include "assistant/engine/worker/CommandRunner.h"
#include "assistant/host/bridge/CXUIImpIDispatch.h"
#include "assistant/host/dialog/BrowserLockdown.h"
#include "assistant/host/dialog/CXUICustomControlSite.h"
#include "assistant/host/dialog/DocHostHandlers.h"
#include "assistant/host/log/LogFile.h"
#include "tests/unit/assistant/EngineFakes.h"
#include "tests/unit/assistant/SeededSystem.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

std::string ReadAll(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

std::string TempPath(const char *name)
{
    char dir[MAX_PATH];
    GetTempPathA(MAX_PATH, dir);
    return std::string(dir) + name;
}

TEST(LogFile, EntriesAreAppendedInGbkAndTheFileCanBeEmptied)
{
    std::string path = TempPath("assistant_log_test.log");
    {
        CLogFile log;
        ASSERT_TRUE(log.Open(path));
        log.WriteLog("网络状态正常");
        log.WriteLog("");
        // Others may read the log while it is open.
        EXPECT_EQ("----\xCD\xF8\xC2\xE7\xD7\xB4\xCC\xAC\xD5\xFD\xB3\xA3\r\n----\r\n", ReadAll(path));
        log.Empty();
        EXPECT_EQ("", ReadAll(path));
        log.WriteLog("x");
    }
    EXPECT_EQ("----x\r\n", ReadAll(path));
    CLogFile reopened;
    ASSERT_TRUE(reopened.Open(path));  // opening starts an empty log
    reopened.Close();
    EXPECT_EQ("", ReadAll(path));
    DeleteFileA(path.c_str());
    EXPECT_NE(std::string::npos, ProgramLogPath().find("assistant_wintest.log"));
}

// Run from a user's folder, the log's name may already be a hard link to a
// file the user could never write: the administrator process must not
// empty or append to that file.
TEST(LogFile, AHardLinkPlantedUnderTheLogsNameIsNeitherEmptiedNorWritten)
{
    std::string victim = TempPath("assistant_log_victim.ini"), planted = TempPath("assistant_log_planted.log");
    DeleteFileA(planted.c_str());
    std::ofstream(victim, std::ios::binary) << "kept";
    ASSERT_TRUE(CreateHardLinkA(planted.c_str(), victim.c_str(), NULL));
    CLogFile log;
    EXPECT_FALSE(log.Open(planted));
    log.WriteLog("written");
    log.Close();
    EXPECT_EQ("kept", ReadAll(victim));
    DeleteFileA(planted.c_str());
    DeleteFileA(victim.c_str());
}

// Makes a folder that nobody may write into, not even root (the usual user
// of this Wine): the Unix immutable flag, set through Wine's start /unix.
bool SetImmutable(const char *unixPath, bool on)
{
    std::string command = std::string("start.exe /wait /unix /usr/bin/chattr ") + (on ? "+i " : "-i ") + unixPath;
    STARTUPINFOA si = {};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi;
    if (!CreateProcessA(NULL, &command[0], NULL, NULL, FALSE, CREATE_NO_WINDOW, NULL, NULL, &si, &pi))
        return false;
    WaitForSingleObject(pi.hProcess, 10000);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return true;
}

TEST(LogFile, ReadOnlyOrMissingFolderMeansNoLogAndTheRunGoesOn)
{
    CLogFile missing;
    EXPECT_FALSE(missing.Open("C:\\no such folder\\Orvane_Assistant.log"));
    missing.WriteLog("dropped");
    missing.Empty();

    const char folder[] = "Z:\\tmp\\orvane_readonly_log";
    CreateDirectoryA(folder, NULL);
    bool locked = false;
    if (SetImmutable("/tmp/orvane_readonly_log", true)) {
        for (int i = 0; i < 50 && !locked; ++i) {
            HANDLE probe = CreateFileA("Z:\\tmp\\orvane_readonly_log\\probe", GENERIC_WRITE, 0, NULL, CREATE_ALWAYS,
                                       FILE_FLAG_DELETE_ON_CLOSE, NULL);
            locked = probe == INVALID_HANDLE_VALUE;
            if (!locked) {
                CloseHandle(probe);
                Sleep(100);
            }
        }
    }
    CLogFile readOnly;
    bool opened = readOnly.Open(std::string(folder) + "\\Orvane_Assistant.log");
    SetImmutable("/tmp/orvane_readonly_log", false);
    Sleep(200);
    if (locked) {
        EXPECT_FALSE(opened);
    }

    CommandState state;
    state.Command = 3;
    FakeRegistry reg;
    EngineAddresses addresses = DefaultEngineAddresses();
    SeedPassingSystem(reg, addresses);
    FakeSystem system;
    FakeSsl ssl;
    FixedClock clock;
    RecordingPage page(state);
    FakeClientEngine client;
    CommandRunner worker(state, page, readOnly, WorkerServices{ssl, clock, reg, system, addresses, client});
    EXPECT_EQ(0, worker.Run());
    EXPECT_EQ(11u, page.results.size());
    EXPECT_EQ("TITLE_RC|0", page.results.back());
    readOnly.Close();
    RemoveDirectoryA(folder);
    if (!locked)
        GTEST_SKIP() << "no immutable folder here; only the missing folder was tried";
}

// The control site as the handlers see it: their IUnknown.
class TestSite : public IUnknown {
public:
    TestSite() : handlers(this, &external) {}
    STDMETHODIMP QueryInterface(REFIID riid, void **object) override
    {
        if (IsEqualIID(riid, IID_IDocHostUIHandler))
            *object = handlers.UIHandler();
        else if (IsEqualIID(riid, kIidDocHostShowUI))
            *object = handlers.ShowUIHandler();
        else if (IsEqualIID(riid, IID_IUnknown))
            *object = this;
        else
            *object = NULL;
        if (!*object)
            return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return ++refs; }
    STDMETHODIMP_(ULONG) Release() override { return --refs; }

    ULONG refs = 0;
    CXUIImpIDispatch external;
    CXUIDocHostHandlers handlers;
};

TEST(DocHost, FixedAnswers)
{
    TestSite site;
    IDocHostUIHandler *ui = site.handlers.UIHandler();
    POINT pt = {0, 0};
    EXPECT_EQ(S_OK, ui->ShowContextMenu(0, &pt, NULL, NULL));
    DOCHOSTUIINFO info = {};
    info.cbSize = sizeof(info);
    info.dwDoubleClick = 7;
    EXPECT_EQ(S_OK, ui->GetHostInfo(&info));
    EXPECT_EQ(0x4000Cu, info.dwFlags);
    EXPECT_EQ(0u, info.dwDoubleClick);
    EXPECT_EQ(S_OK, ui->ShowUI(0, NULL, NULL, NULL, NULL));
    EXPECT_EQ(S_OK, ui->HideUI());
    EXPECT_EQ(S_OK, ui->UpdateUI());
    EXPECT_EQ(E_NOTIMPL, ui->EnableModeless(TRUE));
    EXPECT_EQ(E_NOTIMPL, ui->OnDocWindowActivate(TRUE));
    EXPECT_EQ(E_NOTIMPL, ui->OnFrameWindowActivate(TRUE));
    EXPECT_EQ(E_NOTIMPL, ui->ResizeBorder(NULL, NULL, TRUE));
    LPWSTR translated = NULL;
    EXPECT_EQ(E_NOTIMPL, ui->TranslateUrl(0, const_cast<LPWSTR>(L"res://x"), &translated));
    EXPECT_EQ(E_NOTIMPL, ui->GetDropTarget(NULL, NULL));
    EXPECT_EQ(S_OK, site.handlers.ShowUIHandler()->ShowHelp(NULL, NULL, 0, 0, pt, NULL));

    // The nested objects answer for the site.
    IDocHostShowUI *show = NULL;
    EXPECT_EQ(S_OK, ui->QueryInterface(kIidDocHostShowUI, reinterpret_cast<void **>(&show)));
    EXPECT_EQ(site.handlers.ShowUIHandler(), show);
    EXPECT_EQ(1u, site.refs);
}

std::string ThisProgram()
{
    char path[MAX_PATH];
    DWORD n = GetModuleFileNameA(NULL, path, MAX_PATH);
    return std::string(path, n);
}

TEST(DocHost, ExternalOnlyForDocumentsOfTheProgramsOwnResources)
{
    TestSite site;
    IDocHostUIHandler *ui = site.handlers.UIHandler();
    IDispatch *external = &site.external;
    EXPECT_EQ(E_NOTIMPL, ui->GetExternal(&external));  // no documents known
    EXPECT_TRUE(external == NULL);

    PageDocuments documents;
    site.handlers.SetDocuments(&documents);
    documents.Navigated(NULL, true, "res://" + ThisProgram() + "/index.htm");
    EXPECT_EQ(S_OK, ui->GetExternal(&external));
    EXPECT_EQ(&site.external, external);
    EXPECT_EQ(1, site.external.RefCount());

    // A page of the network, and our page with a foreign document in a frame.
    documents.Navigated(NULL, true, "https://evil.example/index.htm");
    EXPECT_EQ(E_NOTIMPL, ui->GetExternal(&external));
    EXPECT_TRUE(external == NULL);
    documents.Navigated(NULL, true, "res://" + ThisProgram() + "/index.htm");
    int frame = 0;
    documents.Navigated(&frame, false, "https://cs.lccb-ca.example/cgi-bin/certapply");
    EXPECT_EQ(E_NOTIMPL, ui->GetExternal(&external));
    // Another program's resources.
    documents.Navigated(NULL, true, "res://C:\\windows\\system32\\shdoclc.dll/index.htm");
    EXPECT_EQ(E_NOTIMPL, ui->GetExternal(&external));
    EXPECT_EQ(1, site.external.RefCount());
    site.handlers.SetDocuments(NULL);
}

// The browser's in-place active object, as it registers with the frame.
class FakeActiveObject : public IOleInPlaceActiveObject {
public:
    STDMETHODIMP QueryInterface(REFIID, void **object) override
    {
        *object = NULL;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return ++refs; }
    STDMETHODIMP_(ULONG) Release() override { return --refs; }
    STDMETHODIMP GetWindow(HWND *) override { return E_NOTIMPL; }
    STDMETHODIMP ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }
    STDMETHODIMP TranslateAccelerator(LPMSG msg) override
    {
        offered.push_back(static_cast<int>(msg->wParam));
        return msg->wParam == VK_TAB ? S_OK : S_FALSE;
    }
    STDMETHODIMP OnFrameWindowActivate(BOOL) override { return S_OK; }
    STDMETHODIMP OnDocWindowActivate(BOOL) override { return S_OK; }
    STDMETHODIMP ResizeBorder(LPCRECT, IOleInPlaceUIWindow *, BOOL) override { return S_OK; }
    STDMETHODIMP EnableModeless(BOOL) override { return S_OK; }

    ULONG refs = 1;
    std::vector<int> offered;
};

TEST(ControlSite, KeysGoToTheActiveObjectTheBrowserRegistered)
{
    CXUIImpIDispatch external;
    CXUICustomControlSite *site = new CXUICustomControlSite(NULL, &external);
    FakeActiveObject active;
    MSG tab = {};
    tab.message = WM_KEYDOWN;
    tab.wParam = VK_TAB;
    MSG enter = tab;
    enter.wParam = VK_RETURN;
    MSG click = {};
    click.message = WM_LBUTTONDOWN;
    EXPECT_FALSE(site->TranslateWithActiveObject(tab));  // none registered yet

    ASSERT_EQ(S_OK, site->SetActiveObject(&active, L"browser"));
    EXPECT_EQ(2u, active.refs);  // kept, not discarded
    EXPECT_TRUE(site->TranslateWithActiveObject(tab));
    EXPECT_FALSE(site->TranslateWithActiveObject(enter));
    EXPECT_FALSE(site->TranslateWithActiveObject(click));
    EXPECT_EQ(std::vector<int>({VK_TAB, VK_RETURN}), active.offered);

    ASSERT_EQ(S_OK, site->SetActiveObject(NULL, NULL));
    EXPECT_EQ(1u, active.refs);
    EXPECT_FALSE(site->TranslateWithActiveObject(tab));
    site->SetActiveObject(&active, NULL);
    site->Release();  // the site's end lets the object go too
    EXPECT_EQ(1u, active.refs);
}

TEST(DocHost, CtrlOPNAreSwallowedOnKeyDownOnly)
{
    TestSite site;
    IDocHostUIHandler *ui = site.handlers.UIHandler();
    BYTE keys[256] = {};
    MSG down = {};
    down.message = WM_KEYDOWN;
    down.wParam = 'P';
    MSG up = down;
    up.message = WM_KEYUP;
    SetKeyboardState(keys);
    EXPECT_EQ(S_FALSE, ui->TranslateAccelerator(&down, NULL, 0));
    keys[VK_CONTROL] = 0x80;
    keys['P'] = 0x80;
    SetKeyboardState(keys);
    EXPECT_EQ(S_OK, ui->TranslateAccelerator(&down, NULL, 0));
    EXPECT_EQ(S_FALSE, ui->TranslateAccelerator(&up, NULL, 0));
    keys['P'] = 0;
    keys['A'] = 0x80;
    SetKeyboardState(keys);
    EXPECT_EQ(S_FALSE, ui->TranslateAccelerator(&down, NULL, 0));
    keys['N'] = 0x80;
    SetKeyboardState(keys);
    EXPECT_EQ(S_OK, ui->TranslateAccelerator(&down, NULL, 0));
    keys['N'] = 0;
    keys['O'] = 0x80;
    SetKeyboardState(keys);
    EXPECT_EQ(S_OK, ui->TranslateAccelerator(&down, NULL, 0));
    memset(keys, 0, sizeof(keys));
    SetKeyboardState(keys);
}

struct SeenBox {
    std::string caption;
    std::wstring text;
};

DWORD WINAPI CancelMessageBox(LPVOID param)
{
    SeenBox *seen = static_cast<SeenBox *>(param);
    for (int i = 0; i < 100; ++i) {
        HWND box = FindWindowA("#32770", "My Title");
        if (box) {
            char caption[64];
            GetWindowTextA(box, caption, sizeof(caption));
            seen->caption = caption;
            wchar_t text[128] = {};
            GetDlgItemTextW(box, 0xFFFF, text, 128);
            seen->text = text;
            PostMessageA(box, WM_COMMAND, IDCANCEL, 0);
            return 0;
        }
        Sleep(50);
    }
    return 1;
}

TEST(DocHost, PageMessageBoxesUseTheFixedCaptionAndReturnTheButton)
{
    TestSite site;
    SeenBox seen;
    HANDLE watcher = CreateThread(NULL, 0, CancelMessageBox, &seen, 0, NULL);
    LRESULT pressed = 0;
    EXPECT_EQ(S_OK, site.handlers.ShowUIHandler()->ShowMessage(NULL, const_cast<LPOLESTR>(L"x 提示"),
                                                               const_cast<LPOLESTR>(L"Page caption"), MB_OKCANCEL,
                                                               NULL, 0, &pressed));
    WaitForSingleObject(watcher, 10000);
    DWORD found = 1;
    GetExitCodeThread(watcher, &found);
    CloseHandle(watcher);
    if (found != 0)
        GTEST_SKIP() << "no box appeared: without a display (Xvfb) Wine shows no message boxes";
    EXPECT_EQ(IDCANCEL, pressed);
    EXPECT_EQ("My Title", seen.caption);
    EXPECT_EQ(L"x 提示", seen.text);
}

}  // namespace

namespace {

std::vector<INTERNETFEATURELIST> g_asked;

HRESULT WINAPI RecordFeature(INTERNETFEATURELIST feature, DWORD flags, BOOL enable)
{
    if (enable && flags == SET_FEATURE_ON_PROCESS)
        g_asked.push_back(feature);
    return feature == FEATURE_OBJECT_CACHING ? E_FAIL : S_OK;
}

}  // namespace

TEST(BrowserLockdown, EachProtectionIsAskedForThisProcessAndTakesHold)
{
    EXPECT_EQ(1u, LockDownBrowser(RecordFeature));  // a refusal is counted
    const std::vector<INTERNETFEATURELIST> expected = {
        FEATURE_ZONE_ELEVATION, FEATURE_LOCALMACHINE_LOCKDOWN, FEATURE_RESTRICT_FILEDOWNLOAD,
        FEATURE_RESTRICT_ACTIVEXINSTALL, FEATURE_MIME_HANDLING, FEATURE_MIME_SNIFFING, FEATURE_OBJECT_CACHING,
        FEATURE_WINDOW_RESTRICTIONS, FEATURE_DISABLE_MK_PROTOCOL, FEATURE_SAFE_BINDTOOBJECT};
    EXPECT_EQ(expected, g_asked);

    // The platform's own switch: afterwards the process reports each one on.
    EXPECT_EQ(0u, LockDownBrowser());
    for (INTERNETFEATURELIST feature : expected)
        EXPECT_EQ(S_OK, CoInternetIsFeatureEnabled(feature, GET_FEATURE_FROM_PROCESS)) << feature;
}

TEST(ControlSite, FramesRunAndDownloadNoActiveXControls)
{
    CXUIImpIDispatch external;
    CXUICustomControlSite *site = new CXUICustomControlSite(NULL, &external);
    IDispatch *ambient = NULL;
    ASSERT_EQ(S_OK, site->QueryInterface(IID_IDispatch, reinterpret_cast<void **>(&ambient)));
    DISPPARAMS none = {};
    VARIANT value;
    auto get = [&](DISPID id) {
        VariantInit(&value);
        return ambient->Invoke(id, IID_NULL, 0, DISPATCH_PROPERTYGET, &none, &value, NULL, NULL);
    };
    ASSERT_EQ(S_OK, get(-5512 /* DISPID_AMBIENT_DLCONTROL */));
    ASSERT_EQ(VT_I4, V_VT(&value));
    const LONG noRun = 0x200, noDownload = 0x400, noScripts = 0x80, noFrames = 0x1000, images = 0x10;
    EXPECT_EQ(noRun | noDownload | images, V_I4(&value) & (noRun | noDownload | images | noScripts | noFrames));
    // Any other ambient property keeps the browser's default.
    EXPECT_EQ(DISP_E_MEMBERNOTFOUND, get(-709 /* DISPID_AMBIENT_USERMODE */));
    ambient->Release();
    site->Release();
}
