// Whether the internet can be reached.
#pragma once

#include <windows.h>

// How long a probe may take. WinINet's own time-outs do not bound a server
// that accepts and never answers, so the request runs on its own thread and
// is abandoned (counted unreachable) after this wait.
const DWORD kProbeTimeLimitMs = 8000;

// -1 when the system is set to work offline; otherwise the answer of ProbeUrl.
int ProbeNetwork(const char *url);

// Opens url: 1 for a 2xx status, the status for any other, -1 when no
// request could be opened, 0 when the status is unreadable or the wait ran out.
int ProbeUrl(const char *url, DWORD waitMs = kProbeTimeLimitMs);
