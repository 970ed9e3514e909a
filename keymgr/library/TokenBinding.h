// The process-wide entry-point table of the two outside token libraries and
// the binding pass that fills it.
#pragma once

#include "keymgr/library/TokenEntries.h"

#include <stddef.h>

enum TokenLibraryKind { TOKLIB_CSP = 'K', TOKLIB_COMMAND = 'O' };

struct TokenEntryInfo {
    const char *name;
    char library; // TOKLIB_CSP or TOKLIB_COMMAND
};

// All 90 rows in binding order.
extern const TokenEntryInfo kTokenEntries[TE_COUNT];

// How libraries are loaded; the Win32 adapter uses LoadLibraryExA.
class ITokenModuleLoader {
public:
    virtual ~ITokenModuleLoader() {}
    virtual void *Load(const char *fileName) = 0;
    virtual void *Resolve(void *module, const char *name) = 0;
    virtual void Free(void *module) = 0;
};

enum { TOKLIB_PATH_SIZE = 260 };

struct TokenBinding {
    void *cspModule;     // "Rel"
    void *commandModule; // "QKC"
    char cspFile[TOKLIB_PATH_SIZE];
    char commandFile[TOKLIB_PATH_SIZE];
    void *slots[TE_COUNT];
};

// Loads "QKC" then "Rel" and fetches the entry points in table order. A
// library that does not load leaves its slots empty; the pass still succeeds.
// A bare file name is loaded from programFolder, else from systemFolder (when
// given), each by its full path, so that no other folder is searched; a name
// with a folder is loaded as written. The binding keeps the names as
// configured.
int BindTokenTable(ITokenModuleLoader &loader, const char *relFile, const char *qkcFile, TokenBinding &binding,
                   const char *programFolder = NULL, const char *systemFolder = NULL);

// folder + "\\" + file for a file name without a folder or drive; the file
// as it is otherwise. Returns false when the result does not fit.
bool LibraryLoadPath(const char *folder, const char *file, char *out, size_t size);

// Frees the token command library, then the CSP control library.
void ReleaseTokenTable(ITokenModuleLoader &loader, TokenBinding &binding);

// The user-facing notice naming every library that did not load, or an
// empty string when both loaded. Returns the length written.
size_t FormatMissingLibraryNotice(const TokenBinding &binding, char *out, size_t size);

// The process-wide table used by every caller.
TokenBinding &ProcessTokenTable();
