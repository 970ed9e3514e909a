// The program's debug trace, kept only in test builds (ZVAPP_DEBUG_TRACE):
// OutputDebugString and, when ZVAPP_TRACE_FILE names a file, a copy of
// every line there (how the tests watch what the pop-up was given). The
// delivered program traces nothing.
#pragma once

void DebugTrace(const char *format, ...);
