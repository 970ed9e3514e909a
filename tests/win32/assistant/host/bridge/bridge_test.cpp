// The external object, the dispatch and the result delivery, driven the way
// the page drives them: Invoke on window.external, results arriving by the
// synchronous WM_RUV_CALLSCRIPT send on a real worker thread.
#include "assistant/engine/win32/EngineServices.h"
#include "assistant/host/bridge/CXUIImpIDispatch.h"
#include "assistant/host/bridge/ScriptBridge.h"
#include "assistant/host/bridge/ScriptMessages.h"
#include "assistant/host/log/LogFile.h"
#include "common/win32/window/Window.h"
#include "tests/unit/assistant/EngineFakes.h"
#include "tests/unit/assistant/SeededSystem.h"
#include "tests/win32/assistant/TestPage.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

namespace {

class TestBridgeWindow : public CWindow, public IBridgeHost, public IWorkerHost {
public:
    TestBridgeWindow() : addresses(DefaultEngineAddresses()), bridge(state, *this)
    {
        SeedPassingSystem(registry, addresses);
        WNDCLASSEXA wc = {};
        wc.hInstance = GetModuleHandleA(NULL);
        wc.lpszClassName = "AssistantBridgeTest";
        RegisterWindowClass(wc);
        CreateEx(0, wc.lpszClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE, NULL);
        bridge.SetResultWindow(m_hWnd);
        external.SetHandler(&bridge);
        state.Vendor = 1;
    }
    ~TestBridgeWindow() override
    {
        WaitIdle();
        Destroy();
    }

    bool AttachDocument() override { return attachSucceeds && bridge.JsCall().SetScriptDocument(page.Document()); }
    void ShowBridgeMessage(const char *text) override { messages.push_back(text); }
    void EmptyLog() override { log.Empty(); }
    bool StartWorker() override
    {
        notFirstRunAtStart.push_back(state.NotFirstRun);
        return StartCheckWorker(this);
    }

    CommandState &State() override { return state; }
    IResultChannel &Results() override { return bridge.Results(); }
    ILog &Log() override { return log; }
    WorkerServices Services() override { return WorkerServices{ssl, clock, registry, system, addresses, *engine}; }

    // Lets the worker's sends through until the run has ended.
    bool WaitIdle()
    {
        for (DWORD start = GetTickCount(); GetTickCount() - start < 10000;) {
            MSG msg;
            while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE))
                DispatchMessageA(&msg);
            if (!RunInProgress(state))
                return true;
            MsgWaitForMultipleObjects(0, NULL, FALSE, 20, QS_ALLINPUT);
        }
        return false;
    }

    VARIANT Call(VARIANT id, const wchar_t *args, WORD flags = DISPATCH_METHOD, UINT count = 2)
    {
        VARIANT argv[2];
        VariantInit(&argv[0]);
        V_VT(&argv[0]) = VT_BSTR;
        V_BSTR(&argv[0]) = SysAllocString(args);
        argv[1] = id;
        DISPPARAMS params = {count == 2 ? argv : &argv[1], NULL, count, 0};
        VARIANT result;
        VariantInit(&result);
        EXPECT_EQ(S_OK, external.Invoke(kDispidRuvSysCall, IID_NULL, 0, flags, &params, &result, NULL, NULL));
        VariantClear(&argv[0]);
        return result;
    }
    std::string CallText(int id, const wchar_t *args)
    {
        VARIANT v;
        VariantInit(&v);
        V_VT(&v) = VT_I4;
        V_I4(&v) = id;
        VARIANT result = Call(v, args);
        std::string text = V_VT(&result) == VT_BSTR ? WideToAnsiText(V_BSTR(&result)) : "<no value>";
        VariantClear(&result);
        return text;
    }

    CommandState state;
    EngineAddresses addresses;
    FakeRegistry registry;
    FakeSystem system;
    FakeSsl ssl;
    FixedClock clock;
    FakeClientEngine client;
    IClientEngine *engine = &client;
    CLogFile log;
    TestPage page;
    CScriptBridge bridge;
    CXUIImpIDispatch external;
    bool attachSucceeds = true;
    std::vector<std::string> messages;
    std::vector<int> notFirstRunAtStart;

