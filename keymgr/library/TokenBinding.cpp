#include "keymgr/library/TokenBinding.h"

#include "common/BoundedCopy.h"

#include <stdio.h>
#include <string.h>

const TokenEntryInfo kTokenEntries[TE_COUNT] = {
#define TOKEN_ENTRY_INFO(row, name, lib, ret, params) {#name, (char)TOKLIB_##lib},
#define TOKLIB_K TOKLIB_CSP
#define TOKLIB_O TOKLIB_COMMAND
    TOKEN_ENTRY_TABLE(TOKEN_ENTRY_INFO)
#undef TOKLIB_K
#undef TOKLIB_O
#undef TOKEN_ENTRY_INFO
};

static_assert(TE_COUNT == 90, "the binding table has 90 rows");

// Slots are filled in table order but called by TE_<name>, which is the
// hand-written row less one: a row out of sequence would call another
// entry point.
namespace {
constexpr int kRows[] = {
#define TOKEN_ENTRY_ROW(row, name, lib, ret, params) row,
    TOKEN_ENTRY_TABLE(TOKEN_ENTRY_ROW)
#undef TOKEN_ENTRY_ROW
};
constexpr bool RowsInSequence()
{
    for (int i = 0; i < TE_COUNT; ++i)
        if (kRows[i] != i + 1)
            return false;
    return true;
}
static_assert(RowsInSequence(), "the binding table's rows run 1, 2, 3, ... in order");
} // namespace

static bool IsBareName(const char *file)
{
    return !strchr(file, '\\') && !strchr(file, '/') && !strchr(file, ':');
}

bool LibraryLoadPath(const char *folder, const char *file, char *out, size_t size)
{
    if (!out || size == 0)
        return false;
    out[0] = '\0';
    if (!file)
        return false;
    if (!IsBareName(file) || !folder || !folder[0])
        return CopyBounded(out, size, file) == strlen(file);
    size_t folderLength = strlen(folder);
    bool separated = folder[folderLength - 1] == '\\' || folder[folderLength - 1] == '/';
    int n = snprintf(out, size, "%s%s%s", folder, separated ? "" : "\\", file);
    if (n < 0 || static_cast<size_t>(n) >= size) {
        out[0] = '\0';
        return false;
    }
    return true;
}

static void *LoadFromFolder(ITokenModuleLoader &loader, const char *folder, const char *file)
{
    char path[TOKLIB_PATH_SIZE * 2];
    if (!LibraryLoadPath(folder, file, path, sizeof(path)))
        return NULL;
    return loader.Load(path);
}

// A bare name: the program's folder, then the system folder (where vendors
// often put their libraries), each by full path so that neither the current
// folder nor PATH is ever searched. A path: as written.
static void *LoadLibraryFile(ITokenModuleLoader &loader, const char *file, const char *programFolder,
                             const char *systemFolder)
{
    if (!file[0])
        return NULL;
    bool haveFolder = (programFolder && programFolder[0]) || (systemFolder && systemFolder[0]);
    if (!IsBareName(file) || !haveFolder)
        return loader.Load(file);
    void *module = NULL;
    if (programFolder && programFolder[0])
        module = LoadFromFolder(loader, programFolder, file);
    if (!module && systemFolder && systemFolder[0])
        module = LoadFromFolder(loader, systemFolder, file);
    return module;
}

int BindTokenTable(ITokenModuleLoader &loader, const char *relFile, const char *qkcFile, TokenBinding &binding,
                   const char *programFolder, const char *systemFolder)
{
    memset(&binding, 0, sizeof(binding));
    CopyBounded(binding.cspFile, sizeof(binding.cspFile), relFile);
    CopyBounded(binding.commandFile, sizeof(binding.commandFile), qkcFile);

    binding.commandModule = LoadLibraryFile(loader, binding.commandFile, programFolder, systemFolder);
    binding.cspModule = LoadLibraryFile(loader, binding.cspFile, programFolder, systemFolder);

    for (int i = 0; i < TE_COUNT; ++i) {
        void *module = kTokenEntries[i].library == TOKLIB_COMMAND ? binding.commandModule : binding.cspModule;
        binding.slots[i] = module ? loader.Resolve(module, kTokenEntries[i].name) : NULL;
    }
    return 0;
}

void ReleaseTokenTable(ITokenModuleLoader &loader, TokenBinding &binding)
{
    // Slots go first so that nothing can call into a freed library.
    memset(binding.slots, 0, sizeof(binding.slots));
    if (binding.commandModule) {
        loader.Free(binding.commandModule);
        binding.commandModule = NULL;
    }
    if (binding.cspModule) {
        loader.Free(binding.cspModule);
        binding.cspModule = NULL;
    }
}

size_t FormatMissingLibraryNotice(const TokenBinding &binding, char *out, size_t size)
{
    if (!out || size == 0)
        return 0;
    out[0] = '\0';
    const char *missing[2];
    int count = 0;
    if (!binding.cspModule)
        missing[count++] = binding.cspFile;
    if (!binding.commandModule)
        missing[count++] = binding.commandFile;
    for (int i = 0; i < count; ++i) {
        char line[TOKLIB_PATH_SIZE + 80];
        snprintf(line, sizeof(line), "%s无法加载组件 %s，相关功能不可用。", i ? "\n" : "", missing[i]);
        AppendBounded(out, size, line);
    }
    return strlen(out);
}

TokenBinding &ProcessTokenTable()
{
    static TokenBinding table;
    return table;
}
