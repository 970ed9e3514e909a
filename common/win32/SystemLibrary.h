// Loading system libraries without the DLL search path: an elevated program
// started from a user's folder must never pick up a DLL planted beside it.
#pragma once

#include <windows.h>

// Loads name from the System32 folder only (full path); null on failure.
HMODULE LoadSystemLibrary(const char *name);

// Restricts the process's default DLL directories to System32; a system
// without the call (before the 2011 loader update) keeps its defaults.
// Returns whether the restriction is in force.
bool RestrictDllSearchToSystem32();
