#include "assistant/host/bridge/script/HtmlScriptDocument.h"

#include "common/win32/TextConversion.h"

#include <mshtml.h>

namespace {
class CHtmlScriptDocument : public IScriptDocument {
public:
    explicit CHtmlScriptDocument(IHTMLDocument2 *document) : m_document(document) {}
    ~CHtmlScriptDocument() override { m_document->Release(); }

    std::unique_ptr<IScriptDocument> OpenFrame(const std::string &name) override
    {
        IHTMLFramesCollection2 *frames = NULL;
        if (FAILED(m_document->get_frames(&frames)) || !frames)
            return nullptr;
        std::wstring wideName = AnsiToWideText(name);
        VARIANT index;
        VariantInit(&index);
        V_VT(&index) = VT_BSTR;
        V_BSTR(&index) = SysAllocStringLen(wideName.data(), static_cast<UINT>(wideName.size()));
        VARIANT found;
        VariantInit(&found);
        HRESULT hr = frames->item(&index, &found);
        VariantClear(&index);
        frames->Release();

        std::unique_ptr<IScriptDocument> result;
        if (SUCCEEDED(hr) && V_VT(&found) == VT_DISPATCH && V_DISPATCH(&found)) {
            IHTMLWindow2 *window = NULL;
            if (SUCCEEDED(V_DISPATCH(&found)->QueryInterface(IID_IHTMLWindow2, reinterpret_cast<void **>(&window))) &&
                window) {
                IHTMLDocument2 *document = NULL;
                if (SUCCEEDED(window->get_document(&document)) && document)
                    result.reset(new CHtmlScriptDocument(document));
                window->Release();
            }
        }
        VariantClear(&found);
        return result;
    }

    IDispatch *Script() override
    {
        IDispatch *script = NULL;
        if (FAILED(m_document->get_Script(&script)))
            return NULL;
        return script;
    }

private:
    IHTMLDocument2 *m_document;
};
}

std::unique_ptr<IScriptDocument> WrapHtmlDocument(IDispatch *document)
{
    if (!document)
        return nullptr;
    IHTMLDocument2 *html = NULL;
    if (FAILED(document->QueryInterface(IID_IHTMLDocument2, reinterpret_cast<void **>(&html))) || !html)
        return nullptr;
    return std::unique_ptr<IScriptDocument>(new CHtmlScriptDocument(html));
}
