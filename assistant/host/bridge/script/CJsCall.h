// Calls a named script function of the page, through named frames.
#pragma once

#include "assistant/host/bridge/script/ScriptDocument.h"

#include <string>
#include <vector>

class CJsCall {
public:
    // Takes the browser's current document; false when it is null or not an
    // HTML document. The previous document is let go first in any case.
    bool SetDocument(IDispatch *document);
    // The same for a document the caller has already wrapped.
    bool SetScriptDocument(std::unique_ptr<IScriptDocument> document);

    // "frame1.frame2.function": the script object (with a reference for the
    // caller) and the function's DISPID; false if any step fails.
    bool FindFunction(const std::string &path, IDispatch **script, DISPID *dispid);
    // Calls the function with the strings in order; true only when it ran.
    // The return value goes into result when one is given.
    bool CallFunction(const std::string &path, const std::vector<std::string> &args, VARIANT *result = NULL);

private:
    bool CallFunctionOnce(const std::string &path, const std::vector<std::string> &args, VARIANT *result);
    std::unique_ptr<IScriptDocument> m_document;
};