protected:
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override
    {
        switch (msg) {
        case WM_RUV_CALLSCRIPT:
            return bridge.OnCallScript(lParam);
        default:
            return CWindow::HandleMessage(msg, wParam, lParam);
        }
    }
};

DISPID IdOf(IDispatch &object, const wchar_t *name, HRESULT *hr)
{
    LPOLESTR names[1] = {const_cast<LPOLESTR>(name)};
    DISPID id = 0;
    *hr = object.GetIDsOfNames(IID_NULL, names, 1, LOCALE_SYSTEM_DEFAULT, &id);
    return id;
}

TEST(ExternalObject, NameLookupIsExactAndCaseSensitive)
{
    CXUIImpIDispatch external;
    HRESULT hr;
    EXPECT_EQ(1, IdOf(external, L"RUVSysCall", &hr));
    EXPECT_EQ(S_OK, hr);
    EXPECT_EQ(-1, IdOf(external, L"ruvsyscall", &hr));
    EXPECT_EQ(DISP_E_UNKNOWNNAME, hr);
    EXPECT_EQ(-1, IdOf(external, L"RUVSysCallX", &hr));

    LPOLESTR both[2] = {const_cast<LPOLESTR>(L"Other"), const_cast<LPOLESTR>(L"RUVSysCall")};
    DISPID ids[2] = {0, 0};
    EXPECT_EQ(DISP_E_UNKNOWNNAME, external.GetIDsOfNames(IID_NULL, both, 2, 0, ids));
    EXPECT_EQ(-1, ids[0]);
    EXPECT_EQ(1, ids[1]);  // the other names are still filled in
}

TEST(ExternalObject, OffersIDispatchWithItsIdentityAndOutlivesItsReferences)
{
    CXUIImpIDispatch external;
    void *object = NULL, *identity = NULL;
    EXPECT_EQ(E_NOINTERFACE, external.QueryInterface(IID_IPersist, &object));
    EXPECT_EQ(NULL, object);
    ASSERT_EQ(S_OK, external.QueryInterface(IID_IDispatch, &object));
    ASSERT_EQ(S_OK, external.QueryInterface(IID_IUnknown, &identity));
    EXPECT_EQ(&external, object);
    EXPECT_EQ(object, identity); // COM identity: one IUnknown
    EXPECT_EQ(1u, external.Release());
    EXPECT_EQ(0u, external.Release());
    EXPECT_EQ(0u, external.Release() + 1);  // below zero and still alive
    UINT count = 0;
    EXPECT_EQ(E_NOTIMPL, external.GetTypeInfoCount(&count));
}

TEST(ExternalObject, PropertyReadIsABooleanStoredAsOne)
{
    TestBridgeWindow w;
    DISPPARAMS none = {NULL, NULL, 0, 0};
    VARIANT result;
    VariantInit(&result);
    EXPECT_EQ(S_OK, w.external.Invoke(1, IID_NULL, 0, DISPATCH_PROPERTYGET, &none, &result, NULL, NULL));
    EXPECT_EQ(VT_BOOL, V_VT(&result));
    EXPECT_EQ(1, V_BOOL(&result));
    // Other DISPIDs are no member and do nothing.
    VariantInit(&result);
    EXPECT_EQ(DISP_E_MEMBERNOTFOUND,
              w.external.Invoke(2, IID_NULL, 0, DISPATCH_PROPERTYGET | DISPATCH_METHOD, &none, &result, NULL, NULL));
    EXPECT_EQ(VT_EMPTY, V_VT(&result));
    EXPECT_TRUE(w.notFirstRunAtStart.empty());
}

