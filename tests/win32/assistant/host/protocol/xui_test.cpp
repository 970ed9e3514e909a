// The protocol object, the embedded resources of the built program and the
// browser event sink's navigation decision.
#include "assistant/host/dialog/BrowserEvents.h"
#include "assistant/host/protocol/CXUIProtocol.h"
#include "assistant/host/protocol/RuvIdentities.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

namespace {

std::string TestFolder()
{
    char path[MAX_PATH] = "";
    GetModuleFileNameA(NULL, path, MAX_PATH);
    std::string folder(path);
    return folder.substr(0, folder.rfind('\\'));
}

// The build's bin and pages folders sit beside the test programs' folder.
std::string BuildPath(const char *relative)
{
    return TestFolder() + "\\..\\" + relative;
}

std::string ReadAll(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

class ComScope {
public:
    ComScope() { CoInitialize(NULL); }
    ~ComScope() { CoUninitialize(); }
};

template <class T>
T *Query(IUnknown *object, REFIID iid)
{
    void *out = NULL;
    return SUCCEEDED(object->QueryInterface(iid, &out)) ? static_cast<T *>(out) : NULL;
}

IUnknown *NewProtocol()
{
    IUnknown *object = NULL;
    EXPECT_EQ(S_OK, CXUIProtocol::Create(NULL, IID_IUnknown, reinterpret_cast<void **>(&object)));
    return object;
}

// Clicks OK on the first message box captioned caption; its static texts.
std::string AnswerMessageBox(const char *caption, DWORD waitMs)
{
    for (DWORD waited = 0; waited < waitMs; waited += 50) {
        HWND box = FindWindowA("#32770", caption);
        if (box) {
            std::string texts;
            for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
                char cls[32] = "", text[256] = "";
                GetClassNameA(child, cls, sizeof(cls));
                if (lstrcmpiA(cls, "Static") == 0 && GetWindowTextA(child, text, sizeof(text)) > 0)
                    texts += text;
            }
            PostMessageA(box, WM_COMMAND, IDOK, 0);
            return texts;
        }
        Sleep(50);
    }
    return "<no box>";
}

TEST(Protocol, InterfacesAnswerInTheTableOrder)
{
    size_t count = 0;
    const CXUIProtocol::InterfaceEntry *table = CXUIProtocol::Interfaces(&count);
    const IID *expected[] = {&kIidIXUIProtocol, &IID_IDispatch, &IID_IInternetProtocolInfo, &IID_IInternetProtocol,
                             &IID_IInternetProtocolRoot};
    ASSERT_EQ(5u, count);
    for (size_t i = 0; i < count; ++i)
        EXPECT_TRUE(IsEqualIID(*expected[i], *table[i].iid)) << "entry " << i;

    IUnknown *object = NewProtocol();
    ASSERT_TRUE(object);
    IDispatch *own = Query<IDispatch>(object, kIidIXUIProtocol);
    IDispatch *dispatch = Query<IDispatch>(object, IID_IDispatch);
    IInternetProtocol *protocol = Query<IInternetProtocol>(object, IID_IInternetProtocol);
    IInternetProtocolRoot *root = Query<IInternetProtocolRoot>(object, IID_IInternetProtocolRoot);
    IInternetProtocolInfo *info = Query<IInternetProtocolInfo>(object, IID_IInternetProtocolInfo);
    ASSERT_TRUE(own && dispatch && protocol && root && info);
    EXPECT_EQ(own, dispatch);
    EXPECT_EQ(static_cast<IUnknown *>(protocol), static_cast<IUnknown *>(root));
    EXPECT_EQ(nullptr, Query<IUnknown>(object, IID_IOleObject));
    // Every interface leads back to the same identity.
    IUnknown *identity = Query<IUnknown>(info, IID_IUnknown);
    EXPECT_EQ(object, identity);
    identity->Release();
    own->Release(); dispatch->Release(); protocol->Release(); root->Release(); info->Release();
    EXPECT_EQ(0u, object->Release());
}

// A minimal outer object: counts its references and hands out the inner unknown.
class Outer : public IUnknown {
public:
    IUnknown *inner = NULL;
    LONG refs = 1;
    STDMETHODIMP QueryInterface(REFIID riid, void **object) override
    {
        if (IsEqualIID(riid, IID_IUnknown)) {
            *object = this;
            AddRef();
            return S_OK;
        }
        return inner ? inner->QueryInterface(riid, object) : E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return ++refs; }
    STDMETHODIMP_(ULONG) Release() override { return --refs; }
};

TEST(Protocol, AggregationDelegatesToTheOuterObject)
{
    Outer outer;
    void *refused = reinterpret_cast<void *>(1);
    EXPECT_EQ(CLASS_E_NOAGGREGATION, CXUIProtocol::Create(&outer, IID_IDispatch, &refused));
    EXPECT_EQ(nullptr, refused);
    ASSERT_EQ(S_OK, CXUIProtocol::Create(&outer, IID_IUnknown, reinterpret_cast<void **>(&outer.inner)));
    IInternetProtocol *protocol = Query<IInternetProtocol>(&outer, IID_IInternetProtocol);
    ASSERT_TRUE(protocol);
    EXPECT_EQ(2, outer.refs);  // the reference went to the outer object
    IUnknown *identity = Query<IUnknown>(protocol, IID_IUnknown);
    EXPECT_EQ(static_cast<IUnknown *>(&outer), identity);
    identity->Release();
    protocol->Release();
    EXPECT_EQ(1, outer.refs);
    EXPECT_EQ(0u, outer.inner->Release());
}

TEST(Protocol, TypeInformationComesFromTheProgramsTypeLibrary)
{
    ComScope com;
    IUnknown *object = NewProtocol();
    IDispatch *dispatch = Query<IDispatch>(object, IID_IDispatch);
    ASSERT_TRUE(dispatch);
    UINT count = 0;
    EXPECT_EQ(S_OK, dispatch->GetTypeInfoCount(&count));
    EXPECT_EQ(1u, count);
    ITypeInfo *info = reinterpret_cast<ITypeInfo *>(1);
    EXPECT_EQ(DISP_E_BADINDEX, dispatch->GetTypeInfo(1, 0, &info));
    EXPECT_EQ(nullptr, info);

    // Register the built program's library as /Regserver does.
    std::wstring program;
    std::string path = BuildPath("bin\\Orvane_Assistant.exe");
    program.assign(path.begin(), path.end());
    ITypeLib *library = NULL;
    ASSERT_EQ(S_OK, LoadTypeLibEx(program.c_str(), REGKIND_REGISTER, &library));
    TLIBATTR *libAttr = NULL;
    ASSERT_EQ(S_OK, library->GetLibAttr(&libAttr));
    EXPECT_TRUE(IsEqualGUID(kLibidRUVLib, libAttr->guid));
    EXPECT_EQ(kRuvLibMajor, libAttr->wMajorVerNum);
    EXPECT_EQ(kRuvLibMinor, libAttr->wMinorVerNum);
    library->ReleaseTLibAttr(libAttr);
    ITypeInfo *coclass = NULL;
    EXPECT_EQ(S_OK, library->GetTypeInfoOfGuid(kClsidCXUIProtocol, &coclass));
    if (coclass)
        coclass->Release();
    library->Release();

    ASSERT_EQ(S_OK, dispatch->GetTypeInfo(0, 0, &info));
    TYPEATTR *attr = NULL;
    ASSERT_EQ(S_OK, info->GetTypeAttr(&attr));
    EXPECT_TRUE(IsEqualIID(kIidIXUIProtocol, attr->guid));
    EXPECT_EQ(7, attr->cFuncs);  // IUnknown's and IDispatch's, none of its own
    info->ReleaseTypeAttr(attr);
    info->Release();
    dispatch->Release();
    object->Release();
    UnRegisterTypeLib(kLibidRUVLib, kRuvLibMajor, kRuvLibMinor, LOCALE_NEUTRAL, SYS_WIN32);
}

TEST(Protocol, ReadServesTheTestFileInChunksThenReportsTheEnd)
{
    std::string folder = TestFolder() + "\\images";
    std::string file = folder + "\\test.gif";
    CreateDirectoryA(folder.c_str(), NULL);
    std::string content;
    for (int i = 0; i < 250; ++i)
        content += static_cast<char>(i * 7 + 3);
    std::ofstream(file, std::ios::binary).write(content.data(), content.size());

    IUnknown *object = NewProtocol();
    IInternetProtocol *protocol = Query<IInternetProtocol>(object, IID_IInternetProtocol);
    ASSERT_TRUE(protocol);
    EXPECT_EQ(S_OK, protocol->Start(L"res://anything", NULL, NULL, 0, 0));
    std::string delivered;
    const ULONG expected[] = {100, 100, 50};
    for (ULONG want : expected) {
        char buffer[100];
        ULONG read = 0;
        EXPECT_EQ(S_OK, protocol->Read(buffer, sizeof(buffer), &read));
        EXPECT_EQ(want, read);
        delivered.append(buffer, read);
    }
    char buffer[100];
    ULONG read = 99;
    EXPECT_EQ(S_FALSE, protocol->Read(buffer, sizeof(buffer), &read));
    EXPECT_EQ(0u, read);
    EXPECT_EQ(content, delivered);
    EXPECT_EQ(E_NOTIMPL, protocol->Suspend());
    EXPECT_EQ(E_NOTIMPL, protocol->Seek(LARGE_INTEGER(), 0, NULL));
    protocol->Release();
    object->Release();
    DeleteFileA(file.c_str());
    RemoveDirectoryA(folder.c_str());
}

TEST(Protocol, MissingTestFileShowsTheBoxAndEndsTheData)
{
    DeleteFileA((TestFolder() + "\\images\\test.gif").c_str());
    IUnknown *object = NewProtocol();
    IInternetProtocol *protocol = Query<IInternetProtocol>(object, IID_IInternetProtocol);
    ASSERT_TRUE(protocol);
    HRESULT hr = E_FAIL;
    ULONG read = 7;
    std::thread reader([&] {
        char buffer[16];
        hr = protocol->Read(buffer, sizeof(buffer), &read);
    });
    std::string box = AnswerMessageBox("Orvane_Assistant", 10000);
    reader.join();
    EXPECT_EQ(kProtocolMissingFile, box);
    EXPECT_EQ(S_FALSE, hr);
    EXPECT_EQ(0u, read);
    protocol->Release();
    object->Release();
}

TEST(Protocol, ProtocolInfoLeavesUrlsToThePlatformAndNeverCallsThemEqual)
{
    IUnknown *object = NewProtocol();
    IInternetProtocolInfo *info = Query<IInternetProtocolInfo>(object, IID_IInternetProtocolInfo);
    ASSERT_TRUE(info);
    const wchar_t url[] = L"res://C:\\a.exe/index.htm";
    EXPECT_EQ(S_FALSE, info->CompareUrl(url, url, 0));
    EXPECT_EQ(E_POINTER, info->CompareUrl(NULL, url, 0));
    EXPECT_EQ(E_POINTER, info->CompareUrl(url, NULL, 0));
    wchar_t out[64];
    DWORD written = 0;
    EXPECT_EQ(INET_E_DEFAULT_ACTION, info->ParseUrl(url, PARSE_CANONICALIZE, 0, out, 64, &written, 0));
    EXPECT_EQ(INET_E_DEFAULT_ACTION, info->CombineUrl(url, L"nx.js", 0, out, 64, &written, 0));
    EXPECT_EQ(INET_E_DEFAULT_ACTION, info->QueryInfo(url, QUERY_IS_SAFE, 0, out, sizeof(out), &written, 0));
    info->Release();
    object->Release();
}

BOOL CALLBACK CollectName(HMODULE, LPCSTR, LPSTR name, LONG_PTR list)
{
    if (!IS_INTRESOURCE(name))
        reinterpret_cast<std::vector<std::string> *>(list)->push_back(name);
    return TRUE;
}

TEST(Resources, EveryBuiltPageIsEmbeddedByteForByteAsHtmlInChinese)
{
    HMODULE program = LoadLibraryExA(BuildPath("bin\\Orvane_Assistant.exe").c_str(), NULL, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_TRUE(program);
    std::vector<std::string> listed;
    std::ifstream list(BuildPath("pages\\resources.list"));
    for (std::string name; std::getline(list, name);)
        if (!name.empty())
            listed.push_back(name);
    // The names the pages and the style sheet rely on.
    const char *required[] = {"INDEX.HTM", "NX_DETECTALL.HTM", "NX_DETECTCT.HTM", "NX_DETECTKEY.HTM",
                              "NX_DETECTSYS.HTM", "KUAIJIE.HTM", "HELP.HTM", "ABOUT.HTM", "ZANVO.HTM", "NX.JS",
                              "NEXAR.CSS", "BG.PNG", "BTN_HOME_NORMAL.PNG", "BTN_HOME_HOVER.PNG",
                              "BTN_ADVANCE_NORMAL.PNG", "BTN_ADVANCE_HOVER.PNG", "BTN_HELP_NORMAL.PNG",
                              "BTN_HELP_HOVER.PNG", "BTN_LOGIN_NORMAL.PNG", "BTN_LOGIN_HOVER.PNG", "BTN_CHECK.PNG",
                              "BTN_FIX.PNG", "TAB_NORMAL.PNG", "TAB_SELECT.PNG", "CONTENT_T.PNG", "CONTENT_B.PNG",
                              "CONTENT_L.PNG", "CONTENT_R.PNG", "CONTENT_LT.PNG", "CONTENT_RT.PNG", "CONTENT_LB.PNG",
                              "CONTENT_RB.PNG", "ICON_OK.PNG", "ICON_WARNING.PNG", "ICON_ERROR.PNG", "ICON_STAR.PNG",
                              "INFORMATION.PNG", "FOOTER_BG.PNG", "ICON_ERROR_1.PNG", "CONTENT_MAIN.PNG",
                              "LOADING.GIF", "TIPICON_01.PNG", "SC1.PNG", "SC2.PNG", "SC3.PNG", "SC4.PNG", "SC5.PNG",
                              "SC6.PNG"};
    for (const char *name : required)
        EXPECT_NE(listed.end(), std::find(listed.begin(), listed.end(), name)) << name << " is not built";

    const WORD chinese = MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_SIMPLIFIED);
    for (const std::string &name : listed) {
        HRSRC found = FindResourceExA(program, MAKEINTRESOURCEA(23), name.c_str(), chinese);
        ASSERT_TRUE(found) << name;
        HGLOBAL loaded = LoadResource(program, found);
        const char *bytes = static_cast<const char *>(LockResource(loaded));
        ASSERT_TRUE(bytes) << name;
        std::string built = ReadAll(BuildPath("pages\\") + name);
        ASSERT_FALSE(built.empty()) << name;
        EXPECT_TRUE(std::string(bytes, SizeofResource(program, found)) == built) << name << " differs";
    }
    // Nothing else is stored as a page.
    std::vector<std::string> embedded;
    EnumResourceNamesA(program, MAKEINTRESOURCEA(23), CollectName, reinterpret_cast<LONG_PTR>(&embedded));
    EXPECT_EQ(listed.size(), embedded.size());
    // The registrar scripts and the type library travel with the program.
    EXPECT_TRUE(FindResourceA(program, MAKEINTRESOURCEA(kRegistryAppId), "REGISTRY"));
    EXPECT_TRUE(FindResourceA(program, MAKEINTRESOURCEA(kRegistryProtocol), "REGISTRY"));
    EXPECT_TRUE(FindResourceA(program, MAKEINTRESOURCEA(kTypeLibResource), "TYPELIB"));
    FreeLibrary(program);
}

class FakeNavigationOwner : public INavigationOwner {
public:
    bool cancel = false;
    std::vector<std::string> seen;
    bool BeforeNavigate(IDispatch *frame, const std::string &url) override
    {
        seen.push_back(std::string(frame ? "frame " : "none ") + url);
        return cancel;
    }
    void NavigateComplete(IDispatch *frame, const std::string &url) override
    {
        seen.push_back(std::string(frame ? "shown " : "shown? ") + url);
    }
    void OpenNewWindow(const std::string &url) override { seen.push_back("open " + url); }
};

// Fires an event as the browser does: the arguments last first, the frame
// object and the address by their usual types.
HRESULT Fire(CXUIBrowserEvents &sink, DISPID id, std::vector<VARIANT> args)
{
    DISPPARAMS params = {args.data(), NULL, static_cast<UINT>(args.size()), 0};
    return sink.Invoke(id, IID_NULL, 0, DISPATCH_METHOD, &params, NULL, NULL, NULL);
}

VARIANT Empty()
{
    VARIANT v;
    VariantInit(&v);
    return v;
}

VARIANT BoolRef(VARIANT_BOOL *flag)
{
    VARIANT v = Empty();
    V_VT(&v) = VT_BYREF | VT_BOOL;
    V_BOOLREF(&v) = flag;
    return v;
}

TEST(BrowserEvents, NavigationsAndNewWindowsAreDecidedByTheDialog)
{
    FakeNavigationOwner owner;
    CXUIBrowserEvents sink(owner);
    BSTR address = SysAllocString(L"https://cs.lccb-ca.example/cgi-bin/certapply");
    VARIANT url = Empty();
    V_VT(&url) = VT_BSTR;
    V_BSTR(&url) = address;
    VARIANT urlRef = Empty();
    V_VT(&urlRef) = VT_BYREF | VT_VARIANT;
    V_VARIANTREF(&urlRef) = &url;
    VARIANT frame = Empty();
    V_VT(&frame) = VT_DISPATCH;
    V_DISPATCH(&frame) = &sink;  // any object stands for the frame

    VARIANT_BOOL cancel = VARIANT_FALSE;
    std::vector<VARIANT> navigate = {BoolRef(&cancel), Empty(), Empty(), Empty(), Empty(), urlRef, frame};
    EXPECT_EQ(S_OK, Fire(sink, kDispidBeforeNavigate2, navigate));
    EXPECT_EQ(VARIANT_FALSE, cancel);
    owner.cancel = true;
    EXPECT_EQ(S_OK, Fire(sink, kDispidBeforeNavigate2, navigate));
    EXPECT_EQ(VARIANT_TRUE, cancel);
    EXPECT_EQ(S_OK, Fire(sink, kDispidNavigateComplete2, {urlRef, frame}));

    // A new window is never made; its address goes to the dialog.
    cancel = VARIANT_FALSE;
    EXPECT_EQ(S_OK, Fire(sink, kDispidNewWindow3, {url, Empty(), Empty(), BoolRef(&cancel), Empty()}));
    EXPECT_EQ(VARIANT_TRUE, cancel);
    // Every character of an address reaches the rules, in Unicode, whatever
    // the code page: a program path outside it is still the program's.
    BSTR odd = SysAllocString(L"res://C:\\\u5F20\u0663.exe/index.htm");
    V_BSTR(&url) = odd;
    EXPECT_EQ(S_OK, Fire(sink, kDispidNewWindow3, {url, Empty(), Empty(), BoolRef(&cancel), Empty()}));
    V_BSTR(&url) = address;
    SysFreeString(odd);

    // Other events and malformed calls decide nothing.
    owner.cancel = true;
    cancel = VARIANT_FALSE;
    EXPECT_EQ(S_OK, Fire(sink, 259, {BoolRef(&cancel), Empty(), Empty(), Empty(), Empty(), urlRef, frame}));
    EXPECT_EQ(S_OK, Fire(sink, kDispidBeforeNavigate2, {BoolRef(&cancel), Empty(), Empty(), Empty(), urlRef, frame}));
    EXPECT_EQ(S_OK, Fire(sink, kDispidNewWindow3, {url, Empty(), Empty(), Empty(), Empty()}));
    EXPECT_EQ(VARIANT_FALSE, cancel);
    SysFreeString(address);

    EXPECT_EQ(std::vector<std::string>({"frame https://cs.lccb-ca.example/cgi-bin/certapply",
                                        "frame https://cs.lccb-ca.example/cgi-bin/certapply",
                                        "shown https://cs.lccb-ca.example/cgi-bin/certapply",
                                        "open https://cs.lccb-ca.example/cgi-bin/certapply",
                                        "open res://C:\\\xE5\xBC\xA0\xD9\xA3.exe/index.htm"}),
              owner.seen);

    IDispatch *events = NULL;
    EXPECT_EQ(S_OK, sink.QueryInterface(kDiidWebBrowserEvents2, reinterpret_cast<void **>(&events)));
    EXPECT_EQ(static_cast<IDispatch *>(&sink), events);
}

}  // namespace
