// A program's debug trace: OutputDebugString, which nobody hears in the
// delivered programs, and, when the environment variable names a file, a
// copy of every line there (how the tests watch what a program did).
#pragma once

#include <stdarg.h>

// variable is read once per program; its first caller decides.
void WriteTraceLine(const char *variable, const char *format, va_list args);
