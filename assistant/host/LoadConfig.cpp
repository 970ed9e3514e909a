// The program's load configuration. Its DependentLoadFlags ask the loader,
// where it honours them, to take the static imports' own dependencies from
// System32 as well. The record ends after the safe-exception-handler fields,
// a size every loader knows; the rest stays zero (no handler table, no cookie).
#include <windows.h>

#include <stddef.h>

extern "C" const IMAGE_LOAD_CONFIG_DIRECTORY _load_config_used = {
    .Size = offsetof(IMAGE_LOAD_CONFIG_DIRECTORY, SEHandlerCount) + sizeof(ULONG_PTR),
    .Reserved1 = 0x0800,  // DependentLoadFlags: LOAD_LIBRARY_SEARCH_SYSTEM32
};
