// The native build has no profile functions: a process-wide in-memory store
// stands in for them.
#include "keymgr/INI/store/MemoryIniStore.h"

IIniStore &DefaultIniStore()
{
    static CMemoryIniStore store;
    return store;
}