TEST(Bridge, DoubleCommandIdIsTruncatedAndRunsTheUpdate)
{
    TestBridgeWindow w;
    VARIANT id;
    VariantInit(&id);
    V_VT(&id) = VT_R8;
    V_R8(&id) = 2.9;
    VARIANT result = w.Call(id, L"NX", DISPATCH_METHOD | DISPATCH_PROPERTYGET);
    ASSERT_EQ(VT_BSTR, V_VT(&result));  // the string replaces the boolean
    EXPECT_EQ(0u, SysStringLen(V_BSTR(&result)));
    VariantClear(&result);
    ASSERT_TRUE(w.WaitIdle());
    EXPECT_EQ(2, w.state.Command);
    EXPECT_EQ(std::vector<std::string>({"update"}), w.client.calls);
    EXPECT_EQ(std::vector<std::string>({"VERSION|95", "TITLE_CE|0"}), w.page.update.script.calls);
}

TEST(Bridge, CommandIdOfAnotherTypeIsReadByItsValue)
{
    TestBridgeWindow w;
    VARIANT id;
    VariantInit(&id);
    V_VT(&id) = VT_BSTR;
    V_BSTR(&id) = SysAllocString(L"2");
    VARIANT result = w.Call(id, L"NX");
    VariantClear(&result);
    VariantClear(&id);
    ASSERT_TRUE(w.WaitIdle());
    EXPECT_EQ(2, w.state.Command); // not the low bytes of the text's pointer
    EXPECT_EQ(std::vector<std::string>({"update"}), w.client.calls);
}

TEST(Bridge, UnknownCommandAnswersParmErrKeepsTheFunctionAndSendsNothing)
{
    TestBridgeWindow w;
    EXPECT_EQ("", w.CallText(3, L"NX"));
    ASSERT_TRUE(w.WaitIdle());
    size_t before = w.page.system.script.calls.size();
    EXPECT_EQ("PARM ERR", w.CallText(7, L"NX"));
    ASSERT_TRUE(w.WaitIdle());
    EXPECT_EQ("mainframe3.addResult", w.state.ScriptFunction);
    EXPECT_EQ(7, w.state.Command);
    EXPECT_EQ(2u, w.notFirstRunAtStart.size());  // a worker ran all the same
    EXPECT_EQ(before, w.page.system.script.calls.size());
    EXPECT_TRUE(w.page.main.script.calls.empty());
}

TEST(Bridge, RepairResultsGoToTheFrameOfItsOrigin)
{
    TestBridgeWindow w;
    EXPECT_EQ("", w.CallText(10, L"NXCT"));
    ASSERT_TRUE(w.WaitIdle());
    EXPECT_EQ("", w.CallText(10, L"nxct"));
    ASSERT_TRUE(w.WaitIdle());
    EXPECT_EQ(std::vector<std::string>({"REPAIR2|100", "REPAIR2|0"}), w.page.update.script.calls);
    EXPECT_EQ(std::vector<std::string>({"REPAIR2|100", "REPAIR2|0"}), w.page.main.script.calls);
    EXPECT_EQ(std::vector<int>({0, 1}), w.notFirstRunAtStart);
}

TEST(Bridge, SystemCheckResultsArriveInTheWorkersOrder)
{
    TestBridgeWindow w;
    w.CallText(3, L"NX");
    ASSERT_TRUE(w.WaitIdle());
    const std::vector<std::string> &calls = w.page.system.script.calls;
    std::vector<std::string> codes;
    for (const std::string &c : calls)
        codes.push_back(c.substr(0, c.find('|')));
    EXPECT_EQ(std::vector<std::string>({"TITLE_WS", "OS0", "REG0", "WEB0", "AUTORUN0", "TITLE_IE", "SITE0", "IELEVEL2",
                                        "TITLE_RC", "ROOTCERT0", "TITLE_RC"}),
              codes);
    // The OS text goes through the wide-string page call unchanged (GBK in, GBK out).
    EXPECT_EQ(0u, calls[1].find("OS0|操作系统版本:Microsoft Windows 7 Ultimate Edition"));
}

