// The assistant's debug trace: OutputDebugString, which nobody hears in the
// delivered program, and, when the test override ORVANE_TRACE_FILE (see
// assistant/engine/run/TestHooks.h) names a file, a copy of
// every line there (how the tests see what the dialog was given and did).
#pragma once

void HostTrace(const char *format, ...);
