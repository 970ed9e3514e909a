// The running program's own full path and folder, as the system gives them.
#pragma once

#include <stddef.h>

#include <string>

// The program's full path into out. False, with out empty, when the system
// gives none or the path does not fit in size bytes: some systems cut it and
// return the buffer's size without reporting an error.
bool ReadProgramPath(char *out, size_t size);

// The program's full path when it is shorter than MAX_PATH; empty otherwise.
std::string ProgramPath();
