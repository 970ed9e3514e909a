// A stand-in for the page: script objects that record the calls they get,
// arranged in named frames. The browser under Wine makes no documents, so
// the frame walk runs against these; the calls themselves are real COM calls.
#pragma once

#include "assistant/host/bridge/script/ScriptDocument.h"
#include "common/win32/TextConversion.h"

#include <map>
#include <string>
#include <vector>

class TestScript : public IDispatch {
public:
    explicit TestScript(const char *function = "addResult") : m_function(function) {}

    STDMETHODIMP QueryInterface(REFIID riid, void **object) override
    {
        if (IsEqualIID(riid, IID_IDispatch) || IsEqualIID(riid, IID_IUnknown)) {
            *object = static_cast<IDispatch *>(this);
            AddRef();
            return S_OK;
        }
        *object = NULL;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return InterlockedIncrement(&refs); }
    STDMETHODIMP_(ULONG) Release() override { return InterlockedDecrement(&refs); }
    STDMETHODIMP GetTypeInfoCount(UINT *) override { return E_NOTIMPL; }
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo **) override { return E_NOTIMPL; }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR *names, UINT count, LCID lcid, DISPID *ids) override
    {
        lastLcid = lcid;
        if (count != 1 || WideToAnsiText(names[0]) != m_function) {
            ids[0] = DISPID_UNKNOWN;
            return DISP_E_UNKNOWNNAME;
        }
        ids[0] = 5;
        return S_OK;
    }
    STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS *params, VARIANT *result, EXCEPINFO *,
                        UINT *) override
    {
        if (id != 5 || flags != DISPATCH_METHOD)
            return DISP_E_MEMBERNOTFOUND;
        if (raiseError)
            return DISP_E_EXCEPTION;
        std::string call;
        for (UINT i = params->cArgs; i-- > 0;) {
            const VARIANT &v = params->rgvarg[i];
            call += (call.empty() ? "" : "|") + (V_VT(&v) == VT_BSTR ? WideToAnsiText(V_BSTR(&v)) : std::string("?"));
        }
        calls.push_back(call);
        if (result) {
            V_VT(result) = VT_BSTR;
            V_BSTR(result) = SysAllocString(L"done");
        }
        return S_OK;
    }

    LONG refs = 0;
    bool raiseError = false;
    LCID lastLcid = 0;
    std::vector<std::string> calls;

private:
    std::string m_function;
};

struct TestFrame {
    TestScript script;
    std::map<std::string, TestFrame *> frames;
};

class TestDocument : public IScriptDocument {
public:
    explicit TestDocument(TestFrame *frame) : m_frame(frame) {}
    std::unique_ptr<IScriptDocument> OpenFrame(const std::string &name) override
    {
        auto it = m_frame->frames.find(name);
        if (it == m_frame->frames.end())
            return nullptr;
        return std::unique_ptr<IScriptDocument>(new TestDocument(it->second));
    }
    IDispatch *Script() override
    {
        m_frame->script.AddRef();
        return &m_frame->script;
    }

private:
    TestFrame *m_frame;
};

// The start page: a top document with the four result frames.
struct TestPage {
    TestPage()
    {
        top.frames["mainframe"] = &main;
        top.frames["mainframe1"] = &client;
        top.frames["mainframe2"] = &update;
        top.frames["mainframe3"] = &system;
    }
    std::unique_ptr<IScriptDocument> Document() { return std::unique_ptr<IScriptDocument>(new TestDocument(&top)); }
    TestFrame top, main, client, update, system;
};
