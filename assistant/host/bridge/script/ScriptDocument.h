// One document of the page as the script caller walks it: its named frames
// and its script object.
#pragma once

#include <windows.h>
#include <oaidl.h>

#include <memory>
#include <string>

class IScriptDocument {
public:
    virtual ~IScriptDocument() {}
    // The document shown in the frame of that name, or null.
    virtual std::unique_ptr<IScriptDocument> OpenFrame(const std::string &name) = 0;
    // The document's script object with a reference for the caller, or null.
    virtual IDispatch *Script() = 0;
};