TEST(Bridge, FullCheckEmptiesTheOpenLogFirst)
{
    TestBridgeWindow w;
    char dir[MAX_PATH];
    GetTempPathA(MAX_PATH, dir);
    std::string path = std::string(dir) + "bridge_test.log";
    ASSERT_TRUE(w.log.Open(path));
    w.log.WriteLog("from an earlier run");
    w.registry.AddKey(kRootLocalMachine, VendorProviderKey(1));
    EXPECT_EQ("", w.CallText(4, L"NX"));
    ASSERT_TRUE(w.WaitIdle());
    w.log.Close();
    std::ifstream in(path, std::ios::binary);
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(std::string::npos, text.find("earlier"));
    EXPECT_EQ(0u, text.find("----2026-12-08 10:00:00   全面检测开始\r\n"));
    EXPECT_EQ("TITLE_IE|0", w.page.main.script.calls.back());
    DeleteFileA(path.c_str());
}

TEST(Bridge, MalformedCallsAndBusyStartNothing)
{
    TestBridgeWindow w;
    VARIANT id;
    VariantInit(&id);
    V_VT(&id) = VT_I4;
    V_I4(&id) = 3;
    VARIANT one = w.Call(id, L"", DISPATCH_METHOD, 1);
    ASSERT_EQ(VT_BSTR, V_VT(&one));
    EXPECT_EQ("PARM ERR", WideToAnsiText(V_BSTR(&one)));
    VariantClear(&one);

    VARIANT notText[2];
    VariantInit(&notText[0]);
    V_VT(&notText[0]) = VT_I4;
    notText[1] = id;
    DISPPARAMS params = {notText, NULL, 2, 0};
    VARIANT result;
    VariantInit(&result);
    w.external.Invoke(1, IID_NULL, 0, DISPATCH_METHOD, &params, &result, NULL, NULL);
    EXPECT_EQ("PARM ERR", WideToAnsiText(V_BSTR(&result)));
    VariantClear(&result);

    w.state.Busy = 1;  // a run in progress
    EXPECT_EQ("BUSY", w.CallText(4, L"NX"));
    EXPECT_TRUE(w.notFirstRunAtStart.empty());
    EXPECT_TRUE(w.state.ScriptFunction.empty());
    w.state.Busy = 0;

    // The message number is anyone's to send: a result the channel is not
    // delivering is never read.
    ASSERT_TRUE(w.AttachDocument());
    PageResult forged{"mainframe.addResult", "WEB0", "30"};
    SendMessageA(w.Hwnd(), WM_RUV_CALLSCRIPT, 0, reinterpret_cast<LPARAM>(&forged));
    SendMessageA(w.Hwnd(), WM_RUV_CALLSCRIPT, 0, 0x10);
    EXPECT_TRUE(w.page.main.script.calls.empty());
}

// An update whose first package failed: Busy is released for the page while
// the rest of the update still runs on the worker.
class FailedFirstPackageUpdate : public FakeClientEngine {
public:
    FailedFirstPackageUpdate()
        : failed(CreateEventA(NULL, TRUE, FALSE, NULL)), goOn(CreateEventA(NULL, TRUE, FALSE, NULL))
    {
    }
    ~FailedFirstPackageUpdate() override
    {
        CloseHandle(failed);
        CloseHandle(goOn);
    }
    int RunOnlineUpdate(CheckRun &run) override
    {
        run.ReportResult("SIGN2", 100);
        run.ClearBusy();
        SetEvent(failed);
        WaitForSingleObject(goOn, 30000);
        run.ReportResult("VERSION", 95);
        return 1;
    }
    HANDLE failed;
    HANDLE goOn;
};

