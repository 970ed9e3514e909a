// The browser's own document as the script caller walks it.
#pragma once

#include "assistant/host/bridge/script/ScriptDocument.h"

#include <memory>

// The browser's own document (IHTMLDocument2); null when the object is not one.
std::unique_ptr<IScriptDocument> WrapHtmlDocument(IDispatch *document);
