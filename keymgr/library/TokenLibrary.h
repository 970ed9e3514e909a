// Binding of the outside libraries for the running program.
#pragma once

// Reads "Module"/"Rel" and "QKC" from the program INI and binds the table.
int BindTokenLibraries(const char *programIniPath);
void ReleaseTokenLibraries();
