// The COM identities of the program; RUV.idl holds the same ones for the
// type library (a Win32 test compares the two).
#pragma once

#include <windows.h>
#include <oaidl.h>

extern const GUID kLibidRUVLib;
extern const IID kIidIXUIProtocol;
extern const CLSID kClsidCXUIProtocol;
extern const GUID kAppIdRUV;

extern const char kAppIdText[];  // "{AF292A48-...}", the scripts' %APPID%
const WORD kRuvLibMajor = 1;
const WORD kRuvLibMinor = 0;

// Resource ids of the registrar scripts and the type library.
const UINT kRegistryAppId = 103;
const UINT kRegistryProtocol = 106;
const UINT kTypeLibResource = 1;

// The protocol class's own dispatch interface: no members of its own.
struct IXUIProtocol : public IDispatch {
};
