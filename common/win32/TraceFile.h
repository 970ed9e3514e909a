// A program's debug trace: OutputDebugString, which nobody hears in the
// delivered programs, and, when the program's trace path names a file, a
// copy of every line there (how the tests watch what a program did).
#pragma once

#include <stdarg.h>

// Fills path (size bytes) with the file the copy goes to, or "" for none.
typedef void (*TracePathSource)(char *path, unsigned size);

// source is asked once per program; its first caller decides.
void WriteTraceLine(TracePathSource source, const char *format, va_list args);
