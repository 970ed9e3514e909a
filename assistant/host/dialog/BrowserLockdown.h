// The embedded browser's own protections, switched on for this process only
// (nothing is written to the registry) before the browser is made: frames
// may show anything, and this process runs as administrator.
#pragma once

#include <windows.h>
#include <urlmon.h>

typedef HRESULT(WINAPI *FeatureSwitch)(INTERNETFEATURELIST feature, DWORD flags, BOOL enable);

// Zone elevation, local-machine lock-down, restricted file download, ActiveX
// install prompts blocked, MIME handling and sniffing, object caching,
// window restrictions, the mk: protocol off, safe binding to objects.
extern const INTERNETFEATURELIST kBrowserLockdown[];
extern const unsigned kBrowserLockdownCount;

// Asks for each of them through set; returns how many were refused.
unsigned LockDownBrowser(FeatureSwitch set = CoInternetSetFeatureEnabled);
