// The program's debug trace: OutputDebugString, which nobody hears in the
// delivered program, and, when ZVAPP_TRACE_FILE names a file, a copy of
// every line there (how the tests watch what the pop-up was given).
#pragma once

void DebugTrace(const char *format, ...);