TEST(Bridge, AfterAFailedPackageNewCommandsAndTheCloseWaitForTheWorker)
{
    FailedFirstPackageUpdate update;
    TestBridgeWindow w;
    w.engine = &update;
    EXPECT_EQ("", w.CallText(2, L"NX"));
    // Let the first result through, until the package has failed.
    bool failed = false;
    for (DWORD start = GetTickCount(); !failed && GetTickCount() - start < 10000;) {
        MSG msg;
        while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE))
            DispatchMessageA(&msg);
        failed = WaitForSingleObject(update.failed, 20) == WAIT_OBJECT_0;
    }
    ASSERT_TRUE(failed);
    EXPECT_EQ(0, w.state.Busy);
    EXPECT_TRUE(RunInProgress(w.state)) << "the close and navigation would be let through";
    // Refused where the page can see it: it must not wait for these.
    EXPECT_EQ("BUSY", w.CallText(4, L"NX"));
    EXPECT_EQ("BUSY", w.CallText(10, L"NXIE"));
    EXPECT_EQ(1u, w.notFirstRunAtStart.size());
    EXPECT_EQ(2, w.state.Command);
    EXPECT_EQ("mainframe2.addResult", w.state.ScriptFunction);

    SetEvent(update.goOn);
    ASSERT_TRUE(w.WaitIdle());
    EXPECT_EQ(std::vector<std::string>({"SIGN2|100", "VERSION|95", "TITLE_CE|0"}), w.page.update.script.calls);
    EXPECT_TRUE(w.page.main.script.calls.empty());
    // Once the worker has ended, the next command runs.
    w.engine = &w.client;
    EXPECT_EQ("", w.CallText(3, L"NX"));
    EXPECT_EQ(2u, w.notFirstRunAtStart.size());
    ASSERT_TRUE(w.WaitIdle());
}

TEST(Bridge, DocumentThatCannotBeAttachedStopsTheCommand)
{
    TestBridgeWindow w;
    w.attachSucceeds = false;
    EXPECT_EQ("<no value>", w.CallText(4, L"NX"));
    EXPECT_EQ(std::vector<std::string>({"js.SetDocument() failed."}), w.messages);
    EXPECT_EQ(0, w.state.Busy);
    EXPECT_TRUE(w.notFirstRunAtStart.empty());
}

TEST(JsCall, MissingFramesAndFunctionsDropTheCall)
{
    TestPage page;
    page.top.frames.erase("mainframe1");
    CJsCall js;
    EXPECT_FALSE(js.CallFunction("mainframe.addResult", {"A", "1"}));  // no document yet
    ASSERT_TRUE(js.SetScriptDocument(page.Document()));
    EXPECT_FALSE(js.CallFunction("mainframe1.addResult", {"WEB1", "30"}));
    EXPECT_FALSE(js.CallFunction("mainframe.noSuchFunction", {"WEB1", "30"}));
    EXPECT_FALSE(js.CallFunction("mainframe.mainframe2.addResult", {"WEB1", "30"}));
    page.main.script.raiseError = true;
    EXPECT_FALSE(js.CallFunction("mainframe.addResult", {"WEB1", "30"}));
    EXPECT_TRUE(page.client.script.calls.empty());
    EXPECT_TRUE(page.main.script.calls.empty());
}

TEST(JsCall, CallsWithArgumentsInOrderAndReturnsTheValue)
{
    TestPage page;
    CJsCall js;
    ASSERT_TRUE(js.SetScriptDocument(page.Document()));
    EXPECT_TRUE(js.CallFunction("mainframe2.addResult", {"WEB1", "30"}));
    VARIANT result;
    VariantInit(&result);
    EXPECT_TRUE(js.CallFunction("addResult", {"a", "b", "c"}, &result));
    EXPECT_EQ("done", WideToAnsiText(V_BSTR(&result)));
    VariantClear(&result);
    EXPECT_EQ(std::vector<std::string>({"WEB1|30"}), page.update.script.calls);
    EXPECT_EQ(std::vector<std::string>({"a|b|c"}), page.top.script.calls);
    EXPECT_EQ(static_cast<LCID>(LOCALE_SYSTEM_DEFAULT), page.update.script.lastLcid);
    EXPECT_EQ(0, page.update.script.refs);  // every reference taken was given back
}

TEST(JsCall, SetDocumentRefusesNullAndNonHtmlObjects)
{
    TestPage page;
    CJsCall js;
    ASSERT_TRUE(js.SetScriptDocument(page.Document()));
    EXPECT_FALSE(js.SetDocument(NULL));
    EXPECT_FALSE(js.CallFunction("addResult", {"x"}));  // the old document was let go
    TestScript notADocument;
    EXPECT_FALSE(js.SetDocument(&notADocument));
    EXPECT_EQ(0, notADocument.refs);
}

}  // namespace
