#include "keymgr/library/TokenLibrary.h"

#include "keymgr/INI/Ini.h"
#include "keymgr/INI/profile/Profile.h"
#include "keymgr/library/TokenBinding.h"

#include <windows.h>

namespace {

class Win32ModuleLoader : public ITokenModuleLoader {
public:
    void *Load(const char *fileName) override
    {
        return LoadLibraryExA(fileName, NULL, LOAD_WITH_ALTERED_SEARCH_PATH);
    }
    void *Resolve(void *module, const char *name) override
    {
        return reinterpret_cast<void *>(GetProcAddress(static_cast<HMODULE>(module), name));
    }
    void Free(void *module) override { FreeLibrary(static_cast<HMODULE>(module)); }
};

Win32ModuleLoader g_loader;

} // namespace

int BindTokenLibraries(const char *programIniPath)
{
    CIni ini(programIniPath);
    char rel[TOKLIB_PATH_SIZE] = "";
    char qkc[TOKLIB_PATH_SIZE] = "";
    ini.GetString("Module", "Rel", rel, sizeof(rel), "KavelGeneralCSP.dll");
    ini.GetString("Module", "QKC", qkc, sizeof(qkc), "QKCommand.dll");
    char folder[PROFILE_PATH_SIZE] = "";
    CProfile::GetProgramFolder(folder);
    char system[MAX_PATH] = "";
    UINT n = GetSystemDirectoryA(system, sizeof(system));
    if (n == 0 || n >= sizeof(system))
        system[0] = '\0';
    return BindTokenTable(g_loader, rel, qkc, ProcessTokenTable(), folder, system);
}

void ReleaseTokenLibraries()
{
    ReleaseTokenTable(g_loader, ProcessTokenTable());
}
